// The preview strip: what it loads from recordings, courseware and hostile files, its repeat rule
// and the end-of-preview message, the play button, and which parts show at which width.
#include "workspace/panels/BrowserListenComponent.h"

#include "engine/SystemModel.h"
#include "harness/AudioFixtures.h"
#include "harness/PlaybackProbe.h"
#include "harness/ProcessWideObjects.h"
#include "harness/TemporaryHome.h"
#include "workspace/Main.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using juce::File;
using juce::String;

namespace
{
/** A ZIP archive holding these entries, each from a file or a text, in this order. */
File writeArchive(const String& name, const std::vector<std::pair<String, File>>& entries)
{
    const auto file = homeFile(name);
    file.deleteFile();
    juce::ZipFile::Builder builder;
    for (const auto& [entryName, source] : entries)
        builder.addFile(source, 6, entryName);
    juce::FileOutputStream out(file);
    EXPECT_TRUE(builder.writeToStream(out, nullptr));
    return file;
}

/** Counts the strip's end-of-preview messages. */
struct Ends : juce::ChangeListener
{
    void changeListenerCallback(juce::ChangeBroadcaster*) override { ++count; }
    int count = 0;
};

class PreviewStripTest : public testing::Test
{
protected:
    PreviewStripTest() { strip.addChangeListener(&ends); }
    ~PreviewStripTest() override { strip.removeChangeListener(&ends); }

    /** Jumps the transport to the end of the audio and lets the position timer see it. Without a
        device the transport never moves by itself. */
    void reachEnd()
    {
        auto& transport = strip.getPlayer().transportSource;
        transport.setPosition(transport.getLengthInSeconds());
        pump(120);
    }

    static void pump(int milliseconds)
    {
        juce::MessageManager::getInstance()->runDispatchLoopUntil(milliseconds);
    }

    bool playing() { return strip.getPlayer().transportSource.isPlaying(); }

    ProcessWideObjects objects;
    BrowserListenComponent strip;
    Ends ends;
};
} // namespace

//==============================================================================
TEST_F(PreviewStripTest, ARecordingLoadsStoppedAtItsStartWithItsLength)
{
    const auto file = AudioFixtures::writeHomeTone("tone.wav", 2.5);
    EXPECT_TRUE(strip.setAudioFile(file));
    EXPECT_EQ(strip.getCurrentFile(), file);
    EXPECT_EQ(strip.getLengthLabel().getText(), "0:02.50");
    EXPECT_EQ(strip.getTimeLabel().getText(), "0:00.00");
    EXPECT_FALSE(playing());

    strip.start();
    EXPECT_TRUE(playing());
    strip.stop();
    EXPECT_FALSE(playing());
}

