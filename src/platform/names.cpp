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

}  // namespace

std::string HarmlessName(const std::string& name) {
    std::string harmless = name;
    for (std::size_t i = 0; i < harmless.size(); i += CharacterBytes(harmless, i)) {
        if (IsRefused(static_cast<unsigned char>(harmless[i]))) harmless[i] = Replacement;  // never a second byte
    }
    while (!harmless.empty() && (harmless.back() == '.' || harmless.back() == ' ')) harmless.pop_back();
    if (harmless.empty() || IsDeviceName(harmless.substr(0, harmless.find('.')))) harmless.insert(0, 1, Replacement);
    return harmless;
}

std::string FoldedName(const std::string& name) { return Capitals(name, CharacterBytes); }

std::string PrintableName(std::string name) {
    for (char& c : name) {
        if (IsControl(static_cast<unsigned char>(c))) c = '?';
    }
    return name;
}

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
