// Packing the working set into the library and unpacking a library archive back into the
// temporary folder, with the faults that must cost the learner nothing.
#include "engine/DocumentManager.h"
#include "engine/SafeArchive.h"

#include "harness/FileFaults.h"
#include "harness/ModalAnswerer.h"

#include <gtest/gtest.h>

using juce::File;
using juce::String;

namespace
{
const String stem("2017-0402-1530-07");

File inTemp(const String& name)
{
    return DocumentManager::TempDir().getChildFile(name);
}

void writeRandom(const File& file, int bytes, juce::int64 seed)
{
    juce::MemoryBlock block((size_t)bytes);
    juce::Random(seed).fillBitsRandomly(block.getData(), block.getSize());
    ASSERT_TRUE(file.getParentDirectory().createDirectory().wasOk());
    ASSERT_TRUE(file.replaceWithData(block.getData(), block.getSize()));
}

juce::StringArray entriesInOrder(const File& archive)
{
    juce::StringArray names;
    juce::ZipFile zip(archive);
    for (int i = 0; i < zip.getNumEntries(); ++i)
        names.add(zip.getEntry(i)->filename);
    return names;
}

juce::MemoryBlock contentOf(const File& file)
{
    juce::MemoryBlock block;
    file.loadFileAsData(block);
    return block;
}

File archiveOfTheCourse()
{
    return DocumentManager::CourseDir().getChildFile(stem + ".mqz");
}
} // namespace

TEST(LibraryArchive, PackingTakesTheWorkingSetWithoutCoursewareAudioOrCdTracksInReverseListingOrder)
{
    for (const auto* name : {".xml", ".smg", ".ogg", "-retell.ogg"})
        writeRandom(inTemp(stem + name), 1000, 1);
    writeRandom(inTemp("courseware-" + stem + ".ogg"), 1000, 2);
    writeRandom(inTemp("CD-Track01.wav"), 1000, 3);
    writeRandom(inTemp(".2017-0402-1530-07.xml.partial"), 1000, 4);

    ASSERT_TRUE(DocumentManager::packDocument());
    juce::StringArray expected;
    for (const auto& file : DocumentManager::TempDir().findChildFiles(File::findFiles, false, "*"))
        if (!file.getFileName().contains("courseware-") && !file.getFileName().contains("CD-") &&
            !file.getFileName().startsWithChar('.'))
            expected.insert(0, file.getFileName());
    EXPECT_EQ(expected.size(), 4);
    EXPECT_EQ(entriesInOrder(archiveOfTheCourse()), expected);
    // Packing leaves the working set as it was.
    EXPECT_EQ(DocumentManager::TempDir().getNumberOfChildFiles(File::findFiles), 7);
}

TEST(LibraryArchive, AWorkingSetWithoutItsWaveformFileHasNoNameInTheLibrary)
{
    writeRandom(inTemp(stem + ".xml"), 100, 1);
    EXPECT_FALSE(DocumentManager::packDocument());
    EXPECT_FALSE(DocumentManager::CourseDir().exists());
}

TEST(LibraryArchive, ALargeCourseIsPackedBehindTheProgressWindowAndAFullDiskKeepsTheOldArchive)
{
    writeRandom(inTemp(stem + ".xml"), 100, 1);
    writeRandom(inTemp(stem + ".smg"), 100, 2);
    writeRandom(inTemp(stem + ".ogg"), 9 * 1024 * 1024, 3);
    {
        ModalAnswerer answerer;
        answerer.letProgressRun();
        ASSERT_TRUE(DocumentManager::packDocument());
        answerer.expectDone();
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(answerer.seen()[0].title, TRANS("Writing the course archive..."));
    }
    const auto packed = contentOf(archiveOfTheCourse());

    // The next day's results, and no room for them.
    writeRandom(inTemp(stem + ".xml"), 200, 4);
    const auto workingSet = contentOf(inTemp(stem + ".xml"));
    {
        FileSizeLimit full(1024 * 1024);
        ModalAnswerer answerer;
        answerer.letProgressRun();
        bool cancelled = true;
        EXPECT_FALSE(DocumentManager::packDocument(&cancelled));
        EXPECT_FALSE(cancelled) << "a fault is no cancel: the learner must hear of it";
    }
    EXPECT_EQ(contentOf(archiveOfTheCourse()), packed);
    EXPECT_EQ(DocumentManager::CourseDir().getNumberOfChildFiles(File::findFiles), 1);
    EXPECT_EQ(contentOf(inTemp(stem + ".xml")), workingSet);

    // Read back behind its window too, into an empty temporary folder.
    ASSERT_TRUE(DocumentManager::TempDir().deleteRecursively());
    ModalAnswerer answerer;
    answerer.letProgressRun();
    ASSERT_TRUE(DocumentManager::unpackDocument(archiveOfTheCourse()));
    EXPECT_EQ(answerer.seen().at(0).title, TRANS("Reading the course archive..."));
    EXPECT_EQ(inTemp(stem + ".ogg").getSize(), 9 * 1024 * 1024);
}

TEST(LibraryArchive, AFileNamedLikeAnArchiveThatIsNoneOpensNothing)
{
    const auto notAnArchive = DocumentManager::CourseDir().getChildFile(stem + ".mqz");
    writeRandom(notAnArchive, 20000, 5);
    EXPECT_FALSE(DocumentManager::unpackDocument(notAnArchive));
    EXPECT_FALSE(DocumentManager::TempDir().exists());

    juce::Array<File> due;
    int sentences = -1;
    DocumentManager::getCoursesNeedReview(due, sentences);
    EXPECT_TRUE(due.isEmpty());
}
