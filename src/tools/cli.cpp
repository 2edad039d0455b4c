#include "tools/cli.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <map>
#include <memory>

#include <CLI/CLI.hpp>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "export/png_writer.h"
#include "image/container.h"
#include "image/file_types.h"
#include "image/mode_table.h"
#include "image/name_letters.h"
#include "image/palette_file.h"
#include "platform/console.h"
#include "platform/files.h"
#include "platform/names.h"

#ifndef VELDA_VERSION
#error "VELDA_VERSION must be defined by the build"
#endif

namespace velda {

namespace {

constexpr char UsageLine[] = "Usage: velda-convert [options] FILE...\n";
constexpr char Description[] =
    "Converts MSX screen pictures (BSAVE dumps, Graph Saurus files, BASIC COPY\n"
    "files) of SCREEN 1 to 8, 10, 11 and 12 to BMP or PNG, loose or inside\n"
    "MSX-DOS disk images (.DSK), ZIP archives (.ZIP) and gzip streams (.DSK.GZ),\n"
    "nested too, each into a folder named after it.\n";
constexpr char ExitStatusText[] =
    "Exit status: 0 when every file was converted, 1 when any file failed or was\n"
    "skipped because its output exists, 2 for a wrong command line.\n";
constexpr std::size_t HelpColumn = 22;  // where the options' descriptions start

constexpr char ScreenHelp[] =
    "read every file as SCREEN N (1 to 8, 10, 11 or 12);\n"
    "without it the mode comes from each file's extension:\n"
    ".SC1 .SC2 .SC3 .SC4, .GRP (2),\n"
    ".SC5 .SC6 .SC7 .SC8 .GE5 .GE7 .GE8, .PIC (8),\n"
    ".SCA/.S10 (10), .S11/.SCB (11), .SCC/.S12 (12);\n"
    "Graph Saurus .SR5 .SR6 .SR7 .SR8, .SRA (10), .SRB (11),\n"
    ".SRS/.SRC (12); second pages .S15-.S18 .S1A .S1B .S1C;\n"
    "COPY files .GL5 .GL6 .GL7 .GL8, .GLA (10), .GLB (11),\n"
    ".GLC/.GLS (12)";
constexpr char RecursiveHelp[] =
    "also convert the pictures in the folders given and in\n"
    "their sub-folders, and in the disk images and archives\n"
    "there; with --dir the outputs keep the tree";
constexpr char PaletteHelp[] =
    "colours for every picture of SCREEN 5, 6, 7, 10, 11\n"
    "from a palette file of 256, 32 or 39 bytes, or a\n"
    "shorter BSAVE dump of the palette table (default:\n"
    "X.PL5/.PL6/.PL7 beside a Graph Saurus picture X, or\n"
    "beside a BSAVE picture X that has no palette)";
constexpr char InterlaceHelp[] =
    "with a second page X.S15 ... beside X.SC5 ...:\n"
    "auto (default): weave when there is one;\n"
    "weave: 424 lines; blend: both pages mixed; off";
constexpr char AspectHelp[] =
    "raw (default): the pixels as they are;\n"
    "tv: 512 x 424, as a television shows them";
constexpr char ColorsHelp[] =
    "velda (default): the colours VELDA's Save writes;\n"
    "msx: the video chip's colours at full 8-bit range;\n"
    "msx1: SCREEN 1-4 in the MSX1's fixed 16 colours\n"
    "(other modes as velda)";
constexpr char SpritesHelp[] =
    "draw the sprites of pictures that hold their tables:\n"
    "8 or 16 (8 x 8 or 16 x 16), 8x2 or 16x2 (magnified);\n"
    "none (default)";
constexpr char DirHelp[] =
    "write into the existing folder DIR\n"
    "(default: beside each input, extension replaced)";

// The value among `names` that `text` spells, by its index.
template <typename T, std::size_t N>
bool ParseName(const char* text, const char* const (&names)[N], T& value) {
    for (std::size_t i = 0; i < N; ++i) {
        if (std::strcmp(text, names[i]) == 0) {
            value = static_cast<T>(i);
            return true;
        }
    }
    return false;
}

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
    AddChoice(app, "-s,--screen", "N", settings.screen, ParseScreenNumber, "screen mode",
              "1 to 8, 10, 11 or 12", ScreenHelp);
    AddChoice(app, "-f,--format", "FMT", settings.format, ParseOutputFormat, "format", "bmp or png",
              "bmp (default) or png");
    AddChoice(app, "--colors", "RULE", settings.colors, ParseColorRule, "colour rule", "velda, msx or msx1",
              ColorsHelp);
    AddChoice(app, "--sprites", "SIZE", settings.sprites, ParseSprites, "sprite size", "8, 16, 8x2, 16x2 or none",
              SpritesHelp);
    AddPath(app, "-o,--output", "FILE", line.output, "--output needs a file name",
            "write to FILE (one input file only)");
    AddPath(app, "-d,--dir", "DIR", line.folder, "--dir needs a folder", DirHelp);
    app.add_flag("-r,--recursive", line.recursive, RecursiveHelp);
    app.add_flag("--keep-extension", line.keepExtension, "name each output after the whole input name\n(A.SC5.png)");
    AddPath(app, "--palette", "FILE", settings.palette, "--palette needs a file name", PaletteHelp);
    AddChoice(app, "--palette-index", "N", settings.paletteIndex, ParsePaletteIndex, "palette index", "0 to 7",
              "which palette of a 256-byte palette file:\n0 (default) to 7");
    AddChoice(app, "--interlace", "MODE", settings.interlace, ParseInterlace, "interlace mode",
              "auto, weave, blend or off", InterlaceHelp);
    AddChoice(app, "--aspect", "SHAPE", settings.aspect, ParseAspect, "aspect", "raw or tv", AspectHelp);
    AddChoice(app, "-j,--jobs", "N", line.jobs, ParseJobs, "number of jobs", "a number from 1",
              "convert N files at once (default: one for each core;\nat most 8)");
    app.add_flag("--list", line.list, "say what each picture is (kind, mode, size) and\nconvert nothing");
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
    const auto container = [](const std::string& input) {
        return ContainerKindOf(FileNameOf(input)) != FileKind::Unknown;
    };
    if (!line.output.empty() && (line.inputs.size() > 1 || line.recursive || container(line.inputs.front()))) {
        error = "--output takes exactly one input file; use --dir for several, or for a disk image or archive";
        return false;
    }
    if (!line.output.empty() && !line.formatGiven) {
        // "-o picture.png" asks for PNG without saying -f png.
        OutputFormat implied;
        if (ParseOutputFormat(SplitPath(line.output).extension.c_str(), implied)) line.settings.format = implied;
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
    if (!line.settings.palette.empty() && KindOf(line.settings.palette) != PathKind::File) {
        error = "--palette " + line.settings.palette + ": no such file";
        return false;
    }
    if (line.settings.format == OutputFormat::Png && !PngAvailable()) {
        error = "PNG output is not available in this build";
        return false;
    }
    return true;
}

bool StderrIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(STDERR_FILENO) != 0;
#endif
}

int UsageFailure(const std::string& error) {
    const std::string program = ProgramName;
    WriteText(stderr, program + ": " + error + "\nTry '" + program + " --help' for more information.\n");
    return ExitUsage;
}

}  // namespace

