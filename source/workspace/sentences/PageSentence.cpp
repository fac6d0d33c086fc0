#include "workspace/sentences/PageSentence.h"

#include "engine/GlobalData.h"
#include "engine/SystemModel.h"
#include "workspace/CommandCenter.h"
#include "workspace/Main.h"

namespace
{
constexpr int waveformHeight = 30;
constexpr int waveformLeft = 32;
/** The waveform leaves this much of the block's width free. */
constexpr int waveformMargin = 42;
constexpr float markerAlpha = 0.4f;
} // namespace

PageSentence::PageSentence(juce::AudioThumbnail& overview, int startSample, int endSample)
    : SentenceComponent(overview, startSample, endSample)
{
    const std::pair<TextLabel*, float> markers[] = {{&foreignMarker, 22.0f}, {&nativeMarker, 20.0f}};
    for (const auto& [marker, height] : markers)
    {
        marker->setFont(juce::Font(height, juce::Font::bold));
        marker->setJustificationType(juce::Justification::centredLeft);
        marker->setOwnerSentence(this);
        addAndMakeVisible(marker);
    }

    for (auto* field : {&foreignText, &nativeText})
    {
        // Edited on a double click only; leaving the field keeps what was typed.
        field->setEditable(false, true, false);
        field->setOwnerSentence(this);
        field->addListener(this);
        addAndMakeVisible(field);
    }

    applySystemTextAttrib();
}

PageSentence::~PageSentence() = default;

void PageSentence::setOrginText(const juce::String& text, bool notify)
{
    foreignText.setText(text, juce::dontSendNotification);
    if (notify)
        labelTextChanged(&foreignText);
}

void PageSentence::setTransText(const juce::String& text, bool notify)
{
    nativeText.setText(text, juce::dontSendNotification);
    if (notify)
        labelTextChanged(&nativeText);
}

void PageSentence::labelTextChanged(juce::Label* label)
{
    const auto text = label->getText();
    if (label == &foreignText)
        callListeners([this, &text](SentenceComponent::Listener& l)
                      { l.orginTextChanged(this, text, false); });
    else if (label == &nativeText)
        callListeners([this, &text](SentenceComponent::Listener& l)
                      { l.transTextChanged(this, text, false); });
}

void PageSentence::applySystemTextAttrib()
{
    // A block can be built before the settings exist (the view classes are usable alone).
    if (systemModel == nullptr)
        return;

    foreignText.setFont(systemModel->foreignFont.withStyle(systemModel->foreignFontStyle));
    nativeText.setFont(systemModel->nativeFont.withStyle(systemModel->nativeFontStyle));
    foreignText.setColour(juce::Label::textColourId, systemModel->foreignTextColour);
    nativeText.setColour(juce::Label::textColourId, systemModel->nativeTextColour);
    foreignMarker.setColour(juce::Label::textColourId, systemModel->foreignTextColour.withAlpha(markerAlpha));
    nativeMarker.setColour(juce::Label::textColourId, systemModel->nativeTextColour.withAlpha(markerAlpha));
}

//==============================================================================
int PageSentence::waveformWidth(int samples, int blockWidth)
{
    const auto seconds = GlobalData::samplesToSeconds(samples);
    return juce::jmin(juce::roundToInt(GlobalData::xOfPerSecond * seconds), blockWidth - waveformMargin);
}

void PageSentence::paint(juce::Graphics& g)
{
    if (selected)
    {
        g.setColour(systemModel->pageHighlightColour);
        g.fillRoundedRectangle(getLocalBounds().toFloat(), 6.0f);
    }

    g.setColour(needsReview ? systemModel->pageReviewThumbColour : systemModel->pageThumbColour);
    const int width = waveformWidth(end - start, getWidth());
    if (width > 0)
        thumbnail.drawChannels(g, {waveformLeft, 0, width, waveformHeight},
                               GlobalData::samplesToSeconds(start), GlobalData::samplesToSeconds(end), 1.0f);
}

void PageSentence::resized()
{
    foreignMarker.setBounds(0, 30, 35, 35);
    nativeMarker.setBounds(0, 65, 35, 35);
    foreignText.setBounds(25, getHeight() - 70, getWidth() - 30, 35);
    nativeText.setBounds(25, getHeight() - 35, getWidth() - 30, 35);
}

//==============================================================================
void PageSentence::mouseUp(const juce::MouseEvent& event)
{
    callListeners([this](SentenceComponent::Listener& l) { l.setPlayPosition(this, -1); });

    // Ctrl marks a context click on every platform, also where it is the command key.
    if (event.mods.isRightButtonDown() || event.mods.isCtrlDown())
        CommandCenter::showRightClickMenu(CommandCenter::pageSentenceMenu);
}

void PageSentence::mouseDoubleClick(const juce::MouseEvent&)
{
    invokeAsync(joinOrExitReview);
}

void PageSentence::invokeAsync(juce::CommandID command)
{
    if (commandManager != nullptr)
        commandManager->invoke(juce::ApplicationCommandTarget::InvocationInfo(command), true);
}
