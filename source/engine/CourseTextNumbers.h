#pragma once

#include <juce_core/juce_core.h>

/** The numbers of a course text from elsewhere (an archive, courseware, a hand edit), made safe to
    read before anything reads them.

    The framework reads an attribute's whole number by wrapping it around into an int, and the one
    text "-2147483648" it can't read without undefined behaviour. Sample positions far beyond the
    audio overflow every length and pixel worked out from them. */
class CourseTextNumbers
{
public:
    CourseTextNumbers() = delete;

    /** Rewrites every attribute of the element and of its children whose text begins with a whole
        number beyond +-2147483647 as that nearest bound. */
    static void keepWithinInt(juce::XmlElement& course);

    /** Keeps every sentence's start and end within 0 and the audio's length in samples (an end
        may stand one past the last sample, as the last sentence of a new course does). */
    static void keepSentencesWithin(juce::XmlElement& course, juce::int64 audioLength);

    /** The whole number the text begins with, as the framework reads it (blanks, an optional
        minus sign, digits), but kept within +-2147483647 instead of wrapping around. */
    static int readInt(const juce::String& text);
};
