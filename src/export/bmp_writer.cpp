#include "export/bmp_writer.h"

namespace velda {

ExportHeadersRecord PictureBmpHeaders(const Picture& picture) {
    ExportHeadersRecord headers{};
    FillBmpHeaders(picture.width, picture.height, picture.bitDepth, static_cast<int>(picture.palette.size()),
                   headers);
    return headers;
}

}  // namespace velda
