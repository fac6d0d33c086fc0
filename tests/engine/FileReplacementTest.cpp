// Writing a file the learner owns anew: the old content stays until the new one is whole, and a
// write that fails, is refused or is killed leaves the old file and at most a partial file that
// the next start deletes.
#include "engine/FileReplacement.h"

#include "harness/FileFaults.h"
#include "harness/TemporaryHome.h"

#include <gtest/gtest.h>

#include <functional>

using juce::File;
using juce::String;

namespace
{
bool writeText(juce::OutputStream& out, const String& text)
{
    return out.writeText(text, false, false, nullptr);
}
} // namespace

TEST(FileReplacementWrite, TheTargetIsTheOldFileOrTheWholeNewOneAndNoPartialFileStays)
{
    const auto big = String::repeatedString("new ", 100000);
    const struct
    {
        const char* what;
        std::function<bool(juce::OutputStream&)> writer;
        juce::int64 sizeLimit; // 0 for none
        bool replaced;
    } cases[] = {
        {"a whole write", [&](juce::OutputStream& out) { return writeText(out, big); }, 0, true},
        {"a writer that gives up", [&](juce::OutputStream& out) { return writeText(out, "half") && false; },
         0, false},
        {"a disk that fills up", [&](juce::OutputStream& out) { return writeText(out, big); }, 100000, false},
    };
    for (const auto& c : cases)
    {
        const auto folder = makeScratchFolder("replacement");
        const auto target = folder.getChildFile("2017-0402-1530-07.xml");
        ASSERT_TRUE(target.replaceWithText("old"));
        bool written = false;
        {
            std::unique_ptr<FileSizeLimit> limit;
            if (c.sizeLimit > 0)
                limit = std::make_unique<FileSizeLimit>(c.sizeLimit);
            written = FileReplacement::writeOnto(target, c.writer);
        }
        EXPECT_EQ(written, c.replaced) << c.what;
        EXPECT_EQ(target.loadFileAsString(), c.replaced ? big : String("old")) << c.what;
        // The framework's own file write leaves "<stem>_temp<hex>.xml" behind, named like a
        // course text; this one leaves nothing but the target.
        EXPECT_EQ(folder.getNumberOfChildFiles(File::findFiles), 1) << c.what;
        folder.deleteRecursively();
    }
}

TEST(FileReplacementWrite, APartialFileOfAKilledWriteLeavesTheTargetAndIsDeletedAtTheNextStart)
{
    const auto folder = makeScratchFolder("replacement");
    const auto target = folder.getChildFile("2017-0402-1530-07.xml");
    ASSERT_TRUE(target.replaceWithText("old"));
    // What a kill in the middle of the write leaves: the partial file, cut short.
    const auto partial = FileReplacement::partialFileFor(target);
    ASSERT_TRUE(partial.replaceWithText("<COURSE AudioFile=\"/lesson.wav\"><SENT"));
    EXPECT_FALSE(partial.getFileName().endsWith(".xml")) << "a lookup of course texts would take it";

    FileReplacement::deleteLeftovers(folder);
    EXPECT_FALSE(partial.exists());
    EXPECT_EQ(target.loadFileAsString(), "old");

    // The next write starts afresh, whatever a killed one left.
    ASSERT_TRUE(partial.replaceWithText(String::repeatedString("left over ", 1000)));
    EXPECT_TRUE(
        FileReplacement::writeOnto(target, [](juce::OutputStream& out) { return writeText(out, "new"); }));
    EXPECT_EQ(target.loadFileAsString(), "new");
    EXPECT_FALSE(partial.exists());
}
