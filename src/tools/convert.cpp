#include "tools/convert.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "export/bmp_writer.h"
#include "export/png_writer.h"
#include "image/bsave_loader.h"
#include "image/mode_table.h"
#include "image/read_file.h"
#include "image/vram_image.h"
#include "platform/files.h"
#include "platform/output_file.h"
#include "render/picture.h"
#include "tools/interrupt.h"

namespace velda {

namespace {

struct ExtensionMode {
    const char* extension;  // upper case
    uint8_t screen;
};

constexpr ExtensionMode ExtensionModes[] = {
    {"SC5", 5}, {"SC6", 6}, {"SC7", 7}, {"SC8", 8}, {"SCA", 10}, {"S10", 10},
    {"S11", 11}, {"SCC", 12}, {"S12", 12},
};

std::string UpperCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// Position of the dot that starts the extension of the file name, or npos.
std::size_t ExtensionDot(const std::string& path) {
    const std::size_t nameStart = FileNameStart(path);
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot <= nameStart) return std::string::npos;
    return dot;
}

// The output stream's buffer: big enough that a whole BMP goes out in one
// to three writes.
constexpr std::size_t OutputBufferBytes = 64 * 1024;

ConvertResult Failed(std::string reason) { return ConvertResult{ConvertStatus::Failed, std::move(reason)}; }

// Says precisely what is wrong with the header of `file`, if anything.
// Returns "" for a usable header.
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

// The picture of `file` as a freshly started VELDA shows it after opening
// it in the given mode: video memory and palette start from zero.
void DecodeFile(const std::vector<uint8_t>& file, uint8_t screen, ColorRule rule, Picture& picture) {
    std::vector<uint8_t> vram(VramBytes);
    uint8_t palette[PaletteBytes] = {};
    BsaveHeader header{};
    PlaceBsave(file.data(), file.size(), screen, vram.data(), header);
    CapturePalette(screen, vram.data(), palette);
    BuildPicture(screen, vram.data(), palette, rule, picture);
}

// Writes `picture` to the open output file. Returns "" on success.
std::string WriteOutput(OutputFile& output, const Picture& picture, OutputFormat format) {
    errno = 0;
    if (format == OutputFormat::Png) {
        std::vector<uint8_t> bytes;
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

}  // namespace

const char* FormatExtension(OutputFormat format) { return format == OutputFormat::Png ? "png" : "bmp"; }

bool ParseOutputFormat(const char* text, OutputFormat& format) {
    const std::string upper = UpperCase(text);
    if (upper == "BMP") {
        format = OutputFormat::Bmp;
        return true;
    }
    if (upper == "PNG") {
        format = OutputFormat::Png;
        return true;
    }
    return false;
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

std::string FileExtension(const std::string& path) {
    const std::size_t dot = ExtensionDot(path);
    return dot == std::string::npos ? std::string() : path.substr(dot + 1);
}

uint8_t ModeFromExtension(const std::string& path) {
    const std::string extension = UpperCase(FileExtension(path));
    for (const ExtensionMode& entry : ExtensionModes) {
        if (extension == entry.extension) return entry.screen;
    }
    return 0;
}

std::string ReplaceExtension(const std::string& path, const char* extension) {
    const std::size_t dot = ExtensionDot(path);
    return (dot == std::string::npos ? path : path.substr(0, dot)) + "." + extension;
}

std::string OutputPathFor(const std::string& input, OutputFormat format, const std::string& folder) {
    const std::string renamed = ReplaceExtension(input, FormatExtension(format));
    if (folder.empty()) return renamed;
    return JoinPath(folder, renamed.substr(FileNameStart(renamed)));
}

ConvertResult ConvertFile(const std::string& input, const std::string& output, const ConvertSettings& settings) {
    // The input first: what it is, whether it reads, its header, its mode.
    if (KindOf(input) == PathKind::Directory) return Failed("is a directory");
    std::vector<uint8_t> file;
    switch (ReadFileBytes(input.c_str(), MaxBsaveFileBytes, file)) {
    case ReadResult::Read:
        break;
    case ReadResult::CannotOpen:
        return Failed("cannot open: " + ErrorText(errno != 0 ? errno : ENOENT));
    case ReadResult::ReadFailed:
        return Failed("cannot read " + input + ": " + ErrorText(errno));
    }
    const std::string headerProblem = CheckHeader(file);
    if (!headerProblem.empty()) return Failed(headerProblem);

    const uint8_t screen = settings.screen != 0 ? settings.screen : ModeFromExtension(input);
    if (screen == 0) {
        const std::string extension = FileExtension(input);
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

    Picture picture;
    DecodeFile(file, screen, settings.colors, picture);

    // Declared before `temp`, whose stream uses it until it is closed.
    char outputBuffer[OutputBufferBytes];
    OutputFile temp;
    std::string error;
    if (!temp.Create(output, error)) return Failed("cannot write " + output + ": " + error);
    const InterruptWatch watch(temp);
    std::setvbuf(temp.Stream(), outputBuffer, _IOFBF, sizeof outputBuffer);  // before any write
    error = WriteOutput(temp, picture, settings.format);
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
