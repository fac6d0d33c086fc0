// The usage statistics that the settings object keeps in the settings file.
#include "engine/SystemModel.h"

#include "engine/Clock.h"
#include "engine/DocumentManager.h"
#include "engine/GlobalData.h"

#include <juce_gui_basics/juce_gui_basics.h>

using juce::String;

const String SystemModel::TotalLearnTime = "TotalLearnTime";
const String SystemModel::TotalReviewTime = "TotalReviewTime";
const String SystemModel::TotalReviewSentences = "TotalReviewSentences";

void SystemModel::startTiming()
{
    timingStart = Clock::millisecondCounter();
    timing = true;
}

void SystemModel::stopTiming(bool learning)
{
    if (!timing)
        return;

    // The unsigned difference stays right across one wrap of the counter.
    const juce::uint32 elapsedMs = Clock::millisecondCounter() - timingStart;
    const int elapsedSeconds = int(elapsedMs / 1000.0);
    const auto& key = learning ? TotalLearnTime : TotalReviewTime;
    properties->setValue(key, properties->getIntValue(key) + elapsedSeconds);

    timingStart = 0;
    timing = false;
    properties->saveIfNeeded();
}

void SystemModel::reviewSentenceAddOne()
{
    properties->setValue(TotalReviewSentences, properties->getIntValue(TotalReviewSentences) + 1);
    properties->saveIfNeeded();
}

void SystemModel::reviewSentenceMinusOne()
{
    properties->setValue(TotalReviewSentences,
                         juce::jmax(0, properties->getIntValue(TotalReviewSentences) - 1));
    properties->saveIfNeeded();
}

String SystemModel::getStatisticsTitle() const
{
    return TRANS("Current level: ") + "+" + String(properties->getIntValue(TotalReviewSentences) / 100);
}

String SystemModel::getStatisticsText() const
{
    const int sentences = properties->getIntValue(TotalReviewSentences);
    const int learnSeconds = properties->getIntValue(TotalLearnTime);
    const int reviewSeconds = properties->getIntValue(TotalReviewTime);

    const auto firstUse = DocumentManager::timeFromTimeString(properties->getValue(FirstUsingDate));
    const int days = std::abs(DocumentManager::getDaysFromDate(firstUse)) + 1; // the first day counts
    const double dailyLearn = learnSeconds / double(days);
    const double dailyReview = reviewSeconds / double(days);
    const auto duration = [](double seconds) { return GlobalData::secondsToHmsString(seconds, false); };

    juce::StringArray lines;
    lines.add(TRANS("Total unfamiliar sentences learned: ") + String(sentences));
    lines.add(TRANS("Total days: ") + String(days));
    lines.add(TRANS("Average daily unfamiliar sentences: ") +
              String(juce::roundToInt(sentences / double(days))));
    lines.add({});
    lines.add(TRANS("Total time: ") + duration(learnSeconds + reviewSeconds));
    lines.add(TRANS("Daily average time: ") + duration(dailyLearn + dailyReview));
    lines.add({});
    lines.add(TRANS("Total learning time: ") + duration(learnSeconds));
    lines.add(TRANS("Daily average learning time: ") + duration(dailyLearn));
    lines.add(TRANS("Total review time: ") + duration(reviewSeconds));
    lines.add(TRANS("Daily average review time: ") + duration(dailyReview));
    return lines.joinIntoString("\r\n");
}

void SystemModel::popStatisticsWindow()
{
    juce::AlertWindow::showMessageBox(juce::MessageBoxIconType::InfoIcon, getStatisticsTitle(),
                                      getStatisticsText());
}
