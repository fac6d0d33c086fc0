#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class SystemSetupPanel;

/** The preferences window: the scrolling preferences panel, which writes every edit into the
    settings in memory at once, with "OK", "Cancel" and "Reset all to defaults" below it.

    It keeps whether anything was edited since the settings were last stored or reloaded, and
    passes every change on to its listener (the course controller), which re-applies the settings
    to the main window while the learner is still editing. The settings file is written only when
    the edits are kept or everything is reset; "Cancel" and "Discard" read it back, which undoes
    the live edits. Closing hides the window; its owner deletes it. */
class SystemSetupModule : public juce::Component,
                          public juce::ChangeBroadcaster,
                          public juce::Button::Listener,
                          public juce::ChangeListener
{
public:
    static constexpr int windowWidth = 615;
    static constexpr int windowHeight = 460;

    SystemSetupModule();
    ~SystemSetupModule() override;

    void userTriedToCloseWindow() override;
    void paint(juce::Graphics& g) override;
    void buttonClicked(juce::Button* button) override;
    void changeListenerCallback(juce::ChangeBroadcaster* source) override;

    /** The window's texts in the current language, and every widget reloaded from the settings. */
    void setWidgetsText();
    /** Every widget shows the settings in memory. */
    void initValue();
    /** "OK": stores the edits, if any, and hides the window. */
    void saveAndExit();
    /** Closing: asks whether to store the edits, if any; otherwise, or on "Discard", reads the
        stored settings back, tells the listener before returning, and hides the window. */
    void askSaveOrNot();

    /** Whether anything was edited since the settings were last stored, reloaded or reset. */
    bool hasChanges() const { return changed; }
    /** For edits that the panel doesn't broadcast. */
    void markChanged() { changed = true; }

    SystemSetupPanel& getPanel() const { return *panel; }
    juce::Viewport& getViewport() { return viewport; }
    juce::TextButton& getOkButton() { return okButton; }
    juce::TextButton& getCancelButton() { return cancelButton; }
    juce::TextButton& getResetButton() { return resetButton; }
    juce::Label& getTitleLabel() { return titleLabel; }

private:
    void cancel();
    void resetAll();
    void readStoredSettingsBack();

    juce::Viewport viewport;
    juce::TextButton okButton;
    juce::TextButton cancelButton;
    juce::TextButton resetButton;
    juce::Label titleLabel;
    // Owned by the viewport, as its viewed component.
    SystemSetupPanel* panel = nullptr;
    bool changed = false;

    JUCE_DECLARE_NON_COPYABLE(SystemSetupModule)
};
