#pragma once

#include "platform/FileSystemRoots.h"
#include "workspace/panels/BrowseFileFilter.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>
#include <vector>

class BrowseFileTree;
class BrowseFolderList;
class BrowserListenComponent;

/** The side file browser beside the learning area: a box of roots to start from, the tree of the
    chosen root's folders and of the files qZ can open, and the preview strip at the bottom.

    Selecting a file loads it into the preview (and plays it when the settings say so); when a
    preview ends, the settings may move the selection to the next row, so that a folder of
    recordings plays through. A file that can't be played is reported and stops the play-through.
    A row dragged onto the learning area carries the description "FileDragInFileBrowser"; the
    main component then stops the preview and opens the selected file as a course.

    Folders are read on the panel's own scanning thread; the chosen root is kept in the settings
    file and opened again at the next start. */
class FilesBrowsePanel : public juce::Component,
                         private juce::FileBrowserListener,
                         private juce::ComboBox::Listener,
                         private juce::ChangeListener
{
public:
    FilesBrowsePanel();
    ~FilesBrowsePanel() override;

    /** Copies the browser's colour settings onto the root box, the tree and the preview strip. */
    void applySystemColour();
    void stopAudioPlay();
    /** The tree's first selected file; the nonexistent file when nothing is selected. */
    juce::File getSelectedFile() const;

    void paint(juce::Graphics& g) override;
    void resized() override;

    // For the tests: the parts of the panel.
    juce::ComboBox& getRootBox() { return rootBox; }
    const std::vector<FileSystemRoots::Root>& getRoots() const { return roots; }
    BrowseFileTree& getTree() { return *fileTree; }
    BrowseFolderList& getDirectoryList() { return *directoryList; }
    BrowserListenComponent& getPlayer() { return *listenComponent; }
    juce::TimeSliceThread& getScanningThread() { return scanningThread; }

private:
    void comboBoxChanged(juce::ComboBox* box) override;
    void changeListenerCallback(juce::ChangeBroadcaster* source) override;
    void fileClicked(const juce::File& file, const juce::MouseEvent& event) override;
    void browserRootChanged(const juce::File&) override {}
    void fileDoubleClicked(const juce::File&) override {}
    void selectionChanged() override;

    void fileSelected(const juce::File& file);
    void showFolder(const juce::File& folder);
    void showFirstFolder();
    /** Stops and empties the preview and disables it. */
    void clearPreview();

    juce::TimeSliceThread scanningThread{"FileBrowsePanelThread"};
    BrowseFileFilter fileFilter;
    std::unique_ptr<BrowseFileTree> fileTree;
    std::unique_ptr<BrowseFolderList> directoryList;
    std::unique_ptr<BrowserListenComponent> listenComponent;
    std::vector<FileSystemRoots::Root> roots;
    juce::ComboBox rootBox;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(FilesBrowsePanel)
};
