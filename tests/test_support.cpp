#include "test_support.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

#include "image/bsave_loader.h"

#ifdef _WIN32
#include <direct.h>
#define VELDA_MKDIR(p) _mkdir(p)
#else
#include <unistd.h>
#define VELDA_MKDIR(p) mkdir(p, 0755)
#endif

namespace velda_test {

std::vector<uint8_t> MakeBsave(uint16_t start, uint16_t end, const std::vector<uint8_t>& data, uint8_t id) {
    const uint8_t header[] = {id, static_cast<uint8_t>(start), static_cast<uint8_t>(start >> 8),
                              static_cast<uint8_t>(end), static_cast<uint8_t>(end >> 8), 0, 0};
    std::vector<uint8_t> bytes(sizeof header + data.size());
    std::memcpy(bytes.data(), header, sizeof header);
    if (!data.empty()) std::memcpy(bytes.data() + sizeof header, data.data(), data.size());
    return bytes;
}

std::string ScratchPath(const std::string& name) {
    static std::string folder;
    if (folder.empty()) {
        const char* base = std::getenv("TMPDIR");
#ifdef _WIN32
        if (base == nullptr) base = std::getenv("TEMP");
#endif
        if (base == nullptr) base = "/tmp";
        char unique[64];
#ifdef _WIN32
        std::snprintf(unique, sizeof unique, "/velda-test-%lu", static_cast<unsigned long>(_getpid()));
#else
        std::snprintf(unique, sizeof unique, "/velda-test-%lu", static_cast<unsigned long>(getpid()));
#endif
        folder = std::string(base) + unique;
        VELDA_MKDIR(folder.c_str());
    }
    return folder + "/" + name;
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

int LoadBytes(uint8_t screen, const std::vector<uint8_t>& bytes) {
    const std::string path = ScratchPath("load.bin");
    WriteFile(path, bytes);
    std::snprintf(velda::CurrentFile.path, sizeof velda::CurrentFile.path, "%s", path.c_str());
    return static_cast<int>(velda::LoadBsave(screen));
}

std::string CorpusDir() {
#ifdef VELDA_CORPUS_DIR
    const std::string dir = VELDA_CORPUS_DIR;
    if (FileExists(dir + "/MANIFEST.md")) return dir;
#endif
    return "";
}

}  // namespace velda_test
