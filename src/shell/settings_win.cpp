// The settings kept between runs in the registry: the zoom, the television
// aspect, the MSX1's colours, the sprites, the language and the folder of
// the last Open dialog. Each is written when it changes, so that nothing is
// lost when the program does not end normally.
#include <windows.h>

#include <string>

#include "platform/names.h"
#include "platform/unicode_win.h"
#include "shell/shell_state_win.h"

namespace velda {

std::string LastOpenFolder;

namespace {

// The REG_DWORD value `name`, or `fallback` when it is missing, of another
// type or outside low to high.
DWORD ReadNumber(HKEY key, const wchar_t* name, DWORD low, DWORD high, DWORD fallback) {
    DWORD type = 0, value = 0, size = sizeof value;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value || value < low || value > high) {
        return fallback;
    }
    return value;
}

// The REG_SZ last folder into LastOpenFolder, left empty when it is
// missing, of another type or too long for the dialogs' name buffers. The
// registry keeps text in UTF-16 whichever function wrote it, so the value
// an ANSI VELDA wrote reads as well.
void ReadLastFolder(HKEY key) {
    wchar_t folder[PathChars + 1] = {};
    DWORD type = 0, size = PathChars * sizeof(wchar_t);
    if (RegQueryValueExW(key, LastFolderValueName, nullptr, &type, reinterpret_cast<BYTE*>(folder), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        return;
    }
    folder[size / sizeof(wchar_t)] = L'\0';  // a string stored without its NUL ends with its data
    if (std::wstring(folder).size() < PathChars) LastOpenFolder = Narrow(folder);
}

// The settings key, made if need be, open for writing; nullptr when the
// registry refuses.
HKEY OpenForWriting() {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, SettingsKeyName, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return nullptr;
    }
    return key;
}

void WriteNumber(HKEY key, const wchar_t* name, DWORD value) {
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

}  // namespace

void LoadSettings() {
    View = DefaultView;
    UiLanguage = Language::Japanese;
    LastOpenFolder.clear();
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, SettingsKeyName, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return;
    View.zoom = static_cast<int>(ReadNumber(key, ZoomValueName, 1, MaxZoom, DefaultView.zoom));
    View.tvAspect = ReadNumber(key, TvAspectValueName, 0, 1, DefaultView.tvAspect) != 0;
    View.msx1Colors = ReadNumber(key, Msx1ColorsValueName, 0, 1, DefaultView.msx1Colors) != 0;
    View.sprites = SpriteChoices[ReadNumber(key, SpritesValueName, 0, SpriteChoiceCount - 1,
                                            static_cast<DWORD>(SpriteChoiceOf(DefaultView.sprites)))];
    UiLanguage = static_cast<Language>(ReadNumber(key, LanguageValueName, 0, LanguageCount - 1, 0));
    ReadLastFolder(key);
    RegCloseKey(key);
}

void SaveViewSettings() {
    HKEY key = OpenForWriting();
    if (key == nullptr) return;
    WriteNumber(key, ZoomValueName, static_cast<DWORD>(View.zoom));
    WriteNumber(key, TvAspectValueName, View.tvAspect ? 1 : 0);
    WriteNumber(key, Msx1ColorsValueName, View.msx1Colors ? 1 : 0);
    WriteNumber(key, SpritesValueName, static_cast<DWORD>(SpriteChoiceOf(View.sprites)));
    WriteNumber(key, LanguageValueName, static_cast<DWORD>(UiLanguage));
    RegCloseKey(key);
}

void SaveLastOpenFolder(const std::string& chosenPath) {
    // The folder without the separator after it, but for a drive's root
    // ("C:\"), where the separator is the folder.
    std::size_t end = SplitPath(chosenPath).folder.size();
    if (end > 1 && (chosenPath[end - 1] == '\\' || chosenPath[end - 1] == '/') && chosenPath[end - 2] != ':') --end;
    LastOpenFolder = chosenPath.substr(0, end);
    HKEY key = OpenForWriting();
    if (key == nullptr) return;
    const std::wstring folder = Widen(LastOpenFolder);
    RegSetValueExW(key, LastFolderValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                   static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

}  // namespace velda
