#include "workspace/panels/MixerAndLoopPanel.h"

#include "engine/GlobalData.h"
#include "engine/audio/AudioSentencesPlayer.h"
#include "workspace/CourseController.h"
#include "workspace/Main.h"
#include "workspace/panels/LevelMeterComponent.h"

namespace
{
constexpr int panelSize = 305;
const juce::Colour panelBackground(0xff333333);
const juce::Colour widgetText(0xffcccccc);
// Room for device blocks reserved in the meters before any device starts; a device announces its
// own block size when it starts.
constexpr int meterBlockRoom = 4096;
constexpr int meterThreadStopMs = 500;
constexpr int courseLoopStart = 2;
constexpr float disabledAlpha = 0.5f;

std::unique_ptr<juce::Slider> makeVerticalSlider(double minimum, double maximum, const juce::String& suffix,
                                                 double doubleClickValue, int focusOrder)
{
    auto slider = std::make_unique<juce::Slider>(juce::Slider::LinearVertical, juce::Slider::TextBoxBelow);
    slider->setTextBoxStyle(juce::Slider::TextBoxBelow, false, 80, 20);
    slider->setRange(minimum, maximum, 1.0);
    slider->setTextValueSuffix(suffix);
    slider->setDoubleClickReturnValue(true, doubleClickValue);
    slider->setExplicitFocusOrder(focusOrder);
    slider->setColour(juce::Slider::trackColourId, juce::Colour(0xccaaaaaa));
    slider->setColour(juce::Slider::textBoxTextColourId, widgetText);
    slider->setColour(juce::Slider::textBoxBackgroundColourId, juce::Colours::transparentBlack);
    slider->setColour(juce::Slider::textBoxOutlineColourId, juce::Colours::transparentBlack);
    return slider;
}

std::unique_ptr<juce::Label> makeLabel(const juce::String& text, const juce::Font& font, juce::Colour colour)
{
    auto label = std::make_unique<juce::Label>(juce::String(), text);
    label->setFont(font);
    label->setJustificationType(juce::Justification::centred);
    label->setEditable(false, false, false);
    label->setColour(juce::Label::textColourId, colour);
    return label;
}

std::unique_ptr<juce::GroupComponent> makeGroup(const juce::String& text, juce::Colour outline)
{
    auto group = std::make_unique<juce::GroupComponent>(juce::String(), text);
    group->setTextLabelPosition(juce::Justification::centred);
    group->setColour(juce::GroupComponent::outlineColourId, outline);
    group->setColour(juce::GroupComponent::textColourId, widgetText);
    return group;
}

std::unique_ptr<juce::ToggleButton> makeToggle(const juce::String& text, int focusOrder)
{
    auto toggle = std::make_unique<juce::ToggleButton>(text);
    toggle->setColour(juce::ToggleButton::textColourId, widgetText);
    toggle->setExplicitFocusOrder(focusOrder);
    toggle->setMouseClickGrabsKeyboardFocus(false);
    return toggle;
}
} // namespace

MixerAndLoopPanel::MixerAndLoopPanel(CourseController* courseController)
    : controller(courseController), player(&controller->getSentencePlayer()),
      sourcePlayer(&player->sourcePlayer)
{
    buildWidgets();
    for (auto* slider : {volumeSlider.get(), timesSlider.get(), intervalSlider.get(), courseLoopSlider.get()})
        slider->addListener(this);
    sentenceLoopToggle->addListener(this);
    courseLoopToggle->addListener(this);

    enableSentenceLoopSliders(sentenceLoopToggle->getToggleState());
    setEnabledLook(*courseLoopSlider, courseLoopToggle->getToggleState());
    setInitialValues();
    startMeters();

    if (deviceManager != nullptr)
        deviceManager->addAudioCallback(this);

    setSize(panelSize, panelSize);
    if (commandManager != nullptr)
    {
        shiftedKeys = std::make_unique<ShiftedKeyListener>(*commandManager->getKeyMappings());
        addKeyListener(shiftedKeys.get());
        addKeyListener(commandManager->getKeyMappings());
    }
}

MixerAndLoopPanel::~MixerAndLoopPanel()
{
    // No block may reach the meters once they are going, nor the meter thread analyse them.
    if (deviceManager != nullptr)
        deviceManager->removeAudioCallback(this);
    meterThread->stopThread(meterThreadStopMs);
    meterThread->removeAllClients();
    leftMeter.reset();
    rightMeter.reset();
    if (commandManager != nullptr)
    {
        removeKeyListener(commandManager->getKeyMappings());
        removeKeyListener(shiftedKeys.get());
    }
}

