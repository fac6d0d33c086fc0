#include "workspace/panels/BrowserListenComponent.h"

#include "engine/GlobalData.h"
#include "engine/SafeArchive.h"
#include "engine/SystemModel.h"
#include "engine/audio/AudioCDExtractor.h"
#include "workspace/Main.h"
#include "workspace/panels/BrowseFileFilter.h"

namespace
{
const juce::String zeroTime("0:00.00");
const juce::Colour barColour(0xCCAAAAAA);

/** One of the button's images: the play triangle or the two pause strokes, filled in a colour,
    moved by an offset. */
std::unique_ptr<juce::DrawablePath> symbol(bool play, juce::Colour colour, float offset)
{
    juce::Path shape;
    if (play)
    {
        shape.addTriangle(0.0f, 0.0f, 11.0f, 5.5f, 0.0f, 11.0f);
    }
    else
    {
        juce::Path strokes;
        strokes.startNewSubPath(1.0f, 1.0f);
        strokes.lineTo(1.0f, 11.0f);
        strokes.startNewSubPath(7.0f, 1.0f);
        strokes.lineTo(7.0f, 11.0f);
        juce::PathStrokeType(3.0f).createStrokedPath(shape, strokes);
    }
    shape.applyTransform(juce::AffineTransform::translation(offset, offset));

    auto drawable = std::make_unique<juce::DrawablePath>();
    drawable->setPath(shape);
    drawable->setFill(colour);
    return drawable;
}
} // namespace

BrowserListenComponent::BrowserListenComponent()
{
    for (auto* label : {&timeLabel, &lengthLabel})
    {
        label->setFont(juce::Font(18.0f, juce::Font::bold));
        label->setText(zeroTime, juce::dontSendNotification);
        addAndMakeVisible(*label);
    }
    lengthLabel.setJustificationType(juce::Justification::centredRight);

    positionSlider.setSliderStyle(juce::Slider::LinearBar);
    positionSlider.setTextBoxStyle(juce::Slider::NoTextBox, true, 0, 0);
    positionSlider.setRange(0.0, 1.0, 0.01);
    positionSlider.setColour(juce::Slider::trackColourId, barColour);
    positionSlider.setColour(juce::Slider::thumbColourId, barColour);
    positionSlider.addListener(this);
    addAndMakeVisible(positionSlider);

    playButton.setColour(juce::DrawableButton::backgroundColourId, juce::Colour(0x00000000));
    playButton.setColour(juce::DrawableButton::backgroundOnColourId, juce::Colour(0x00000000));
    playButton.setSize(12, 12);
    playButton.setMouseClickGrabsKeyboardFocus(false);
    playButton.addListener(this);
    drawPlayButton(true);
    addAndMakeVisible(playButton);
}

BrowserListenComponent::~BrowserListenComponent()
{
    stopTimer();
    player.stop();
    releaseAudio();
}

void BrowserListenComponent::releaseAudio()
{
    // The reader and its stream read from the archive on the player's read-ahead thread: the
    // archive goes only once the player holds neither.
    player.setAudioSource(static_cast<juce::AudioFormatReader*>(nullptr));
    courseware.reset();
}

bool BrowserListenComponent::setAudioFile(const juce::File& file)
{
    player.stop();
    releaseAudio();
    currentFile = file;

    // A FIFO or a device would block the reader that opens it; only regular files are read.
    const bool regular = BrowseFileFilter::isRegularFile(file);
    if (regular)
    {
        const auto extension = file.getFileExtension();
        if (extension == ".qzc")
            loadCourseware(file);
        else if (extension == ".cda" && AudioCDExtractor::isOnCdDrive(file))
            player.setAudioSource(AudioCDExtractor::extractAudioFormatReader(file).release());
        else
            player.setAudioSource(file);
    }

    timeLabel.setText(zeroTime, juce::dontSendNotification);
    lengthLabel.setText(GlobalData::secondsToCsString(player.transportSource.getLengthInSeconds()),
                        juce::dontSendNotification);
    positionSlider.setValue(0.0, juce::dontSendNotification);
    repeatCount = 0;
    damaged = regular && !hasAudio();
    drawPlayButton(true);
    return hasAudio();
}

void BrowserListenComponent::loadCourseware(const juce::File& file)
{
    if (formatManager == nullptr)
        return;

    // Opened from the file, the archive reads its directory from the end of the file and each
    // entry from the disk as it is played; a file that is no ZIP, or claims a directory that
    // would fill the memory, is not opened.
    auto archive = SafeArchive::open(file);
    if (archive == nullptr)
        return;
    for (int i = archive->getNumEntries() - 1; i >= 0; --i)
    {
        // Only an entry named as audio is tried, by its own format: readers that hunt for a
        // stream in any data (as MP3 decoders do) never see the course text or the waveform.
        const auto* entry = archive->getEntry(i);
        auto* format = formatManager->findFormatForFileExtension(
            juce::File::createFileWithoutCheckingPath(entry->filename).getFileExtension());
        if (format == nullptr)
            continue;
        auto* stream = archive->createStreamForEntry(i);
        if (stream == nullptr)
            continue;
        if (auto* reader = format->createReaderFor(stream, true))
        {
            courseware = std::move(archive);
            player.setAudioSource(reader);
            return;
        }
    }
}

