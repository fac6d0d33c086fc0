#pragma once

#include <juce_core/juce_core.h>

/** What a double, triple or quadruple click selects in qZ's text editors.

    Sentences and notes mix a foreign language with Chinese, which has no blanks between words
    and uses full-width punctuation. A word is therefore a run of letters and digits as the
    platform classifies them, cut at the Chinese punctuation marks, and nothing above U+007F is a
    letter just because it is not ASCII. */
class WordSelection
{
public:
    WordSelection() = delete;

    /** A letter or digit by the platform's wide-character classification that is not one of the
        punctuation marks that always end a word. */
    static bool isWordCharacter(juce::juce_wchar character);

    /** The range that a click of numberOfClicks (two or more) at index selects in text: the word
        the index ends up in for two, the whole line without its break for three, everything for
        four or more. The word is found forward from index first and then backward from where
        that scan stopped, so a click on a mark or blank right after a word selects that word. */
    static juce::Range<int> rangeForClicks(const juce::String& text, int index, int numberOfClicks);
};
