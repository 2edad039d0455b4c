#include "tools/batch.h"

#include <cerrno>
#include <map>
#include <utility>

#include "image/file_types.h"
#include "image/picture_file.h"
#include "platform/files.h"

namespace velda {

namespace {

constexpr char Program[] = "velda-convert";
constexpr std::size_t ProgressColumns = 79;

bool IsPictureKind(FileKind kind) {
    return kind == FileKind::Bsave || kind == FileKind::GraphSaurus || kind == FileKind::SecondPage;
}

// Adds the files of `folder`, then those of its sub-folders, each by name;
// their outputs go into `outputFolder` (mirrored below it) when that is not
// empty.
void Walk(const std::string& folder, const std::string& outputFolder, std::vector<BatchEntry>& entries) {
    std::vector<FolderEntry> found;
    if (!ListFolder(folder, found)) {
        entries.push_back(BatchEntry{folder, "", EntryRole::Picture, "cannot read the folder: " + ErrorText(errno)});
        return;
    }
    for (const FolderEntry& entry : found) {
        if (entry.kind == PathKind::Directory) continue;
        const FileKind kind = TypeOfFile(entry.name).kind;
        const EntryRole role = IsPictureKind(kind) ? EntryRole::Picture : EntryRole::Ignored;
        entries.push_back(BatchEntry{JoinPath(folder, entry.name), outputFolder, role, ""});
    }
    for (const FolderEntry& entry : found) {
        if (entry.kind != PathKind::Directory) continue;
        Walk(JoinPath(folder, entry.name), outputFolder.empty() ? "" : JoinPath(outputFolder, entry.name), entries);
    }
}

using Identity = std::pair<uint64_t, uint64_t>;

// Marks as consumed the second pages and palette files that pictures of the
// batch take, wherever they stand among the entries.
void MarkConsumed(std::vector<BatchEntry>& entries, const ConvertSettings& settings) {
    std::map<Identity, std::size_t> partners;  // second pages and palette files, by file
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const FileKind kind = TypeOfFile(entries[i].input).kind;
        if (kind != FileKind::SecondPage && kind != FileKind::Palette) continue;
        const FileIdentity file = IdentifyFile(entries[i].input);
        if (file.known) partners.emplace(Identity{file.volume, file.index}, i);
    }
    if (partners.empty()) return;
    const auto consume = [&](const std::string& path) {
        if (path.empty()) return;
        const FileIdentity file = IdentifyFile(path);
        const auto partner = partners.find(Identity{file.volume, file.index});
        if (file.known && partner != partners.end()) entries[partner->second].role = EntryRole::Consumed;
    };
    consume(settings.palette);
    for (const BatchEntry& entry : entries) {
        const FileType type = ReadingOf(entry.input, settings);
        if (entry.role != EntryRole::Picture || type.kind == FileKind::SecondPage || type.screen == 0) continue;
        consume(SecondPageOf(entry.input, type, settings));
        if (const char* palette = PaletteExtension(type.screen)) consume(FindBeside(entry.input, palette));
    }
}

// The one line of progress on a terminal, rewritten in place.
class ProgressLine {
public:
    ProgressLine(std::FILE* stream, bool enabled) : stream_(stream), enabled_(enabled) {}
    ~ProgressLine() { Clear(); }

    void Show(std::size_t index, std::size_t total, const std::string& file) {
        if (!enabled_) return;
        std::string text = "[" + std::to_string(index) + "/" + std::to_string(total) + "] ";
        std::string name = file;
        if (text.size() + name.size() > ProgressColumns) {
            const std::size_t room = ProgressColumns > text.size() + 3 ? ProgressColumns - text.size() - 3 : 0;
            name = "..." + name.substr(name.size() - room);
        }
        text += name;
        Write(text);
    }

    void Clear() {
        if (!enabled_ || shown_ == 0) return;
        Write("");
        std::fputs("\r", stream_);
        std::fflush(stream_);
    }

private:
    void Write(const std::string& text) {
        std::string line = "\r" + text;
        if (text.size() < shown_) line.append(shown_ - text.size(), ' ');
        std::fputs(line.c_str(), stream_);
        std::fflush(stream_);
        shown_ = text.size();
    }

