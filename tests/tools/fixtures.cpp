#include "fixtures.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include "export/bmp_headers.h"
#include "export/bmp_writer.h"
#include "image/bsave_loader.h"
#include "image/mode_table.h"
#include "image/vram_image.h"
#include "test_support.h"

namespace velda_test {

std::vector<uint8_t> NoiseBytes(std::size_t count, uint32_t seed) {
    std::vector<uint8_t> bytes(count);
    uint32_t state = seed * 2654435761u + 1;  // xorshift32, never zero
    for (uint8_t& b : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        b = static_cast<uint8_t>(state >> 24);
    }
    return bytes;
}

std::vector<uint8_t> NoiseBsave(uint8_t screen, uint32_t seed) {
    const velda::ModeInfo* mode = velda::FindMode(screen);
    const auto end = static_cast<uint16_t>(mode->clearBytes - 1);
    return MakeBsave(0, end, NoiseBytes(static_cast<std::size_t>(mode->clearBytes), seed));
}

std::vector<uint8_t> ReferenceBmp(uint8_t screen, const std::vector<uint8_t>& file) {
    velda::ResetImageModel();
    if (LoadBytes(screen, file) != static_cast<int>(velda::LoadOutcome::Accepted)) return {};
    velda::PrepareExportHeaders(screen);
    return velda::EncodeBmpToMemory(screen, velda::ExportHeaders, velda::VramImage, velda::MsxPalette);
}

std::string FreshFolder(const std::string& name) {
    const std::string folder = ScratchPath(name);
    const std::string command = "rm -rf '" + folder + "'";
    if (std::system(command.c_str()) != 0) return "";
    mkdir(folder.c_str(), 0755);
    return folder;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

RunResult RunConverter(const std::string& folder, const std::string& arguments, const std::string& prefix) {
    const std::string command =
        "cd '" + folder + "' && " + prefix + " '" VELDA_CONVERT_EXE "' " + arguments + " 2>&1";
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
