#include "editor/document/help_file.h"

#include <gtest/gtest.h>

TEST(HelpFile, EnglishOpensItsOwnHelpOrTheJapaneseOneTellingSoOnce) {
    bool told = false;
    HelpChoice choice = ChooseCompiledHelp(Language::Japanese, false, told);
    EXPECT_STREQ(choice.file, "Help.chm");
    EXPECT_FALSE(choice.tellFallback);
    choice = ChooseCompiledHelp(Language::English, true, told);
    EXPECT_STREQ(choice.file, "Help-en.chm");
    EXPECT_FALSE(choice.tellFallback);
    for (bool first : {true, false}) {
        choice = ChooseCompiledHelp(Language::English, false, told);
        EXPECT_STREQ(choice.file, "Help.chm");
        EXPECT_EQ(choice.tellFallback, first);
    }
    EXPECT_STREQ(HelpSiteFolder(Language::Japanese), "help/");
    EXPECT_STREQ(HelpSiteFolder(Language::English), "help/en/");
}
