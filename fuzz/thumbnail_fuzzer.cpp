// Fuzzing the thumbnails, which Explorer's handler and the Linux
// thumbnailer make of whatever file a folder holds.
//
// Input: byte 0 picks the extension the file is named with, bits 0-6
// modulo the number of picture extensions (PictureExtensions); bit 7 puts
// a palette file beside it: the input's last 32 bytes. The rest is the
// file. The longest side asked for is one of MaxSides, by the input's
// length.
//
// Besides the sanitizers, each input is held to the promises of
// MakeThumbnail: a refusal leaves the thumbnail alone; a thumbnail is RGB,
// at least 1 x 1, its longer side at most the size asked for, never larger
// than a television's 512 x 424, and a whole screen (a file with the
// BSAVE mark) keeps that shape (512 x 384 for SCREEN 1-4).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "fuzz_input.h"
#include "image/companions.h"
#include "image/file_types.h"
#include "image/mode_table.h"
#include "render/thumbnail.h"

namespace {

constexpr int MaxSides[] = {128, 1, 97, 256, 1024};
constexpr std::size_t PaletteFileBytes = 32;
constexpr int TvWidth = 512, TvHeight = 424;

// A folder whose every file is the one palette file it was given.
class PaletteFolder : public velda::Companions {
public:
    explicit PaletteFolder(std::vector<uint8_t> palette) : palette_(std::move(palette)) {}
    std::string Find(const std::string& name) override { return name; }
    velda::LoadError Read(const std::string&, std::size_t maxBytes, std::vector<uint8_t>& bytes) override {
        bytes.assign(palette_.begin(), palette_.begin() + static_cast<std::ptrdiff_t>(std::min(maxBytes, palette_.size())));
        return velda::LoadError{};
    }

private:
    std::vector<uint8_t> palette_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static const std::vector<std::string> extensions = velda::PictureExtensions();
    const std::string& extension = extensions[(data[0] & 0x7F) % extensions.size()];
    const bool withPalette = (data[0] & 0x80) != 0 && size > 1 + PaletteFileBytes;
    const int maxSide = MaxSides[size % (sizeof MaxSides / sizeof MaxSides[0])];

    const uint8_t* file = data + 1;
    const std::size_t fileSize = size - 1 - (withPalette ? PaletteFileBytes : 0);
    PaletteFolder beside(std::vector<uint8_t>(data + size - (withPalette ? PaletteFileBytes : 0), data + size));

    velda::Picture thumbnail;
    thumbnail.width = -1;
    if (velda::MakeThumbnail(file, fileSize, {"A", extension}, withPalette ? &beside : nullptr, maxSide, thumbnail)) {
        FUZZ_CHECK(thumbnail.width == -1 && thumbnail.pixels.empty());
        return 0;
    }
    FUZZ_CHECK(thumbnail.bitDepth == 24 && thumbnail.width >= 1 && thumbnail.height >= 1);
    FUZZ_CHECK(std::max(thumbnail.width, thumbnail.height) <= maxSide);
    FUZZ_CHECK(thumbnail.width <= TvWidth && thumbnail.height <= TvHeight);
    FUZZ_CHECK(thumbnail.rowBytes == 3 * thumbnail.width);
    FUZZ_CHECK(thumbnail.pixels.size() == static_cast<std::size_t>(thumbnail.rowBytes) * thumbnail.height);
    // A file with the BSAVE mark is a whole screen; one without may be read
    // as a COPY file's area even under a BSAVE dump's name.
    const bool copyName = velda::TypeOfExtension(extension).kind == velda::FileKind::Copy;
    const bool wholeScreen = !copyName && fileSize > 0 && file[0] == 0xFE;
    if (wholeScreen && maxSide >= TvWidth) {
        // SCREEN 1-4's 192 lines are 384 on a television.
        const bool patterns = velda::IsPatternScreen(velda::TypeOfExtension(extension).screen);
        FUZZ_CHECK(thumbnail.width == TvWidth && thumbnail.height == (patterns ? 2 * velda::PatternLines : TvHeight));
    }
    return 0;
}
