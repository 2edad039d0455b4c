// Files that are never half-written: what each way out of an OutputFile
// leaves in the folder. Faults are real: the system's file-size limit, a
// folder that does not exist, a name as long as the system allows.
#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <cstdio>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include "platform/output_file.h"
#include "test_support.h"

namespace velda {
namespace {

using velda_test::FolderEntries;
using velda_test::FreshFolder;
using velda_test::ReadFile;
using velda_test::WriteFile;

const std::vector<uint8_t> OldBytes = {'o', 'l', 'd', ' ', 'f', 'i', 'l', 'e', ' ', 'k', 'e', 'p', 't'};

#ifndef _WIN32
// While it lives, files of this process cannot grow past `bytes`: a write
// beyond fails as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }

private:
    rlimit saved_{};
};
#endif

// How a write through an OutputFile ended.
enum class Outcome { Done, TargetExists, Failed };

// Writes `bytes` through an OutputFile to `target` and commits it.
Outcome WriteThrough(const std::string& target, const std::vector<uint8_t>& bytes, bool replace) {
    OutputFile output;
    if (output.Create(target)) return Outcome::Failed;
    std::fwrite(bytes.data(), 1, bytes.size(), output.Stream());
    if (output.Close()) return Outcome::Failed;  // the destructor discards it
    const std::error_code error = output.Commit(replace);
    return !error ? Outcome::Done : error == std::errc::file_exists ? Outcome::TargetExists : Outcome::Failed;
}

TEST(OutputFile, EveryWayOutLeavesOneWholeFile) {
    const std::vector<uint8_t> newBytes = velda_test::NoiseBytes(20000, 5);
    struct Case {
        const char* what;
        bool existing;
        bool replace;
        bool sizeLimited;
        Outcome outcome;
        bool keepsOld;
    };
    const Case cases[] = {
        {"new name", false, false, false, Outcome::Done, false},
        {"replaces a longer file whole", true, true, false, Outcome::Done, false},
        {"leaves a file it may not replace", true, false, false, Outcome::TargetExists, true},
        {"write refused part-way", true, true, true, Outcome::Failed, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
#ifdef _WIN32
        if (c.sizeLimited) continue;  // no file-size limit to set
#endif
        const std::string folder = FreshFolder("output-file");
        const std::string target = folder + "/target.bmp";
        std::vector<uint8_t> old = OldBytes;
        old.resize(30000, 'x');  // longer than the new file
        if (c.existing) WriteFile(target, old);
        Outcome outcome;
        {
#ifndef _WIN32
            std::unique_ptr<FileSizeLimit> limit(c.sizeLimited ? new FileSizeLimit(4096) : nullptr);
#endif
            outcome = WriteThrough(target, newBytes, c.replace);
        }
        EXPECT_EQ(outcome, c.outcome);
        const bool anyFile = c.existing || c.outcome == Outcome::Done;
        EXPECT_EQ(FolderEntries(folder), anyFile ? std::vector<std::string>{"target.bmp"} : std::vector<std::string>{})
            << "no temporary file is left";
        if (anyFile) EXPECT_TRUE(ReadFile(target) == (c.keepsOld ? old : newBytes));
    }
}

TEST(OutputFile, FolderThatDoesNotExistGetsNothing) {
    const std::string folder = FreshFolder("output-missing");
    OutputFile output;
    EXPECT_EQ(output.Create(folder + "/no-such-folder/picture.bmp"), std::errc::no_such_file_or_directory);
    EXPECT_TRUE(FolderEntries(folder).empty());
}

// What the converter's interrupt handler does, on another thread on
// Windows: remove the temporary file while it is still open.
TEST(OutputFile, TemporaryFileCanBeRemovedWhileOpen) {
    const std::string folder = FreshFolder("output-interrupt");
    OutputFile output;
    ASSERT_FALSE(output.Create(folder + "/picture.bmp"));
    std::fputs("partial", output.Stream());
    std::fflush(output.Stream());
    EXPECT_EQ(std::remove(output.TemporaryPath().c_str()), 0);
    output.Discard();
    EXPECT_TRUE(FolderEntries(folder).empty());
}

#ifndef _WIN32  // Windows' ANSI paths end at 260 bytes in all
// The temporary name does not grow with the target's: a target whose name
// is as long as the file system allows is written.
TEST(OutputFile, LongestNameIsWritten) {
    const std::string folder = FreshFolder("output-long");
    const std::string name = std::string(251, 'n') + ".bmp";  // 255 bytes
    const std::vector<uint8_t> bytes = velda_test::NoiseBytes(1000, 6);
    EXPECT_EQ(WriteThrough(folder + "/" + name, bytes, false), Outcome::Done);
    EXPECT_EQ(FolderEntries(folder), std::vector<std::string>{name});
    EXPECT_TRUE(ReadFile(folder + "/" + name) == bytes);
}
#endif

}  // namespace
}  // namespace velda
