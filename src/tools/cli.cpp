#include "tools/cli.h"

#include <functional>
#include <map>
#include <memory>

#include <CLI/CLI.hpp>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "platform/files.h"
#include "export/png_writer.h"

#ifndef VELDA_VERSION
#error "VELDA_VERSION must be defined by the build"
#endif

namespace velda {

namespace {

constexpr char Program[] = "velda-convert";
constexpr std::size_t ProgressColumns = 79;

constexpr char UsageLine[] = "Usage: velda-convert [options] FILE...\n";
constexpr char Description[] =
    "Converts MSX2/MSX2+ BSAVE screen files (SCREEN 5, 6, 7, 8, 10, 11, 12) to BMP or PNG.\n";
constexpr char ExitStatusText[] =
    "Exit status: 0 when every file was converted, 1 when any file failed or was\n"
    "skipped because its output exists, 2 for a wrong command line.\n";
constexpr std::size_t HelpColumn = 22;  // where the options' descriptions start

constexpr char ScreenHelp[] =
    "read every file as SCREEN N (5, 6, 7, 8, 10, 11 or 12);\n"
    "without it the mode comes from each file's extension:\n"
    ".SC5 .SC6 .SC7 .SC8, .SCA/.S10 (10), .S11 (11), .SCC/.S12 (12)";
constexpr char ColorsHelp[] =
    "velda (default): the colours VELDA's Save writes;\n"
    "msx: the video chip's colours at full 8-bit range";
constexpr char DirHelp[] =
    "write into the existing folder DIR\n"
    "(default: beside each input, extension replaced)";

// The help text: usage and description, then one line per option as it
// is declared (its value name and description), then the exit status.
class HelpFormatter : public CLI::Formatter {
public:
    HelpFormatter() { column_width(HelpColumn); }

    std::string make_help(const CLI::App* app, std::string, CLI::AppFormatMode) const override {
        std::string text = std::string(UsageLine) + Description + "\n";
        for (const CLI::Option* option : app->get_options([](const CLI::Option* o) { return o->nonpositional(); })) {
            text += make_option(option, false);
        }
        return text + "\n" + ExitStatusText;
    }

