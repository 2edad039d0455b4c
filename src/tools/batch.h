// The batch of velda-convert: the files a command line names (and, with
// --recursive, the files in the folders it names), and the run over them.
// Its jobs lie apart: batch_plan.cpp finds the entries, output_names.cpp
// names their outputs, batch_run.cpp converts them, many at once, and
// report.cpp says what became of each.
#pragma once

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "image/container.h"
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

// The number of files to convert at once by default: one for each core.
int DefaultJobs();

enum class EntryRole {
    Picture,  // to be converted (or reported, when it cannot be)
    Ignored,  // found in a folder, but no picture VELDA reads
};

struct BatchEntry {
    std::string input;         // as named, as found in a folder, or "GAME.ZIP:DISKS/GAME.DSK:TITLE.SC5" in a container
    std::string outputFolder;  // "" for beside the input; -d or its mirror of a walked folder
    EntryRole role = EntryRole::Picture;
    // A companion by its name (a second page or palette file): it goes with
    // a picture of the batch that takes it, and is converted, reported or
    // ignored by its role only when none does.
    bool companion = false;
    LoadError unreadable;           // a container that could not be read, or holds no picture
    std::error_code folderError;    // a folder that could not be read
    // A file of a container (a disk image, an archive): the container it is
    // in directly, named as names in it start, the folder of it the file is
    // in, and the name its output is made from, made harmless.
    std::shared_ptr<const Container> container;
    std::string containerName;
    std::string containerFolder;
    std::string localName;
};

// The entries of the batch in the order they are converted: the inputs in
// the order named, a walked folder's files by name, its sub-folders'
// after them, each by name; a container's files in its order (a disk
// image's as on the disk), a container inside one in its place, into a
// folder named after the container (beside it, or in the output folder)
// that keeps its folders, and one named after each container inside.
std::vector<BatchEntry> PlanBatch(const std::vector<std::string>& inputs, const BatchOptions& options);

// How many of the batch's files were converted (or listed), skipped for an
// output that exists, failed, and, found in folders, ignored.
struct BatchCounts {
    int converted = 0, listed = 0, skipped = 0, failed = 0, ignored = 0;
};

// Converts (or lists) every picture of `entries`, `options.jobs` at once,
// reporting each problem on `messages` as "velda-convert: FILE: reason",
// with a progress line there when `showProgress` is set. Companions named
// as entries come after the pictures, which decide whether they take them.
// Messages and progress come in that order, and every output is what a run
// of one job at a time writes. With `options.list`, writes "FILE: what it
// is" on `listing` for each picture instead of converting it.
BatchCounts RunBatch(const std::vector<BatchEntry>& entries, const BatchOptions& options, std::FILE* messages,
                     bool showProgress, std::FILE* listing = stdout);

}  // namespace velda
