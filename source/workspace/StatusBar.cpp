#include "workspace/StatusBar.h"

#include "engine/SystemModel.h"
#include "workspace/Main.h"

#include <algorithm>

namespace
{
const int separatorA = 6;
const int separatorB = 7;
const int labelTop = 5;

struct LabelLook
{
    int width;
    juce::Justification justification;
    const char* text;
};

const LabelLook looks[] = {
    {35, juce::Justification::centredRight, "0"},
    {35, juce::Justification::centredLeft, "0"},
    {35, juce::Justification::topRight, "0"},
    {70, juce::Justification::topLeft, "0:00.00"},
    {70, juce::Justification::centredRight, "0:00.00"},
    {70, juce::Justification::centredLeft, "0:00.00"},
    {15, juce::Justification::centred, "/"},
    {15, juce::Justification::centred, "/"},
};
} // namespace

StatusBar::StatusBar()
{
    const juce::StringArray tooltips{TRANS("Unfamiliar number"),
                                     TRANS("Sentences number"),
                                     TRANS("Nubmer of the selected sentence"),
                                     TRANS("Length of the selected sentence"),
                                     TRANS("Current play position"),
                                     TRANS("Total length of this course")};
    for (const auto& look : looks)
    {
        auto* l = labels.add(new juce::Label({}, look.text));
        l->setSize(look.width, 20);
        l->setJustificationType(look.justification);
        l->setFont(juce::Font(18.0f, juce::Font::bold));
        l->setTooltip(tooltips[labels.size() - 1]);
        addAndMakeVisible(l);
    }
    applySystemColour();
}

StatusBar::~StatusBar() = default;

void StatusBar::setInfo(int type, const juce::String& text)
{
    if (type < unfamiliarCount || type > courseLength)
        return;
    label(type).setText(type == selectedNumber ? text + " -" : text, juce::dontSendNotification);
}

juce::String StatusBar::getInfo(int type) const
{
    return juce::isPositiveAndBelow(type, labels.size()) ? label(type).getText() : juce::String();
}

void StatusBar::resetTimeLabels()
{
    for (int type : {unfamiliarCount, sentenceCount, selectedNumber})
        label(type).setText("0", juce::dontSendNotification);
    for (int type : {selectedLength, playPosition, courseLength})
        label(type).setText("00:00.00", juce::dontSendNotification);
}

void StatusBar::applySystemColour()
{
    for (auto* l : labels)
        l->setColour(juce::Label::textColourId, systemModel->statusbarTextColour);
    repaint();
}

void StatusBar::paint(juce::Graphics& g)
{
    g.setGradientFill(juce::ColourGradient(juce::Colours::grey.withAlpha(0.9f), 0.0f, 0.0f,
                                           systemModel->statusbarBgColour, 0.0f, (float)getHeight() / 1.5f,
                                           false));
    g.fillAll();
}

void StatusBar::showOnly(std::initializer_list<int> visible)
{
    for (int i = 0; i < labels.size(); ++i)
        label(i).setVisible(std::find(visible.begin(), visible.end(), i) != visible.end());
}

void StatusBar::resized()
{
    // Hidden labels keep their last position; only the shown ones are placed.
    const int w = getWidth();
    const auto rightOf = [this](int index) { return label(index).getRight(); };
    const auto endAt = [this](int index, int right) { label(index).setTopRightPosition(right, labelTop); };

    if (w >= 650)
    {
        label(selectedNumber).setTopLeftPosition(0, labelTop);
        label(selectedLength).setTopLeftPosition(rightOf(selectedNumber), labelTop);
    }
    if (w >= 830)
    {
        label(unfamiliarCount).setTopLeftPosition(rightOf(selectedLength), labelTop);
        label(separatorA).setTopLeftPosition(rightOf(unfamiliarCount), labelTop);
        label(sentenceCount).setTopLeftPosition(rightOf(separatorA), labelTop);
    }
    if (w >= 740)
    {
        endAt(courseLength, w - 5);
        endAt(separatorB, label(courseLength).getX());
        endAt(playPosition, label(separatorB).getX());
    }
    else if (w >= 600)
    {
        endAt(playPosition, w - 10);
    }

    if (w >= 830)
        showOnly({0, 1, 2, 3, 4, 5, 6, 7});
    else if (w >= 740)
        showOnly({selectedNumber, selectedLength, playPosition, separatorB, courseLength});
    else if (w >= 650)
        showOnly({selectedNumber, selectedLength, playPosition});
    else if (w >= 600)
        showOnly({playPosition});
    else
        showOnly({});
}
