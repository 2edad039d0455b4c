// The letters of names, as MSX-DOS and Windows compare them: ASCII letters
// in either case, every other byte as it is. Where a name is in a
// double-byte code page (code page 932 on the MSX and on a Japanese
// Windows), a lead byte and the byte after it make one character whose
// second byte may look like a letter; such a pair is never changed, so
// the letters are changed as a stepping through the characters allows.
#pragma once

#include <cstddef>
#include <string>

namespace velda {

// How many bytes the character at `at` of `text` takes.
using CharacterStep = std::size_t (*)(const std::string& text, std::size_t at);

// One byte a character: ASCII, UTF-8 (whose other bytes are never letters)
// and single-byte code pages.
std::size_t SingleByteStep(const std::string& text, std::size_t at);

// Code page 932, as the MSX writes names: 2 for a lead byte (0x81-0x9F,
// 0xE0-0xFC) followed by a second byte (0x40-0xFC), otherwise 1.
std::size_t Cp932Step(const std::string& text, std::size_t at);

// `text` with the ASCII letters of its single-byte characters as capitals,
// or as small letters.
std::string Capitals(std::string text, CharacterStep step = SingleByteStep);
std::string SmallLetters(std::string text, CharacterStep step = SingleByteStep);

// Whether `text` holds an ASCII small letter.
bool HasSmallLetter(const std::string& text);

}  // namespace velda
