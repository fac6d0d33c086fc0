#include "engine/DocumentManager.h"
#include "engine/Clock.h"

#include <functional>
#include <gtest/gtest.h>

namespace
{
/** Every test starts without a data folder (tests may share one process and so one home). */
class DocumentManagerTest : public testing::Test
{
protected:
    void SetUp() override { dataFolder().deleteRecursively(); }
    void TearDown() override { dataFolder().deleteRecursively(); }

    static juce::File dataFolder()
    {
        return juce::File::getSpecialLocation(juce::File::userDocumentsDirectory).getChildFile("qz");
    }
};

struct DateCase
{
    const char* text;
    int year;
    int month; // 0-based, as juce::Time counts
    int day;
    const char* display;
};

// 15:30:07 on 2 April 2017, local time.
juce::Time aprilAfternoon()
{
    return juce::Time(2017, 3, 2, 15, 30, 7, 0, true);
}

using Listing = juce::Array<juce::File>;

/** Fills the temporary folder with files named by `names` (each given a different suffix per
    attempt) until the file system happens to list them in an order that `wanted` accepts, since
    the listing order is the file system's and can't be chosen directly. An empty result means no
    attempt gave such an order. */
Listing makeListing(const std::vector<std::function<juce::String(int)>>& names,
                    const std::function<bool(const Listing&)>& wanted)
{
    const auto temp = DocumentManager::TempDir();
    for (int attempt = 0; attempt < 200; ++attempt)
    {
        temp.deleteRecursively();
        temp.createDirectory();
        const bool reversed = attempt % 2 == 1;
        for (size_t i = 0; i < names.size(); ++i)
            temp.getChildFile(names[reversed ? names.size() - 1 - i : i](attempt / 2)).create();

        const auto listing = temp.findChildFiles(juce::File::findFiles, false, "*.ogg");
        if (wanted(listing))
            return listing;
    }
    return {};
}

bool isRetelling(const juce::File& file)
{
    return file.getFileName().contains("-retell.ogg");
}
} // namespace

TEST_F(DocumentManagerTest, StoredDatesParseToLocalMidnightAndDisplayWithHyphens)
{
    const DateCase cases[] = {
        {"9 Dec 2026", 2026, 11, 9, "2026-12-09"},
        {"9 dec 2026", 2026, 0, 9, "2026-01-09"}, // names compare case included
        {"2 Apr 2017", 2017, 3, 2, "2017-04-02"},
        {"12 Jan 2018", 2018, 0, 12, "2018-01-12"},
        {"28 Feb 2019", 2019, 1, 28, "2019-02-28"},
        {"31 Oct 2020", 2020, 9, 31, "2020-10-31"},
        {"5 Foo 2021", 2021, 0, 5, "2021-01-05"}, // unknown names are January
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(DocumentManager::timeFromTimeString(c.text),
                  juce::Time(c.year, c.month, c.day, 0, 0, 0, 0, true))
            << c.text;
        EXPECT_EQ(DocumentManager::transTimeString(c.text), c.display) << c.text;
    }
}

TEST_F(DocumentManagerTest, EmptyDateIsThe3013DateThatNeverComesDue)
{
    const auto never = juce::Time(3013, 0, 1, 0, 0, 0, 0, true);
    EXPECT_EQ(DocumentManager::timeFromTimeString({}), never);
    EXPECT_FALSE(DocumentManager::isDue(DocumentManager::timeFromTimeString({})));
    EXPECT_EQ(DocumentManager::transTimeString({}), "");
}

TEST_F(DocumentManagerTest, StoredDateIsDueFromTheFirstMomentOfItsDay)
{
    const auto midnight = juce::Time(2017, 3, 2, 0, 0, 0, 0, true);
    Clock::setFixedTime(midnight);
    EXPECT_TRUE(DocumentManager::isDue(DocumentManager::timeFromTimeString("2 Apr 2017")));
    EXPECT_FALSE(DocumentManager::isDue(DocumentManager::timeFromTimeString("3 Apr 2017")));

    Clock::setFixedTime(aprilAfternoon());
    EXPECT_TRUE(DocumentManager::isDue(DocumentManager::timeFromTimeString("2 Apr 2017")));
    EXPECT_TRUE(DocumentManager::isDue(DocumentManager::timeFromTimeString("1 Apr 2017")));
    EXPECT_FALSE(DocumentManager::isDue(DocumentManager::timeFromTimeString("3 Apr 2017")));

    // Now itself is due, the next millisecond is not.
    EXPECT_TRUE(DocumentManager::isDue(aprilAfternoon()));
    EXPECT_FALSE(DocumentManager::isDue(aprilAfternoon() + juce::RelativeTime::milliseconds(1)));
}

