#include "tools/convert.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "export/bmp_writer.h"
#include "export/png_writer.h"
#include "image/bsave_loader.h"
#include "image/graph_saurus.h"
#include "image/mode_table.h"
#include "image/picture_file.h"
#include "image/read_file.h"
#include "image/vram_image.h"
#include "platform/files.h"
#include "platform/output_file.h"
#include "render/picture.h"
#include "render/picture_shapes.h"
#include "tools/interrupt.h"

namespace velda {

namespace {

std::string LowerCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The value among `names` that `text` spells, by its index.
template <std::size_t N>
bool ParseName(const char* text, const char* const (&names)[N], int& index) {
    for (std::size_t i = 0; i < N; ++i) {
        if (std::strcmp(text, names[i]) == 0) {
            index = static_cast<int>(i);
            return true;
        }
    }
    return false;
}

// Says precisely what is wrong with the BSAVE header at the start of
// `file`, if anything. Returns "" for a usable header.
std::string CheckHeader(const std::vector<uint8_t>& file) {
    if (file.empty()) return "not a BSAVE file (the file is empty)";
    if (file.size() < BsaveHeaderBytes) return "not a BSAVE file (shorter than the 7-byte header)";
    BsaveHeader header{};
    if (ParseBsaveHeader(file.data(), file.size(), header)) return "";
    char text[96];
    if (header.id != BsaveId) {
        std::snprintf(text, sizeof text, "not a BSAVE file (first byte 0x%02X, not 0xFE)", header.id);
    } else {
        std::snprintf(text, sizeof text, "bad BSAVE header: end address 0x%04X is below start address 0x%04X",
                      header.endAddress, header.startAddress);
    }
    return text;
}

// What is wrong with a file the picture `input` needed, from its load
// report: the input itself, or its `role` ("palette file", "second page").
std::string DescribeLoad(const LoadReport& report, const std::string& input, const char* role) {
    const std::string& file = report.file;
    const std::string about = file == input ? "" : std::string(role) + " " + file;
    const std::string named = about.empty() ? "" : about + ": ";
    std::vector<uint8_t> start;  // the file's first bytes, to say what they are
    switch (report.outcome) {
    case LoadOutcome::CannotOpen:
        return "cannot open" + (about.empty() ? "" : " " + about) + ": " + ErrorText(report.errorNumber);
    case LoadOutcome::ReadFailed:
        return "cannot read " + file + ": " + ErrorText(report.errorNumber);
    case LoadOutcome::NotPalette:
        ReadFileBytes(file.c_str(), MaxPaletteFileBytes, start);
        if (report.palette == PaletteFileOutcome::NotBsave) {
            return file + " is not a palette file (39 bytes, but no BSAVE mark 0xFE)";
        }
        return file + " is not a palette file (" + std::to_string(start.size()) +
               (start.size() >= MaxPaletteFileBytes ? " bytes or more" : " bytes") +
               "; a palette file has 32, 39 or 256)";
    case LoadOutcome::NotGraphSaurus: {
        ReadFileBytes(file.c_str(), BsaveHeaderBytes, start);
        if (start.empty()) return named + "not a Graph Saurus file (the file is empty)";
        if (start.size() < BsaveHeaderBytes) return named + "not a Graph Saurus file (shorter than the 7-byte header)";
        char text[96];
        std::snprintf(text, sizeof text, "not a Graph Saurus file (first byte 0x%02X, not 0xFE or 0xFD)", start[0]);
        return named + text;
    }
    case LoadOutcome::CutOff:
        return named + "Graph Saurus data cut off: the file ends inside a run";
    case LoadOutcome::NotBsave: {
        ReadFileBytes(file.c_str(), BsaveHeaderBytes, start);
        const std::string problem = CheckHeader(start);
        return named + (problem.empty() ? "not a BSAVE file" : problem);
    }
    case LoadOutcome::Accepted:
    default:
        return "";
    }
}

// The output stream's buffer: big enough that a whole BMP goes out in one
// to three writes.
constexpr std::size_t OutputBufferBytes = 64 * 1024;

ConvertResult Failed(std::string reason) { return ConvertResult{ConvertStatus::Failed, std::move(reason)}; }

// Writes `picture` to the open output file, a PNG by way of `bytes`.
// Returns "" on success.
std::string WriteOutput(OutputFile& output, const Picture& picture, OutputFormat format, std::vector<uint8_t>& bytes) {
    errno = 0;
    if (format == OutputFormat::Png) {
        std::string error;
        if (!EncodePng(picture, bytes, error)) return error;
        if (std::fwrite(bytes.data(), 1, bytes.size(), output.Stream()) != bytes.size()) {
            return errno != 0 ? ErrorText(errno) : "write failed";
        }
    } else {
        FileSink sink(output.Stream());
        EncodeBmp(sink, picture, PictureBmpHeaders(picture));
        if (!sink.Ok()) return errno != 0 ? ErrorText(errno) : "write failed";
    }
    std::string error;
    if (!output.Close(error)) return error;
    return "";
}

// What converting one file takes, kept for the next file converted on the
// same thread: a batch then does not allocate and free pages of video
// memory and pictures for every file.
struct Workspace {
    std::vector<uint8_t> file;
    ScreenPage page;
    ScreenPage second;
    Picture picture;
    Picture other;
    Picture shaped;
    std::vector<uint8_t> png;
};

Workspace& ThreadWorkspace() {
    thread_local Workspace workspace;
    return workspace;
}

// Makes the picture of `input`, read into `work.file` already, in
// `work.picture` as `settings` ask for it: its second page woven in or
// blended, in the television shape. Returns "" on success, else what is
// wrong.
std::string DecodeInput(const std::string& input, FileType type, const ConvertSettings& settings, Workspace& work) {
    PaletteChoice choice;
    choice.file = settings.palette;
    choice.index = settings.paletteIndex;
    const LoadReport report = LoadPictureBytes(input, work.file, type.kind, type.screen, choice, work.page);
    if (report.outcome != LoadOutcome::Accepted) return DescribeLoad(report, input, "palette file");
    BuildPicture(type.screen, work.page.vram.data(), work.page.palette, settings.colors, work.picture);

    const std::string secondPage = SecondPageOf(input, type, settings);
    if (secondPage.empty() && (settings.interlace == Interlace::Weave || settings.interlace == Interlace::Blend)) {
        return std::string("no second page ") + WithExtension(input, SecondPageExtension(type.screen)) +
               " beside it to " + (settings.interlace == Interlace::Weave ? "weave" : "blend");
    }
    if (!secondPage.empty()) {
        // The display shows both pages through the same palette registers:
        // the picture's.
        PaletteChoice none;
        none.beside = false;
        LoadReport secondReport;
        if (ReadPictureFile(secondPage, work.file, secondReport)) {
            secondReport = LoadPictureBytes(secondPage, work.file, FileKind::SecondPage, type.screen, none, work.second);
        }
        if (secondReport.outcome != LoadOutcome::Accepted) return DescribeLoad(secondReport, input, "second page");
        BuildPicture(type.screen, work.second.vram.data(), work.page.palette, settings.colors, work.other);
        if (settings.interlace == Interlace::Blend) {
            BlendPictures(work.picture, work.other, work.shaped);
        } else {
            WeavePictures(work.picture, work.other, work.shaped);
        }
        std::swap(work.picture, work.shaped);
    }
    if (settings.aspect == Aspect::Tv) {
        TelevisionAspect(work.picture, work.shaped);
        std::swap(work.picture, work.shaped);
    }
    return "";
}

}  // namespace

const char* FormatExtension(OutputFormat format) { return format == OutputFormat::Png ? "png" : "bmp"; }

bool ParseOutputFormat(const char* text, OutputFormat& format) {
    static const char* const names[] = {"bmp", "png"};
    int index = 0;
    if (!ParseName(LowerCase(text).c_str(), names, index)) return false;
    format = static_cast<OutputFormat>(index);
    return true;
}

bool ParseScreenNumber(const char* text, uint8_t& screen) {
    for (uint8_t candidate : AllScreens) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%u", static_cast<unsigned>(candidate));
        if (std::strcmp(text, digits) == 0) {
            screen = candidate;
            return true;
        }
    }
    return false;
}

