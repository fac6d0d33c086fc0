#include "dialogs/InterpretComponent.h"

#include "engine/CourseModel.h"
#include "engine/SystemModel.h"
#include "engine/audio/AudioRecorder.h"
#include "engine/audio/RecordingThumbnail.h"
#include "workspace/Main.h"

namespace
{
constexpr int panelWidth = 620;
constexpr int panelHeight = 200;
const juce::Colour background(0xffaaaaaa);
const juce::Colour bars(0xaa000000);
} // namespace

InterpretComponent::InterpretComponent(CourseModel* model, int sentence)
    : courseModel(model), overview(model->getThumbnail())
{
    recordingWaveform = std::make_unique<RecordingThumbnail>();
    recordingWaveform->colour = systemModel->areaThumbColour;
    recorder = std::make_unique<AudioRecorder>(*deviceManager, recordingWaveform->thumbnail);
    player = std::make_unique<AudioDataPlayer>();
    player->addListener(this);

    text.setFont(juce::Font(25.0f, juce::Font::plain));
    text.setJustificationType(juce::Justification::centred);
    text.setEditable(false, false, false);
    text.setColour(juce::Label::textColourId, juce::Colours::black);
    text.setColour(juce::TextEditor::textColourId, juce::Colours::black);
    text.setColour(juce::TextEditor::backgroundColourId, juce::Colours::transparentBlack);

    title.setFont(juce::Font(23.0f, juce::Font::bold));
    title.setJustificationType(juce::Justification::centredLeft);
    title.setColour(juce::Label::textColourId, juce::Colours::darkgrey);
    title.setEditable(false, false, false);

    recordButton.setColour(juce::TextButton::buttonColourId, juce::Colours::red);
    for (juce::Component* child :
         std::initializer_list<juce::Component*>{&text, recordingWaveform.get(), &recordButton, &playButton,
                                                 &nextButton, &previousButton, &firstButton, &title})
        addAndMakeVisible(child);
    for (auto* button : {&recordButton, &playButton, &nextButton, &previousButton, &firstButton})
        button->addListener(this);
    const std::pair<juce::Component*, const char*> ids[] = {
        {&text, "text"},           {recordingWaveform.get(), "waveform"},
        {&recordButton, "record"}, {&playButton, "play"},
        {&nextButton, "next"},     {&previousButton, "previous"},
        {&firstButton, "first"}};
    for (const auto& [child, id] : ids)
        child->setComponentID(id);

    setPlayButtonsStatus(false);
    showText(sentence, systemModel->showForeignOnInterpret);
    drawThumbOfSentence(sentence);

    firstButton.addShortcut(juce::KeyPress('f'));
    previousButton.addShortcut(juce::KeyPress('p'));
    nextButton.addShortcut(juce::KeyPress('n'));
    playButton.addShortcut(juce::KeyPress(juce::KeyPress::spaceKey));
    recordButton.addShortcut(juce::KeyPress('r'));

    setWidgetsText();
    setSize(panelWidth, panelHeight);
}

InterpretComponent::~InterpretComponent()
{
    player->removeListener(this);
    player->stop();
    player->setAudioSource(nullptr);
    recorder->stop();
}

void InterpretComponent::setWidgetsText()
{
    title.setText(TRANS("Interpret Panel"), juce::dontSendNotification);
    firstButton.setButtonText(TRANS("First"));
    previousButton.setButtonText(TRANS("Previous"));
    nextButton.setButtonText(TRANS("Next"));
    playButton.setButtonText(TRANS("Play"));

    const auto shortcut = TRANS("Shortcut: ");
    recordButton.setTooltip(TRANS("Interpret record [R]"));
    firstButton.setTooltip(shortcut + "[F]");
    previousButton.setTooltip(shortcut + "[P]");
    nextButton.setTooltip(shortcut + "[N]");
    playButton.setTooltip(shortcut + "Spacebar");
}

void InterpretComponent::showText(int sentence, bool foreign)
{
    text.setText(
        courseModel->getValue(sentence, foreign ? CourseModel::EnglishText : CourseModel::ChineseText),
        juce::dontSendNotification);
}

void InterpretComponent::drawThumbOfSentence(int sentence)
{
    start = courseModel->getSentenceStartSeconds(sentence);
    end = courseModel->getSentenceEndSeconds(sentence);
    repaint(5, 33, getWidth() - 10, 60);
}