    // "-s, --screen", with the long names of options without a short one
    // lined up under the others.
    std::string make_option_name(const CLI::Option* option, bool) const override {
        const std::vector<std::string>& shortNames = option->get_snames();
        const std::string shortName = shortNames.empty() ? "    " : "-" + shortNames.front() + ", ";
        return shortName + "--" + option->get_lnames().front();
    }
};

// An option with one value, handed to `take`, which stores it or says
// what is wrong with it. CLI11 reports that in the program's own words.
void AddValue(CLI::App& app, const char* names, const char* valueName, const char* help,
              std::function<std::string(const std::string&)> take) {
    app.add_option_function<std::string>(
           names,
           [take](const std::string& value) {
               const std::string problem = take(value);
               if (!problem.empty()) throw CLI::ValidationError(problem);
           },
           help)
        ->type_name(valueName);
}

// An option whose value one of the program's readers (ParseScreenNumber
// and the like) checks and stores; anything else is refused as
// "invalid WHAT 'VALUE' (use CHOICES)".
template <typename T>
void AddChoice(CLI::App& app, const char* names, const char* valueName, T& target, bool (*read)(const char*, T&),
               const char* what, const char* choices, const char* help) {
    AddValue(app, names, valueName, help, [&target, read, what, choices](const std::string& value) {
        if (read(value.c_str(), target)) return std::string();
        return std::string("invalid ") + what + " '" + value + "' (use " + choices + ")";
    });
}

// An option naming a file or folder; an empty name is refused with
// `refusal`.
void AddPath(CLI::App& app, const char* names, const char* valueName, std::string& target, const char* refusal,
             const char* help) {
    AddValue(app, names, valueName, help, [&target, refusal](const std::string& value) {
        if (value.empty()) return std::string(refusal);
        target = value;
        return std::string();
    });
}

// A flag asking for something other than converting; the first such flag
// on the command line wins.
void AddAction(CLI::App& app, const char* names, CommandAction& action, CommandAction wanted, const char* help) {
    app.add_flag_callback(
        names,
        [&action, wanted] {
            if (action == CommandAction::Convert) action = wanted;
        },
        help);
}

// Declares every option of velda-convert on `app`, storing what it reads
// into `line` and `action`. An option is one line here, its help text
// included; each has a long name, which the help lines up.
void DeclareOptions(CLI::App& app, CommandLine& line, CommandAction& action) {
    app.formatter(std::make_shared<HelpFormatter>());
    app.set_help_flag();                     // -h is declared below with the others
    app.allow_windows_style_options(false);  // "/pics/A.SC5" is a file on Windows too
    app.option_defaults()->disable_flag_override();  // a flag takes no value

    ConvertSettings& settings = line.settings;
    AddChoice(app, "-s,--screen", "N", settings.screen, ParseScreenNumber, "screen mode", "5, 6, 7, 8, 10, 11 or 12",
              ScreenHelp);
    AddChoice(app, "-f,--format", "FMT", settings.format, ParseOutputFormat, "format", "bmp or png",
              "bmp (default) or png");
    AddChoice(app, "--colors", "RULE", settings.colors, ParseColorRule, "colour rule", "velda or msx", ColorsHelp);
    AddPath(app, "-o,--output", "FILE", line.output, "--output needs a file name",
            "write to FILE (one input file only)");
    AddPath(app, "-d,--dir", "DIR", line.folder, "--dir needs a folder", DirHelp);
    app.add_flag("--force", settings.force, "replace existing output files");
    app.add_flag("-q,--quiet", line.quiet, "no progress line and no summary");
    AddAction(app, "-h,--help", action, CommandAction::ShowHelp, "show this help and exit");
    AddAction(app, "--version", action, CommandAction::ShowVersion, "show the version and exit");
    app.add_option("FILE", line.inputs);

    // Each option takes effect as it is read: a repeated option keeps its
    // last value, every value is checked, the first wrong one is reported.
    for (CLI::Option* option : app.get_options()) option->trigger_on_parse();
}

// The help, from the same declarations the command line is read with.
std::string HelpText() {
    CommandLine unusedLine;
    CommandAction unusedAction = CommandAction::Convert;
    CLI::App app;
    DeclareOptions(app, unusedLine, unusedAction);
    return app.help();
}

// Checks the options among themselves once all are read.
bool CheckCombination(CommandLine& line, std::string& error) {
    if (line.inputs.empty()) {
        error = "no input files";
        return false;
    }
    if (!line.output.empty() && !line.folder.empty()) {
        error = "--output and --dir cannot be used together";
        return false;
    }
    if (!line.output.empty() && line.inputs.size() > 1) {
        error = "--output takes exactly one input file; use --dir for several";
        return false;
    }
    if (!line.output.empty() && !line.formatGiven) {
        // "-o picture.png" asks for PNG without saying -f png.
        OutputFormat implied;
        if (ParseOutputFormat(FileExtension(line.output).c_str(), implied)) line.settings.format = implied;
    }
    if (!line.folder.empty()) {
        const PathKind kind = KindOf(line.folder);
        if (kind == PathKind::Missing) {
            error = "--dir " + line.folder + ": no such folder";
            return false;
        }
        if (kind != PathKind::Directory) {
            error = "--dir " + line.folder + ": not a folder";
            return false;
        }
    }
    if (line.settings.format == OutputFormat::Png && !PngAvailable()) {
        error = "PNG output is not available in this build";
        return false;
    }
    return true;
}

// The one line of progress on a terminal, rewritten in place.
class ProgressLine {
public:
    ProgressLine(std::FILE* stream, bool enabled) : stream_(stream), enabled_(enabled) {}
    ~ProgressLine() { Clear(); }

    void Show(std::size_t index, std::size_t total, const std::string& file) {
        if (!enabled_) return;
        std::string text = "[" + std::to_string(index) + "/" + std::to_string(total) + "] ";
        std::string name = file;
        if (text.size() + name.size() > ProgressColumns) {
            const std::size_t room = ProgressColumns > text.size() + 3 ? ProgressColumns - text.size() - 3 : 0;
            name = "..." + name.substr(name.size() - room);
        }
        text += name;
        Write(text);
    }

    void Clear() {
        if (!enabled_ || shown_ == 0) return;
        Write("");
        std::fputs("\r", stream_);
        std::fflush(stream_);
    }

private:
    void Write(const std::string& text) {
        std::string line = "\r" + text;
        if (text.size() < shown_) line.append(shown_ - text.size(), ' ');
        std::fputs(line.c_str(), stream_);
        std::fflush(stream_);
        shown_ = text.size();
    }

