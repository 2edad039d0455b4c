// velda-thumbnailer as file managers run it, against the converter's
// picture in the television shape and the msx colours, made smaller by the
// same area filter; and the MIME types of the package, looked up by GIO.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "fixtures.h"
#include "graph_saurus_writer.h"
#include "image/file_types.h"
#include "image/name_letters.h"
#include "image/mode_table.h"
#include "image_readers.h"
#include "render/picture_shapes.h"
#include "render/thumbnail.h"
#include "test_support.h"

namespace velda_test {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Page(uint8_t screen, uint32_t seed) {
    return NoiseBytes(static_cast<std::size_t>(velda::FindMode(screen)->pixelBytes), seed);
}

// A decoded image as an RGB picture.
velda::Picture PictureOf(const DecodedImage& image) {
    velda::Picture picture;
    picture.width = image.width;
    picture.height = image.height;
    picture.bitDepth = 24;
    picture.rowBytes = 3 * image.width;
    picture.pixels.resize(static_cast<std::size_t>(picture.rowBytes) * image.height);
    for (std::size_t i = 0; i < image.pixels.size(); ++i) velda::PutBgrPixel(picture.pixels.data(), static_cast<int>(i), ShownColor(image, i));
    return picture;
}

TEST(Thumbnails, EveryKindIsTheConvertersPictureMadeSmaller) {
    const Bytes palette = NoiseBytes(velda::PaletteBytes, 21);
    const struct {
        const char* name;
        Bytes file;
        const char* paletteName;  // a palette file beside it, or nullptr
    } rows[] = {
        {"A.SC5", NoiseBsave(5, 1), nullptr},  {"A.SC6", NoiseBsave(6, 2), nullptr},
        {"A.SC7", NoiseBsave(7, 3), nullptr},  {"A.SC8", NoiseBsave(8, 4), nullptr},
        {"A.S10", NoiseBsave(10, 5), nullptr}, {"A.S11", NoiseBsave(11, 6), nullptr},
        {"A.S12", NoiseBsave(12, 7), nullptr}, {"B.SR7", GraphSaurusFile(Page(7, 8), true), nullptr},
        {"C.SR5", GraphSaurusFile(Page(5, 9), false), "C.PL5"},
        {"D.GL8", MakeCopy(8, Page(8, 10), 101, 50), nullptr},
        {"E.S17", MakeBsave(0, 0xD3FF, Page(7, 11)), nullptr},
        {"F.SC6", Page(6, 12), "F.PL6"},  // a page without its header, no palette of its own
        {"G.SC2", NoiseBsave(2, 13), nullptr}, {"H.grp", NoiseBsave(2, 14), nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string dir = FreshFolder(std::string("thumbnails-") + row.name);
        WriteFile(dir + "/" + row.name, row.file);
        if (row.paletteName != nullptr) WriteFile(dir + "/" + row.paletteName, palette);
        const RunResult converted =
            RunConverter(dir, std::string("-q -o tv.bmp --colors msx --aspect tv --interlace off ") + row.name);
        ASSERT_EQ(converted.status, 0) << converted.output;
        DecodedImage tv;
        ASSERT_EQ(ReadBmp(ReadFile(dir + "/tv.bmp"), tv), "");
        velda::Picture expected;
        velda::ScaleToFit(PictureOf(tv), 128, expected);

        const RunResult made = RunIn(dir, std::string("'" VELDA_THUMBNAILER_EXE "' -s 128 ") + row.name + " t.png");
        ASSERT_EQ(made.status, 0) << made.output;
        DecodedImage thumbnail;
        ASSERT_EQ(ReadPng(ReadFile(dir + "/t.png"), thumbnail), "");
        ASSERT_EQ(thumbnail.width, expected.width);
        ASSERT_EQ(thumbnail.height, expected.height);
        int wrong = 0;
        for (std::size_t i = 0; i < thumbnail.pixels.size(); ++i) {
            wrong += ShownColor(thumbnail, i) != velda::PixelColor(expected, static_cast<int>(i % expected.width),
                                                                  static_cast<int>(i / expected.width));
        }
        EXPECT_EQ(wrong, 0);
        if (row.file.size() > 0xD000) {  // a whole page: a screen in a television's proportions
            EXPECT_EQ(thumbnail.width, 128);
            EXPECT_EQ(thumbnail.height, 106);
        }
    }
}

TEST(Thumbnails, NothingIsWrittenForWhatIsNoPicture) {
    const struct {
        const char* input;
        Bytes bytes;
        const char* output;
    } rows[] = {
        {"A.PL5", NoiseBytes(32, 1), "t.png"},      {"A.TXT", NoiseBsave(5, 2), "t.png"},
        {"A.SC5", {'h', 'e', 'l', 'l', 'o'}, "t.png"}, {"A.SR5", {}, "t.png"},
        {"A.SC5", NoiseBsave(5, 3), "missing/t.png"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.input) + " " + row.output);
        const std::string dir = FreshFolder("thumbnails-refused");
        WriteFile(dir + "/" + row.input, row.bytes);
        const RunResult made = RunIn(dir, std::string("'" VELDA_THUMBNAILER_EXE "' ") + row.input + " " + row.output);
        EXPECT_EQ(made.status, 1) << made.output;
        EXPECT_EQ(made.output.rfind("velda-thumbnailer: ", 0), 0u) << made.output;
        EXPECT_EQ(FolderEntries(dir), std::vector<std::string>{row.input});
    }
}

// Every picture extension, in either case, is a type of the package's:
// the one of its kind, told by name or, for .PIC, by the file's mark. A
// file of another format under a shared extension stays that format's.
// The types are those of shared-mime-info beside the package's alone, so
// that what other packages on the machine add (KDE's) does not count.
TEST(Thumbnails, MimeTypesOfEveryPictureExtension) {
    if (std::system("command -v gio >/dev/null && command -v update-mime-database >/dev/null") != 0) {
        GTEST_SKIP() << "gio or update-mime-database is not installed";
    }
    const std::string data = FreshFolder("thumbnails-mime");
    RunResult made = RunIn(data, "mkdir -p mime/packages && cp '" VELDA_SOURCE_DIR
                                 "/share/mime/packages/velda.xml' /usr/share/mime/packages/freedesktop.org.xml "
                                 "mime/packages/ && update-mime-database mime");
    ASSERT_EQ(made.status, 0) << made.output;
    const auto typeOf = [&](const std::string& name, const Bytes& bytes) {
        WriteFile(data + "/" + name, bytes);
        const RunResult info = RunIn(data, "XDG_DATA_DIRS=" + data + " XDG_DATA_HOME=" + data +
                                               "/none gio info -a standard::content-type " + name);
        const std::size_t at = info.output.find("content-type: ");
        return at == std::string::npos ? info.output : info.output.substr(at + 14, info.output.find('\n', at) - at - 14);
    };
    const std::string typeOfKind[] = {"", "image/x-msx-bsave", "image/x-msx-graph-saurus", "image/x-msx-second-page",
                                      "", "image/x-msx-copy"};
    for (const std::string& extension : velda::PictureExtensions()) {
        const velda::FileType type = velda::TypeOfExtension(extension);
        const Bytes file = type.kind == velda::FileKind::Copy ? MakeCopy(type.screen, Page(type.screen, 1), 16, 8)
                           : type.kind == velda::FileKind::GraphSaurus ? GraphSaurusFile(Page(type.screen, 2), true)
                                                                      : NoiseBsave(type.screen, 3);
        if (extension == "GLB") continue;  // yields to glTF's binary files: a COPY file has no mark to tell
        for (const std::string& name : {"a." + extension, "b." + velda::SmallLetters(extension)}) {
            EXPECT_EQ(typeOf(name, file), typeOfKind[static_cast<int>(type.kind)]) << name;
        }
    }
    const struct {
        const char* name;
        Bytes bytes;
        const char* type;
    } shared[] = {{"c.pic", {'t', 'e', 'x', 't', '\n'}, "text/plain"},
                  {"c.src", {'t', 'e', 'x', 't', '\n'}, "application/x-wais-source"},
                  {"c.glb", {'g', 'l', 'T', 'F', 2, 0, 0, 0, 12, 0, 0, 0}, "model/gltf-binary"},
                  {"c.dsk.gz", {0x1F, 0x8B, 8, 0, 0, 0, 0, 0, 0, 3}, "application/x-msx-disk-image-gzip"},
                  {"c.zip", {'P', 'K', 5, 6, 0, 0, 0, 0}, "application/zip"}};
    for (const auto& row : shared) EXPECT_EQ(typeOf(row.name, row.bytes), row.type) << row.name;
}

}  // namespace
}  // namespace velda_test
