// A Graph Saurus writer for the tests, written apart from the reader:
// raw pages, and pages compressed with every kind of code.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace velda_test {

// A Graph Saurus file with the id `id` (0xFE raw, 0xFD compressed) and the
// data `data`, its length field as writers put it: the length of the data.
inline std::vector<uint8_t> GraphSaurusWithHeader(uint8_t id, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> file(7 + data.size(), 0);
    file[0] = id;
    file[3] = static_cast<uint8_t>(data.size());
    file[4] = static_cast<uint8_t>(data.size() >> 8);
    std::copy(data.begin(), data.end(), file.begin() + 7);
    return file;
}

// A Graph Saurus file of `page` (video memory from address 0): raw, or
// compressed with literals for bytes of 0x10 and more, "n v" for runs of
// up to 15 and bytes below 0x10, and "0 c v" for longer runs.
inline std::vector<uint8_t> GraphSaurusFile(const std::vector<uint8_t>& page, bool compressed) {
    std::vector<uint8_t> data;
    if (!compressed) {
        data = page;
    } else {
        for (std::size_t i = 0; i < page.size();) {
            std::size_t run = 1;
            while (i + run < page.size() && page[i + run] == page[i] && run < 255) ++run;
            if (run == 1 && page[i] >= 0x10) {
                data.push_back(page[i]);
            } else if (run <= 15) {
                data.insert(data.end(), {static_cast<uint8_t>(run), page[i]});
            } else {
                data.insert(data.end(), {0x00, static_cast<uint8_t>(run), page[i]});
            }
            i += run;
        }
    }
    return GraphSaurusWithHeader(compressed ? 0xFD : 0xFE, data);
}

}  // namespace velda_test
