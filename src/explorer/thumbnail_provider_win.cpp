// The thumbnail handler Windows Explorer loads to show MSX pictures as
// thumbnails (velda-thumbnails-x86.dll, velda-thumbnails-x64.dll): an
// in-process COM server whose objects take the file through
// IInitializeWithStream and give its picture through IThumbnailProvider.
//
// Explorer hands over a stream and no name, yet only the extension tells
// how the bytes are read (.SC5 and .GE5 are the same dump, .SR5 a Graph
// Saurus picture, .GL5 a COPY file). So every picture extension has a
// class of its own: VELDA's base CLSID with the extension's three letters,
// in upper case, as the last three bytes of Data4,
//
//   {9820F30F-1B0F-4CD1-B6BE-59D8DE??????}    .SC5: ...-59D8DE534335 ('S' 'C' '5')
//
// and a class object made for such a CLSID knows the file type its
// objects read. Registration is per user, under
// HKEY_CURRENT_USER\Software\Classes, and nothing is written elsewhere.
#include <windows.h>

#include <olectl.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <thumbcache.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "image/file_types.h"
#include "image/name_letters.h"
#include "image/picture_file.h"
#include "platform/unicode_win.h"
#include "render/thumbnail.h"

namespace velda {
namespace {

// The base of every class: the extension's letters go in Data4[5..7].
constexpr GUID BaseClass = {0x9820f30f, 0x1b0f, 0x4cd1, {0xb6, 0xbe, 0x59, 0xd8, 0xde, 0, 0, 0}};
constexpr int LettersAt = 5;

constexpr wchar_t ClassesKey[] = L"Software\\Classes";

// Objects and class objects alive, and LockServer's locks: the DLL stays
// loaded while either is not zero.
LONG LiveObjects = 0;
LONG ServerLocks = 0;

// Runs `body`, so that no C++ exception leaves a COM method or an export.
template <typename Body>
HRESULT Guarded(Body body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

GUID ClassOfExtension(const std::string& extension) {
    GUID id = BaseClass;
    for (int i = 0; i < 3; ++i) id.Data4[LettersAt + i] = static_cast<unsigned char>(extension[i]);
    return id;
}

// The picture extension the class `id` reads, in capitals: false for a
// class that is not the base with the upper-case extension of a picture.
bool ExtensionOfClass(const GUID& id, std::string& extension) {
    if (id.Data1 != BaseClass.Data1 || id.Data2 != BaseClass.Data2 || id.Data3 != BaseClass.Data3 ||
        !std::equal(id.Data4, id.Data4 + LettersAt, BaseClass.Data4)) {
        return false;
    }
    extension.clear();
    for (int i = LettersAt; i < 8; ++i) {
        const unsigned char c = id.Data4[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
        extension += static_cast<char>(c);
    }
    return IsPictureKind(TypeOfExtension(extension).kind);
}

std::wstring GuidText(const GUID& id) {
    wchar_t text[40];
    StringFromGUID2(id, text, 40);
    return text;
}

// The stream from where it stands to its end, at most MaxPictureFileBytes
// of it, into `bytes`: S_OK, or the stream's error.
HRESULT ReadWhole(IStream* stream, std::vector<uint8_t>& bytes) {
    constexpr std::size_t Piece = 0x8000;
    bytes.clear();
    while (bytes.size() < MaxPictureFileBytes) {
        const std::size_t had = bytes.size();
        const ULONG wanted = static_cast<ULONG>(std::min(Piece, MaxPictureFileBytes - had));
        bytes.resize(had + wanted);
        ULONG got = 0;
        const HRESULT result = stream->Read(bytes.data() + had, wanted, &got);
        if (FAILED(result)) return result;
        bytes.resize(had + std::min(got, wanted));
        if (got == 0) break;  // the end (S_FALSE once short, then nothing)
    }
    return S_OK;
}

// `thumbnail` (24-bit) as a top-down 32-bit DIB section, every pixel
// opaque; nullptr when GDI refuses.
HBITMAP OpaqueBitmap(const Picture& thumbnail) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = thumbnail.width;
    info.bmiHeader.biHeight = -thumbnail.height;  // top line first, as the picture
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr || bits == nullptr) {
        if (bitmap != nullptr) DeleteObject(bitmap);
        return nullptr;
    }
    uint8_t* out = static_cast<uint8_t*>(bits);
    for (int y = 0; y < thumbnail.height; ++y) {
        const uint8_t* in = thumbnail.Row(y);
        for (int x = 0; x < thumbnail.width; ++x, in += 3, out += 4) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
            out[3] = 0xFF;
        }
    }
    return bitmap;
}

// QueryInterface's answer: `face`, the interface asked for, with a
// reference, or E_NOINTERFACE where the object has none (nullptr).
HRESULT Answer(IUnknown* face, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = face;
    if (face == nullptr) return E_NOINTERFACE;
    face->AddRef();
    return S_OK;
}

// What every COM object of the DLL has: a reference count, with the
// object gone with the last reference, and its part in the count of live
// objects that keeps the DLL loaded.
class Counted {
protected:
    Counted() { InterlockedIncrement(&LiveObjects); }
    virtual ~Counted() { InterlockedDecrement(&LiveObjects); }
    Counted(const Counted&) = delete;
    Counted& operator=(const Counted&) = delete;

