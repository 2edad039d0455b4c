// Helpers shared by the tests: BSAVE files made in memory, scratch files,
// and the optional corpus of real pictures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velda_test {

// A BSAVE file: the 7-byte header followed by `data`.
std::vector<uint8_t> MakeBsave(uint16_t start, uint16_t end, const std::vector<uint8_t>& data,
                               uint8_t id = 0xFE);

// A path in a fresh scratch folder of this test run (the folder is made
// on first use), and whole-file reading and writing.
std::string ScratchPath(const std::string& name);
void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadFile(const std::string& path);
bool FileExists(const std::string& path);

// Loads `bytes` as a BSAVE file in the given mode through the real loader
// (CurrentFile.path is set to a scratch file). Returns the outcome's value.
int LoadBytes(uint8_t screen, const std::vector<uint8_t>& bytes);

// The folder of real BSAVE pictures, or "" when it is not present.
std::string CorpusDir();

}  // namespace velda_test
