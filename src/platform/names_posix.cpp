// Names on POSIX systems: '/' separates folders, and a name is its bytes,
// whatever their encoding.
#include "platform/names.h"

namespace velda {

PathParts SplitPath(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    PathParts parts;
    parts.folder = path.substr(0, nameStart);
    const std::size_t dot = path.rfind('.');
    parts.dot = dot != std::string::npos && dot > nameStart;
    parts.stem = path.substr(nameStart, parts.dot ? dot - nameStart : std::string::npos);
    if (parts.dot) parts.extension = path.substr(dot + 1);
    return parts;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

std::string FoldedName(const std::string& name) {
    std::string folded = name;
    for (char& c : folded) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return folded;
}

std::string NameKey(const std::string& name) { return name; }

}  // namespace velda