    ULONG TakeReference() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG DropReference() {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

private:
    LONG references_ = 1;
};

// One file's thumbnail: the bytes of the stream it was given, read as
// the file type of its class. It never writes to the stream.
class ThumbnailHandler final : public IInitializeWithStream, public IThumbnailProvider, private Counted {
public:
    explicit ThumbnailHandler(std::string extension) : extension_(std::move(extension)) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        IUnknown* face = nullptr;
        if (iid == IID_IUnknown || iid == __uuidof(IInitializeWithStream)) {
            face = static_cast<IInitializeWithStream*>(this);
        } else if (iid == __uuidof(IThumbnailProvider)) {
            face = static_cast<IThumbnailProvider*>(this);
        }
        return Answer(face, object);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return TakeReference(); }
    STDMETHODIMP_(ULONG) Release() override { return DropReference(); }

    // Keeps the file's bytes: once only.
    STDMETHODIMP Initialize(IStream* stream, DWORD) override {
        return Guarded([&]() -> HRESULT {
            if (stream == nullptr) return E_INVALIDARG;
            if (initialized_) return HRESULT_FROM_WIN32(ERROR_ALREADY_INITIALIZED);
            std::vector<uint8_t> bytes;
            const HRESULT read = ReadWhole(stream, bytes);
            if (FAILED(read)) return read;
            file_.swap(bytes);
            initialized_ = true;
            return S_OK;
        });
    }

    // The picture, its longer side at most `side`; the palette file
    // beside it is out of reach, as the stream is all there is.
    STDMETHODIMP GetThumbnail(UINT side, HBITMAP* bitmap, WTS_ALPHATYPE* alpha) override {
        return Guarded([&]() -> HRESULT {
            if (bitmap != nullptr) *bitmap = nullptr;
            if (alpha != nullptr) *alpha = WTSAT_UNKNOWN;
            if (bitmap == nullptr || alpha == nullptr || side == 0) return E_INVALIDARG;
            if (!initialized_) return E_UNEXPECTED;
            // The file's name says nothing but its extension.
            const PictureName name{"PICTURE", extension_};
            const int maxSide = static_cast<int>(std::min<UINT>(side, INT_MAX));
            Picture thumbnail;
            if (MakeThumbnail(file_.data(), file_.size(), name, nullptr, maxSide, thumbnail)) return E_FAIL;
            HBITMAP made = OpaqueBitmap(thumbnail);
            if (made == nullptr) return E_OUTOFMEMORY;
            *bitmap = made;
            *alpha = WTSAT_RGB;
            return S_OK;
        });
    }

private:
    std::string extension_;
    bool initialized_ = false;
    std::vector<uint8_t> file_;
};

// The class object of one extension's class.
class HandlerFactory final : public IClassFactory, private Counted {
public:
    explicit HandlerFactory(std::string extension) : extension_(std::move(extension)) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        return Answer(iid == IID_IUnknown || iid == IID_IClassFactory ? this : nullptr, object);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return TakeReference(); }
    STDMETHODIMP_(ULONG) Release() override { return DropReference(); }

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        return Guarded([&]() -> HRESULT {
            if (object == nullptr) return E_POINTER;
            *object = nullptr;
            if (outer != nullptr) return CLASS_E_NOAGGREGATION;
            ThumbnailHandler* handler = new ThumbnailHandler(extension_);
            const HRESULT result = handler->QueryInterface(iid, object);
            handler->Release();
            return result;
        });
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        if (lock) {
            InterlockedIncrement(&ServerLocks);
        } else {
            InterlockedDecrement(&ServerLocks);
        }
        return S_OK;
    }

private:
    std::string extension_;
};

// --- Registration under HKEY_CURRENT_USER\Software\Classes ---------------

// The key under the classes of the extension whose value names its
// thumbnail handler (the IThumbnailProvider's own IID).
std::wstring HandlerKeyOf(const std::wstring& extensionKey) {
    return extensionKey + L"\\ShellEx\\" + GuidText(__uuidof(IThumbnailProvider));
}

std::wstring ExtensionKeyOf(const std::string& extension) { return L"." + Widen(SmallLetters(extension)); }

// This DLL's full name; "" when Windows does not give it.
std::wstring ModulePath() {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&LiveObjects), &module)) {
        return L"";
    }
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(module, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0) return L"";
        if (length < path.size()) return path.substr(0, length);
        path.resize(path.size() * 2);  // cut short: try a larger buffer
    }
}

// Sets the text value `name` (nullptr: the default value) of the key
// `path` under `classes`, making the key where it is missing.
LSTATUS WriteText(HKEY classes, const std::wstring& path, const wchar_t* name, const std::wstring& text) {
    HKEY key = nullptr;
    LSTATUS status =
        RegCreateKeyExW(classes, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) return status;
    status = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return status;
}

