#include "tools/batch.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "image/file_types.h"
#include "platform/files.h"
#include "platform/folder_files.h"
#include "platform/names.h"

namespace velda {

namespace {

constexpr std::size_t ProgressColumns = 79;

FileKind KindOfName(const std::string& path) { return TypeOfExtension(SplitPath(path).extension).kind; }

// The files beside the entries of a batch: each folder listed once for all
// its pictures; in a disk image, the folder of the image.
class Folders {
public:
    Companions& Of(const BatchEntry& entry) {
        if (entry.image != nullptr) return *entry.image->folders.at(entry.imageFolder);
        const std::string folder = SplitPath(entry.input).folder;
        std::unique_ptr<FolderFiles>& files = folders_[folder];
        if (files == nullptr) files = std::make_unique<FolderFiles>(folder);
        return *files;
    }

private:
    std::map<std::string, std::unique_ptr<FolderFiles>> folders_;
};

BatchEntry Problem(const std::string& input, std::string problem) {
    BatchEntry entry;
    entry.input = input;
    entry.problem = std::move(problem);
    return entry;
}

// A name read from a disk as a terminal may show it: control bytes as '?'.
std::string Printable(std::string name) {
    for (char& c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    }
    return name;
}

// Adds the files of the disk image `path`, their outputs in a folder named
// after it in `outputFolder` ("" for the image's own folder), below it the
// image's folders, every name made harmless.
void AddImage(const std::string& path, const std::string& outputFolder, std::vector<BatchEntry>& entries) {
    auto input = std::make_shared<ImageInput>();
    input->path = path;
    std::vector<uint8_t> bytes;
    LoadError error = ReadWholeFile(path, MaxDiskImageBytes, bytes);
    if (!error) error = input->image.Open(std::move(bytes));
    if (error) {
        entries.push_back(Problem(path, DescribeLoadError(error)));
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
        BatchEntry entry;
        entry.input = DiskFileName(path, file);
        entry.outputFolder = folder;
        entry.role = IsPictureKind(TypeOfExtension(inner.extension).kind) ? EntryRole::Picture : EntryRole::Ignored;
        entry.image = input;
        entry.imageFolder = file.folder;
        entry.shown = Printable(path + ":" + inner.folder + inner.Name());
        entry.localName = HarmlessName(inner.Name());
        anyPicture = anyPicture || entry.role == EntryRole::Picture;
        entries.push_back(std::move(entry));
    }
    if (!anyPicture) entries.push_back(Problem(path, DescribeLoadError(LoadError(LoadFault::NoPicture))));
}

// Adds the files of `folder`, then those of its sub-folders, each by name,
// and the files of the disk images among them; their outputs go into
// `outputFolder` (mirrored below it) when that is not empty.
void Walk(const std::string& folder, const std::string& outputFolder, std::vector<BatchEntry>& entries) {
    std::vector<FolderEntry> found;
    if (const std::error_code error = ListFolder(folder, found)) {
        entries.push_back(Problem(folder, "cannot read the folder: " + error.message()));
        return;
    }
    for (const FolderEntry& entry : found) {
        if (entry.kind == PathKind::Directory) continue;
        const FileKind kind = KindOfName(entry.name);
        if (kind == FileKind::DiskImage) {
            AddImage(JoinPath(folder, entry.name), outputFolder, entries);
            continue;
        }
        BatchEntry file;
        file.input = JoinPath(folder, entry.name);
        file.outputFolder = outputFolder;
        file.role = IsPictureKind(kind) ? EntryRole::Picture : EntryRole::Ignored;
        entries.push_back(std::move(file));
    }
    for (const FolderEntry& entry : found) {
        if (entry.kind != PathKind::Directory) continue;
        Walk(JoinPath(folder, entry.name), outputFolder.empty() ? "" : JoinPath(outputFolder, entry.name), entries);
    }
}

// What tells one file of the batch from another: its volume and file
// number, or the name of a file inside a disk image.
std::string FileKey(const std::string& path) {
    const FileIdentity file = IdentifyFile(path);
    return file.known ? std::to_string(file.volume) + ":" + std::to_string(file.index) : "name:" + path;
}

// Marks as consumed the second pages and palette files that pictures of the
// batch take, wherever they stand among the entries.
void MarkConsumed(std::vector<BatchEntry>& entries, const ConvertSettings& settings) {
    std::map<std::string, std::size_t> partners;  // second pages and palette files, by file
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const FileKind kind = KindOfName(entries[i].input);
        if (kind == FileKind::SecondPage || kind == FileKind::Palette) partners.emplace(FileKey(entries[i].input), i);
    }
    if (partners.empty()) return;
    const auto consume = [&](const std::string& path) {
        const auto partner = path.empty() ? partners.end() : partners.find(FileKey(path));
        if (partner != partners.end()) entries[partner->second].role = EntryRole::Consumed;
    };
    consume(settings.palette);
    Folders folders;
    for (const BatchEntry& entry : entries) {
        const FileType type = ReadingOf(entry.input, settings);
        if (entry.role != EntryRole::Picture || type.kind == FileKind::SecondPage || type.screen == 0) continue;
        Companions& beside = folders.Of(entry);
        consume(SecondPageOf(entry.input, type, settings, beside));
        consume(FileBeside(entry.input, PaletteExtension(type.screen), beside));
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

// The name messages give an entry.
const std::string& Shown(const BatchEntry& entry) { return entry.shown.empty() ? entry.input : entry.shown; }

// What is said of an entry: the names a disk's reason holds (its second
// page, its palette file) are shown as its own name is.
std::string Said(const BatchEntry& entry, const std::string& reason) {
    return entry.image != nullptr ? Printable(reason) : reason;
}

void Report(std::FILE* messages, const BatchEntry& entry, const std::string& reason) {
    std::fprintf(messages, "%s: %s: %s\n", ProgramName, Shown(entry).c_str(), Said(entry, reason).c_str());
}

// Where an output goes, as a key that two spellings of one place share
// ("same.bmp", "./same.bmp"): its folder, by file identity where the folder
// exists, and its name as the system compares names.
using OutputKey = std::pair<std::string, std::string>;

class OutputKeys {
public:
    OutputKey Of(const std::string& output) {
        const PathParts parts = SplitPath(output);
        return OutputKey{Folder(parts.folder), NameKey(parts.Name())};
    }

private:
    // A batch writes into few folders: each is looked at once.
    const std::string& Folder(const std::string& folder) {
        auto known = folders_.find(folder);
        if (known != folders_.end()) return known->second;
        const FileIdentity where = IdentifyFile(folder.empty() ? "." : folder);
        const std::string key = where.known ? std::to_string(where.volume) + ":" + std::to_string(where.index)
                                            : "path:" + folder;
        return folders_.emplace(folder, key).first->second;
    }

    std::map<std::string, std::string> folders_;
};

// One picture of the batch to convert, and what became of it.
struct Job {
    const BatchEntry* entry;
    std::string output;
    Companions* beside;           // the files of the input's folder
    std::ptrdiff_t earlier = -1;  // the job before with the same output, which decides whether this one may write
    ConvertResult result{ConvertStatus::Failed, ""};
    std::string writer;  // the input the output has been written from, up to and with this job
    bool done = false;
};

// The jobs of the batch, in order, each knowing the one before it that
// wants its output.
std::vector<Job> PlanJobs(const std::vector<BatchEntry>& entries, const BatchOptions& options, Folders& folders) {
    std::vector<Job> jobs;
    OutputKeys keys;
    std::map<OutputKey, std::size_t> last;
    for (const BatchEntry& entry : entries) {
        if (entry.role != EntryRole::Picture) continue;
        Job job;
        job.entry = &entry;
        job.beside = &folders.Of(entry);
        const std::string& named = entry.localName.empty() ? entry.input : entry.localName;
        job.output = !options.output.empty()
                         ? options.output
                         : OutputPathFor(named, options.settings.format, entry.outputFolder, options.keepExtension);
        const auto [place, first] = last.emplace(keys.Of(job.output), jobs.size());
        if (!first) {
            job.earlier = static_cast<std::ptrdiff_t>(place->second);
            place->second = jobs.size();
        }
        jobs.push_back(std::move(job));
    }
    return jobs;
}

// The refusal of a second output of one name, with the way to have both.
std::string AlreadyWritten(const std::string& output, const std::string& earlier, const std::string& input,
                           OutputFormat format) {
    const auto kept = [format](const std::string& path) { return FileNameOf(path) + "." + FormatExtension(format); };
    return "cannot write " + output + ": already written from " + earlier + " (--keep-extension writes " +
           kept(earlier) + " and " + kept(input) + ")";
}

}  // namespace

std::vector<BatchEntry> PlanBatch(const std::vector<std::string>& inputs, const BatchOptions& options) {
    std::vector<BatchEntry> entries;
    for (const std::string& input : inputs) {
        if (options.recursive && KindOf(input) == PathKind::Directory) {
            Walk(input, options.folder, entries);
        } else if (KindOfName(input) == FileKind::DiskImage) {
            AddImage(input, options.folder, entries);
        } else {
            BatchEntry entry;
            entry.input = input;
            entry.outputFolder = options.folder;
            entries.push_back(std::move(entry));
        }
    }
    MarkConsumed(entries, options.settings);
    return entries;
}

int DefaultJobs() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : static_cast<int>(std::min<unsigned>(cores, MaxJobs));
}

namespace {

// The jobs of one run and the workers that do them: each takes the next job
// not yet taken. A job whose output an earlier job also wants waits for that
// one, so that the first to convert keeps the output, as one job at a time
// would have it.
class JobQueue {
public:
    JobQueue(std::vector<Job>& jobs, const BatchOptions& options) : jobs_(jobs), options_(options) {}

