// Next and previous picture: the files of a folder and their order.
#include "shell/picture_folder.h"

#include <vector>

#include "image/file_types.h"
#include "platform/files.h"

namespace velda {

namespace {

// `name` with its ASCII letters as capitals; the second byte of a
// double-byte character may be a letter's code and is left alone.
std::string FoldedName(const std::string& name) {
    std::string folded = name;
    for (std::size_t i = 0; i < folded.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(folded[i]);
        if (IsCp932LeadByte(c)) {
            ++i;
        } else if (c >= 'a' && c <= 'z') {
            folded[i] = static_cast<char>(c - 'a' + 'A');
        }
    }
    return folded;
}

bool IsSteppedTo(const FolderEntry& entry) {
    if (entry.kind != PathKind::File) return false;
    const FileKind kind = TypeOfFile(entry.name).kind;
    return kind == FileKind::Bsave || kind == FileKind::GraphSaurus;
}

}  // namespace

bool NameBefore(const std::string& a, const std::string& b) {
    const std::string foldedA = FoldedName(a), foldedB = FoldedName(b);
    // std::string compares its bytes as unsigned values.
    return foldedA != foldedB ? foldedA < foldedB : a < b;
}

std::string NeighbourPicture(const std::string& path, int step) {
    const std::size_t nameStart = SplitName(path).nameStart;
    const std::string folder = path.substr(0, nameStart);
    const std::string current = path.substr(nameStart);
    std::vector<FolderEntry> entries;
    // A name without a folder is in the current one.
    if (!ListFolder(folder.empty() ? "." : folder, entries)) return "";
    const std::string* best = nullptr;
    for (const FolderEntry& entry : entries) {
        if (!IsSteppedTo(entry)) continue;
        const bool beyond = step > 0 ? NameBefore(current, entry.name) : NameBefore(entry.name, current);
        if (!beyond) continue;
        if (best == nullptr || (step > 0 ? NameBefore(entry.name, *best) : NameBefore(*best, entry.name))) {
            best = &entry.name;
        }
    }
    return best != nullptr ? JoinPath(folder, *best) : "";
}

}  // namespace velda
