#include "workspace/FunctionZone.h"

#include "workspace/Main.h"

#include <BinaryData.h>

#include <iterator>

namespace
{
// The commands the buttons trigger, by their ids in the command table.
const int popupSystemMenu = 0x2025;
const int archiveCourse = 0x2032;
const int undoCommand = 0x2022;
const int redoCommand = 0x2023;
const int removeSentence = 0x2004;
const int mergeSentences = 0x2003;
const int autoSplit = 0x2001;
const int takeNotes = 0x2030;
const int gotoStartOfCourse = 0x203A;
const int gotoPreviousSentence = 0x203C;
const int gotoStartOfSentence = 0x2039;
const int playOrStop = 0x2036;
const int gotoNextSentence = 0x203D;
const int gotoLastSentence = 0x203B;
const int audioEffects = 0x2031;

const int buttonWidth = 29;
const int buttonHeight = 25;

struct EmbeddedImage
{
    const char* data;
    int size;
};

// In the order of FunctionZone::Icon.
const EmbeddedImage iconImages[] = {
    {BinaryData::menu_png, BinaryData::menu_pngSize},
    {BinaryData::join_png, BinaryData::join_pngSize},
    {BinaryData::undo_png, BinaryData::undo_pngSize},
    {BinaryData::redo_png, BinaryData::redo_pngSize},
    {BinaryData::delete_png, BinaryData::delete_pngSize},
    {BinaryData::merge_png, BinaryData::merge_pngSize},
    {BinaryData::autoSplit_png, BinaryData::autoSplit_pngSize},
    {BinaryData::note_png, BinaryData::note_pngSize},
    {BinaryData::toStart_png, BinaryData::toStart_pngSize},
    {BinaryData::previous_png, BinaryData::previous_pngSize},
    {BinaryData::sentenceStart_png, BinaryData::sentenceStart_pngSize},
    {BinaryData::play_png, BinaryData::play_pngSize},
    {BinaryData::next_png, BinaryData::next_pngSize},
    {BinaryData::toEnd_png, BinaryData::toEnd_pngSize},
    {BinaryData::pause_png, BinaryData::pause_pngSize},
    {BinaryData::effect_png, BinaryData::effect_pngSize},
};

struct ButtonCommand
{
    int icon;
    int command;
};

// Left to right.
const ButtonCommand buttonCommands[] = {
    {FunctionZone::menuIcon, popupSystemMenu},
    {FunctionZone::joinIcon, archiveCourse},
    {FunctionZone::undoIcon, undoCommand},
    {FunctionZone::redoIcon, redoCommand},
    {FunctionZone::deleteIcon, removeSentence},
    {FunctionZone::mergeIcon, mergeSentences},
    {FunctionZone::autoSplitIcon, autoSplit},
    {FunctionZone::noteIcon, takeNotes},
    {FunctionZone::toStartIcon, gotoStartOfCourse},
    {FunctionZone::previousIcon, gotoPreviousSentence},
    {FunctionZone::sentenceStartIcon, gotoStartOfSentence},
    {FunctionZone::playIcon, playOrStop},
    {FunctionZone::nextIcon, gotoNextSentence},
    {FunctionZone::toEndIcon, gotoLastSentence},
    {FunctionZone::effectIcon, audioEffects},
};

static_assert(std::size(iconImages) == FunctionZone::numIcons, "one image per icon");
static_assert(std::size(buttonCommands) == FunctionZone::numButtons, "one command per button");
} // namespace

FunctionZone::FunctionZone()
{
    setSize(1 + buttonWidth * numButtons + 1, buttonHeight);

    for (const auto& image : iconImages)
        icons.add(juce::Drawable::createFromImageData(image.data, (size_t)image.size).release());
    for (const auto& entry : buttonCommands)
        addButton(entry.icon, entry.command);

    undoManager->addChangeListener(this);
    // The history tells only its changes: the tooltips are there before the first one.
    showUndoAndRedoSteps();
    setWantsKeyboardFocus(false);
    setMouseClickGrabsKeyboardFocus(false);
}

FunctionZone::~FunctionZone()
{
    if (undoManager != nullptr)
        undoManager->removeChangeListener(this);
    icons.clear();
    buttons.clear();
}

void FunctionZone::addButton(int iconIndex, int commandId)
{
    const int index = buttons.size();
    auto* button = buttons.add(new juce::DrawableButton(juce::String::toHexString(commandId),
                                                        juce::DrawableButton::ImageOnButtonBackground));
    button->setImages(icons[iconIndex]);
    button->setConnectedEdges(juce::Button::ConnectedOnLeft | juce::Button::ConnectedOnRight);
    button->setColour(juce::TextButton::buttonColourId, juce::Colours::transparentBlack);
    button->setWantsKeyboardFocus(false);
    button->setMouseClickGrabsKeyboardFocus(false);
    // Undo and Redo write their own tooltips, naming the step they would take.
    const bool commandTooltip = index != undoButton && index != redoButton;
    button->setCommandToTrigger(commandManager, commandId, commandTooltip);
    button->setBounds(1 + buttonWidth * index, 0, buttonWidth, buttonHeight);
    addAndMakeVisible(button);
}

void FunctionZone::changeListenerCallback(juce::ChangeBroadcaster*)
{
    showUndoAndRedoSteps();
}

void FunctionZone::showUndoAndRedoSteps()
{
    // The key texts are fixed: they name the default keys, whatever the platform's modifier.
    auto& undo = getButton(undoButton);
    undo.setEnabled(undoManager->canUndo());
    undo.setTooltip(TRANS("Undo: ") + undoManager->getUndoDescription() + " [Ctrl + Z]");

    auto& redo = getButton(redoButton);
    redo.setEnabled(undoManager->canRedo());
    redo.setTooltip(TRANS("Redo: ") + undoManager->getRedoDescription() + " [Ctrl + Y]");
}

void FunctionZone::showOrHideNoteMarker(bool show)
{
    getButton(noteButton)
        .setColour(juce::TextButton::buttonColourId,
                   show ? juce::Colours::red : juce::Colours::transparentBlack);
}

bool FunctionZone::isNoteMarkerShown() const
{
    return getButton(noteButton).findColour(juce::TextButton::buttonColourId) == juce::Colours::red;
}

void FunctionZone::playStarted()
{
    showingPause = true;
    showPlayIcon(pauseIcon);
}

void FunctionZone::playStoped()
{
    showingPause = false;
    showPlayIcon(playIcon);
}

void FunctionZone::showPlayIcon(int iconIndex)
{
    getButton(playButton).setImages(icons[iconIndex]);
}
