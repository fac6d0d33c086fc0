#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The toolbar centred over the status bar: fifteen image buttons, each bound to a command, so
    that they follow the commands' active state and show their descriptions and keys as tooltips.
    Undo and Redo name the step they would take; the notes button is marked red while the course
    has notes or a retelling; the play button shows a pause icon while a sentence plays. */
class FunctionZone : public juce::Component, private juce::ChangeListener
{
public:
    /** The icons in the order they are loaded; the buttons use the first fifteen but pause. */
    enum Icon
    {
        menuIcon = 0,
        joinIcon,
        undoIcon,
        redoIcon,
        deleteIcon,
        mergeIcon,
        autoSplitIcon,
        noteIcon,
        toStartIcon,
        previousIcon,
        sentenceStartIcon,
        playIcon,
        nextIcon,
        toEndIcon,
        pauseIcon,
        effectIcon,
        numIcons
    };

    enum
    {
        numButtons = 15,
        undoButton = 2,
        redoButton = 3,
        noteButton = 7,
        playButton = 11
    };

    FunctionZone();
    ~FunctionZone() override;

    /** Marks the notes button red, or takes the mark away. */
    void showOrHideNoteMarker(bool show);
    void playStarted();
    void playStoped();

    bool isNoteMarkerShown() const;
    bool isShowingPause() const { return showingPause; }

    juce::DrawableButton& getButton(int index) const { return *buttons.getUnchecked(index); }
    const juce::Drawable& getIcon(int index) const { return *icons.getUnchecked(index); }

private:
    void changeListenerCallback(juce::ChangeBroadcaster* source) override;

    void addButton(int iconIndex, int commandId);
    /** Enables Undo and Redo by the history and names in their tooltips the step they would take. */
    void showUndoAndRedoSteps();
    void showPlayIcon(int iconIndex);

    juce::OwnedArray<juce::DrawableButton> buttons;
    juce::OwnedArray<juce::Drawable> icons;
    bool showingPause = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(FunctionZone)
};
