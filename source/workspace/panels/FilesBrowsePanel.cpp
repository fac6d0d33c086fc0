#include "workspace/panels/FilesBrowsePanel.h"

#include "engine/GlobalData.h"
#include "engine/SystemModel.h"
#include "workspace/Main.h"
#include "workspace/panels/BrowseFileFilter.h"
#include "workspace/panels/BrowseFileTree.h"
#include "workspace/panels/BrowseFolderList.h"
#include "workspace/panels/BrowserListenComponent.h"

namespace
{
const juce::String dragDescription("FileDragInFileBrowser");
constexpr int afterPlayNextFile = 2;
} // namespace

FilesBrowsePanel::FilesBrowsePanel()
{
    roots = FileSystemRoots::find();
    for (size_t i = 0; i < roots.size(); ++i)
        rootBox.addItem(roots[i].folder.getFullPathName() + "  [ " + roots[i].label + " ]", (int)i + 1);
    addAndMakeVisible(rootBox);
    rootBox.addListener(this);

    directoryList = std::make_unique<BrowseFolderList>(fileFilter, scanningThread);
    showFirstFolder();

    fileTree = std::make_unique<BrowseFileTree>(*directoryList);
    fileTree->setDragAndDropDescription(dragDescription);
    if (auto* viewport = fileTree->getViewport())
    {
        viewport->setScrollBarThickness(GlobalData::scrollBarThickness);
        viewport->getVerticalScrollBar().setColour(juce::ScrollBar::thumbColourId, juce::Colours::lightgrey);
        viewport->getHorizontalScrollBar().setColour(juce::ScrollBar::thumbColourId,
                                                     juce::Colours::lightgrey);
    }
    fileTree->addListener(this);
    addAndMakeVisible(*fileTree);

    listenComponent = std::make_unique<BrowserListenComponent>();
    listenComponent->setEnabled(false);
    listenComponent->addChangeListener(this);
    addAndMakeVisible(*listenComponent);

    setSize(330, 660);
    applySystemColour();
    scanningThread.startThread();
}

FilesBrowsePanel::~FilesBrowsePanel()
{
    rootBox.removeListener(this);
    listenComponent.reset();
    // The tree's rows refer to the list while they go.
    fileTree.reset();
    directoryList.reset();
}

void FilesBrowsePanel::showFolder(const juce::File& folder)
{
    directoryList->setDirectory(folder);
}

void FilesBrowsePanel::showFirstFolder()
{
    const auto stored = systemModel != nullptr ? systemModel->getFileBrowseRoot() : juce::String();
    if (stored.isEmpty())
    {
        rootBox.setSelectedId(1, juce::dontSendNotification);
        if (!roots.empty())
            showFolder(roots.front().folder);
        return;
    }

    // A root that is no longer there (a medium taken out) shows no selection, and an empty tree.
    const auto folder = juce::File::isAbsolutePath(stored) ? juce::File(stored) : juce::File();
    int id = 0;
    for (size_t i = 0; i < roots.size(); ++i)
        if (roots[i].folder == folder)
            id = (int)i + 1;
    rootBox.setSelectedId(id, juce::dontSendNotification);
    showFolder(folder);
}

void FilesBrowsePanel::applySystemColour()
{
    if (systemModel != nullptr)
    {
        rootBox.setColour(juce::ComboBox::backgroundColourId, systemModel->fbRootBgColour);
        rootBox.setColour(juce::ComboBox::textColourId, systemModel->fbRootTextColour);
        fileTree->setColour(juce::TreeView::backgroundColourId, systemModel->fbListBgColour);
        fileTree->setColour(juce::TreeView::linesColourId, systemModel->fbListTextColour);
        fileTree->setColour(juce::DirectoryContentsDisplayComponent::textColourId,
                            systemModel->fbListTextColour);
        fileTree->setColour(juce::DirectoryContentsDisplayComponent::highlightColourId,
                            systemModel->fbHighlightColour);
        listenComponent->setColour(systemModel->fbPlayerTextColour);
    }
    repaint();
}

void FilesBrowsePanel::stopAudioPlay()
{
    listenComponent->stop();
}

juce::File FilesBrowsePanel::getSelectedFile() const
{
    return fileTree->getSelectedFile(0);
}

void FilesBrowsePanel::clearPreview()
{
    listenComponent->stop();
    listenComponent->setAudioFile({});
    listenComponent->setEnabled(false);
}

void FilesBrowsePanel::comboBoxChanged(juce::ComboBox* box)
{
    const int index = box->getSelectedId() - 1;
    if (box != &rootBox || index < 0 || index >= (int)roots.size())
        return;

    const auto& folder = roots[(size_t)index].folder;
    showFolder(folder);
    if (systemModel != nullptr)
        systemModel->getProperties().setValue(SystemModel::FileBrowseRoot, folder.getFullPathName());
    clearPreview();
}

void FilesBrowsePanel::changeListenerCallback(juce::ChangeBroadcaster* source)
{
    if (source == listenComponent.get() && systemModel != nullptr &&
        systemModel->fbAfterPlay == afterPlayNextFile)
        fileTree->moveSelectedRow(1);
}

void FilesBrowsePanel::selectionChanged()
{
    const auto file = fileTree->getSelectedFile(0);
    if (file != juce::File())
        fileSelected(file);
}

void FilesBrowsePanel::fileClicked(const juce::File& file, const juce::MouseEvent&)
{
    fileSelected(file);
}

void FilesBrowsePanel::fileSelected(const juce::File& file)
{
    if (file.isDirectory())
    {
        clearPreview();
        return;
    }
    if (file == listenComponent->getCurrentFile())
        return;

    listenComponent->setEnabled(true);
    if (!listenComponent->setAudioFile(file) && !BrowseFileFilter::isRegularFile(file))
    {
        // A FIFO or a device in a recording's place is never opened; said, and the play-through
        // stops here. A damaged recording instead ends as soon as it starts, and the play-through
        // goes on past it.
        juce::AlertWindow::showMessageBoxAsync(juce::MessageBoxIconType::WarningIcon, TRANS("Ah oh"),
                                               TRANS("File load failed!") + "\r\n" + file.getFullPathName());
        return;
    }
    if (systemModel != nullptr && systemModel->fbAutoPlay)
        listenComponent->start();
}

void FilesBrowsePanel::paint(juce::Graphics& g)
{
    g.fillAll(juce::Colours::darkgrey);
}

void FilesBrowsePanel::resized()
{
    const int width = getWidth();
    const int height = getHeight();
    rootBox.setBounds(0, 0, width, 19);
    listenComponent->setBounds(0, height - 1 - GlobalData::statusHeight, width, GlobalData::statusHeight);
    fileTree->setBounds(0, rootBox.getBottom() + 2, width, height - 4 - 19 - GlobalData::statusHeight);
}
