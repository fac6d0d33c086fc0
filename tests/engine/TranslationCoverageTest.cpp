// Every text that the code passes to the translation lookup must have an entry in both embedded
// translations.
//
// The scanner reads every .h and .cpp file under the source folder and takes each call of TRANS,
// translate or NEEDS_TRANS (the mark for a text that a table holds and the code translates when it
// shows it; a whole word followed by "(") whose argument begins with a string literal. Adjacent
// literals are joined as the compiler joins them, also across lines, and the usual escapes
// (\" \\ \n \r \t \') are resolved, so the key is the text the program looks up at run time. A call
// whose argument is not a literal (a variable, a function's result) cannot be checked here and is
// skipped; so is anything after the literals, such as TRANS("a" + b), which is checked as "a".
// Calls inside comments are taken like any other.
#include "engine/Translations.h"

#include <gtest/gtest.h>
#include <juce_core/juce_core.h>

#include <map>
#include <set>

using juce::String;

namespace
{
struct Occurrence
{
    String file;
    int line;
};

using KeyUses = std::map<String, Occurrence>;

bool isIdentifierCharacter(juce::juce_wchar c)
{
    return juce::CharacterFunctions::isLetterOrDigit(c) || c == '_';
}

/** Reads one string literal starting at its opening quote; returns the index after its closing
    quote and appends its unescaped text. */
int readLiteral(const String& text, int index, String& result)
{
    for (++index; index < text.length(); ++index)
    {
        auto c = text[index];
        if (c == '"')
            return index + 1;
        if (c == '\\' && index + 1 < text.length())
        {
            auto escaped = text[++index];
            switch (escaped)
            {
            case 'n':
                c = '\n';
                break;
            case 'r':
                c = '\r';
                break;
            case 't':
                c = '\t';
                break;
            default:
                c = escaped;
                break;
            }
        }
        result << String::charToString(c);
    }
    return index;
}

int skipBlanks(const String& text, int index)
{
    while (index < text.length() && juce::CharacterFunctions::isWhitespace(text[index]))
        ++index;
    return index;
}

/** The key of the call whose "(" stands at index, or an empty text when it isn't a literal. */
String keyOfCall(const String& text, int index)
{
    String key;
    index = skipBlanks(text, index + 1);
    while (index < text.length() && text[index] == '"')
        index = skipBlanks(text, readLiteral(text, index, key));
    return key;
}

void collectKeys(const juce::File& file, KeyUses& uses)
{
    const auto text = file.loadFileAsString();
    for (auto* name : {"TRANS", "translate", "NEEDS_TRANS"})
    {
        for (int at = text.indexOf(name); at >= 0; at = text.indexOf(at + 1, name))
        {
            const int end = at + static_cast<int>(std::strlen(name));
            if ((at > 0 && isIdentifierCharacter(text[at - 1])) || isIdentifierCharacter(text[end]))
                continue;
            const int open = skipBlanks(text, end);
            if (text[open] != '(')
                continue;
            const auto key = keyOfCall(text, open);
            if (key.isNotEmpty() && uses.count(key) == 0)
                uses[key] = {file.getRelativePathFrom(juce::File(QZ_SOURCE_DIR)),
                             text.substring(0, at).retainCharacters("\n").length() + 1};
        }
    }
}

KeyUses keysUsedInSource()
{
    KeyUses uses;
    const juce::File sourceFolder(QZ_SOURCE_DIR);
    for (const auto& entry : juce::RangedDirectoryIterator(sourceFolder, true, "*.h;*.cpp"))
        collectKeys(entry.getFile(), uses);
    return uses;
}

/** The number of entry lines in a translation text, counted the way the framework recognises
    them: a trimmed line that begins with a double quote. */
int entryLines(const String& translation)
{
    juce::StringArray lines;
    lines.addLines(translation);
    int count = 0;
    for (auto& line : lines)
        if (line.trim().startsWithChar('"'))
            ++count;
    return count;
}

/** A key as it is written in a translation text. */
String asTextLine(const String& key)
{
    return key.replace("\"", "\\\"").replace("\t", "\\t").replace("\r", "\\r").replace("\n", "\\n");
}

struct Language
{
    const char* name;
    String text;
};

std::vector<Language> languages()
{
    return {{"trans_cn_h", Translations::trans_cn_h()}, {"trans_tw_h", Translations::trans_tw_h()}};
}
} // namespace