TEST_F(PreviewStripTest, WhatCannotBePlayedLeavesThePlayerEmptyAndADamagedFileEndsAtOnce)
{
    const auto tone = AudioFixtures::writeHomeTone("inside.wav", 1.0);
    const auto text = homeFile("course.xml");
    ASSERT_TRUE(text.replaceWithText("<COURSE/>"));
    const auto notZip = homeFile("fake.qzc");
    ASSERT_TRUE(notZip.replaceWithText("PK but not really an archive"));
    const auto notAudio = homeFile("text.wav");
    ASSERT_TRUE(notAudio.replaceWithText("not audio at all"));
    const auto fifo = homeFile("pipe.wav");
    ASSERT_EQ(mkfifo(fifo.getFullPathName().toRawUTF8(), 0600), 0);
    const auto noAudioEntry = writeArchive("textonly.qzc", {{"course.xml", text}, {"course.smg", text}});
    // Courseware is told by its exact extension: in capitals it is read as a recording, which it isn't.
    const auto capitals = writeArchive("LOUD.QZC", {{"c.wav", tone}});

    const struct
    {
        const char* what;
        File file;
        /** A regular file that holds nothing playable: started, its preview ends at once, so a
            play-through goes on past it. What isn't a file to read never starts. */
        bool endsAtOnce;
    } cases[] = {
        {"nothing", File(), false},
        {"a missing file", homeFile("gone.wav"), false},
        {"a text named as a recording", notAudio, true},
        {"a FIFO named as a recording (opening it would block)", fifo, false},
        {"courseware that is no ZIP", notZip, true},
        {"courseware without an audio entry", noAudioEntry, true},
        {"courseware in capitals", capitals, true},
        {"a CD track outside a disc's folder", homeFile("Track01.cda"), false},
        {"a folder", File::getSpecialLocation(File::userHomeDirectory), false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(strip.setAudioFile(tone));
        EXPECT_FALSE(strip.setAudioFile(c.file));
        EXPECT_FALSE(strip.hasAudio());
        EXPECT_EQ(strip.getLengthLabel().getText(), "0:00.00");
        ends.count = 0;
        strip.start();
        EXPECT_FALSE(playing());
        pump(100);
        EXPECT_EQ(ends.count, c.endsAtOnce ? 1 : 0);
        EXPECT_EQ(strip.getTimeLabel().getText(), "0:00.00");
    }
}

TEST_F(PreviewStripTest, CoursewarePlaysItsAudioEntryStraightOutOfTheArchive)
{
    const auto tone = AudioFixtures::writeHomeTone("course.wav", 1.5);
    const auto text = homeFile("course.xml");
    ASSERT_TRUE(text.replaceWithText("<COURSE/>"));
    const auto archive =
        writeArchive("lesson.qzc", {{"stem.xml", text}, {"stem.wav", tone}, {"stem.smg", text}});

    ASSERT_TRUE(strip.setAudioFile(archive));
    EXPECT_EQ(strip.getLengthLabel().getText(), "0:01.50");

    // The reader reads from the archive while it plays: the samples that come out are the tone's.
    auto& player = strip.getPlayer();
    player.sourcePlayer.prepareToPlay(44100.0, 512);
    ASSERT_TRUE(
        PlaybackProbe::pumpUntil([&] { return player.readerSource->getNextReadPosition() >= 16384; }, 10000));
    strip.start();
    const auto out = PlaybackProbe::pull(player.sourcePlayer, 2, 20, 512);
    std::unique_ptr<juce::AudioFormatReader> original(formatManager->createReaderFor(tone));
    juce::AudioBuffer<float> expected(1, 20 * 512);
    original->read(&expected, 0, expected.getNumSamples(), 0, true, false);
    for (int i = 0; i < expected.getNumSamples(); i += 97)
        ASSERT_FLOAT_EQ(out.getSample(0, i), expected.getSample(0, i)) << "sample " << i;

    // Loading the next file lets the archive go only after the player let go of its reader.
    strip.stop();
    EXPECT_TRUE(strip.setAudioFile(tone));
    EXPECT_EQ(strip.getLengthLabel().getText(), "0:01.50");
}

TEST_F(PreviewStripTest, AHugeFileNamedAsCoursewareIsNotReadIntoMemory)
{
    // Sparse files of 2 GiB: one holding nothing, one whose end record claims that its directory
    // starts right at the beginning, which would have the whole file read in as the directory.
    constexpr juce::int64 length = (juce::int64)2 << 30;
    const auto makeSparse = [&](const String& name, bool withEndRecord)
    {
        const auto file = homeFile(name);
        {
            juce::FileOutputStream out(file);
            EXPECT_TRUE(out.openedOk());
            if (withEndRecord)
            {
                out.writeInt(0);
                out.writeInt(0x02014b50);
                out.setPosition(length - 22);
                out.writeInt(0x06054b50);
                out.writeShort(0);
                out.writeShort(0);
                out.writeShort(1);
                out.writeShort(1);
                out.writeInt((int)(length - 22 - 4));
                out.writeInt(4);
                out.writeShort(0);
            }
        }
        EXPECT_EQ(truncate(file.getFullPathName().toRawUTF8(), (off_t)length), 0);
        return file;
    };

    for (const bool withEndRecord : {false, true})
    {
        SCOPED_TRACE(withEndRecord ? "a directory claiming the whole file" : "no archive");
        const auto huge = makeSparse("huge.qzc", withEndRecord);
        rusage before{}, after{};
        getrusage(RUSAGE_SELF, &before);
        EXPECT_FALSE(strip.setAudioFile(huge));
        getrusage(RUSAGE_SELF, &after);
        EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << "kilobytes taken while looking";
        huge.deleteFile();
    }
}

//==============================================================================
struct RepeatCase
{
    bool autoLoop;
    int loopTimes;
    int heard; // times the file is heard before the end-of-preview message
};

TEST_F(PreviewStripTest, TheRepeatSettingsDecideHowOftenAPreviewIsHeardBeforeItEnds)
{
    const RepeatCase cases[] = {{false, 3, 1}, {true, 1, 1}, {true, 3, 3}};
    const auto file = AudioFixtures::writeHomeTone("tone.wav", 1.0);

    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "loop " << c.autoLoop << ", times " << c.loopTimes);
        systemModel->fbAutoLoop = c.autoLoop;
        systemModel->fbLoopTimes = c.loopTimes;
        ends.count = 0;
        ASSERT_TRUE(strip.setAudioFile(file));
        strip.start();

        for (int time = 1; time < c.heard; ++time)
        {
            reachEnd();
            EXPECT_EQ(ends.count, 0) << "after hearing it " << time << " times";
            EXPECT_TRUE(playing()) << "a repeat plays on";
            EXPECT_LT(strip.getPlayer().transportSource.getCurrentPosition(), 0.5) << "a repeat starts over";
        }
        reachEnd();
        EXPECT_EQ(ends.count, 1);
        EXPECT_EQ(strip.getPlayer().transportSource.getCurrentPosition(), 0.0) << "back at the start";
        pump(100);
        EXPECT_EQ(ends.count, 1) << "the message comes once";

        // The repeats are used up until the file is loaded again: the button plays it once.
        strip.getPlayButton().triggerClick();
        pump(50);
        EXPECT_TRUE(playing());
        reachEnd();
        EXPECT_EQ(ends.count, 2);
    }
}

