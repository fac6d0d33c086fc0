#include "dialogs/ColourBlockComponent.h"

#include "dialogs/LastingCallOutBox.h"

juce::Array<juce::Colour> ColourSelectorWithPreset::colours;

namespace
{
const juce::Colour frameColour(0xff555555);
const juce::Colour selectorBackground(0xffededed);
constexpr int selectorWidth = 450;
constexpr int selectorHeight = 480;
} // namespace

ColourSelectorWithPreset::ColourSelectorWithPreset()
    : juce::ColourSelector(showAlphaChannel | showColourAtTop | showSliders | showColourspace, 4, 7)
{
    if (colours.isEmpty())
        setPresetDefaultColour();
}

void ColourSelectorWithPreset::setPresetDefaultColour()
{
    using namespace juce::Colours;
    // Cyan and magenta come twice: once as plain values, once by their names.
    colours.addArray({juce::Colour(0xff000000),
                      juce::Colour(0xffffffff),
                      juce::Colour(0xffff0000),
                      juce::Colour(0xff00ff00),
                      juce::Colour(0xff0000ff),
                      juce::Colour(0xffffff00),
                      juce::Colour(0xffff00ff),
                      juce::Colour(0xff00ffff),
                      burlywood,
                      cyan,
                      darkcyan,
                      darkgreen,
                      darkgrey,
                      darkorange,
                      fuchsia,
                      gold,
                      grey,
                      lightseagreen,
                      lightsteelblue,
                      mediumblue,
                      mediumseagreen,
                      olive,
                      purple,
                      slategrey});
}

int ColourSelectorWithPreset::getNumSwatches() const
{
    return colours.size();
}

juce::Colour ColourSelectorWithPreset::getSwatchColour(int index) const
{
    return colours[index];
}

//==============================================================================
ColourBlockComponent::ColourBlockComponent() = default;

ColourBlockComponent::~ColourBlockComponent()
{
    if (auto* open = selector.getComponent())
        open->removeChangeListener(this);
}

void ColourBlockComponent::paint(juce::Graphics& g)
{
    g.fillAll(colour);
    g.setColour(frameColour);
    g.drawRect(getLocalBounds(), 1);
}

void ColourBlockComponent::mouseUp(const juce::MouseEvent&)
{
    auto content = std::make_unique<ColourSelectorWithPreset>();
    content->setColour(juce::ColourSelector::backgroundColourId, selectorBackground);
    content->setSize(selectorWidth, selectorHeight);
    // Showing the colour is no change: the swatch starts listening only after it.
    content->setCurrentColour(colour, juce::dontSendNotification);

    if (auto* previous = selector.getComponent())
        previous->removeChangeListener(this);
    content->addChangeListener(this);
    selector = content.get();
    // A box of the framework's own kind closed at the first click inside it under openbox.
    LastingCallOutBox::launchAsynchronously(std::move(content), getScreenBounds(), nullptr);
}

void ColourBlockComponent::changeListenerCallback(juce::ChangeBroadcaster* source)
{
    if (auto* changed = dynamic_cast<juce::ColourSelector*>(source))
    {
        colour = changed->getCurrentColour();
        repaint();
        sendChangeMessage();
    }
}
