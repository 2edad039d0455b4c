// The name that the Save dialog proposes for the BMP file.
#pragma once

#include <cstddef>

#include "image/file_types.h"

namespace velda {

// Proposes the BMP name for `path` (a code-page-932 path, NUL-terminated)
// into `out` of `outSize` bytes: the file name's extension replaced by
// "bmp", or ".bmp" appended when the file name has none. Only the file
// name is looked at: a dot in a folder name is never taken, so the proposal
// never names the loaded picture itself nor a file in another folder.
// "A.SC5" gives "A.bmp", "A.B.SC5" gives "A.B.bmp". When the proposal does
// not fit, `out` is left empty so that nothing wrong is proposed.
void ProposeBmpName(const char* path, char* out, std::size_t outSize);

}  // namespace velda
