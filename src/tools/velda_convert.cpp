// velda-convert: converts MSX BSAVE screen files to BMP or PNG from the
// command line, with the same loading and the same BMP bytes as VELDA's
// Open and Save commands.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "platform/interrupt.h"
#include "platform/memory.h"
#include "tools/cli.h"

int main(int argc, char** argv) {
    velda::RemoveTemporariesOnInterrupt();
    velda::KeepFreedMemory();
    try {
        std::vector<std::string> args;
        for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
        return velda::RunConverter(args);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velda-convert: %s\n", e.what());
        return velda::ExitSomeNotConverted;
    }
}
