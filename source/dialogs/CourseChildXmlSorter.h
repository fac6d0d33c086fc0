#pragma once

#include <juce_core/juce_core.h>

/** Orders the rows of the course library's table, for juce::XmlElement::sortChildElements. Each
    row element holds the text of column n in its attribute "c" + n. */
class CourseChildXmlSorter
{
public:
    /** direction: 1 ascending, -1 descending. */
    CourseChildXmlSorter(int columnId, int direction);

    /** The sentence counts (columns 5 and 6) compare as numbers; every other column compares its
        text, ignoring case. Negative, 0 or positive as a sorts before, with or after b. */
    int compareElements(const juce::XmlElement* a, const juce::XmlElement* b) const;

private:
    int columnId;
    int direction;
};
