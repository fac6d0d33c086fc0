#include "dialogs/SystemSetupPanel.h"

#include "dialogs/ColourBlockComponent.h"
#include "dialogs/LinearbarSliderWithoutMouseWheel.h"
#include "dialogs/SystemSetupModule.h"
#include "dialogs/SystemSetupRows.h"
#include "engine/SystemModel.h"
#include "platform/FontSubstitution.h"
#include "workspace/Main.h"
#include "workspace/QzLookAndFeel.h"

using Row = SystemSetupRow;
using Widget = SystemSetupRow::Widget;

namespace
{
constexpr int rowPitch = 30;
constexpr int labelX = 8;
constexpr int labelTop = 5;
constexpr int labelWidth = 360;
constexpr int widgetX = labelX + labelWidth;
constexpr int widgetTop = labelTop + 3;
constexpr int widgetWidth = 150;
constexpr int widgetHeight = 25;
constexpr int buttonWidth = 65;
constexpr int buttonRightMargin = 22;

// The rows that others depend on or that belong together.
constexpr int foreignFaceRow = 26;
constexpr int nativeFaceRow = 30;
constexpr int styleOfFace = 1; // the style row follows its face row, then the size row
constexpr int sizeOfFace = 2;
constexpr int autoLoopRow = 36;
constexpr int loopTimesRow = 37;
constexpr int translateRow = 51;
constexpr int reviewOrderRow = 52;

const Row& rowAt(int row)
{
    return SystemSetupRow::all()[static_cast<size_t>(row)];
}

juce::Rectangle<int> widgetBounds(int row)
{
    return {widgetX, widgetTop + rowPitch * row, widgetWidth, widgetHeight};
}

/** The application font's height, from the default look and feel that draws everything. */
float appFontHeight()
{
    if (auto* qz = dynamic_cast<QzLookAndFeel*>(&juce::LookAndFeel::getDefaultLookAndFeel()))
        return qz->getAppFont().getHeight();
    return QzLookAndFeel::appFontHeight;
}

juce::Font SystemModel::*fontOf(const Row& row)
{
    auto* member = std::get_if<juce::Font SystemModel::*>(&row.member);
    return member != nullptr ? *member : nullptr;
}
} // namespace

SystemSetupPanel::SystemSetupPanel(SystemSetupModule* ownerWindow)
    : typefaceNames(juce::Font::findAllTypefaceNames()), owner(ownerWindow)
{
    jassert(SystemSetupRow::all().size() == static_cast<size_t>(numRows));
    makeLabels();
    setSize(panelWidth, panelHeight);
    makeDefaultButtons();
    makeSliders();
    makeComboBoxes();
    makeSwatches();
}

SystemSetupPanel::~SystemSetupPanel()
{
    // The sliders go before the look and feel they draw with.
    sliders.clear();
}

void SystemSetupPanel::makeLabels()
{
    const auto height = appFontHeight();
    for (int row = 0; row < numRows; ++row)
    {
        auto* label = labels.add(new juce::Label());
        label->setFont(juce::Font(height));
        label->setJustificationType(juce::Justification::centredLeft);
        label->setBounds(labelX, labelTop + rowPitch * row, labelWidth, rowPitch);
        addAndMakeVisible(label);
    }
    for (int row = 0; row < numRows; ++row)
        if (rowAt(row).widget == Widget::heading)
        {
            labels[row]->setFont(juce::Font(height + 4.0f, juce::Font::bold));
            labels[row]->setJustificationType(juce::Justification::centred);
        }
}

void SystemSetupPanel::makeDefaultButtons()
{
    for (int row = 0; row < numRows; ++row)
    {
        auto* button = defaultButtons.add(new juce::TextButton(TRANS("Default")));
        button->addListener(this);
        button->setBounds(panelWidth - buttonRightMargin - buttonWidth, widgetTop + rowPitch * row,
                          buttonWidth, widgetHeight);
        addChildComponent(button);
        button->setVisible(rowAt(row).hasDefaultButton);
    }
}

void SystemSetupPanel::makeSliders()
{
    sliderLookAndFeel = std::make_unique<juce::LookAndFeel_V2>();
    for (int row = 0; row < numRows; ++row)
    {
        const auto& description = rowAt(row);
        if (description.widget != Widget::slider)
            continue;
        auto* slider = sliders.add(new LinearbarSliderWithoutMouseWheel());
        slider->setSliderStyle(juce::Slider::LinearBar);
        slider->setTextBoxStyle(juce::Slider::TextBoxAbove, false, widgetWidth, widgetHeight);
        slider->setChangeNotificationOnlyOnRelease(true);
        slider->setLookAndFeel(sliderLookAndFeel.get());
        slider->addListener(this);
        const auto range = SystemModel::getAllowedRange(*description.key);
        slider->setRange(range.getStart() * description.scale, range.getEnd() * description.scale,
                         description.interval);
        slider->setTextValueSuffix(description.suffix);
        slider->setBounds(widgetBounds(row));
        addAndMakeVisible(slider);
        widgets[static_cast<size_t>(row)].slider = slider;
    }
}

