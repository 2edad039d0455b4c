#include "image/zip_archive.h"

#include <algorithm>
#include <utility>

#include "image/crc32.h"
#include "image/little_endian.h"

namespace velda {

namespace {

constexpr uint32_t EndSignature = 0x06054B50, Zip64EndSignature = 0x06064B50, Zip64LocatorSignature = 0x07064B50;
constexpr uint32_t EntrySignature = 0x02014B50, HeaderSignature = 0x04034B50, DescriptorSignature = 0x08074B50;
constexpr std::size_t EndBytes = 22, Zip64LocatorBytes = 20, Zip64EndBytes = 56, EntryBytes = 46, HeaderBytes = 30;
constexpr std::size_t MaxCommentBytes = 0xFFFF;
constexpr uint16_t Encrypted = 0x0001, HasDescriptor = 0x0008, Utf8Name = 0x0800;
constexpr uint16_t Stored = 0, Deflated = 8;
constexpr uint16_t Zip64Field = 0x0001, UnicodePathField = 0x7075;
constexpr uint32_t Unset32 = 0xFFFFFFFF;
constexpr uint16_t Unset16 = 0xFFFF;

// A directory entry and a file header share their fields from the flags
// to the extra field's length, the entry's 2 bytes further in; where each
// lies from the flags, and where the flags lie in each.
enum SharedField : std::size_t {
    FlagsAt = 0, MethodAt = 2, CrcAt = 8, CompressedAt = 12, SizeAt = 16, NameLengthAt = 20, ExtraLengthAt = 22,
};
constexpr std::size_t EntryFlagsAt = 8, HeaderFlagsAt = 6;
constexpr std::size_t EntryCommentLengthAt = 32, EntryOffsetAt = 42;

// A damaged archive lists at most this many files, and its directory is at
// most this large: far beyond any collection of pictures.
constexpr uint64_t MaxEntries = 65536;
constexpr uint64_t MaxDirectoryBytes = MaxEntries * (EntryBytes + 3 * 0xFFFF);
// A file's compressed data is at most this much larger than the file, as
// deflate stores data it cannot compress: 5 bytes a block of 64 KiB.
constexpr uint64_t MaxCompressedBytes = MaxContainerFileBytes + MaxContainerFileBytes / 1024 + 1024;

constexpr uint64_t ReadU64(const uint8_t* bytes) { return ReadU32(bytes) | uint64_t{ReadU32(bytes + 4)} << 32; }

// The CP437 characters 0x80-0xFF, as Unicode.
constexpr uint16_t Cp437High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC,
    0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6, 0x00DC, 0x00A2,
    0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310,
    0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C,
    0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580, 0x03B1, 0x00DF,
    0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248, 0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2,
    0x25A0, 0x00A0,
};

void AppendUtf8(uint32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The length of the UTF-8 character at `at` of `text`, or 0 where no
// well-formed one starts.
std::size_t Utf8Length(const std::string& text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char b = byte(at);
    const std::size_t length = b < 0x80 ? 1 : b >= 0xC2 && b < 0xE0 ? 2 : b >= 0xE0 && b < 0xF0 ? 3 : b >= 0xF0 && b < 0xF5 ? 4 : 0;
    if (length == 0 || text.size() - at < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
    }
    // No overlong form, no surrogate, nothing past U+10FFFF.
    if ((b == 0xE0 && byte(at + 1) < 0xA0) || (b == 0xED && byte(at + 1) >= 0xA0) || (b == 0xF0 && byte(at + 1) < 0x90) ||
        (b == 0xF4 && byte(at + 1) >= 0x90)) {
        return 0;
    }
    return length;
}

// `name` as UTF-8, every byte that starts no well-formed character as '_'.
std::string WellFormedUtf8(const std::string& name) {
    std::string out;
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t length = Utf8Length(name, i);
        out += length == 0 ? std::string("_") : name.substr(i, length);
        i += std::max<std::size_t>(length, 1);
    }
    return out;
}

bool IsCp932Lead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsCp932Trail(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }
bool IsHalfWidthSign(unsigned char b) { return b >= 0xA1 && b <= 0xA5; }
bool IsHalfWidthKana(unsigned char b) { return b >= 0xA6 && b <= 0xDF; }
bool IsSmallLetter(unsigned char b) { return b >= 'a' && b <= 'z'; }

// Hiragana (0x829F-0x82F1), katakana (0x8340-0x8396) and the kanji rows.
bool IsKanaOrKanji(unsigned char lead, unsigned char trail) {
    if (lead == 0x82) return trail >= 0x9F && trail <= 0xF1;
    if (lead == 0x83) return trail <= 0x96;
    return (lead >= 0x88 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xEA) || lead == 0xED || lead == 0xEE ||
           lead >= 0xFA;
}

// What `name` says of code page 932: -1 it cannot be (or looks Western in
// it), 1 it holds Japanese letters, 0 neither.
int Cp932Evidence(const std::string& name) {
    int evidence = 0;
    for (std::size_t i = 0; i < name.size();) {
        const auto b = static_cast<unsigned char>(name[i]);
        if (b < 0x80) {
            ++i;
        } else if (IsHalfWidthSign(b)) {
            return -1;
        } else if (IsHalfWidthKana(b)) {
            evidence = 1;
            ++i;
        } else if (IsCp932Lead(b) && i + 1 < name.size() && IsCp932Trail(static_cast<unsigned char>(name[i + 1]))) {
            const auto trail = static_cast<unsigned char>(name[i + 1]);
            const bool between = i > 0 && i + 2 < name.size() && IsSmallLetter(static_cast<unsigned char>(name[i - 1])) &&
                                 IsSmallLetter(static_cast<unsigned char>(name[i + 2]));
            if (between) return -1;
            if (IsKanaOrKanji(b, trail)) evidence = 1;
            i += 2;
        } else {
            return -1;
        }
    }
    return evidence;
}

// How an entry is stored, as its directory entry or its file header gives
// it, from the flags at `shared` on; the sizes ZIP64 may leave unset.
void ReadShared(const uint8_t* shared, uint16_t& flags, uint16_t& method, uint32_t& crc, uint64_t& compressedSize,
                uint64_t& size) {
    flags = ReadU16(shared + FlagsAt);
    method = ReadU16(shared + MethodAt);
    crc = ReadU32(shared + CrcAt);
    compressedSize = ReadU32(shared + CompressedAt);
    size = ReadU32(shared + SizeAt);
}

// `name`, written in code page 437, in UTF-8.
std::string Cp437ToUtf8(const std::string& name) {
    std::string out;
    for (const char c : name) AppendUtf8(static_cast<unsigned char>(c) < 0x80 ? static_cast<unsigned char>(c)
                                                                              : Cp437High[static_cast<unsigned char>(c) - 0x80],
                                         out);
    return out;
}

bool IsAscii(const std::string& name) {
    return std::all_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The 0x7075 field of `extra`: the name in UTF-8, where it is there and
// made from the name field `name` as it stands.
bool UnicodePath(const uint8_t* extra, std::size_t length, const std::string& name, std::string& utf8) {
    for (std::size_t at = 0; length - at >= 4;) {
        const uint16_t id = ReadU16(extra + at), size = ReadU16(extra + at + 2);
        if (length - at - 4 < size) return false;
        const uint8_t* data = extra + at + 4;
        if (id == UnicodePathField && size >= 5 && data[0] == 1 &&
            ReadU32(data + 1) == Crc32(reinterpret_cast<const uint8_t*>(name.data()), name.size())) {
            utf8.assign(reinterpret_cast<const char*>(data + 5), size - 5);
            return true;
        }
        at += 4 + size;
    }
    return false;
}

// Takes the ZIP64 field of `extra` for the fields left unset.
void TakeZip64(const uint8_t* extra, std::size_t length, uint64_t& size, uint64_t& compressedSize, uint64_t* offset) {
    for (std::size_t at = 0; length - at >= 4;) {
        const uint16_t id = ReadU16(extra + at), fieldSize = ReadU16(extra + at + 2);
        if (length - at - 4 < fieldSize) return;
        if (id == Zip64Field) {
            const uint8_t* data = extra + at + 4;
            std::size_t used = 0;
            for (uint64_t* field : {&size, &compressedSize, offset}) {
                if (field == nullptr || *field != Unset32) continue;
                if (fieldSize - used < 8) return;
                *field = ReadU64(data + used);
                used += 8;
            }
            return;
        }
        at += 4 + fieldSize;
    }
}

LoadError Damaged(ArchiveDamage damage) {
    LoadError error(LoadFault::ArchiveDamaged);
    error.damage = damage;
    return error;
}

}  // namespace

bool ReadAsCp932(const std::vector<std::string>& names) {
    bool japanese = false;
    for (const std::string& name : names) {
        const int evidence = Cp932Evidence(name);
        if (evidence < 0) return false;
        japanese = japanese || evidence > 0;
    }
    return japanese;
}


LoadError ZipArchive::Open(std::shared_ptr<const ByteSource> source, const ContainerTools& tools) {
    source_ = std::move(source);
    tools_ = &tools;
    files_.clear();
    entries_.clear();
    damage_ = LoadError{};
    const uint64_t size = source_->Size();
    // The end record: the last signature whose comment fits the archive.
    const std::size_t tail = static_cast<std::size_t>(std::min<uint64_t>(size, EndBytes + MaxCommentBytes));
    std::vector<uint8_t> end(tail);
    bool found = false;
    uint64_t endAt = 0;
    if (tail >= EndBytes && source_->ReadAt(size - tail, tail, end.data())) {
        for (std::size_t at = tail - EndBytes + 1; at-- > 0;) {
            if (ReadU32(&end[at]) == EndSignature && ReadU16(&end[at + 20]) <= tail - at - EndBytes) {
                found = true;
                endAt = size - tail + at;
                break;
            }
        }
    }
    std::vector<RawName> names;
    if (found) {
        const uint8_t* record = &end[static_cast<std::size_t>(endAt - (size - tail))];
        const uint16_t disk = ReadU16(record + 4), directoryDisk = ReadU16(record + 6);
        if ((disk != 0 && disk != Unset16) || (directoryDisk != 0 && directoryDisk != Unset16)) {
            return LoadError(LoadFault::SplitArchive);
        }
        if (ReadDirectory(endAt, names)) {
            NameFiles(names);
            return LoadError{};
        }
    }
    // No directory, or one cut short: what the files' own headers give.
    names.clear();
    entries_.clear();
    ScanHeaders(names);
    const LoadError damage = Damaged(found ? ArchiveDamage::Directory : ArchiveDamage::NoDirectory);
    uint8_t start[4];
    if (entries_.empty()) {
        const bool archive = found || (source_->ReadAt(0, sizeof start, start) && ReadU32(start) == HeaderSignature);
        *this = ZipArchive{};
        return archive ? damage : LoadError(LoadFault::NotZipArchive);
    }
    NameFiles(names);
    damage_ = damage;
    return LoadError{};
}

bool ZipArchive::ReadDirectory(uint64_t endAt, std::vector<RawName>& names) {
    uint8_t record[Zip64EndBytes];
    if (!source_->ReadAt(endAt, EndBytes, record)) return false;
    uint64_t entries = ReadU16(record + 10), directorySize = ReadU32(record + 12), directoryAt = ReadU32(record + 16);
    uint64_t directoryEnd = endAt;
    if (entries == Unset16 || directorySize == Unset32 || directoryAt == Unset32) {
        uint8_t locator[Zip64LocatorBytes];
        if (endAt < Zip64LocatorBytes || !source_->ReadAt(endAt - Zip64LocatorBytes, Zip64LocatorBytes, locator) ||
            ReadU32(locator) != Zip64LocatorSignature) {
            return false;
        }
        const uint64_t zip64At = ReadU64(locator + 8);
        if (!source_->ReadAt(zip64At, Zip64EndBytes, record) || ReadU32(record) != Zip64EndSignature) return false;
        entries = ReadU64(record + 32);
        directorySize = ReadU64(record + 40);
        directoryAt = ReadU64(record + 48);
        directoryEnd = zip64At;
    }
    if (directorySize > directoryEnd || directorySize > MaxDirectoryBytes || entries > directorySize / EntryBytes) {
        return false;
    }
    // Data before the archive moves every offset by the same amount.
    const uint64_t start = directoryEnd - directorySize;
    const uint64_t shift = start >= directoryAt ? start - directoryAt : 0;
    std::vector<uint8_t> directory(static_cast<std::size_t>(directorySize));
    if (!source_->ReadAt(start, directory.size(), directory.data())) return false;
    std::size_t at = 0;
    for (uint64_t n = 0; n < entries; ++n) {
        if (directory.size() - at < EntryBytes || ReadU32(&directory[at]) != EntrySignature) return false;
        const uint8_t* fields = &directory[at];
        const uint8_t* shared = fields + EntryFlagsAt;
        const std::size_t nameLength = ReadU16(shared + NameLengthAt), extraLength = ReadU16(shared + ExtraLengthAt);
        const std::size_t length = EntryBytes + nameLength + extraLength + ReadU16(fields + EntryCommentLengthAt);
        if (directory.size() - at < length) return false;
        Entry entry;
        ReadShared(shared, entry.flags, entry.method, entry.crc, entry.compressedSize, entry.size);
        entry.headerOffset = ReadU32(fields + EntryOffsetAt);
        const uint8_t* extra = fields + EntryBytes + nameLength;
        TakeZip64(extra, extraLength, entry.size, entry.compressedSize, &entry.headerOffset);
        entry.headerOffset += shift;
        RawName name = NameOf(fields + EntryBytes, nameLength, entry.flags, extra, extraLength);
        at += length;
        if (IsFolder(name)) continue;
        entries_.push_back(entry);
        names.push_back(std::move(name));
    }
    return true;
}

void ZipArchive::ScanHeaders(std::vector<RawName>& names) {
    const uint64_t size = source_->Size();
    uint64_t at = 0;
    uint8_t header[HeaderBytes];
    while (entries_.size() < MaxEntries && source_->ReadAt(at, HeaderBytes, header) &&
           ReadU32(header) == HeaderSignature) {
        Entry entry;
        const uint8_t* shared = header + HeaderFlagsAt;
        ReadShared(shared, entry.flags, entry.method, entry.crc, entry.compressedSize, entry.size);
        entry.headerOffset = at;
        const std::size_t nameLength = ReadU16(shared + NameLengthAt), extraLength = ReadU16(shared + ExtraLengthAt);
        std::vector<uint8_t> fields(nameLength + extraLength);
        if (!source_->ReadAt(at + HeaderBytes, fields.size(), fields.data())) return;
        TakeZip64(fields.data() + nameLength, extraLength, entry.size, entry.compressedSize, nullptr);
        const uint64_t data = at + HeaderBytes + fields.size();
        uint64_t next = data + entry.compressedSize;
        if ((entry.flags & HasDescriptor) != 0) {
            // The sizes follow the data: only deflate data tells where it ends.
            if (entry.method != Deflated || (entry.flags & Encrypted) != 0) return;
            std::vector<uint8_t> compressed(static_cast<std::size_t>(std::min<uint64_t>(size - data, MaxCompressedBytes)));
            std::vector<uint8_t> out;
            std::size_t consumed = 0;
            if (!source_->ReadAt(data, compressed.size(), compressed.data()) ||
                tools_->Inflate(compressed.data(), compressed.size(), MaxContainerFileBytes, out, consumed) !=
                    InflateFault::None) {
                return;
            }
            uint8_t descriptor[20];  // CRC-32 and two sizes of up to 8 bytes
            const std::size_t zip64 = entry.size == Unset32 || entry.compressedSize == Unset32 ? 8 : 4;
            if (!source_->ReadAt(data + consumed, 4, descriptor)) return;
            const uint64_t fieldsAt = data + consumed + (ReadU32(descriptor) == DescriptorSignature ? 4 : 0);
            if (!source_->ReadAt(fieldsAt, 4 + 2 * zip64, descriptor)) return;
            entry.crc = ReadU32(descriptor);
            entry.compressedSize = zip64 == 8 ? ReadU64(descriptor + 4) : ReadU32(descriptor + 4);
            entry.size = zip64 == 8 ? ReadU64(descriptor + 12) : ReadU32(descriptor + 8);
            next = fieldsAt + 4 + 2 * zip64;
        }
        if (data > size || size - data < entry.compressedSize) return;  // cut inside its data
        RawName name = NameOf(fields.data(), nameLength, entry.flags, fields.data() + nameLength, extraLength);
        if (!IsFolder(name)) {
            entries_.push_back(entry);
            names.push_back(std::move(name));
        }
        at = next;
    }
}

ZipArchive::RawName ZipArchive::NameOf(const uint8_t* field, std::size_t length, uint16_t flags, const uint8_t* extra,
                                       std::size_t extraLength) {
    RawName name{std::string(reinterpret_cast<const char*>(field), length), (flags & Utf8Name) != 0};
    std::string unicode;
    if (!name.utf8 && UnicodePath(extra, extraLength, name.bytes, unicode)) name = RawName{unicode, true};
    return name;
}

bool ZipArchive::IsFolder(const RawName& name) {
    // In a code page 932 name a '\' may be the second byte of a character.
    const char last = name.bytes.empty() ? '/' : name.bytes.back();
    return last == '/' || (last == '\\' && name.utf8);
}

void ZipArchive::NameFiles(const std::vector<RawName>& names) {
    std::vector<std::string> unnamed;
    for (const RawName& name : names) {
        if (!name.utf8 && !IsAscii(name.bytes)) unnamed.push_back(name.bytes);
    }
    const bool cp932 = ReadAsCp932(unnamed);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const RawName& name = names[i];
        std::string path = name.utf8 || IsAscii(name.bytes) ? WellFormedUtf8(name.bytes)
                           : cp932                          ? tools_->FromCp932(name.bytes)
                                                            : Cp437ToUtf8(name.bytes);
        std::replace(path.begin(), path.end(), '\\', '/');
        files_.push_back(ContainerFile{path, entries_[i].size});
    }
}

