// Fuzzing the image viewers' way in (src/loaders): the gdk-pixbuf loader's
// two entry points, load (a FILE*) and the incremental load (the bytes in
// pieces, as GdkPixbufLoader and Eye of GNOME give them), on the file an
// image viewer would open, and MakeViewerImage under them.
//
// Input: byte 0 picks the extension the file is named with, bits 0-5
// modulo the number of claimed extensions, and bits 6-7 the size of the
// pieces it is fed in (1, 7 or 4096 bytes, or all at once). The rest is
// the file, written alone in a folder of its own for each input.
//
// Besides the sanitizers, each input is held to these promises: both entry
// points give exactly MakeViewerImageOf's picture of the file, or both
// refuse with its text; a picture is width x height RGB, 1 x 1 to
// 512 x 424; the same bytes fed with no file holding them are refused as
// of an unknown mode.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#define GDK_PIXBUF_ENABLE_BACKEND
#include <gdk-pixbuf/gdk-pixbuf-io.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#undef GDK_PIXBUF_ENABLE_BACKEND

#include <unistd.h>

#include "fuzz_input.h"
#include "image/load_error.h"
#include "loaders/viewer_image.h"

extern "C" void fill_vtable(GdkPixbufModule* module);

namespace {

constexpr std::size_t Pieces[] = {1, 7, 4096, 0};  // 0: all at once
constexpr int LargestWidth = 512, LargestHeight = 424;

// Whether `pixbuf` holds exactly the pixels of `image`.
bool SamePixels(GdkPixbuf* pixbuf, const velda::ViewerImage& image) {
    if (gdk_pixbuf_get_width(pixbuf) != image.width || gdk_pixbuf_get_height(pixbuf) != image.height ||
        gdk_pixbuf_get_n_channels(pixbuf) != 3) {
        return false;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(image.width) * 3;
    const auto stride = static_cast<std::size_t>(gdk_pixbuf_get_rowstride(pixbuf));
    for (int y = 0; y < image.height; ++y) {
        if (std::memcmp(gdk_pixbuf_read_pixels(pixbuf) + y * stride, image.rgb.data() + y * rowBytes, rowBytes) != 0) {
            return false;
        }
    }
    return true;
}

// What an entry point gave, held against the picture expected (or the
// refusal): the pixbuf is released, the error freed.
void Expect(GdkPixbuf* pixbuf, GError* error, const velda::LoadError& refusal, const velda::ViewerImage& image) {
    if (refusal) {
        FUZZ_CHECK(pixbuf == nullptr && error != nullptr);
        FUZZ_CHECK(velda::DescribeLoadError(refusal) == error->message);
    } else {
        FUZZ_CHECK(pixbuf != nullptr && error == nullptr && SamePixels(pixbuf, image));
    }
    if (pixbuf != nullptr) g_object_unref(pixbuf);
    if (error != nullptr) g_error_free(error);
}

void KeepPixbuf(GdkPixbuf* pixbuf, GdkPixbufAnimation*, gpointer slot) {
    *static_cast<GdkPixbuf**>(slot) = GDK_PIXBUF(g_object_ref(pixbuf));
}

// The incremental load of `file` in pieces of `piece` bytes: the pixbuf
// it prepared, or nullptr and `error`.
GdkPixbuf* LoadInPieces(const GdkPixbufModule& module, const uint8_t* file, std::size_t size, std::size_t piece,
                        GError** error) {
    GdkPixbuf* pixbuf = nullptr;
    gpointer context = module.begin_load(nullptr, KeepPixbuf, nullptr, &pixbuf, error);
    FUZZ_CHECK(context != nullptr);
    for (std::size_t at = 0; at < size; at += piece) {
        FUZZ_CHECK(module.load_increment(context, file + at, static_cast<guint>(std::min(piece, size - at)), error));
    }
    if (!module.stop_load(context, error) && pixbuf != nullptr) {
        g_object_unref(pixbuf);
        pixbuf = nullptr;
    }
    return pixbuf;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static GdkPixbufModule module = [] {
        GdkPixbufModule filled{};
        fill_vtable(&filled);
        return filled;
    }();
    static char folder[] = "/tmp/velda-fuzz-viewer-XXXXXX";
    static const bool made = [] {
        FUZZ_CHECK(mkdtemp(folder) != nullptr);
        return std::atexit([] { rmdir(folder); }) == 0;
    }();
    (void)made;
    std::size_t extensions = 0;
    while (velda::ClaimedExtensions[extensions] != nullptr) ++extensions;
    const std::string path = std::string(folder) + "/F." + velda::ClaimedExtensions[(data[0] & 0x3F) % extensions];
    const uint8_t* file = data + 1;
    const std::size_t fileSize = size - 1;
    const std::size_t piece = Pieces[data[0] >> 6] != 0 ? Pieces[data[0] >> 6] : std::max<std::size_t>(fileSize, 1);

    std::FILE* stream = std::fopen(path.c_str(), "w+b");
    FUZZ_CHECK(stream != nullptr && std::fwrite(file, 1, fileSize, stream) == fileSize && std::fflush(stream) == 0);
    velda::ViewerImage image;
    image.width = -1;
    const velda::LoadError refusal = velda::MakeViewerImageOf(file, fileSize, path, image);
    if (refusal) {
        FUZZ_CHECK(image.width == -1 && image.rgb.empty());
    } else {
        FUZZ_CHECK(image.width >= 1 && image.width <= LargestWidth);
        FUZZ_CHECK(image.height >= 1 && image.height <= LargestHeight);
        FUZZ_CHECK(image.rgb.size() == static_cast<std::size_t>(image.width) * image.height * 3);
    }

    GError* error = nullptr;
    std::rewind(stream);
    GdkPixbuf* loaded = module.load(stream, &error);
    Expect(loaded, error, refusal, image);
    // gdk-pixbuf feeds a loader at least one byte.
    if (fileSize > 0) {
        error = nullptr;
        loaded = LoadInPieces(module, file, fileSize, piece, &error);
        Expect(loaded, error, refusal, image);
    }
    std::fclose(stream);
    unlink(path.c_str());

    // Held by no file, the bytes cannot tell their mode.
    if (fileSize > 0) {
        error = nullptr;
        FUZZ_CHECK(LoadInPieces(module, file, fileSize, piece, &error) == nullptr && error != nullptr);
        g_error_free(error);
    }
    return 0;
}
