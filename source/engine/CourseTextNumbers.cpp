#include "engine/CourseTextNumbers.h"

#include "engine/CourseModel.h"

#include <limits>

namespace
{
constexpr juce::int64 largest = std::numeric_limits<int>::max();

/** The number the text begins with, its magnitude held just past the bound; 0 without digits. */
juce::int64 readBounded(const juce::String& text)
{
    auto p = text.getCharPointer().findEndOfWhitespace();
    const bool negative = *p == '-';
    if (negative)
        ++p;
    juce::int64 value = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        value = juce::jmin(largest + 1, value * 10 + (juce::int64)(*p - '0'));
    return negative ? -value : value;
}
} // namespace

int CourseTextNumbers::readInt(const juce::String& text)
{
    return (int)juce::jlimit(-largest, largest, readBounded(text));
}

void CourseTextNumbers::keepWithinInt(juce::XmlElement& course)
{
    const auto keepAttributes = [](juce::XmlElement& element)
    {
        for (int i = 0; i < element.getNumAttributes(); ++i)
        {
            const auto text = element.getAttributeValue(i);
            const auto value = readBounded(text);
            if (value < -largest || value > largest)
                element.setAttribute(element.getAttributeName(i), readInt(text));
        }
    };
    keepAttributes(course);
    for (auto* sentence : course.getChildIterator())
        keepAttributes(*sentence);
}

void CourseTextNumbers::keepSentencesWithin(juce::XmlElement& course, juce::int64 audioLength)
{
    const auto limit = juce::jlimit<juce::int64>(0, largest - 1, audioLength);
    for (auto* sentence : course.getChildIterator())
        for (const auto* key : {&CourseModel::StartSamples, &CourseModel::EndSamples})
            if (sentence->hasAttribute(key->toString()))
            {
                const auto value = readBounded(sentence->getStringAttribute(*key));
                if (value < 0 || value > limit)
                    sentence->setAttribute(*key, (int)juce::jlimit<juce::int64>(0, limit, value));
            }
}
