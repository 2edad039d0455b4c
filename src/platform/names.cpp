#include "platform/names.h"

#include <cstring>

#include "image/name_letters.h"

namespace velda {

namespace {

constexpr char Replacement = '_';

// A byte a terminal acts on rather than shows.
bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

bool IsRefused(unsigned char c) { return IsControl(c) || std::strchr("<>:\"/\\|?*", c) != nullptr; }

// Whether `stem` (before any dot) is a name Windows keeps for a device.
bool IsDeviceName(const std::string& stem) {
    const std::string upper = FoldedName(stem);
    for (const char* device : {"CON", "PRN", "AUX", "NUL"}) {
        if (upper == device) return true;
    }
    return upper.size() == 4 && (upper.compare(0, 3, "COM") == 0 || upper.compare(0, 3, "LPT") == 0) &&
           upper[3] >= '1' && upper[3] <= '9';
}

// `path` split after its last byte of `separators`.
PathParts SplitAt(const std::string& path, const char* separators) {
    const std::size_t separator = path.find_last_of(separators);
    const std::size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
    PathParts parts;
    parts.folder = path.substr(0, nameStart);
    const std::size_t dot = path.rfind('.');
    parts.dot = dot != std::string::npos && dot > nameStart;
    parts.stem = path.substr(nameStart, parts.dot ? dot - nameStart : std::string::npos);
    if (parts.dot) parts.extension = path.substr(dot + 1);
    return parts;
}

}  // namespace

std::string HarmlessName(const std::string& name) {
    std::string harmless = name;
    // A byte of a UTF-8 sequence beyond ASCII is never one of them.
    for (char& c : harmless) {
        if (IsRefused(static_cast<unsigned char>(c))) c = Replacement;
    }
    while (!harmless.empty() && (harmless.back() == '.' || harmless.back() == ' ')) harmless.pop_back();
    if (harmless.empty() || IsDeviceName(harmless.substr(0, harmless.find('.')))) harmless.insert(0, 1, Replacement);
    return harmless;
}

std::string FoldedName(const std::string& name) { return Capitals(name); }

std::string PrintableName(std::string name) {
    for (char& c : name) {
        if (IsControl(static_cast<unsigned char>(c))) c = '?';
    }
    return name;
}

// A byte of a UTF-8 sequence beyond ASCII is never a separator or a dot.
PathParts SplitPath(const std::string& path) { return SplitAt(path, FolderSeparators); }

// A second byte of code page 932 is never '/' or '.', though it may be '\'.
PathParts SplitImagePath(const std::string& path) { return SplitAt(path, "/"); }

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