void InterpretComponent::setPlayButtonsStatus(bool playable)
{
    playButton.setEnabled(playable);
    const bool first = courseModel->currentSentenceIsFirstDue();
    firstButton.setEnabled(!first);
    previousButton.setEnabled(!first);
    nextButton.setEnabled(!courseModel->currentSentenceIsLastDue());
}

void InterpretComponent::resized()
{
    const int w = getWidth();
    text.setBounds(2, 2, w - 4, 30);
    recordButton.setBounds(570, 159, 35, 35);
    playButton.setBounds(485, 166, 70, 24);
    nextButton.setBounds(405, 166, 80, 24);
    previousButton.setBounds(325, 166, 80, 24);
    firstButton.setBounds(245, 166, 80, 24);
    title.setBounds(16, 165, 223, 26);
    recordingWaveform->setBounds(5, 95, w - 10, 60);
}

void InterpretComponent::paint(juce::Graphics& g)
{
    const int w = getWidth();
    g.fillAll(background);
    g.setColour(bars);
    g.fillRoundedRectangle(juce::Rectangle<int>(5, 33, w - 10, 60).toFloat(), 5.0f);
    g.fillRoundedRectangle(juce::Rectangle<int>(5, 95, w - 10, 60).toFloat(), 5.0f);
    g.setColour(systemModel->pageReviewThumbColour);
    overview.drawChannels(g, {5, 34, w - 10, 58}, start, end, 1.0f);
}

//==============================================================================
void InterpretComponent::buttonClicked(juce::Button* button)
{
    if (button == &recordButton)
        recordOrStop();
    else if (button == &playButton)
        playOrStop();
    else if (button == &nextButton)
        moveTo(&CourseModel::selectNextDueSentence);
    else if (button == &previousButton)
        moveTo(&CourseModel::selectPrevDueSentence);
    else if (button == &firstButton)
        moveTo(&CourseModel::selectFirstDueSentence);
}

void InterpretComponent::cueRecording()
{
    player->setAudioSource(recorder->getTemporaryFile());
    sentenceNext = true;
}

void InterpretComponent::recordOrStop()
{
    if (recorder->isRecording())
    {
        recorder->stopAndReport();
        recordingWaveform->setDisplayFullThumbnail(true);
        cueRecording();
        setPlayButtonsStatus(recorder->hasRecording());
        recordButton.setColour(juce::TextButton::buttonColourId, juce::Colours::red);
        return;
    }

    alternating = false;
    player->stop();
    player->setAudioSource(nullptr);
    playButton.setButtonText(TRANS("Play"));
    for (auto* button : {&playButton, &firstButton, &previousButton, &nextButton})
        button->setEnabled(false);
    recordingWaveform->setDisplayFullThumbnail(false);
    if (recorder->startRecording())
    {
        recordButton.setColour(juce::TextButton::buttonColourId, juce::Colours::green);
        return;
    }
    // Nothing records: back to what was there before, with an earlier recording if any.
    recordingWaveform->setDisplayFullThumbnail(true);
    if (recorder->hasRecording())
        cueRecording();
    setPlayButtonsStatus(recorder->hasRecording());
}

void InterpretComponent::playOrStop()
{
    if (player->transportSource.isPlaying())
    {
        alternating = false;
        player->stop();
        playButton.setButtonText(TRANS("Play"));
        return;
    }
    if (!player->start())
        return;
    alternating = true;
    playButton.setButtonText(TRANS("Stop"));
}

void InterpretComponent::moveTo(bool (CourseModel::*select)())
{
    alternating = false;
    player->stop();
    player->setAudioSource(nullptr);
    recorder->stop();
    playButton.setButtonText(TRANS("Play"));

    if ((courseModel->*select)())
    {
        setPlayButtonsStatus(false);
        const int selected = courseModel->getSelectedIndex();
        showText(selected, systemModel->showForeignOnInterpret);
        drawThumbOfSentence(selected);
        recordingWaveform->setAudioSource(juce::File());
        return;
    }
    // Still on the same sentence: its recording can be heard again.
    if (recorder->hasRecording())
        cueRecording();
    setPlayButtonsStatus(recorder->hasRecording());
}

void InterpretComponent::playFinished(AudioDataPlayer*)
{
    if (!alternating)
        return;
    if (sentenceNext)
    {
        sentenceNext = false;
        player->setAudioSource(courseModel->getSentenceAudioReader(courseModel->getSelectedIndex()));
    }
    else
    {
        cueRecording();
    }
    player->start();
}
