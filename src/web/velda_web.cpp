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
#include "image/container.h"
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

// Inflating and code page 932 as the page does them: pako's inflate (the
// page loads pako_inflate.min.js before velda.js) and the browser's
// Shift_JIS decoder. Each leaves its answer in the page, from where
// velda_js_answer copies it into the room the core made for it.
EM_JS(int, velda_js_inflate, (const uint8_t* data, size_t size, size_t limit, size_t* consumed), {
    var inflator = new pako.Inflate({raw: true});
    var chunks = [], total = 0, tooLarge = false;
    inflator.onData = function (chunk) {
        if (total + chunk.length > limit) {
            chunks.push(chunk.subarray(0, limit - total));
            total = limit;
            tooLarge = true;
            throw new Error('too large');  // nothing more is inflated
        }
        chunks.push(chunk);
        total += chunk.length;
    };
    var damaged = false;
    try {
        inflator.push(HEAPU8.subarray(data, data + size), true);
        damaged = inflator.err !== 0;
    } catch (error) {
        damaged = !tooLarge;
    }
    var strm = inflator.strm;
    if (!inflator.ended && !tooLarge && !damaged && strm.output && strm.next_out > 0) {
        chunks.push(strm.output.slice(0, strm.next_out));  // what inflated before the data ended
        total += strm.next_out;
    }
    var out = new Uint8Array(total), at = 0;
    chunks.forEach(function (chunk) { out.set(chunk, at); at += chunk.length; });
    Module.veldaAnswer = out;
    HEAPU32[consumed >> 2] = size - strm.avail_in;
    return tooLarge ? 3 : damaged ? 2 : inflator.ended ? 0 : 1;
});
EM_JS(size_t, velda_js_from_cp932, (const char* name, size_t size), {
    var text = new TextDecoder('shift_jis').decode(HEAPU8.subarray(name, name + size));
    Module.veldaAnswer = new TextEncoder().encode(text.replace(/\uFFFD/g, '_'));
    return Module.veldaAnswer.length;
});
EM_JS(size_t, velda_js_answer_size, (), { return Module.veldaAnswer.length; });
EM_JS(void, velda_js_answer, (uint8_t* out), {
    HEAPU8.set(Module.veldaAnswer, out);
    Module.veldaAnswer = null;
});

class PageTools : public ContainerTools {
public:
    InflateFault Inflate(const uint8_t* in, std::size_t size, std::size_t limit, std::vector<uint8_t>& out,
                         std::size_t& consumed) const override {
        static constexpr InflateFault Faults[] = {InflateFault::None, InflateFault::Cut, InflateFault::Damaged,
                                                  InflateFault::TooLarge};
        const int fault = velda_js_inflate(in, size, limit, &consumed);
        out.resize(velda_js_answer_size());
        velda_js_answer(out.data());
        return Faults[fault];
    }

    std::string FromCp932(const std::string& name) const override {
        std::string text(velda_js_from_cp932(name.data(), name.size()), '\0');
        velda_js_answer(reinterpret_cast<uint8_t*>(&text[0]));
        return text;
    }
};

// One line of the list: a picture, or a file that is none and why.
struct Entry {
    std::string name;                            // as velda-convert names it
    std::string file;                            // the given file, or its own name in its container
    std::shared_ptr<const Container> container;  // the container holding it, or none
    std::string containerName;                   // that container as names in it start
    std::size_t index = 0;                       // its file there
    bool companion = false;                      // a second page or palette file, listed only when no picture takes it
    PicturePlan plan;
    uint16_t width = 0, height = 0;              // as converted
    std::string refusal;                         // the converter's reason; "" for a picture
};

