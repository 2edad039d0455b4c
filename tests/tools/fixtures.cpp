#include "fixtures.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>

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

}  // namespace velda_test