void MixerAndLoopPanel::buildWidgets()
{
    const juce::Colour groupOutlines[] = {juce::Colour(0xffaaaaaa), juce::Colour(0xff888888)};
    const juce::Font labelFont(15.0f, juce::Font::plain);

    volumeGroup = makeGroup(TRANS("Volume"), groupOutlines[0]);
    volumeGroup->setBounds(11, 39, 80, 257);
    volumeSlider = makeVerticalSlider(0.0, 600.0, "%", 100.0, 7);
    volumeSlider->setSkewFactorFromMidPoint(100.0);
    volumeSlider->setBounds(20, 60, 60, 228);

    titleLabel = makeLabel(TRANS("Mixer And Loop Setup"), juce::Font(25.0f, juce::Font::bold),
                           juce::Colour(0xffbcbcbc));
    titleLabel->setBounds(9, 8, 288, 24);

    loopGroup = makeGroup(TRANS("Loop"), groupOutlines[1]);
    loopGroup->setBounds(149, 39, 145, 235);
    timesSlider = makeVerticalSlider(1.0, 50.0, {}, 1.0, 9);
    timesSlider->setBounds(175, 78, 40, 165);
    timesLabel = makeLabel(TRANS("Times"), labelFont, widgetText);
    timesLabel->setBounds(167, 53, 50, 20);
    intervalSlider = makeVerticalSlider(0.0, 500.0, "%", 100.0, 10);
    intervalSlider->setBounds(231, 78, 40, 165);
    intervalLabel = makeLabel(TRANS("Interval"), labelFont, widgetText);
    intervalLabel->setBounds(219, 53, 65, 20);

    sentenceLoopToggle = makeToggle(TRANS("Sentence loop"), 8);
    sentenceLoopToggle->setBounds(164, 243, 123, 25);
    courseLoopToggle = makeToggle(TRANS("Course loop"), 11);
    courseLoopToggle->setBounds(96, 275, 100, 25);

    courseLoopSlider = std::make_unique<juce::Slider>(juce::Slider::IncDecButtons, juce::Slider::TextBoxLeft);
    courseLoopSlider->setTextBoxStyle(juce::Slider::TextBoxLeft, false, 35, 20);
    courseLoopSlider->setRange(1.0, 50.0, 1.0);
    courseLoopSlider->setColour(juce::Slider::textBoxBackgroundColourId, juce::Colour(0xffeaeaea));
    courseLoopSlider->setExplicitFocusOrder(12);
    courseLoopSlider->setBounds(208, 278, 87, 22);

    for (juce::Component* widget :
         {(juce::Component*)volumeGroup.get(), (juce::Component*)volumeSlider.get(),
          (juce::Component*)titleLabel.get(), (juce::Component*)loopGroup.get(),
          (juce::Component*)timesSlider.get(), (juce::Component*)timesLabel.get(),
          (juce::Component*)intervalSlider.get(), (juce::Component*)intervalLabel.get(),
          (juce::Component*)sentenceLoopToggle.get(), (juce::Component*)courseLoopToggle.get(),
          (juce::Component*)courseLoopSlider.get()})
        addAndMakeVisible(widget);
}

void MixerAndLoopPanel::setInitialValues()
{
    volumeSlider->setValue(player->gain.load() * 100.0, juce::dontSendNotification);
    timesSlider->setValue(controller->getSentenceRepeatLimit(), juce::dontSendNotification);
    intervalSlider->setValue(controller->getPauseFactor() * 100.0, juce::dontSendNotification);
    courseLoopSlider->setValue(courseLoopStart, juce::dontSendNotification);

    // The controller keeps its sentence loop through a cleared workspace; a new panel starts with
    // the toggle off, so the loop goes off with it rather than run unseen.
    controller->setSentenceLooping(false, controller->getSentenceRepeatLimit(), controller->getPauseFactor());
}

void MixerAndLoopPanel::startMeters()
{
    meterThread = std::make_unique<juce::TimeSliceThread>("Mixer meter thread");
    leftMeter = std::make_unique<LevelMeterComponent>();
    rightMeter = std::make_unique<LevelMeterComponent>();

    // The meters stand right of the volume group, one beside the other, a little shorter.
    const auto group = volumeGroup->getBounds();
    leftMeter->setBounds(group.getRight() + 20, group.getY() + 10, 10, group.getHeight() - 35);
    rightMeter->setBounds(leftMeter->getBounds().translated(leftMeter->getWidth(), 0));

    for (auto* meter : {leftMeter.get(), rightMeter.get()})
    {
        meter->reserveSamples(meterBlockRoom);
        addAndMakeVisible(meter);
        meterThread->addTimeSliceClient(meter, 0);
    }
    meterThread->startThread();
}

