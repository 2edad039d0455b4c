// The converter's PNG on Windows: written through the Windows Imaging
// Component (WIC), the image codecs that come with Windows, so that the
// Windows build needs no third-party PNG code. Built instead of its twin
// png_writer.cpp there, behind the same functions.
//
// Links with ole32 (COM, the memory stream) and uuid (the WIC GUIDs). No
// function of windowscodecs.dll is imported: COM loads it when the factory
// is created.
//
//   picture               asked for first        PNG written
//   4-bit, <= 16 colours  4bppIndexed            indexed, depth 4, PLTE as given
//   8-bit, <= 256 colours 8bppIndexed            indexed, depth 8, PLTE as given
//   24-bit b, g, r        24bppBGR               RGB, depth 8
//
// The encoder's SetPixelFormat answers with the format it will really take;
// any other answer means it would convert the pixels, and that format is not
// used. For a 4-bit picture the encoder is then asked once more for
// 8bppIndexed, with every pixel widened to a byte: the same values and the
// same palette, only in a somewhat bigger file. Both forms were checked to
// round-trip exactly through Wine 8.0's encoder, and Windows lists both among
// the native formats of its PNG encoder.
//
// 24-bit rows are handed over as they are, b, g, r: 24bppBGR is the
// encoder's own layout, while 24bppRGB is turned into another format (Wine answers
// 32bppBGRA), which would need a conversion.
//
// The PNG is plain: the frame options stay at their defaults, hence no
// interlacing. Palette entries are given fully opaque, so no tRNS is written.
#include <windows.h>

#include <objbase.h>
#include <wincodec.h>

#include <cstdio>
#include <cstring>
#include <new>

#include "export/png_writer.h"
#include "render/picture_shapes.h"

namespace velda {

namespace {

constexpr int IndexedBits4 = 4;
constexpr int IndexedBits8 = 8;
constexpr int RgbBits = 24;
constexpr int RgbBytesPerPixel = 3;
constexpr WICColor OpaqueAlpha = 0xFF000000u;  // WICColor is 0xAARRGGBB
constexpr unsigned long long MaxPixelBytes = 0xFFFFFFFFull;  // the largest UINT

// Holds one COM interface pointer and releases it when leaving scope, so that
// every return path lets go of what it acquired.
template <class Interface>
class ComRef {
public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() { Reset(); }

    void Reset() {
        if (pointer_ != nullptr) pointer_->Release();
        pointer_ = nullptr;
    }
    // For the out-parameter of a creating call; drops what was held before.
    Interface** Put() {
        Reset();
        return &pointer_;
    }
    Interface* Get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }

private:
    Interface* pointer_ = nullptr;
};

// COM for the calling thread while the encoding runs. A thread that already
// chose the other apartment model (RPC_E_CHANGED_MODE) has COM all the same,
// and the WIC factory works in either model. Only a successful CoInitializeEx
// (S_OK, or S_FALSE when COM was already up) is balanced by CoUninitialize.
class ComScope {
public:
    ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    ~ComScope() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    bool Usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }
    HRESULT Result() const { return result_; }

private:
    HRESULT result_;
};

// A failed call of COM or WIC as an error code, with Windows' own text.
std::error_code Failure(HRESULT hr) { return std::error_code(static_cast<int>(hr), std::system_category()); }

// A picture the encoder cannot take: it would make a broken PNG.
std::error_code Refused() { return std::make_error_code(std::errc::invalid_argument); }

int PixelValue4(const uint8_t* row, int x) {
    return x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0F;  // left pixel in the high nibble
}

// Refuses what would make a broken PNG or read past the pixel buffer: an
// unknown depth, rows too short for the width, a palette that does not fit
// the depth, and pixel values that have no palette entry.
bool Encodable(const Picture& picture) {
    if (picture.width <= 0 || picture.height <= 0) return false;
    const int depth = picture.bitDepth;
    if (depth != IndexedBits4 && depth != IndexedBits8 && depth != RgbBits) return false;

    const long long neededRowBytes = depth == RgbBits
                                         ? static_cast<long long>(picture.width) * RgbBytesPerPixel
                                         : (static_cast<long long>(picture.width) * depth + 7) / 8;
    if (picture.rowBytes < neededRowBytes) return false;
    if (picture.pixels.size() / static_cast<std::size_t>(picture.height) < static_cast<std::size_t>(picture.rowBytes))
        return false;
    // WritePixels counts bytes in a UINT; every size handed over must fit.
    if (static_cast<unsigned long long>(picture.rowBytes) * picture.height > MaxPixelBytes) return false;
    if (depth == RgbBits) return true;

    const int entries = static_cast<int>(picture.palette.size());
    if (entries == 0 || entries > (1 << depth)) return false;
    for (int y = 0; y < picture.height; ++y) {
        const uint8_t* row = picture.Row(y);
        for (int x = 0; x < picture.width; ++x) {
            const int value = depth == IndexedBits8 ? row[x] : PixelValue4(row, x);
            if (value >= entries) return false;  // a pixel value without a palette entry
        }
    }
    return true;
}

