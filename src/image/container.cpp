#include "image/container.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>
#include <mutex>
#include <system_error>
#include <utility>

#include "image/disk_image.h"
#include "image/gzip_stream.h"
#include "image/name_letters.h"
#include "image/zip_archive.h"

namespace velda {

namespace {

// "TITLE" of "GAMES/TITLE.SC5"; the extension follows the last dot of the
// name, and a dot that starts it starts none.
std::string StemOf(const std::string& fileName) {
    const std::size_t dot = fileName.rfind('.');
    return dot == std::string::npos || dot == 0 ? fileName : fileName.substr(0, dot);
}

std::string ExtensionOf(const std::string& fileName) {
    const std::size_t dot = fileName.rfind('.');
    return dot == std::string::npos || dot == 0 ? "" : fileName.substr(dot + 1);
}

FileKind KindOf(const std::string& fileName) { return TypeOfExtension(ExtensionOf(fileName)).kind; }

// Whether a file of `kind` is a container.
bool IsContainerKind(FileKind kind) {
    return kind == FileKind::DiskImage || kind == FileKind::ZipArchive || kind == FileKind::Gzip;
}

// The folders of `path` inside a container, one a part: {"A", "B"} for "A/B/C.SC5".
std::vector<std::string> FolderParts(const std::string& path) {
    std::vector<std::string> parts;
    for (std::size_t start = 0, slash; (slash = path.find('/', start)) != std::string::npos; start = slash + 1) {
        parts.push_back(path.substr(start, slash - start));
    }
    return parts;
}

// How file `index` of `container` (named `containerName`) is named.
std::string ListedName(const std::string& containerName, const Container& container, std::size_t index) {
    return container.Transparent() ? containerName : containerName + ":" + container.Files()[index].path;
}

LoadError Named(LoadError error, const std::string& name) {
    if (error.file.empty()) error.file = name;
    return error;
}

ListedFile Refused(const std::string& name, const std::string& fileName, LoadError error) {
    ListedFile refused;
    refused.name = name;
    refused.fileName = fileName;
    refused.refusal = Named(std::move(error), name);
    return refused;
}

// Opens file `index` of `container` (named `fileName`), itself a
// container of the kind its name gives.
LoadError OpenInside(const Container& container, std::size_t index, const std::string& fileName,
                     const ContainerTools& tools, std::shared_ptr<const Container>& opened) {
    std::vector<uint8_t> bytes;
    if (LoadError error = container.Read(index, MaxContainerFileBytes, bytes)) return error;
    return OpenContainer(KindOf(fileName), std::make_shared<MemorySource>(std::move(bytes)), fileName, tools, opened);
}

// The containers inside containers opened last, kept for the reads that
// come next: the files of one container are read one after another, a
// few at once, so that memory holds a few of them, never all an archive
// holds.
class OpenedInside {
public:
    static constexpr std::size_t Kept = 16;  // more than the files a front end reads at once

    // A key no other container inside has had: a container's address may
    // be another's once it is gone.
    uint64_t NewKey() {
        const std::lock_guard<std::mutex> lock(mutex_);
        return ++keys_;
    }

    // The container `key` opened, by `open` where it is not kept.
    LoadError Get(uint64_t key, const std::function<LoadError(std::shared_ptr<const Container>&)>& open,
                  std::shared_ptr<const Container>& opened) {
        const std::lock_guard<std::mutex> lock(mutex_);
        auto kept = std::find_if(recent_.begin(), recent_.end(), [key](const auto& entry) { return entry.first == key; });
        if (kept != recent_.end()) {
            opened = kept->second;
            recent_.erase(kept);
        } else if (LoadError error = open(opened)) {
            return error;
        }
        KeepLocked(key, opened);
        return LoadError{};
    }

    // Keeps `opened` as the container `key`, opened last.
    void Keep(uint64_t key, std::shared_ptr<const Container> opened) {
        const std::lock_guard<std::mutex> lock(mutex_);
        KeepLocked(key, std::move(opened));
    }

private:
    void KeepLocked(uint64_t key, std::shared_ptr<const Container> opened) {
        recent_.emplace_front(key, std::move(opened));
        if (recent_.size() > Kept) recent_.pop_back();
    }

