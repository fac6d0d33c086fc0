// Moving files to the desktop's trash: into the test's own home trash, with the information that
// lets a file manager put the file back, and a refusal that leaves the file where it was.
#include "platform/Trash.h"

#include "common/LibraryArchives.h"
#include "harness/FileFaults.h"
#include "harness/TemporaryHome.h"

#include <gtest/gtest.h>

using juce::File;

TEST(Trash, AFileGoesToTheHomeTrashWithWhereItCameFrom)
{
    // Twice the same name: the trash keeps both.
    const auto file = homeFile("library/2017-0402-1530-07.mqz");
    for (const auto* content : {"first", "second"})
    {
        ASSERT_TRUE(file.getParentDirectory().createDirectory().wasOk());
        ASSERT_TRUE(file.replaceWithText(content));
        juce::String error;
        ASSERT_TRUE(Trash::moveToTrash(file, &error)) << error;
        EXPECT_FALSE(file.exists());
    }

    const auto trashed = LibraryArchives::trashed(file.getFileName());
    ASSERT_TRUE(trashed.existsAsFile());
    EXPECT_EQ(trashed.loadFileAsString(), "first");
    EXPECT_EQ(trashed.getParentDirectory().getNumberOfChildFiles(File::findFiles), 2);

    const auto info = LibraryArchives::trashInfo(file.getFileName()).loadFileAsString();
    EXPECT_TRUE(info.startsWith("[Trash Info]")) << info;
    EXPECT_TRUE(info.contains("Path=" + file.getFullPathName())) << info;
    EXPECT_TRUE(info.contains("DeletionDate=")) << info;
}

TEST(Trash, NothingAtThePathCountsAsMovedAndAHeldFileStays)
{
    EXPECT_TRUE(Trash::moveToTrash(homeFile("never-made.ogg")));

    const auto held = homeFile("M-2017-0402-1530-07.ogg");
    ASSERT_TRUE(held.replaceWithText("audio"));
    {
        UnmovableFile fault(held);
        if (!fault.holds())
            GTEST_SKIP() << "the file system takes no immutable mark";
        juce::String error;
        EXPECT_FALSE(Trash::moveToTrash(held, &error));
        EXPECT_TRUE(error.isNotEmpty());
        EXPECT_EQ(held.loadFileAsString(), "audio");
        EXPECT_FALSE(LibraryArchives::trashed(held.getFileName()).exists());
    }
    EXPECT_TRUE(Trash::moveToTrash(held));
    EXPECT_FALSE(held.exists());
}
