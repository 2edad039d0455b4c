// ZIP archives and gzip streams written in memory for the tests, with the
// names, flags and faults each test wants: the ordinary ones come from
// Info-ZIP's zip and gzip, these from here.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "image/crc32.h"

namespace velda_test {

// `data` as a raw deflate stream (ZIP method 8) or a gzip member.
inline std::vector<uint8_t> Compressed(const std::vector<uint8_t>& data, bool gzip = false) {
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, gzip ? 16 + MAX_WBITS : -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::vector<uint8_t> out(deflateBound(&stream, static_cast<uLong>(data.size())) + 32);
    stream.next_in = const_cast<Bytef*>(data.data());
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

struct ZipItem {
    std::string name;  // the name field's bytes
    std::vector<uint8_t> data;
    uint16_t flags = 0;          // bit 0 encrypted, bit 11 UTF-8 name
    uint16_t method = 8;         // 0 stored, 8 deflated, or any other number, the data then stored
    uint32_t crcChange = 0;      // XORed into the CRC-32 the archive gives
    int64_t sizeChange = 0;      // added to the size the archive gives
};

// An archive of `items`: each file's header and data, the directory, its end.
inline std::vector<uint8_t> MakeZip(const std::vector<ZipItem>& items) {
    std::vector<uint8_t> zip, directory;
    const auto put = [](std::vector<uint8_t>& to, uint64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) to.push_back(static_cast<uint8_t>(i < 8 ? value >> (8 * i) : 0));
    };
    for (const ZipItem& item : items) {
        const std::vector<uint8_t> stored = item.method == 8 ? Compressed(item.data) : item.data;
        const uint32_t crc = velda::Crc32(item.data.data(), item.data.size()) ^ item.crcChange;
        const uint64_t size = static_cast<uint64_t>(static_cast<int64_t>(item.data.size()) + item.sizeChange);
        const uint64_t offset = zip.size();
        for (std::vector<uint8_t>* to : {&zip, &directory}) {
            const bool entry = to == &directory;
            put(*to, entry ? 0x02014B50 : 0x04034B50, 4);
            if (entry) put(*to, 20, 2);  // made by
            put(*to, 20, 2);             // needed
            put(*to, item.flags, 2);
            put(*to, item.method, 2);
            put(*to, 0, 4);  // time and date
            put(*to, crc, 4);
            put(*to, stored.size(), 4);
            put(*to, size, 4);
            put(*to, item.name.size(), 2);
            put(*to, 0, 2);  // extra
            if (entry) {
                put(*to, 0, 10);  // comment length, disk, attributes
                put(*to, offset, 4);
            }
            to->insert(to->end(), item.name.begin(), item.name.end());
        }
        zip.insert(zip.end(), stored.begin(), stored.end());
    }
    const uint64_t directoryAt = zip.size();
    zip.insert(zip.end(), directory.begin(), directory.end());
    put(zip, 0x06054B50, 4);
    put(zip, 0, 4);  // disks
    put(zip, items.size(), 2);
    put(zip, items.size(), 2);
    put(zip, directory.size(), 4);
    put(zip, directoryAt, 4);
    put(zip, 0, 2);  // comment
    return zip;
}

}  // namespace velda_test
