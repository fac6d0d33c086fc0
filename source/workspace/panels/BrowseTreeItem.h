#pragma once

#include "workspace/panels/BrowseFolderList.h"

#include <juce_gui_basics/juce_gui_basics.h>

class BrowseFileTree;

/** One row of the side browser's tree: a file or a folder. A folder's rows are made from a folder
    list of its own, read when the folder is first opened and kept while the row lives.

    The invisible root row shows the tree's root list, which it does not own. */
class BrowseTreeItem : public juce::TreeViewItem, private juce::ChangeListener
{
public:
    /** The root row over the tree's list. */
    BrowseTreeItem(BrowseFileTree& tree, BrowseFolderList& rootList);
    /** A row for one entry of a folder. */
    BrowseTreeItem(BrowseFileTree& tree, const juce::File& file, const BrowseFolderList::Entry& entry);
    ~BrowseTreeItem() override;

    const juce::File& getFile() const { return file; }

    bool mightContainSubItems() override { return isDirectory; }
    juce::String getUniqueName() const override { return file.getFullPathName(); }
    int getItemHeight() const override;
    juce::var getDragSourceDescription() override;
    void itemOpennessChanged(bool isNowOpen) override;
    void paintItem(juce::Graphics& g, int width, int height) override;
    void itemClicked(const juce::MouseEvent& event) override;
    void itemSelectionChanged(bool isNowSelected) override;
    juce::String getAccessibilityName() override { return file.getFileName(); }

private:
    void changeListenerCallback(juce::ChangeBroadcaster* source) override;
    /** Makes the rows again from the list, keeping the selected one selected. */
    void rebuildRows();
    void setList(BrowseFolderList* list, bool owned);

    BrowseFileTree& owner;
    juce::File file;
    bool isDirectory = true;
    juce::int64 size = 0;
    juce::Time modified;
    juce::OptionalScopedPointer<BrowseFolderList> subList;
    // Made when the row is first drawn.
    juce::String sizeText, timeText;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(BrowseTreeItem)
};
