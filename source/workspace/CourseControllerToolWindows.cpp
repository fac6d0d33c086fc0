#include "workspace/CourseController.h"

#include "dialogs/NoteEditor.h"
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

// TODO(preferences): made on demand and kept until the workspace is cleared.
void CourseController::showOrHideSystemSetup() {}

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
    if (mixerPanel != nullptr)
        mixerPanel->setWidgetsText();
    if (noteEditor != nullptr)
        noteEditor->setWidgetsText();
    setTitleBarText(isCourseOpen());
}
