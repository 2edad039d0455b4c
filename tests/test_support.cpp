#include "test_support.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "export/bmp_writer.h"
#include "render/picture.h"

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace velda_test {

namespace {

namespace fs = std::filesystem;

// A UTF-8 path as the file system takes it (UTF-16 on Windows, whatever
// the code page).
fs::path FsPath(const std::string& path) { return fs::u8path(path); }

}  // namespace

const ExpectedMode& ExpectedModeOf(uint8_t screen) {
    return *std::find_if(std::begin(ExpectedModes), std::end(ExpectedModes),
                         [screen](const ExpectedMode& mode) { return mode.screen == screen; });
}

std::vector<uint8_t> NoiseBytes(std::size_t count, uint32_t seed) {
    std::vector<uint8_t> bytes(count);
    uint32_t state = seed * 2654435761u + 1;  // xorshift32, never zero
    for (uint8_t& b : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        b = static_cast<uint8_t>(state >> 24);
    }
    return bytes;
}

std::vector<uint8_t> MakeBsave(uint16_t start, uint16_t end, const std::vector<uint8_t>& data, uint8_t id) {
    const uint8_t header[] = {id, static_cast<uint8_t>(start), static_cast<uint8_t>(start >> 8),
                              static_cast<uint8_t>(end), static_cast<uint8_t>(end >> 8), 0, 0};
    std::vector<uint8_t> bytes(sizeof header + data.size());
    std::memcpy(bytes.data(), header, sizeof header);
    if (!data.empty()) std::memcpy(bytes.data() + sizeof header, data.data(), data.size());
    return bytes;
}

std::vector<uint8_t> SavedBmp(uint8_t screen, const uint8_t* vram, const uint8_t* palette) {
    std::vector<uint8_t> bytes;
    velda::Picture picture;
    if (!velda::BuildPicture(screen, vram, palette, velda::ColorRule::Velda, picture)) return bytes;
    MemorySink sink{bytes};
    velda::EncodeBmp(sink, picture, velda::PrepareExportHeaders(picture));
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
        std::error_code ignored;
        fs::create_directory(FsPath(folder), ignored);
    }
    return folder + "/" + name;
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(FsPath(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(FsPath(path), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) {
    std::error_code ignored;
    return fs::exists(FsPath(path), ignored);
}

std::string FreshFolder(const std::string& name) {
    const std::string folder = ScratchPath(name);
    std::error_code ignored;
    fs::remove_all(FsPath(folder), ignored);
    fs::create_directory(FsPath(folder), ignored);
    return folder;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator entry(FsPath(folder), error), end; !error && entry != end; entry.increment(error)) {
        names.push_back(entry->path().filename().u8string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<uint8_t> MakeCopy(uint8_t screen, const std::vector<uint8_t>& vram, int width, int height) {
    const velda::ModeInfo* mode = velda::FindMode(screen);
    const int bits = mode->bitsPerPixel, perByte = 8 / bits;
    std::vector<uint8_t> file = {static_cast<uint8_t>(width), static_cast<uint8_t>(width >> 8),
                                 static_cast<uint8_t>(height), static_cast<uint8_t>(height >> 8)};
    std::size_t n = 0;  // pixels packed so far
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x, ++n) {
            const uint8_t b = vram[static_cast<std::size_t>(y * mode->bytesPerLine + x / perByte)];
            const unsigned pixel = (b >> ((perByte - 1 - x % perByte) * bits)) & ((1u << bits) - 1);
            if (n % perByte == 0) file.push_back(0);
            file.back() = static_cast<uint8_t>(file.back() | pixel << ((perByte - 1 - n % perByte) * bits));
        }
    }
    return file;
}

bool OpenBsave(uint8_t screen, const std::vector<uint8_t>& file, velda::ScreenPage& page) {
    velda::PictureRequest request;
    request.screen = screen;
    return !velda::OpenPicture(file.data(), file.size(), request, page);
}

std::string CorpusDir() {
#ifdef VELDA_CORPUS_DIR
    const std::string dir = VELDA_CORPUS_DIR;
    if (FileExists(dir + "/MANIFEST.md")) return dir;
#endif
    return "";
}

std::string WindowsPath(const std::string& path) {
    std::string result = path;
    if (!result.empty() && result[0] == '/') result = "Z:" + result;
    std::replace(result.begin(), result.end(), '/', '\\');
    return result;
}

}  // namespace velda_test
