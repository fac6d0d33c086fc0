// Cue sheets come from elsewhere: only one that names the data file beside it, as raw samples in
// whole sectors, is let through to libcdio.
#include "platform/CueSheet.h"

#include "harness/TemporaryHome.h"

#include <gtest/gtest.h>

#include <functional>

using juce::File;
using juce::String;

namespace
{
const int sectorBytes = 2352;

void writeBytes(const File& file, size_t size)
{
    // Replacing a file with no data would delete it.
    juce::MemoryBlock zeros(size, true);
    const bool written =
        size == 0 ? file.create().wasOk() : file.replaceWithData(zeros.getData(), zeros.getSize());
    ASSERT_TRUE(written);
}

String sheetNaming(const String& fileLine)
{
    return "TITLE \"Lesson\"\r\n" + fileLine + "\r\n  TRACK 01 AUDIO\r\n    INDEX 01 00:00:00\r\n";
}
} // namespace

TEST(CueSheet, TakesOnlyASheetThatNamesItsOwnWholeDataFileBesideIt)
{
    struct Case
    {
        const char* name;
        String sheet;
        std::function<void(const File& folder)> prepare;
        const char* problem; // nullptr: accepted
    };
    const auto dataBeside = [](const File& folder)
    { writeBytes(folder.getChildFile("lesson.bin"), 10 * sectorBytes); };

    const std::vector<Case> cases{
        {"quoted name", sheetNaming("FILE \"lesson.bin\" BINARY"), dataBeside, nullptr},
        {"bare name, lower-case type", sheetNaming("file lesson.bin binary"), dataBeside, nullptr},
        {"a name leading out of the folder", sheetNaming("FILE \"../lesson.bin\" BINARY"),
         [&](const File& folder)
         {
             dataBeside(folder);
             writeBytes(folder.getSiblingFile("lesson.bin"), 10 * sectorBytes);
         },
         "instead of"},
        {"an absolute name", sheetNaming("FILE \"/etc/passwd\" BINARY"), dataBeside, "instead of"},
        {"another file of the folder", sheetNaming("FILE \"other.bin\" BINARY"),
         [&](const File& folder)
         {
             dataBeside(folder);
             writeBytes(folder.getChildFile("other.bin"), 10 * sectorBytes);
         },
         "instead of"},
        {"a data file linked to one outside", sheetNaming("FILE \"lesson.bin\" BINARY"),
         [](const File& folder)
         {
             const auto outside = folder.getSiblingFile("elsewhere.bin");
             writeBytes(outside, 10 * sectorBytes);
             ASSERT_TRUE(outside.createSymbolicLink(folder.getChildFile("lesson.bin"), true));
         },
         "outside"},
        {"a missing data file", sheetNaming("FILE \"lesson.bin\" BINARY"), [](const File&) {}, "missing"},
        {"a data file cut off part-way through a sector", sheetNaming("FILE \"lesson.bin\" BINARY"),
         [](const File& folder) { writeBytes(folder.getChildFile("lesson.bin"), 10 * sectorBytes + 1000); },
         "whole CD sectors"},
        {"an empty data file", sheetNaming("FILE \"lesson.bin\" BINARY"),
         [](const File& folder) { writeBytes(folder.getChildFile("lesson.bin"), 0); }, "whole CD sectors"},
        {"samples in a WAV file", sheetNaming("FILE \"lesson.bin\" WAVE"), dataBeside, "BINARY"},
        {"two data files",
         sheetNaming("FILE \"lesson.bin\" BINARY") + "FILE \"lesson.bin\" BINARY\r\n  TRACK 02 AUDIO\r\n",
         dataBeside, "2 data files"},
        {"no data file", "TITLE \"Lesson\"\n", dataBeside, "0 data files"},
        {"a sheet too large to be one",
         sheetNaming("FILE \"lesson.bin\" BINARY") + String::repeatedString("REM x\n", 20000), dataBeside,
         "too large"},
    };

    for (const auto& c : cases)
    {
        const auto folder = makeScratchFolder("cue").getChildFile("image");
        ASSERT_TRUE(folder.createDirectory().wasOk());
        const auto sheet = folder.getChildFile("lesson.cue");
        ASSERT_TRUE(sheet.replaceWithText(c.sheet));
        c.prepare(folder);

        const auto result = CueSheet::check(sheet);
        if (c.problem == nullptr)
            EXPECT_TRUE(result.wasOk()) << c.name << ": " << result.getErrorMessage();
        else
            EXPECT_TRUE(result.getErrorMessage().contains(c.problem))
                << c.name << ": " << result.getErrorMessage();
    }
}

TEST(CueSheet, TheDataFileIsNamedAfterTheSheet)
{
    EXPECT_EQ(CueSheet::dataFileOf(File("/discs/Lesson 1.cue")), File("/discs/Lesson 1.bin"));
    // A sheet must end in ".cue" as written: libcdio doesn't take other spellings.
    const auto folder = makeScratchFolder("cue");
    const auto shouting = folder.getChildFile("LESSON.CUE");
    ASSERT_TRUE(shouting.replaceWithText(sheetNaming("FILE \"LESSON.bin\" BINARY")));
    EXPECT_TRUE(CueSheet::check(shouting).failed());
}
