#include "dialogs/CourseChildXmlSorter.h"

CourseChildXmlSorter::CourseChildXmlSorter(int column, int sortDirection)
    : columnId(column), direction(sortDirection)
{
}

int CourseChildXmlSorter::compareElements(const juce::XmlElement* a, const juce::XmlElement* b) const
{
    const juce::String attribute("c" + juce::String(columnId));
    int result = 0;
    if (columnId == 5 || columnId == 6)
    {
        const int first = a->getIntAttribute(attribute), second = b->getIntAttribute(attribute);
        result = first < second ? -1 : (first > second ? 1 : 0);
    }
    else
    {
        result = a->getStringAttribute(attribute).compareIgnoreCase(b->getStringAttribute(attribute));
    }
    return result * direction;
}
