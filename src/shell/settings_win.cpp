// The settings kept between runs in the registry: the zoom, the television
// aspect, the MSX1's colours, the sprites and the folder of the last Open
// dialog. Each is written when it
// changes, so that nothing is lost when the program does not end normally.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/names.h"
#include "shell/shell_state_win.h"
#include "shell/texts.h"

namespace velda {

char LastOpenFolder[PathBytes];

namespace {

// The REG_DWORD value `name`, or `fallback` when it is missing, of another
// type or outside low to high.
DWORD ReadNumber(HKEY key, const char* name, DWORD low, DWORD high, DWORD fallback) {
    DWORD type = 0, value = 0, size = sizeof value;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value || value < low || value > high) {
        return fallback;
    }
    return value;
}

// The REG_SZ last folder into LastOpenFolder, left empty when it is
// missing, of another type or too long for the dialogs' name buffers.
void ReadLastFolder(HKEY key) {
    char folder[PathBytes + 1] = {};
    DWORD type = 0, size = PathBytes;
    if (RegQueryValueExA(key, LastFolderValueName, nullptr, &type, reinterpret_cast<BYTE*>(folder), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        return;
    }
    folder[size] = '\0';  // a string stored without its NUL ends with its data
    if (std::strlen(folder) < PathBytes) std::memcpy(LastOpenFolder, folder, PathBytes);
}

// The settings key, made if need be, open for writing; nullptr when the
// registry refuses.
HKEY OpenForWriting() {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKeyName, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return nullptr;
    }
    return key;
}

void WriteNumber(HKEY key, const char* name, DWORD value) {
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

}  // namespace

void LoadSettings() {
    View = DefaultView;
    LastOpenFolder[0] = '\0';
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKeyName, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return;
    View.zoom = static_cast<int>(ReadNumber(key, ZoomValueName, 1, MaxZoom, DefaultView.zoom));
    View.tvAspect = ReadNumber(key, TvAspectValueName, 0, 1, DefaultView.tvAspect) != 0;
    View.msx1Colors = ReadNumber(key, Msx1ColorsValueName, 0, 1, DefaultView.msx1Colors) != 0;
    View.sprites = SpriteChoices[ReadNumber(key, SpritesValueName, 0, SpriteChoiceCount - 1,
                                            static_cast<DWORD>(SpriteChoiceOf(DefaultView.sprites)))];
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
    RegCloseKey(key);
}

void SaveLastOpenFolder(const char* chosenPath) {
    // The folder without the separator after it, but for a drive's root
    // ("C:\"), where the separator is the folder.
    const std::string path = chosenPath;
    std::size_t end = SplitPath(path).folder.size();
    if (end > 1 && (path[end - 1] == '\\' || path[end - 1] == '/') && path[end - 2] != ':') --end;
    std::snprintf(LastOpenFolder, sizeof LastOpenFolder, "%s", path.substr(0, end).c_str());
    HKEY key = OpenForWriting();
    if (key == nullptr) return;
    RegSetValueExA(key, LastFolderValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(LastOpenFolder),
                   static_cast<DWORD>(std::strlen(LastOpenFolder) + 1));
    RegCloseKey(key);
}

}  // namespace velda