    std::mutex mutex_;
    uint64_t keys_ = 0;
    std::deque<std::pair<uint64_t, std::shared_ptr<const Container>>> recent_;  // the last used first
};

// A container inside a container: its files as listed when it was first
// opened, and its bytes opened again, from the container it is in, when
// it is read after it has left the ones kept.
class NestedContainer : public Container {
public:
    NestedContainer(std::shared_ptr<const Container> outer, std::size_t index, std::string fileName,
                    const ContainerTools& tools, std::shared_ptr<OpenedInside> opened, const Container& first)
        : outer_(std::move(outer)), index_(index), fileName_(std::move(fileName)), tools_(tools),
          opened_(std::move(opened)), key_(opened_->NewKey()), files_(first.Files()), damage_(first.Damage()),
          transparent_(first.Transparent()) {}

    uint64_t Key() const { return key_; }

    const std::vector<ContainerFile>& Files() const override { return files_; }
    LoadError Damage() const override { return damage_; }
    bool Transparent() const override { return transparent_; }

    LoadError Read(std::size_t index, std::size_t maxBytes, std::vector<uint8_t>& bytes) const override {
        std::shared_ptr<const Container> inner;
        const LoadError error = opened_->Get(
            key_, [this](std::shared_ptr<const Container>& opened) { return OpenInside(*outer_, index_, fileName_, tools_, opened); },
            inner);
        if (error) {
            bytes.clear();
            return error;
        }
        return inner->Read(index, maxBytes, bytes);
    }

private:
    std::shared_ptr<const Container> outer_;
    std::size_t index_;
    std::string fileName_;
    const ContainerTools& tools_;
    std::shared_ptr<OpenedInside> opened_;
    uint64_t key_;
    std::vector<ContainerFile> files_;
    LoadError damage_;
    bool transparent_;
};

// One container being listed: its name, the output folders above its
// files, how deep it is, and the containers inside opened last.
struct Level {
    std::string name;
    std::vector<std::string> parts;
    int depth;
    std::shared_ptr<OpenedInside> opened;
};

void ListInto(const std::shared_ptr<const Container>& container, const Level& level, const ContainerTools& tools,
              std::vector<ListedFile>& out);

// Opens file `index` of `container`, itself a container, and lists it in
// its place; or names it as refused.
void ListInner(const std::shared_ptr<const Container>& container, std::size_t index, const Level& level,
               const ContainerTools& tools, std::vector<ListedFile>& out) {
    const std::string& path = container->Files()[index].path;
    const std::string own = ContainerNameOf(path);
    const std::string name = ListedName(level.name, *container, index);
    Level inner{name, level.parts, container->Transparent() ? level.depth : level.depth + 1, level.opened};
    if (inner.depth > MaxNesting) return out.push_back(Refused(name, own, LoadError(LoadFault::NestedTooDeep)));
    std::shared_ptr<const Container> opened;
    if (LoadError error = OpenInside(*container, index, own, tools, opened)) {
        return out.push_back(Refused(name, own, std::move(error)));
    }
    if (!container->Transparent()) {
        for (std::string& part : FolderParts(path)) inner.parts.push_back(std::move(part));
    }
    if (!opened->Transparent()) inner.parts.push_back(StemOf(own));
    auto nested = std::make_shared<NestedContainer>(container, index, own, tools, level.opened, *opened);
    level.opened->Keep(nested->Key(), opened);
    ListInto(nested, inner, tools, out);
}

void ListInto(const std::shared_ptr<const Container>& container, const Level& level, const ContainerTools& tools,
              std::vector<ListedFile>& out) {
    const std::vector<ContainerFile>& files = container->Files();
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string own = ContainerNameOf(files[i].path);
        if (ContainerKindOf(own) != FileKind::Unknown) {
            ListInner(container, i, level, tools, out);
            continue;
        }
        ListedFile file;
        file.name = ListedName(level.name, *container, i);
        file.fileName = own;
        file.outputParts = level.parts;
        if (!container->Transparent()) {
            for (std::string& part : FolderParts(files[i].path)) file.outputParts.push_back(std::move(part));
        }
        file.outputParts.push_back(own);
        file.container = container;
        file.index = i;
        file.containerName = level.name;
        out.push_back(std::move(file));
    }
    if (LoadError damage = container->Damage()) out.push_back(Refused(level.name, "", std::move(damage)));
}

}  // namespace

