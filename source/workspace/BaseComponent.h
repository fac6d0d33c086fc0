#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class CourseController;
class FilesBrowsePanel;
class LayoutBarWithBorder;
class MainComponent;

/** The main window's content: the learning area beside the side file browser, with a movable
    bar between them. It is the drag container from which the browser's tree starts its drags. */
class BaseComponent : public juce::Component, public juce::DragAndDropContainer
{
public:
    BaseComponent();
    ~BaseComponent() override;

    CourseController* getController() const;
    juce::File getFileBrowseSelectedFile() const;
    void stopFileBrowseAudioPlay();
    void applySystemColourForFileBrowser();

    MainComponent& getMainComponent() const { return *mainComponent; }
    FilesBrowsePanel& getFilesBrowsePanel() const { return *filesBrowsePanel; }

    void resized() override;

private:
    juce::StretchableLayoutManager layout;
    std::unique_ptr<LayoutBarWithBorder> layoutBar;
    std::unique_ptr<MainComponent> mainComponent;
    std::unique_ptr<FilesBrowsePanel> filesBrowsePanel;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(BaseComponent)
};