    std::FILE* stream_;
    bool enabled_;
    std::size_t shown_ = 0;
};

bool StderrIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(STDERR_FILENO) != 0;
#endif
}

void Report(std::FILE* messages, const std::string& file, const std::string& reason) {
    std::fprintf(messages, "%s: %s: %s\n", Program, file.c_str(), reason.c_str());
}

// The outputs a batch has written, by name and by file identity, each
// with the input it came from. Two inputs of one name (A.SC5 and A.SC8, or
// one name in two folders with --dir) would otherwise write one output
// twice. Looked up rather than compared one by one, so that a large batch
// costs the same per file as a small one.
class WrittenOutputs {
public:
    // The input `output` was already written from, or nullptr.
    const std::string* WrittenFrom(const std::string& output) const {
        if (auto byName = names_.find(output); byName != names_.end()) return &byName->second;
        if (files_.empty()) return nullptr;  // nothing to compare the file with
        const FileIdentity existing = IdentifyFile(output);
        if (!existing.known) return nullptr;
        auto byFile = files_.find({existing.volume, existing.index});
        return byFile != files_.end() ? &byFile->second : nullptr;
    }

    void Add(const std::string& output, const std::string& input) {
        names_.emplace(output, input);
        if (const FileIdentity made = IdentifyFile(output); made.known) {
            files_.emplace(std::make_pair(made.volume, made.index), input);
        }
    }

private:
    std::map<std::string, std::string> names_;
    std::map<std::pair<uint64_t, uint64_t>, std::string> files_;
};

int UsageFailure(const std::string& error) {
    std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", Program, error.c_str(), Program);
    return ExitUsage;
}

}  // namespace

CommandAction ParseCommandLine(const std::vector<std::string>& args, CommandLine& line, std::string& error) {
    CommandAction action = CommandAction::Convert;
    CLI::App app;
    DeclareOptions(app, line, action);
    try {
        std::vector<std::string> lastFirst(args.rbegin(), args.rend());  // the order CLI11 reads them in
        app.parse(lastFirst);
    } catch (const CLI::ParseError& e) {
        error = e.what();
        return CommandAction::UsageError;
    }
    if (action != CommandAction::Convert) return action;
    line.formatGiven = app.count("--format") > 0;
    if (!CheckCombination(line, error)) return CommandAction::UsageError;
    return CommandAction::Convert;
}

BatchCounts ConvertAll(const CommandLine& line, std::FILE* messages, bool showProgress) {
    BatchCounts counts;
    ProgressLine progress(messages, showProgress);
    WrittenOutputs written;

    for (std::size_t i = 0; i < line.inputs.size(); ++i) {
        const std::string& input = line.inputs[i];
        progress.Show(i + 1, line.inputs.size(), input);
        const std::string output =
            !line.output.empty() ? line.output : OutputPathFor(input, line.settings.format, line.folder);

        ConvertResult result{ConvertStatus::Failed, ""};
        if (const std::string* earlier = written.WrittenFrom(output)) {
            result.reason = "cannot write " + output + ": already written from " + *earlier;
        } else {
            result = ConvertFile(input, output, line.settings);
        }

        switch (result.status) {
        case ConvertStatus::Converted:
            ++counts.converted;
            written.Add(output, input);
            continue;
        case ConvertStatus::Skipped:
            ++counts.skipped;
            progress.Clear();
            Report(messages, input, "skipped: " + result.reason);
            break;
        case ConvertStatus::Failed:
            ++counts.failed;
            progress.Clear();
            Report(messages, input, result.reason);
            break;
        }
    }
    progress.Clear();
    return counts;
}

int RunConverter(const std::vector<std::string>& args) {
    CommandLine line;
    std::string error;
    switch (ParseCommandLine(args, line, error)) {
    case CommandAction::UsageError:
        return UsageFailure(error);
    case CommandAction::ShowHelp:
        std::fputs(HelpText().c_str(), stdout);
        return std::fflush(stdout) == 0 ? ExitConverted : ExitSomeNotConverted;
    case CommandAction::ShowVersion:
        std::printf("%s (VELDA) %s\n", Program, VELDA_VERSION);
        return std::fflush(stdout) == 0 ? ExitConverted : ExitSomeNotConverted;
    case CommandAction::Convert:
        break;
    }

    const bool showProgress = !line.quiet && line.inputs.size() > 1 && StderrIsTerminal();
    const BatchCounts counts = ConvertAll(line, stderr, showProgress);
    if (!line.quiet) {
        std::fprintf(stderr, "%s: converted %d, skipped %d, failed %d\n", Program, counts.converted, counts.skipped,
                     counts.failed);
    }
    return counts.skipped == 0 && counts.failed == 0 ? ExitConverted : ExitSomeNotConverted;
}

}  // namespace velda
