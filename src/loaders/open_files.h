// Which file an image viewer is reading, where the plug-in interface does
// not say: on Linux every file a process holds open is named in
// /proc/self/fd. gdk-pixbuf hands its loaders a FILE* (load) or bare bytes
// (begin_load, load_increment), never a name; the descriptor of the first
// names its file, and for the second the file is found among those the
// process holds open by its bytes, while the viewer reads it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velda {

// The path of the file open as `descriptor`, as the system names it; ""
// when the descriptor is no file that a path still names (a pipe, a
// socket, a file deleted or renamed since).
std::string PathOfDescriptor(int descriptor);

// The files this process holds open that begin with the bytes seen so far,
// each kept open through a descriptor of its own, so that a viewer may
// close its own before the last bytes are in.
class OpenFilesStartingWith {
public:
    OpenFilesStartingWith(const uint8_t* start, std::size_t size);
    ~OpenFilesStartingWith();
    OpenFilesStartingWith(const OpenFilesStartingWith&) = delete;
    OpenFilesStartingWith& operator=(const OpenFilesStartingWith&) = delete;

    // The path of the one file among them that holds `fileSize` bytes in
    // all and begins with `kept` (all of it, or as much as was kept); ""
    // when none does, or files of two names do, since either name could be
    // the one read.
    std::string PathHolding(const std::vector<uint8_t>& kept, uint64_t fileSize) const;

private:
    std::vector<int> descriptors_;
};

}  // namespace velda
