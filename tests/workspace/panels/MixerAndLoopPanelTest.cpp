// The mixer and loop panel: its device callback pulling the sentence player and feeding the two
// meters, the volume slider's mapping onto the gains and the waveform scale, the loop widgets
// writing into the controller, closing that only hides, its widgets and their translated texts.
#include "workspace/panels/MixerAndLoopPanel.h"

#include "engine/GlobalData.h"
#include "engine/SystemModel.h"
#include "engine/audio/AudioSentencesPlayer.h"
#include "harness/AudioFixtures.h"
#include "harness/PlaybackProbe.h"
#include "harness/ProcessWideObjects.h"
#include "workspace/CourseController.h"
#include "workspace/Main.h"
#include "workspace/panels/LevelMeterComponent.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{
constexpr double rate = 44100.0;
constexpr int blockSize = 512;
constexpr int courseLength = 5 * 44100;

// The widgets by their focus order.
constexpr int volumeOrder = 7, sentenceLoopOrder = 8, timesOrder = 9, intervalOrder = 10,
              courseLoopOrder = 11, courseLoopCountOrder = 12;

/** Course audio whose two channels differ, written to a WAV file and read back as the course
    model reads it. */
class CourseAudio
{
public:
    CourseAudio()
    {
        auto samples = PlaybackProbe::noise(2, courseLength);
        samples.applyGain(1, 0, courseLength, 0.5f); // the right channel quieter than the left
        AudioFixtures::writeWav(file, samples, rate);
        reader.reset(juce::WavAudioFormat().createReaderFor(file.createInputStream().release(), true));
    }

    /** A reader over one sentence's span, as the course model hands it to the player. */
    juce::AudioFormatReader* sentence() const
    {
        return new juce::AudioSubsectionReader(reader.get(), 1000, courseLength - 2000, false);
    }

private:
    // The test's own home: no other test process writes there.
    juce::File file =
        juce::File::getSpecialLocation(juce::File::userHomeDirectory).getChildFile("course.wav");
    std::unique_ptr<juce::AudioFormatReader> reader;
};

/** Cues the sentence and plays it, prepared as a device would prepare it. */
void cueAndStart(AudioSentencesPlayer& player, const CourseAudio& audio)
{
    player.sourcePlayer.prepareToPlay(rate, blockSize);
    player.setAudioSource(audio.sentence());
    player.start(0.0);
}

float peakOf(const juce::AudioBuffer<float>& samples, int channel, int from = 0)
{
    return samples.getMagnitude(channel, from, samples.getNumSamples() - from);
}

juce::MouseEvent doubleClickOn(juce::Component& component)
{
    const auto now = juce::Time::getCurrentTime();
    const auto centre = component.getLocalBounds().getCentre().toFloat();
    return juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(), centre,
                            juce::ModifierKeys(juce::ModifierKeys::leftButtonModifier),
                            juce::MouseInputSource::defaultPressure, 0.0f, 0.0f, 0.0f, 0.0f, &component,
                            &component, now, centre, now, 2, false);
}

class MixerAndLoopPanelTest : public testing::Test
{
protected:
    ~MixerAndLoopPanelTest() override
    {
        panel.reset();
        // Detached, the transport stops at once; a stop would wait for a device that isn't there.
        player().transportSource.setSource(nullptr);
        GlobalData::resetAllRuningGlobalData();
    }

    void build() { panel = std::make_unique<MixerAndLoopPanel>(&controller); }

    AudioSentencesPlayer& player() { return controller.getSentencePlayer(); }

    template <typename Widget> Widget& widget(int focusOrder)
    {
        for (auto* child : panel->getChildren())
            if (child->getExplicitFocusOrder() == focusOrder)
                if (auto* found = dynamic_cast<Widget*>(child))
                    return *found;
        ADD_FAILURE() << "no widget of focus order " << focusOrder;
        throw std::runtime_error("missing widget");
    }
    juce::Slider& slider(int focusOrder) { return widget<juce::Slider>(focusOrder); }
    juce::ToggleButton& toggle(int focusOrder) { return widget<juce::ToggleButton>(focusOrder); }

