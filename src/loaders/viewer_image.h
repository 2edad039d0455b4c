// What the image viewers' plug-ins show of an MSX picture file: the gdk-pixbuf
// loader (gdk_pixbuf_loader.cpp) and the Qt image-format plugin
// (qt_image_plugin.cpp) are two thin front ends on this. A file goes in as
// its bytes and, where the viewer tells it, its path; out comes exactly the
// picture velda-convert writes as PNG for it with its default options
// (the velda colours, a second page woven in where it is found, the
// picture's own size), as RGB, or the converter's text of why it is none.
//
// The mode of a BSAVE dump and the kind of most files is only in the
// file's name, so a file whose name is unknown is refused as velda-convert
// refuses a file without an extension. A file known by its path takes its
// palette file and second page from its folder, as the converter does; one
// known only by its extension is made alone, as velda-convert makes it
// with nothing beside it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "image/companions.h"
#include "image/load_error.h"

namespace velda {

// A picture as viewers take it: red, green, blue, 3 bytes a pixel, rows of
// width * 3 bytes without padding, top line first.
struct ViewerImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
};

// The image of the picture file `file` (`size` bytes) named `name`, its
// companions read from `beside` (nullptr: the file alone). On an error,
// which names what is wrong as velda-convert would, `image` is left alone.
LoadError MakeViewerImage(const uint8_t* file, std::size_t size, const PictureName& name, Companions* beside,
                          ViewerImage& image);

// The same for the file at `path`, with the files of its folder beside it;
// "" for a file whose name is unknown, which is refused.
LoadError MakeViewerImageOf(const uint8_t* file, std::size_t size, const std::string& path, ViewerImage& image);

// The picture extensions and MIME types both plug-ins claim, as
// share/mime/packages/velda.xml gives them (qvelda.json lists the same for
// Qt): BSAVE dumps, Graph Saurus pictures and COPY files. Second pages and
// palette files go with a picture, and a disk image is no picture.
extern const char* const ClaimedExtensions[];  // in small letters; nullptr after the last
extern const char* const ClaimedMimeTypes[];

}  // namespace velda
