// libpixbufloader-velda.so: MSX pictures in every program that reads images
// through gdk-pixbuf (Eye of GNOME, gThumb, Geeqie, the previews of GTK's
// file chooser), as velda-convert's PNG would show them (viewer_image.h).
//
// gdk-pixbuf picks a loader by the MIME type the shared-mime-info
// database gives the file (share/mime/packages/velda.xml) or the program
// asks for; this one claims the types of pictures, and no signature of its
// own: a BSAVE file's mark is a single byte, which would take other
// formats' files. A picture's mode is in its name, which gdk-pixbuf never
// passes a loader:
//   - load (gdk_pixbuf_new_from_file) gets the FILE* it opened, whose
//     descriptor names the file;
//   - begin_load and load_increment (GdkPixbufLoader: gdk_pixbuf_new_from_
//     file_at_scale, from_stream, and Eye of GNOME, which feeds the bytes it
//     reads with only the MIME type) get bytes. A viewer holds the file open
//     while it reads it, so the file is looked for among the files the
//     process holds open, when the first bytes come: the one file that holds
//     exactly the bytes given is the one read.
// A file so named takes its palette file and second page from its folder,
// as the converter does. Where no file holds the bytes (they came from
// memory or over a network) or files of two names do, nothing tells the
// mode, and the picture is refused as velda-convert refuses a file without
// an extension, rather than shown in a mode guessed.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <vector>

#define GDK_PIXBUF_ENABLE_BACKEND
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gdk-pixbuf/gdk-pixbuf-io.h>
#undef GDK_PIXBUF_ENABLE_BACKEND

#include "image/picture_file.h"
#include "loaders/open_files.h"
#include "loaders/viewer_image.h"
#include "platform/files.h"

