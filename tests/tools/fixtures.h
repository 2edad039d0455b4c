// Pictures made for the converter's tests, and what VELDA's own Open and
// Save make of them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/convert.h"

namespace velda_test {

// A BSAVE file of noise for the given mode that covers the pixels and the
// palette table (0 up to the mode's clearBytes), so every pixel value and
// every palette bit is exercised.
std::vector<uint8_t> NoiseBsave(uint8_t screen, uint32_t seed);

// The BMP that VELDA's Save writes after a freshly started program has
// opened `file` in the given mode: the page the SCREEN N Open makes, the
// headers it prepares, then the core's BMP encoder.
std::vector<uint8_t> ReferenceBmp(uint8_t screen, const std::vector<uint8_t>& file);

// What the converter would say of `outcome`, for a failing test's message.
std::string Said(const velda::Outcome& outcome);

struct RunResult {
    int status = -1;
    std::string output;  // standard output and standard error together

    bool Says(const std::string& text) const { return output.find(text) != std::string::npos; }
};

// Runs `sh -c "<prefix> velda-convert <arguments>"` in `folder`.
RunResult RunConverter(const std::string& folder, const std::string& arguments, const std::string& prefix = "");

// Runs `sh -c "<commandLine>"` in `folder`.
RunResult RunIn(const std::string& folder, const std::string& commandLine);

struct LooseFile {
    const char* path;  // in the image and in the loose folder, '/' between folders
    std::vector<uint8_t> bytes;
};

bool HaveMtools();

// A 720 KB disk image made by mtools, holding `files`, which are also
// written loose below `loose`.
void MakeImage(const std::string& image, const std::string& loose, const std::vector<LooseFile>& files);

// The names of the files below `folder`, with their folders ("/SUB/A.bmp").
std::vector<std::string> Tree(const std::string& folder, const std::string& prefix = "");


}  // namespace velda_test
