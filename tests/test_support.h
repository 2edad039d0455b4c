// Helpers shared by the tests: what each mode must be, BSAVE files made in
// memory, scratch files, and the optional corpus of real pictures.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <map>

#include "export/bmp_headers.h"
#include "export/bmp_writer.h"
#include "image/companions.h"
#include "image/mode_table.h"
#include "image/picture_file.h"

namespace velda_test {

// What each mode must be, one row a mode: numbers written out as the MSX
// video-memory layout and the BMP format give them, not computed.
struct ExpectedMode {
    uint8_t screen;
    int bitsPerPixel, width, bytesPerLine, pixelBytes;
    int clearBytes, paletteAddress, paletteEntries;
    int bmpBitCount, bmpColorEntries, bmpColorsUsed, bmpOffBits, bmpRowBytes, bmpImageSize, bmpFileSize;
    const char* extension;  // the extension its BSAVE pictures usually have
};
constexpr ExpectedMode ExpectedModes[] = {
    {5, 4, 256, 128, 27136, 30368, 0x7680, 16, 4, 16, 0, 118, 128, 27136, 27254, "SC5"},
    {6, 2, 512, 128, 27136, 30368, 0x7680, 4, 4, 4, 4, 70, 256, 54272, 54342, "SC6"},
    {7, 4, 512, 256, 54272, 64160, 0xFA80, 16, 4, 16, 0, 118, 256, 54272, 54390, "SC7"},
    {8, 8, 256, 256, 54272, 64160, velda::NoPaletteTable, 0, 8, 256, 0, 1078, 256, 54272, 55350, "SC8"},
    {10, 8, 256, 256, 54272, 64160, 0xFA80, 16, 24, 0, 0, 54, 768, 162816, 162870, "SCA"},
    {11, 8, 256, 256, 54272, 64160, 0xFA80, 16, 24, 0, 0, 54, 768, 162816, 162870, "SCB"},
    {12, 8, 256, 256, 54272, 64160, velda::NoPaletteTable, 0, 24, 0, 0, 54, 768, 162816, 162870, "SCC"},
};

// The row of `screen`, which must be one of them.
const ExpectedMode& ExpectedModeOf(uint8_t screen);

using MemorySink = velda::ByteSink;

// The BMP that Save writes for the picture `vram` with the MSX palette
// `palette` in the given mode. Empty for a number that is not a mode.
std::vector<uint8_t> SavedBmp(uint8_t screen, const uint8_t* vram, const uint8_t* palette);

// `count` bytes from a fixed pseudo-random sequence chosen by `seed`.
std::vector<uint8_t> NoiseBytes(std::size_t count, uint32_t seed);

// A BSAVE file: the 7-byte header followed by `data`.
std::vector<uint8_t> MakeBsave(uint16_t start, uint16_t end, const std::vector<uint8_t>& data,
                               uint8_t id = 0xFE);

// A path in a fresh scratch folder of this test run (the folder is made
// on first use), and whole-file reading and writing. Paths are UTF-8, on
// Windows too.
std::string ScratchPath(const std::string& name);
// A path of this machine as Windows programs under Wine see it (Z:\...).
std::string WindowsPath(const std::string& path);
void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadFile(const std::string& path);
bool FileExists(const std::string& path);

// A fresh, empty folder for one test (under the test run's scratch folder).
std::string FreshFolder(const std::string& name);

// The names in a folder, sorted; "." and ".." left out.
std::vector<std::string> FolderEntries(const std::string& folder);

// The COPY file of the top left `width` x `height` pixels of `vram` (video
// memory from address 0) in the given mode: its size, then the pixels
// packed continuously, the leftmost in the high bits.
std::vector<uint8_t> MakeCopy(uint8_t screen, const std::vector<uint8_t>& vram, int width, int height);

// `file` opened as a BSAVE file in the given mode, as the SCREEN N Opens
// of a fresh window open it. False when it is refused.
bool OpenBsave(uint8_t screen, const std::vector<uint8_t>& file, velda::ScreenPage& page);

// The folder of real BSAVE pictures, or "" when it is not present.
std::string CorpusDir();

// Files beside a picture held in memory, by exact name, counting how often
// each is read.
class MemoryFolder : public velda::Companions {
public:
    explicit MemoryFolder(std::map<std::string, std::vector<uint8_t>> files) : files_(std::move(files)) {}
    std::string Find(const std::string& name) override { return files_.count(name) != 0 ? name : ""; }
    velda::LoadError Read(const std::string& found, std::size_t maxBytes, std::vector<uint8_t>& bytes) override {
        ++reads[found];
        const std::vector<uint8_t>& file = files_.at(found);
        bytes.assign(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(std::min(maxBytes, file.size())));
        return velda::LoadError{};
    }
    std::map<std::string, int> reads;

private:
    std::map<std::string, std::vector<uint8_t>> files_;
};

}  // namespace velda_test
