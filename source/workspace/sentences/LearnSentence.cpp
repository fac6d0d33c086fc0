#include "workspace/sentences/LearnSentence.h"

LearnSentence::LearnSentence(juce::AudioThumbnail& overview, int startSample, int endSample)
    : PageSentence(overview, startSample, endSample)
{
}

LearnSentence::~LearnSentence() = default;

void LearnSentence::needReview(bool unfamiliar)
{
    needsReview = unfamiliar;
    repaint();
}

void LearnSentence::textLabelEnterInputStatus(bool foreign)
{
    auto& field = getTextField(foreign);
    if (!field.isBeingEdited())
        field.showEditor();
}

void LearnSentence::switchTextInputStatus()
{
    for (const bool foreign : {true, false})
    {
        auto& field = getTextField(foreign);
        auto* editor = field.getCurrentTextEditor();
        if (editor == nullptr)
            continue;

        const auto text = editor->getText();
        // The listeners store the text; the editor's contents are then no longer needed.
        field.hideEditor(true);
        juce::Component::BailOutChecker checker(this);
        if (foreign)
            setOrginText(text, true);
        else
            setTransText(text, true);
        if (!checker.shouldBailOut())
            textLabelEnterInputStatus(!foreign);
        return;
    }
    textLabelEnterInputStatus(true);
}
