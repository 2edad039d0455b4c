// PNG on Windows, written through the Windows Imaging Component and
// decoded back through it: every mode's picture and the
// larger shapes keep their size, their pixel values and, for indexed
// pictures, their palette entry for entry.
#include <windows.h>

#include <objbase.h>
#include <wincodec.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export/png_writer.h"
#include "image/mode_table.h"
#include "image/vram_image.h"
#include "render/picture.h"
#include "render/picture_shapes.h"
#include "test_support.h"

namespace velda {
namespace {

struct Decoded {
    UINT width = 0, height = 0;
    WICPixelFormatGUID format{};
    std::vector<WICColor> palette;
    std::vector<uint8_t> pixels;  // rows of (width * bits + 7) / 8 bytes
    UINT stride = 0;
};

// Decodes `png` with WIC; false with a failure added when it cannot.
bool DecodePng(const std::vector<uint8_t>& png, Decoded& out) {
    IWICImagingFactory* factory = nullptr;
    IWICStream* stream = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICPalette* palette = nullptr;
    bool ok = SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_PPV_ARGS(&factory))) &&
              SUCCEEDED(factory->CreateStream(&stream)) &&
              SUCCEEDED(stream->InitializeFromMemory(const_cast<BYTE*>(png.data()), static_cast<DWORD>(png.size()))) &&
              SUCCEEDED(factory->CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnDemand, &decoder)) &&
              SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(frame->GetSize(&out.width, &out.height)) &&
              SUCCEEDED(frame->GetPixelFormat(&out.format));
    const bool indexed = ok && (IsEqualGUID(out.format, GUID_WICPixelFormat4bppIndexed) ||
                                IsEqualGUID(out.format, GUID_WICPixelFormat8bppIndexed));
    if (indexed) {
        UINT count = 0;
        ok = SUCCEEDED(factory->CreatePalette(&palette)) && SUCCEEDED(frame->CopyPalette(palette)) &&
             SUCCEEDED(palette->GetColorCount(&count));
        out.palette.resize(count);
        ok = ok && SUCCEEDED(palette->GetColors(count, out.palette.data(), &count));
    }
    if (ok) {
        const UINT bits = IsEqualGUID(out.format, GUID_WICPixelFormat4bppIndexed)   ? 4
                          : IsEqualGUID(out.format, GUID_WICPixelFormat8bppIndexed) ? 8
                                                                                    : 24;
        out.stride = (out.width * bits + 7) / 8;
        out.pixels.resize(static_cast<std::size_t>(out.stride) * out.height);
        ok = SUCCEEDED(frame->CopyPixels(nullptr, out.stride, static_cast<UINT>(out.pixels.size()), out.pixels.data()));
    }
    for (IUnknown* held : {static_cast<IUnknown*>(palette), static_cast<IUnknown*>(frame),
                           static_cast<IUnknown*>(decoder), static_cast<IUnknown*>(stream),
                           static_cast<IUnknown*>(factory)}) {
        if (held != nullptr) held->Release();
    }
    return ok;
}

void ExpectSamePicture(const Picture& picture, const Decoded& png) {
    ASSERT_EQ(png.width, static_cast<UINT>(picture.width));
    ASSERT_EQ(png.height, static_cast<UINT>(picture.height));
    if (picture.Indexed()) {
        ASSERT_TRUE(IsEqualGUID(png.format, picture.bitDepth == 4 ? GUID_WICPixelFormat4bppIndexed
                                                                   : GUID_WICPixelFormat8bppIndexed));
        ASSERT_EQ(png.palette.size(), picture.palette.size());
        for (std::size_t i = 0; i < png.palette.size(); ++i) {
            const Rgb8 c = picture.palette[i];
            EXPECT_EQ(png.palette[i] & 0xFFFFFFu, (WICColor(c.r) << 16) | (WICColor(c.g) << 8) | c.b) << i;
        }
    } else {
        ASSERT_TRUE(IsEqualGUID(png.format, GUID_WICPixelFormat24bppBGR));
    }
    int wrong = 0;
    for (int y = 0; y < picture.height; ++y) {
        const uint8_t* row = png.pixels.data() + static_cast<std::size_t>(y) * png.stride;
        const uint8_t* want = picture.Row(y);
        for (int b = 0; b < picture.rowBytes; ++b) {
            wrong += row[b] != want[b];  // indices, or blue, green, red in both
        }
    }
    EXPECT_EQ(wrong, 0);
}

class PngThroughWic : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
    void TearDown() override { CoUninitialize(); }
};

TEST_F(PngThroughWic, EveryModeAndShapeComesBackAsWritten) {
    ASSERT_TRUE(PngAvailable());
    for (uint8_t screen : AllScreens) {
        SCOPED_TRACE(static_cast<int>(screen));
        const std::vector<uint8_t> vram = velda_test::NoiseBytes(VramBytes, screen);
        const std::vector<uint8_t> palette = velda_test::NoiseBytes(PaletteBytes, 50u + screen);
        Picture picture, woven, shown;
        ASSERT_TRUE(BuildPicture(screen, vram.data(), palette.data(), ColorRule::Velda, picture));
        WeavePictures(picture, picture, woven);
        TelevisionAspect(woven, shown);
        for (const Picture* shape : {&picture, &shown}) {
            std::vector<uint8_t> png;
            const std::error_code error = EncodePng(*shape, png);
            ASSERT_FALSE(error) << error.message();
            Decoded decoded;
            ASSERT_TRUE(DecodePng(png, decoded));
            ExpectSamePicture(*shape, decoded);
        }
    }
}

}  // namespace
}  // namespace velda