    // Does jobs until none is left.
    void Work() {
        while (WorkOne()) {
        }
    }

    // Does the next job not yet taken; false when there is none.
    bool WorkOne() {
        const std::size_t i = next_++;
        if (i >= jobs_.size()) return false;
        Job& job = jobs_[i];
        std::string before;
        if (job.earlier >= 0) before = WaitFor(static_cast<std::size_t>(job.earlier)).writer;
        try {
            Do(job, before);
        } catch (const std::exception& e) {  // out of memory, most likely: this file fails, the rest go on
            job.result = ConvertResult{ConvertStatus::Failed, e.what()};
        }
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            job.done = true;
        }
        finished_.notify_all();
        return true;
    }

    // Job `i`, once it is done.
    const Job& WaitFor(std::size_t i) {
        std::unique_lock<std::mutex> lock(mutex_);
        finished_.wait(lock, [&] { return jobs_[i].done; });
        return jobs_[i];
    }

private:
    // Converts one job; `before` is the input its output was already
    // written from, or "".
    void Do(Job& job, const std::string& before) {
        const BatchEntry& entry = *job.entry;
        job.writer = before;
        if (!entry.problem.empty()) {
            job.result.reason = entry.problem;
        } else if (options_.list) {  // writes nothing, so no output stands in its way
            job.result = DescribeFile(entry.input, options_.settings, job.beside);
        } else if (!before.empty()) {
            job.result.reason = AlreadyWritten(job.output, before, entry.input, options_.settings.format);
        } else if (const std::error_code error =
                       entry.outputFolder != options_.folder ? MakeFolders(entry.outputFolder) : std::error_code()) {
            // a mirrored folder that cannot be made
            job.result.reason =
                "cannot write " + job.output + ": cannot make the folder " + entry.outputFolder + ": " + error.message();
        } else {
            job.result = ConvertFile(entry.input, job.output, options_.settings, job.beside);
            if (job.result.status == ConvertStatus::Converted) job.writer = entry.input;
        }
    }

