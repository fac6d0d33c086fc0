#include "engine/CourseModel.h"

const juce::Identifier CourseModel::COURSE("COURSE");
const juce::Identifier CourseModel::SENTENCE("SENTENCE");

const juce::Identifier CourseModel::AudioFile("AudioFile");
const juce::Identifier CourseModel::LearnDate("LearnDate");
const juce::Identifier CourseModel::CourseName("CourseName");
const juce::Identifier CourseModel::CourseLength("CourseLength");
const juce::Identifier CourseModel::CourseSeconds("CourseSeconds");
const juce::Identifier CourseModel::TotalSentences("TotalSentences");
const juce::Identifier CourseModel::TotalNeedReview("TotalNeedReview");
const juce::Identifier CourseModel::NextNeedReview("NextNeedReview");
const juce::Identifier CourseModel::NowStatus("NowStatus");
const juce::Identifier CourseModel::Notes("Notes");

const juce::Identifier CourseModel::StartSamples("StartSamples");
const juce::Identifier CourseModel::EndSamples("EndSamples");
const juce::Identifier CourseModel::EnglishText("EnglishText");
const juce::Identifier CourseModel::ChineseText("ChineseText");
const juce::Identifier CourseModel::NeedReview("NeedReview");
const juce::Identifier CourseModel::NextIntervalDays("NextIntervalDays");
const juce::Identifier CourseModel::TotalReviews("TotalReviews");
const juce::Identifier CourseModel::CorrectTimes("CorrectTimes");

const juce::Identifier CourseModel::NextReviewDate("NextReviewDate");
