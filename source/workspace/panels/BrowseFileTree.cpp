#include "workspace/panels/BrowseFileTree.h"

#include "workspace/panels/BrowseTreeItem.h"

BrowseFileTree::BrowseFileTree(BrowseFolderList& list) : rootList(list)
{
    setRootItemVisible(false);
    setRootItem(new BrowseTreeItem(*this, rootList));
}

BrowseFileTree::~BrowseFileTree()
{
    // The rows still refer to the tree while they go.
    deleteRootItem();
}

juce::File BrowseFileTree::getSelectedFile(int index) const
{
    if (auto* item = dynamic_cast<const BrowseTreeItem*>(getSelectedItem(index)))
        return item->getFile();
    return {};
}

void BrowseFileTree::sendMouseClickMessage(const juce::File& file, const juce::MouseEvent& event)
{
    juce::Component::BailOutChecker checker(this);
    listeners.callChecked(checker, [&](juce::FileBrowserListener& l) { l.fileClicked(file, event); });
}

void BrowseFileTree::sendSelectionChangeMessage()
{
    juce::Component::BailOutChecker checker(this);
    listeners.callChecked(checker, [](juce::FileBrowserListener& l) { l.selectionChanged(); });
}