// How the picture's rows reach the encoder.
enum class RowForm {
    AsStored,   // the picture's own rows, untouched (4bppIndexed, 8bppIndexed, 24bppBGR)
    Widened8,   // a 4-bit row widened to one byte a pixel (8bppIndexed)
};

struct Encoding {
    const GUID* format;
    RowForm form;
};

// The encodings to try for `picture`, best first, ended by a null format.
const Encoding* EncodingsFor(const Picture& picture) {
    static const Encoding Indexed4[] = {{&GUID_WICPixelFormat4bppIndexed, RowForm::AsStored},
                                        {&GUID_WICPixelFormat8bppIndexed, RowForm::Widened8},
                                        {nullptr, RowForm::AsStored}};
    static const Encoding Indexed8[] = {{&GUID_WICPixelFormat8bppIndexed, RowForm::AsStored},
                                        {nullptr, RowForm::AsStored}};
    static const Encoding Rgb[] = {{&GUID_WICPixelFormat24bppBGR, RowForm::AsStored}, {nullptr, RowForm::AsStored}};
    if (picture.bitDepth == IndexedBits4) return Indexed4;
    if (picture.bitDepth == IndexedBits8) return Indexed8;
    return Rgb;
}

// The palette as WIC colours, every entry opaque.
std::error_code SetPalette(IWICImagingFactory* factory, IWICBitmapFrameEncode* frame, const Picture& picture) {
    std::vector<WICColor> colors;
    colors.reserve(picture.palette.size());
    for (const Rgb8& c : picture.palette)
        colors.push_back(OpaqueAlpha | (WICColor(c.r) << 16) | (WICColor(c.g) << 8) | WICColor(c.b));

    ComRef<IWICPalette> palette;
    HRESULT hr = factory->CreatePalette(palette.Put());
    if (SUCCEEDED(hr)) hr = palette->InitializeCustom(colors.data(), static_cast<UINT>(colors.size()));
    if (SUCCEEDED(hr)) hr = frame->SetPalette(palette.Get());
    return FAILED(hr) ? Failure(hr) : std::error_code();
}

// Row `y` of a 4-bit `picture` widened to a byte a pixel, into `out`.
void WidenRow(const Picture& picture, int y, uint8_t* out) {
    const uint8_t* row = picture.Row(y);
    for (int x = 0; x < picture.width; ++x) out[x] = static_cast<uint8_t>(PixelValue4(row, x));
}

// Hands over every row: stored rows in one call, converted rows one at a time
// through a buffer of one row rather than a copy of the whole picture.
std::error_code WriteRows(IWICBitmapFrameEncode* frame, const Picture& picture, RowForm form) {
    if (form == RowForm::AsStored) {
        const UINT stride = static_cast<UINT>(picture.rowBytes);
        // WritePixels takes a non-const pointer but only reads the pixels.
        BYTE* pixels = const_cast<BYTE*>(picture.pixels.data());
        const HRESULT hr = frame->WritePixels(static_cast<UINT>(picture.height), stride,
                                              stride * static_cast<UINT>(picture.height), pixels);
        return FAILED(hr) ? Failure(hr) : std::error_code();
    }
    const UINT rowBytes = static_cast<UINT>(picture.width);
    std::vector<uint8_t> row(rowBytes);
    for (int y = 0; y < picture.height; ++y) {
        WidenRow(picture, y, row.data());
        const HRESULT hr = frame->WritePixels(1, rowBytes, rowBytes, row.data());
        if (FAILED(hr)) return Failure(hr);
    }
    return {};
}

