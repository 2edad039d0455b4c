// Names on POSIX systems: '/' separates folders, and a name is its bytes,
// whatever their encoding (UTF-8 for the names VELDA makes).
#include <iconv.h>

#include <cerrno>

#include "platform/names.h"

namespace velda {

const char FolderSeparators[] = "/";

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

std::string NameKey(const std::string& name) { return name; }

std::string NameFromCp932(const std::string& name) {
    iconv_t convert = iconv_open("UTF-8", "CP932");
    if (convert == reinterpret_cast<iconv_t>(-1)) return name;
    std::string out(name.size() * 3 + 1, '\0');  // a character of code page 932 is at most 3 bytes of UTF-8
    char* in = const_cast<char*>(name.data());
    std::size_t inLeft = name.size();
    char* to = &out[0];
    std::size_t outLeft = out.size();
    while (inLeft > 0) {
        if (iconv(convert, &in, &inLeft, &to, &outLeft) != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG) break;  // cannot happen with room for three bytes a byte
        *to++ = '_';  // a byte that makes no character
        --outLeft;
        ++in;
        --inLeft;
    }
    iconv_close(convert);
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace velda
