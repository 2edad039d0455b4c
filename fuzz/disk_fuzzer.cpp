// Fuzzing the disk image reader: the whole input is a disk image (no
// selector byte, unlike the other harnesses), opened, listed, and each of
// its files read, directly and as a folder's companion.
//
// Besides the sanitizers, each input is held to the promises of the reader:
//   - an image is refused only with NotDiskImage, naming the byte at
//     offset 512 (0 when there is none), and then lists no file;
//   - every path is non-empty;
//   - Read gives at most min(size, maxBytes) bytes, exactly that many when
//     it reads the file, and none when it refuses it with ChainBroken or
//     ChainShort (whose chain holds less than the size);
//   - a file reads the same way whatever maxBytes is: the same refusal, or
//     a shorter read that is the start of a longer one;
//   - a folder of the image finds each of its files by the file's own name
//     (that file, or an earlier one of the same name in another case), and
//     reads what it found as the image reads that file.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "image/container.h"
#include "image/disk_image.h"
#include "image/load_error.h"
#include "platform/containers.h"

namespace {

using Bytes = std::vector<uint8_t>;
using velda::ContainerFile;
using velda::DiskImage;
using velda::LoadError;
using velda::LoadFault;

constexpr std::size_t MediaByteOffset = 512;
constexpr std::size_t SmallRead = 777;
constexpr std::size_t LargeRead = 16384;
// A listing holds up to one file per 32 bytes of input: the checks of
// more would only repeat these, and Find is linear.
constexpr std::size_t CheckedFiles = 64;
const char* const ImageName = "FUZZ.DSK";

bool SameRefusal(const LoadError& a, const LoadError& b) {
    return a.fault == b.fault && a.cluster == b.cluster && a.fileSize == b.fileSize && a.chainBytes == b.chainBytes;
}

void CheckRefusal(const Bytes& image, const DiskImage& disk, const LoadError& error) {
    FUZZ_CHECK(error.fault == LoadFault::NotDiskImage);
    FUZZ_CHECK(error.mediaByte == (image.size() > MediaByteOffset ? image[MediaByteOffset] : 0u));
    FUZZ_CHECK(disk.Files().empty());
}

// Reads file `index` with at most `maxBytes` and checks what comes back.
LoadError CheckedRead(const DiskImage& disk, std::size_t index, std::size_t maxBytes, Bytes& bytes) {
    const ContainerFile& file = disk.Files()[index];
    bytes.assign(3, 0xA5);  // Read starts afresh
    const LoadError error = disk.Read(index, maxBytes, bytes);
    const std::size_t want = std::min<std::size_t>(file.size, maxBytes);
    if (!error) {
        FUZZ_CHECK(bytes.size() == want);
    } else {
        FUZZ_CHECK(error.fault == LoadFault::ChainBroken || error.fault == LoadFault::ChainShort);
        FUZZ_CHECK(bytes.empty());
        if (error.fault == LoadFault::ChainShort) FUZZ_CHECK(error.fileSize == file.size && error.chainBytes < file.size);
    }
    return error;
}

void CheckFile(const std::shared_ptr<const DiskImage>& disk, std::size_t index) {
    const ContainerFile& file = disk->Files()[index];
    FUZZ_CHECK(!file.path.empty());
    Bytes small, large;
    const LoadError smallError = CheckedRead(*disk, index, SmallRead, small);
    const LoadError largeError = CheckedRead(*disk, index, LargeRead, large);
    FUZZ_CHECK(SameRefusal(smallError, largeError));
    FUZZ_CHECK(std::equal(small.begin(), small.end(), large.begin()));

    velda::ContainerFolder folder(disk, ImageName, velda::ContainerFolderOf(file.path));
    const std::string found = folder.Find(velda::ContainerNameOf(file.path));
    FUZZ_CHECK(!found.empty());
    const auto& files = disk->Files();
    const auto named = std::find_if(files.begin(), files.end(), [&](const ContainerFile& f) {
        return std::string(ImageName) + ":" + f.path == found;
    });
    FUZZ_CHECK(named != files.end() && static_cast<std::size_t>(named - files.begin()) <= index);
    FUZZ_CHECK(velda::ContainerFolderOf(named->path) == velda::ContainerFolderOf(file.path));
    Bytes viaFolder, direct;
    const LoadError folderError = folder.Read(found, SmallRead, viaFolder);
    const LoadError directError = disk->Read(static_cast<std::size_t>(named - files.begin()), SmallRead, direct);
    FUZZ_CHECK(SameRefusal(folderError, directError) && viaFolder == direct);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const Bytes image(data, data + size);
    auto disk = std::make_shared<DiskImage>();
    if (const LoadError error = disk->Open(image, velda::SystemContainerTools())) {
        CheckRefusal(image, *disk, error);
        return 0;
    }
    for (std::size_t i = 0; i < disk->Files().size() && i < CheckedFiles; ++i) CheckFile(disk, i);
    return 0;
}
