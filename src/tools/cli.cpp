#include "tools/cli.h"

#include <cstring>
#include <map>

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

constexpr char HelpText[] =
    "Usage: velda-convert [options] FILE...\n"
    "Converts MSX2/MSX2+ BSAVE screen files (SCREEN 5, 6, 7, 8, 10, 11, 12) to BMP or PNG.\n"
    "\n"
    "  -s, --screen N      read every file as SCREEN N (5, 6, 7, 8, 10, 11 or 12);\n"
    "                      without it the mode comes from each file's extension:\n"
    "                      .SC5 .SC6 .SC7 .SC8, .SCA/.S10 (10), .S11 (11), .SCC/.S12 (12)\n"
    "  -f, --format FMT    bmp (default) or png\n"
    "      --colors RULE   velda (default): the colours VELDA's Save writes;\n"
    "                      msx: the video chip's colours at full 8-bit range\n"
    "  -o, --output FILE   write to FILE (one input file only)\n"
    "  -d, --dir DIR       write into the existing folder DIR\n"
    "                      (default: beside each input, extension replaced)\n"
    "      --force         replace existing output files\n"
    "  -q, --quiet         no progress line and no summary\n"
    "  -h, --help          show this help and exit\n"
    "      --version       show the version and exit\n"
    "\n"
    "Exit status: 0 when every file was converted, 1 when any file failed or was\n"
    "skipped because its output exists, 2 for a wrong command line.\n";

struct OptionSpec {
    const char* longName;
    char shortName;  // 0: none
    bool takesValue;
};

constexpr OptionSpec Options[] = {
    {"screen", 's', true}, {"format", 'f', true}, {"colors", 0, true},   {"output", 'o', true},
    {"dir", 'd', true},    {"force", 0, false},   {"quiet", 'q', false}, {"help", 'h', false},
    {"version", 0, false},
};

const OptionSpec* FindLong(const std::string& name) {
    for (const OptionSpec& spec : Options) {
        if (name == spec.longName) return &spec;
    }
    return nullptr;
}

const OptionSpec* FindShort(char name) {
    for (const OptionSpec& spec : Options) {
        if (spec.shortName != 0 && spec.shortName == name) return &spec;
    }
    return nullptr;
}

// Applies one recognised option. Returns false with `error` set when its
// value is wrong.
bool ApplyOption(const OptionSpec& spec, const std::string& value, CommandLine& line, CommandAction& action,
                 std::string& error) {
    const std::string name = spec.longName;
    if (name == "screen") {
        if (!ParseScreenNumber(value.c_str(), line.settings.screen)) {
            error = "invalid screen mode '" + value + "' (use 5, 6, 7, 8, 10, 11 or 12)";
            return false;
        }
    } else if (name == "format") {
        if (!ParseOutputFormat(value.c_str(), line.settings.format)) {
            error = "invalid format '" + value + "' (use bmp or png)";
            return false;
        }
        line.formatGiven = true;
    } else if (name == "colors") {
        if (!ParseColorRule(value.c_str(), line.settings.colors)) {
            error = "invalid colour rule '" + value + "' (use velda or msx)";
            return false;
        }
    } else if (name == "output") {
        if (value.empty()) {
            error = "--output needs a file name";
            return false;
        }
        line.output = value;
    } else if (name == "dir") {
        if (value.empty()) {
            error = "--dir needs a folder";
            return false;
        }
        line.folder = value;
    } else if (name == "force") {
        line.settings.force = true;
    } else if (name == "quiet") {
        line.quiet = true;
    } else if (name == "help") {
        if (action == CommandAction::Convert) action = CommandAction::ShowHelp;
    } else if (name == "version") {
        if (action == CommandAction::Convert) action = CommandAction::ShowVersion;
    }
    return true;
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
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            line.inputs.push_back(arg);  // "-" alone is a file name too
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }

        const OptionSpec* spec = nullptr;
        std::string value;
        bool hasValue = false;
        std::string shownName;
        if (arg[1] == '-') {  // --name or --name=value
            const std::size_t equals = arg.find('=');
            const std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
            spec = FindLong(name);
            shownName = "--" + name;
            if (equals != std::string::npos) {
                value = arg.substr(equals + 1);
                hasValue = true;
            }
        } else {  // -x or -xVALUE
            spec = FindShort(arg[1]);
            shownName = arg.substr(0, 2);
            if (spec != nullptr && arg.size() > 2) {
                if (!spec->takesValue) {
                    error = "unknown option '" + arg + "'";
                    return CommandAction::UsageError;
                }
                value = arg.substr(2);
                hasValue = true;
            }
        }
        if (spec == nullptr) {
            error = "unknown option '" + shownName + "'";
            return CommandAction::UsageError;
        }
        if (spec->takesValue && !hasValue) {
            if (i + 1 >= args.size()) {
                error = "option '" + shownName + "' needs a value";
                return CommandAction::UsageError;
            }
            value = args[++i];
        } else if (!spec->takesValue && hasValue) {
            error = "option '" + shownName + "' takes no value";
            return CommandAction::UsageError;
        }
        if (!ApplyOption(*spec, value, line, action, error)) return CommandAction::UsageError;
    }
    if (action != CommandAction::Convert) return action;
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
        std::fputs(HelpText, stdout);
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