bool MemorySource::ReadAt(uint64_t offset, std::size_t size, uint8_t* out) const {
    if (offset > bytes_.size() || bytes_.size() - offset < size) return false;
    if (size != 0) std::memcpy(out, bytes_.data() + offset, size);
    return true;
}

FileKind ContainerKindOf(const std::string& fileName) {
    const FileKind kind = KindOf(fileName);
    if (kind == FileKind::Gzip) return KindOf(StemOf(fileName)) == FileKind::Unknown ? FileKind::Unknown : kind;
    return IsContainerKind(kind) ? kind : FileKind::Unknown;
}

LoadError OpenContainer(FileKind kind, std::shared_ptr<const ByteSource> source, const std::string& fileName,
                        const ContainerTools& tools, std::shared_ptr<const Container>& container) {
    if (kind == FileKind::ZipArchive) {
        auto zip = std::make_shared<ZipArchive>();
        if (LoadError error = zip->Open(std::move(source), tools)) return error;
        container = std::move(zip);
        return LoadError{};
    }
    // A disk image and a gzip stream are read whole: they are no larger
    // than the largest disk image.
    std::vector<uint8_t> bytes(static_cast<std::size_t>(std::min<uint64_t>(source->Size(), MaxContainerFileBytes)));
    if (!source->ReadAt(0, bytes.size(), bytes.data())) {
        LoadError error(LoadFault::ReadFailed);
        error.system = std::make_error_code(std::errc::io_error);
        return error;
    }
    if (kind == FileKind::Gzip) {
        auto gzip = std::make_shared<GzipStream>();
        if (LoadError error = gzip->Open(bytes, StemOf(fileName), tools)) return error;
        container = std::move(gzip);
        return LoadError{};
    }
    auto image = std::make_shared<DiskImage>();
    if (LoadError error = image->Open(std::move(bytes), tools)) return error;
    container = std::move(image);
    return LoadError{};
}

std::vector<ListedFile> ListContainer(std::shared_ptr<const Container> top, const std::string& name,
                                      const std::string& fileName, const ContainerTools& tools) {
    Level level{name, {}, 1, std::make_shared<OpenedInside>()};
    if (!top->Transparent()) level.parts.push_back(StemOf(fileName));
    std::vector<ListedFile> files;
    ListInto(top, level, tools, files);
    return files;
}

std::string ContainerFolderOf(const std::string& path) { return path.substr(0, path.rfind('/') + 1); }

std::string ContainerNameOf(const std::string& path) { return path.substr(path.rfind('/') + 1); }

ContainerFolder::ContainerFolder(std::shared_ptr<const Container> container, std::string containerName,
                                 const std::string& folder)
    : container_(std::move(container)) {
    const std::vector<ContainerFile>& files = container_->Files();
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (ContainerFolderOf(files[i].path) != folder) continue;
        const std::string listed = ListedName(containerName, *container_, i);
        byName_.emplace(Capitals(ContainerNameOf(files[i].path)), listed);
        files_.emplace(listed, i);
    }
}

std::string ContainerFolder::Find(const std::string& name) {
    const auto found = byName_.find(Capitals(name));
    return found == byName_.end() ? "" : found->second;
}

LoadError ContainerFolder::Read(const std::string& found, std::size_t maxBytes, std::vector<uint8_t>& bytes) {
    const auto file = files_.find(found);
    if (file != files_.end()) return Named(container_->Read(file->second, maxBytes, bytes), found);
    bytes.clear();
    LoadError error(LoadFault::CannotOpen);
    error.system = std::make_error_code(std::errc::no_such_file_or_directory);
    return error;
}

std::string ContainerFolder::PathOf(const std::string& found) const {
    const auto file = files_.find(found);
    return file == files_.end() ? found : container_->Files()[file->second].path;
}

}  // namespace velda