// The default value of the key `path` when it is text; "" otherwise.
std::wstring ReadDefaultText(HKEY classes, const std::wstring& path) {
    wchar_t text[64] = {};
    DWORD size = sizeof text;
    if (RegGetValueW(classes, path.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS) return L"";
    return text;
}

// Removes the key `path` when it holds neither a key nor a value.
LSTATUS DeleteIfEmpty(HKEY classes, const std::wstring& path) {
    HKEY key = nullptr;
    LSTATUS status = RegOpenKeyExW(classes, path.c_str(), 0, KEY_QUERY_VALUE, &key);
    if (status != ERROR_SUCCESS) return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
    DWORD keys = 0, values = 0;
    status = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &keys, nullptr, nullptr, &values, nullptr, nullptr,
                              nullptr, nullptr);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || keys != 0 || values != 0) return status;
    return RegDeleteKeyW(classes, path.c_str());
}

// Removes what Register writes, and nothing that was there before: an
// extension's key, its ShellEx key and the CLSID key go only when nothing
// else is left in them, the handler's key only while it names our class.
HRESULT Unregister() {
    HKEY classes = nullptr;
    LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, ClassesKey, 0, KEY_READ | KEY_WRITE | DELETE, &classes);
    if (status == ERROR_FILE_NOT_FOUND) return S_OK;
    if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
    LSTATUS first = ERROR_SUCCESS;
    const auto keep = [&first](LSTATUS s) {
        if (s != ERROR_SUCCESS && s != ERROR_FILE_NOT_FOUND && first == ERROR_SUCCESS) first = s;
    };
    for (const std::string& extension : PictureExtensions()) {
        const std::wstring clsid = GuidText(ClassOfExtension(extension));
        keep(RegDeleteTreeW(classes, (L"CLSID\\" + clsid).c_str()));
        const std::wstring extensionKey = ExtensionKeyOf(extension);
        const std::wstring handlerKey = HandlerKeyOf(extensionKey);
        if (CompareStringOrdinal(ReadDefaultText(classes, handlerKey).c_str(), -1, clsid.c_str(), -1, TRUE) ==
            CSTR_EQUAL) {
            keep(RegDeleteKeyValueW(classes, handlerKey.c_str(), nullptr));
            keep(DeleteIfEmpty(classes, handlerKey));
        }
        keep(DeleteIfEmpty(classes, extensionKey + L"\\ShellEx"));
        keep(DeleteIfEmpty(classes, extensionKey));
    }
    keep(DeleteIfEmpty(classes, L"CLSID"));
    RegCloseKey(classes);
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return first == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(first);
}

// For every picture extension: its class, served by this DLL in the
// apartment of its caller, and the extension's thumbnail handler naming
// that class. A registration that fails part-way is taken back.
HRESULT Register() {
    const std::wstring dll = ModulePath();
    if (dll.empty()) return SELFREG_E_CLASS;
    HKEY classes = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, ClassesKey, 0, nullptr, 0, KEY_CREATE_SUB_KEY | KEY_SET_VALUE, nullptr,
                        &classes, nullptr) != ERROR_SUCCESS) {
        return SELFREG_E_CLASS;
    }
    LSTATUS status = ERROR_SUCCESS;
    for (const std::string& extension : PictureExtensions()) {
        const std::wstring clsid = GuidText(ClassOfExtension(extension));
        const std::wstring classKey = L"CLSID\\" + clsid;
        const std::wstring server = classKey + L"\\InprocServer32";
        status = WriteText(classes, classKey, nullptr, L"VELDA thumbnail (." + Widen(extension) + L")");
        if (status == ERROR_SUCCESS) status = WriteText(classes, server, nullptr, dll);
        if (status == ERROR_SUCCESS) status = WriteText(classes, server, L"ThreadingModel", L"Apartment");
        if (status == ERROR_SUCCESS) status = WriteText(classes, HandlerKeyOf(ExtensionKeyOf(extension)), nullptr, clsid);
        if (status != ERROR_SUCCESS) break;
    }
    RegCloseKey(classes);
    if (status != ERROR_SUCCESS) {
        Unregister();
        return SELFREG_E_CLASS;
    }
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return S_OK;
}

}  // namespace
}  // namespace velda

// --- The exports (velda_thumbnails.def) ------------------------------------

// The class object of an extension's class (see the top of this file).
STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    return velda::Guarded([&]() -> HRESULT {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        std::string extension;
        if (!velda::ExtensionOfClass(clsid, extension)) return CLASS_E_CLASSNOTAVAILABLE;
        velda::HandlerFactory* factory = new velda::HandlerFactory(extension);
        const HRESULT result = factory->QueryInterface(iid, object);
        factory->Release();
        return result;
    });
}

STDAPI DllCanUnloadNow() {
    return velda::LiveObjects == 0 && velda::ServerLocks == 0 ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() { return velda::Guarded(velda::Register); }

STDAPI DllUnregisterServer() { return velda::Guarded(velda::Unregister); }
