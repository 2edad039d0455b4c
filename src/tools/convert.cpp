#include "tools/convert.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "export/bmp_headers.h"
#include "export/bmp_writer.h"
#include "image/bsave_loader.h"
#include "image/mode_table.h"
#include "image/vram_image.h"
#include "tools/file_ops.h"
#include "tools/picture.h"
#include "tools/png_writer.h"

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

// Buffers of the input and output streams. Every read or write of a file
// costs a system call, which is dear beside the copying: with stdio's usual
// 4 KiB buffers a 24-bit BMP took 40 writes. With these a whole BSAVE file
// (at most 7 + 65,536 bytes) is read at once and a whole BMP written in one
// to three writes.
constexpr std::size_t InputBufferBytes = 80 * 1024;
constexpr std::size_t OutputBufferBytes = 64 * 1024;

ConvertResult Failed(std::string reason) { return ConvertResult{ConvertStatus::Failed, std::move(reason)}; }

struct FileCloser {
    void operator()(std::FILE* stream) const { std::fclose(stream); }
};
using InputFile = std::unique_ptr<std::FILE, FileCloser>;

// Reads the header of an open input and says precisely what is wrong
// with it, if anything. Returns "" for a usable header.
std::string CheckHeader(std::FILE* stream) {
    uint8_t bytes[BsaveHeaderBytes];
    const std::size_t got = std::fread(bytes, 1, sizeof bytes, stream);
    if (std::ferror(stream)) return "cannot read: " + ErrorText(errno);
    if (got == 0) return "not a BSAVE file (the file is empty)";
    if (got < sizeof bytes) return "not a BSAVE file (shorter than the 7-byte header)";
    BsaveHeader header{};
    if (ParseBsaveHeader(bytes, got, header)) return "";
    char text[96];
    if (header.id != BsaveId) {
        std::snprintf(text, sizeof text, "not a BSAVE file (first byte 0x%02X, not 0xFE)", header.id);
    } else {
        std::snprintf(text, sizeof text, "bad BSAVE header: end address 0x%04X is below start address 0x%04X",
                      header.endAddress, header.startAddress);
    }
    return text;
}

// Loads the open input into the image model as VELDA's Open command does
// right after program start, and prepares the BMP headers as the end of
// that command does. Returns "" on success.
std::string LoadFresh(const std::string& input, std::FILE* stream, uint8_t screen) {
    ResetImageModel();
    if (input.size() < sizeof CurrentFile.path) std::memcpy(CurrentFile.path, input.c_str(), input.size() + 1);
    if (std::fseek(stream, 0, SEEK_SET) != 0) return "cannot read: " + ErrorText(errno);
    if (LoadBsaveFrom(stream, screen) != LoadOutcome::Accepted) return "not a BSAVE file";
    if (std::ferror(stream)) return "cannot read: " + ErrorText(errno);
    PrepareExportHeaders(screen);
    ScreenMode = screen;
    return "";
}

// Writes the picture in the image model to the open temporary file.
// Returns "" on success.
std::string WriteOutput(TempOutput& temp, uint8_t screen, const ConvertSettings& settings) {
    errno = 0;
    if (settings.format == OutputFormat::Bmp && settings.colors == ColorRule::Velda) {
        // Save's own writer on Save's own inputs. It closes the stream and
        // removes the file if anything fails.
        const SaveOutcome outcome =
            WriteBmpStream(temp.Stream(), temp.Path().c_str(), screen, ExportHeaders, VramImage, MsxPalette);
        temp.StreamClosed();
        if (outcome == SaveOutcome::Saved) return "";
        return errno != 0 ? ErrorText(errno) : "write failed";
    }

    Picture picture;
    BuildPicture(screen, VramImage, MsxPalette, settings.colors, picture);
    if (settings.format == OutputFormat::Png) {
        std::string error;
        if (!WritePng(temp.Stream(), picture, error)) {
            if (errno != 0 && error == "write failed") error = ErrorText(errno);
            return error;
        }
    } else {
        FileSink sink(temp.Stream());
        EncodePictureBmp(sink, picture);
        if (!sink.Ok()) return errno != 0 ? ErrorText(errno) : "write failed";
    }
    std::string error;
    if (!temp.Close(error)) return error;
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
    // The input first: what it is, whether it opens, its header, its mode.
    const PathKind inputKind = KindOf(input);
    if (inputKind == PathKind::Directory) return Failed("is a directory");
    errno = 0;
    char inputBuffer[InputBufferBytes];  // declared before `stream`, which uses it until closed
    InputFile stream(std::fopen(input.c_str(), "rb"));
    if (!stream) return Failed("cannot open: " + ErrorText(errno != 0 ? errno : ENOENT));
    std::setvbuf(stream.get(), inputBuffer, _IOFBF, sizeof inputBuffer);  // before any read
    const std::string headerProblem = CheckHeader(stream.get());
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

    const std::string loadProblem = LoadFresh(input, stream.get(), screen);
    stream.reset();
    if (!loadProblem.empty()) return Failed(loadProblem);

    // Declared before `temp`, whose stream may use it until it is closed.
    char outputBuffer[OutputBufferBytes];
    TempOutput temp;
    std::string error;
    if (!temp.Create(output, error)) return Failed("cannot write " + output + ": " + error);
    std::setvbuf(temp.Stream(), outputBuffer, _IOFBF, sizeof outputBuffer);  // before any write
    error = WriteOutput(temp, screen, settings);
    if (!error.empty()) {
        temp.Discard();
        return Failed("cannot write " + output + ": " + error);
    }
    switch (temp.Commit(settings.force, error)) {
    case CommitOutcome::Done:
        return ConvertResult{ConvertStatus::Converted, ""};
    case CommitOutcome::TargetExists:
        return ConvertResult{ConvertStatus::Skipped, output + " exists; use --force to replace it"};
    case CommitOutcome::Failed:
        break;
    }
    return Failed("cannot write " + output + ": " + error);
}

}  // namespace velda
