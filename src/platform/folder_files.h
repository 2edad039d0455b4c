// The files of a real folder as a picture's companions, and the edge where
// the system's reason a file cannot be read becomes a picture's load
// error. The folder is listed once, when a companion is first looked for,
// and a name is found in that list by the system's rule (any case on
// Windows, the exact bytes on POSIX). One FolderFiles may serve every
// picture of the folder, from several threads at once.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "image/companions.h"

namespace velda {

// Reads at most `maxBytes` of the file `path` into `bytes`, as a picture
// or a disk image is read: CannotOpen or ReadFailed, naming `path` and the
// system's reason, when it cannot.
LoadError ReadPictureFile(const std::string& path, std::size_t maxBytes, std::vector<uint8_t>& bytes);

class FolderFiles : public Companions {
public:
    // The files of `folder`; "" for the current folder.
    explicit FolderFiles(std::string folder) : folder_(std::move(folder)) {}

    // The path of the file named `name` in the folder (the folder joined
    // with the name as the folder spells it), or "". A folder that cannot
    // be listed holds nothing.
    std::string Find(const std::string& name) override;

    LoadError Read(const std::string& found, std::size_t maxBytes, std::vector<uint8_t>& bytes) override;

private:
    std::string folder_;
    std::once_flag listed_;
    std::map<std::string, std::string> files_;  // the folder's files (not its folders) by NameKey
};

}  // namespace velda
