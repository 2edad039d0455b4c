// Many files at once (-j): the same messages in the same order, the same
// outputs byte for byte, and nothing left behind by a failure or an
// interrupt.
#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "fixtures.h"
#include "test_support.h"

namespace velda_test {
namespace {

// Names in `folder` of the temporary files outputs are written through.
std::vector<std::string> Temporaries(const std::string& folder) {
    std::vector<std::string> found;
    for (const std::string& name : FolderEntries(folder)) {
        if (name.rfind(".velda-", 0) == 0) found.push_back(name);
    }
    return found;
}

TEST(Jobs, ManyAtOnceReadAndWriteAsOneAtATime) {
    // Every mode in turn, a file that is no picture now and then, and
    // f0.S12 last, which wants the output f0.SC5 writes.
    const std::string dir = FreshFolder("jobs-same");
    std::string inputs;
    for (int i = 0; i < 28; ++i) {
        const ExpectedMode& mode = ExpectedModes[i % 7];
        const std::string name = "f" + std::to_string(i) + "." + mode.extension;
        const bool bad = i % 5 == 3;
        WriteFile(dir + "/" + name, bad ? std::vector<uint8_t>{0x00, 1, 2} : NoiseBsave(mode.screen, 50u + i));
        inputs += " " + name;
    }
    WriteFile(dir + "/f0.S12", NoiseBsave(12, 49));
    inputs += " f0.S12";
    mkdir((dir + "/one").c_str(), 0755);
    mkdir((dir + "/four").c_str(), 0755);
    const RunResult one = RunConverter(dir, "-j 1 -f png -d one" + inputs);
    const RunResult four = RunConverter(dir, "-j 4 -f png -d four" + inputs);
    EXPECT_EQ(one.status, 1);
    EXPECT_EQ(four.status, one.status);
    EXPECT_TRUE(one.Says("f0.S12: cannot write one/f0.png: already written from f0.SC5")) << one.output;
    std::string expected = one.output;
    for (std::size_t at = expected.find(" one/"); at != std::string::npos; at = expected.find(" one/", at)) {
        expected.replace(at, 5, " four/");
    }
    EXPECT_EQ(four.output, expected);
    const std::vector<std::string> written = FolderEntries(dir + "/one");
    EXPECT_EQ(written.size(), 23u);
    EXPECT_EQ(FolderEntries(dir + "/four"), written);
    for (const std::string& name : written) {
        EXPECT_EQ(ReadFile(dir + "/four/" + name), ReadFile(dir + "/one/" + name)) << name;
    }
}

// A write the system refuses part-way (the file-size limit) fails that
// file alone, and leaves neither it nor a temporary file.
TEST(Jobs, FailedFileAmongManyLeavesNothing) {
    const std::string dir = FreshFolder("jobs-fail");
    std::string inputs;
    for (int i = 0; i < 8; ++i) {
        const std::string name = "f" + std::to_string(i) + (i == 5 ? ".S12" : ".SC5");
        WriteFile(dir + "/" + name, NoiseBsave(i == 5 ? 12 : 5, 70u + i));
        inputs += " " + name;
    }
    const RunResult run = RunConverter(dir, "-j 4" + inputs, "trap '' XFSZ; ulimit -f 64;");  // 32 KiB
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_EQ(run.output,
              "velda-convert: f5.S12: cannot write f5.bmp: File too large\n"
              "velda-convert: converted 7, skipped 0, failed 1\n");
    EXPECT_FALSE(FileExists(dir + "/f5.bmp"));
    EXPECT_TRUE(Temporaries(dir).empty());
}

// Ctrl+C in the middle of a batch: every file being written at that moment
// is removed before the program ends.
TEST(Jobs, InterruptLeavesNoTemporaryFile) {
    const std::string dir = FreshFolder("jobs-interrupt");
    std::vector<std::string> arguments = {VELDA_CONVERT_EXE, "-q", "-j", "4", "-f", "png", "-d", dir + "/out"};
    mkdir((dir + "/out").c_str(), 0755);
    for (int i = 0; i < 400; ++i) {
        const std::string name = dir + "/f" + std::to_string(i) + ".S12";
        WriteFile(name, NoiseBsave(12, 90u + i));
        arguments.push_back(name);
    }
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::vector<char*> argv;
        for (std::string& argument : arguments) argv.push_back(&argument[0]);
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    while (FolderEntries(dir + "/out").size() < 3) usleep(1000);  // well under way
    kill(child, SIGINT);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the batch ended before the interrupt";
    EXPECT_EQ(WTERMSIG(status), SIGINT);
    EXPECT_TRUE(Temporaries(dir + "/out").empty());
    EXPECT_LT(FolderEntries(dir + "/out").size(), 400u);
}

}  // namespace
}  // namespace velda_test