    /** The two meters, left first. */
    std::vector<LevelMeterComponent*> meters() const
    {
        std::vector<LevelMeterComponent*> found;
        for (auto* child : panel->getChildren())
            if (auto* meter = dynamic_cast<LevelMeterComponent*>(child))
                found.push_back(meter);
        std::sort(found.begin(), found.end(), [](auto* a, auto* b) { return a->getX() < b->getX(); });
        return found;
    }

    /** The texts the panel shows in labels, groups and toggles. */
    juce::StringArray shownTexts() const
    {
        juce::StringArray texts;
        for (auto* child : panel->getChildren())
        {
            if (auto* label = dynamic_cast<juce::Label*>(child))
                texts.add(label->getText());
            else if (auto* group = dynamic_cast<juce::GroupComponent*>(child))
                texts.add(group->getText());
            else if (auto* button = dynamic_cast<juce::Button*>(child))
                texts.add(button->getButtonText());
        }
        return texts;
    }

    ProcessWideObjects objects;
    CourseController controller;
    std::unique_ptr<MixerAndLoopPanel> panel;
};

/** Lets a meter's held level fall to almost nothing, so the next analysis block sets it. */
void decay(LevelMeterComponent& meter)
{
    for (int tick = 0; tick < 400; ++tick)
        meter.calculateSegments();
}

/** Waits for the meter thread's analysis without running the message loop, whose 30 ms ticks
    would decay the level meanwhile. */
bool analysed(LevelMeterComponent& meter)
{
    for (int i = 0; i < 500 && meter.getLevel() <= 1.0e-6f; ++i)
        juce::Thread::sleep(10);
    return meter.getLevel() > 1.0e-6f;
}
} // namespace

TEST_F(MixerAndLoopPanelTest, WidgetsStandWhereTheyBelongWithTheirRanges)
{
    build();
    EXPECT_EQ(juce::Rectangle<int>(0, 0, 305, 305), panel->getLocalBounds());

    const struct
    {
        int focusOrder;
        juce::Rectangle<int> bounds;
        double minimum, maximum, doubleClick;
        const char* suffix;
    } sliders[] = {
        {volumeOrder, {20, 60, 60, 228}, 0, 600, 100, "%"},
        {timesOrder, {175, 78, 40, 165}, 1, 50, 1, ""},
        {intervalOrder, {231, 78, 40, 165}, 0, 500, 100, "%"},
        {courseLoopCountOrder, {208, 278, 87, 22}, 1, 50, 0, ""},
    };
    for (const auto& s : sliders)
    {
        SCOPED_TRACE(s.focusOrder);
        auto& widget = slider(s.focusOrder);
        EXPECT_EQ(s.bounds, widget.getBounds());
        EXPECT_EQ(s.minimum, widget.getMinimum());
        EXPECT_EQ(s.maximum, widget.getMaximum());
        EXPECT_EQ(1.0, widget.getInterval());
        EXPECT_EQ(juce::String(s.suffix), widget.getTextValueSuffix());
        if (s.focusOrder == courseLoopCountOrder)
            EXPECT_EQ(juce::Slider::IncDecButtons, widget.getSliderStyle());
        else
        {
            EXPECT_EQ(juce::Slider::LinearVertical, widget.getSliderStyle());
            EXPECT_TRUE(widget.isDoubleClickReturnEnabled());
            EXPECT_EQ(s.doubleClick, widget.getDoubleClickReturnValue());
        }
    }

    EXPECT_EQ(juce::Rectangle<int>(164, 243, 123, 25), toggle(sentenceLoopOrder).getBounds());
    EXPECT_EQ(juce::Rectangle<int>(96, 275, 100, 25), toggle(courseLoopOrder).getBounds());
    EXPECT_FALSE(toggle(sentenceLoopOrder).getMouseClickGrabsKeyboardFocus());
    EXPECT_FALSE(toggle(courseLoopOrder).getMouseClickGrabsKeyboardFocus());

    const auto meter = meters();
    ASSERT_EQ(2u, meter.size());
    EXPECT_EQ(juce::Rectangle<int>(111, 49, 10, 222), meter[0]->getBounds());
    EXPECT_EQ(juce::Rectangle<int>(121, 49, 10, 222), meter[1]->getBounds());
}

