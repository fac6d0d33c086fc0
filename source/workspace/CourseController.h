#pragma once

#include "engine/audio/AudioSentencesPlayer.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class CourseModel;
class ThumbsContainer;
class PagesContainer;
class StatusBar;
class FunctionZone;
class MixerAndLoopPanel;
class SystemSetupModule;
class NoteEditor;
class AudioDataPlayer;

/** The controller of the open course. It owns the course model and the sentence player, knows the
    views that the main component made, and runs every road on a course: start-up, opening a new
    recording, loading a course text and clearing the workspace. The model calls it back after
    each change so that the containers, the status bar, the toolbar and the title stay current. */
class CourseController : private AudioSentencesPlayer::Listener,
                         private juce::ChangeListener,
                         private juce::MultiTimer
{
public:
    /** Scans the library for due courses and copies tomorrow's mobile files. */
    CourseController();
    ~CourseController() override;

    CourseModel& getCourseModel() const { return *courseModel; }
    ThumbsContainer* getThumbsContainer() const { return thumbsContainer; }
    PagesContainer* getPagesContainer() const { return pagesContainer; }
    AudioSentencesPlayer& getSentencePlayer() const { return *sentencePlayer; }

    /** Keeps the component as one of the views to update, by its class; others are ignored. */
    void addViews(juce::Component* view);
    /** The command center's replay of the current sentence, which reads the course audio through
        a reader over the model's own: it lets go of it whenever the course audio goes. */
    void setReplayPlayer(AudioDataPlayer* player) { replayPlayer = player; }
    void setViewports(juce::Viewport* waveformStrip, juce::Viewport* pages);

    /** Reopens a course left from the last run, else clears stray files and offers due courses. */
    void startWholeApplication();
    /** Asks for a recording (or courseware, or a CD track) and opens it as a new course. */
    bool learnNewCourse();
    bool loadGivenCourse(const juce::File& courseText);
    bool loadCourseware(const juce::File& coursewareFile);
    /** Copies a CD track into the temporary folder. The WAV file, or the nonexistent file when
        the file lies on no CD drive (the learner is told) or the copy failed. */
    juce::File extractCdTrack(const juce::File& cdaFile);
    /** Opens the first due course of the library for review. A course whose archive can't be
        opened is named to the learner and left out of the day's due courses, and the next is
        opened; a cancelled one stays first. False when none opened. */
    bool reviewCourse();
    /** Asks, then clears the workspace. */
    void giveUpCurrentCourse();
    /** Closes the course and deletes its working set. */
    void resetToEmpty();

    bool isCourseOpen() const;
    int getNumDueCourses() const { return dueCourses.size(); }
    int getNumDueSentences() const { return dueSentences; }
    /** One due sentence fewer to review today (a review answered, or heard at the day close). */
    void lowerDueSentenceCount();

    // Called back by the course model.
    void resizeViews();
    void setCursorPosition(double seconds);
    void setPlayPosition(bool loadSelectedSentence, const double& seconds);
    void makeViewportScroll(bool scrollWaveformStrip, bool scrollPages);
    void unfamiliarNumberChanged();
    void setTitleBarText(bool withCourse);
    void lengthChanged();
    void showOrHideNoteMarker();
    void sentenceAdded(int index);
    void sentenceRemoved(int index, int lengthInSamples);
    /** The containers lay out added and removed sentences once per burst of tree changes, when
        the message loop comes back; an edit that wants its result laid out at once asks here. */
    void layOutPendingViews();

    // Playing and moving between sentences (the play commands).
    /** Stops the player or ends a pause; otherwise plays on from where the player stands. */
    void playOrStop();
    void gotoNextSentence();
    void gotoPrevSentence();
    void gotoNextPage();
    void gotoPrevPage();
    void gotoStartOfCourse();
    void gotoEnd();
    /** Back to the start of the selected sentence; playing or not stays as it is. */
    void gotoStartOfSentence();
    /** The waveform cursor's x position plus one. */
    int getCursorPosition() const;
    /** While the learner types what was heard, the sentence repeats with the dictation pause. */
    void makePlayerEnterDictateMode();
    void makePlayerExitDictateMode();

    // The tool windows and the library roads that the commands reach.
    void generateCourseware();
    void showOrHideNoteEditor();
    void showOrHideSystemSetup();
    /** Archives the course being learnt: renders its audio and its mobile file, makes it a review
        course, packs it into the library and clears the workspace. Refuses a course without
        unfamiliar sentences or with one without its text, and asks first. Any failure leaves the
        learning course as it was. */
    void newCourseAddToLibrary();
    /** Closes the review day of the open course: packs it back into the library, clears the
        workspace and opens the next due course, or says that all are done. */
    void currentCourseReviewFinished();
    /** Renders every sentence into the archiving scratch folder as the course audio, with its
        waveform file; archiving puts both in place once the rest has worked too. */
    bool renderCourseAudio();
    /** Renders the course's mobile file, replacing the old one only when the new one is whole. */
    bool renderMobileAudio();
    /** Renders every sentence once, without pauses, at the player's gain, into the file. */
    bool renderWholeCourseTo(const juce::File& target);

    /** Repaints the waveform strip after the mixer's volume changed. */
    void updateThumbsWhenVolumeChanged();

    // The loop values the mixer and loop panel shows when it is built and writes on every change.
    void setSentenceLooping(bool on, int repeatLimit, double factor);
    bool isSentenceLoopOn() const { return sentenceLoopOn; }
    int getSentenceRepeatLimit() const { return sentenceRepeatLimit; }
    double getPauseFactor() const { return pauseFactor; }
    void setCourseLoopOn(bool on) { courseLoopOn = on; }
    bool isCourseLoopOn() const { return courseLoopOn; }
    void setCourseLoopLimit(int limit) { courseLoopLimit = limit; }
    int getCourseLoopLimit() const { return courseLoopLimit; }
    /** Flip the mixer panel's loop toggles as a click would (the loop commands). */
    void setSentenceLoopMode();
    void setCourseLoopMode();
    /** The floating badge shows which of the mixer panel's loops are on. */
    void setLittleIBackground();
    /** Made at the first course load, deleted when the workspace is cleared; null in between. */
    MixerAndLoopPanel* getMixerAndLoopPanel() const { return mixerPanel.get(); }
    /** Hides the mixer and loop panel when it is shown, else shows it with the keyboard focus. */
    void showOrHideMixerAndLoopSetup();
    /** Made at the first "Preferences" request, deleted when the workspace is cleared. */
    SystemSetupModule* getSystemSetupModule() const { return systemSetup.get(); }
    /** Made at its first show, deleted when the workspace is cleared; null in between. */
    NoteEditor* getNoteEditor() const { return noteEditor.get(); }

    void setCourseTitle(const juce::String& title);
    void setCourseNotes(const juce::String& notes);

    bool isSentencePlayerPlaying() const;
    void stopSentencePlayer();

    /** The main window's title for the open course, or "qZ" alone. */
    juce::String getTitleText(bool withCourse) const;

    /** Whether the temporary folder holds any file. */
    static bool temporaryFolderHoldsFiles();

private:
    void sentenceFinished(AudioSentencesPlayer* player) override;
    void playerStarted(AudioSentencesPlayer* player) override;
    void playerStopped(AudioSentencesPlayer* player) override;
    void timerCallback(int timerId) override;
    void changeListenerCallback(juce::ChangeBroadcaster* source) override;

    void countDueSentencesLeftInWorkingSet();
    /** Unpacks and loads a due course; on failure nothing of it is left in the workspace, and
        cancelled tells whether the learner cancelled the unpack. */
    bool openDueCourse(const juce::File& archive, bool& cancelled);
    /** Leaves the first due course out of today's due courses and its sentences out of the count. */
    void dropFirstDueCourse();
    /** Empties the replay, before the model's reader is replaced or deleted. */
    void releaseReplay();

    // Archiving (CourseControllerArchive.cpp).
    /** The refusals and the question before a course is archived; true to go on. */
    bool canBeArchived();
    /** Puts the rendered audio in place, converts and packs the course; true once it is in the
        library and the workspace is cleared. */
    bool archiveRenderedCourse();
    /** Opens the learning course again from its files, which archiving leaves as they were. */
    void restoreLearningCourse();
    /** At the start: clears the workspace when a killed run had archived its course already, and
        otherwise deletes what a cut-short archiving left; true in the first case. */
    bool finishInterruptedArchiving();
    void cueSelectedSentence();
    void setStatus(int type, const juce::String& text);
    void showCourseStatus();
    void zoomStripToFillView();
    void stopUsageTiming();
    void createMixerAndLoopPanel();
    void createSystemSetupModule();
    /** Puts a tool window on the desktop: its own window with a title bar and a close button,
        opaque, centred on the screen, always on top; not shown yet. */
    static void addToolWindowToDesktop(juce::Component& window);
    void askToSaveNotes();

    // Playback following, loops and moves (CourseControllerPlayback.cpp).
    enum PlaybackTimer
    {
        followTimer = 0,
        pauseTimer = 1
    };
    bool isPausing() const { return isTimerRunning(pauseTimer); }
    void followPlayPosition();
    void endPauseWhenDue();
    void moveOnAfterLastSentence();
    /** Cues, selects and puts the cursor on the target; playing or pausing goes on with it. */
    void moveTo(int target, bool cursorAtZero = false);
    /** Selects the sentence, remembers it and puts the cursor at its start on the strip. */
    void selectWithCursorAtStart(int index);
    void scrollStripTo(int x, int margin, int offset);
    void scrollPagesToSelection();

    // The sentence-loop settings kept while dictation runs.
    bool savedLoopOn = false;
    int savedRepeatLimit = 1;
    double savedPauseFactor = 1.0;

    std::unique_ptr<CourseModel> courseModel;
    std::unique_ptr<AudioSentencesPlayer> sentencePlayer;
    AudioDataPlayer* replayPlayer = nullptr;

    juce::Viewport* waveformViewport = nullptr;
    juce::Viewport* pagesViewport = nullptr;
    ThumbsContainer* thumbsContainer = nullptr;
    PagesContainer* pagesContainer = nullptr;
    StatusBar* statusBar = nullptr;
    FunctionZone* functionZone = nullptr;

    // Sentence audio is heard through its device callback, so it lives while a course is open.
    std::unique_ptr<MixerAndLoopPanel> mixerPanel;
    // The preferences window: made on demand, hidden when closed, listened to while shown.
    std::unique_ptr<SystemSetupModule> systemSetup;
    std::unique_ptr<NoteEditor> noteEditor;

    juce::Array<juce::File> dueCourses;
    int dueSentences = 0;

    int courseLoopLimit = 2;
    int courseLoopCounter = 0;
    bool courseLoopOn = false;

    int sentenceRepeatLimit = 3;
    int repeatCounter = 0;
    juce::uint32 pauseStart = 0;
    double pauseFactor = 0.9;
    bool sentenceLoopOn = false;
    // Only the first start of dictation saves the loop settings, only its end restores them.
    bool dictating = false;

    JUCE_DECLARE_NON_COPYABLE(CourseController)
};
