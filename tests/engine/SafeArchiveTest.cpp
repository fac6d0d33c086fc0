// The archive helper: an atomic, checked writer that never costs the old archive, and an unpacker
// that treats every archive as hostile and leaves nothing behind when it fails.
#include "engine/SafeArchive.h"
#include "engine/DocumentManager.h"

#include "harness/FileFaults.h"
#include "harness/FolderContents.h"
#include "harness/TemporaryHome.h"

#include <gtest/gtest.h>

using juce::File;
using juce::String;

namespace
{
juce::MemoryBlock randomBytes(int size, juce::int64 seed)
{
    juce::Random random(seed);
    juce::MemoryBlock block((size_t)size);
    random.fillBitsRandomly(block.getData(), block.getSize());
    return block;
}

File writeFile(const File& file, const juce::MemoryBlock& content)
{
    EXPECT_TRUE(file.getParentDirectory().createDirectory().wasOk());
    EXPECT_TRUE(file.replaceWithData(content.getData(), content.getSize()));
    return file;
}

/** Sources named as a working set's files: a text and a recording that won't deflate. */
juce::Array<File> sources(const File& folder, juce::int64 seed, int audioBytes = 200000)
{
    return {writeFile(folder.getChildFile("2017-0402-1530-07.xml"), juce::MemoryBlock("<COURSE/>", 9)),
            writeFile(folder.getChildFile("2017-0402-1530-07.ogg"), randomBytes(audioBytes, seed))};
}

juce::MemoryBlock contentOf(const File& file)
{
    juce::MemoryBlock block;
    EXPECT_TRUE(file.loadFileAsData(block));
    return block;
}

/** An archive whose entries have exactly these names and texts, written with the framework's
    builder as anyone could. */
File archiveWithEntries(const File& target, const std::vector<std::pair<String, String>>& entries)
{
    juce::ZipFile::Builder builder;
    for (const auto& [name, text] : entries)
        builder.addEntry(new juce::MemoryInputStream(text.toRawUTF8(), text.getNumBytesAsUTF8(), true), 9,
                         name, juce::Time::getCurrentTime());
    target.deleteFile();
    juce::FileOutputStream out(target);
    EXPECT_TRUE(builder.writeToStream(out, nullptr));
    return target;
}

class SafeArchiveTest : public testing::Test
{
protected:
    File scratch = makeScratchFolder("archive");
    File library = scratch.getChildFile("library");
    File target = library.getChildFile("2017-0402-1530-07.mqz");
    File unpacked = scratch.getChildFile("temp");
};
} // namespace

TEST_F(SafeArchiveTest, WritesBareEntriesThatReadBackAndReplacesTheOldArchiveWhole)
{
    const auto first = sources(scratch.getChildFile("one"), 1);
    ASSERT_TRUE(SafeArchive::write(target, first, 9).wasOk());

    const auto second = sources(scratch.getChildFile("two"), 2);
    ASSERT_TRUE(SafeArchive::write(target, second, 9).wasOk());
    EXPECT_EQ(FolderContents::namesIn(library), juce::StringArray("2017-0402-1530-07.mqz"))
        << "no scratch file is left";

    ASSERT_TRUE(SafeArchive::unpack(target, unpacked, nullptr).wasOk());
    EXPECT_EQ(FolderContents::namesIn(unpacked),
              juce::StringArray({"2017-0402-1530-07.ogg", "2017-0402-1530-07.xml"}));
    EXPECT_EQ(contentOf(unpacked.getChildFile("2017-0402-1530-07.ogg")), contentOf(second[1]));
}

