// Text on Windows: to a console through WriteConsoleW, which shows every
// character whatever the console's code page; to anything else as bytes.
#include <windows.h>

#include <io.h>

#include "platform/console.h"
#include "platform/unicode_win.h"

namespace velda {

bool WriteText(std::FILE* stream, const std::string& text) {
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) return std::fputs(text.c_str(), stream) >= 0;
    // What the stream still buffers goes first, so that the order stays.
    std::fflush(stream);
    const std::wstring wide = Widen(text);
    DWORD written = 0;
    return WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) &&
           written == wide.size();
}

}  // namespace velda
