#pragma once

#include <juce_core/juce_core.h>

/** Orders sentence elements of a course text by their first sample, for
    juce::XmlElement::sortChildElements. */
class XmlChildComparator
{
public:
    /** -1, 0 or 1 as a's StartSamples is smaller than, equal to or greater than b's. */
    static int compareElements(const juce::XmlElement* a, const juce::XmlElement* b);
};