TEST_F(SafeArchiveTest, AWriteThatCanNotFinishKeepsTheOldArchive)
{
    const auto old = sources(scratch.getChildFile("old"), 1, 1000);
    ASSERT_TRUE(SafeArchive::write(target, old, 9).wasOk());
    const auto oldArchive = contentOf(target);
    const auto fresh = sources(scratch.getChildFile("new"), 2);

    {
        // A full disk: writes stop short long before the new archive is whole.
        FileSizeLimit full(50000);
        EXPECT_TRUE(SafeArchive::write(target, fresh, 9).failed());
    }
    EXPECT_EQ(contentOf(target), oldArchive);
    EXPECT_EQ(FolderContents::namesIn(library), juce::StringArray("2017-0402-1530-07.mqz"));

    // A job told to stop writes nothing either.
    SafeArchive::Monitor stopping;
    stopping.shouldStop = [] { return true; };
    EXPECT_TRUE(SafeArchive::write(target, fresh, 9, stopping).failed());
    EXPECT_EQ(contentOf(target), oldArchive);
    EXPECT_EQ(FolderContents::namesIn(library), juce::StringArray("2017-0402-1530-07.mqz"));

    {
        ReadOnlyFolder readOnly(library);
        if (!readOnly.holds())
            GTEST_SKIP() << "this file system can't make a folder read-only";
        EXPECT_TRUE(SafeArchive::write(target, fresh, 9).failed());
    }
    EXPECT_EQ(contentOf(target), oldArchive);
}

TEST_F(SafeArchiveTest, RefusesSourcesThatCanNotBeStoredUnderTheirOwnNames)
{
    const auto folder = scratch.getChildFile("set");
    auto files = sources(folder, 1, 100);
    const auto link = folder.getChildFile("2017-0402-1530-07.smg");
    ASSERT_TRUE(files[1].createSymbolicLink(link, true));

    for (const auto& wrong : {juce::Array<File>{files[0], link}, juce::Array<File>{files[0], files[0]},
                              juce::Array<File>{folder.getChildFile("missing.xml")}})
        EXPECT_TRUE(SafeArchive::write(target, wrong, 9).failed());
    EXPECT_FALSE(target.exists());
}

TEST_F(SafeArchiveTest, ScratchFilesOfAKilledWriteGoAndTheArchiveStaysReadable)
{
    ASSERT_TRUE(SafeArchive::write(target, sources(scratch.getChildFile("set"), 1), 9).wasOk());
    // Killed halfway through the next write: its scratch file holds the first bytes of an archive.
    const auto partial = contentOf(target);
    writeFile(SafeArchive::scratchFileFor(target),
              juce::MemoryBlock(partial.getData(), partial.getSize() / 2));
    writeFile(library.getChildFile(".keep"), juce::MemoryBlock("x", 1));

    SafeArchive::removeLeftovers(library);
    EXPECT_EQ(FolderContents::namesIn(library), juce::StringArray({".keep", "2017-0402-1530-07.mqz"}));
    EXPECT_TRUE(SafeArchive::unpack(target, unpacked, nullptr).wasOk());
}

TEST_F(SafeArchiveTest, HostileArchivesFailWholeAndWriteNothingAnywhere)
{
    const File outside = scratch.getChildFile("x.xml");
    const auto linkTarget = writeFile(scratch.getChildFile("secret.txt"), juce::MemoryBlock("secret", 6));
    const auto linkFolder = scratch.getChildFile("links");
    ASSERT_TRUE(linkFolder.createDirectory().wasOk());
    ASSERT_TRUE(linkTarget.createSymbolicLink(linkFolder.getChildFile("x.ogg"), true));

    const std::vector<std::pair<const char*, std::vector<std::pair<String, String>>>> cases = {
        {"a parent folder", {{"a.xml", "<COURSE/>"}, {"../x.xml", "<COURSE/>"}}},
        {"an absolute path", {{"a.xml", "<COURSE/>"}, {"/etc/x.xml", "<COURSE/>"}}},
        {"a folder part", {{"a.xml", "<COURSE/>"}, {"dir/x.xml", "<COURSE/>"}}},
        {"a backslash folder part", {{"a.xml", "<COURSE/>"}, {"dir\\x.xml", "<COURSE/>"}}},
        {"a folder entry", {{"a.xml", "<COURSE/>"}, {"dir/", ""}}},
        {"a hidden name", {{"a.xml", "<COURSE/>"}, {".x.xml", "<COURSE/>"}}},
        {"a repeated name", {{"a.xml", "<COURSE/>"}, {"a.xml", "<OTHER/>"}}},
    };
    for (const auto& [what, entries] : cases)
    {
        const auto archive = archiveWithEntries(scratch.getChildFile("hostile.mqz"), entries);
        EXPECT_TRUE(SafeArchive::unpack(archive, unpacked, nullptr).failed()) << what;
        EXPECT_FALSE(unpacked.exists()) << what;
        EXPECT_FALSE(outside.exists()) << what;
    }

    // A symbolic link, stored as the builder stores links.
    juce::ZipFile::Builder builder;
    builder.addFile(linkFolder.getChildFile("x.ogg"), 9);
    const auto linked = scratch.getChildFile("linked.mqz");
    {
        juce::FileOutputStream out(linked);
        ASSERT_TRUE(builder.writeToStream(out, nullptr));
    }
    EXPECT_TRUE(SafeArchive::unpack(linked, unpacked, nullptr).failed());
    EXPECT_FALSE(unpacked.exists());
}

