#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class AudioDataPlayer;
class AudioRecorder;
class CourseController;
class RecordingThumbnail;
class WordSelectingTextEditor;

/** The tool window "Course Note Book" of the open course.

    It edits the course's title and notes, saved together as one undoable step; it records, plays,
    keeps, exports and deletes the learner's retelling of the course, a recording kept in the
    working set; and its input mode cuts a transcript pasted into the notes into the sentences'
    foreign texts, one selected piece per sentence, while each sentence is replayed.

    Two rows serve the retelling: the stored one plays the retelling file, the fresh one the
    recorder's last recording, which "Replace" moves onto the retelling file. One player serves
    both rows; recording and playing either row exclude one another through disabled buttons.

    The controller builds it on the first show and keeps it, hidden or shown, until the workspace
    is cleared; every hide resets the editors, the player and the recorder. */
class NoteEditor : public juce::Component,
                   private juce::Timer,
                   private juce::Button::Listener,
                   private juce::Slider::Listener
{
public:
    explicit NoteEditor(CourseController* controller);
    ~NoteEditor() override;

    /** Puts the course's texts into the editors and remembers them, to tell a change. */
    void setTitleAndNoteText(const juce::String& title, const juce::String& notes);
    /** Enables each retelling row by whether its file holds a recording, and loads it. */
    void setRetellWidgetsStatus();
    /** Whether the trimmed title or notes differ from those the window opened with. */
    bool dataChanged() const;
    /** Saves a change as one undo step, then hides the window and resets it. */
    void saveAndExit();
    /** Asks whether to save a change; then hides the window and resets it. */
    void askSaveOrNot();
    /** Empties the editors, stops the player and the recorder. */
    void reset();
    void setKeyboardFoucsForNoteEditor();
    /** The texts are translated once, when the window is built: nothing to change afterwards. */
    void setWidgetsText() {}

    void userTriedToCloseWindow() override;
    void paint(juce::Graphics& g) override;
    void resized() override;

    const juce::File& getRetellFile() const { return retellFile; }

    /** The notes editor's input mode: stores the selected piece of the transcript as the current
        sentence's foreign text, moves on and selects the next piece. */
    void inputSelectedText();

    /** Selects what the next sentence's text is likely to be: from the caret up to the first of
        the marks "?", ";", ":", "!", ".", "," (in this order of preference) within the next 120
        characters, after dropping the blanks at the caret. */
    static void selectNextPiece(juce::TextEditor& editor);

private:
    /** One of the two retelling rows. */
    struct Row
    {
        std::unique_ptr<juce::Label> position;
        std::unique_ptr<juce::Label> length;
        std::unique_ptr<juce::Slider> slider;
        std::unique_ptr<juce::TextButton> play;
        double seconds = 0.0;
    };

    void buildWidgets();
    void findOrCreateRetellFile();
    void buttonClicked(juce::Button* button) override;
    void sliderValueChanged(juce::Slider* slider) override;
    void timerCallback() override;

    void enableRow(Row& row, bool enabled);
    void playOrStopRow(bool stored);
    void endOfRowReached(Row& row);
    void startRecording();
    /** Ends a recording that runs, telling the learner what went wrong with it. */
    void endRecording();
    void replaceRetelling();
    void deleteRetelling();
    void saveRetellingAs();
    void replayCurrentSentence();
    void hideAndReset();
    void setRecordButtonColour(bool isRecording);
    Row& playedRow() { return playingStoredRetelling ? stored : fresh; }

    CourseController* controller;
    juce::String openingTitle;
    juce::String openingNotes;
    std::unique_ptr<AudioDataPlayer> player;
    std::unique_ptr<RecordingThumbnail> recordingWaveform;
    std::unique_ptr<AudioRecorder> recorder;
    juce::File retellFile;
    juce::uint32 recordingStart = 0;
    bool playingStoredRetelling = true;
    bool recording = false;

    std::unique_ptr<WordSelectingTextEditor> titleEditor;
    std::unique_ptr<WordSelectingTextEditor> notesEditor;
    std::unique_ptr<juce::GroupComponent> inputGroup;
    std::unique_ptr<juce::TextButton> inputSelectedButton;
    std::unique_ptr<juce::TextButton> playSentenceButton;
    std::unique_ptr<juce::TextButton> previousButton;
    std::unique_ptr<juce::TextButton> nextButton;
    std::unique_ptr<juce::GroupComponent> retellGroup;
    Row stored;
    std::unique_ptr<juce::TextButton> saveAsButton;
    std::unique_ptr<juce::TextButton> deleteButton;
    Row fresh;
    std::unique_ptr<juce::TextButton> replaceButton;
    std::unique_ptr<juce::TextButton> recordButton;
    std::unique_ptr<juce::TextButton> okButton;
    std::unique_ptr<juce::TextButton> cancelButton;
    std::unique_ptr<juce::Label> titleLabel;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(NoteEditor)
};
