// Names on Windows: '\', '/' and a drive's ':' separate folders, names are
// in the system's ANSI code page, and the case of ASCII letters does not
// tell two names apart.
#include <windows.h>

#include "platform/names.h"

namespace velda {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/' || c == ':'; }

bool IsLeadByte(char c) { return IsDBCSLeadByte(static_cast<BYTE>(c)) != 0; }

}  // namespace

PathParts SplitPath(const std::string& path) {
    std::size_t nameStart = 0;
    std::size_t dot = std::string::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (IsLeadByte(path[i]) && i + 1 < path.size()) {
            ++i;  // the second byte may be '\\'; it is never '.'
        } else if (IsSeparator(path[i])) {
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

std::string FoldedName(const std::string& name) {
    std::string folded = name;
    for (std::size_t i = 0; i < folded.size(); ++i) {
        if (IsLeadByte(folded[i])) {
            ++i;
        } else if (folded[i] >= 'a' && folded[i] <= 'z') {
            folded[i] = static_cast<char>(folded[i] - 'a' + 'A');
        }
    }
    return folded;
}

std::string NameKey(const std::string& name) { return FoldedName(name); }

std::size_t CharacterBytes(const std::string& text, std::size_t at) {
    return IsLeadByte(text[at]) && at + 1 < text.size() ? 2 : 1;
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
