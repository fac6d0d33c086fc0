// The library's due scan and the day folders of mobile files, over archives written by the test.
#include "engine/Clock.h"
#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"

#include "harness/FileFaults.h"

#include <gtest/gtest.h>

using juce::File;
using juce::String;

namespace
{
File qzFolder()
{
    return File::getSpecialLocation(File::userDocumentsDirectory).getChildFile("qz");
}

/** A library archive holding only its course text, with an unfamiliar sentence for each of the
    review dates; the text is stored as stem + ".xml" unless another entry name is given. */
File archive(const String& stem, const String& reviewDate, int nowStatus = 1,
             const juce::StringArray& unfamiliarDates = {}, const String& entryName = {})
{
    juce::XmlElement root(CourseModel::COURSE.toString());
    root.setAttribute(CourseModel::NextReviewDate, reviewDate);
    root.setAttribute(CourseModel::NowStatus, nowStatus);
    for (const auto& date : unfamiliarDates)
    {
        auto* sentence = root.createNewChildElement(CourseModel::SENTENCE.toString());
        sentence->setAttribute(CourseModel::NeedReview, 1);
        sentence->setAttribute(CourseModel::NextReviewDate, date);
    }
    // A familiar sentence never counts, whatever its date.
    root.createNewChildElement(CourseModel::SENTENCE.toString())
        ->setAttribute(CourseModel::NextReviewDate, "1 Jan 2017");

    juce::MemoryOutputStream text;
    root.writeTo(text);
    juce::ZipFile::Builder builder;
    builder.addEntry(new juce::MemoryInputStream(text.getMemoryBlock(), true), 9,
                     entryName.isEmpty() ? stem + ".xml" : entryName, Clock::now());

    const auto file = DocumentManager::CourseDir().getChildFile(stem + ".mqz");
    EXPECT_TRUE(file.create().wasOk());
    juce::FileOutputStream out(file);
    EXPECT_TRUE(builder.writeToStream(out, nullptr));
    return file;
}

juce::StringArray names(const juce::Array<File>& files)
{
    juce::StringArray result;
    for (const auto& file : files)
        result.add(file.getFileName());
    result.sort(false);
    return result;
}

juce::StringArray dayFolders()
{
    juce::StringArray result;
    for (const auto& folder : qzFolder().findChildFiles(File::findDirectories, false, "mobile-*"))
        result.add(folder.getFileName());
    result.sort(false);
    return result;
}

void writeMobileFile(const String& stem)
{
    EXPECT_TRUE(DocumentManager::MobileDir().createDirectory().wasOk());
    EXPECT_TRUE(DocumentManager::MobileDir().getChildFile("M-" + stem + ".ogg").replaceWithText("ogg"));
}

class DueScanTest : public testing::Test
{
protected:
    // Noon of 2 April 2017: courses dated 2 April are due, those dated 3 April are due tomorrow.
    void SetUp() override { Clock::setFixedTime(juce::Time(2017, 3, 2, 12, 0, 0, 0, true)); }
};
} // namespace

TEST_F(DueScanTest, OnlyReadableCoursesDueNowAreListedWithTheirDueSentences)
{
    archive("2017-0301-1000-00", "2 Apr 2017", 1, {"1 Apr 2017", "2 Apr 2017", "3 Apr 2017"});
    archive("2017-0302-1000-00", "3 Apr 2017", 1, {"1 Apr 2017"});
    archive("2017-0303-1000-00", "1 Jan 2017", -1, {"1 Jan 2017"});
    archive("2017-0304-1000-00", "", 1, {"1 Jan 2017"});
    archive("2017-0305-1000-00", "1 Jan 2017", 1, {"1 Jan 2017"}, "2017-0305-1000-00.XML");
    const auto notAnArchive = DocumentManager::CourseDir().getChildFile("notes.mqz");
    ASSERT_TRUE(notAnArchive.replaceWithText("not an archive"));

    juce::Array<File> due;
    int sentences = -1;
    DocumentManager::getCoursesNeedReview(due, sentences);
    EXPECT_EQ(names(due), juce::StringArray("2017-0301-1000-00.mqz"));
    EXPECT_EQ(sentences, 2);
}

