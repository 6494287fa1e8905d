// Lower-casing of letters across the covered scripts, of characters without case, and of whole text.
#include "foundation/case_fold.h"

#include <gtest/gtest.h>

TEST(CaseFold, LowersTheLettersOfEveryCoveredScript) {
    struct Row {
        char32_t upper;
        char32_t lower;
    };
    for (const Row& r : {Row{U'A', U'a'},   Row{U'Z', U'z'}, Row{U'É', U'é'},
                         Row{U'Þ', U'þ'},   Row{U'Ā', U'ā'}, Row{U'Ł', U'ł'},
                         Row{U'Ž', U'ž'},   Row{U'Ÿ', U'ÿ'}, Row{U'İ', U'i'},
                         Row{U'Ǎ', U'ǎ'},   Row{U'Ά', U'ά'}, Row{U'Έ', U'έ'},
                         Row{U'Ώ', U'ώ'},   Row{U'Σ', U'σ'}, Row{U'Ϋ', U'ϋ'},
                         Row{U'Ё', U'ё'},   Row{U'Я', U'я'}, Row{U'Ѡ', U'ѡ'},
                         Row{U'Ӂ', U'ӂ'},   Row{U'Ա', U'ա'}, Row{U'Ḁ', U'ḁ'},
                         Row{U'Ỹ', U'ỹ'},   Row{U'Ἀ', U'ἀ'}, Row{U'Ⅻ', U'ⅻ'},
                         Row{U'Ａ', U'ａ'}, Row{U'ẞ', U'ß'}, Row{U'\U00010400', U'\U00010428'}}) {
        EXPECT_EQ(static_cast<unsigned>(ToLowerUnicode(r.upper)), static_cast<unsigned>(r.lower))
            << std::hex << static_cast<unsigned>(r.upper);
    }
    // Small letters, letters without case, digits and the characters between the ranges stay.
    for (char32_t c : {U'a', U'é', U'ı', U'ĸ', U'ŉ', U'σ', U'ς', U'я', U'7', U'_', U'×', U'中', U'\u03A2'})
        EXPECT_EQ(ToLowerUnicode(c), c) << std::hex << static_cast<unsigned>(c);
}

TEST(CaseFold, LowersWholeText) { EXPECT_EQ(ToLowerUnicode(L"Größe ÄÖÜ Ωmega"), L"größe äöü ωmega"); }