//==============================================================================
void MixerAndLoopPanel::userTriedToCloseWindow()
{
    setVisible(false);
}

void MixerAndLoopPanel::paint(juce::Graphics& g)
{
    g.fillAll(panelBackground);
}

void MixerAndLoopPanel::resized() {}

//==============================================================================
void MixerAndLoopPanel::audioDeviceIOCallbackWithContext(const float* const* inputChannelData,
                                                         int numInputChannels,
                                                         float* const* outputChannelData,
                                                         int numOutputChannels, int numSamples,
                                                         const juce::AudioIODeviceCallbackContext& context)
{
    sourcePlayer->audioDeviceIOCallbackWithContext(inputChannelData, numInputChannels, outputChannelData,
                                                   numOutputChannels, numSamples, context);
    if (numOutputChannels < 1)
        return;
    // A mono device shows its one channel on both meters.
    leftMeter->copySamples(outputChannelData[0], numSamples);
    rightMeter->copySamples(outputChannelData[numOutputChannels >= 2 ? 1 : 0], numSamples);
}

void MixerAndLoopPanel::audioDeviceAboutToStart(juce::AudioIODevice* device)
{
    sourcePlayer->audioDeviceAboutToStart(device);
    const int blockSize = device != nullptr ? device->getCurrentBufferSizeSamples() : 0;
    leftMeter->reserveSamples(blockSize);
    rightMeter->reserveSamples(blockSize);
}

void MixerAndLoopPanel::audioDeviceStopped()
{
    sourcePlayer->audioDeviceStopped();
}

//==============================================================================
void MixerAndLoopPanel::sliderValueChanged(juce::Slider* slider)
{
    if (slider == volumeSlider.get())
    {
        const float volume = (float)(slider->getValue() / 100.0);
        player->gain = volume;
        if (player->effectSource != nullptr)
            player->effectSource->gain = volume;
        // The waveforms are drawn at the loudness heard.
        GlobalData::ampFactor = volume;
        controller->updateThumbsWhenVolumeChanged();
    }
    else if (slider == timesSlider.get())
        sendSentenceLooping((int)slider->getValue(), controller->getPauseFactor());
    else if (slider == intervalSlider.get())
        sendSentenceLooping(controller->getSentenceRepeatLimit(), slider->getValue() / 100.0);
    else if (slider == courseLoopSlider.get())
        controller->setCourseLoopLimit((int)slider->getValue());
}

void MixerAndLoopPanel::buttonClicked(juce::Button* button)
{
    if (button == sentenceLoopToggle.get())
    {
        enableSentenceLoopSliders(button->getToggleState());
        sendSentenceLooping((int)timesSlider->getValue(), intervalSlider->getValue() / 100.0);
    }
    else if (button == courseLoopToggle.get())
    {
        controller->setCourseLoopOn(button->getToggleState());
        setEnabledLook(*courseLoopSlider, button->getToggleState());
    }
    else
        return;
    controller->setLittleIBackground();
}

void MixerAndLoopPanel::setSentenceLoopMode()
{
    sentenceLoopToggle->setToggleState(!sentenceLoopToggle->getToggleState(), juce::sendNotification);
}

void MixerAndLoopPanel::setCourseLoopMode()
{
    courseLoopToggle->setToggleState(!courseLoopToggle->getToggleState(), juce::sendNotification);
}

bool MixerAndLoopPanel::isSentenceLoopOn() const
{
    return sentenceLoopToggle->getToggleState();
}

bool MixerAndLoopPanel::isCourseLoopOn() const
{
    return courseLoopToggle->getToggleState();
}

void MixerAndLoopPanel::sendSentenceLooping(int repeatLimit, double pauseFactor)
{
    controller->setSentenceLooping(sentenceLoopToggle->getToggleState(), repeatLimit, pauseFactor);
}

void MixerAndLoopPanel::enableSentenceLoopSliders(bool enabled)
{
    setEnabledLook(*timesSlider, enabled);
    setEnabledLook(*intervalSlider, enabled);
}

void MixerAndLoopPanel::setEnabledLook(juce::Component& component, bool enabled)
{
    component.setEnabled(enabled);
    component.setAlpha(enabled ? 1.0f : disabledAlpha);
}
