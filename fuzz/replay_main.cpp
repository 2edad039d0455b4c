// A stand-in for libFuzzer's driver where there is none (gcc builds): runs
// the harness once on each file named on the command line, in order, as
// `harness FILE...` does with libFuzzer. A failing input aborts the run
// through the sanitizer or the harness's own check.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "replay: cannot open %s\n", argv[i]);
            return 1;
        }
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::fprintf(stderr, "Running: %s (%zu bytes)\n", argv[i], bytes.size());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::fprintf(stderr, "replay: %d inputs, no finding\n", argc - 1);
    return 0;
}