void SystemSetupPanel::makeComboBoxes()
{
    for (int row = 0; row < numRows; ++row)
    {
        const auto& description = rowAt(row);
        if (description.widget != Widget::combo)
            continue;
        auto* combo = comboBoxes.add(new juce::ComboBox());
        combo->setSize(widgetWidth, widgetHeight);
        combo->addListener(this);
        // The translated items come with the text pass; these stay as they are.
        if (fontOf(description) != nullptr)
            combo->addItemList(typefaceNames, 1);
        else if (!description.translatedItems)
            for (auto& item : description.items)
                combo->addItem(item.text, item.id);
        combo->setBounds(widgetBounds(row));
        addAndMakeVisible(combo);
        widgets[static_cast<size_t>(row)].combo = combo;
    }
}

void SystemSetupPanel::makeSwatches()
{
    for (int row = 0; row < numRows; ++row)
    {
        if (rowAt(row).widget != Widget::swatch)
            continue;
        auto* swatch = swatches.add(new ColourBlockComponent());
        swatch->addChangeListener(this);
        swatch->setBounds(widgetBounds(row));
        addAndMakeVisible(swatch);
        widgets[static_cast<size_t>(row)].swatch = swatch;
    }
}

juce::Slider* SystemSetupPanel::getSlider(int row) const
{
    return widgets[static_cast<size_t>(row)].slider;
}

juce::ComboBox* SystemSetupPanel::getComboBox(int row) const
{
    return widgets[static_cast<size_t>(row)].combo;
}

ColourBlockComponent* SystemSetupPanel::getSwatch(int row) const
{
    return widgets[static_cast<size_t>(row)].swatch;
}

int SystemSetupPanel::rowOf(const juce::Component* widget) const
{
    for (int row = 0; row < numRows; ++row)
    {
        const auto& found = widgets[static_cast<size_t>(row)];
        if (widget != nullptr && (widget == found.slider || widget == found.combo || widget == found.swatch ||
                                  widget == defaultButtons[row]))
            return row;
    }
    return -1;
}

int SystemSetupPanel::faceIdFor(const juce::String& faceName) const
{
    auto index = typefaceNames.indexOf(faceName);
    if (index < 0)
        index = typefaceNames.indexOf(FontSubstitution::drawingFaceFor(faceName));
    return index + 1;
}

//==============================================================================
void SystemSetupPanel::setWidgetsText()
{
    for (int row = 0; row < numRows; ++row)
    {
        const auto& description = rowAt(row);
        labels[row]->setText(TRANS(description.label), juce::dontSendNotification);
        defaultButtons[row]->setButtonText(TRANS("Default"));

        auto* combo = getComboBox(row);
        if (combo == nullptr || !description.translatedItems)
            continue;
        combo->clear(juce::dontSendNotification);
        for (auto& item : description.items)
            combo->addItem(TRANS(item.text), item.id);
    }
}

void SystemSetupPanel::initValue()
{
    for (int row = 0; row < numRows; ++row)
    {
        const auto& description = rowAt(row);
        const auto font = fontOf(description);
        if (auto* slider = getSlider(row))
            slider->setValue(font != nullptr ? (systemModel->*font).getHeight()
                                             : description.load(*systemModel),
                             juce::dontSendNotification);
        if (auto* combo = getComboBox(row))
            combo->setSelectedId(font != nullptr ? faceIdFor((systemModel->*font).getTypefaceName())
                                                 : static_cast<int>(description.load(*systemModel)),
                                 juce::dontSendNotification);
        if (auto* swatch = getSwatch(row))
        {
            swatch->colour = systemModel->*std::get<juce::Colour SystemModel::*>(description.member);
            swatch->repaint();
        }
    }
    applyDependencies(autoLoopRow);
    applyDependencies(translateRow);
}

void SystemSetupPanel::setForeignFont()
{
    rebuildFont(foreignFaceRow);
}

void SystemSetupPanel::setNativeFont()
{
    rebuildFont(nativeFaceRow);
}

