// A stand-in for the system's browser in the window tests: registered as
// what opens .html files, it writes the name it is asked to open (its
// second argument) into the file its first argument names, in UTF-8.
#include <cstdio>
#include <string>

#include "platform/unicode_win.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    std::FILE* out = _wfopen(argv[1], L"wb");
    if (out == nullptr) return 1;
    const std::string opened = velda::Narrow(argv[2]);
    std::fwrite(opened.data(), 1, opened.size(), out);
    return std::fclose(out) == 0 ? 0 : 1;
}
