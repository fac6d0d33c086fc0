#include "dialogs/SimpleListenComponent.h"

#include "engine/GlobalData.h"

namespace
{
const juce::Colour labelColour(0xfff5f5f5);
const juce::Colour background(0xff808080);
} // namespace

SimpleListenComponent::SimpleListenComponent(juce::AudioFormatReader* reader,
                                             std::unique_ptr<juce::ZipFile> readFrom)
    : archive(std::move(readFrom)), timeLabel(std::make_unique<juce::Label>()),
      lengthLabel(std::make_unique<juce::Label>()), positionSlider(std::make_unique<juce::Slider>())
{
    setSize(360, 60);

    timeLabel->setComponentID("time");
    timeLabel->setColour(juce::Label::textColourId, labelColour);
    timeLabel->setFont(juce::Font(18.0f, juce::Font::plain));
    timeLabel->setBounds(5, 5, 100, 25);
    addAndMakeVisible(*timeLabel);

    lengthLabel->setComponentID("length");
    lengthLabel->setColour(juce::Label::textColourId, labelColour);
    lengthLabel->setFont(juce::Font(18.0f, juce::Font::plain));
    lengthLabel->setJustificationType(juce::Justification::centredRight);
    lengthLabel->setBounds(getWidth() - 105, 5, 100, 25);
    addAndMakeVisible(*lengthLabel);

    positionSlider->setComponentID("position");
    positionSlider->setSliderStyle(juce::Slider::LinearBar);
    positionSlider->setTextBoxStyle(juce::Slider::NoTextBox, true, 0, 0);
    positionSlider->setRange(0.0, 1.0, 0.01);
    positionSlider->setBounds(5, 30, getWidth() - 10, 25);
    positionSlider->addListener(this);
    addAndMakeVisible(*positionSlider);

    player = std::make_unique<AudioDataPlayer>();
    player->setAudioSource(reader);
    lengthLabel->setText(GlobalData::secondsToCsString(player->transportSource.getLengthInSeconds()),
                         juce::dontSendNotification);
    player->start();
    startTimer(GlobalData::timerCallbackInterval);
}

SimpleListenComponent::~SimpleListenComponent()
{
    stopTimer();
    player->stop();
    player->setAudioSource(nullptr);
    // The read-ahead thread no longer touches the reader: now the archive may close.
    player.reset();
    archive.reset();
}

void SimpleListenComponent::paint(juce::Graphics& g)
{
    g.fillAll(background);
}

void SimpleListenComponent::timerCallback()
{
    const double position = player->transportSource.getCurrentPosition();
    const double length = player->transportSource.getLengthInSeconds();
    if (position >= length - 0.0001)
    {
        stopTimer();
        // The call-out box closes, and deletes this with it.
        if (auto* box = getParentComponent())
            box->exitModalState(1);
        return;
    }
    timeLabel->setText(GlobalData::secondsToCsString(position), juce::dontSendNotification);
    positionSlider->setValue(length > 0.0 ? position / length : 0.0, juce::dontSendNotification);
}

void SimpleListenComponent::sliderValueChanged(juce::Slider* slider)
{
    player->transportSource.setPosition(player->transportSource.getLengthInSeconds() * slider->getValue());
}
