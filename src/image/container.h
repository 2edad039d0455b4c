// Containers: anything that holds named files. A disk image, a ZIP archive
// and a gzip stream (one file: X.DSK.GZ holds X.DSK) are each a reader of
// its named files, and a folder of the system or the files a page was given
// can be one too. Every front end lists the pictures of a container, and
// of the containers inside it, through ListContainer (one list, nested, the
// same for the window, the converter and the page), and reads a picture and
// its companions through the ContainerFolder of its folder.
//
// Containers nest: a disk image in a ZIP archive, an archive in an
// archive, up to MaxNesting deep. Limits are checked here, once for every
// format: no file larger than MaxContainerFileBytes is read out of a
// container, and a container deeper than MaxNesting is named as refused,
// so that an archive that holds itself ends there too.
//
// Names inside containers are UTF-8 with folders joined by '/', whatever
// the container wrote (code page 932 on the MSX, code page 437 or UTF-8 in
// ZIP archives): each reader decodes its names as its format says.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "image/companions.h"
#include "image/file_types.h"
#include "image/load_error.h"

namespace velda {

// The largest file read out of a container: the largest disk image VELDA
// reads, beyond any picture. A file whose directory says more, or that
// inflates to more, is refused as soon as that is known.
constexpr std::size_t MaxContainerFileBytes = 32 * 1024 * 1024;

// How deep containers are opened inside one another: X.ZIP:A.ZIP:B.ZIP:C.DSK.
// A gzip stream and the file it holds are one level, as they are one name.
constexpr int MaxNesting = 4;

// How inflating deflate data ends.
enum class InflateFault {
    None,
    Cut,       // the data ended before the stream did; what inflated so far is given
    Damaged,   // the data is no deflate stream (or not from some point on)
    TooLarge,  // more than the limit would come out; nothing past the limit was inflated
};

// What reading containers needs of the system: inflating (zlib, or the
// page's JavaScript) and decoding code page 932 names (the system's table
// of it). One object may serve many containers, from several threads.
class ContainerTools {
public:
    virtual ~ContainerTools() = default;

    // Inflates the raw deflate stream at the start of `in` (`size` bytes)
    // into `out`, which is replaced: at most `limit` bytes, TooLarge as
    // soon as one more would come out. `consumed` is set to the bytes of
    // `in` the stream took, when it ended.
    virtual InflateFault Inflate(const uint8_t* in, std::size_t size, std::size_t limit, std::vector<uint8_t>& out,
                                 std::size_t& consumed) const = 0;

    // `name`, written in code page 932, in UTF-8; a byte that makes no
    // character becomes '_'.
    virtual std::string FromCp932(const std::string& name) const = 0;
};

// The bytes of a container's file: random access, so that a large archive
// is never read whole. A file of the system answers (platform), and so do
// bytes in memory. Safe from several threads at once.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual uint64_t Size() const = 0;
    // Reads `size` bytes at `offset` into `out`: false when they are not all
    // there, or the system could not read them.
    virtual bool ReadAt(uint64_t offset, std::size_t size, uint8_t* out) const = 0;
};

class MemorySource : public ByteSource {
public:
    explicit MemorySource(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
    uint64_t Size() const override { return bytes_.size(); }
    bool ReadAt(uint64_t offset, std::size_t size, uint8_t* out) const override;

private:
    std::vector<uint8_t> bytes_;
};

struct ContainerFile {
    std::string path;  // in the container, folders joined by '/', UTF-8: "GAMES/TITLE.SC5"
    uint64_t size = 0;  // as the container's directory gives it
};

class Container {
public:
    virtual ~Container() = default;

    // Every file (not folder) of the container, in the container's order.
    virtual const std::vector<ContainerFile>& Files() const = 0;

    // Reads file `index` whole and gives at most `maxBytes` of it: the
    // container's own faults when it cannot (a broken chain of clusters,
    // a CRC that does not match, an encrypted file...). Safe from several
    // threads at once.
    virtual LoadError Read(std::size_t index, std::size_t maxBytes, std::vector<uint8_t>& bytes) const = 0;

    // What is wrong with a container that could be read only in part (its
    // files are those that could): None for one read whole.
    virtual LoadError Damage() const { return LoadError{}; }

    // Whether the container's one file stands for the container itself, as
    // a gzip stream's does: its name is the container's, and it makes no
    // folder of its own.
    virtual bool Transparent() const { return false; }
};

// Opens the file `source` of the container kind `kind` (DiskImage,
// ZipArchive or Gzip) named `fileName` (its own name, whose extensions say
// what a gzip stream holds): the reader's fault when it cannot.
LoadError OpenContainer(FileKind kind, std::shared_ptr<const ByteSource> source, const std::string& fileName,
                        const ContainerTools& tools, std::shared_ptr<const Container>& container);

// The kind of container the file named `fileName` is (DiskImage,
// ZipArchive or Gzip), or Unknown: a gzip stream only where the name it
// holds names a file VELDA reads (X.DSK.GZ, X.SC5.GZ), so that the other
// compressed files among pictures (NOTES.TXT.GZ) are left alone.
FileKind ContainerKindOf(const std::string& fileName);

// A file of a container, or of a container inside it, as every front end
// lists it.
struct ListedFile {
    std::string name;      // as messages and listings name it: "X.ZIP:PICS/D.DSK:SUB/TITLE.SC5"
    std::string fileName;  // its own name, from which its kind and stem come: "TITLE.SC5"
    // Where its output goes below the folder of the top container: a folder
    // named after each container but a gzip stream, the folders inside each,
    // and its own name last, as the container spells them ({"X", "PICS", "D",
    // "SUB", "TITLE.SC5"}); the front end makes them harmless.
    std::vector<std::string> outputParts;
    std::shared_ptr<const Container> container;  // the container it is in directly
    std::size_t index = 0;                       // its file there
    std::string containerName;                   // that container as names start: "X.ZIP:PICS/D.DSK"
    // A container inside that could not be opened, or was read only in part:
    // the file is that container, and the fault names it.
    LoadError refusal;
};

// Every file of `top` (named `name`, its own file name `fileName`), a
// container inside it listed in its place with its own files, recursively:
// the files of each container in its order. A container that cannot be
// opened (damaged, deeper than MaxNesting) is listed as a
// refusal in its place, and one read in part is followed by its refusal.
std::vector<ListedFile> ListContainer(std::shared_ptr<const Container> top, const std::string& name,
                                      const std::string& fileName, const ContainerTools& tools);

// The files of one folder of a container as a picture's companions: a file
// is found by its name in any case of ASCII letters (the first of two
// alike), and named "<container name>:<path>", as messages show it.
class ContainerFolder : public Companions {
public:
    ContainerFolder(std::shared_ptr<const Container> container, std::string containerName, const std::string& folder);
    std::string Find(const std::string& name) override;
    LoadError Read(const std::string& found, std::size_t maxBytes, std::vector<uint8_t>& bytes) override;
    // Its path inside the container: "GAMES/TITLE.SC5".
    std::string PathOf(const std::string& found) const override;

private:
    std::shared_ptr<const Container> container_;
    std::map<std::string, std::string> byName_;  // the folder's files as named, by their names in capitals
    std::map<std::string, std::size_t> files_;   // and the index of each of them, by that name
};

// The folder of `path` inside a container, with its '/': "GAMES/" for
// "GAMES/TITLE.SC5", "" for a file of the root.
std::string ContainerFolderOf(const std::string& path);

// The file name of `path` inside a container: "TITLE.SC5".
std::string ContainerNameOf(const std::string& path);

}  // namespace velda
