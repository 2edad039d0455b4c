// The web page's way into the core: the files the page was given, read
// together as one folder, and what the page shows and downloads of each
// picture among them. The page hands over bytes and asks for pixels and
// files; nothing here touches the browser.
//
// The pictures are what `velda-convert --list` would name given the same
// files: each picture file, each picture inside a disk image
// ("GAME.DSK:GAMES/TITLE.SC5"), a second page no picture takes; a second
// page or palette file that a picture takes goes with it. Files that are
// no picture are listed with the converter's reason.
//
// Every answer is left in one result (bytes, and the width and height of
// pixels), which the page reads before its next call.
#include <emscripten/emscripten.h>

#include <algorithm>
#include <cstdio>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "export/bmp_headers.h"
#include "export/bmp_writer.h"
#include "image/disk_image.h"
#include "image/file_types.h"
#include "image/picture_file.h"
#include "platform/names.h"
#include "render/picture.h"
#include "render/picture_shapes.h"
#include "render/thumbnail.h"

namespace velda {
namespace {

// The files given, by name: the folder they are read as. A name is found
// as it is spelt, as in a folder of a POSIX system.
class GivenFiles : public Companions {
public:
    std::map<std::string, std::vector<uint8_t>> files;

    std::string Find(const std::string& name) override { return files.count(name) != 0 ? name : ""; }
    LoadError Read(const std::string& found, std::size_t maxBytes, std::vector<uint8_t>& bytes) override {
        const auto file = files.find(found);
        if (file == files.end()) return LoadError(LoadFault::CannotOpen);
        bytes.assign(file->second.begin(),
                     file->second.begin() + static_cast<std::ptrdiff_t>(std::min(maxBytes, file->second.size())));
        return LoadError{};
    }
};

// A disk image among the files, read once.
struct GivenImage {
    std::string name;
    DiskImage image;
    std::map<std::size_t, std::unique_ptr<DiskFolder>> folders;

    DiskFolder& Folder(std::size_t folder) {
        std::unique_ptr<DiskFolder>& companions = folders[folder];
        if (!companions) companions = std::make_unique<DiskFolder>(image, folder, name);
        return *companions;
    }
};

// One line of the list: a picture, or a file that is none and why.
struct Entry {
    std::string name;                    // as velda-convert names it
    std::string file;                    // the given file, or the file's path in the image
    std::shared_ptr<GivenImage> image;   // the disk image holding it, or none
    std::size_t folder = 0;              // its folder in the image
    bool companion = false;              // a second page or palette file, listed only when no picture takes it
    PicturePlan plan;
    uint16_t width = 0, height = 0;      // as converted
    std::string refusal;                 // the converter's reason; "" for a picture
};

struct Session {
    GivenFiles given;
    std::vector<Entry> entries;
    std::vector<uint8_t> result;
    int width = 0, height = 0;
    std::string text;
};

Session& TheSession() {
    static Session session;  // the page's one folder; JavaScript runs one call at a time
    return session;
}

// A name split as the converter splits it on POSIX, where it runs.
PictureName NameOf(const std::string& path) {
    const PathParts parts = SplitPath(path);
    return PictureName{parts.stem, parts.extension};
}

// Reads the entry's own bytes.
LoadError BytesOf(Session& session, const Entry& entry, std::vector<uint8_t>& bytes) {
    if (!entry.image) return session.given.Read(entry.file, MaxPictureFileBytes, bytes);
    for (const DiskFile& file : entry.image->image.Files()) {
        if (file.path == entry.file) return entry.image->image.Read(file, MaxPictureFileBytes, bytes);
    }
    return LoadError(LoadFault::CannotOpen);
}

Companions* BesideOf(Session& session, const Entry& entry) {
    if (entry.image) return &entry.image->Folder(entry.folder);
    return &session.given;
}

// The request for the entry as velda-convert makes it: `screen` a chosen
// mode (0: the name's), interlaced pairs woven where found.
PictureRequest RequestOf(Session& session, const Entry& entry, uint8_t screen) {
    PictureRequest request;
    request.name = NameOf(entry.file);
    request.screen = screen;
    request.beside = BesideOf(session, entry);
    request.interlace = Interlace::Auto;
    return request;
}

// The converter's text for `error`, which names a companion as the files
// given or the disk image name it.
std::string Reason(const LoadError& error) {
    const bool unknown = error.fault == LoadFault::UnknownExtension;
    return DescribeLoadError(error) + (unknown ? "; pass --screen N" : "");
}

// Opens the entry in `screen` (0: its own) into `page`.
LoadError OpenEntry(Session& session, const Entry& entry, uint8_t screen, PicturePlan& plan, ScreenPage& page) {
    std::vector<uint8_t> bytes;
    if (LoadError error = BytesOf(session, entry, bytes)) return error;
    const PictureRequest request = RequestOf(session, entry, screen);
    plan = PlanPicture(bytes.data(), bytes.size(), request);
    return OpenPicture(bytes.data(), bytes.size(), plan, request, page);
}

// Opens line `index` in `screen` (0: its own) into `page`; false, with the
// reason kept for velda_text, when it cannot.
bool OpenLine(int index, int screen, ScreenPage& page) {
    Session& session = TheSession();
    PicturePlan plan;
    const Entry& entry = session.entries.at(static_cast<std::size_t>(index));
    if (LoadError error = OpenEntry(session, entry, static_cast<uint8_t>(screen), plan, page)) {
        session.text = Reason(error);
        return false;
    }
    return true;
}

void Keep(Session& session, const Picture& picture) {
    session.width = picture.width;
    session.height = picture.height;
    session.result.resize(static_cast<std::size_t>(picture.width) * picture.height * 4);
    uint8_t* out = session.result.data();
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const Rgb8 c = PixelColor(picture, x, y);
            *out++ = c.r;
            *out++ = c.g;
            *out++ = c.b;
            *out++ = 0xFF;
        }
    }
}

