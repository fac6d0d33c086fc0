#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <memory>

class ColourBlockComponent;
class LinearbarSliderWithoutMouseWheel;
class SystemSetupModule;
struct SystemSetupRow;

/** The content of the preferences window: one tall panel of 69 rows in nine groups, each row a
    label, a widget (colour swatch, combo box or slider) and mostly a "Default" button.

    Every edit is written into the settings in memory at once; storing or dropping the edits is the
    window's business. Edits that change what the main window shows are broadcast, so that the
    controller re-applies them while the learner is still editing; the others only mark the
    window as changed. */
class SystemSetupPanel : public juce::Component,
                         public juce::ChangeBroadcaster,
                         public juce::ChangeListener,
                         public juce::Slider::Listener,
                         public juce::ComboBox::Listener,
                         public juce::Button::Listener
{
public:
    static constexpr int numRows = 69;
    static constexpr int panelWidth = 615;
    static constexpr int panelHeight = 2080;

    /** The owner may be null (the panel alone); its changed flag is then left alone. */
    explicit SystemSetupPanel(SystemSetupModule* owner);
    ~SystemSetupPanel() override;

    /** Sets the labels, the buttons and the translated combo items in the current language. The
        refilled combo boxes lose their selection: initValue must follow. */
    void setWidgetsText();
    /** Shows the settings in memory in every widget, without notifications. */
    void initValue();
    /** Rebuild the page font of foreign or native text from its face and size rows. */
    void setForeignFont();
    void setNativeFont();

    void changeListenerCallback(juce::ChangeBroadcaster* source) override;
    void sliderValueChanged(juce::Slider* slider) override;
    void comboBoxChanged(juce::ComboBox* comboBox) override;
    void buttonClicked(juce::Button* button) override;

    // A row's widgets; null where the row has none of that kind.
    juce::Label& getLabel(int row) const { return *labels[row]; }
    juce::TextButton& getDefaultButton(int row) const { return *defaultButtons[row]; }
    juce::Slider* getSlider(int row) const;
    juce::ComboBox* getComboBox(int row) const;
    ColourBlockComponent* getSwatch(int row) const;

    /** The faces the font rows offer, the n-th with id n. */
    const juce::StringArray& getTypefaceNames() const { return typefaceNames; }
    /** The id of the face row item that draws text asked for in this face: the face itself, or
        the installed face that stands in for it; 0 when there is none. */
    int faceIdFor(const juce::String& faceName) const;

private:
    struct RowWidgets
    {
        LinearbarSliderWithoutMouseWheel* slider = nullptr;
        juce::ComboBox* combo = nullptr;
        ColourBlockComponent* swatch = nullptr;
    };

    void makeLabels();
    void makeDefaultButtons();
    void makeSliders();
    void makeComboBoxes();
    void makeSwatches();

    int rowOf(const juce::Component* widget) const;
    /** Stores a row's new widget value (a slider value, a combo id), then broadcasts a live row
        and marks the window changed. */
    void rowEdited(int row, double value);
    void rebuildFont(int faceRow);
    void applyDependencies(int row);
    void setRowEnabled(int row, bool enabled);
    void restoreDefault(int row);
    void restoreFontDefaults(int faceRow);
    void markChanged();

    juce::StringArray typefaceNames;
    SystemSetupModule* owner;

    juce::OwnedArray<juce::Label> labels;
    juce::OwnedArray<juce::TextButton> defaultButtons;
    // Made before the sliders that use it, so that it outlives them.
    std::unique_ptr<juce::LookAndFeel_V2> sliderLookAndFeel;
    juce::OwnedArray<LinearbarSliderWithoutMouseWheel> sliders;
    juce::OwnedArray<juce::ComboBox> comboBoxes;
    juce::OwnedArray<ColourBlockComponent> swatches;

    std::array<RowWidgets, numRows> widgets{};

    JUCE_DECLARE_NON_COPYABLE(SystemSetupPanel)
};
