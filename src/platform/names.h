// Paths and file names as the system spells them: the one place that
// splits a path into its folder, its file name and the file name's
// extension, and the one order and comparison of names.
//
//   "C:\pics\TITLE.SC5"   folder "C:\pics\"   stem "TITLE"   extension "SC5"
//   "pics/A.B.sr5"        folder "pics/"      stem "A.B"     extension "sr5"
//   "pics/.SC5"           folder "pics/"      stem ".SC5"    no extension
//
// The extension follows the last dot of the file name; a dot that starts
// the name starts no extension. Names are UTF-8 on every system (on Windows
// platform/unicode_win.h makes them UTF-16 at the system's edge), whose
// bytes beyond ASCII are never a separator, a dot or a letter, so "あ.SC5"
// keeps its extension. What separates folders is the system's:
//   Windows (names_win.cpp): '\', '/' and a drive's ':';
//   POSIX (names_posix.cpp): '/' alone.
#pragma once

#include <cstddef>
#include <string>

namespace velda {

struct PathParts {
    std::string folder;     // up to and with the last separator; "" for none
    std::string stem;       // the file name without its extension and dot
    std::string extension;  // without its dot; "" for none
    bool dot = false;       // the name has an extension's dot ("A." has one, empty)

    std::string Name() const { return dot ? stem + "." + extension : stem; }
};

// The bytes that separate folders on this system.
extern const char FolderSeparators[];

PathParts SplitPath(const std::string& path);

// A path inside a disk image ("GAMES/TITLE.SC5", in code page 932 as the
// MSX wrote it) split the same way, with '/' alone between its folders on
// every system: a second byte of code page 932 may be '\', never '/'.
PathParts SplitImagePath(const std::string& path);

// The file name of `path`, without its folder.
inline std::string FileNameOf(const std::string& path) { return SplitPath(path).Name(); }

// `path` with the extension of its file name replaced by `extension`
// (without a dot), or "." and `extension` appended when the name has none.
std::string WithExtension(const std::string& path, const std::string& extension);

// `folder` and `name` joined with the system's separator where `folder`
// lacks one; `name` alone for an empty folder.
std::string JoinPath(const std::string& folder, const std::string& name);

// `name` with its ASCII letters as capitals, as Windows and MSX-DOS
// compare names.
std::string FoldedName(const std::string& name);

// The order of names in a folder, for the window and the converter alike:
// ASCII letters without case (folded to capitals, as an NTFS folder lists
// them, so "zb.sc5" comes before "ZC.SC5" and "z.sc5" before "_.sc5"),
// every other byte as it is; names that are equal so are ordered by their
// bytes.
bool NameBefore(const std::string& a, const std::string& b);

// What two spellings of one file name in a folder share: the name folded
// to capitals on Windows, whose names differ only in more than the case of
// ASCII letters; the name itself on POSIX.
std::string NameKey(const std::string& name);

// A name as an MSX wrote it (code page 932) in UTF-8, read with the table
// of code page 932 whatever the system's own code page is. A byte that
// makes no character becomes '_'.
std::string NameFromCp932(const std::string& name);

// `name` as a terminal may show it: control bytes as '?'.
std::string PrintableName(std::string name);

// `name` (one file name, not a path) made harmless to create in a folder:
// whatever bytes a name from a disk image holds, the file stays inside the
// folder and names no device. Separators, control bytes and the characters
// Windows refuses become '_'; "." and ".." and the names Windows keeps for
// devices (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, with any extension)
// get a '_' in front; trailing dots and spaces, which Windows drops, go.
std::string HarmlessName(const std::string& name);

}  // namespace velda
