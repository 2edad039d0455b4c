#include "image/gzip_stream.h"

#include <algorithm>

#include "image/crc32.h"
#include "image/little_endian.h"

namespace velda {

namespace {

constexpr uint8_t Id1 = 0x1F, Id2 = 0x8B, Deflate = 8;
constexpr uint8_t HeaderCrcFlag = 0x02, ExtraFlag = 0x04, NameFlag = 0x08, CommentFlag = 0x10;
constexpr std::size_t FixedHeaderBytes = 10, TrailerBytes = 8;

// Where the deflate data of the member at `at` starts, or 0 when no member
// starts there whole.
std::size_t DataStart(const std::vector<uint8_t>& bytes, std::size_t at) {
    if (bytes.size() - at < FixedHeaderBytes || bytes[at] != Id1 || bytes[at + 1] != Id2 || bytes[at + 2] != Deflate) {
        return 0;
    }
    const uint8_t flags = bytes[at + 3];
    std::size_t p = at + FixedHeaderBytes;
    if ((flags & ExtraFlag) != 0) {
        if (bytes.size() - p < 2) return 0;
        p += 2 + ReadU16(&bytes[p]);
    }
    for (const uint8_t text : {NameFlag, CommentFlag}) {
        if ((flags & text) == 0) continue;
        const auto end = std::find(bytes.begin() + static_cast<std::ptrdiff_t>(std::min(p, bytes.size())), bytes.end(), 0);
        if (end == bytes.end()) return 0;
        p = static_cast<std::size_t>(end - bytes.begin()) + 1;
    }
    if ((flags & HeaderCrcFlag) != 0) p += 2;
    return p < bytes.size() ? p : 0;
}

LoadError Damaged() {
    LoadError error(LoadFault::ArchiveDamaged, FileKind::Gzip);
    error.damage = ArchiveDamage::Data;
    return error;
}

}  // namespace

LoadError GzipStream::Open(const std::vector<uint8_t>& bytes, const std::string& name, const ContainerTools& tools) {
    files_.clear();
    file_.clear();
    damage_ = LoadError{};
    std::size_t at = 0;
    for (std::size_t data; (data = DataStart(bytes, at)) != 0;) {
        std::vector<uint8_t> member;
        std::size_t consumed = 0;
        const InflateFault fault =
            tools.Inflate(&bytes[data], bytes.size() - data, MaxContainerFileBytes - file_.size(), member, consumed);
        if (fault == InflateFault::TooLarge) {
            *this = GzipStream{};
            LoadError error(LoadFault::TooLarge, FileKind::Gzip);
            error.bytes = MaxContainerFileBytes + 1;
            return error;
        }
        const bool whole = fault == InflateFault::None && bytes.size() - data - consumed >= TrailerBytes;
        if (whole) {
            const uint8_t* trailer = &bytes[data + consumed];
            const uint32_t crc = Crc32(member.data(), member.size());
            if (crc != ReadU32(trailer) || static_cast<uint32_t>(member.size()) != ReadU32(trailer + 4)) {
                *this = GzipStream{};
                LoadError error(LoadFault::CrcMismatch, FileKind::Gzip);
                error.crc = crc;
                error.expectedCrc = ReadU32(trailer);
                return error;
            }
        }
        file_.insert(file_.end(), member.begin(), member.end());
        if (!whole) {
            // A stream cut short gives what inflated before the cut.
            damage_ = Damaged();
            damage_.damage = fault == InflateFault::Damaged ? ArchiveDamage::Data : ArchiveDamage::Cut;
            break;
        }
        at = data + consumed + TrailerBytes;
    }
    if (at == 0 && damage_.fault == LoadFault::None) return LoadError(LoadFault::NotGzip, FileKind::Gzip);
    if (file_.empty() && damage_) {
        LoadError error = damage_;
        *this = GzipStream{};
        return error;
    }
    files_.push_back(ContainerFile{name, file_.size()});
    return LoadError{};
}

LoadError GzipStream::Read(std::size_t, std::size_t maxBytes, std::vector<uint8_t>& bytes) const {
    bytes.assign(file_.begin(), file_.begin() + static_cast<std::ptrdiff_t>(std::min(maxBytes, file_.size())));
    return LoadError{};
}

}  // namespace velda