TEST_F(PreviewStripTest, ThePlayButtonTogglesAndTheBarMovesThePlayback)
{
    ASSERT_TRUE(strip.setAudioFile(AudioFixtures::writeHomeTone("tone.wav", 4.0)));
    strip.getPlayButton().triggerClick();
    pump(50);
    EXPECT_TRUE(playing());

    strip.getPositionSlider().setValue(0.5, juce::sendNotificationSync);
    EXPECT_NEAR(strip.getPlayer().transportSource.getCurrentPosition(), 2.0, 0.01);
    EXPECT_EQ(strip.getTimeLabel().getText(), "0:02.00");

    strip.getPlayButton().triggerClick();
    pump(50);
    EXPECT_FALSE(playing());
}

//==============================================================================
struct WidthCase
{
    int width;
    bool time, length, bar, button;
};

TEST(PreviewStripLayout, PartsHideAsTheStripNarrows)
{
    ProcessWideObjects objects;
    BrowserListenComponent strip;
    const WidthCase cases[] = {
        {330, true, true, true, true},   {200, true, true, true, true},   {199, true, true, false, true},
        {150, true, true, false, true},  {149, true, false, false, true}, {85, true, false, false, true},
        {84, false, false, false, true}, {20, false, false, false, true}, {19, false, false, false, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "width " << c.width);
        strip.setSize(c.width, 30);
        EXPECT_EQ(strip.getTimeLabel().isVisible(), c.time);
        EXPECT_EQ(strip.getLengthLabel().isVisible(), c.length);
        EXPECT_EQ(strip.getPositionSlider().isVisible(), c.bar);
        EXPECT_EQ(strip.getPlayButton().isVisible(), c.button);
        if (c.time)
        {
            EXPECT_EQ(strip.getTimeLabel().getBounds(), juce::Rectangle<int>(5, 5, 65, 20));
        }
        if (c.length)
        {
            EXPECT_EQ(strip.getLengthLabel().getBounds(), juce::Rectangle<int>(c.width - 85, 5, 65, 20));
        }
        if (c.bar)
        {
            EXPECT_EQ(strip.getPositionSlider().getBounds(), juce::Rectangle<int>(63, 5, c.width - 143, 20));
        }
        if (c.button)
        {
            EXPECT_EQ(strip.getPlayButton().getBounds(), juce::Rectangle<int>(c.width - 18, 10, 12, 12));
        }
    }

    // Widening again shows what was hidden.
    strip.setSize(330, 30);
    EXPECT_TRUE(strip.getPositionSlider().isVisible());
    EXPECT_TRUE(strip.getPlayButton().isVisible());

    strip.setEnabled(false);
    EXPECT_FALSE(strip.getPlayButton().isEnabled());
    EXPECT_NEAR(strip.getPositionSlider().getAlpha(), 0.5f, 0.01f);
    strip.setEnabled(true);
    EXPECT_NEAR(strip.getPositionSlider().getAlpha(), 1.0f, 0.01f);
}
