#include "image/name_letters.h"

#include <algorithm>
#include <utility>

namespace velda {

namespace {

bool IsSmall(char c) { return c >= 'a' && c <= 'z'; }
bool IsCapital(char c) { return c >= 'A' && c <= 'Z'; }
constexpr char CaseDistance = 'a' - 'A';

bool IsCp932Lead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsCp932Trail(unsigned char b) { return b >= 0x40 && b <= 0xFC; }

template <class Change>
std::string ChangeSingleBytes(std::string text, CharacterStep step, Change change) {
    for (std::size_t i = 0; i < text.size(); i += step(text, i)) {
        if (step(text, i) == 1) text[i] = change(text[i]);
    }
    return text;
}

}  // namespace

std::size_t SingleByteStep(const std::string&, std::size_t) { return 1; }

std::size_t Cp932Step(const std::string& text, std::size_t at) {
    const bool pair = IsCp932Lead(static_cast<unsigned char>(text[at])) && at + 1 < text.size() &&
                      IsCp932Trail(static_cast<unsigned char>(text[at + 1]));
    return pair ? 2 : 1;
}

std::string Capitals(std::string text, CharacterStep step) {
    return ChangeSingleBytes(std::move(text), step,
                             [](char c) { return IsSmall(c) ? static_cast<char>(c - CaseDistance) : c; });
}

std::string SmallLetters(std::string text, CharacterStep step) {
    return ChangeSingleBytes(std::move(text), step,
                             [](char c) { return IsCapital(c) ? static_cast<char>(c + CaseDistance) : c; });
}

bool HasSmallLetter(const std::string& text) { return std::any_of(text.begin(), text.end(), IsSmall); }

}  // namespace velda
