// The entries of a batch: the files named, the files of walked folders and
// the files of containers (disk images, archives), each with where its
// output goes.
#include <memory>
#include <utility>

#include "image/file_types.h"
#include "platform/files.h"
#include "platform/containers.h"
#include "platform/names.h"
#include "tools/batch.h"

namespace velda {

namespace {

FileKind KindOfName(const std::string& path) { return TypeOfExtension(SplitPath(path).extension).kind; }

bool IsCompanionKind(FileKind kind) { return kind == FileKind::SecondPage || kind == FileKind::Palette; }

// An entry for the file `input` found or named, by what its name says.
BatchEntry EntryOf(const std::string& input, const std::string& outputFolder, FileKind kind, bool named) {
    BatchEntry entry;
    entry.input = input;
    entry.outputFolder = outputFolder;
    // A file named on the command line is a picture to convert or report;
    // one found in a folder only when its name says it is a picture.
    entry.role = named || IsPictureKind(kind) ? EntryRole::Picture : EntryRole::Ignored;
    entry.companion = IsCompanionKind(kind);
    return entry;
}

// Adds the files of the container `path` (a disk image, an archive) and
// of the containers inside it, their outputs in a folder named after it in
// `outputFolder` ("" for the container's own folder), below it the
// container's folders and one for each container inside, every name made
// harmless.
void AddContainer(const std::string& path, const std::string& outputFolder, std::vector<BatchEntry>& entries) {
    BatchEntry problem;
    problem.input = path;
    std::shared_ptr<const Container> container;
    if (LoadError error = OpenContainerFile(path, container)) {
        problem.unreadable = error;
        entries.push_back(std::move(problem));
        return;
    }
    const PathParts parts = SplitPath(path);
    const std::string base = outputFolder.empty() ? parts.folder : outputFolder;
    bool anyPicture = false;
    for (const ListedFile& file : ListContainer(container, path, parts.Name(), SystemContainerTools())) {
        if (file.refusal) {
            BatchEntry refused;
            refused.input = file.name;
            refused.unreadable = file.refusal;
            entries.push_back(std::move(refused));
            continue;
        }
        std::string folder = base;
        for (std::size_t i = 0; i + 1 < file.outputParts.size(); ++i) folder = JoinPath(folder, HarmlessName(file.outputParts[i]));
        BatchEntry entry = EntryOf(file.name, folder, KindOfName(file.fileName), false);
        entry.container = file.container;
        entry.containerName = file.containerName;
        entry.containerFolder = ContainerFolderOf(file.container->Files()[file.index].path);
        entry.localName = HarmlessName(file.fileName);
        anyPicture = anyPicture || entry.role == EntryRole::Picture;
        entries.push_back(std::move(entry));
    }
    if (!anyPicture) {
        problem.unreadable = LoadError(LoadFault::NoPicture, TypeOfExtension(parts.extension).kind);
        entries.push_back(std::move(problem));
    }
}

// Adds the files of `folder`, then those of its sub-folders, each by name,
// and the files of the disk images among them; their outputs go into
// `outputFolder` (mirrored below it) when that is not empty.
void Walk(const std::string& folder, const std::string& outputFolder, std::vector<BatchEntry>& entries) {
    std::vector<FolderEntry> found;
    if (const std::error_code error = ListFolder(folder, found)) {
        BatchEntry problem;
        problem.input = folder;
        problem.folderError = error;
        entries.push_back(std::move(problem));
        return;
    }
    for (const FolderEntry& entry : found) {
        if (entry.kind == PathKind::Directory) continue;
        const std::string path = JoinPath(folder, entry.name);
        const FileKind kind = KindOfName(entry.name);
        if (ContainerKindOf(entry.name) != FileKind::Unknown) {
            AddContainer(path, outputFolder, entries);
        } else {
            entries.push_back(EntryOf(path, outputFolder, kind, false));
        }
    }
    for (const FolderEntry& entry : found) {
        if (entry.kind != PathKind::Directory) continue;
        Walk(JoinPath(folder, entry.name), outputFolder.empty() ? "" : JoinPath(outputFolder, entry.name), entries);
    }
}

}  // namespace

std::vector<BatchEntry> PlanBatch(const std::vector<std::string>& inputs, const BatchOptions& options) {
    std::vector<BatchEntry> entries;
    for (const std::string& input : inputs) {
        const FileKind kind = KindOfName(input);
        if (options.recursive && KindOf(input) == PathKind::Directory) {
            Walk(input, options.folder, entries);
        } else if (ContainerKindOf(FileNameOf(input)) != FileKind::Unknown) {
            AddContainer(input, options.folder, entries);
        } else {
            entries.push_back(EntryOf(input, options.folder, kind, true));
        }
    }
    return entries;
}

}  // namespace velda