// Copies what the encoder wrote into `stream` (its logical size, which may be
// less than its memory block) into `bytes`.
std::error_code CopyStream(IStream* stream, std::vector<uint8_t>& bytes) {
    STATSTG stat = {};
    HRESULT hr = stream->Stat(&stat, STATFLAG_NONAME);
    if (FAILED(hr)) return Failure(hr);
    HGLOBAL memory = nullptr;
    hr = GetHGlobalFromStream(stream, &memory);
    if (FAILED(hr)) return Failure(hr);

    const std::size_t size = static_cast<std::size_t>(stat.cbSize.QuadPart);
    if (size > GlobalSize(memory)) return Failure(E_UNEXPECTED);  // the stream is larger than its memory
    const void* data = GlobalLock(memory);
    if (data == nullptr) return Failure(HRESULT_FROM_WIN32(GetLastError()));
    const auto* begin = static_cast<const uint8_t*>(data);
    bool copied = true;
    try {
        bytes.assign(begin, begin + size);
    } catch (const std::bad_alloc&) {
        copied = false;  // unlock before reporting
    }
    GlobalUnlock(memory);
    return copied ? std::error_code() : std::make_error_code(std::errc::not_enough_memory);
}

// What one encoding ended in: the PNG, an error, or a refusal of the
// format (WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT) that the next may pass.
constexpr HRESULT NotNative = WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;

// One whole encoding of `picture` in `encoding`, on a fresh stream and
// encoder, so that a refused format leaves nothing behind for the next try.
std::error_code EncodeAs(IWICImagingFactory* factory, const Picture& picture, const Encoding& encoding,
                         std::vector<uint8_t>& bytes) {
    // A growing stream in memory, freed with its last reference.
    ComRef<IStream> stream;
    HRESULT hr = CreateStreamOnHGlobal(nullptr, TRUE, stream.Put());
    ComRef<IWICBitmapEncoder> encoder;
    if (SUCCEEDED(hr)) hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.Put());
    if (SUCCEEDED(hr)) hr = encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache);

    ComRef<IWICBitmapFrameEncode> frame;
    ComRef<IPropertyBag2> options;  // left at the defaults: not interlaced
    if (SUCCEEDED(hr)) hr = encoder->CreateNewFrame(frame.Put(), options.Put());
    if (SUCCEEDED(hr)) hr = frame->Initialize(options.Get());
    if (SUCCEEDED(hr)) hr = frame->SetSize(static_cast<UINT>(picture.width), static_cast<UINT>(picture.height));
    WICPixelFormatGUID format = *encoding.format;
    if (SUCCEEDED(hr)) hr = frame->SetPixelFormat(&format);
    if (FAILED(hr)) return Failure(hr);
    // Another format chosen: the encoder would convert the pixels.
    if (!IsEqualGUID(format, *encoding.format)) return Failure(NotNative);

    std::error_code error;
    if (picture.bitDepth != RgbBits) error = SetPalette(factory, frame.Get(), picture);
    if (!error) error = WriteRows(frame.Get(), picture, encoding.form);
    if (error) return error;
    hr = frame->Commit();
    if (SUCCEEDED(hr)) hr = encoder->Commit();
    return FAILED(hr) ? Failure(hr) : CopyStream(stream.Get(), bytes);
}

// Tries the encodings of `picture` in turn. Every interface lives in a ComRef
// of this function or of EncodeAs, so all are released before the caller's
// ComScope ends COM.
std::error_code Encode(const Picture& picture, std::vector<uint8_t>& bytes) {
    ComRef<IWICImagingFactory> factory;
    const HRESULT hr =
        CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(factory.Put()));
    if (FAILED(hr)) return Failure(hr);

    std::error_code error;
    for (const Encoding* encoding = EncodingsFor(picture); encoding->format != nullptr; ++encoding) {
        error = EncodeAs(factory.Get(), picture, *encoding, bytes);
        if (error != Failure(NotNative)) break;  // written, or failed: the next encoding only for a refused format
    }
    return error;
}

}  // namespace

bool PngAvailable() { return true; }

std::error_code EncodePng(const Picture& given, std::vector<uint8_t>& bytes) {
    bytes.clear();
    Picture indexed;
    const Picture& picture = IndexColors(given, indexed) ? indexed : given;
    if (!Encodable(picture)) return Refused();

    const ComScope com;
    if (!com.Usable()) return Failure(com.Result());
    std::error_code error;
    try {
        error = Encode(picture, bytes);
    } catch (const std::bad_alloc&) {
        error = std::make_error_code(std::errc::not_enough_memory);
    }
    if (error) bytes.clear();  // no partial PNG is handed back
    return error;
}

}  // namespace velda