bool ParseInterlace(const char* text, Interlace& interlace) {
    static const char* const names[] = {"auto", "weave", "blend", "off"};
    int index = 0;
    if (!ParseName(text, names, index)) return false;
    interlace = static_cast<Interlace>(index);
    return true;
}

bool ParseAspect(const char* text, Aspect& aspect) {
    static const char* const names[] = {"raw", "tv"};
    int index = 0;
    if (!ParseName(text, names, index)) return false;
    aspect = static_cast<Aspect>(index);
    return true;
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

std::string OutputPathFor(const std::string& input, OutputFormat format, const std::string& folder,
                          bool keepExtension) {
    const std::string renamed = keepExtension ? input + "." + FormatExtension(format)
                                              : WithExtension(input, FormatExtension(format));
    if (folder.empty()) return renamed;
    return JoinPath(folder, renamed.substr(SplitName(renamed).nameStart));
}

FileType ReadingOf(const std::string& input, const ConvertSettings& settings) {
    FileType type = TypeOfFile(input);
    const bool picture =
        type.kind == FileKind::Bsave || type.kind == FileKind::GraphSaurus || type.kind == FileKind::SecondPage;
    if (!picture) type = FileType{settings.screen != 0 ? FileKind::Bsave : FileKind::Unknown, 0};
    if (settings.screen != 0) type.screen = settings.screen;
    return type;
}

std::string SecondPageOf(const std::string& input, FileType type, const ConvertSettings& settings) {
    if (settings.interlace == Interlace::Off || type.kind == FileKind::SecondPage) return "";
    const char* extension = SecondPageExtension(type.screen);
    return extension != nullptr ? FindBeside(input, extension) : "";
}

ConvertResult ConvertFile(const std::string& input, const std::string& output, const ConvertSettings& settings) {
    // The input first: what it is, whether it reads, its header, its mode.
    if (KindOf(input) == PathKind::Directory) return Failed("is a directory");
    const FileType type = ReadingOf(input, settings);
    if (TypeOfFile(input).kind == FileKind::Palette && settings.screen == 0) {
        return Failed("a palette file, not a picture: it goes with the picture of the same name, or with --palette");
    }
    Workspace& work = ThreadWorkspace();
    LoadReport read;
    if (!ReadPictureFile(input, work.file, read)) return Failed(DescribeLoad(read, input, ""));
    const bool compressed = !work.file.empty() && work.file[0] == GraphSaurusCompressedId;
    if (type.kind == FileKind::Bsave || type.kind == FileKind::Unknown ||
        (type.kind == FileKind::SecondPage && !compressed)) {
        const std::string headerProblem = CheckHeader(work.file);
        if (!headerProblem.empty()) return Failed(headerProblem);
    }
    if (type.kind == FileKind::Unknown) {
        const std::string extension = ExtensionOf(input);
        return Failed("unknown screen mode: cannot tell it from " +
                      (extension.empty() ? std::string("a name without extension")
                                         : "the extension \"." + extension + "\"") +
                      "; pass --screen N");
    }

    // Then the output: never a directory or device, never the input, and
    // an existing file only when asked to.
    switch (KindOf(output)) {
    case PathKind::Directory:
        return Failed("cannot write " + output + ": is a directory");
    case PathKind::Other:
        return Failed("cannot write " + output + ": not a regular file");
    case PathKind::File:
        if (SameFile(input, output)) return Failed("cannot write " + output + ": it is the input file");
        if (!settings.force) {
            return ConvertResult{ConvertStatus::Skipped, output + " exists; use --force to replace it"};
        }
        // Root could replace it; nobody is meant to.
        if (IsReadOnly(output)) return Failed("cannot write " + output + ": the file is read-only");
        break;
    case PathKind::Missing:
        break;
    }
    if (settings.format == OutputFormat::Png && !PngAvailable()) {
        return Failed("PNG output is not available in this build");
    }

    const std::string problem = DecodeInput(input, type, settings, work);
    if (!problem.empty()) return Failed(problem);

    // Declared before `temp`, whose stream uses it until it is closed.
    char outputBuffer[OutputBufferBytes];
    InterruptWatch watch;  // ends only after `temp` has gone, whichever way
    OutputFile temp;
    std::string error;
    if (!watch.Create(temp, output, error)) return Failed("cannot write " + output + ": " + error);
    std::setvbuf(temp.Stream(), outputBuffer, _IOFBF, sizeof outputBuffer);  // before any write
    error = WriteOutput(temp, work.picture, settings.format, work.png);
    if (!error.empty()) {
        temp.Discard();
        return Failed("cannot write " + output + ": " + error);
    }
    switch (temp.Commit(settings.force, error)) {
    case PlaceOutcome::Done:
        return ConvertResult{ConvertStatus::Converted, ""};
    case PlaceOutcome::TargetExists:
        return ConvertResult{ConvertStatus::Skipped, output + " exists; use --force to replace it"};
    case PlaceOutcome::Failed:
        break;
    }
    return Failed("cannot write " + output + ": " + error);
}

}  // namespace velda
