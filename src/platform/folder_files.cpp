#include "platform/folder_files.h"

#include "platform/files.h"
#include "platform/names.h"

namespace velda {

std::string FolderFiles::Find(const std::string& name) {
    std::call_once(listed_, [this] {
        std::vector<FolderEntry> entries;
        ListFolder(folder_.empty() ? "." : folder_, entries);  // unreadable: no companions
        for (const FolderEntry& entry : entries) {
            if (entry.kind == PathKind::File) files_.emplace(NameKey(entry.name), entry.name);
        }
    });
    const auto file = files_.find(NameKey(name));
    return file != files_.end() ? JoinPath(folder_, file->second) : "";
}

LoadError ReadPictureFile(const std::string& path, std::size_t maxBytes, std::vector<uint8_t>& bytes) {
    const ReadError read = ReadWholeFile(path, maxBytes, bytes);
    if (!read) return LoadError{};
    LoadError error(read.opened ? LoadFault::ReadFailed : LoadFault::CannotOpen);
    error.file = path;
    error.system = read.system;
    return error;
}

LoadError FolderFiles::Read(const std::string& found, std::size_t maxBytes, std::vector<uint8_t>& bytes) {
    return ReadPictureFile(found, maxBytes, bytes);
}

}  // namespace velda
