// Containers as the window and the converter open them from the system: a
// file read at random as a container's bytes, the system's tools for
// reading containers (zlib's inflate, the system's code page 932 table),
// and a container file opened by its name.
#pragma once

#include <memory>
#include <string>

#include "image/container.h"

namespace velda {

// zlib's inflate and the system's code page 932 table (NameFromCp932):
// one object for the whole process, which holds nothing that changes.
const ContainerTools& SystemContainerTools();

// The file `path` open for reading at random, from several threads at
// once, for as long as `source` lives: CannotOpen, naming `path` and the
// system's reason, when it cannot be opened (file_source_posix.cpp and
// file_source_win.cpp).
LoadError OpenFileSource(const std::string& path, std::shared_ptr<const ByteSource>& source);

// Opens the container file `path`, of the kind its name gives (a disk
// image, a ZIP archive, a gzip stream): the reader's fault, naming `path`,
// when it cannot.
LoadError OpenContainerFile(const std::string& path, std::shared_ptr<const Container>& container);

}  // namespace velda
