#include "workspace/WordSelection.h"

#include "platform/CharacterClassification.h"

namespace
{
/** Full-width and typographic marks of Chinese text. Some classifications count a few of them
    as letters; they end a word all the same. */
const juce::String& wordEndingMarks()
{
    static const juce::String marks = juce::String::fromUTF8("，。…—、《》；：？！“”（）·");
    return marks;
}

bool isLineBreak(juce::juce_wchar character)
{
    return character == '\r' || character == '\n';
}

template <typename Predicate>
int scanForward(juce::CharPointer_UTF32 text, int length, int from, Predicate take)
{
    while (from < length && take(text[from]))
        ++from;
    return from;
}

template <typename Predicate> int scanBackward(juce::CharPointer_UTF32 text, int from, Predicate take)
{
    while (from > 0 && take(text[from - 1]))
        --from;
    return from;
}
} // namespace

bool WordSelection::isWordCharacter(juce::juce_wchar character)
{
    // A program starts with a classification that knows no letter above U+007F.
    static const bool unicodeLetters = CharacterClassification::useUnicodeLetters();
    juce::ignoreUnused(unicodeLetters);

    return juce::CharacterFunctions::isLetterOrDigit(character) && !wordEndingMarks().containsChar(character);
}

juce::Range<int> WordSelection::rangeForClicks(const juce::String& text, int index, int numberOfClicks)
{
    const auto characters = text.toUTF32();
    const auto length = (int)characters.length();

    if (numberOfClicks >= 4)
        return {0, length};

    const auto notLineBreak = [](juce::juce_wchar c) { return !isLineBreak(c); };
    auto end = scanForward(characters, length, juce::jlimit(0, length, index), isWordCharacter);
    auto start = scanBackward(characters, end, isWordCharacter);

    if (numberOfClicks == 3)
    {
        end = scanForward(characters, length, end, notLineBreak);
        start = scanBackward(characters, start, notLineBreak);
    }
    return {start, end};
}
