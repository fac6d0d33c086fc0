#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

class CourseController;
class CourseModel;

/** The first command target of the main window: it lists the commands of the study screen,
    describes them, decides when each is enabled and performs them; commands it doesn't know go
    on to the application. It also holds the right-click menus' entry point, which any component
    may call; the menus themselves come with the command table. */
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

    enum CommandId
    {
        newCourse = 0x2034
    };

    /** The category the key-mapping editor groups course commands under. */
    static const juce::String CmdCategoryCourse;

    explicit CommandCenter(CourseController* courseController);
    ~CommandCenter() override;

    juce::ApplicationCommandTarget* getNextCommandTarget() override;
    void getAllCommands(juce::Array<juce::CommandID>& commands) override;
    void getCommandInfo(juce::CommandID commandID, juce::ApplicationCommandInfo& result) override;
    bool perform(const InvocationInfo& info) override;

    /** Shows the right-click menu of that kind at the mouse position. */
    static void showRightClickMenu(PopupMenuType type);

    /** Told of every right-click menu asked for, before it is shown, so that a caller can be
        checked without a menu window on the screen. Empty unless someone watches. */
    static std::function<void(PopupMenuType)> rightClickMenuRequested;

private:
    CourseController* controller;
    CourseModel* courseModel;

    JUCE_DECLARE_NON_COPYABLE(CommandCenter)
};
