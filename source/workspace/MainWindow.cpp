#include "workspace/MainWindow.h"

#include "engine/SystemModel.h"
#include "workspace/Main.h"

MainWindow::MainWindow()
    : DocumentWindow("qZ", juce::Colours::black, DocumentWindow::allButtons)
{
    setUsingNativeTitleBar(true);
    setResizable(true, false);
    setContentOwned(new juce::Component(), false);

    if (!restoreWindowStateFromString(systemModel->getMainWindowState()))
        centreWithSize(800, 600);
    setVisible(true);
}

MainWindow::~MainWindow()
{
    systemModel->getProperties().setValue(SystemModel::MainWindowState, getWindowStateAsString());
}

void MainWindow::closeButtonPressed()
{
    juce::JUCEApplication::getInstance()->systemRequestedQuit();
}
