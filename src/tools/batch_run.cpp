// The run over a batch: workers take jobs in order, the main thread reports
// them in that order, so that a run of many jobs at once says and writes
// what a run of one job at a time does.
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <utility>

#include "platform/console.h"
#include "platform/files.h"
#include "platform/folder_files.h"
#include "platform/names.h"
#include "tools/batch.h"
#include "tools/output_names.h"
#include "tools/report.h"

namespace velda {

namespace {

// The files beside the entries of a batch: each folder listed once for all
// its pictures; in a container, the folder of the container.
class Folders {
public:
    Companions& Of(const BatchEntry& entry) {
        if (entry.container != nullptr) {
            std::unique_ptr<ContainerFolder>& files = inContainers_[{entry.container.get(), entry.containerFolder}];
            if (files == nullptr) {
                files = std::make_unique<ContainerFolder>(entry.container, entry.containerName, entry.containerFolder);
            }
            return *files;
        }
        const std::string folder = SplitPath(entry.input).folder;
        std::unique_ptr<FolderFiles>& files = folders_[folder];
        if (files == nullptr) files = std::make_unique<FolderFiles>(folder);
        return *files;
    }

private:
    std::map<std::string, std::unique_ptr<FolderFiles>> folders_;
    std::map<std::pair<const Container*, std::string>, std::unique_ptr<ContainerFolder>> inContainers_;
};

// What tells one file of the batch from another: its volume and file
// number, or the name of a file inside a container.
std::string FileKey(const std::string& path) {
    const FileIdentity file = IdentifyFile(path);
    return file.known ? std::to_string(file.volume) + ":" + std::to_string(file.index) : "name:" + path;
}

// A name of `entry`'s as messages show it: a name a container gives with
// no byte a terminal would act on.
std::string ShownName(const BatchEntry& entry, const std::string& name) {
    return entry.container == nullptr ? name : PrintableName(name);
}

// Where the output of `entry` goes, named after its own name with
// `keepExtension`.
std::string OutputOf(const BatchEntry& entry, const BatchOptions& options, bool keepExtension) {
    const std::string& named = entry.localName.empty() ? entry.input : entry.localName;
    return OutputPathFor(named, options.settings.format, entry.outputFolder, keepExtension);
}

// One entry of the batch to convert, and what became of it.
struct Job {
    const BatchEntry* entry;
    std::string output;
    Companions* beside;           // the files of the input's folder
    std::ptrdiff_t earlier = -1;  // the job before with the same output, which decides whether this one may write
    Outcome outcome;
    std::vector<std::string> took;       // the companions its picture takes, by FileKey
    bool taken = false;                  // a companion that a picture of the batch takes
    const BatchEntry* writer = nullptr;  // the entry the output has been written from, up to and with this job
    bool done = false;
};

// The jobs of the batch: its pictures in order, then the companions named
// among the entries, whose pictures must have been planned first. Each job
// knows the one before it that wants its output.
std::vector<Job> PlanJobs(const std::vector<BatchEntry>& entries, const BatchOptions& options, Folders& folders) {
    std::vector<Job> jobs;
    for (const bool companions : {false, true}) {
        for (const BatchEntry& entry : entries) {
            if (entry.companion != companions || (!companions && entry.role == EntryRole::Ignored)) continue;
            Job job;
            job.entry = &entry;
            job.beside = &folders.Of(entry);
            job.output = !options.output.empty() ? options.output : OutputOf(entry, options, options.keepExtension);
            jobs.push_back(std::move(job));
        }
    }
    OutputKeys keys;
    std::map<OutputKey, std::size_t> last;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        const auto [place, first] = last.emplace(keys.Of(jobs[i].output), i);
        if (!first) {
            jobs[i].earlier = static_cast<std::ptrdiff_t>(place->second);
            place->second = i;
        }
    }
    return jobs;
}

// The jobs of one run and the workers that do them: each takes the next job
// not yet taken. A job whose output an earlier job also wants waits for that
// one, so that the first to convert keeps the output, as one job at a time
// would have it; a companion waits for every picture.
class JobQueue {
public:
    JobQueue(std::vector<Job>& jobs, const BatchOptions& options) : jobs_(jobs), options_(options) {
        pictures_ = static_cast<std::size_t>(
            std::count_if(jobs.begin(), jobs.end(), [](const Job& job) { return !job.entry->companion; }));
        if (!options.settings.palette.empty()) takenKeys_.insert(FileKey(options.settings.palette));
    }

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
        const BatchEntry* before = job.earlier >= 0 ? WaitFor(static_cast<std::size_t>(job.earlier)).writer : nullptr;
        try {
            Do(job, before);
        } catch (const std::exception& e) {  // this file fails, the rest go on
            job.outcome = Outcome{};
            job.outcome.problem = Unexpected{e.what()};
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
    // Whether a picture of the batch takes the companion `input`: asked
    // once every picture is done.
    bool Taken(const std::string& input) {
        for (std::size_t i = 0; i < pictures_; ++i) WaitFor(i);
        std::call_once(gathered_, [this] {
            for (std::size_t i = 0; i < pictures_; ++i) takenKeys_.insert(jobs_[i].took.begin(), jobs_[i].took.end());
        });
        return takenKeys_.count(FileKey(input)) != 0;
    }

    // The companions `plan` takes, by FileKey.
    static std::vector<std::string> Took(const PicturePlan& plan) {
        std::vector<std::string> took;
        if (!plan.secondPage.empty()) took.push_back(FileKey(plan.secondPage));
        if (plan.palette == PaletteSource::Beside) took.push_back(FileKey(plan.paletteFile));
        return took;
    }

    // Converts one job; `before` is the entry its output was already
    // written from, or nullptr.
    void Do(Job& job, const BatchEntry* before) {
        const BatchEntry& entry = *job.entry;
        job.writer = before;
        if (entry.unreadable) {
            job.outcome.problem = entry.unreadable;
        } else if (entry.folderError) {
            job.outcome.problem = FolderProblem{entry.input, "", entry.folderError};
        } else if (entry.companion && Taken(entry.input)) {
            job.taken = true;
        } else if (entry.role == EntryRole::Ignored) {
            // a companion found in a folder that no picture takes
        } else if (options_.list) {  // writes nothing, so no output stands in its way
            job.outcome = ListFile(entry.input, options_.settings, job.beside);
        } else if (before != nullptr) {
            // What is wrong with the file itself is said first.
            job.outcome = ListFile(entry.input, options_.settings, job.beside);
            if (job.outcome.status == ConvertStatus::Listed) {
                job.outcome.status = ConvertStatus::Failed;
                job.outcome.problem = AlreadyWritten{job.output, before->input, OutputOf(*before, options_, true),
                                                     OutputOf(entry, options_, true)};
            }
        } else if (const std::error_code error =
                       entry.outputFolder != options_.folder ? MakeFolders(entry.outputFolder) : std::error_code()) {
            // a mirrored folder that cannot be made
            job.outcome.problem = FolderProblem{entry.outputFolder, job.output, error};
        } else {
            job.outcome = ConvertFile(entry.input, job.output, options_.settings, job.beside);
            if (job.outcome.status == ConvertStatus::Converted) job.writer = &entry;
        }
        if (!entry.companion) job.took = Took(job.outcome.plan);
    }

    std::vector<Job>& jobs_;
    const BatchOptions& options_;
    std::size_t pictures_ = 0;
    std::atomic<std::size_t> next_{0};
    std::mutex mutex_;
    std::condition_variable finished_;
    std::once_flag gathered_;
    std::set<std::string> takenKeys_;
};

}  // namespace

int DefaultJobs() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : static_cast<int>(std::min<unsigned>(cores, MaxJobs));
}

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
    counts.ignored = static_cast<int>(std::count_if(entries.begin(), entries.end(), [](const BatchEntry& entry) {
        return entry.role == EntryRole::Ignored && !entry.companion;
    }));
    ProgressLine progress(messages, showProgress);
    for (std::size_t index = 0; index < jobs.size(); ++index) {
        const BatchEntry& entry = *jobs[index].entry;
        const ShowName show = [&entry](const std::string& name) { return ShownName(entry, name); };
        progress.Show(index + 1, jobs.size(), show(entry.input));
        if (workers.empty()) queue.WorkOne();
        const Job& job = queue.WaitFor(index);
        if (job.taken) continue;
        if (entry.role == EntryRole::Ignored) {
            ++counts.ignored;
            continue;
        }
        const Outcome& outcome = job.outcome;
        switch (outcome.status) {
        case ConvertStatus::Converted:
            ++counts.converted;
            continue;
        case ConvertStatus::Listed:
            ++counts.listed;
            progress.Clear();
            WriteText(listing, show(entry.input) + ": " + ListingText(outcome, show) + "\n");
            continue;
        case ConvertStatus::Skipped:
        case ConvertStatus::Failed: {
            const bool skipped = outcome.status == ConvertStatus::Skipped;
            ++(skipped ? counts.skipped : counts.failed);
            progress.Clear();
            WriteText(messages, std::string(ProgramName) + ": " + show(entry.input) + ": " + (skipped ? "skipped: " : "") +
                                    ProblemText(outcome.problem, show) + "\n");
            break;
        }
        }
    }
    for (std::thread& worker : workers) worker.join();
    progress.Clear();
    return counts;
}

}  // namespace velda
