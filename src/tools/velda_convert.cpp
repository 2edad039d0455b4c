// velda-convert: converts MSX BSAVE screen files to BMP or PNG from the
// command line, with the same loading and the same BMP bytes as VELDA's
// Open and Save commands.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "platform/console.h"
#include "platform/interrupt.h"
#include "platform/memory.h"
#include "tools/cli.h"

#ifdef _WIN32
#include "platform/unicode_win.h"
#endif

namespace {

// The converter on the arguments after the program's name, in UTF-8.
int Convert(const std::vector<std::string>& args) {
    velda::RemoveTemporariesOnInterrupt();
    velda::KeepFreedMemory();
    try {
        return velda::RunConverter(args);
    } catch (const std::exception& e) {
        velda::WriteText(stderr, std::string("velda-convert: ") + e.what() + "\n");
        return velda::ExitSomeNotConverted;
    }
}

}  // namespace

#ifdef _WIN32
// Windows gives the arguments in UTF-16 (-municode), every name whole
// whatever the ANSI code page holds.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(velda::Narrow(argv[i]));
    return Convert(args);
}
#else
int main(int argc, char** argv) { return Convert(std::vector<std::string>(argv + 1, argv + argc)); }
#endif
