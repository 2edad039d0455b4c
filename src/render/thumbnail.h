// Thumbnails: a small picture of a picture file, as file managers and
// Explorer show them beside its name.
//
// A thumbnail is the picture in a television's proportions (a screen is
// 512 x 424, so SCREEN 6 and 7's 512-wide pictures are not squeezed), in
// the colours the MSX puts out (the msx colour rule), made smaller with an
// area filter: every pixel of the thumbnail is the mean of the part of the
// picture it covers, so a line one pixel thin stays visible, paler. It is
// never made larger than that television shape.
//
// Only the file itself and the palette file beside it are read: a
// thumbnailer may be given nothing else. An interlaced pair shows its
// first page. The file is opened as every Open opens it (image/picture_file.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/companions.h"
#include "image/load_error.h"
#include "render/picture.h"

namespace velda {

// `picture` made smaller with an area filter so that its longer side is
// at most `maxSide` (from 1), keeping its proportions; a picture already
// that small is copied. The result is RGB (24 bits, blue, green, red).
void ScaleToFit(const Picture& picture, int maxSide, Picture& scaled);

// The thumbnail of an opened page (its first page only), as below.
void MakePageThumbnail(PageView page, int maxSide, Picture& thumbnail);

// The thumbnail of the picture file `file` (`size` bytes) named `name`,
// whose palette file is found among `beside` (nullptr: none is looked
// for), its longer side at most `maxSide`, into `thumbnail` (RGB). On an
// error, which names what is wrong with the file as opening it would,
// `thumbnail` is left alone.
LoadError MakeThumbnail(const uint8_t* file, std::size_t size, const PictureName& name, Companions* beside,
                        int maxSide, Picture& thumbnail);

}  // namespace velda