TEST_F(DocumentManagerTest, StampsArePaddedFields)
{
    Clock::setFixedTime(aprilAfternoon());
    EXPECT_EQ(DocumentManager::getCurrentTimeString(true), "2017-0402-1530-07");
    EXPECT_EQ(DocumentManager::getCurrentTimeString(false), "2017-0402");

    Clock::setFixedTime(juce::Time(2021, 0, 5, 3, 4, 9, 0, true));
    EXPECT_EQ(DocumentManager::getCurrentTimeString(true), "2021-0105-0304-09");

    Clock::setFixedTime(juce::Time(2020, 11, 31, 23, 59, 59, 999, true));
    EXPECT_EQ(DocumentManager::getCurrentTimeString(true), "2020-1231-2359-59");
}

TEST_F(DocumentManagerTest, DayCountsTruncateTowardZero)
{
    Clock::setFixedTime(aprilAfternoon());
    const struct
    {
        double hours;
        int days;
    } cases[] = {{36.0, 1}, {23.9, 0}, {-23.9, 0}, {-36.0, -1}, {72.0, 3}};
    for (const auto& c : cases)
        EXPECT_EQ(DocumentManager::getDaysFromDate(aprilAfternoon() + juce::RelativeTime::hours(c.hours)),
                  c.days)
            << c.hours;

    // A date text of the day after tomorrow lies 1 day and some hours ahead of this afternoon.
    EXPECT_EQ(DocumentManager::getDaysFromDate(DocumentManager::timeFromTimeString("4 Apr 2017")), 1);
}

TEST_F(DocumentManagerTest, DateAfterDaysKeepsTheTimeOfDay)
{
    Clock::setFixedTime(aprilAfternoon());
    const auto later = DocumentManager::getDateAfterDays(30);
    EXPECT_EQ(later.toString(true, false), "2 May 2017");
    EXPECT_EQ(later.toString(false, true, true, true), "15:30:07");
    EXPECT_EQ(DocumentManager::getDateAfterDays(0), aprilAfternoon());
}

TEST_F(DocumentManagerTest, DataFoldersLieUnderTheDocumentsFolderAndAreNotMadeInAdvance)
{
    const auto documents = juce::File::getSpecialLocation(juce::File::userDocumentsDirectory);
    // The test's own home, not the real one.
    ASSERT_TRUE(documents.isAChildOf(juce::File(juce::SystemStats::getEnvironmentVariable("HOME", {}))));

    EXPECT_EQ(DocumentManager::TempDir(), documents.getChildFile("qz/library/temp"));
    EXPECT_EQ(DocumentManager::CourseDir(), documents.getChildFile("qz/library/course"));
    EXPECT_EQ(DocumentManager::MobileDir(), documents.getChildFile("qz/library/mobile"));
    EXPECT_FALSE(DocumentManager::TempDir().exists());
    EXPECT_FALSE(DocumentManager::CourseDir().exists());
    EXPECT_FALSE(DocumentManager::MobileDir().exists());
}

TEST_F(DocumentManagerTest, NoWorkingSetGivesNonexistentFiles)
{
    for (auto type : {DocumentManager::courseAudio, DocumentManager::courseText,
                      DocumentManager::waveformFile, DocumentManager::retelling})
        EXPECT_EQ(DocumentManager::getCourseFile(type), juce::File()) << (int)type;

    // Folders named like course files are not files.
    DocumentManager::TempDir().getChildFile("a.xml").createDirectory();
    DocumentManager::TempDir().getChildFile("a.ogg").createDirectory();
    EXPECT_EQ(DocumentManager::getCourseFile(DocumentManager::courseText), juce::File());
    EXPECT_EQ(DocumentManager::getCourseFile(DocumentManager::courseAudio), juce::File());
    EXPECT_EQ(DocumentManager::getCourseFile((DocumentManager::CourseFileType)4), juce::File());
}

TEST_F(DocumentManagerTest, CourseTextAndWaveformAreFoundByTheirOwnExtension)
{
    const auto temp = DocumentManager::TempDir();
    for (auto name :
         {"2017-0402-1530-07.smg", "2017-0402-1530-07.xml", "2017-0402-1530-07-retell.ogg", "notes.txt"})
        ASSERT_TRUE(temp.getChildFile(name).create().wasOk());

    EXPECT_EQ(DocumentManager::getCourseFile(DocumentManager::courseText),
              temp.getChildFile("2017-0402-1530-07.xml"));
    EXPECT_EQ(DocumentManager::getCourseFile(DocumentManager::waveformFile),
              temp.getChildFile("2017-0402-1530-07.smg"));

    // With two of a kind the file system's first wins.
    ASSERT_TRUE(temp.getChildFile("other.xml").create().wasOk());
    EXPECT_EQ(DocumentManager::getCourseFile(DocumentManager::courseText),
              temp.findChildFiles(juce::File::findFiles, false, "*.xml").getFirst());
}

