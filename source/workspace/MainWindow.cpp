#include "workspace/MainWindow.h"

#include "engine/SystemModel.h"
#include "workspace/BaseComponent.h"
#include "workspace/CourseController.h"
#include "workspace/Main.h"

MainWindow::MainWindow()
    : DocumentWindow("qZ", juce::Colours::lightgrey, DocumentWindow::allButtons, true),
      shiftedKeys(*commandManager->getKeyMappings())
{
    setContentOwned(new BaseComponent(), true);
    setResizable(true, false);
    setResizeLimits(616, 430, 8192, 8192);
    centreWithSize(getWidth(), getHeight());
    setUsingNativeTitleBar(true);

    getBaseComponent().getController()->setTitleBarText(true);
    restoreWindowStateFromString(systemModel->getMainWindowState());

    setVisible(true);
    setWantsKeyboardFocus(false);
    // Asked last: only presses the mappings didn't take reach it.
    addKeyListener(&shiftedKeys);
    addKeyListener(commandManager->getKeyMappings());

    getBaseComponent().getController()->startWholeApplication();
}

MainWindow::~MainWindow()
{
    removeKeyListener(commandManager->getKeyMappings());
    removeKeyListener(&shiftedKeys);
    systemModel->getProperties().setValue(SystemModel::MainWindowState, getWindowStateAsString());
}

BaseComponent& MainWindow::getBaseComponent() const
{
    return *static_cast<BaseComponent*>(getContentComponent());
}

void MainWindow::closeButtonPressed()
{
    juce::JUCEApplication::getInstance()->systemRequestedQuit();
}
