#pragma once

#include "workspace/panels/BrowseFolderList.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** The side browser's folder tree over a folder list: its rows are the list's entries, a folder
    row opens into the entries of that folder, read on the same scanning thread with the same
    filter.

    It tells its FileBrowserListeners of clicks and selection changes as the framework's file tree
    does; a row dragged out of it carries the drag-and-drop description it is given. Rows are drawn
    by the look and feel with the tree's colours (the framework's file list colour ids). */
class BrowseFileTree : public juce::TreeView
{
public:
    explicit BrowseFileTree(BrowseFolderList& rootList);
    ~BrowseFileTree() override;

    /** The file of the index-th selected row; the nonexistent file when there is none. */
    juce::File getSelectedFile(int index = 0) const;

    void setDragAndDropDescription(const juce::String& description) { dragDescription = description; }
    const juce::String& getDragAndDropDescription() const { return dragDescription; }

    int getRowHeight() const { return 22; }

    void addListener(juce::FileBrowserListener* listener) { listeners.add(listener); }
    void removeListener(juce::FileBrowserListener* listener) { listeners.remove(listener); }

    /** Called by the rows. */
    void sendMouseClickMessage(const juce::File& file, const juce::MouseEvent& event);
    void sendSelectionChangeMessage();

    const juce::FileFilter& getFilter() const { return rootList.getFilter(); }
    juce::TimeSliceThread& getTimeSliceThread() const { return rootList.getTimeSliceThread(); }

private:
    BrowseFolderList& rootList;
    juce::String dragDescription;
    juce::ListenerList<juce::FileBrowserListener> listeners;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(BrowseFileTree)
};
