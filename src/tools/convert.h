// Converting one picture file to BMP or PNG, as the converter does for
// each file it is given.
//
// A file is read as a freshly started VELDA opens it: video memory and
// palette start from zero, the reader is the one its extension names (or
// the BSAVE loader for --screen and a name that says nothing), and the
// palette file beside it is used as the window's Open by extension uses
// it. The BMP written with Save's colours of a plain picture is byte for
// byte the file Save writes.
#pragma once

#include <cstdint>
#include <string>

#include "image/companions.h"
#include "image/file_types.h"
#include "render/color_rules.h"

namespace velda {

enum class OutputFormat { Bmp, Png };
enum class Interlace { Auto, Weave, Blend, Off };
enum class Aspect { Raw, Tv };

// "bmp" or "png".
const char* FormatExtension(OutputFormat format);

// Parse the values of the command line's options: "bmp" or "png" in any
// case; "5", "6", "7", "8", "10", "11" or "12"; "auto", "weave", "blend" or
// "off"; "raw" or "tv". Each returns false for anything else.
bool ParseOutputFormat(const char* text, OutputFormat& format);
bool ParseScreenNumber(const char* text, uint8_t& screen);
bool ParseInterlace(const char* text, Interlace& interlace);
bool ParseAspect(const char* text, Aspect& aspect);
bool ParsePaletteIndex(const char* text, int& index);  // "0" to "7"
bool ParseJobs(const char* text, int& jobs);           // a whole number from 1

// Where the output of `input` goes: beside it, or into `folder` when that
// is not empty, named after it with the format's extension in place of its
// own, or after its own when `keepExtension` is set (A.SC5.png).
std::string OutputPathFor(const std::string& input, OutputFormat format, const std::string& folder,
                          bool keepExtension = false);

struct ConvertSettings {
    uint8_t screen = 0;  // 0: from each file's extension
    OutputFormat format = OutputFormat::Bmp;
    ColorRule colors = ColorRule::Velda;
    bool force = false;            // replace existing output files
    std::string palette;           // a palette file for every picture of a palette mode
    int paletteIndex = 0;          // which of the 8 palettes of a 256-byte file
    Interlace interlace = Interlace::Auto;
    Aspect aspect = Aspect::Raw;
};

// How `input` is read under `settings`: its kind and mode, or kind Unknown
// (mode 0) when neither the extension nor --screen says.
FileType ReadingOf(const std::string& input, const ConvertSettings& settings);

// The file among `beside` with the name of `input` and the extension
// `extension` (nullptr for none), as a picture's companions are found; ""
// for none.
std::string FileBeside(const std::string& input, const char* extension, Companions& beside);

// The second page that goes with the picture `input` (read as `type`)
// under `settings`, found among the files `beside` it, or "" for none:
// X.S15 beside X.SC5 or X.SR5 unless interlacing is off.
std::string SecondPageOf(const std::string& input, FileType type, const ConvertSettings& settings, Companions& beside);

enum class ConvertStatus { Converted, Skipped, Failed };

struct ConvertResult {
    ConvertStatus status;
    std::string reason;  // why a file was skipped or failed; empty otherwise
};

// What `input` is, as --list tells it, in the reason of a Converted
// result ("BSAVE, SCREEN 5, 256 x 212"), or why it cannot be read, as
// ConvertFile would say; nothing is written.
ConvertResult DescribeFile(const std::string& input, const ConvertSettings& settings, Companions* beside = nullptr);

// Converts `input` into `output`, its bytes and its companions read from
// `beside` (the files of its folder, or of the folder of a disk image it is
// in; nullptr to list the input's folder for this file alone).
// Nothing is written under `output` unless the whole file was written; an
// existing `output` is left alone unless `settings.force` is set.
ConvertResult ConvertFile(const std::string& input, const std::string& output, const ConvertSettings& settings,
                          Companions* beside = nullptr);

}  // namespace velda
