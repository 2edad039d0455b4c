// Names on Windows: '\', '/' and a drive's ':' separate folders, names are
// UTF-8 (the W functions' UTF-16 at the system's edge), and the case of
// ASCII letters does not tell two names apart.
#include <windows.h>

#include "image/name_letters.h"
#include "platform/names.h"
#include "platform/unicode_win.h"

namespace velda {

namespace {

constexpr UINT MsxCodePage = 932;

// The character of code page 932 in `bytes` (one or two bytes) in UTF-16,
// or "" when it is none: a byte the table leaves out, or a C1 control,
// which some tables give 0x80.
std::wstring Cp932Character(const std::string& bytes) {
    wchar_t wide[2];
    const int length = MultiByteToWideChar(MsxCodePage, MB_ERR_INVALID_CHARS, bytes.data(),
                                           static_cast<int>(bytes.size()), wide, 2);
    if (length <= 0 || (length == 1 && wide[0] >= 0x80 && wide[0] <= 0x9F)) return L"";
    return std::wstring(wide, static_cast<std::size_t>(length));
}

}  // namespace

const char FolderSeparators[] = "\\/:";

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || SplitPath(folder).Name().empty()) return folder + name;
    return folder + "\\" + name;
}

std::string NameKey(const std::string& name) { return FoldedName(name); }

std::string NameFromCp932(const std::string& name) {
    // A character at a time, with the system's table of code page 932
    // (whatever the system's own code page), so that a byte that makes no
    // character becomes '_' and the rest still reads.
    std::wstring wide;
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t step = Cp932Step(name, i);
        const std::wstring character = Cp932Character(name.substr(i, step));
        if (character.empty()) {
            wide += L'_';
            ++i;  // the byte after a first byte that made nothing is read anew
        } else {
            wide += character;
            i += step;
        }
    }
    return Narrow(wide);
}

}  // namespace velda
