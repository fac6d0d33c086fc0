#include "workspace/CourseController.h"

#include "dialogs/NoteEditor.h"
#include "dialogs/SystemSetupModule.h"
#include "engine/CourseModel.h"
#include "engine/SystemModel.h"
#include "workspace/BaseComponent.h"
#include "workspace/Main.h"
#include "workspace/StatusBar.h"
#include "workspace/containers/PagesContainer.h"
#include "workspace/containers/ThumbsContainer.h"
#include "workspace/panels/MixerAndLoopPanel.h"
#include "workspace/sentences/PageSentence.h"

void CourseController::addToolWindowToDesktop(juce::Component& window)
{
    window.setOpaque(true);
    window.setAlwaysOnTop(true);
    window.addToDesktop(juce::ComponentPeer::windowHasTitleBar | juce::ComponentPeer::windowHasCloseButton);
    window.centreWithSize(window.getWidth(), window.getHeight());
}

// Made at the first show and kept, hidden or shown, until the workspace is cleared.
void CourseController::showOrHideNoteEditor()
{
    // The editor names its retelling after the open course's working set.
    if (!isCourseOpen())
        return;
    if (noteEditor == nullptr)
    {
        noteEditor = std::make_unique<NoteEditor>(this);
        addToolWindowToDesktop(*noteEditor);
    }

    if (noteEditor->isVisible())
    {
        noteEditor->askSaveOrNot();
        noteEditor->setVisible(false);
        return;
    }
    noteEditor->setTitleAndNoteText(courseModel->getValue(-1, CourseModel::CourseName).toString(),
                                    courseModel->getValue(-1, CourseModel::Notes).toString());
    noteEditor->setRetellWidgetsStatus();
    noteEditor->setVisible(true);
    noteEditor->setKeyboardFoucsForNoteEditor();
}

void CourseController::createSystemSetupModule()
{
    systemSetup = std::make_unique<SystemSetupModule>();
    addToolWindowToDesktop(*systemSetup);
}

void CourseController::showOrHideSystemSetup()
{
    stopSentencePlayer();
    if (systemSetup == nullptr)
        createSystemSetupModule();

    if (systemSetup->isVisible())
    {
        // The closing path tells this controller of a discard before it returns.
        systemSetup->askSaveOrNot();
        systemSetup->setVisible(false);
        systemSetup->removeChangeListener(this);
        return;
    }
    // A window that hid itself (OK, Cancel, its close box) is still listened to, so that its
    // last broadcast arrived; registering again changes nothing.
    systemSetup->initValue();
    systemSetup->setVisible(true);
    systemSetup->addChangeListener(this);
}

// Only the preferences window broadcasts to the controller: its changes are applied here.
void CourseController::changeListenerCallback(juce::ChangeBroadcaster*)
{
    if (thumbsContainer != nullptr)
    {
        thumbsContainer->repaint();
        thumbsContainer->applyCursorColour();
    }
    if (pagesContainer != nullptr)
    {
        pagesContainer->initPageData();
        pagesContainer->repaint();
    }
    // Beside and under the views, the scroll bars show the background of the pages area.
    for (auto* viewport : {waveformViewport, pagesViewport})
        if (viewport != nullptr)
            viewport->repaint();
    auto& pages = courseModel->getPages();
    for (int i = pages.size(); --i >= 0;)
        pages.getUnchecked(i)->applySystemTextAttrib();
    if (statusBar != nullptr)
    {
        statusBar->applySystemColour();
        if (auto* base = statusBar->findParentComponentOfClass<BaseComponent>())
            base->applySystemColourForFileBrowser();
    }
    systemModel->setAppLanguage();
    if (systemSetup != nullptr)
        systemSetup->setWidgetsText();
    if (mixerPanel != nullptr)
        mixerPanel->setWidgetsText();
    if (noteEditor != nullptr)
        noteEditor->setWidgetsText();
    setTitleBarText(isCourseOpen());
}
