#include "dialogs/SystemSetupModule.h"

#include "dialogs/SystemSetupPanel.h"
#include "engine/SystemModel.h"
#include "workspace/Main.h"

namespace
{
constexpr int bottomBarHeight = 35;
constexpr int buttonHeight = 25;
constexpr int buttonTopFromBottom = 30;
constexpr int smallButtonWidth = 70;
constexpr int resetButtonWidth = 130;
constexpr int rightMargin = 10;
constexpr int scrollBarThickness = 15;
} // namespace

SystemSetupModule::SystemSetupModule()
{
    for (auto* button : {&okButton, &cancelButton, &resetButton})
    {
        button->addListener(this);
        addAndMakeVisible(button);
    }
    addAndMakeVisible(titleLabel);
    addAndMakeVisible(viewport);

    panel = new SystemSetupPanel(this);
    panel->addChangeListener(this);
    viewport.setViewedComponent(panel, true);
    viewport.setScrollBarsShown(true, false);
    viewport.setScrollBarThickness(scrollBarThickness);

    setSize(windowWidth, windowHeight);
    viewport.setBounds(0, 0, windowWidth, windowHeight - bottomBarHeight);

    titleLabel.setFont(juce::Font(26.0f, juce::Font::bold));
    titleLabel.setColour(juce::Label::textColourId, juce::Colours::grey);
    titleLabel.setBounds(20, windowHeight - 34, 200, 33);

    // Right to left from the corner, a pixel between the buttons.
    const int top = windowHeight - buttonTopFromBottom;
    resetButton.setBounds(windowWidth - rightMargin - resetButtonWidth, top, resetButtonWidth, buttonHeight);
    cancelButton.setBounds(resetButton.getX() - 1 - smallButtonWidth, top, smallButtonWidth, buttonHeight);
    okButton.setBounds(cancelButton.getX() - 1 - smallButtonWidth, top, smallButtonWidth, buttonHeight);

    setWidgetsText();
}

SystemSetupModule::~SystemSetupModule()
{
    panel->removeChangeListener(this);
}

void SystemSetupModule::paint(juce::Graphics& g)
{
    g.fillAll(juce::Colours::lightgrey);
    g.setColour(juce::Colours::darkslategrey);
    const auto y = static_cast<float>(viewport.getBottom());
    g.drawLine(0.5f, y, static_cast<float>(getWidth() - 1), y);
}

void SystemSetupModule::setWidgetsText()
{
    panel->setWidgetsText();
    // The text pass empties the translated combo boxes.
    panel->initValue();
    okButton.setButtonText(TRANS("OK"));
    cancelButton.setButtonText(TRANS("Cancel"));
    resetButton.setButtonText(TRANS("Reset all to defaults"));
    titleLabel.setText(TRANS("Preferences panel"), juce::dontSendNotification);
}

void SystemSetupModule::initValue()
{
    panel->initValue();
}

void SystemSetupModule::userTriedToCloseWindow()
{
    askSaveOrNot();
}

void SystemSetupModule::changeListenerCallback(juce::ChangeBroadcaster* source)
{
    if (source != panel)
        return;
    changed = true;
    sendChangeMessage();
}

void SystemSetupModule::buttonClicked(juce::Button* button)
{
    if (button == &okButton)
        saveAndExit();
    else if (button == &cancelButton)
        cancel();
    else if (button == &resetButton)
        resetAll();
}

//==============================================================================
void SystemSetupModule::saveAndExit()
{
    // With no edit nothing is written, so the settings file stays as it was, byte for byte.
    if (changed)
    {
        systemModel->updateSystemAttrib();
        sendChangeMessage();
        changed = false;
    }
    setVisible(false);
}

void SystemSetupModule::cancel()
{
    systemModel->initSystemVar();
    sendChangeMessage();
    changed = false;
    setVisible(false);
}

void SystemSetupModule::askSaveOrNot()
{
    if (changed &&
        juce::AlertWindow::showOkCancelBox(juce::MessageBoxIconType::QuestionIcon, TRANS("Confirm"),
                                           TRANS("System property has been changed, do you want to save?"),
                                           TRANS("Save"), TRANS("Discard"), nullptr, nullptr))
    {
        saveAndExit();
        return;
    }
    readStoredSettingsBack();
    changed = false;
    setVisible(false);
}

void SystemSetupModule::readStoredSettingsBack()
{
    systemModel->initSystemVar();
    // Delivered before returning: a controller that hides the window stops listening right after.
    sendChangeMessage();
    dispatchPendingMessages();
}

void SystemSetupModule::resetAll()
{
    if (!juce::AlertWindow::showOkCancelBox(juce::MessageBoxIconType::QuestionIcon, TRANS("Confirm"),
                                            TRANS("Are you sure restore all system properties to defaults?"),
                                            {}, {}, nullptr, nullptr))
        return;
    systemModel->resetAllSystemAttrib();
    panel->initValue();
    sendChangeMessage();
    changed = false;
}
