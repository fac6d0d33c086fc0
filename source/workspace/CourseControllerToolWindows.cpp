#include "workspace/CourseController.h"

#include "engine/CourseModel.h"
#include "engine/SystemModel.h"
#include "workspace/BaseComponent.h"
#include "workspace/Main.h"
#include "workspace/StatusBar.h"
#include "workspace/containers/PagesContainer.h"
#include "workspace/containers/ThumbsContainer.h"
#include "workspace/panels/MixerAndLoopPanel.h"
#include "workspace/sentences/PageSentence.h"

// TODO(notes, preferences): these tool windows are made on demand and kept until the workspace
// is cleared.
void CourseController::showOrHideNoteEditor() {}
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
    setTitleBarText(isCourseOpen());
}
