// What velda-convert says of its files: the text of every problem and of a
// listed picture, made here once from the values the conversion kept, and
// the progress line on a terminal.
#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>

#include "tools/convert.h"

namespace velda {

// How a name a problem holds is shown: a file of a disk image in the
// system's encoding, with no control byte a terminal would act on.
using ShowName = std::function<std::string(const std::string& name)>;

// The reason of `problem`, such as "cannot write A.bmp: File too large".
std::string ProblemText(const Problem& problem, const ShowName& show);

// What a listed picture is: "BSAVE, SCREEN 5, 256 x 212, with its second
// page A.S15, colours from A.PL5".
std::string ListingText(const Outcome& listed, const ShowName& show);

// The one line of progress on a terminal, rewritten in place.
class ProgressLine {
public:
    ProgressLine(std::FILE* stream, bool enabled) : stream_(stream), enabled_(enabled) {}
    ~ProgressLine() { Clear(); }

    void Show(std::size_t index, std::size_t total, const std::string& file);
    void Clear();

private:
    void Write(const std::string& text);

    std::FILE* stream_;
    bool enabled_;
    std::size_t shown_ = 0;
};

}  // namespace velda
