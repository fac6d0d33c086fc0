#pragma once

#include <juce_data_structures/juce_data_structures.h>

/** The model of the one open course.

    For now it holds only the names of the course tree: the type of the root and of its children,
    and every property key. The same texts are the element and attribute names of the course text,
    so the code that writes a new course text uses them as well. The tree itself, its loading,
    saving and views come next. */
class CourseModel
{
public:
    // Tree types.
    static const juce::Identifier COURSE;
    static const juce::Identifier SENTENCE;

    // Properties of the course (the root).
    static const juce::Identifier AudioFile;
    static const juce::Identifier LearnDate;
    static const juce::Identifier CourseName;
    static const juce::Identifier CourseLength;
    static const juce::Identifier CourseSeconds;
    static const juce::Identifier TotalSentences;
    static const juce::Identifier TotalNeedReview;
    static const juce::Identifier NextNeedReview;
    static const juce::Identifier NowStatus;
    static const juce::Identifier Notes;

    // Properties of a sentence.
    static const juce::Identifier StartSamples;
    static const juce::Identifier EndSamples;
    static const juce::Identifier EnglishText;
    static const juce::Identifier ChineseText;
    static const juce::Identifier NeedReview;
    static const juce::Identifier NextIntervalDays;
    static const juce::Identifier TotalReviews;
    static const juce::Identifier CorrectTimes;

    // Both the course and each sentence carry their next review date.
    static const juce::Identifier NextReviewDate;
};
