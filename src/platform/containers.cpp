#include "platform/containers.h"

#include <zlib.h>

#ifdef VELDA_HAVE_LIBDEFLATE
#include <libdeflate.h>
#endif

#include <algorithm>
#include <climits>
#include <memory>

#include "platform/names.h"

namespace velda {

namespace {

// The first room inflating makes for its output, which grows as it fills.
constexpr std::size_t FirstOutputBytes = 64 * 1024;

#ifdef VELDA_HAVE_LIBDEFLATE
// libdeflate inflates two and a half times as fast as zlib, but only into
// room made for the whole output: it takes a file whose size its archive
// gives (the limit), up to this size. Whatever it cannot inflate whole,
// zlib inflates again, to tell a stream cut short from a damaged one and
// to give what inflated before the fault.
constexpr std::size_t WholeInflateBytes = 4 << 20;

struct FreeDecompressor {
    void operator()(libdeflate_decompressor* decompressor) const { libdeflate_free_decompressor(decompressor); }
};

bool InflateWhole(const uint8_t* in, std::size_t size, std::size_t limit, std::vector<uint8_t>& out,
                  std::size_t& consumed) {
    const std::unique_ptr<libdeflate_decompressor, FreeDecompressor> decompressor(libdeflate_alloc_decompressor());
    if (!decompressor) return false;
    out.resize(limit + 1);  // a byte past the limit tells a stream that gives more
    std::size_t took = 0, gave = 0;
    if (libdeflate_deflate_decompress_ex(decompressor.get(), in, size, out.data(), out.size(), &took, &gave) !=
            LIBDEFLATE_SUCCESS ||
        gave > limit) {
        return false;
    }
    out.resize(gave);
    consumed = took;
    return true;
}
#endif

// Inflates as zlib streams it: as far as the data goes.
InflateFault InflateStream(const uint8_t* in, std::size_t size, std::size_t limit, std::vector<uint8_t>& out,
                           std::size_t& consumed);

class SystemTools : public ContainerTools {
public:
    InflateFault Inflate(const uint8_t* in, std::size_t size, std::size_t limit, std::vector<uint8_t>& out,
                         std::size_t& consumed) const override {
#ifdef VELDA_HAVE_LIBDEFLATE
        if (limit <= WholeInflateBytes && InflateWhole(in, size, limit, out, consumed)) return InflateFault::None;
#endif
        return InflateStream(in, size, limit, out, consumed);
    }

    std::string FromCp932(const std::string& name) const override { return NameFromCp932(name); }
};

InflateFault InflateStream(const uint8_t* in, std::size_t size, std::size_t limit, std::vector<uint8_t>& out,
                           std::size_t& consumed) {
    out.clear();
    consumed = 0;
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return InflateFault::Damaged;  // raw deflate, no header
    stream.next_in = const_cast<Bytef*>(in);
    stream.avail_in = static_cast<uInt>(std::min<std::size_t>(size, UINT_MAX));
    // Room for one byte past the limit, so that a stream that would
    // give more is caught when that byte comes, and no later.
    out.resize(std::min(limit + 1, std::max(FirstOutputBytes, size * 4)));
    std::size_t have = 0;
    InflateFault fault = InflateFault::None;
    for (;;) {
        stream.next_out = out.data() + have;
        stream.avail_out = static_cast<uInt>(std::min<std::size_t>(out.size() - have, UINT_MAX));
        const int result = inflate(&stream, Z_NO_FLUSH);
        have = static_cast<std::size_t>(stream.next_out - out.data());
        if (result == Z_STREAM_END) break;
        if (have > limit) {
            fault = InflateFault::TooLarge;
            break;
        }
        if (result == Z_BUF_ERROR && stream.avail_in == 0) {
            fault = InflateFault::Cut;
            break;
        }
        if (result != Z_OK && result != Z_BUF_ERROR) {
            fault = InflateFault::Damaged;
            break;
        }
        if (have == out.size()) out.resize(std::min(limit + 1, out.size() * 2));
    }
    consumed = static_cast<std::size_t>(stream.next_in - in);
    inflateEnd(&stream);
    out.resize(fault == InflateFault::TooLarge ? limit : have);
    return have > limit ? InflateFault::TooLarge : fault;
}

}  // namespace

const ContainerTools& SystemContainerTools() {
    static const SystemTools tools;
    return tools;
}

LoadError OpenContainerFile(const std::string& path, std::shared_ptr<const Container>& container) {
    std::shared_ptr<const ByteSource> source;
    LoadError error = OpenFileSource(path, source);
    const PathParts parts = SplitPath(path);
    if (!error) error = OpenContainer(TypeOfExtension(parts.extension).kind, source, parts.Name(), SystemContainerTools(), container);
    if (error && error.file.empty()) error.file = path;
    return error;
}

}  // namespace velda
