// The entries of a batch: the files named, the files of walked folders and
// the files of disk images, each with where its output goes.
#include <memory>
#include <utility>

#include "image/file_types.h"
#include "platform/files.h"
#include "platform/folder_files.h"
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

// Adds the files of the disk image `path`, their outputs in a folder named
// after it in `outputFolder` ("" for the image's own folder), below it the
// image's folders, every name made harmless.
void AddImage(const std::string& path, const std::string& outputFolder, std::vector<BatchEntry>& entries) {
    auto input = std::make_shared<ImageInput>();
    input->path = path;
    std::vector<uint8_t> bytes;
    LoadError error = ReadPictureFile(path, MaxDiskImageBytes, bytes);
    if (!error) error = input->image.Open(std::move(bytes));
    BatchEntry problem;
    problem.input = path;
    if (error) {
        problem.unreadable = error;
        entries.push_back(std::move(problem));
        return;
    }
    const PathParts image = SplitPath(path);
    const std::string top = JoinPath(outputFolder.empty() ? image.folder : outputFolder, HarmlessName(image.stem));
    bool anyPicture = false;
    for (const DiskFile& file : input->image.Files()) {
        if (input->folders.count(file.folder) == 0) {
            input->folders.emplace(file.folder, std::make_unique<DiskFolder>(input->image, file.folder, path));
        }
        const PathParts inner = SplitPath(NameFromCp932(file.path));
        std::string folder = top;
        for (std::size_t start = 0, slash; (slash = inner.folder.find('/', start)) != std::string::npos; start = slash + 1) {
            folder = JoinPath(folder, HarmlessName(inner.folder.substr(start, slash - start)));
        }
        BatchEntry entry = EntryOf(DiskFileName(path, file), folder, TypeOfExtension(inner.extension).kind, false);
        entry.image = input;
        entry.imageFolder = file.folder;
        entry.localName = HarmlessName(inner.Name());
        anyPicture = anyPicture || entry.role == EntryRole::Picture;
        entries.push_back(std::move(entry));
    }
    if (!anyPicture) {
        problem.unreadable = LoadError(LoadFault::NoPicture);
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
        if (kind == FileKind::DiskImage) {
            AddImage(path, outputFolder, entries);
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
        } else if (kind == FileKind::DiskImage) {
            AddImage(input, options.folder, entries);
        } else {
            entries.push_back(EntryOf(input, options.folder, kind, true));
        }
    }
    return entries;
}

}  // namespace velda
