#include "platform/names.h"

namespace velda {

std::string WithExtension(const std::string& path, const std::string& extension) {
    const PathParts parts = SplitPath(path);
    return parts.folder + parts.stem + "." + extension;
}

bool NameBefore(const std::string& a, const std::string& b) {
    const std::string foldedA = FoldedName(a), foldedB = FoldedName(b);
    // std::string compares its bytes as unsigned values.
    return foldedA != foldedB ? foldedA < foldedB : a < b;
}

}  // namespace velda