void BrowserListenComponent::start()
{
    if (!hasAudio() && !damaged)
        return;
    // A damaged file has nothing to play: the first tick finds its end.
    if (hasAudio())
        player.start();
    startTimer(GlobalData::timerCallbackInterval);
    drawPlayButton(false);
}

void BrowserListenComponent::stop()
{
    player.stop();
    stopTimer();
    drawPlayButton(true);
}

void BrowserListenComponent::setColour(const juce::Colour& colour)
{
    timeLabel.setColour(juce::Label::textColourId, colour);
    lengthLabel.setColour(juce::Label::textColourId, colour);
    repaint();
}

void BrowserListenComponent::setEnabled(bool shouldBeEnabled)
{
    juce::Component::setEnabled(shouldBeEnabled);
    positionSlider.setAlpha(shouldBeEnabled ? 1.0f : 0.5f);
}

void BrowserListenComponent::buttonClicked(juce::Button* button)
{
    if (button != &playButton)
        return;

    if (player.transportSource.isPlaying())
        player.stop();
    else
        player.start();

    const bool playing = player.transportSource.isPlaying();
    if (playing)
        startTimer(GlobalData::timerCallbackInterval);
    else
        stopTimer();
    drawPlayButton(!playing);
}

void BrowserListenComponent::sliderValueChanged(juce::Slider* slider)
{
    if (slider != &positionSlider)
        return;
    auto& transport = player.transportSource;
    transport.setPosition(transport.getLengthInSeconds() * positionSlider.getValue());
    timeLabel.setText(GlobalData::secondsToCsString(transport.getCurrentPosition()),
                      juce::dontSendNotification);
}

void BrowserListenComponent::timerCallback()
{
    const auto& transport = player.transportSource;
    const double position = transport.getCurrentPosition();
    const double length = transport.getLengthInSeconds();

    if (position < length - 0.0001)
    {
        timeLabel.setText(GlobalData::secondsToCsString(position), juce::dontSendNotification);
        positionSlider.setValue(position / length, juce::dontSendNotification);
        return;
    }

    // The end: back to the start, through the bar (which notifies only when its value changes,
    // and a preview shorter than a tick never moved it).
    positionSlider.setValue(0.0, juce::dontSendNotification);
    sliderValueChanged(&positionSlider);
    if (systemModel != nullptr && systemModel->fbAutoLoop && repeatCount < systemModel->fbLoopTimes - 1)
    {
        if (hasAudio())
            player.start();
        ++repeatCount;
        return;
    }
    // Stopped for certain: the transport may see its end a block after the position did.
    player.stop();
    stopTimer();
    drawPlayButton(true);
    sendChangeMessage();
}

void BrowserListenComponent::drawPlayButton(bool play)
{
    const auto normal = symbol(play, juce::Colour(0xFF00FFFF), 0.0f);
    const auto pressed = symbol(play, juce::Colour(0xFFD3D3D3), 1.0f);
    const auto disabled = symbol(play, juce::Colour(0xFF808080), 0.0f);
    playButton.setImages(normal.get(), normal.get(), pressed.get(), disabled.get());
}

void BrowserListenComponent::paint(juce::Graphics& g)
{
    const auto background = systemModel != nullptr ? systemModel->fbPlayerBgColour : juce::Colours::black;
    g.setGradientFill(juce::ColourGradient(juce::Colour(0xFF808080).withAlpha(0.9f), 0.0f, 0.0f, background,
                                           0.0f, (float)getHeight() / 1.5f, false));
    g.fillAll();
    g.setColour(juce::Colour(0xFFD3D3D3));
    g.drawLine(0.5f, 0.0f, (float)getWidth() - 1.0f, 0.0f, 0.5f);
}

void BrowserListenComponent::resized()
{
    const int w = getWidth();
    const auto show = [](juce::Component& part, bool visible, juce::Rectangle<int> bounds)
    {
        part.setVisible(visible);
        if (visible)
            part.setBounds(bounds);
    };
    show(timeLabel, w >= 85, {5, 5, 65, 20});
    show(lengthLabel, w >= 150, {w - 85, 5, 65, 20});
    show(positionSlider, w >= 200, {63, 5, w - 143, 20});
    show(playButton, w >= 20, playButton.getBounds().withPosition(w - 18, 10));
}
