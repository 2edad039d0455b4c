// A Graph Saurus writer for the tests, written apart from the reader:
// raw pages, and pages compressed with every kind of code.
#pragma once

#include <cstdint>
#include <vector>

namespace velda_test {

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
    const std::size_t length = compressed ? data.size() : page.size();
    std::vector<uint8_t> file = {compressed ? uint8_t{0xFD} : uint8_t{0xFE}, 0, 0,
                                 static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8), 0, 0};
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

}  // namespace velda_test