    std::FILE* stream_;
    bool enabled_;
    std::size_t shown_ = 0;
};

void Report(std::FILE* messages, const std::string& file, const std::string& reason) {
    std::fprintf(messages, "%s: %s: %s\n", Program, file.c_str(), reason.c_str());
}

// The outputs a batch has written, by name and by file identity, each
// with the input it came from. Two inputs of one name (A.SC5 and A.SC8, or
// one name in two folders with --dir) would otherwise write one output
// twice. Looked up rather than compared one by one, so that a large batch
// costs the same per file as a small one.
class WrittenOutputs {
public:
    // The input `output` was already written from, or nullptr.
    const std::string* WrittenFrom(const std::string& output) const {
        if (auto byName = names_.find(output); byName != names_.end()) return &byName->second;
        if (files_.empty()) return nullptr;  // nothing to compare the file with
        const FileIdentity existing = IdentifyFile(output);
        if (!existing.known) return nullptr;
        auto byFile = files_.find({existing.volume, existing.index});
        return byFile != files_.end() ? &byFile->second : nullptr;
    }

    void Add(const std::string& output, const std::string& input) {
        names_.emplace(output, input);
        if (const FileIdentity made = IdentifyFile(output); made.known) {
            files_.emplace(Identity{made.volume, made.index}, input);
        }
    }

private:
    std::map<std::string, std::string> names_;
    std::map<Identity, std::string> files_;
};

// The refusal of a second output of one name, with the way to have both.
std::string AlreadyWritten(const std::string& output, const std::string& earlier, const std::string& input,
                           OutputFormat format) {
    const auto kept = [format](const std::string& path) {
        return path.substr(SplitName(path).nameStart) + "." + FormatExtension(format);
    };
    return "cannot write " + output + ": already written from " + earlier + " (--keep-extension writes " +
           kept(earlier) + " and " + kept(input) + ")";
}

}  // namespace

std::vector<BatchEntry> PlanBatch(const std::vector<std::string>& inputs, const BatchOptions& options) {
    std::vector<BatchEntry> entries;
    for (const std::string& input : inputs) {
        if (options.recursive && KindOf(input) == PathKind::Directory) {
            Walk(input, options.folder, entries);
        } else {
            entries.push_back(BatchEntry{input, options.folder, EntryRole::Picture, ""});
        }
    }
    MarkConsumed(entries, options.settings);
    return entries;
}

BatchCounts RunBatch(const std::vector<BatchEntry>& entries, const BatchOptions& options, std::FILE* messages,
                     bool showProgress) {
    BatchCounts counts;
    ProgressLine progress(messages, showProgress);
    WrittenOutputs written;
    std::size_t total = 0;
    for (const BatchEntry& entry : entries) total += entry.role == EntryRole::Picture;

    std::size_t index = 0;
    for (const BatchEntry& entry : entries) {
        if (entry.role == EntryRole::Ignored) ++counts.ignored;
        if (entry.role != EntryRole::Picture) continue;
        progress.Show(++index, total, entry.input);
        const std::string output =
            !options.output.empty()
                ? options.output
                : OutputPathFor(entry.input, options.settings.format, entry.outputFolder, options.keepExtension);

        ConvertResult result{ConvertStatus::Failed, entry.problem};
        if (!entry.problem.empty()) {
            // reported as it is
        } else if (const std::string* earlier = written.WrittenFrom(output)) {
            result.reason = AlreadyWritten(output, *earlier, entry.input, options.settings.format);
        } else if (!MakeFolders(entry.outputFolder)) {
            result.reason = "cannot write " + output + ": cannot make the folder " + entry.outputFolder + ": " +
                            ErrorText(errno);
        } else {
            result = ConvertFile(entry.input, output, options.settings);
        }

        switch (result.status) {
        case ConvertStatus::Converted:
            ++counts.converted;
            written.Add(output, entry.input);
            continue;
        case ConvertStatus::Skipped:
            ++counts.skipped;
            progress.Clear();
            Report(messages, entry.input, "skipped: " + result.reason);
            break;
        case ConvertStatus::Failed:
            ++counts.failed;
            progress.Clear();
            Report(messages, entry.input, result.reason);
            break;
        }
    }
    progress.Clear();
    return counts;
}

}  // namespace velda