TEST_F(SafeArchiveTest, FilesThatAreNotWholeArchivesFailAndLeaveNothing)
{
    ASSERT_TRUE(SafeArchive::write(target, sources(scratch.getChildFile("set"), 1), 9).wasOk());
    const auto whole = contentOf(target);
    // The recording's deflated bytes lie between the small text's entry and the directory.
    auto damaged = whole;
    static_cast<char*>(damaged.getData())[whole.getSize() / 2] ^= 0x5a;

    const std::vector<std::pair<const char*, juce::MemoryBlock>> cases = {
        {"not a ZIP archive", juce::MemoryBlock("ID3 this is a recording", 23)},
        {"an empty file", juce::MemoryBlock()},
        {"cut short", juce::MemoryBlock(whole.getData(), whole.getSize() - 100)},
        {"cut in half", juce::MemoryBlock(whole.getData(), whole.getSize() / 2)},
        {"damaged inside", damaged},
    };
    for (const auto& [what, bytes] : cases)
    {
        const auto file = writeFile(scratch.getChildFile("course.mqz"), bytes);
        EXPECT_TRUE(SafeArchive::unpack(file, unpacked, nullptr).failed()) << what;
        EXPECT_EQ(SafeArchive::open(file) == nullptr, std::string(what) != "damaged inside") << what;
        EXPECT_FALSE(unpacked.exists()) << what;
    }

    // Into a folder that was there, a failed unpack leaves only what was there before.
    writeFile(unpacked.getChildFile("2017-0402-1530-07.xml"), juce::MemoryBlock("old", 3));
    EXPECT_TRUE(SafeArchive::unpack(writeFile(scratch.getChildFile("course.mqz"), damaged), unpacked, nullptr)
                    .failed());
    EXPECT_EQ(FolderContents::namesIn(unpacked), juce::StringArray("2017-0402-1530-07.xml"));
    EXPECT_EQ(contentOf(unpacked.getChildFile("2017-0402-1530-07.xml")), juce::MemoryBlock("old", 3));
}

TEST_F(SafeArchiveTest, UnpackingTakesOnlyTheWorkingSetsKindsAndReplacesThem)
{
    const auto archive = archiveWithEntries(scratch.getChildFile("course.mqz"), {{"s.xml", "<COURSE/>"},
                                                                                 {"s.smg", "overview"},
                                                                                 {"s-retell.ogg", "voice"},
                                                                                 {"readme.txt", "hello"},
                                                                                 {"s.XML", "<X/>"}});
    writeFile(unpacked.getChildFile("s.xml"), juce::MemoryBlock("old", 3));

    ASSERT_TRUE(SafeArchive::unpack(archive, unpacked, DocumentManager::isWorkingSetName).wasOk());
    EXPECT_EQ(FolderContents::namesIn(unpacked), juce::StringArray({"s-retell.ogg", "s.smg", "s.xml"}));
    EXPECT_EQ(unpacked.getChildFile("s.xml").loadFileAsString(), "<COURSE/>");

    const auto nothingOfOurs =
        archiveWithEntries(scratch.getChildFile("other.mqz"), {{"readme.txt", "hello"}});
    EXPECT_TRUE(SafeArchive::unpack(nothingOfOurs, unpacked, DocumentManager::isWorkingSetName).failed());
}
