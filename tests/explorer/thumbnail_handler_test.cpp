// The thumbnail handler DLL as Explorer meets it: registered per user by
// the real regsvr32, made through COM from the class the extension's key
// names, fed a file's stream, and unregistered again, leaving the user's
// classes as they were.
// Every thumbnail is compared with the core's own of the same bytes.
#include <windows.h>

#include <shlwapi.h>
#include <shobjidl.h>
#include <thumbcache.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "image/file_types.h"
#include "render/thumbnail.h"
#include "test_support.h"

#ifndef VELDA_THUMBNAILS_DLL
#error "VELDA_THUMBNAILS_DLL must name the handler DLL"
#endif

namespace velda_test {
namespace {

constexpr wchar_t HandlerKey[] = L"\\ShellEx\\{E357FCCD-A995-4576-B01F-234630154E96}";
HBITMAP const NotTouched = reinterpret_cast<HBITMAP>(static_cast<intptr_t>(1));

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

const std::wstring DllName = Wide(WindowsPath(VELDA_THUMBNAILS_DLL));

// regsvr32 with `options` run on the DLL; its exit code.
DWORD RunRegsvr32(const std::wstring& options) {
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(system) + L"\\regsvr32.exe\" " + options + L" \"" + DllName + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return 1234;
    }
    DWORD code = 1234;
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

// Every key under `key` and every value, one line each (path, name, type,
// bytes), in order.
void Snapshot(HKEY key, const std::wstring& path, std::vector<std::wstring>& lines) {
    wchar_t name[16384];
    std::vector<BYTE> data(1 << 16);
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = 16384, type = 0, size = static_cast<DWORD>(data.size());
        if (RegEnumValueW(key, i, name, &nameSize, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) break;
        std::wstring line = path + L" | " + name + L" | " + std::to_wstring(type) + L" |";
        for (DWORD b = 0; b < size; ++b) line += L' ' + std::to_wstring(data[b]);
        lines.push_back(line);
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = 16384;
        if (RegEnumKeyExW(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        lines.push_back(path + L"\\" + name);
        HKEY child = nullptr;
        if (RegOpenKeyExW(key, name, 0, KEY_READ, &child) == ERROR_SUCCESS) {
            Snapshot(child, path + L"\\" + name, lines);
            RegCloseKey(child);
        }
    }
}

std::vector<std::wstring> UserClasses() {
    std::vector<std::wstring> lines;
    HKEY classes = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Classes", 0, KEY_READ, &classes) == ERROR_SUCCESS) {
        Snapshot(classes, L"", lines);
        RegCloseKey(classes);
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

// The text value `name` (nullptr: the default) of the user's class key
// `path`; "" when there is none. Windows shows these keys through
// HKEY_CLASSES_ROOT too, but Wine's view of that root leaves them out.
std::wstring ReadText(const std::wstring& path, const wchar_t* name = nullptr) {
    wchar_t text[1024] = {};
    DWORD size = sizeof text;
    if (RegGetValueW(HKEY_CURRENT_USER, (L"Software\\Classes\\" + path).c_str(), name, RRF_RT_REG_SZ, nullptr, text,
                     &size) != ERROR_SUCCESS) {
        return L"";
    }
    return text;
}

using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

// The function `name` of `dll`, through void (*)(), the cast that says
// "any function".
template <typename Function>
Function Export(HMODULE dll, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(dll, name)));
}

// The handler of the class `clsid` as COM makes it from the user's
// registration. Wine's COM reads the machine's classes only (Windows the
// user's first), so where CoCreateInstance does not know the class this
// takes its steps: the registered DLL loaded into `dll`, its class object
// asked. The caller frees `dll` after the handler.
HRESULT CreateRegistered(const CLSID& clsid, IInitializeWithStream** handler, HMODULE& dll) {
    dll = nullptr;
    const HRESULT result = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(handler));
    if (result != REGDB_E_CLASSNOTREG) return result;
    wchar_t name[40];
    StringFromGUID2(clsid, name, 40);
    dll = LoadLibraryW(ReadText(L"CLSID\\" + std::wstring(name) + L"\\InprocServer32").c_str());
    const GetClassObject getClassObject = dll ? Export<GetClassObject>(dll, "DllGetClassObject") : nullptr;
    IClassFactory* factory = nullptr;
    if (getClassObject == nullptr || FAILED(getClassObject(clsid, IID_PPV_ARGS(&factory)))) return result;
    const HRESULT made = factory->CreateInstance(nullptr, IID_PPV_ARGS(handler));
    factory->Release();
    return made;
}

// What a handler made of a stream: the HRESULTs, and the bitmap's size,
// pixels (blue, green, red) and whether every pixel is opaque.
struct Made {
    HRESULT initialized = E_FAIL, thumbnail = E_FAIL;
    bool bitmapGiven = false, opaque = true;
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;
};

Made ThumbnailThrough(IInitializeWithStream* handler, IStream* stream, UINT side) {
    Made made;
    made.initialized = handler->Initialize(stream, STGM_READ);
    IThumbnailProvider* provider = nullptr;
    if (FAILED(handler->QueryInterface(IID_PPV_ARGS(&provider)))) return made;
    HBITMAP bitmap = NotTouched;
    WTS_ALPHATYPE alpha = WTSAT_UNKNOWN;
    made.thumbnail = provider->GetThumbnail(side, &bitmap, &alpha);
    provider->Release();
    made.bitmapGiven = bitmap != nullptr;
    if (SUCCEEDED(made.thumbnail) && bitmap != nullptr && bitmap != NotTouched) {
        EXPECT_EQ(alpha, WTSAT_RGB);
        DIBSECTION dib = {};
        EXPECT_EQ(GetObjectW(bitmap, sizeof dib, &dib), static_cast<int>(sizeof dib));
        EXPECT_EQ(dib.dsBm.bmBitsPixel, 32);
        made.width = dib.dsBm.bmWidth;
        made.height = dib.dsBm.bmHeight;
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof info.bmiHeader, made.width, -made.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        std::vector<uint8_t> bgra(static_cast<std::size_t>(made.width) * made.height * 4);
        HDC screen = GetDC(nullptr);
        EXPECT_EQ(GetDIBits(screen, bitmap, 0, static_cast<UINT>(made.height), bgra.data(), &info, DIB_RGB_COLORS),
                  made.height);
        ReleaseDC(nullptr, screen);
        for (std::size_t i = 0; i < bgra.size(); i += 4) {
            made.pixels.insert(made.pixels.end(), &bgra[i], &bgra[i] + 3);
            made.opaque = made.opaque && bgra[i + 3] == 0xFF;
        }
    }
    if (bitmap != nullptr && bitmap != NotTouched) DeleteObject(bitmap);
    return made;
}

// Registered by regsvr32, the handler of each extension makes the core's
// thumbnail of a file's stream, or refuses as the core does.
TEST(RegisteredHandler, ShowsPicturesAndLeavesNoTrace) {
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    RunRegsvr32(L"/u /s");  // what an interrupted run may have left
    // A .sc5 key of the user's own, which must survive.
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Classes\\.sc5", nullptr, REG_SZ, L"UsersOwn.Picture",
                              sizeof L"UsersOwn.Picture"),
              ERROR_SUCCESS);
    const std::vector<std::wstring> before = UserClasses();
    ASSERT_EQ(RunRegsvr32(L"/s"), 0u);

