// Fuzzing the ZIP and gzip readers: the whole input (no selector byte, as
// for fuzz_disk) is read both as a ZIP archive and as a gzip stream, its
// files read, and the archive listed with the containers inside it.
//
// Besides the sanitizers, each input is held to the promises of the
// readers:
//   - an archive is refused only as no ZIP archive, a split one or a
//     damaged one, and a stream only as no gzip stream, too large, a CRC
//     that does not match or damaged; a refused one lists no file;
//   - Read gives at most maxBytes, exactly min(size, maxBytes) when it
//     reads the file, and nothing when it refuses it; a file reads the same
//     way whatever maxBytes is: the same refusal, or a shorter read that is
//     the start of a longer one;
//   - every file ListContainer lists is named inside the archive and is a
//     file of its container, or a refusal with its fault.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "image/container.h"
#include "image/gzip_stream.h"
#include "image/zip_archive.h"
#include "platform/containers.h"

namespace {

using Bytes = std::vector<uint8_t>;
using velda::LoadError;
using velda::LoadFault;

constexpr std::size_t SmallRead = 777;
constexpr std::size_t LargeRead = 16384;
constexpr std::size_t CheckedFiles = 32;  // more only repeats the checks
const char* const ArchiveName = "FUZZ.ZIP";

bool SameRefusal(const LoadError& a, const LoadError& b) {
    return a.fault == b.fault && a.damage == b.damage && a.crc == b.crc && a.bytes == b.bytes;
}

// Reads file `index` with at most `maxBytes` and checks what comes back.
LoadError CheckedRead(const velda::Container& container, std::size_t index, std::size_t maxBytes, Bytes& bytes) {
    bytes.assign(3, 0xA5);  // Read starts afresh
    const LoadError error = container.Read(index, maxBytes, bytes);
    if (error) {
        FUZZ_CHECK(bytes.empty());
    } else {
        FUZZ_CHECK(bytes.size() == std::min<uint64_t>(container.Files()[index].size, maxBytes));
    }
    return error;
}

void CheckFiles(const velda::Container& container) {
    for (std::size_t i = 0; i < container.Files().size() && i < CheckedFiles; ++i) {
        Bytes small, large;
        const LoadError smallError = CheckedRead(container, i, SmallRead, small);
        const LoadError largeError = CheckedRead(container, i, LargeRead, large);
        FUZZ_CHECK(SameRefusal(smallError, largeError));
        FUZZ_CHECK(std::equal(small.begin(), small.end(), large.begin()));
    }
}

void CheckZip(const Bytes& input, const velda::ContainerTools& tools) {
    auto zip = std::make_shared<velda::ZipArchive>();
    if (const LoadError error = zip->Open(std::make_shared<velda::MemorySource>(input), tools)) {
        FUZZ_CHECK(error.fault == LoadFault::NotZipArchive || error.fault == LoadFault::SplitArchive ||
                   error.fault == LoadFault::ArchiveDamaged);
        FUZZ_CHECK(zip->Files().empty());
        return;
    }
    CheckFiles(*zip);
    const std::string prefix = std::string(ArchiveName) + ":";
    for (const velda::ListedFile& file : velda::ListContainer(zip, ArchiveName, ArchiveName, tools)) {
        FUZZ_CHECK(file.name == ArchiveName || file.name.compare(0, prefix.size(), prefix) == 0);
        if (file.refusal) continue;
        FUZZ_CHECK(file.container != nullptr && file.index < file.container->Files().size());
    }
}

void CheckGzip(const Bytes& input, const velda::ContainerTools& tools) {
    velda::GzipStream gzip;
    if (const LoadError error = gzip.Open(input, "FUZZ.DSK", tools)) {
        FUZZ_CHECK(error.fault == LoadFault::NotGzip || error.fault == LoadFault::TooLarge ||
                   error.fault == LoadFault::CrcMismatch || error.fault == LoadFault::ArchiveDamaged);
        FUZZ_CHECK(gzip.Files().empty());
        return;
    }
    FUZZ_CHECK(gzip.Files().size() == 1);
    CheckFiles(gzip);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const Bytes input(data, data + size);
    CheckZip(input, velda::SystemContainerTools());
    CheckGzip(input, velda::SystemContainerTools());
    return 0;
}