TEST_F(MixerAndLoopPanelTest, DeviceCallbackPlaysTheSentenceAtTheVolumeAndFeedsTheMeters)
{
    CourseAudio audio;
    for (const double volume : {50.0, 0.0, 600.0})
    {
        SCOPED_TRACE(volume);
        build();
        AudioSentencesPlayer reference;
        cueAndStart(player(), audio);
        cueAndStart(reference, audio);
        slider(volumeOrder).setValue(volume, juce::sendNotificationSync);

        const auto heard = PlaybackProbe::pull(*panel, 2, 8, blockSize);
        const auto expected = PlaybackProbe::pull(reference.sourcePlayer, 2, 8, blockSize);
        // The first block ramps from the old gain; from the second on the gain is flat.
        const float gain = (float)(volume / 100.0);
        int differing = 0;
        for (int channel = 0; channel < 2; ++channel)
            for (int i = blockSize; i < heard.getNumSamples(); ++i)
                differing +=
                    std::abs(heard.getSample(channel, i) - gain * expected.getSample(channel, i)) > 1.0e-5f;
        EXPECT_EQ(0, differing) << "samples not equal to the player's audio times " << gain;
        EXPECT_GE(peakOf(heard, 0, blockSize), volume > 0.0 ? 0.1f * gain : 0.0f) << "sound came out";
        EXPECT_LE(peakOf(heard, 0, blockSize), 0.5f * gain) << "no louder than the gain makes it";

        reference.transportSource.setSource(nullptr);
        player().transportSource.setSource(nullptr);
        panel.reset();
    }
}

TEST_F(MixerAndLoopPanelTest, MetersShowWhatTheCallbackProducedLeftAndRightOrChannel0OnMono)
{
    CourseAudio audio;
    build();
    cueAndStart(player(), audio);
    auto meter = meters();
    ASSERT_EQ(2u, meter.size());

    // One block of 2048 frames is one analysis block.
    constexpr int analysisBlock = 2048;
    for (const int numOutputs : {2, 1})
    {
        SCOPED_TRACE(numOutputs);
        decay(*meter[0]);
        decay(*meter[1]);
        const auto heard = PlaybackProbe::pull(*panel, numOutputs, 1, analysisBlock);
        ASSERT_TRUE(analysed(*meter[0]) && analysed(*meter[1]));
        EXPECT_FLOAT_EQ(peakOf(heard, 0), meter[0]->getLevel()) << "left meter";
        EXPECT_FLOAT_EQ(peakOf(heard, numOutputs - 1), meter[1]->getLevel()) << "right meter";
        if (numOutputs == 2)
        {
            EXPECT_LT(peakOf(heard, 1), 0.75f * peakOf(heard, 0)) << "the channels differ";
        }
    }

    // No output channel: nothing to show.
    decay(*meter[0]);
    decay(*meter[1]);
    const float left = meter[0]->getLevel(), right = meter[1]->getLevel();
    PlaybackProbe::pull(*panel, 0, 4, analysisBlock);
    juce::Thread::sleep(50);
    EXPECT_EQ(left, meter[0]->getLevel());
    EXPECT_EQ(right, meter[1]->getLevel());
}

