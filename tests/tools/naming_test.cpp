// Screen modes from flags, output names, and the command line read into
// settings.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "test_support.h"
#include "tools/cli.h"
#include "tools/output_names.h"

namespace velda {
namespace {

TEST(ScreenFlag, OnlyTheModesShown) {
    const struct {
        const char* text;
        bool ok;
        int screen;
    } rows[] = {
        {"5", true, 5},   {"6", true, 6},   {"7", true, 7},   {"8", true, 8},     {"10", true, 10},
        {"11", true, 11}, {"12", true, 12}, {"1", true, 1},   {"4", true, 4},     {"9", false, 0},
        {"0", false, 0},  {"13", false, 0},
        {"05", false, 0}, {"5x", false, 0}, {" 5", false, 0}, {"", false, 0},     {"-5", false, 0},
        {"SC5", false, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        uint8_t screen = 0;
        EXPECT_EQ(ParseScreenNumber(row.text, screen), row.ok);
        if (row.ok) EXPECT_EQ(screen, row.screen);
    }
}

// Each sprite size names its own choice; a wrong one is a usage error
// (CommandLine.UsageErrors).
TEST(SpritesFlag, EachSizeItsChoice) {
    const struct {
        const char* text;
        int size;
        bool magnified;
    } sprites[] = {{"8", 8, false}, {"16", 16, false}, {"8x2", 8, true}, {"16x2", 16, true}, {"none", 0, false}};
    for (const auto& row : sprites) {
        SpriteOptions options{99, true};
        EXPECT_TRUE(ParseSprites(row.text, options) && options.size == row.size && options.magnified == row.magnified)
            << row.text;
    }
}

TEST(OutputNames, ExtensionReplacedBesideTheInputOrInAFolder) {
    const struct {
        const char* input;
        OutputFormat format;
        const char* folder;
        const char* output;
    } rows[] = {
        {"A.SC5", OutputFormat::Bmp, "", "A.bmp"},
        {"A.B.SC5", OutputFormat::Bmp, "", "A.B.bmp"},
        {"pics/A.S12", OutputFormat::Png, "", "pics/A.png"},
        {"x.y/pic", OutputFormat::Bmp, "", "x.y/pic.bmp"},  // a folder's dot is not an extension
        {"pic", OutputFormat::Png, "", "pic.png"},
        {".SC5", OutputFormat::Bmp, "", ".SC5.bmp"},
        {"pics/A.SC8", OutputFormat::Bmp, "out", "out/A.bmp"},
        {"pics/A.SC8", OutputFormat::Png, "out/", "out/A.png"},
        {"A.SC8", OutputFormat::Bmp, "/tmp/out", "/tmp/out/A.bmp"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.input);
        EXPECT_EQ(OutputPathFor(row.input, row.format, row.folder), row.output);
    }
}

struct Parsed {
    CommandAction action;
    CommandLine line;
    std::string error;
};

Parsed Parse(std::vector<std::string> args) {
    Parsed parsed;
    parsed.action = ParseCommandLine(args, parsed.line, parsed.error);
    return parsed;
}

// What a whole command line asks for, in one line, so a table can compare it.
std::string Outcome(const Parsed& p) {
    switch (p.action) {
    case CommandAction::UsageError:
        return "error: " + p.error;
    case CommandAction::ShowHelp:
        return "help";
    case CommandAction::ShowVersion:
        return "version";
    case CommandAction::Convert:
        break;
    }
    std::string text = "screen " + std::to_string(p.line.settings.screen) + (p.line.quiet ? " quiet" : "");
    for (const std::string& input : p.line.inputs) text += " [" + input + "]";
    return text;
}

TEST(CommandLine, RepeatsAndOrder) {
    const struct {
        std::vector<std::string> args;
        const char* outcome;
    } rows[] = {
        // The last value counts, and every one is checked.
        {{"-q", "-s", "5", "-s", "8", "f"}, "screen 8 quiet [f]"},
        {{"-s", "9", "-s", "8", "f"}, "error: invalid screen mode '9' (use 1 to 8, 10, 11 or 12)"},
        {{"/pics/A.SC5"}, "screen 0 [/pics/A.SC5]"},  // a file name, also on Windows
        // The first of help and version wins.
        {{"--version", "--help"}, "version"},
        {{"-h", "--version"}, "help"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Outcome(Parse(row.args)), row.outcome);
    }
}

TEST(CommandLine, UsageErrors) {
    const struct {
        std::vector<std::string> args;
        const char* message;
    } rows[] = {
        {{}, "no input files"},
        {{"-s", "9", "a"}, "invalid screen mode '9'"},
        {{"-s", "", "a"}, "invalid screen mode ''"},
        {{"-f", "gif", "a"}, "invalid format 'gif'"},
        {{"--colors", "rgb", "a"}, "invalid colour rule 'rgb'"},
        {{"--sprites", "32", "a"}, "invalid sprite size '32' (use 8, 16, 8x2, 16x2 or none)"},
        // The parser's own words; they name what is wrong.
        {{"-s"}, "--screen"},
        {{"-x", "a"}, "-x"},
        {{"--frobnicate", "a"}, "--frobnicate"},
        {{"--force=yes", "a"}, "force"},
        {{"-qv", "a"}, "-v"},
        {{"-o", "out.bmp", "a", "b"}, "--output takes exactly one input file"},
        {{"-o", "out.bmp", "-d", ".", "a"}, "cannot be used together"},
        {{"-d", "/nonexistent-velda-folder", "a"}, "no such folder"},
        {{"-o", "", "a"}, "needs a file name"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.message);
        const Parsed p = Parse(row.args);
        EXPECT_EQ(p.action, CommandAction::UsageError);
        EXPECT_NE(p.error.find(row.message), std::string::npos) << p.error;
    }
}

TEST(CommandLine, DirMustBeAFolder) {
    const std::string file = velda_test::ScratchPath("naming-not-a-folder");
    velda_test::WriteFile(file, {1});
    const Parsed p = Parse({"-d", file, "a"});
    EXPECT_EQ(p.action, CommandAction::UsageError);
    EXPECT_NE(p.error.find("not a folder"), std::string::npos) << p.error;
    EXPECT_EQ(Parse({"-d", velda_test::ScratchPath(""), "a"}).action, CommandAction::Convert);
}

TEST(CommandLine, OutputNameImpliesTheFormat) {
    EXPECT_EQ(Parse({"-o", "x.PNG", "a"}).line.settings.format, OutputFormat::Png);
    EXPECT_EQ(Parse({"-o", "x.bmp", "a"}).line.settings.format, OutputFormat::Bmp);
    EXPECT_EQ(Parse({"-o", "x.dat", "a"}).line.settings.format, OutputFormat::Bmp);
    EXPECT_EQ(Parse({"-f", "bmp", "-o", "x.png", "a"}).line.settings.format, OutputFormat::Bmp);  // -f wins
}

TEST(CommandLine, HelpAndVersionWin) {
    EXPECT_EQ(Parse({"--help"}).action, CommandAction::ShowHelp);
    EXPECT_EQ(Parse({"-h", "-o", "x", "a", "b"}).action, CommandAction::ShowHelp);
    EXPECT_EQ(Parse({"--version"}).action, CommandAction::ShowVersion);
    EXPECT_EQ(Parse({"--version", "-s", "9"}).action, CommandAction::UsageError);
}

}  // namespace
}  // namespace velda
