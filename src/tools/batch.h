// The batch of velda-convert: the files a command line names (and, with
// --recursive, the files in the folders it names), what becomes of each,
// and the run over them with its progress line and messages.
#pragma once

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "image/disk_image.h"

#include "tools/convert.h"

namespace velda {

// The name the converter's messages begin with.
constexpr char ProgramName[] = "velda-convert";

// The most files converted at once, whatever -j asks: each takes up to
// 2.3 MiB (a television-sized interlaced picture in several shapes, and its
// PNG encoder), so that a batch stays under 32 MiB at any -j.
constexpr int MaxJobs = 8;

struct BatchOptions {
    ConvertSettings settings;
    std::string output;     // -o: the one output file
    std::string folder;     // -d: the folder for all outputs
    bool recursive = false; // walk the folders among the inputs
    bool keepExtension = false;
    bool list = false;      // say what each picture is instead of converting it
    int jobs = 1;           // files converted at once
};

// A disk image among the inputs, read once for all its pictures: its
// files, and each of its folders as the companions of the pictures in it.
struct ImageInput {
    std::string path;  // as named or found: "disks/GAME.DSK"
    DiskImage image;
    std::map<std::size_t, std::unique_ptr<DiskFolder>> folders;  // by folder of the image
};

// The number of files to convert at once by default: one for each core.
int DefaultJobs();

enum class EntryRole {
    Picture,   // to be converted (or reported, when it cannot be)
    Ignored,   // found in a folder, but no picture VELDA reads
    Consumed,  // a second page or palette file a picture of the batch takes
};

struct BatchEntry {
    std::string input;         // as named, as found in a folder, or "GAME.DSK:GAMES/TITLE.SC5" in an image
    std::string outputFolder;  // "" for beside the input; -d or its mirror of a walked folder
    EntryRole role = EntryRole::Picture;
    std::string problem;       // a folder or disk image that could not be read
    // A file of a disk image: the image, the folder of it the file is in,
    // the name messages show (in the system's encoding) and the harmless
    // name its output is made from.
    std::shared_ptr<ImageInput> image;
    std::size_t imageFolder = 0;
    std::string shown;
    std::string localName;
};

// The entries of the batch in the order they are converted: the inputs in
// the order named, a walked folder's files by name, its sub-folders'
// after them, each by name; a disk image's files in their order on the
// disk, into a folder named after the image (beside it, or in the output
// folder), which keeps the image's folders.
std::vector<BatchEntry> PlanBatch(const std::vector<std::string>& inputs, const BatchOptions& options);

struct BatchCounts {
    int converted = 0;
    int skipped = 0;
    int failed = 0;
    int ignored = 0;
};

// Converts every picture of `entries`, `options.jobs` at once, reporting
// each problem on `messages` as "velda-convert: FILE: reason". Shows a
// progress line there when `showProgress` is set. Messages and progress
// come in the order of the entries, and every output is what a run of one
// job at a time writes. With `options.list`, writes "FILE: what it is" on
// `listing` for each picture instead of converting it. Returns the counts.
BatchCounts RunBatch(const std::vector<BatchEntry>& entries, const BatchOptions& options, std::FILE* messages,
                     bool showProgress, std::FILE* listing = stdout);

}  // namespace velda