TEST(TranslationCoverageTest, TheScannerFindsTheTextsItMustCheck)
{
    const auto uses = keysUsedInSource();
    // Known texts of the application and the time scale, one of them with blanks around it, and
    // one of the preferences' table, marked for translation.
    for (auto* key : {"Ah oh", "This program has been running.", " hours ", " seconds", "Interface language"})
        EXPECT_EQ(uses.count(key), 1u) << "the scanner missed \"" << key << "\"";
}

TEST(TranslationCoverageTest, EveryShownTextIsTranslatedInBothLanguages)
{
    const auto uses = keysUsedInSource();
    for (auto& language : languages())
    {
        const juce::LocalisedStrings strings(language.text, true);
        const auto& mappings = strings.getMappings();

        // Listed as the lines to add, so that they can be pasted into the text and translated.
        String missing;
        for (auto& [key, where] : uses)
            if (!mappings.containsKey(key) || mappings[key].isEmpty())
                missing << "\n\"" << asTextLine(key) << "\" = \"\"    (" << where.file << ":" << where.line
                        << ")";

        EXPECT_TRUE(missing.isEmpty()) << language.name << " lacks these texts:" << missing;
        EXPECT_EQ(strings.getLanguageName(), "Chinese") << language.name;
    }
}

TEST(TranslationCoverageTest, EveryLineOfTheTextsIsOneEntry)
{
    // A line the framework drops (an empty translation, a stray quote) or a key given twice (keys
    // are matched ignoring case) leaves fewer mappings than entry lines.
    for (auto& language : languages())
    {
        const juce::LocalisedStrings strings(language.text, true);
        EXPECT_EQ(strings.getMappings().size(), entryLines(language.text)) << language.name;
        EXPECT_GT(strings.getMappings().size(), 0) << language.name;
    }
}

TEST(TranslationCoverageTest, BothTextsHoldTheSameKeysInTheirOwnScript)
{
    const juce::LocalisedStrings simplified(Translations::trans_cn_h(), true);
    const juce::LocalisedStrings traditional(Translations::trans_tw_h(), true);
    EXPECT_EQ(simplified.getCountryCodes(), juce::StringArray("cn"));
    EXPECT_EQ(traditional.getCountryCodes(), juce::StringArray("tw"));

    const auto& cn = simplified.getMappings();
    const auto& tw = traditional.getMappings();
    ASSERT_EQ(cn.size(), tw.size());

    int same = 0;
    for (auto& key : cn.getAllKeys())
    {
        EXPECT_TRUE(tw.containsKey(key)) << "trans_tw_h lacks \"" << key << "\"";
        if (cn[key] == tw[key])
            ++same;
    }
    // Short texts can read the same in both scripts; most cannot.
    EXPECT_LT(same * 5, cn.size()) << same << " of " << cn.size()
                                   << " translations are the same in both texts";
}

TEST(TranslationCoverageTest, DateNamesStayEnglish)
{
    // The framework passes month and weekday names through the same lookup, and stored dates such
    // as "9 Dec 2026" must keep their English names to be read back.
    const char* names[] = {"Jan",  "Feb",   "Mar",   "Apr",    "May",     "Jun",      "Jul",
                           "Aug",  "Sep",   "Oct",   "Nov",    "Dec",     "Sun",      "Mon",
                           "Tue",  "Wed",   "Thu",   "Fri",    "Sat",     "January",  "June",
                           "July", "March", "April", "August", "October", "November", "December"};
    for (auto& language : languages())
    {
        const juce::LocalisedStrings strings(language.text, true);
        for (auto* name : names)
            EXPECT_FALSE(strings.getMappings().containsKey(name)) << language.name << " translates " << name;
    }
}
