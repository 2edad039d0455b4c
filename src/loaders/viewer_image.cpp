#include "loaders/viewer_image.h"

#include <algorithm>

#include "image/picture_file.h"
#include "platform/folder_files.h"
#include "platform/names.h"
#include "render/picture.h"
#include "render/picture_shapes.h"

namespace velda {

namespace {

// `picture` as red, green and blue bytes, line by line.
ViewerImage RgbOf(const Picture& picture) {
    ViewerImage image;
    image.width = picture.width;
    image.height = picture.height;
    image.rgb.reserve(static_cast<std::size_t>(picture.width) * picture.height * 3);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const Rgb8 c = PixelColor(picture, x, y);
            image.rgb.insert(image.rgb.end(), {c.r, c.g, c.b});
        }
    }
    return image;
}

}  // namespace

LoadError MakeViewerImage(const uint8_t* file, std::size_t size, const PictureName& name, Companions* beside,
                          ViewerImage& image) {
    PictureRequest request;
    request.name = name;
    request.beside = beside;
    request.interlace = Interlace::Auto;
    // No more of the file than velda-convert reads.
    size = std::min(size, MaxPictureFileBytes);
    ScreenPage page;
    if (LoadError error = OpenPicture(file, size, request, page)) return error;
    image = RgbOf(MakePicture(ViewOf(page), PictureOptions{}));
    return LoadError{};
}

LoadError MakeViewerImageOf(const uint8_t* file, std::size_t size, const std::string& path, ViewerImage& image) {
    if (path.empty()) return MakeViewerImage(file, size, PictureName{}, nullptr, image);
    const PathParts parts = SplitPath(path);
    FolderFiles folder(parts.folder);
    return MakeViewerImage(file, size, PictureName{parts.stem, parts.extension}, &folder, image);
}

const char* const ClaimedExtensions[] = {
    "sc5", "sc6", "sc7", "sc8", "sca", "s10", "s11", "scb", "scc", "s12", "ge5", "ge7", "ge8", "sc1", "sc2",
    "sc3", "sc4", "grp", "sr5", "sr6", "sr7", "sr8", "sra", "srb", "srs", "src", "gl5", "gl6", "gl7", "gl8",
    "gla", "glb", "glc", "gls", nullptr};
const char* const ClaimedMimeTypes[] = {"image/x-msx-bsave", "image/x-msx-graph-saurus", "image/x-msx-copy",
                                        nullptr};

}  // namespace velda
