#include "workspace/panels/BrowseTreeItem.h"

#include "workspace/QzLookAndFeel.h"
#include "workspace/panels/BrowseFileTree.h"

BrowseTreeItem::BrowseTreeItem(BrowseFileTree& tree, BrowseFolderList& rootList)
    : owner(tree), file(rootList.getDirectory())
{
    setList(&rootList, false);
}

BrowseTreeItem::BrowseTreeItem(BrowseFileTree& tree, const juce::File& f,
                               const BrowseFolderList::Entry& entry)
    : owner(tree), file(f), isDirectory(entry.isDirectory), size(entry.size), modified(entry.modified)
{
}

BrowseTreeItem::~BrowseTreeItem()
{
    clearSubItems();
    if (subList != nullptr)
        subList->removeChangeListener(this);
}

void BrowseTreeItem::setList(BrowseFolderList* list, bool owned)
{
    subList.set(list, owned);
    list->addChangeListener(this);
}

int BrowseTreeItem::getItemHeight() const
{
    return owner.getRowHeight();
}

juce::var BrowseTreeItem::getDragSourceDescription()
{
    return owner.getDragAndDropDescription();
}

void BrowseTreeItem::itemOpennessChanged(bool isNowOpen)
{
    if (!isNowOpen)
        return;
    if (subList == nullptr && isDirectory)
    {
        auto* list = new BrowseFolderList(owner.getFilter(), owner.getTimeSliceThread());
        setList(list, true);
        list->setDirectory(file);
    }
    rebuildRows();
}

void BrowseTreeItem::changeListenerCallback(juce::ChangeBroadcaster*)
{
    rebuildRows();
}

void BrowseTreeItem::rebuildRows()
{
    // A long scan hands its rows over more than once: the selected row stays selected, silently.
    juce::File selectedFile;
    for (int i = 0; i < getNumSubItems(); ++i)
        if (auto* row = dynamic_cast<BrowseTreeItem*>(getSubItem(i)); row != nullptr && row->isSelected())
            selectedFile = row->getFile();

    clearSubItems();
    if (!isOpen() || subList == nullptr)
        return;

    for (int i = 0; i < subList->getNumFiles(); ++i)
    {
        const auto child = subList->getFile(i);
        auto* row = new BrowseTreeItem(owner, child, subList->getEntry(i));
        addSubItem(row);
        if (child == selectedFile && selectedFile != juce::File())
            row->setSelected(true, false, juce::dontSendNotification);
    }
}

void BrowseTreeItem::paintItem(juce::Graphics& g, int width, int height)
{
    if (!isDirectory && sizeText.isEmpty())
    {
        sizeText = juce::File::descriptionOfSizeInBytes(size);
        timeText = modified.formatted("%d %b '%y %H:%M");
    }

    if (auto* lookAndFeel = dynamic_cast<QzLookAndFeel*>(&owner.getLookAndFeel()))
    {
        lookAndFeel->drawBrowserRow(g, width, height, file.getFileName(), nullptr, sizeText, timeText,
                                    isDirectory, isSelected(), &owner);
        return;
    }
    g.setColour(owner.findColour(juce::DirectoryContentsDisplayComponent::textColourId));
    g.drawFittedText(file.getFileName(), 0, 0, width, height, juce::Justification::centredLeft, 1);
}

void BrowseTreeItem::itemClicked(const juce::MouseEvent& event)
{
    owner.sendMouseClickMessage(file, event);
}

void BrowseTreeItem::itemSelectionChanged(bool)
{
    owner.sendSelectionChangeMessage();
}
