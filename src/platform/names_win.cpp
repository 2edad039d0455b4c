// Names on Windows: '\', '/' and a drive's ':' separate folders, names are
// in the system's ANSI code page, and the case of ASCII letters does not
// tell two names apart.
#include <windows.h>

#include "platform/names.h"

namespace velda {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/' || c == ':'; }

}  // namespace

PathParts SplitPath(const std::string& path) {
    std::size_t nameStart = 0;
    std::size_t dot = std::string::npos;
    // The second byte of a double-byte character may be '\\'; it is never '.'.
    for (std::size_t i = 0; i < path.size(); i += CharacterBytes(path, i)) {
        if (CharacterBytes(path, i) == 2) continue;
        if (IsSeparator(path[i])) {
            nameStart = i + 1;
            dot = std::string::npos;
        } else if (path[i] == '.' && i > nameStart) {
            dot = i;
        }
    }
    PathParts parts;
    parts.folder = path.substr(0, nameStart);
    parts.dot = dot != std::string::npos;
    parts.stem = path.substr(nameStart, parts.dot ? dot - nameStart : std::string::npos);
    if (parts.dot) parts.extension = path.substr(dot + 1);
    return parts;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || SplitPath(folder).Name().empty()) return folder + name;
    return folder + "\\" + name;
}

std::string NameKey(const std::string& name) { return FoldedName(name); }

std::size_t CharacterBytes(const std::string& text, std::size_t at) {
    return IsDBCSLeadByte(static_cast<BYTE>(text[at])) && at + 1 < text.size() ? 2 : 1;
}

std::string NameFromCp932(const std::string& name) {
    constexpr UINT MsxCodePage = 932;
    if (GetACP() == MsxCodePage || name.empty()) return name;
    const int length = static_cast<int>(name.size());
    std::wstring wide(name.size(), L'\0');
    wide.resize(static_cast<std::size_t>(MultiByteToWideChar(MsxCodePage, 0, name.data(), length, &wide[0], length)));
    const int wideLength = static_cast<int>(wide.size());
    std::string out(wide.size() * 2, '\0');
    BOOL lost = FALSE;
    out.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, &out[0],
                                                            static_cast<int>(out.size()), "_", &lost)));
    return out;
}

}  // namespace velda
