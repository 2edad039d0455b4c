#include "tools/convert.h"

#include <vector>

#include "export/bmp_writer.h"
#include "export/png_writer.h"
#include "image/palette_file.h"
#include "platform/files.h"
#include "platform/folder_files.h"
#include "platform/names.h"

namespace velda {

namespace {

// A picture file read with its companions, and how.
struct OpenedInput {
    PicturePlan plan;
    ScreenPage page;
};

// Reads `input` from `beside` and opens it as `settings` ask, its plan in
// `opened` even where opening fails.
LoadError OpenInput(const std::string& input, const ConvertSettings& settings, Companions* beside,
                    OpenedInput& opened) {
    FolderFiles ownFolder(SplitPath(input).folder);
    Companions& files = beside != nullptr ? *beside : ownFolder;
    std::vector<uint8_t> bytes;
    if (LoadError error = files.Read(input, MaxPictureFileBytes, bytes)) return error;
    // A file of a disk image is named as the image names it.
    const std::string held = files.PathOf(input);
    const PathParts parts = held != input ? SplitImagePath(held) : SplitPath(held);
    PictureRequest request;
    request.name = PictureName{parts.stem, parts.extension};
    request.screen = settings.screen;
    request.beside = &files;
    request.interlace = settings.interlace;
    request.paletteIndex = settings.paletteIndex;
    ChosenPalette chosen;
    if (!settings.palette.empty()) {
        chosen.file = settings.palette;
        chosen.read = ReadPictureFile(settings.palette, MaxPaletteFileBytes, chosen.bytes);
        request.chosen = &chosen;
    }
    opened.plan = PlanPicture(bytes.data(), bytes.size(), request);
    return OpenPicture(bytes.data(), bytes.size(), opened.plan, request, opened.page);
}

PictureOptions OptionsOf(const ConvertSettings& settings) {
    PictureOptions options;
    options.colors = settings.colors;
    options.interlace = settings.interlace;
    options.aspect = settings.aspect;
    options.sprites = settings.sprites;
    return options;
}

Outcome Failed(Problem problem) {
    Outcome outcome;
    outcome.problem = std::move(problem);
    return outcome;
}

// Writes the picture of `page` to `output` in the format asked for: made
// only once the output may be written.
WriteError WriteOutput(const ScreenPage& page, const std::string& output, const ConvertSettings& settings) {
    const ExistingTarget existing = settings.force ? ExistingTarget::Replace : ExistingTarget::Keep;
    return WriteFinishedFile(output, existing, [&](FileSink& sink) {
        const Picture picture = MakePicture(ViewOf(page), OptionsOf(settings));
        if (settings.format == OutputFormat::Bmp) {
            EncodeBmp(sink, picture, PrepareExportHeaders(picture));
            return;
        }
        std::vector<uint8_t> png;
        if (const std::error_code error = EncodePng(picture, png)) return sink.Fail(error);
        sink.Write(png.data(), png.size());
    });
}

}  // namespace

const char* FormatExtension(OutputFormat format) { return format == OutputFormat::Png ? "png" : "bmp"; }

Outcome ListFile(const std::string& input, const ConvertSettings& settings, Companions* beside) {
    OpenedInput opened;
    if (LoadError error = OpenInput(input, settings, beside, opened)) return Failed(error);
    const Picture picture = MakePicture(ViewOf(opened.page), OptionsOf(settings));
    Outcome outcome;
    outcome.status = ConvertStatus::Listed;
    outcome.plan = opened.plan;
    outcome.width = picture.width;
    outcome.height = picture.height;
    return outcome;
}

Outcome ConvertFile(const std::string& input, const std::string& output, const ConvertSettings& settings,
                    Companions* beside) {
    // The input first: what it is, whether it reads, and its companions.
    OpenedInput opened;
    if (LoadError error = OpenInput(input, settings, beside, opened)) return Failed(error);
    // Never the input itself, whatever --force says.
    if (SameFile(input, output)) return Failed(OverInput{output});
    const WriteError error = WriteOutput(opened.page, output, settings);
    Outcome outcome;
    outcome.plan = opened.plan;
    if (!error) {
        outcome.status = ConvertStatus::Converted;
    } else {
        outcome.status = error.fault == WriteFault::Exists ? ConvertStatus::Skipped : ConvertStatus::Failed;
        outcome.problem = WriteProblem{output, error};
    }
    return outcome;
}

}  // namespace velda
