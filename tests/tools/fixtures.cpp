#include "fixtures.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include "image/mode_table.h"
#include "image/picture_file.h"
#include "test_support.h"
#include "tools/report.h"

namespace velda_test {

std::vector<uint8_t> NoiseBsave(uint8_t screen, uint32_t seed) {
    const velda::ModeInfo* mode = velda::FindMode(screen);
    const auto end = static_cast<uint16_t>(mode->clearBytes - 1);
    return MakeBsave(0, end, NoiseBytes(static_cast<std::size_t>(mode->clearBytes), seed));
}

std::vector<uint8_t> ReferenceBmp(uint8_t screen, const std::vector<uint8_t>& file) {
    velda::ScreenPage page;
    if (!OpenBsave(screen, file, page)) return {};
    return velda_test::SavedBmp(screen, page.vram.data(), page.palette);
}

std::string Said(const velda::Outcome& outcome) {
    return velda::ProblemText(outcome.problem, [](const std::string& name) { return name; });
}

RunResult RunConverter(const std::string& folder, const std::string& arguments, const std::string& prefix) {
    return RunIn(folder, prefix + " '" VELDA_CONVERT_EXE "' " + arguments);
}

RunResult RunIn(const std::string& folder, const std::string& commandLine) {
    const std::string command = "cd '" + folder + "' && " + commandLine + " 2>&1";
    RunResult result;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, got);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

bool HaveMtools() { return std::system("command -v mformat >/dev/null 2>&1") == 0; }

namespace {

// Runs an mtools command on the image `image`; true when it succeeds.
bool Mtools(const std::string& command, const std::string& image, const std::string& rest) {
    const std::string line =
        "MTOOLS_NO_VFAT=1 MTOOLS_SKIP_CHECK=1 " + command + " -i '" + image + "' " + rest + " >/dev/null 2>&1";
    return std::system(line.c_str()) == 0;
}

}  // namespace

void MakeImage(const std::string& image, const std::string& loose, const std::vector<LooseFile>& files) {
    ASSERT_TRUE(Mtools("mformat -C -f 720", image, "::"));
    for (const LooseFile& file : files) {
        const std::string path = file.path;
        const std::string folder = path.substr(0, path.rfind('/') + 1);
        for (std::size_t slash = folder.find('/'); slash != std::string::npos; slash = folder.find('/', slash + 1)) {
            Mtools("mmd", image, "::/" + folder.substr(0, slash));  // fails when it exists already
        }
        ASSERT_EQ(std::system(("mkdir -p '" + loose + "/" + folder + "'").c_str()), 0);
        WriteFile(loose + "/" + path, file.bytes);
        ASSERT_TRUE(Mtools("mcopy", image, "'" + loose + "/" + path + "' ::/" + path)) << path;
    }
}

std::vector<std::string> Tree(const std::string& folder, const std::string& prefix) {
    std::vector<std::string> names;
    for (const std::string& name : FolderEntries(folder + prefix)) {
        const std::vector<std::string> inside = Tree(folder, prefix + "/" + name);
        if (FolderEntries(folder + prefix + "/" + name).empty() && inside.empty()) {
            names.push_back(prefix + "/" + name);
        }
        names.insert(names.end(), inside.begin(), inside.end());
    }
    return names;
}

}  // namespace velda_test
