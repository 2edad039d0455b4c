// The files beside a picture, where its companions are found: the second
// page of an interlaced pair and the palette file. The readers never open
// a file; they ask this for "the file named N beside the picture" and for
// its bytes. A real folder answers (platform/folder_files.h), and so can
// anything else that holds named files: a disk image, a test's table in
// memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "image/load_error.h"

namespace velda {

class Companions {
public:
    virtual ~Companions() = default;

    // The file named `name` as it is there: its name as Read takes it and
    // messages show it, or "" when there is none. Whether the case of
    // letters tells names apart is the holder's rule.
    virtual std::string Find(const std::string& name) = 0;

    // Reads the file `found` (as Find gave it) whole, at most `maxBytes`
    // of it, into `bytes`: CannotOpen or ReadFailed when it cannot.
    virtual LoadError Read(const std::string& found, std::size_t maxBytes, std::vector<uint8_t>& bytes) = 0;

    // The file `found` named as a path of this holder, from which its
    // stem and extension are taken: in a folder, `found` itself.
    virtual std::string PathOf(const std::string& found) const { return found; }
};

// A picture's file name, split where its extension starts, as the
// companions are named after it: "TITLE" and "SC5" for TITLE.SC5.
struct PictureName {
    std::string stem;
    std::string extension;
};

// The file beside the picture `name` with its stem and the extension
// `extension` (given in capitals), in the case of the picture's own
// extension if there is one, else in the other ("A.pl5" beside "A.sr5",
// "A.PL5" beside "A.SR5"); "" when there is none.
std::string FindBeside(Companions& beside, const PictureName& name, const char* extension);

}  // namespace velda