TEST_F(DueScanTest, TheOpenCourseIsLeftToTheController)
{
    archive("2017-0301-1000-00", "2 Apr 2017", 1, {"1 Apr 2017"});
    ASSERT_TRUE(DocumentManager::TempDir().getChildFile("2017-0301-1000-00.smg").create().wasOk());

    juce::Array<File> due;
    int sentences = -1;
    DocumentManager::getCoursesNeedReview(due, sentences);
    EXPECT_TRUE(due.isEmpty());
    EXPECT_EQ(sentences, 0);
}

TEST_F(DueScanTest, TheFirstStartOfADayCopiesTomorrowsMobileFilesAndTrimsOldDayFolders)
{
    for (auto* day : {"mobile-2017-0327", "mobile-2017-0328", "mobile-2017-0329", "mobile-2017-0330",
                      "mobile-2017-0331", "library"})
        ASSERT_TRUE(qzFolder().getChildFile(day).createDirectory());
    archive("2017-0301-1000-00", "3 Apr 2017");
    archive("2017-0302-1000-00", "2 Apr 2017"); // due today: not copied
    archive("2017-0303-1000-00", "4 Apr 2017"); // later than tomorrow
    for (auto* stem : {"2017-0301-1000-00", "2017-0302-1000-00", "2017-0303-1000-00"})
        writeMobileFile(stem);

    EXPECT_TRUE(DocumentManager::createTomorrowMobileFiles(2));
    EXPECT_EQ(dayFolders(), juce::StringArray({"mobile-2017-0330", "mobile-2017-0331", "mobile-2017-0402"}));
    EXPECT_TRUE(qzFolder().getChildFile("library").isDirectory());
    const auto today = qzFolder().getChildFile("mobile-2017-0402");
    EXPECT_EQ(names(today.findChildFiles(File::findFiles, false, "*")),
              juce::StringArray("M-2017-0301-1000-00.ogg"));

    // Later that day the folder is left as it is, even with more courses due tomorrow.
    archive("2017-0304-1000-00", "3 Apr 2017");
    writeMobileFile("2017-0304-1000-00");
    EXPECT_TRUE(DocumentManager::createTomorrowMobileFiles(0));
    EXPECT_EQ(today.getNumberOfChildFiles(File::findFiles), 1);
    EXPECT_EQ(dayFolders().size(), 3);
}

TEST_F(DueScanTest, WithNothingDueTomorrowOldFoldersGoButNoDayFolderIsMade)
{
    ASSERT_TRUE(qzFolder().getChildFile("mobile-2017-0331").createDirectory());
    archive("2017-0301-1000-00", "2 Apr 2017");
    writeMobileFile("2017-0301-1000-00");

    EXPECT_TRUE(DocumentManager::createTomorrowMobileFiles(0));
    EXPECT_TRUE(dayFolders().isEmpty());
}

TEST_F(DueScanTest, TheDayFolderAppearsOnlyWithWholeCopiesAndAFailedFillIsMadeAgainAtTheNextStart)
{
    archive("2017-0301-1000-00", "3 Apr 2017");
    archive("2017-0302-1000-00", "3 Apr 2017");
    writeMobileFile("2017-0301-1000-00");
    const auto large = DocumentManager::MobileDir().getChildFile("M-2017-0302-1000-00.ogg");
    ASSERT_TRUE(large.replaceWithText(String::repeatedString("ogg ", 50000)));
    const auto scratch = qzFolder().getChildFile(".mobile-2017-0402.partial");

    {
        // The disk fills up during the second copy.
        FileSizeLimit full(100000);
        EXPECT_FALSE(DocumentManager::createTomorrowMobileFiles(2));
    }
    EXPECT_TRUE(dayFolders().isEmpty()) << "a day folder with a copy missing would stay so all day";
    EXPECT_FALSE(scratch.exists());

    // A kill during the fill leaves the scratch folder with a copy cut short.
    ASSERT_TRUE(scratch.createDirectory().wasOk());
    ASSERT_TRUE(scratch.getChildFile(large.getFileName()).replaceWithText("og"));
    EXPECT_TRUE(DocumentManager::createTomorrowMobileFiles(2));
    EXPECT_EQ(dayFolders(), juce::StringArray("mobile-2017-0402"));
    const auto today = qzFolder().getChildFile("mobile-2017-0402");
    EXPECT_EQ(today.getChildFile(large.getFileName()).getSize(), large.getSize());
    EXPECT_EQ(today.getNumberOfChildFiles(File::findFiles), 2);
    EXPECT_FALSE(scratch.exists());
}
