#pragma once

#include "platform/ShiftedKeyListener.h"

#include <juce_audio_devices/juce_audio_devices.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class AudioSentencesPlayer;
class CourseController;
class LevelMeterComponent;

/** The tool window through which the course's sentence audio is heard, and where the learner sets
    the playback volume and the loop modes.

    Its device callback forwards every block to the sentence player's source player and feeds the
    two level meters with what came out, so the sentence audio is audible for as long as the panel
    exists, shown or hidden. The volume is written into the player's gains and the waveform scale;
    the loop values go straight into the controller, which carries out the loops.

    Closing the window only hides it; the controller deletes it when the workspace is cleared. */
class MixerAndLoopPanel : public juce::Component,
                          public juce::AudioIODeviceCallback,
                          public juce::Slider::Listener,
                          public juce::Button::Listener
{
public:
    explicit MixerAndLoopPanel(CourseController* courseController);
    ~MixerAndLoopPanel() override;

    void userTriedToCloseWindow() override;
    void paint(juce::Graphics& g) override;
    void resized() override;

    void audioDeviceIOCallbackWithContext(const float* const* inputChannelData, int numInputChannels,
                                          float* const* outputChannelData, int numOutputChannels,
                                          int numSamples,
                                          const juce::AudioIODeviceCallbackContext& context) override;
    void audioDeviceAboutToStart(juce::AudioIODevice* device) override;
    void audioDeviceStopped() override;

    void sliderValueChanged(juce::Slider* slider) override;
    void buttonClicked(juce::Button* button) override;

    /** Flip the loop toggles as a click would (for the keyboard commands). */
    void setSentenceLoopMode();
    void setCourseLoopMode();

    bool isSentenceLoopOn() const;
    bool isCourseLoopOn() const;

    /** The texts are translated once, when the panel is built: nothing to change afterwards. */
    void setWidgetsText() {}

private:
    void buildWidgets();
    void setInitialValues();
    void startMeters();
    void enableSentenceLoopSliders(bool enabled);
    void sendSentenceLooping(int repeatLimit, double pauseFactor);
    static void setEnabledLook(juce::Component& component, bool enabled);

    CourseController* controller;
    AudioSentencesPlayer* player;
    juce::AudioSourcePlayer* sourcePlayer;

    std::unique_ptr<ShiftedKeyListener> shiftedKeys;
    std::unique_ptr<juce::TimeSliceThread> meterThread;
    std::unique_ptr<LevelMeterComponent> leftMeter;
    std::unique_ptr<LevelMeterComponent> rightMeter;

    std::unique_ptr<juce::GroupComponent> volumeGroup;
    std::unique_ptr<juce::Slider> volumeSlider;
    std::unique_ptr<juce::Label> titleLabel;
    std::unique_ptr<juce::GroupComponent> loopGroup;
    std::unique_ptr<juce::Slider> timesSlider;
    std::unique_ptr<juce::Label> timesLabel;
    std::unique_ptr<juce::Slider> intervalSlider;
    std::unique_ptr<juce::Label> intervalLabel;
    std::unique_ptr<juce::ToggleButton> sentenceLoopToggle;
    std::unique_ptr<juce::ToggleButton> courseLoopToggle;
    std::unique_ptr<juce::Slider> courseLoopSlider;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(MixerAndLoopPanel)
};