    std::vector<std::wstring> classes;
    for (const std::string& extension : velda::PictureExtensions()) {
        SCOPED_TRACE(extension);
        const std::wstring clsid = ReadText(L"." + Wide(extension) + HandlerKey);
        const std::wstring server = L"CLSID\\" + clsid + L"\\InprocServer32";
        EXPECT_EQ(CompareStringOrdinal(ReadText(server).c_str(), -1, DllName.c_str(), -1, TRUE),
                  CSTR_EQUAL);
        EXPECT_EQ(ReadText(server, L"ThreadingModel"), L"Apartment");
        classes.push_back(clsid);
    }
    std::sort(classes.begin(), classes.end());
    EXPECT_EQ(std::unique(classes.begin(), classes.end()), classes.end());  // one class an extension
    EXPECT_EQ(ReadText(L".sc5"), L"UsersOwn.Picture");

    const std::vector<uint8_t> screen5 = MakeBsave(0, 0x769F, NoiseBytes(0x76A0, 5));  // with its palette
    const std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    const std::string text = "10 SCREEN 5\r\n20 BLOAD\"PICTURE.SC5\",S\r\n";
    struct Row {
        const char* name;
        std::string extension;
        std::vector<uint8_t> file;
        UINT side;
        int width, height;  // 0 x 0: refused
    } const rows[] = {
        {"SCREEN 5 page", "SC5", screen5, 128, 128, 106},
        {"the same at 64", "GE5", screen5, 64, 64, 53},
        {"SCREEN 7 page", "SC7", MakeBsave(0, 0xFA9F, NoiseBytes(0xFAA0, 7)), 128, 128, 106},
        {"SCREEN 12, all 64 KiB", "SCC", MakeBsave(0, 0xFFFF, NoiseBytes(0x10000, 12)), 256, 256, 212},
        {"COPY file, never enlarged", "GL5", MakeCopy(5, NoiseBytes(0x6A00, 3), 40, 20), 128, 80, 40},
        {"a PNG", "SC5", png, 128, 0, 0},
        {"a BASIC text", "SC8", std::vector<uint8_t>(text.begin(), text.end()), 128, 0, 0},
        {"an empty file", "SR5", {}, 128, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string path = ScratchPath("thumbnail." + row.extension);
        WriteFile(path, row.file);
        velda::Picture expected;
        const bool refused = static_cast<bool>(velda::MakeThumbnail(
            row.file.data(), row.file.size(), {"thumbnail", row.extension}, nullptr, static_cast<int>(row.side), expected));
        ASSERT_EQ(refused, row.width == 0);

        CLSID clsid = {};
        const std::wstring name = ReadText(L"." + Wide(row.extension) + HandlerKey);
        ASSERT_EQ(CLSIDFromString(name.c_str(), &clsid), S_OK);
        IInitializeWithStream* handler = nullptr;
        HMODULE dll = nullptr;
        ASSERT_EQ(CreateRegistered(clsid, &handler, dll), S_OK);
        IStream* stream = nullptr;
        ASSERT_EQ(SHCreateStreamOnFileEx(Wide(WindowsPath(path)).c_str(), STGM_READ | STGM_SHARE_DENY_WRITE,
                                         FILE_ATTRIBUTE_NORMAL, FALSE, nullptr, &stream),
                  S_OK);
        const Made made = ThumbnailThrough(handler, stream, row.side);
        stream->Release();
        handler->Release();
        if (dll != nullptr) FreeLibrary(dll);

        EXPECT_EQ(made.initialized, S_OK);
        EXPECT_EQ(SUCCEEDED(made.thumbnail), !refused);
        EXPECT_EQ(made.bitmapGiven, !refused);
        EXPECT_EQ(made.width, row.width);
        EXPECT_EQ(made.height, row.height);
        if (!refused) {
            EXPECT_TRUE(made.opaque);
            EXPECT_EQ(made.width, expected.width);
            EXPECT_EQ(made.height, expected.height);
            EXPECT_TRUE(made.pixels == expected.pixels);
        }
    }
    CoUninitialize();

    EXPECT_EQ(RunRegsvr32(L"/u /s"), 0u);
    EXPECT_EQ(UserClasses(), before);
    EXPECT_EQ(ReadText(L".sc5"), L"UsersOwn.Picture");
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Classes\\.sc5");
}

}  // namespace
}  // namespace velda_test