bool ZipArchive::DataOffset(const Entry& entry, uint64_t& offset) const {
    uint8_t header[HeaderBytes];
    if (!source_->ReadAt(entry.headerOffset, HeaderBytes, header) || ReadU32(header) != HeaderSignature) return false;
    const uint8_t* shared = header + HeaderFlagsAt;
    offset = entry.headerOffset + HeaderBytes + ReadU16(shared + NameLengthAt) + ReadU16(shared + ExtraLengthAt);
    return true;
}

LoadError ZipArchive::Read(std::size_t index, std::size_t maxBytes, std::vector<uint8_t>& bytes) const {
    bytes.clear();
    const Entry& entry = entries_.at(index);
    if ((entry.flags & Encrypted) != 0) return LoadError(LoadFault::Encrypted);
    if (entry.method != Stored && entry.method != Deflated) {
        LoadError error(LoadFault::UnknownMethod);
        error.method = entry.method;
        return error;
    }
    if (entry.size > MaxContainerFileBytes) {
        LoadError error(LoadFault::TooLarge);
        error.bytes = entry.size;
        return error;
    }
    uint64_t data = 0;
    if (!DataOffset(entry, data)) return Damaged(ArchiveDamage::Header);
    const uint64_t compressedSize = entry.method == Stored ? entry.size : entry.compressedSize;
    if (compressedSize > MaxCompressedBytes || data > source_->Size() || source_->Size() - data < compressedSize) {
        return Damaged(ArchiveDamage::Data);
    }
    std::vector<uint8_t> compressed(static_cast<std::size_t>(compressedSize));
    if (!source_->ReadAt(data, compressed.size(), compressed.data())) return Damaged(ArchiveDamage::Data);
    if (entry.method == Stored) {
        bytes = std::move(compressed);
    } else {
        std::size_t consumed = 0;
        const InflateFault fault =
            tools_->Inflate(compressed.data(), compressed.size(), static_cast<std::size_t>(entry.size), bytes, consumed);
        if (fault == InflateFault::TooLarge) {
            bytes.clear();
            LoadError error = Damaged(ArchiveDamage::Longer);
            error.bytes = entry.size;
            return error;
        }
        if (fault != InflateFault::None || bytes.size() != entry.size) {
            bytes.clear();
            return Damaged(ArchiveDamage::Data);
        }
    }
    const uint32_t crc = Crc32(bytes.data(), bytes.size());
    if (crc != entry.crc) {
        bytes.clear();
        LoadError error(LoadFault::CrcMismatch);
        error.crc = crc;
        error.expectedCrc = entry.crc;
        return error;
    }
    if (bytes.size() > maxBytes) bytes.resize(maxBytes);
    return LoadError{};
}

}  // namespace velda