void SystemSetupPanel::rebuildFont(int faceRow)
{
    auto* face = getComboBox(faceRow);
    auto* size = getSlider(faceRow + sizeOfFace);
    auto& font = systemModel->*fontOf(rowAt(faceRow));

    // With no face selected the font keeps the face it has: a font without one would draw
    // Chinese text as boxes.
    auto name = face->getItemText(face->getSelectedId() - 1);
    if (name.isEmpty())
        name = font.getTypefaceName();
    font = juce::Font(name, static_cast<float>(size->getValue()), juce::Font::plain);
}

//==============================================================================
void SystemSetupPanel::changeListenerCallback(juce::ChangeBroadcaster* source)
{
    const auto row = rowOf(dynamic_cast<juce::Component*>(source));
    if (row >= 0)
        systemModel->*std::get<juce::Colour SystemModel::*>(rowAt(row).member) = getSwatch(row)->colour;
    sendChangeMessage();
}

void SystemSetupPanel::sliderValueChanged(juce::Slider* slider)
{
    // To the digits the slider shows, so that a step of 0.05 stores 0.5 and not 0.5000000000000001.
    rowEdited(rowOf(slider),
              juce::String(slider->getValue(), slider->getNumDecimalPlacesToDisplay()).getDoubleValue());
}

void SystemSetupPanel::comboBoxChanged(juce::ComboBox* comboBox)
{
    // A box with nothing selected has no value to store; a face row keeps its face then.
    const auto row = rowOf(comboBox);
    if (row >= 0 && (comboBox->getSelectedId() != 0 || fontOf(rowAt(row)) != nullptr))
        rowEdited(row, comboBox->getSelectedId());
}

void SystemSetupPanel::rowEdited(int row, double value)
{
    if (row < 0)
        return;
    const auto& description = rowAt(row);
    if (fontOf(description) != nullptr)
        rebuildFont(description.widget == Widget::slider ? row - sizeOfFace : row);
    else
        description.store(*systemModel, value);
    applyDependencies(row);
    if (description.live)
        sendChangeMessage();
    markChanged();
}

void SystemSetupPanel::buttonClicked(juce::Button* button)
{
    const auto row = rowOf(button);
    if (row >= 0 && rowAt(row).hasDefaultButton)
        restoreDefault(row);
}

void SystemSetupPanel::restoreDefault(int row)
{
    const auto& description = rowAt(row);
    if (auto* swatch = getSwatch(row))
    {
        // Always an edit, even when the colour already is the default.
        const auto colour =
            juce::Colour::fromString(systemModel->getDefaultAttrib(*description.key).toString());
        systemModel->*std::get<juce::Colour SystemModel::*>(description.member) = colour;
        swatch->colour = colour;
        swatch->repaint();
        sendChangeMessage();
        return;
    }
    if (fontOf(description) != nullptr)
    {
        restoreFontDefaults(row);
        return;
    }

    // The row's own handler stores the value, when it is not already shown.
    const auto value = *description.defaultValue;
    if (auto* combo = getComboBox(row))
        combo->setSelectedId(static_cast<int>(value), juce::sendNotificationAsync);
    if (auto* slider = getSlider(row))
        slider->setValue(value, juce::sendNotificationAsync);

    // The rows that depend on this one follow at once.
    if (row == autoLoopRow)
        setRowEnabled(loopTimesRow, static_cast<int>(value) == 1);
    if (row == translateRow)
        setRowEnabled(reviewOrderRow, static_cast<int>(value) == 1);
}

void SystemSetupPanel::restoreFontDefaults(int faceRow)
{
    const auto font = systemModel->getDefaultPageTextFont();
    getComboBox(faceRow)->setSelectedId(faceIdFor(font.getTypefaceName()), juce::sendNotificationAsync);
    getSlider(faceRow + sizeOfFace)->setValue(SystemModel::textFontSize, juce::sendNotificationAsync);
    getComboBox(faceRow + styleOfFace)->setSelectedId(1, juce::sendNotificationAsync);
}

void SystemSetupPanel::applyDependencies(int row)
{
    if (row == autoLoopRow)
        setRowEnabled(loopTimesRow, systemModel->fbAutoLoop);
    if (row == translateRow)
        setRowEnabled(reviewOrderRow, systemModel->transWhenReview);
}

void SystemSetupPanel::setRowEnabled(int row, bool enabled)
{
    if (auto* slider = getSlider(row))
        slider->setEnabled(enabled);
    if (auto* combo = getComboBox(row))
        combo->setEnabled(enabled);
    defaultButtons[row]->setEnabled(enabled);
}

void SystemSetupPanel::markChanged()
{
    if (owner != nullptr)
        owner->markChanged();
}
