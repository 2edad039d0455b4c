// gzip streams (.GZ): one file, compressed, as gzip writes it and openMSX
// keeps its disk images (X.DSK.GZ holds X.DSK).
//
//   member   1F 8B, method 8 (deflate), flags u8, time u32, extra flags u8,
//            system u8; then, as the flags say: bit 2 an extra field
//            (length u16, data), bit 3 a name and bit 4 a comment (each to a
//            0 byte), bit 1 a CRC-16 of the header (u16); then the deflate
//            data, the CRC-32 of the member's bytes u32 and their number
//            modulo 2^32 u32
//   stream   members one after another: the file is their bytes in order;
//            bytes after the last member that start none are ignored, as
//            gzip ignores them
//
// The file takes the stream's name without its ".gz": the name a member
// carries is that of the file it was made from, which a renamed stream no
// longer has. A stream cut short gives the bytes that inflated before the
// cut, and is named as damaged.
#pragma once

#include <string>
#include <vector>

#include "image/container.h"

namespace velda {

class GzipStream : public Container {
public:
    // Inflates the stream `bytes` into its one file, named `name`: NotGzip
    // when it starts with no member, TooLarge when its file would be more
    // than MaxContainerFileBytes, CrcMismatch or ArchiveDamaged when a
    // member's data is wrong before any of it could be read.
    LoadError Open(const std::vector<uint8_t>& bytes, const std::string& name, const ContainerTools& tools);

    const std::vector<ContainerFile>& Files() const override { return files_; }
    LoadError Read(std::size_t index, std::size_t maxBytes, std::vector<uint8_t>& bytes) const override;
    LoadError Damage() const override { return damage_; }
    bool Transparent() const override { return true; }

private:
    std::vector<ContainerFile> files_;
    std::vector<uint8_t> file_;
    LoadError damage_;
};

}  // namespace velda
