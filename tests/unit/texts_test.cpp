#include "text/texts.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "editor/editor.h"
#include "editor/view/draw_frame.h"
#include "render/glyph_text.h"

namespace {

// The conversions of a format text in order ("%d", "%s", ...), with "%%" left out: a translation that changed them
// would read the wrong arguments.
std::string Conversions(const char* text) {
    std::string found;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c != '%')
            continue;
        ++c;
        if (*c == '%')
            continue;
        found += '%';
        while (*c != '\0' && std::string("diuxXscfgp").find(*c) == std::string::npos)
            found += *c++;
        found += *c;
        if (*c == '\0')
            break;
    }
    return found;
}

// Sets a language for one test and puts Japanese back after it.
struct InLanguage {
    explicit InLanguage(Language language) { SetLanguage(language); }
    ~InLanguage() { SetLanguage(Language::Japanese); }
};

}  // namespace

TEST(Texts, EveryTextHasBothLanguagesWithTheSameConversions) {
    std::set<std::string> keys;
    for (const TextRow& row : kTextRows) {
        ASSERT_NE(row.key, nullptr);
        EXPECT_TRUE(keys.insert(row.key).second) << "twice: " << row.key;
        ASSERT_NE(row.japanese, nullptr) << row.key;
        ASSERT_NE(row.english, nullptr) << row.key;
        EXPECT_STRNE(row.japanese, "") << row.key;
        EXPECT_STRNE(row.english, "") << row.key;
        EXPECT_EQ(Conversions(row.japanese), Conversions(row.english)) << row.key;
    }
    EXPECT_EQ(Conversions("%d of %5.1f%% at %s"), "%d%5.1f%s");
    EXPECT_EQ(keys.size(), static_cast<size_t>(kTextCount));
}

TEST(Texts, TheLanguageChosenIsTheOneEveryTextIsReadIn) {
    EXPECT_EQ(CurrentLanguage(), Language::Japanese);
    EXPECT_STREQ(TextOf(TextId::SaveFailed), "ファイルの保存に失敗しました");
    {
        InLanguage english(Language::English);
        EXPECT_STREQ(TextOf(TextId::SaveFailed), "The file could not be saved.");
        EXPECT_STREQ(TextIn(TextId::SaveFailed, Language::Japanese), "ファイルの保存に失敗しました");
        // The status strip's texts, built from the table's pieces.
        char text[kStatusTextCapacity];
        FormatCubeCount(37, text);
        EXPECT_STREQ(text, "Cubes: 37/10000");
        MirrorState mirror;
        mirror.on[0] = mirror.on[2] = true;
        FormatMirror(mirror, text);
        EXPECT_STREQ(text, "Mirror: X Z");
    }
    char text[kStatusTextCapacity];
    MirrorState mirror;
    mirror.on[1] = mirror.on[2] = true;
    FormatMirror(mirror, text);
    EXPECT_STREQ(text, "ミラー：Y Z");
    // Either end of the table.
    EXPECT_STREQ(TextIn(TextId::SaveFailed, Language::English), kTextRows[0].english);
    EXPECT_STREQ(TextIn(TextId::NoButton, Language::Japanese), kTextRows[kTextCount - 1].japanese);
}

TEST(Texts, TheStatusStripHasAGlyphForEveryCharacterOfItsTextsInBothLanguages) {
    uint32_t codes[kMaxGlyphs];
    const int32_t count = GlyphCodePoints(codes);
    const std::set<uint32_t> glyphs(codes, codes + count);
    EXPECT_EQ(glyphs.size(), static_cast<size_t>(count)) << "a character listed twice";
    for (const TextId id : {TextId::CubeCountFormat, TextId::CannotCreate, TextId::MirrorLabel, TextId::SelectionFormat}) {
        for (const Language language : {Language::Japanese, Language::English}) {
            const char* text = TextIn(id, language);
            for (uint32_t code = NextCodePoint(text); code != 0; code = NextCodePoint(text)) {
                if (code == '%') {  // a conversion stands for digits
                    NextCodePoint(text);
                    continue;
                }
                EXPECT_EQ(glyphs.count(code), 1u) << kTextRows[static_cast<int>(id)].key << " needs U+" << std::hex
                                                  << code;
            }
        }
    }
}