namespace velda {
namespace {

// What an incremental load keeps between its calls.
struct Load {
    GdkPixbufModuleSizeFunc sized = nullptr;
    GdkPixbufModulePreparedFunc prepared = nullptr;
    GdkPixbufModuleUpdatedFunc updated = nullptr;
    gpointer user = nullptr;
    std::vector<uint8_t> bytes;  // no more than velda-convert reads
    uint64_t fileSize = 0;       // every byte given
    std::unique_ptr<OpenFilesStartingWith> files;  // the open files that may be the one read
};

void SetError(GError** error, const LoadError& refusal) {
    const bool unknown = refusal.fault == LoadFault::UnknownExtension || refusal.fault == LoadFault::PaletteFileAlone;
    const bool unread = refusal.fault == LoadFault::CannotOpen || refusal.fault == LoadFault::ReadFailed;
    const GdkPixbufError code = unknown  ? GDK_PIXBUF_ERROR_UNKNOWN_TYPE
                                : unread ? GDK_PIXBUF_ERROR_FAILED
                                         : GDK_PIXBUF_ERROR_CORRUPT_IMAGE;
    g_set_error_literal(error, GDK_PIXBUF_ERROR, code, DescribeLoadError(refusal).c_str());
}

void SetMemoryError(GError** error) {
    g_set_error_literal(error, GDK_PIXBUF_ERROR, GDK_PIXBUF_ERROR_INSUFFICIENT_MEMORY,
                        "not enough memory for the picture");
}

// A new pixbuf of `image`, or nullptr when there is no memory for it.
GdkPixbuf* PixbufOf(const ViewerImage& image) {
    GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, image.width, image.height);
    if (pixbuf == nullptr) return nullptr;
    const std::size_t rowBytes = static_cast<std::size_t>(image.width) * 3;
    const auto stride = static_cast<std::size_t>(gdk_pixbuf_get_rowstride(pixbuf));
    guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
    for (int y = 0; y < image.height; ++y) {
        std::copy_n(image.rgb.data() + y * rowBytes, rowBytes, pixels + y * stride);
    }
    return pixbuf;
}

GdkPixbuf* LoadFile(FILE* f, GError** error) {
    try {
        const std::string path = PathOfDescriptor(fileno(f));
        std::vector<uint8_t> bytes;
        uint8_t piece[16384];
        while (bytes.size() < MaxPictureFileBytes) {
            const std::size_t wanted = std::min(sizeof piece, MaxPictureFileBytes - bytes.size());
            const std::size_t count = std::fread(piece, 1, wanted, f);
            if (count == 0) break;
            bytes.insert(bytes.end(), piece, piece + count);
        }
        if (std::ferror(f)) {
            LoadError unread(LoadFault::ReadFailed);
            unread.file = path;
            unread.system = ErrnoCode(errno);
            SetError(error, unread);
            return nullptr;
        }
        ViewerImage image;
        if (LoadError refusal = MakeViewerImageOf(bytes.data(), bytes.size(), path, image)) {
            SetError(error, refusal);
            return nullptr;
        }
        GdkPixbuf* pixbuf = PixbufOf(image);
        if (pixbuf == nullptr) SetMemoryError(error);
        return pixbuf;
    } catch (const std::bad_alloc&) {
        SetMemoryError(error);
        return nullptr;
    }
}

gpointer BeginLoad(GdkPixbufModuleSizeFunc sized, GdkPixbufModulePreparedFunc prepared,
                   GdkPixbufModuleUpdatedFunc updated, gpointer user, GError** error) {
    Load* load = new (std::nothrow) Load;
    if (load == nullptr) {
        SetMemoryError(error);
        return nullptr;
    }
    load->sized = sized;
    load->prepared = prepared;
    load->updated = updated;
    load->user = user;
    return load;
}

gboolean LoadIncrement(gpointer context, const guchar* buf, guint size, GError** error) {
    Load& load = *static_cast<Load*>(context);
    try {
        if (load.files == nullptr) load.files = std::make_unique<OpenFilesStartingWith>(buf, size);
        const std::size_t taken = std::min<std::size_t>(size, MaxPictureFileBytes - load.bytes.size());
        load.bytes.insert(load.bytes.end(), buf, buf + taken);
        load.fileSize += size;
        return TRUE;
    } catch (const std::bad_alloc&) {
        SetMemoryError(error);
        return FALSE;
    }
}

// Makes the picture of the bytes given and hands it on as gdk-pixbuf asks:
// its size first (the program may want no more), then the pixbuf whole.
gboolean FinishLoad(Load& load, GError** error) {
    const std::string path = load.files != nullptr ? load.files->PathHolding(load.bytes, load.fileSize) : "";
    ViewerImage image;
    if (LoadError refusal = MakeViewerImageOf(load.bytes.data(), load.bytes.size(), path, image)) {
        SetError(error, refusal);
        return FALSE;
    }
    int width = image.width, height = image.height;
    if (load.sized != nullptr) {
        load.sized(&width, &height, load.user);
        if (width == 0 || height == 0) return TRUE;
    }
    GdkPixbuf* pixbuf = PixbufOf(image);
    if (pixbuf == nullptr) {
        SetMemoryError(error);
        return FALSE;
    }
    if (load.prepared != nullptr) load.prepared(pixbuf, nullptr, load.user);
    if (load.updated != nullptr) load.updated(pixbuf, 0, 0, image.width, image.height, load.user);
    g_object_unref(pixbuf);
    return TRUE;
}

gboolean StopLoad(gpointer context, GError** error) {
    std::unique_ptr<Load> load(static_cast<Load*>(context));
    try {
        return FinishLoad(*load, error);
    } catch (const std::bad_alloc&) {
        SetMemoryError(error);
        return FALSE;
    }
}

}  // namespace
}  // namespace velda

extern "C" {

G_MODULE_EXPORT void fill_vtable(GdkPixbufModule* module) {
    module->load = velda::LoadFile;
    module->begin_load = velda::BeginLoad;
    module->stop_load = velda::StopLoad;
    module->load_increment = velda::LoadIncrement;
}

G_MODULE_EXPORT void fill_info(GdkPixbufFormat* info) {
    static GdkPixbufModulePattern noSignature[] = {{nullptr, nullptr, 0}};
    info->name = const_cast<gchar*>("velda");
    info->signature = noSignature;
    info->description = const_cast<gchar*>("MSX screen picture");
    info->mime_types = const_cast<gchar**>(velda::ClaimedMimeTypes);
    info->extensions = const_cast<gchar**>(velda::ClaimedExtensions);
    info->flags = GDK_PIXBUF_FORMAT_THREADSAFE;
    info->license = const_cast<gchar*>("all-rights-reserved");
}

}  // extern "C"
