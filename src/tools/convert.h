// Converting one picture file to BMP or PNG, as the converter does for
// each file it is given, and saying what it is (--list).
//
// A file is read as a freshly started VELDA opens it, through the one plan
// every front end reads (image/picture_file.h), and made into the picture
// every front end shows or writes (render/picture.h). The BMP written with
// Save's colours of a plain picture is byte for byte the file Save writes.
// What becomes of a file is kept as a value, its problem with its own
// details, until the report says it.
#pragma once

#include <cstdint>
#include <string>
#include <system_error>
#include <variant>

#include "image/companions.h"
#include "image/picture_file.h"
#include "platform/output_file.h"
#include "render/picture.h"

namespace velda {

enum class OutputFormat { Bmp, Png };

// "bmp" or "png".
const char* FormatExtension(OutputFormat format);

struct ConvertSettings {
    uint8_t screen = 0;  // 0: from each file's extension
    OutputFormat format = OutputFormat::Bmp;
    ColorRule colors = ColorRule::Velda;
    bool force = false;            // replace existing output files
    std::string palette;           // a palette file for every picture of a palette mode
    int paletteIndex = 0;          // which of the 8 palettes of a 256-byte file
    Interlace interlace = Interlace::Auto;
    Aspect aspect = Aspect::Raw;
    SpriteOptions sprites;         // none unless asked for
};

// Why a file was not converted, each with its own details.
struct WriteProblem {  // the output could not be written (or exists: skipped)
    std::string output;
    WriteError error;
};
struct OverInput {  // the output is the input file itself
    std::string output;
};
struct AlreadyWritten {  // another picture of the batch wrote this output before
    std::string output;
    std::string earlier;      // that picture
    std::string keptEarlier;  // the outputs --keep-extension gives the two
    std::string keptThis;
};
struct FolderProblem {  // a folder could not be read, or an output's folder made
    std::string folder;
    std::string output;  // the output it was made for; "" for a folder read
    std::error_code error;
};
struct Unexpected {  // the conversion stopped on an exception: out of memory, most likely
    std::string what;
};
using Problem =
    std::variant<std::monostate, LoadError, WriteProblem, OverInput, AlreadyWritten, FolderProblem, Unexpected>;

enum class ConvertStatus { Converted, Listed, Skipped, Failed };

struct Outcome {
    ConvertStatus status = ConvertStatus::Failed;
    Problem problem;     // Skipped, Failed
    PicturePlan plan;    // Converted, Listed: how it was read and the companions it took
    int width = 0;       // Listed: the size of its picture
    int height = 0;
};

// What `input` is, read with its companions among `beside` (nullptr: the
// files of its own folder): Listed, with its plan and size, or Failed with
// what ConvertFile would say. Nothing is written.
Outcome ListFile(const std::string& input, const ConvertSettings& settings, Companions* beside = nullptr);

// Converts `input` into `output`, its bytes and its companions read from
// `beside` (the files of its folder, or of the folder of a disk image it is
// in; nullptr: the files of its own folder). Nothing is written under
// `output` unless the whole file was written; an existing `output` is left
// alone unless `settings.force` is set.
Outcome ConvertFile(const std::string& input, const std::string& output, const ConvertSettings& settings,
                    Companions* beside = nullptr);

}  // namespace velda
