#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

class AudioDataPlayer;
class CourseController;
class CourseModel;

/** The first command target of the main window: it lists the commands of the study screen,
    describes them, decides when each is enabled and performs them; commands it doesn't know go
    on to the application. It also builds the application menu and the right-click menus, which
    any component may open, and runs the small windows that commands open. */
class CommandCenter : public juce::ApplicationCommandTarget
{
public:
    /** Which right-click menu to build. */
    enum PopupMenuType
    {
        thumbSentenceMenu = 0, ///< a sentence of the waveform strip
        pageSentenceMenu = 1,  ///< a sentence block of the pages
        backgroundMenu = 2     ///< the background of a container, or the floating badge
    };

    /** The commands, 0x2001 to 0x2045 without a gap. */
    enum CommandId
    {
        autoSplit = 0x2001,
        manualSplit,
        mergeSentence,
        removeSentence,
        interpretSentence,
        translateSentence,
        joinOrExitReview,
        showOriginText,
        replaySentence,
        generateCourseware,
        switchInputStatus,
        dictateOn,
        dictateOff,
        startEarlier005, ///< 0x200E: the first of the twenty boundary adjustments
        startEarlier01,
        startEarlier02,
        startEarlier03,
        startEarlier05,
        startLater005,
        startLater01,
        startLater02,
        startLater03,
        startLater05,
        endEarlier005,
        endEarlier01,
        endEarlier02,
        endEarlier03,
        endEarlier05,
        endLater005,
        endLater01,
        endLater02,
        endLater03,
        endLater05, ///< 0x2021: the last boundary adjustment
        undoCommand,
        redoCommand,
        giveUpCourse,
        popupSystemMenuCommand,
        preferences,
        setupAudioDevices,
        editShortcuts,
        statisticsInfo,
        aboutApplication,
        faq,
        helpDocument,
        shareAndDiscuss,
        coursesManager,
        browseTodayLrf,
        notesAndRetell,
        audioEffectsAndLoops,
        archiveCourse,
        rebuildMobileAudio,
        newCourse,
        reviewCourse,
        playStop,
        sentenceLoop,
        courseLoop,
        gotoSentenceStart,
        gotoCourseStart,
        gotoLastSentence,
        gotoPrevSentence,
        gotoNextSentence,
        pageUp,
        pageDown,
        zoomInWaveform,
        zoomOutWaveform,
        zoomInPages,
        zoomOutPages,
        pagesNoZoom,
        pagesArrange, ///< 0x2045
        firstCommand = autoSplit,
        lastCommand = pagesArrange
    };

    /** The categories the key-mapping editor groups commands under. Stored in English: the
        editor translates them when it draws them. */
    static const juce::String CmdCategoryCourse;
    static const juce::String CmdCategoryEdit;
    static const juce::String CmdCategoryPlay;
    static const juce::String CmdCategoryView;
    static const juce::String CmdCategoryApp;

    explicit CommandCenter(CourseController* courseController);
    ~CommandCenter() override;

    juce::ApplicationCommandTarget* getNextCommandTarget() override;
    void getAllCommands(juce::Array<juce::CommandID>& commands) override;
    void getCommandInfo(juce::CommandID commandID, juce::ApplicationCommandInfo& result) override;
    bool perform(const InvocationInfo& info) override;

    /** Enables "Archive the course" for a course being learned, and for a review course unless
        typed review still has a due sentence waiting. */
    void activeJoinLibraryCmd(juce::ApplicationCommandInfo& result);

    /** Shows the application menu at the mouse position; its one plain item opens the web site. */
    static void popupSystemMenu();
    /** Shows the right-click menu of that kind at the mouse position. */
    static void showRightClickMenu(PopupMenuType type);

    /** The menus as they are shown, made of the command items of the global command manager. */
    static juce::PopupMenu createSystemMenu();
    static juce::PopupMenu createRightClickMenu(PopupMenuType type);
    /** The application menu's result that opens the web site. */
    static constexpr int officialWebsiteItem = 2;

    /** Told of every right-click menu asked for; while someone watches, no menu is shown, so a
        caller can be checked without a menu window on the screen. */
    static std::function<void(PopupMenuType)> rightClickMenuRequested;
    /** The same for the application menu. */
    static std::function<void()> systemMenuRequested;

    /** Opens a web address, or a folder as a file URL, with the system's default handler and
        tells whether the system took it. Tests put a recorder in its place. */
    static std::function<bool(const juce::URL&)> openWithSystem;

    /** How long the about window stays open unless it is closed earlier. */
    static constexpr double aboutWindowSeconds = 900.0;

    /** Where the interpretation window was left last, for this run only. */
    static juce::String interpretWindowPosition;

    // What the commands run.
    void courseJoinLibrary();
    void rebuildCourseMobileFile();
    void browseTodayMobileDir();
    void manualSplitCurrentSentence();
    void PopupInterpretModalWindow();
    void popupCourseManagerModalWindow();
    void popupShowOriginTextModalWindow();
    /** Plays the selected sentence again from its start, also while it is playing. */
    void playOrStopCurrentSentence();
    void popupAudioSetupModalWindow();
    void popupKeyMappingModalWindow();
    void popupAboutModalWindow();

    AudioDataPlayer& getReplayPlayer() const { return *replayPlayer; }

private:
    /** Asserts that the command table holds one row per command id. */
    static void checkCommandTable();
    bool isEnabled(int rule) const;
    bool isCourseOpen() const;
    bool isShrinkable() const;
    void stopSentencePlayer();
    /** Stops the sentence player and lets the replay let go of the course audio. */
    void releaseCourseAudio();
    void adjustBoundary(juce::CommandID commandID);
    bool performAppCommand(juce::CommandID commandID);
    bool performCourseCommand(juce::CommandID commandID);
    bool performEditCommand(juce::CommandID commandID);
    bool performPlayOrViewCommand(juce::CommandID commandID);
    void zoomWaveform(bool in);
    void flipPagesArrangement();

    juce::DialogWindow::LaunchOptions launchOptions;
    CourseController* controller;
    CourseModel* courseModel;
    std::unique_ptr<AudioDataPlayer> replayPlayer;

    JUCE_DECLARE_NON_COPYABLE(CommandCenter)
};
