// Text at the Windows edge. Inside, the programs keep every text and name
// in UTF-8, as on POSIX systems; the system's W functions take and give
// UTF-16, whatever the system's ANSI code page is. These two functions are
// the one place where one becomes the other.
//
// A sequence that is not valid in its encoding (a stray UTF-8 byte, a lone
// surrogate in a name Windows made) becomes U+FFFD, the replacement
// character: such a name shows, but cannot be opened again by it.
#pragma once

#include <string>
#include <string_view>
#include <system_error>

#include <windows.h>

namespace velda {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// The Windows error `code` as an error code whose message() is the
// system's own text in UTF-8 (the C++ library's system category gives it in
// the ANSI code page); it compares with std::errc as that category does.
std::error_code WindowsError(DWORD code);

}  // namespace velda
