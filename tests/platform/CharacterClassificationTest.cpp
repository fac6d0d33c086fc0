// The C library's classification follows the character-type locale, in which a program starts
// knowing no letter above U+007F.
#include "platform/CharacterClassification.h"

#include <gtest/gtest.h>
#include <juce_core/juce_core.h>

#include <clocale>
#include <cstdlib>
#include <string>

TEST(CharacterClassificationTest, ChineseBecomesLettersEvenInAPlainCEnvironment)
{
    const std::string numeric = std::setlocale(LC_NUMERIC, nullptr);
    const char* environmentBefore = std::getenv("LC_ALL");
    const std::string savedEnvironment = environmentBefore != nullptr ? environmentBefore : "";
    ::setenv("LC_ALL", "C", 1); // the user's locale knows no Chinese letters either
    ASSERT_NE(std::setlocale(LC_CTYPE, "C"), nullptr);
    ASSERT_FALSE(CharacterClassification::classifiesChinese()) << "the starting locale already knows Chinese";

    EXPECT_TRUE(CharacterClassification::useUnicodeLetters());
    EXPECT_TRUE(CharacterClassification::classifiesChinese());
    EXPECT_TRUE(juce::CharacterFunctions::isLetterOrDigit((juce::juce_wchar)0x00E9))
        << "accented Latin letters too";
    EXPECT_FALSE(juce::CharacterFunctions::isLetterOrDigit((juce::juce_wchar)0xFF0C))
        << "punctuation stays punctuation";
    EXPECT_EQ(std::setlocale(LC_NUMERIC, nullptr), numeric) << "number formats must not change";

    EXPECT_TRUE(CharacterClassification::useUnicodeLetters()) << "a second call keeps the locale";
    EXPECT_TRUE(CharacterClassification::classifiesChinese());

    if (environmentBefore != nullptr)
        ::setenv("LC_ALL", savedEnvironment.c_str(), 1);
    else
        ::unsetenv("LC_ALL");
}
