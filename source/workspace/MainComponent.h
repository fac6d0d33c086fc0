#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class CommandCenter;
class CourseController;
class FunctionZone;
class LayoutBarWithBorder;
class PagesContainer;
class PopupMenuComponent;
class StatusBar;
class ThumbsContainer;

/** The learning area: the waveform strip above the pages, the status bar at the bottom with the
    toolbar over it. It creates the course controller and the command target, and makes a course
    of a file dropped on it, from outside or from the side browser. */
class MainComponent : public juce::Component,
                      public juce::FileDragAndDropTarget,
                      public juce::DragAndDropTarget
{
public:
    /** The pages' viewport. Keys never scroll it: arrows and page keys are commands. */
    class SentencesViewport : public juce::Viewport
    {
    public:
        bool keyPressed(const juce::KeyPress& key) override;
        /** Glides the floating badge to the top right corner of the visible area. */
        void visibleAreaChanged(const juce::Rectangle<int>& newVisibleArea) override;

        PopupMenuComponent* badge = nullptr;
    };

    /** The waveform strip's viewport; the time scale follows its scroll position. */
    class ThumbsViewport : public SentencesViewport
    {
    public:
        void visibleAreaChanged(const juce::Rectangle<int>& newVisibleArea) override;

        ThumbsContainer* thumbsContainer = nullptr;
    };

    MainComponent();
    ~MainComponent() override;

    CourseController* getController() const { return courseController.get(); }
    CommandCenter* getCommandCenter() const { return commandCenter.get(); }
    StatusBar& getStatusBar() const { return *statusBar; }
    FunctionZone& getFunctionZone() const { return *functionZone; }
    ThumbsViewport& getThumbsViewport() { return thumbsViewport; }
    SentencesViewport& getSentencesViewport() { return sentencesViewport; }
    ThumbsContainer* getThumbsContainer() const { return thumbsViewport.thumbsContainer; }
    PagesContainer* getPagesContainer() const;

    bool isInterestedInFileDrag(const juce::StringArray& files) override;
    void filesDropped(const juce::StringArray& files, int x, int y) override;
    bool isInterestedInDragSource(const SourceDetails& details) override;
    void itemDropped(const SourceDetails& details) override;

    /** Makes a course of the file; whether one was loaded. */
    bool fileDroped(const juce::File& file);

    void paint(juce::Graphics& g) override;
    void resized() override;

private:
    void setUpViewports();
    void setUpCommands();
    bool openCdTrack(const juce::File& file);
    bool openAudioFile(const juce::File& file);

    juce::StretchableLayoutManager layout;
    std::unique_ptr<LayoutBarWithBorder> layoutBar;
    ThumbsViewport thumbsViewport;
    SentencesViewport sentencesViewport;
    std::unique_ptr<CourseController> courseController;
    std::unique_ptr<CommandCenter> commandCenter;
    std::unique_ptr<FunctionZone> functionZone;
    std::unique_ptr<StatusBar> statusBar;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(MainComponent)
};
