#include "platform/unicode_win.h"

namespace velda {

namespace {

// Windows' errors with their text from FormatMessageW, without the line
// break Windows ends it with.
class WindowsCategory : public std::error_category {
public:
    const char* name() const noexcept override { return "windows"; }

    std::string message(int code) const override {
        wchar_t* text = nullptr;
        const DWORD length = FormatMessageW(
            FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
            static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
        std::string message = length > 0 ? Narrow(std::wstring_view(text, length)) : "error " + std::to_string(code);
        LocalFree(text);
        message.erase(message.find_last_not_of(" \r\n") + 1);
        return message;
    }

    std::error_condition default_error_condition(int code) const noexcept override {
        return std::system_category().default_error_condition(code);
    }
};

}  // namespace

std::wstring Widen(std::string_view utf8) {
    if (utf8.empty()) return L"";
    const int length = static_cast<int>(utf8.size());
    std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0)),
                      L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, &wide[0], static_cast<int>(wide.size()));
    return wide;
}

std::string Narrow(std::wstring_view utf16) {
    if (utf16.empty()) return "";
    const int length = static_cast<int>(utf16.size());
    std::string narrow(
        static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, utf16.data(), length, nullptr, 0, nullptr, nullptr)),
        '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), length, &narrow[0], static_cast<int>(narrow.size()), nullptr,
                        nullptr);
    return narrow;
}

std::error_code WindowsError(DWORD code) {
    static const WindowsCategory category;
    return std::error_code(static_cast<int>(code), category);
}

}  // namespace velda