struct Session {
    GivenFiles given;
    PageTools tools;
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

// The folder of the entry's container, where its companions are.
std::unique_ptr<Companions> FolderOf(const Entry& entry) {
    const std::string folder = ContainerFolderOf(entry.container->Files()[entry.index].path);
    return std::make_unique<ContainerFolder>(entry.container, entry.containerName, folder);
}

// The converter's text for `error`, which names a companion as the files
// given or the container name it.
std::string Reason(const LoadError& error) {
    const bool unknown = error.fault == LoadFault::UnknownExtension;
    return DescribeLoadError(error) + (unknown ? "; pass --screen N" : "");
}

// Opens the entry in `screen` (0: its own) into `page`, as velda-convert
// does: interlaced pairs woven where found.
LoadError OpenEntry(Session& session, const Entry& entry, uint8_t screen, PicturePlan& plan, ScreenPage& page) {
    const std::unique_ptr<Companions> beside = entry.container ? FolderOf(entry) : nullptr;
    Companions& files = beside ? *beside : session.given;
    std::vector<uint8_t> bytes;
    if (LoadError error = files.Read(entry.container ? entry.name : entry.file, MaxPictureFileBytes, bytes)) return error;
    PictureRequest request;
    request.name = NameOf(entry.file);
    request.screen = screen;
    request.beside = &files;
    request.interlace = Interlace::Auto;
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

Entry Refused(const std::string& name, const LoadError& error) {
    Entry entry;
    entry.name = name;
    entry.refusal = Reason(error);
    return entry;
}

// The pictures of the container given as `name`, and of the containers in
// it, as a folder's files: its pictures, and its second pages where no
// picture takes them; palette files only go with pictures.
void AddContainer(Session& session, const std::string& name, const std::vector<uint8_t>& bytes) {
    std::shared_ptr<const Container> container;
    const std::string fileName = FileNameOf(name);
    if (LoadError error = OpenContainer(ContainerKindOf(fileName), std::make_shared<MemorySource>(bytes), fileName,
                                        session.tools, container)) {
        session.entries.push_back(Refused(name, error));
        return;
    }
    bool anyPicture = false;
    for (const ListedFile& file : ListContainer(container, name, fileName, session.tools)) {
        if (file.refusal) {
            session.entries.push_back(Refused(file.name, file.refusal));
            continue;
        }
        const FileKind kind = TypeOfExtension(NameOf(file.fileName).extension).kind;
        if (!IsPictureKind(kind)) continue;
        anyPicture = true;
        Entry picture;
        picture.name = file.name;
        picture.file = file.fileName;
        picture.container = file.container;
        picture.containerName = file.containerName;
        picture.index = file.index;
        picture.companion = kind == FileKind::SecondPage;
        session.entries.push_back(picture);
    }
    if (!anyPicture) {
        session.entries.push_back(Refused(name, LoadError(LoadFault::NoPicture, TypeOfExtension(NameOf(name).extension).kind)));
    }
}

// Whether some picture's plan takes the companion `entry`, whether or not
// the picture then opened.
bool Taken(Session& session, const Entry& entry) {
    for (const Entry& other : session.entries) {
        if (&other == &entry || other.companion || other.container != entry.container) continue;
        const std::string found = entry.container ? entry.name : entry.file;
        if (other.plan.secondPage == found || other.plan.paletteFile == found) return true;
    }
    return false;
}

// `text` (UTF-8) as a JSON string.
std::string Quoted(const std::string& text) {
    std::string quoted = "\"";
    for (const unsigned char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += static_cast<char>(c);
        } else if (c < 0x20) {
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
        if (ContainerKindOf(FileNameOf(name)) != FileKind::Unknown) {
            AddContainer(session, name, bytes);
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

// Line `index` of the list as JSON: {"name", "refused"} for a file that
// is no picture ("unknown": whether a chosen mode may read it), else
// {"name", "reader", "screen", "width", "height", "secondPage",
// "paletteFile"}.
EMSCRIPTEN_KEEPALIVE const char* velda_entry(int index) {
    Session& session = TheSession();
    const Entry& entry = session.entries.at(static_cast<std::size_t>(index));
    std::string& text = session.text;
    text = "{\"name\":" + Quoted(entry.name);
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
