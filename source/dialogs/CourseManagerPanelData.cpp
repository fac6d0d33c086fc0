// The rows of the course library's table and the forecast above it, read from the archives.
#include "dialogs/CourseManagerPanel.h"

#include "engine/Clock.h"
#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"
#include "engine/GlobalData.h"
#include "workspace/Main.h"

namespace
{
/** The date part of the framework's date text: "2 Apr 2017". */
juce::String dateOnly(const juce::Time& time)
{
    return time.toString(true, false);
}

/** The mobile file's length in seconds; nullopt when no reader opens it. */
std::optional<double> lengthOf(const juce::File& audio)
{
    if (formatManager == nullptr)
        return std::nullopt;
    std::unique_ptr<juce::AudioFormatReader> reader(formatManager->createReaderFor(audio));
    if (reader == nullptr || reader->sampleRate <= 0.0)
        return std::nullopt;
    return (double)reader->lengthInSamples / reader->sampleRate;
}
} // namespace

juce::File CourseManagerPanel::mobileFileOf(const juce::File& archive)
{
    return DocumentManager::MobileDir().getChildFile("M-" + archive.getFileNameWithoutExtension() + ".ogg");
}

juce::String CourseManagerPanel::learnDateFromName(const juce::String& nameWithoutExtension)
{
    // "2017-0402-1530-07" gives "2017-04-02".
    const auto date = nameWithoutExtension.dropLastCharacters(8);
    if (date.length() < 7)
        return date + "-";
    return date.substring(0, 7) + "-" + date.substring(7);
}

void CourseManagerPanel::loadData()
{
    const auto waveform = DocumentManager::getCourseFile(DocumentManager::waveformFile);
    openCourseStem = waveform != juce::File() ? waveform.getFileNameWithoutExtension() : juce::String();

    archives = DocumentManager::CourseDir().findChildFiles(juce::File::findFiles, false, "*");
    archives.removeIf([](const juce::File& file) { return file.getFileExtension() != ".mqz"; });
    numRows = archives.size();
    for (auto& day : sums)
        day = {};

    for (int i = 0; i < archives.size();)
    {
        const auto course = DocumentManager::readArchivedCourseText(archives[i]);
        auto row = course != nullptr ? makeRow(archives[i], *course) : nullptr;
        if (row == nullptr)
        {
            // No course text that reads: no row, and nothing in the forecast.
            archives.remove(i);
            --numRows;
            continue;
        }
        CoursesData->addChildElement(row.release());
        ++i;
    }

    summaryLabel->setText(forecastText(), juce::dontSendNotification);
    summaryLabel->setJustificationType(juce::Justification::centredRight);
}

std::unique_ptr<juce::XmlElement> CourseManagerPanel::makeRow(const juce::File& archive,
                                                              const juce::XmlElement& course)
{
    const auto nextReview = course.getStringAttribute(CourseModel::NextReviewDate);
    const double courseSeconds = course.getDoubleAttribute(CourseModel::CourseSeconds, 0.0);
    const auto mobile = mobileFileOf(archive);
    const bool mobileExists = mobile.existsAsFile();
    // A mobile file that no reader opens is there, but holds nothing to hear.
    const double mobileSeconds = mobileExists ? lengthOf(mobile).value_or(0.0) : 0.0;

    auto row = std::make_unique<juce::XmlElement>("CourseData");
    row->setAttribute("FilePath", archive.getFullPathName());
    row->setAttribute("c2", course.getStringAttribute(CourseModel::CourseName));
    row->setAttribute("c3", learnDateFromName(archive.getFileNameWithoutExtension()));
    row->setAttribute("c4", DocumentManager::transTimeString(nextReview));
    // Due by the same reading of the date as the due scan's, so the colour agrees with it.
    if (DocumentManager::isDue(DocumentManager::dueTimeFromTimeString(nextReview)))
        row->setAttribute("TodayNeedReview", "TodayNeedReview");
    row->setAttribute("c5", course.getStringAttribute(CourseModel::TotalSentences));
    row->setAttribute("c6", course.getStringAttribute(CourseModel::TotalNeedReview));
    row->setAttribute("c7", GlobalData::secondsToCsString(courseSeconds));
    row->setAttribute("c8", course.getStringAttribute(CourseModel::Notes));
    row->setAttribute("c9", mobileExists ? GlobalData::secondsToCsString(mobileSeconds) : TRANS("Non-exist"));
    row->setAttribute("NowStatus", course.getStringAttribute(CourseModel::NowStatus));

    Sums load;
    load.sentences = course.getIntAttribute(CourseModel::TotalSentences);
    load.unfamiliar = course.getIntAttribute(CourseModel::TotalNeedReview);
    load.courseSeconds = courseSeconds;
    load.mobileSeconds = mobileSeconds;
    const auto add = [&load](Sums& day)
    {
        day.sentences += load.sentences;
        day.unfamiliar += load.unfamiliar;
        day.courseSeconds += load.courseSeconds;
        day.mobileSeconds += load.mobileSeconds;
    };

    const auto now = Clock::now();
    const auto learnDate = course.getStringAttribute(CourseModel::LearnDate);
    if (learnDate.upToLastOccurrenceOf(" ", false, false) == dateOnly(now))
        add(sums[0]);
    // A course due today or earlier, more than ten days ahead, or finished, is due on no day.
    for (int day = 1; day <= forecastDays; ++day)
        if (nextReview == dateOnly(DocumentManager::getDateAfterDays(day)))
        {
            add(sums[day]);
            break;
        }
    return row;
}

juce::String CourseManagerPanel::forecastText() const
{
    juce::String text;
    for (int day = 0; day <= forecastDays; ++day)
    {
        juce::String label;
        if (day == 0)
            label = TRANS("Today learned");
        else if (day == 1)
            label = TRANS("Tomorrow will be");
        else if (day == 2)
            label = TRANS("The day after tomorrow");
        else
            label = juce::String(day) + " " + TRANS("days later");

        const auto date = DocumentManager::transTimeString(dateOnly(DocumentManager::getDateAfterDays(day)));
        const auto& sum = sums[day];
        text << label << " (" << date << "): " << TRANS("Sentences: ") << sum.sentences << ", "
             << TRANS("Unfamiliar: ") << sum.unfamiliar << ", " << TRANS("Length (O)") << ": "
             << GlobalData::secondsToCsString(sum.courseSeconds) << ", " << TRANS("Length (M)") << ": "
             << GlobalData::secondsToCsString(sum.mobileSeconds);
        if (day < forecastDays)
            text << "\r\n";
        if (day == 0)
            text << "\r\n";
    }
    return text;
}
