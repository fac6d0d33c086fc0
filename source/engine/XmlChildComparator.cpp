#include "engine/XmlChildComparator.h"

#include "engine/CourseModel.h"

int XmlChildComparator::compareElements(const juce::XmlElement* a, const juce::XmlElement* b)
{
    const int startA = a->getIntAttribute(CourseModel::StartSamples);
    const int startB = b->getIntAttribute(CourseModel::StartSamples);
    if (startA < startB)
        return -1;
    return startA == startB ? 0 : 1;
}
