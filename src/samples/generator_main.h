// The main of the programs that generate fixed files (the demo pictures,
// the program icon, the fuzzing seed corpus): one command-line argument,
// the files made from it, each written whole, and a message for every file
// that cannot be.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace samples {

struct GeneratedFile {
    std::string path;
    std::vector<uint8_t> bytes;
};

// Runs `make` on the one argument and writes the files it returns. Returns
// the exit status: 0 when every file was written, 1 when any was not, 2
// (after "usage: <program> <usage>") when there is not exactly one
// argument.
inline int GeneratorMain(const char* program, const char* usage, int argc, char** argv,
                         std::vector<GeneratedFile> (*make)(const std::string& argument)) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s %s\n", program, usage);
        return 2;
    }
    bool ok = true;
    for (const GeneratedFile& file : make(argv[1])) {
        std::FILE* stream = std::fopen(file.path.c_str(), "wb");
        if (stream == nullptr) {
            std::fprintf(stderr, "%s: cannot create %s\n", program, file.path.c_str());
            ok = false;
            continue;
        }
        bool written = file.bytes.empty() || std::fwrite(file.bytes.data(), 1, file.bytes.size(), stream) == file.bytes.size();
        written = std::fclose(stream) == 0 && written;
        if (!written) std::fprintf(stderr, "%s: cannot write %s\n", program, file.path.c_str());
        ok = ok && written;
    }
    return ok ? 0 : 1;
}

}  // namespace samples