void AddImage(Session& session, const std::string& name, std::vector<uint8_t> bytes) {
    auto given = std::make_shared<GivenImage>();
    given->name = name;
    Entry entry;
    entry.name = name;
    if (LoadError error = given->image.Open(std::move(bytes))) {
        entry.refusal = Reason(error);
        session.entries.push_back(entry);
        return;
    }
    // As a folder's files: its pictures, and its second pages where no
    // picture takes them; palette files only go with pictures.
    bool anyPicture = false;
    for (const DiskFile& file : given->image.Files()) {
        const FileKind kind = TypeOfExtension(NameOf(file.path).extension).kind;
        if (!IsPictureKind(kind)) continue;
        anyPicture = true;
        Entry picture;
        picture.name = DiskFileName(name, file);
        picture.file = file.path;
        picture.image = given;
        picture.folder = file.folder;
        picture.companion = kind == FileKind::SecondPage;
        session.entries.push_back(picture);
    }
    if (!anyPicture) {
        entry.refusal = Reason(LoadError(LoadFault::NoPicture));
        session.entries.push_back(entry);
    }
}

// Whether some picture's plan takes the companion `entry`, whether or not
// the picture then opened.
bool Taken(Session& session, const Entry& entry) {
    for (const Entry& other : session.entries) {
        if (&other == &entry || other.companion || other.image != entry.image) continue;
        const std::string found = entry.image ? entry.name : entry.file;
        if (other.plan.secondPage == found || other.plan.paletteFile == found) return true;
    }
    return false;
}

// `text` as a JSON string, every byte a character: bytes from 0x80 as
// \u0080-\u00FF, which the page turns back into bytes and reads as UTF-8
// (names the browser gave) or code page 932 (names in a disk image).
std::string Quoted(const std::string& text) {
    std::string quoted = "\"";
    for (const unsigned char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x80) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            quoted += escaped;
        } else {
            quoted += static_cast<char>(c);
        }
    }
    return quoted + "\"";
}

}  // namespace
}  // namespace velda

using namespace velda;

