#include "workspace/Main.h"

#include "engine/SystemModel.h"
#include "platform/Mp3AudioFormat.h"
#include "workspace/MainWindow.h"
#include "workspace/QzLookAndFeel.h"

#include "harness/ModalAnswerer.h"

#include <gtest/gtest.h>

namespace
{
bool allProcessWideObjectsNull()
{
    return undoManager == nullptr && commandManager == nullptr && formatManager == nullptr &&
           deviceManager == nullptr && systemModel == nullptr;
}
} // namespace

TEST(Application, NameVersionAndOneInstancePerUser)
{
    qzApplication app;
    EXPECT_EQ(app.getApplicationName(), "qZ");
    EXPECT_EQ(app.getApplicationVersion(), "2.3.0402");

    // The instance channel is named after the user's home, so two users (or two homes) never
    // meet, and the same home always finds its running instance.
    const auto here = qzApplication::instanceChannelName();
    EXPECT_EQ(here, qzApplication::instanceChannelName());
    const auto savedHome = juce::SystemStats::getEnvironmentVariable("HOME", {});
    setenv("HOME", "/tmp/qz-another-user", 1);
    const auto there = qzApplication::instanceChannelName();
    setenv("HOME", savedHome.toRawUTF8(), 1);
    EXPECT_NE(here, there);
}

TEST(Application, InitialiseCreatesEverythingAndShutdownClearsIt)
{
    qzApplication app;
    ASSERT_TRUE(allProcessWideObjectsNull());
    app.initialise({});

    ASSERT_NE(undoManager, nullptr);
    ASSERT_NE(commandManager, nullptr);
    ASSERT_NE(formatManager, nullptr);
    ASSERT_NE(deviceManager, nullptr);
    ASSERT_NE(systemModel, nullptr);
    EXPECT_NE(dynamic_cast<QzLookAndFeel*>(&juce::LookAndFeel::getDefaultLookAndFeel()), nullptr);

    // The basic formats, with our MP3 reader the one chosen for ".mp3".
    for (auto* extension : {"wav", "aiff", "flac", "ogg"})
        EXPECT_NE(formatManager->findFormatForFileExtension(extension), nullptr) << extension;
    EXPECT_NE(dynamic_cast<Mp3AudioFormat*>(formatManager->findFormatForFileExtension("mp3")), nullptr);

    auto* window = app.getMainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->getName(), "qZ");
    EXPECT_TRUE(window->isVisible());

    // Where the test command runs a JACK dummy server, start-up opens it as the default device.
    if (juce::SystemStats::getEnvironmentVariable("QZ_AUDIO_DEVICE_EXPECTED", {}) == "1")
    {
        EXPECT_NE(deviceManager->getCurrentAudioDevice(), nullptr);
    }

    app.shutdown();
    EXPECT_TRUE(allProcessWideObjectsNull());
    EXPECT_EQ(app.getMainWindow(), nullptr);
    EXPECT_TRUE(SystemModel::getSettingsFile().existsAsFile());
}

TEST(Application, UndoHistoryKeepsAtLeastThirtyTransactions)
{
    qzApplication app;
    app.initialise({});
    juce::ValueTree tree("T");
    for (int i = 0; i < 40; ++i)
    {
        undoManager->beginNewTransaction("step " + juce::String(i));
        tree.setProperty("v", i, undoManager);
    }
    int undone = 0;
    while (undoManager->undo())
        ++undone;
    EXPECT_GE(undone, 30);
    app.shutdown();
}

TEST(Application, ShutdownWithoutInitialiseIsHarmless)
{
    // The framework calls shutdown even when a second start ended before initialise.
    qzApplication app;
    app.shutdown();
    EXPECT_TRUE(allProcessWideObjectsNull());
}

TEST(Application, SecondStartShowsTheBoxInTheRunningInstance)
{
    qzApplication app;
    app.initialise({});
    auto* window = app.getMainWindow();

    ModalAnswerer answerer;
    answerer.press(TRANS("OK"));
    app.anotherInstanceStarted({});

    // A first start speaks Simplified Chinese.
    ASSERT_EQ(answerer.seen().size(), 1u);
    const auto& box = answerer.seen()[0];
    EXPECT_EQ(box.title, juce::String::fromUTF8("啊哦"));
    EXPECT_EQ(box.message, TRANS("This program has been running."));
    EXPECT_NE(box.message, "This program has been running.");
    EXPECT_EQ(box.buttons, juce::StringArray(TRANS("OK")));
    EXPECT_EQ(box.icon, juce::MessageBoxIconType::InfoIcon);

    // The first window stays: nothing else is opened or closed.
    EXPECT_EQ(app.getMainWindow(), window);
    EXPECT_TRUE(window->isVisible());
    app.shutdown();
}