bool ParseOutputFormat(const char* text, OutputFormat& format) {
    static constexpr const char* names[] = {"bmp", "png"};
    return ParseName(SmallLetters(text).c_str(), names, format);
}

bool ParseScreenNumber(const char* text, uint8_t& screen) {
    for (uint8_t candidate : EveryScreen) {
        if (std::to_string(candidate) == text) {
            screen = candidate;
            return true;
        }
    }
    return false;
}

bool ParseColorRule(const char* text, ColorRule& rule) {
    static constexpr const char* names[] = {"velda", "msx", "msx1"};
    return ParseName(text, names, rule);
}

bool ParseSprites(const char* text, SpriteOptions& sprites) {
    static constexpr const char* names[SpriteChoiceCount] = {"none", "8", "16", "8x2", "16x2"};
    int index = 0;
    if (!ParseName(text, names, index)) return false;
    sprites = SpriteChoices[index];
    return true;
}

bool ParseInterlace(const char* text, Interlace& interlace) {
    static constexpr const char* names[] = {"auto", "weave", "blend", "off"};
    return ParseName(text, names, interlace);
}

bool ParseAspect(const char* text, Aspect& aspect) {
    static constexpr const char* names[] = {"raw", "tv"};
    return ParseName(text, names, aspect);
}

bool ParsePaletteIndex(const char* text, int& index) {
    if (text[0] < '0' || text[0] >= '0' + PalettesInBankFile || text[1] != '\0') return false;
    index = text[0] - '0';
    return true;
}

bool ParseJobs(const char* text, int& jobs) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno != 0 || value < 1 || value > std::numeric_limits<int>::max()) return false;
    jobs = static_cast<int>(value);
    return true;
}

CommandAction ParseCommandLine(const std::vector<std::string>& args, CommandLine& line, std::string& error) {
    CommandAction action = CommandAction::Convert;
    line.jobs = DefaultJobs();
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

int RunConverter(const std::vector<std::string>& args) {
    CommandLine line;
    std::string error;
    switch (ParseCommandLine(args, line, error)) {
    case CommandAction::UsageError:
        return UsageFailure(error);
    case CommandAction::ShowHelp:
        WriteText(stdout, HelpText());
        return std::fflush(stdout) == 0 ? ExitConverted : ExitSomeNotConverted;
    case CommandAction::ShowVersion:
        WriteText(stdout, std::string(ProgramName) + " (VELDA) " + VELDA_VERSION + "\n");
        return std::fflush(stdout) == 0 ? ExitConverted : ExitSomeNotConverted;
    case CommandAction::Convert:
        break;
    }

    const std::vector<BatchEntry> entries = PlanBatch(line.inputs, line);
    const bool showProgress = !line.quiet && entries.size() > 1 && StderrIsTerminal();
    const BatchCounts counts = RunBatch(entries, line, stderr, showProgress);
    if (!line.quiet) {
        std::string summary = std::string(ProgramName) + ": " + (line.list ? "listed " : "converted ") +
                              std::to_string(line.list ? counts.listed : counts.converted) + ", skipped " +
                              std::to_string(counts.skipped) + ", failed " + std::to_string(counts.failed);
        if (line.recursive) summary += ", ignored " + std::to_string(counts.ignored);
        WriteText(stderr, summary + "\n");
    }
    return counts.skipped == 0 && counts.failed == 0 ? ExitConverted : ExitSomeNotConverted;
}

}  // namespace velda
