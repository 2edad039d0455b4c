// The names of the converter's outputs: where the output of each input
// goes, and when two outputs are one file.
#pragma once

#include <map>
#include <string>
#include <utility>

#include "tools/convert.h"

namespace velda {

// Where the output of `input` goes: beside it, or into `folder` when that
// is not empty, named after it with the format's extension in place of its
// own, or after its own when `keepExtension` is set (A.SC5.png).
std::string OutputPathFor(const std::string& input, OutputFormat format, const std::string& folder,
                          bool keepExtension = false);

// Where an output goes, as a key that two spellings of one place share
// ("same.bmp", "./same.bmp"): its folder, by file identity where the folder
// exists, and its name as the system compares names.
using OutputKey = std::pair<std::string, std::string>;

class OutputKeys {
public:
    OutputKey Of(const std::string& output);

private:
    std::map<std::string, std::string> folders_;  // a batch writes into few folders: each is looked at once
};

}  // namespace velda