TEST_F(MixerAndLoopPanelTest, VolumeWritesBothGainsAndTheWaveformScaleOnASkewedScale)
{
    CourseAudio audio;
    player().gain = 2.5f;
    player().setAudioSource(audio.sentence());
    build();
    auto& volume = slider(volumeOrder);
    EXPECT_EQ(250.0, volume.getValue()) << "starts from the player's gain";

    for (const double value : {0.0, 100.0, 600.0, 37.0})
    {
        SCOPED_TRACE(value);
        volume.setValue(value, juce::sendNotificationSync);
        const float factor = (float)(value / 100.0);
        EXPECT_EQ(factor, player().gain.load());
        EXPECT_EQ(factor, player().effectSource->gain.load());
        EXPECT_EQ(factor, GlobalData::ampFactor);
    }

    EXPECT_DOUBLE_EQ(0.5, volume.valueToProportionOfLength(100.0)) << "100 % at the middle";
    EXPECT_DOUBLE_EQ(0.0, volume.valueToProportionOfLength(0.0));
    EXPECT_DOUBLE_EQ(1.0, volume.valueToProportionOfLength(600.0));

    volume.setValue(420.0, juce::sendNotificationSync);
    volume.mouseDoubleClick(doubleClickOn(volume));
    EXPECT_EQ(100.0, volume.getValue()) << "a double click returns to 100 %";
    EXPECT_EQ(1.0f, player().gain.load());
    EXPECT_EQ(1.0f, player().effectSource->gain.load());
    EXPECT_EQ(1.0f, GlobalData::ampFactor);

    // With nothing cued only the player's own gain is there to take it.
    player().setAudioSource(nullptr);
    volume.setValue(300.0, juce::sendNotificationSync);
    EXPECT_EQ(3.0f, player().gain.load());
}

TEST_F(MixerAndLoopPanelTest, StartsFromTheControllersLoopValuesWithBothLoopsOff)
{
    controller.setSentenceLooping(true, 7, 1.5);
    build();
    EXPECT_EQ(7.0, slider(timesOrder).getValue());
    EXPECT_EQ(150.0, slider(intervalOrder).getValue());
    EXPECT_EQ(2.0, slider(courseLoopCountOrder).getValue());
    EXPECT_FALSE(toggle(sentenceLoopOrder).getToggleState());
    EXPECT_FALSE(toggle(courseLoopOrder).getToggleState());
    for (const int order : {timesOrder, intervalOrder, courseLoopCountOrder})
    {
        EXPECT_FALSE(slider(order).isEnabled()) << order;
        EXPECT_NEAR(0.5f, slider(order).getAlpha(), 0.01f) << order;
    }
    // The controller's loop goes off with the toggle; its count and factor stay.
    EXPECT_FALSE(controller.isSentenceLoopOn());
    EXPECT_EQ(7, controller.getSentenceRepeatLimit());
    EXPECT_DOUBLE_EQ(1.5, controller.getPauseFactor());
}

TEST_F(MixerAndLoopPanelTest, LoopWidgetsWriteIntoTheController)
{
    build();
    EXPECT_EQ(3.0, slider(timesOrder).getValue()) << "the controller's start values";
    EXPECT_EQ(90.0, slider(intervalOrder).getValue());

    // A click on the toggle, as the learner makes it.
    toggle(sentenceLoopOrder).triggerClick();
    ASSERT_TRUE(PlaybackProbe::pumpUntil([&] { return controller.isSentenceLoopOn(); }, 5000));
    EXPECT_EQ(3, controller.getSentenceRepeatLimit());
    EXPECT_DOUBLE_EQ(0.9, controller.getPauseFactor());
    for (const int order : {timesOrder, intervalOrder})
    {
        EXPECT_TRUE(slider(order).isEnabled()) << order;
        EXPECT_EQ(1.0f, slider(order).getAlpha()) << order;
    }

    // Each slider sends the other's current value along unchanged.
    slider(timesOrder).setValue(5.0, juce::sendNotificationSync);
    EXPECT_EQ(5, controller.getSentenceRepeatLimit());
    EXPECT_DOUBLE_EQ(0.9, controller.getPauseFactor());
    slider(intervalOrder).setValue(0.0, juce::sendNotificationSync);
    EXPECT_EQ(5, controller.getSentenceRepeatLimit());
    EXPECT_DOUBLE_EQ(0.0, controller.getPauseFactor());
    slider(intervalOrder).setValue(250.0, juce::sendNotificationSync);
    EXPECT_DOUBLE_EQ(2.5, controller.getPauseFactor());

    // Off by the keyboard command's road: greyed out, values kept.
    panel->setSentenceLoopMode();
    EXPECT_FALSE(controller.isSentenceLoopOn());
    EXPECT_FALSE(panel->isSentenceLoopOn());
    EXPECT_EQ(5, controller.getSentenceRepeatLimit());
    EXPECT_DOUBLE_EQ(2.5, controller.getPauseFactor());
    EXPECT_FALSE(slider(timesOrder).isEnabled());
    EXPECT_NEAR(0.5f, slider(intervalOrder).getAlpha(), 0.01f);
    EXPECT_EQ(5.0, slider(timesOrder).getValue());

    panel->setCourseLoopMode();
    EXPECT_TRUE(controller.isCourseLoopOn());
    EXPECT_TRUE(panel->isCourseLoopOn());
    EXPECT_TRUE(slider(courseLoopCountOrder).isEnabled());
    EXPECT_EQ(1.0f, slider(courseLoopCountOrder).getAlpha());
    slider(courseLoopCountOrder).setValue(7.0, juce::sendNotificationSync);
    EXPECT_EQ(7, controller.getCourseLoopLimit());
    toggle(courseLoopOrder).triggerClick();
    ASSERT_TRUE(PlaybackProbe::pumpUntil([&] { return !controller.isCourseLoopOn(); }, 5000));
    EXPECT_FALSE(slider(courseLoopCountOrder).isEnabled());
    EXPECT_EQ(7, controller.getCourseLoopLimit());
}

