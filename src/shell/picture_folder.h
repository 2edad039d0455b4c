// Next and previous picture: which files of a folder are pictures to step
// through, and in what order. Portable: the folder is read through
// platform/files.h.
#pragma once

#include <string>

namespace velda {

// The file next to `path` in its folder in NameBefore order, after it for
// a positive `step` and before it otherwise, among the files whose
// extension gives a mode (BSAVE dumps, Graph Saurus pictures and COPY
// files: second pages and palette files go with a picture and are not
// stepped to).
// `path` itself need not be one of them, nor exist. Returns the file's
// path, its folder as in `path`; "" when there is none or the folder
// cannot be read.
std::string NeighbourPicture(const std::string& path, int step);

}  // namespace velda