TEST_F(DocumentManagerTest, RetellingListedFirstLeavesTheSecondAsCourseAudio)
{
    const auto listing =
        makeListing({[](int n) { return "2017-0402-1530-07-" + juce::String(n) + "-retell.ogg"; },
                     [](int n) { return "2017-0402-1530-07-" + juce::String(n) + ".ogg"; }},
                    [](const Listing& files) { return files.size() == 2 && isRetelling(files[0]); });
    ASSERT_EQ(listing.size(), 2) << "the file system never listed the retelling first";

    EXPECT_EQ(DocumentManager::getCourseFile(DocumentManager::courseAudio), listing[1]);
    EXPECT_EQ(DocumentManager::getCourseFile(DocumentManager::retelling), listing[0]);
}

TEST_F(DocumentManagerTest, OnlyTheFirstTwoOggFilesListedAreExamined)
{
    const auto listing =
        makeListing({[](int n) { return "a" + juce::String(n) + "-retell.ogg"; },
                     [](int n) { return "b" + juce::String(n) + "-retell.ogg"; },
                     [](int n) { return "c" + juce::String(n) + ".ogg"; }},
                    [](const Listing& files) { return files.size() == 3 && !isRetelling(files[2]); });
    ASSERT_EQ(listing.size(), 3) << "the file system never listed the plain audio last";

    EXPECT_EQ(DocumentManager::getCourseFile(DocumentManager::courseAudio), juce::File());
    EXPECT_EQ(DocumentManager::getCourseFile(DocumentManager::retelling), listing[0]);
}

TEST_F(DocumentManagerTest, ScratchFilesOfKilledWritesAreNeverTakenForCourseFiles)
{
    const struct
    {
        const char* name;
        bool scratch;
    } names[] = {
        {"2017-0402-1530-07_temp1a2b3c4d.xml", true}, // the framework's XML and settings writes
        {"2017-0402-1530-07_tempfe01_2.xml", true},
        {"2017-0402-1530-07_temp0(3).xml", true},
        {".2017-0402-1530-07.mqz.partial", true}, // archives, unpacks and mobile files
        {"2017-0402-1530-07.xml.partial", true},  // course texts, copies and recordings
        {"2017-0402-1530-07.xml", false},
        {"2017-0402-1530-07-retell.ogg", false},
        {"courseware-2017-0402-1530-07.ogg", false},
        {"my_template.xml", false},
        {"lesson_temp.xml", false},
    };
    for (const auto& n : names)
    {
        EXPECT_EQ(DocumentManager::isScratchName(n.name), n.scratch) << n.name;
        EXPECT_EQ(DocumentManager::isWorkingSetName(n.name), !n.scratch) << n.name;
    }

    // A kill while the course text was written left the framework's scratch file beside it, and
    // the file system may list it first.
    const auto temp = DocumentManager::TempDir();
    juce::File text, scratch;
    for (int attempt = 0; attempt < 200 && scratch == juce::File(); ++attempt)
    {
        temp.deleteRecursively();
        ASSERT_TRUE(temp.createDirectory().wasOk());
        const auto stem = "2017-0402-1530-" + juce::String(attempt).paddedLeft('0', 2);
        text = temp.getChildFile(stem + ".xml");
        const auto candidate =
            temp.getChildFile(stem + "_temp" + juce::String::toHexString(attempt + 0x1000) + ".xml");
        ASSERT_TRUE(candidate.replaceWithText("<COURSE AudioFile=\"/lesson.wav\"><SENT"));
        ASSERT_TRUE(text.replaceWithText("<COURSE AudioFile=\"/lesson.wav\"/>"));
        if (temp.findChildFiles(juce::File::findFiles, false, "*.xml").getFirst() == candidate)
            scratch = candidate;
    }
    ASSERT_NE(scratch, juce::File()) << "the file system never listed the scratch file first";
    EXPECT_EQ(DocumentManager::getCourseFile(DocumentManager::courseText), text);

    // The settings file is written by the framework in the same way.
    const auto settings = temp.getSiblingFile("system.dat");
    const auto settingsScratch = temp.getSiblingFile("system_temp7f3e2a1.dat");
    ASSERT_TRUE(settings.replaceWithText("settings"));
    ASSERT_TRUE(settingsScratch.replaceWithText("sett"));

    DocumentManager::removeInterruptedWrites();
    EXPECT_FALSE(scratch.exists());
    EXPECT_TRUE(text.existsAsFile());
    EXPECT_FALSE(settingsScratch.exists());
    EXPECT_TRUE(settings.existsAsFile());
}