    std::vector<Job>& jobs_;
    const BatchOptions& options_;
    std::atomic<std::size_t> next_{0};
    std::mutex mutex_;
    std::condition_variable finished_;
};

}  // namespace

BatchCounts RunBatch(const std::vector<BatchEntry>& entries, const BatchOptions& options, std::FILE* messages,
                     bool showProgress, std::FILE* listing) {
    Folders folders;
    std::vector<Job> jobs = PlanJobs(entries, options, folders);
    JobQueue queue(jobs, options);
    std::vector<std::thread> workers;
    const int threads = std::min<int>(std::min(options.jobs, MaxJobs), static_cast<int>(jobs.size()));
    // With one job at a time, each runs on this thread before its report.
    for (int i = 0; i < threads && threads > 1; ++i) workers.emplace_back([&queue] { queue.Work(); });

    BatchCounts counts;
    ProgressLine progress(messages, showProgress);
    std::size_t index = 0;
    for (const BatchEntry& entry : entries) {
        if (entry.role == EntryRole::Ignored) ++counts.ignored;
        if (entry.role != EntryRole::Picture) continue;
        progress.Show(index + 1, jobs.size(), Shown(entry));
        if (workers.empty()) queue.WorkOne();
        const Job& job = queue.WaitFor(index++);
        switch (job.result.status) {
        case ConvertStatus::Converted:
            ++counts.converted;
            if (options.list) {
                progress.Clear();
                std::fprintf(listing, "%s: %s\n", Shown(entry).c_str(), Said(entry, job.result.reason).c_str());
            }
            continue;
        case ConvertStatus::Skipped:
            ++counts.skipped;
            progress.Clear();
            Report(messages, entry, "skipped: " + job.result.reason);
            break;
        case ConvertStatus::Failed:
            ++counts.failed;
            progress.Clear();
            Report(messages, entry, job.result.reason);
            break;
        }
    }
    for (std::thread& worker : workers) worker.join();
    progress.Clear();
    return counts;
}

}  // namespace velda
