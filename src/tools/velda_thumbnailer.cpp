// velda-thumbnailer: the PNG thumbnail of one MSX picture file, as file
// managers that follow the freedesktop thumbnail convention run it, once
// for every file they show: `velda-thumbnailer -s SIZE INPUT OUTPUT`.
// It may run in a sandbox where nothing but INPUT can be read: the
// palette file beside INPUT is taken where it can be read, and ignored
// where it cannot.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "export/png_writer.h"
#include "image/picture_file.h"
#include "platform/folder_files.h"
#include "platform/interrupt.h"
#include "platform/names.h"
#include "platform/output_file.h"
#include "render/thumbnail.h"
#include "tools/report.h"

#ifndef VELDA_VERSION
#error "VELDA_VERSION must be defined by the build"
#endif

namespace velda {
namespace {

constexpr char ThumbnailerName[] = "velda-thumbnailer";
constexpr int ExitWritten = 0, ExitNotWritten = 1, ExitUsage = 2;
constexpr int DefaultSize = 128;
constexpr int LargestSize = 1024;  // the largest of the convention's sizes

// The help, laid out as velda-convert's: its manual page is made from it.
constexpr char HelpText[] =
    "Usage: velda-thumbnailer [-s SIZE] INPUT OUTPUT\n"
    "Writes a PNG thumbnail of the MSX2/MSX2+ picture INPUT to OUTPUT: any file\n"
    "velda-convert reads by its extension (BSAVE dumps, Graph Saurus pictures,\n"
    "second pages, COPY files), in a television's proportions and the colours\n"
    "of the MSX, its longer side at most SIZE pixels. A palette file beside\n"
    "INPUT (X.PL5 beside X.SR5) gives its colours where it can be read. File\n"
    "managers run it as share/thumbnailers/velda.thumbnailer says.\n"
    "\n"
    "  -s, --size SIZE     the longer side at most SIZE pixels, 1 to 1024\n"
    "                      (default 128); a thumbnail is never larger than\n"
    "                      the picture as a television shows it (512 x 424)\n"
    "  -h, --help          print this help and exit\n"
    "      --version       print the version and exit\n"
    "\n"
    "Exit status: 0 when the thumbnail was written, 1 when INPUT is no picture\n"
    "VELDA reads or OUTPUT could not be written (nothing is written then), 2 for\n"
    "a wrong command line.\n";

int Fail(const std::string& input, const Problem& problem) {
    const ShowName asItIs = [](const std::string& name) { return name; };
    std::fprintf(stderr, "%s: %s: %s\n", ThumbnailerName, input.c_str(), ProblemText(problem, asItIs).c_str());
    return ExitNotWritten;
}

// The thumbnail of `input`, with the palette file beside it where it can
// be read.
LoadError MakeThumbnailOf(const std::string& input, int size, Picture& thumbnail) {
    std::vector<uint8_t> file;
    if (LoadError error = ReadPictureFile(input, MaxPictureFileBytes, file)) return error;
    const PathParts parts = SplitPath(input);
    const PictureName name{parts.stem, parts.extension};
    FolderFiles folder(parts.folder);
    const LoadError error = MakeThumbnail(file.data(), file.size(), name, &folder, size, thumbnail);
    const bool paletteUnread = error.role == FileRole::PaletteFile &&
                               (error.fault == LoadFault::CannotOpen || error.fault == LoadFault::ReadFailed);
    return paletteUnread ? MakeThumbnail(file.data(), file.size(), name, nullptr, size, thumbnail) : error;
}

int WriteThumbnail(const std::string& input, const std::string& output, int size) {
    Picture thumbnail;
    if (const LoadError error = MakeThumbnailOf(input, size, thumbnail)) return Fail(input, error);
    std::vector<uint8_t> png;
    WriteError error;
    if (const std::error_code encoded = EncodePng(thumbnail, png)) {
        error = WriteError{WriteFault::Write, encoded};
    } else {
        // A file manager may name a file it made for the thumbnail and read
        // it back through the handle it keeps (tumbler does): such a file is
        // written in place.
        error = WriteFinishedFile(output, ExistingTarget::WriteInPlace,
                                  [&png](FileSink& sink) { sink.Write(png.data(), png.size()); });
    }
    return error ? Fail(input, WriteProblem{output, error}) : ExitWritten;
}

int RunThumbnailer(int argc, char** argv) {
    CLI::App app("", ThumbnailerName);
    int size = DefaultSize;
    std::string input, output;
    app.set_version_flag("--version", std::string(ThumbnailerName) + " (VELDA) " + VELDA_VERSION);
    app.add_option("-s,--size", size)->check(CLI::Range(1, LargestSize));
    app.add_option("INPUT", input)->required();
    app.add_option("OUTPUT", output)->required();
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::fputs(HelpText, stdout);
        return ExitWritten;
    } catch (const CLI::CallForVersion& e) {
        std::printf("%s\n", e.what());
        return ExitWritten;
    } catch (const CLI::ParseError& e) {
        std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", ThumbnailerName, e.what(),
                     ThumbnailerName);
        return ExitUsage;
    }
    return WriteThumbnail(input, output, size);
}

}  // namespace
}  // namespace velda

int main(int argc, char** argv) {
    velda::RemoveTemporariesOnInterrupt();
    try {
        return velda::RunThumbnailer(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velda-thumbnailer: %s\n", e.what());
        return 1;
    }
}
