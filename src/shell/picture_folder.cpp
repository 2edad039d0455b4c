// Next and previous picture: the files of a folder and their order.
#include "shell/picture_folder.h"

#include <vector>

#include "image/file_types.h"
#include "platform/files.h"
#include "platform/names.h"

namespace velda {

namespace {

bool IsSteppedTo(const FolderEntry& entry) {
    if (entry.kind != PathKind::File) return false;
    return IsSteppedKind(TypeOfExtension(SplitPath(entry.name).extension).kind);
}

}  // namespace

std::string NeighbourPicture(const std::string& path, int step) {
    const PathParts parts = SplitPath(path);
    const std::string current = parts.Name();
    std::vector<FolderEntry> entries;
    // A name without a folder is in the current one.
    if (ListFolder(parts.folder.empty() ? "." : parts.folder, entries)) return "";
    const std::string* best = nullptr;
    for (const FolderEntry& entry : entries) {
        if (!IsSteppedTo(entry)) continue;
        const bool beyond = step > 0 ? NameBefore(current, entry.name) : NameBefore(entry.name, current);
        if (!beyond) continue;
        if (best == nullptr || (step > 0 ? NameBefore(entry.name, *best) : NameBefore(*best, entry.name))) {
            best = &entry.name;
        }
    }
    return best != nullptr ? JoinPath(parts.folder, *best) : "";
}

}  // namespace velda
