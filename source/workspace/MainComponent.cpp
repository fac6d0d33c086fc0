#include "workspace/MainComponent.h"

#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"
#include "engine/GlobalData.h"
#include "engine/SystemModel.h"
#include "workspace/BaseComponent.h"
#include "workspace/CommandCenter.h"
#include "workspace/CourseController.h"
#include "workspace/FunctionZone.h"
#include "workspace/LayoutBarWithBorder.h"
#include "workspace/Main.h"
#include "workspace/PopupMenuComponent.h"
#include "workspace/StatusBar.h"
#include "workspace/containers/PagesContainer.h"
#include "workspace/containers/ThumbsContainer.h"

namespace
{
const juce::String lineBreak("\r\n");
// The side browser's tree drags its files with this description.
const juce::String browserDragDescription("FileDragInFileBrowser");

void showBox(juce::MessageBoxIconType icon, const juce::String& title, const juce::String& message)
{
    juce::AlertWindow::showMessageBox(icon, title, message);
}

void styleScrollBar(juce::ScrollBar& bar)
{
    bar.setAutoHide(false);
    bar.setColour(juce::ScrollBar::thumbColourId, juce::Colours::lightgrey);
}
} // namespace

//==============================================================================
bool MainComponent::SentencesViewport::keyPressed(const juce::KeyPress&)
{
    return false;
}

void MainComponent::SentencesViewport::visibleAreaChanged(const juce::Rectangle<int>&)
{
    if (badge == nullptr)
        return;
    const juce::Point<int> target(getViewPositionX() + getMaximumVisibleWidth() - 70, getViewPositionY() + 5);
    juce::Desktop::getInstance().getAnimator().animateComponent(
        badge, badge->getBounds().withPosition(target), 1.0f, 1350, true, 7.0, 0.0);
    badge->setTopLeftPosition(target);
}

void MainComponent::ThumbsViewport::visibleAreaChanged(const juce::Rectangle<int>&)
{
    if (thumbsContainer != nullptr)
        thumbsContainer->setTimeScaleBounds();
}

//==============================================================================
MainComponent::MainComponent()
{
    courseController = std::make_unique<CourseController>();
    commandCenter = std::make_unique<CommandCenter>(courseController.get());

    auto& model = courseController->getCourseModel();
    auto* thumbs = new ThumbsContainer(model.getThumbs(), &thumbsViewport);
    auto* pages = new PagesContainer(model.getPages(), &sentencesViewport);
    pages->getBadge()->setController(courseController.get());
    thumbsViewport.thumbsContainer = thumbs;
    thumbsViewport.setViewedComponent(thumbs, true);
    sentencesViewport.setViewedComponent(pages, true);
    sentencesViewport.badge = pages->getBadge();
    setUpViewports();

    statusBar = std::make_unique<StatusBar>();
    addAndMakeVisible(*statusBar);
    // Added last, the toolbar lies over the status bar.
    functionZone = std::make_unique<FunctionZone>();
    addAndMakeVisible(*functionZone);

    for (juce::Component* view : {(juce::Component*)thumbs, (juce::Component*)pages,
                                  (juce::Component*)statusBar.get(), (juce::Component*)functionZone.get()})
        courseController->addViews(view);
    courseController->setViewports(&thumbsViewport, &sentencesViewport);

    layoutBar = std::make_unique<LayoutBarWithBorder>(&layout, 1, false);
    addAndMakeVisible(*layoutBar);
    layout.setItemLayout(0, 57, -1.0, 95);
    layout.setItemLayout(1, 4, 4, 4);
    layout.setItemLayout(2, 1, -1.0, -0.8);

    setUpCommands();
}

void MainComponent::setUpViewports()
{
    thumbsViewport.setScrollBarsShown(false, true);
    thumbsViewport.setScrollBarThickness(GlobalData::scrollBarThickness);
    styleScrollBar(thumbsViewport.getHorizontalScrollBar());
    addAndMakeVisible(thumbsViewport);

    sentencesViewport.setScrollBarsShown(true, true);
    sentencesViewport.setScrollBarThickness(GlobalData::scrollBarThickness);
    styleScrollBar(sentencesViewport.getHorizontalScrollBar());
    styleScrollBar(sentencesViewport.getVerticalScrollBar());
    addAndMakeVisible(sentencesViewport);
}

void MainComponent::setUpCommands()
{
    commandManager->registerAllCommandsForTarget(commandCenter.get());
    commandManager->registerAllCommandsForTarget(juce::JUCEApplication::getInstance());

    auto* mappings = commandManager->getKeyMappings();
    mappings->resetToDefaultMappings();
    if (const auto* saved = systemModel->getKeyMappingState())
        mappings->restoreFromXml(*saved);
    commandManager->setFirstCommandTarget(commandCenter.get());
}