extern "C" {

// Forgets every file given.
EMSCRIPTEN_KEEPALIVE void velda_clear() {
    Session& session = TheSession();
    session.given.files.clear();
    session.entries.clear();
}

// Room for the file `name` of `size` bytes, which the page fills.
EMSCRIPTEN_KEEPALIVE uint8_t* velda_add_file(const char* name, int size) {
    std::vector<uint8_t>& bytes = TheSession().given.files[name];
    bytes.assign(static_cast<std::size_t>(std::max(size, 0)), 0);
    return bytes.data();
}

// Lists the pictures among the files given; returns how many lines.
EMSCRIPTEN_KEEPALIVE int velda_list() {
    Session& session = TheSession();
    session.entries.clear();
    for (auto& [name, bytes] : session.given.files) {
        const FileKind kind = TypeOfExtension(NameOf(name).extension).kind;
        if (kind == FileKind::DiskImage) {
            AddImage(session, name, bytes);
            continue;
        }
        Entry entry;
        entry.name = name;
        entry.file = name;
        entry.companion = kind == FileKind::SecondPage || kind == FileKind::Palette;
        session.entries.push_back(entry);
    }
    for (Entry& entry : session.entries) {
        if (!entry.refusal.empty()) continue;
        ScreenPage page;
        if (LoadError error = OpenEntry(session, entry, 0, entry.plan, page)) {
            entry.refusal = Reason(error);
            continue;
        }
        const Picture picture = MakePicture(ViewOf(page), PictureOptions{});
        entry.width = static_cast<uint16_t>(picture.width);
        entry.height = static_cast<uint16_t>(picture.height);
    }
    std::vector<Entry> listed;
    for (Entry& entry : session.entries) {
        if (!entry.companion || !Taken(session, entry)) listed.push_back(entry);
    }
    session.entries = std::move(listed);
    return static_cast<int>(session.entries.size());
}

// Line `index` of the list as JSON: {"name", "inner", "refused"} for a
// file that is no picture ("unknown": whether a chosen mode may read it),
// else {"name", "inner", "reader", "screen", "width", "height",
// "secondPage", "paletteFile"}; "inner" is where the name of a file in a
// disk image starts (0 for a file given).
EMSCRIPTEN_KEEPALIVE const char* velda_entry(int index) {
    Session& session = TheSession();
    const Entry& entry = session.entries.at(static_cast<std::size_t>(index));
    std::string& text = session.text;
    // Where the name of a file in a disk image starts, after "GAME.DSK:".
    const std::size_t inner = entry.image ? entry.image->name.size() + 1 : 0;
    text = "{\"name\":" + Quoted(entry.name) + ",\"inner\":" + std::to_string(entry.name.size() > inner ? inner : 0);
    if (!entry.refusal.empty()) {
        const bool unknown = entry.plan.refusal.fault == LoadFault::UnknownExtension;
        text += ",\"refused\":" + Quoted(entry.refusal) + ",\"unknown\":" + (unknown ? "true" : "false") + "}";
        return text.c_str();
    }
    const PicturePlan& plan = entry.plan;
    text += ",\"reader\":" + Quoted(ReaderName(plan.reader)) +
            ",\"screen\":" + std::to_string(plan.screen) + ",\"width\":" + std::to_string(entry.width) +
            ",\"height\":" + std::to_string(entry.height) + ",\"secondPage\":" + Quoted(plan.secondPage) +
            ",\"paletteFile\":" + Quoted(plan.palette == PaletteSource::Own ? "" : plan.paletteFile) + "}";
    return text.c_str();
}

// The picture of line `index` read in `screen` (0: as listed) into the
// result as RGBA: `colors` 0 velda, 1 msx, 2 msx1; `aspect` 0 raw, 1 tv;
// `interlace` 0 weave, 1 blend, 2 off; `sprites` an index of SpriteChoices.
// Returns 0, or -1 with the reason in velda_text, as do the two below.
EMSCRIPTEN_KEEPALIVE int velda_picture(int index, int screen, int colors, int aspect, int interlace, int sprites) {
    ScreenPage page;
    if (!OpenLine(index, screen, page)) return -1;
    PictureOptions options;
    options.colors = static_cast<ColorRule>(std::clamp(colors, 0, 2));
    options.aspect = aspect != 0 ? Aspect::Tv : Aspect::Raw;
    if (interlace == 2) page.secondVram.clear();
    options.interlace = interlace == 1 ? Interlace::Blend : Interlace::Weave;
    options.sprites = SpriteChoices[std::clamp(sprites, 0, SpriteChoiceCount - 1)];
    Keep(TheSession(), MakePicture(ViewOf(page), options));
    return 0;
}

// The thumbnail of line `index` read in `screen` (0: as listed), its
// longer side at most `side`, into the result as RGBA, as the thumbnailers
// make it.
EMSCRIPTEN_KEEPALIVE int velda_thumbnail(int index, int screen, int side) {
    ScreenPage page;
    if (!OpenLine(index, screen, page)) return -1;
    Picture small;
    MakePageThumbnail(ViewOf(page), std::max(side, 1), small);
    Keep(TheSession(), small);
    return 0;
}

// The BMP velda-convert writes for line `index` read in `screen` (0: as
// listed), into the result.
EMSCRIPTEN_KEEPALIVE int velda_bmp(int index, int screen) {
    ScreenPage page;
    if (!OpenLine(index, screen, page)) return -1;
    Session& session = TheSession();
    const Picture picture = MakePicture(ViewOf(page), PictureOptions{});
    session.result.clear();
    ByteSink sink{session.result};
    EncodeBmp(sink, picture, PrepareExportHeaders(picture));
    session.width = picture.width;
    session.height = picture.height;
    return 0;
}

EMSCRIPTEN_KEEPALIVE const uint8_t* velda_result() { return TheSession().result.data(); }
EMSCRIPTEN_KEEPALIVE int velda_result_size() { return static_cast<int>(TheSession().result.size()); }
EMSCRIPTEN_KEEPALIVE int velda_result_width() { return TheSession().width; }
EMSCRIPTEN_KEEPALIVE int velda_result_height() { return TheSession().height; }
EMSCRIPTEN_KEEPALIVE const char* velda_text() { return TheSession().text.c_str(); }

}  // extern "C"
