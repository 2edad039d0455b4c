// Other shapes of a decoded picture, made from the picture of each page:
//
//   weave   an interlaced pair as the MSX shows it: 424 lines, the first
//           page's lines on the even ones, the second's on the odd ones
//   blend   a pair made for the display that flips between the two pages:
//           each colour channel the mean of both, (a + b + 1) / 2, on 212
//           lines, as RGB
//   tv      the proportions of a television, where a screen is 512 x 424:
//           every pixel repeated whole (never smoothed) across and down as
//           far as its mode needs
//   crop    the top left of a picture: a COPY file's area
#pragma once

#include "render/picture.h"

namespace velda {

// The lines of `first` and `second` alternating, `first`'s on top: a
// picture of twice the height in the pixel form and palette of `first`.
// The two must be of one shape.
void WeavePictures(const Picture& first, const Picture& second, Picture& woven);

// The two pictures of one shape mixed channel by channel into an RGB
// picture of that size.
void BlendPictures(const Picture& first, const Picture& second, Picture& blended);

// The picture in a television's proportions: the pixels of a 256-wide
// mode doubled across, the lines of a page doubled down (a woven pair's
// 424 lines are already). A screen becomes 512 x 424. Indices stay
// indices; the palette is kept.
void TelevisionAspect(const Picture& picture, Picture& shown);

// How many times TelevisionAspect repeats each pixel of `picture` across
// and each line down: 1 or 2.
struct Repeats {
    int across, down;
};
Repeats TelevisionRepeats(const Picture& picture);

// The top left `width` x `height` of `picture`, in its pixel form and
// palette; the bits of a last byte beyond the width are zero.
void CropPicture(const Picture& picture, int width, int height, Picture& cropped);

// The RGB picture `picture` as an 8-bit indexed one of the same pixels,
// its palette the colours in the order they first appear, line by line.
// Returns false, leaving `indexed` alone, when it has more than 256
// colours or is indexed already. YJK pictures often use few colours: so
// written, their PNG is a third of the size.
bool IndexColors(const Picture& picture, Picture& indexed);

// The colour of pixel x of line y.
Rgb8 PixelColor(const Picture& picture, int x, int y);

}  // namespace velda