MainComponent::~MainComponent()
{
    removeKeyListener(commandManager->getKeyMappings());
    commandManager->setFirstCommandTarget(nullptr);

    statusBar.reset();
    functionZone.reset();
    commandCenter.reset();
    courseController.reset();
    thumbsViewport.thumbsContainer = nullptr;
    sentencesViewport.badge = nullptr;
    thumbsViewport.setViewedComponent(nullptr);
    sentencesViewport.setViewedComponent(nullptr);
    layoutBar.reset();
}

PagesContainer* MainComponent::getPagesContainer() const
{
    return dynamic_cast<PagesContainer*>(sentencesViewport.getViewedComponent());
}

//==============================================================================
void MainComponent::paint(juce::Graphics& g)
{
    g.fillAll(systemModel->pagesBgColour);
    g.setColour(juce::Colours::lightgrey);
    g.drawHorizontalLine(getHeight() - 2 - GlobalData::statusHeight, 0.5f, (float)getWidth() - 1.0f);
}

void MainComponent::resized()
{
    const int w = getWidth();
    const int h = getHeight();
    const int s = GlobalData::statusHeight;

    statusBar->setBounds(0, h - 1 - s, w, s);
    functionZone->setTopLeftPosition((w - functionZone->getWidth()) / 2, h - 29);

    juce::Component* parts[] = {&thumbsViewport, layoutBar.get(), &sentencesViewport};
    layout.layOutComponents(parts, 3, 0, 0, w, h - 2 - s, true, true);
}

//==============================================================================
bool MainComponent::isInterestedInFileDrag(const juce::StringArray&)
{
    return true;
}

void MainComponent::filesDropped(const juce::StringArray& files, int, int)
{
    if (!files.isEmpty())
        fileDroped(juce::File(files[0]));
}

bool MainComponent::isInterestedInDragSource(const SourceDetails&)
{
    return true;
}

void MainComponent::itemDropped(const SourceDetails& details)
{
    auto* base = dynamic_cast<BaseComponent*>(getParentComponent());
    if (details.description.toString() != browserDragDescription || base == nullptr)
        return;
    base->stopFileBrowseAudioPlay();
    fileDroped(base->getFileBrowseSelectedFile());
}

bool MainComponent::fileDroped(const juce::File& file)
{
    if (file.isDirectory())
        return false;

    if (courseController->isCourseOpen())
    {
        showBox(juce::MessageBoxIconType::InfoIcon, TRANS("Ah oh"),
                TRANS("Please archive current course first, then do this again."));
        return false;
    }
    if (CourseController::temporaryFolderHoldsFiles())
    {
        showBox(juce::MessageBoxIconType::InfoIcon, TRANS("Ah oh"),
                TRANS("The application's temp folder isn't empty.") + lineBreak + lineBreak +
                    TRANS("Please check it out."));
        return false;
    }

    // Courseware and CD tracks are told by their exact extension, case included.
    const auto extension = file.getFileExtension();
    if (extension == ".qzc")
        return courseController->loadCourseware(file);
    if (extension == ".cda")
        return openCdTrack(file);
    return openAudioFile(file);
}

bool MainComponent::openCdTrack(const juce::File& file)
{
    const auto track = courseController->extractCdTrack(file);
    if (track == juce::File())
        return false;
    if (!DocumentManager::createCourseFiles(track) ||
        !courseController->loadGivenCourse(DocumentManager::getCourseFile(DocumentManager::courseText)))
    {
        showBox(juce::MessageBoxIconType::WarningIcon, TRANS("Ah oh"), TRANS("Audio CD data load failed!"));
        return false;
    }
    return true;
}

bool MainComponent::openAudioFile(const juce::File& file)
{
    // Whether the format manager opens a reader is the test that this is audio at all.
    const std::unique_ptr<juce::AudioFormatReader> reader(formatManager->createReaderFor(file));
    if (reader == nullptr)
    {
        showBox(juce::MessageBoxIconType::InfoIcon, TRANS("Ah oh"),
                TRANS("Can't recognize and load this file."));
        return false;
    }
    if (!DocumentManager::createCourseFiles(file) ||
        !courseController->loadGivenCourse(DocumentManager::getCourseFile(DocumentManager::courseText)))
    {
        showBox(juce::MessageBoxIconType::WarningIcon, TRANS("Ah oh"), TRANS("File load failed!"));
        return false;
    }
    return true;
}
