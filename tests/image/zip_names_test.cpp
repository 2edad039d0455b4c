// Which names of a ZIP archive that name no encoding are read as code page
// 932: the rule between Japanese tools and Western ones, case by case.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/zip_archive.h"

namespace velda {
namespace {

TEST(ZipNames, Cp932WhereEveryNameReadsAsOne) {
    const struct {
        std::vector<std::string> names;
        bool cp932;
    } rows[] = {
        {{"\x83\x5E\x83\x43\x83\x67\x83\x8B.SC5"}, true},  // タイトル
        {{"\x8A\x47" "AA.SC5"}, true},                     // 絵AA: one kanji
        {{"\xB6\xD0.SC5", "TITLE.SC5"}, true},             // half-width ｶﾐ
        {{"\x8A\x47.SC5", "Caf\x82.SC5"}, false},          // é before a dot is no code page 932
        {{"\xA5" "and\xA3.SC5"}, false},                   // Ñandú: code page 932's half-width ･ and ｣
        {{"ch\x83teau.SC5"}, false},                       // château: a lone character between small letters
        {{"M\x81ller.SC5"}, false},                        // Müller: ′, no Japanese letter
        {{"\x9A" "ber.SC5"}, true},                        // Über alone: a kanji
        {{"\x81\x45.SC5"}, false},                         // ・ alone: no Japanese letter
        {{}, false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ReadAsCp932(row.names), row.cp932) << (row.names.empty() ? "" : row.names.front());
    }
}

}  // namespace
}  // namespace velda
