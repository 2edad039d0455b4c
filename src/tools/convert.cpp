#include "tools/convert.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "export/bmp_writer.h"
#include "export/png_writer.h"
#include "image/bsave_loader.h"
#include "image/mode_table.h"
#include "image/palette_file.h"
#include "image/picture_file.h"
#include "platform/files.h"
#include "platform/folder_files.h"
#include "platform/interrupt.h"
#include "platform/names.h"
#include "platform/output_file.h"
#include "render/picture.h"
#include "render/picture_shapes.h"

namespace velda {

namespace {

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

// The output stream's buffer: big enough that a whole BMP goes out in one
// to three writes.
constexpr std::size_t OutputBufferBytes = 64 * 1024;

ConvertResult Failed(std::string reason) { return ConvertResult{ConvertStatus::Failed, std::move(reason)}; }

// Writes `picture` to the open output file, a PNG by way of `bytes`.
std::error_code WriteOutput(OutputFile& output, const Picture& picture, OutputFormat format,
                            std::vector<uint8_t>& bytes) {
    errno = 0;
    bool written = false;
    if (format == OutputFormat::Png) {
        if (const std::error_code error = EncodePng(picture, bytes)) return error;
        written = std::fwrite(bytes.data(), 1, bytes.size(), output.Stream()) == bytes.size();
    } else {
        FileSink sink(output.Stream());
        EncodeBmp(sink, picture, PictureBmpHeaders(picture));
        written = sink.Ok();
    }
    if (!written) return ErrnoCode(errno != 0 ? errno : EIO);
    return output.Close();
}

// What converting one file takes, kept for the next file converted on the
// same thread: a batch then does not allocate and free pages of video
// memory and pictures for every file.
struct Workspace {
    std::vector<uint8_t> file;
    ChosenPalette chosen;
    ScreenPage page;
    Picture picture;
    Picture other;
    Picture shaped;
    std::vector<uint8_t> png;
};

Workspace& ThreadWorkspace() {
    thread_local Workspace workspace;
    return workspace;
}

// Reads `input`, as `type`, and its companions from `beside` into
// `work.page`, as `settings` ask for them.
LoadError ReadInput(const std::string& input, FileType type, const ConvertSettings& settings, Companions& beside,
                    Workspace& work) {
    const PathParts parts = SplitPath(beside.PathOf(input));
    if (TypeOfExtension(parts.extension).kind == FileKind::Palette && settings.screen == 0) {
        return LoadError(LoadFault::PaletteFileAlone);
    }
    if (LoadError error = beside.Read(input, MaxPictureFileBytes, work.file)) return error;
    if (type.kind == FileKind::Unknown) {
        // Without a mode it is no picture: say what is wrong with it first.
        BsaveHeader header{};
        LoadError error = ParseBsaveHeader(work.file.data(), work.file.size(), header);
        if (!error) {
            error = LoadError(LoadFault::UnknownExtension);
            error.extension = parts.extension;
        }
        return error;
    }
    PictureRequest request;
    request.kind = type.kind;
    request.screen = type.screen;
    request.name = PictureName{parts.stem, parts.extension};
    request.beside = &beside;
    request.secondPage = settings.interlace != Interlace::Off;
    request.paletteIndex = settings.paletteIndex;
    if (!settings.palette.empty()) {
        work.chosen.file = settings.palette;
        work.chosen.read = ReadWholeFile(settings.palette, MaxPaletteFileBytes, work.chosen.bytes);
        request.chosen = &work.chosen;
    }
    return OpenPicture(work.file.data(), work.file.size(), request, work.page);
}

// Makes the picture of `work.page` in `work.picture` as `settings` ask for
// it: its second page woven in or blended, in the television shape.
void ShapeInput(const ConvertSettings& settings, Workspace& work) {
    const ScreenPage& page = work.page;
    BuildPicture(page.screen, page.vram.data(), page.palette, settings.colors, work.picture);
    if (page.width > 0) {  // a COPY file's area: the picture is its own size
        CropPicture(work.picture, page.width, page.height, work.shaped);
        std::swap(work.picture, work.shaped);
    }
    if (!page.secondPage.empty()) {
        // The display shows both pages through the same palette registers:
        // the picture's.
        BuildPicture(page.screen, page.secondVram.data(), page.palette, settings.colors, work.other);
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
}

}  // namespace

const char* FormatExtension(OutputFormat format) { return format == OutputFormat::Png ? "png" : "bmp"; }

bool ParseOutputFormat(const char* text, OutputFormat& format) {
    static constexpr const char* names[] = {"bmp", "png"};
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
    static constexpr const char* names[] = {"auto", "weave", "blend", "off"};
    int index = 0;
    if (!ParseName(text, names, index)) return false;
    interlace = static_cast<Interlace>(index);
    return true;
}

bool ParseAspect(const char* text, Aspect& aspect) {
    static constexpr const char* names[] = {"raw", "tv"};
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
    return JoinPath(folder, FileNameOf(renamed));
}

FileType ReadingOf(const std::string& input, const ConvertSettings& settings) {
    FileType type = TypeOfExtension(SplitPath(input).extension);
    if (!IsPictureKind(type.kind)) type = FileType{settings.screen != 0 ? FileKind::Bsave : FileKind::Unknown, 0};
    if (settings.screen != 0) type.screen = settings.screen;
    return type;
}

std::string FileBeside(const std::string& input, const char* extension, Companions& beside) {
    if (extension == nullptr) return "";
    const PathParts parts = SplitPath(beside.PathOf(input));
    return FindBeside(beside, PictureName{parts.stem, parts.extension}, extension);
}

std::string SecondPageOf(const std::string& input, FileType type, const ConvertSettings& settings,
                         Companions& beside) {
    // A page goes with a page; a COPY file's area has none.
    if (settings.interlace == Interlace::Off || type.kind == FileKind::SecondPage || type.kind == FileKind::Copy) {
        return "";
    }
    return FileBeside(input, SecondPageExtension(type.screen), beside);
}

namespace {

// Reads `input` and its companions into the thread's workspace, as
// ConvertFile and DescribeFile both do; "" when it reads, else why not.
std::string ReadWhole(const std::string& input, const ConvertSettings& settings, Companions* beside, Workspace& work) {
    if (KindOf(input) == PathKind::Directory) return "is a directory";
    const FileType type = ReadingOf(input, settings);
    FolderFiles ownFolder(SplitPath(input).folder);
    if (const LoadError error = ReadInput(input, type, settings, beside != nullptr ? *beside : ownFolder, work)) {
        return DescribeLoadError(error);
    }
    if (work.page.secondPage.empty() &&
        (settings.interlace == Interlace::Weave || settings.interlace == Interlace::Blend)) {
        return std::string("no second page ") + WithExtension(input, SecondPageExtension(type.screen)) +
               " beside it to " + (settings.interlace == Interlace::Weave ? "weave" : "blend");
    }
    return "";
}

constexpr const char* ReaderNames[] = {"BSAVE", "Graph Saurus", "COPY", "page without header"};

}  // namespace

ConvertResult DescribeFile(const std::string& input, const ConvertSettings& settings, Companions* beside) {
    Workspace& work = ThreadWorkspace();
    const std::string problem = ReadWhole(input, settings, beside, work);
    if (!problem.empty()) return Failed(problem);
    const ScreenPage& page = work.page;
    ShapeInput(settings, work);
    std::string text = std::string(ReaderNames[static_cast<int>(page.reader)]) + ", SCREEN " +
                       std::to_string(page.screen) + ", " + std::to_string(work.picture.width) + " x " +
                       std::to_string(work.picture.height);
    if (!page.secondPage.empty()) text += ", with its second page " + page.secondPage;
    if (!page.paletteFile.empty()) text += ", colours from " + page.paletteFile;
    return ConvertResult{ConvertStatus::Converted, text};
}

ConvertResult ConvertFile(const std::string& input, const std::string& output, const ConvertSettings& settings,
                          Companions* beside) {
    // The input first: what it is, whether it reads, and its companions.
    Workspace& work = ThreadWorkspace();
    const std::string problem = ReadWhole(input, settings, beside, work);
    if (!problem.empty()) return Failed(problem);

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
    ShapeInput(settings, work);

    // Declared before `temp`, whose stream uses it until it is closed.
    char outputBuffer[OutputBufferBytes];
    InterruptWatch watch;  // ends only after `temp` has gone, whichever way
    OutputFile temp;
    std::error_code error = watch.Create(temp, output);
    if (error) return Failed("cannot write " + output + ": " + error.message());
    std::setvbuf(temp.Stream(), outputBuffer, _IOFBF, sizeof outputBuffer);  // before any write
    error = WriteOutput(temp, work.picture, settings.format, work.png);
    if (!error) error = temp.Commit(settings.force);
    if (error == std::errc::file_exists) {
        return ConvertResult{ConvertStatus::Skipped, output + " exists; use --force to replace it"};
    }
    if (error) {
        temp.Discard();
        return Failed("cannot write " + output + ": " + error.message());
    }
    return ConvertResult{ConvertStatus::Converted, ""};
}

}  // namespace velda
