// Converting one BSAVE picture file to BMP or PNG, as the converter does
// for each file it is given.
//
// A file is loaded the way a freshly started VELDA loads it through its
// Open command: the image model is put back to its program-start state
// first, so no earlier file can leave anything behind. The BMP written
// with Save's colours is byte for byte the file Save writes.
#pragma once

#include <cstdint>
#include <string>

#include "render/color_rules.h"

namespace velda {

enum class OutputFormat { Bmp, Png };

// "bmp" or "png".
const char* FormatExtension(OutputFormat format);

// Parses "bmp" or "png", in any case. Returns false for anything else.
bool ParseOutputFormat(const char* text, OutputFormat& format);

// Parses a screen number given on the command line: "5", "6", "7", "8",
// "10", "11" or "12". Returns false for anything else.
bool ParseScreenNumber(const char* text, uint8_t& screen);

// The extension of the file name in `path`, without its dot, or "" when
// the name has none. A name's leading dot does not start an extension.
std::string FileExtension(const std::string& path);

// The screen mode that the extension of `path` names, in any case:
//   .SC5 .SC6 .SC7 .SC8 -> 5 6 7 8    .SCA .S10 -> 10    .S11 -> 11
//   .SCC .S12 -> 12
// Returns 0 when the extension names none.
uint8_t ModeFromExtension(const std::string& path);

// `path` with the extension of its file name replaced by `extension`
// (without a dot), or with "." and `extension` appended when the name has
// none. Dots in folder names are never taken.
std::string ReplaceExtension(const std::string& path, const char* extension);

// Where the output of `input` goes: beside it, or into `folder` when that
// is not empty, with the format's extension.
std::string OutputPathFor(const std::string& input, OutputFormat format, const std::string& folder);

struct ConvertSettings {
    uint8_t screen = 0;  // 0: from each file's extension
    OutputFormat format = OutputFormat::Bmp;
    ColorRule colors = ColorRule::Velda;
    bool force = false;  // replace existing output files
};

enum class ConvertStatus { Converted, Skipped, Failed };

struct ConvertResult {
    ConvertStatus status;
    std::string reason;  // why a file was skipped or failed; empty otherwise
};

// Converts `input` into `output`. Nothing is written under `output` unless
// the whole file was written; an existing `output` is left alone unless
// `settings.force` is set.
ConvertResult ConvertFile(const std::string& input, const std::string& output, const ConvertSettings& settings);

}  // namespace velda