TEST_F(MixerAndLoopPanelTest, ClosingHidesThePanelAndTheSentenceStillPlays)
{
    CourseAudio audio;
    build();
    panel->addToDesktop(juce::ComponentPeer::windowHasTitleBar | juce::ComponentPeer::windowHasCloseButton);
    panel->setVisible(true);
    cueAndStart(player(), audio);

    panel->userTriedToCloseWindow();
    EXPECT_FALSE(panel->isVisible());
    EXPECT_TRUE(panel->isOnDesktop()) << "hidden, not taken down";
    EXPECT_GT(peakOf(PlaybackProbe::pull(*panel, 2, 4, blockSize), 0), 0.1f) << "still heard";
}

TEST_F(MixerAndLoopPanelTest, TextsAreTranslatedWhenBuiltAndStayAsTheyWere)
{
    ASSERT_EQ(2, systemModel->language) << "Simplified Chinese by default";
    build();
    const auto texts = shownTexts();
    for (const char* english :
         {"Mixer And Loop Setup", "Volume", "Loop", "Times", "Interval", "Sentence loop", "Course loop"})
    {
        EXPECT_NE(juce::String(english), TRANS(english)) << english << " has no translation";
        EXPECT_TRUE(texts.contains(TRANS(english))) << english << " not shown translated";
    }

    systemModel->language = 1;
    systemModel->setAppLanguage();
    panel->setWidgetsText();
    EXPECT_EQ(texts, shownTexts()) << "a language change shows only in a panel built anew";
    build();
    EXPECT_TRUE(shownTexts().contains("Mixer And Loop Setup"));
}

TEST_F(MixerAndLoopPanelTest, ARunningDeviceHearsTheSentenceThroughThePanel)
{
    if (juce::SystemStats::getEnvironmentVariable("QZ_AUDIO_DEVICE_EXPECTED", {}) != "1")
        GTEST_SKIP() << "needs a running audio device (QZ_AUDIO_DEVICE_EXPECTED=1)";
    deviceManager->initialise(0, 2, nullptr, true);
    ASSERT_NE(nullptr, deviceManager->getCurrentAudioDevice());

    CourseAudio audio;
    build(); // registers with the device manager, which prepares the player's source player
    player().setAudioSource(audio.sentence());
    player().start(0.0);
    auto meter = meters();
    EXPECT_TRUE(
        PlaybackProbe::pumpUntil([&] { return player().transportSource.getCurrentPosition() > 0.3; }, 5000))
        << "the device pulls the sentence through the hidden panel";
    EXPECT_TRUE(analysed(*meter[0]) && analysed(*meter[1])) << "and the meters move";

    player().stop();
    panel.reset(); // leaves the device manager's callbacks: the transport no longer moves
    const double stoppedAt = player().transportSource.getCurrentPosition();
    player().start(-1.0);
    juce::Thread::sleep(200);
    EXPECT_EQ(stoppedAt, player().transportSource.getCurrentPosition());
    player().transportSource.setSource(nullptr);
    deviceManager->closeAudioDevice();
}
