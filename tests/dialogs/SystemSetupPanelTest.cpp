// The preferences panel: its rows, what each edit writes into the settings and whether it is
// broadcast, the "Default" buttons, the font rows and the text pass.
#include "dialogs/SystemSetupPanel.h"

#include "dialogs/ColourBlockComponent.h"
#include "dialogs/SystemSetupModule.h"
#include "dialogs/SystemSetupRows.h"
#include "engine/SystemModel.h"
#include "platform/FontSubstitution.h"
#include "workspace/Main.h"
#include "workspace/QzLookAndFeel.h"

#include "harness/OpenCourse.h"
#include "harness/OpenWorkspace.h"
#include "harness/ProcessWideObjects.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

using juce::String;

namespace
{
const std::set<int> headingRows{0, 6, 14, 21, 34, 46, 55, 59, 63};
const std::set<int> sliderRows{18, 19, 28, 32, 33, 37, 50, 53, 56, 57, 58, 64, 65, 66, 68};
const std::set<int> comboRows{1,  13, 16, 20, 26, 27, 30, 31, 35, 36, 38,
                              47, 48, 49, 51, 52, 54, 60, 61, 62, 67};

struct ChangeCounter : juce::ChangeListener
{
    void changeListenerCallback(juce::ChangeBroadcaster*) override { ++count; }
    int count = 0;
};

void settle()
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil(100);
}

juce::MouseEvent mouseAt(juce::Component& on, juce::Point<float> at, juce::Point<float> downAt, bool dragged)
{
    const auto now = juce::Time::getCurrentTime();
    return juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(), at,
                            juce::ModifierKeys(juce::ModifierKeys::leftButtonModifier),
                            juce::MouseInputSource::defaultPressure, 0.0f, 0.0f, 0.0f, 0.0f, &on, &on, now,
                            downAt, now, 1, dragged);
}

/** The settings at their defaults and a preferences window (not shown) whose broadcasts are
    counted. */
class SystemSetupPanelTest : public testing::Test
{
protected:
    SystemSetupPanelTest() { window->addChangeListener(&broadcasts); }
    ~SystemSetupPanelTest() override { window->removeChangeListener(&broadcasts); }

    /** A new window, for a fresh changed flag and broadcast count. */
    void renewWindow()
    {
        window->removeChangeListener(&broadcasts);
        window = std::make_unique<SystemSetupModule>();
        window->addChangeListener(&broadcasts);
        broadcasts.count = 0;
    }

    SystemSetupPanel& panel() const { return window->getPanel(); }

    ProcessWideObjects objects;
    std::unique_ptr<SystemSetupModule> window = std::make_unique<SystemSetupModule>();
    ChangeCounter broadcasts;
};
} // namespace

TEST_F(SystemSetupPanelTest, LaysOutSixtyNineRowsInNineGroups)
{
    EXPECT_EQ(panel().getWidth(), 615);
    EXPECT_EQ(panel().getHeight(), 2080);
    int swatchCount = 0;
    for (int row = 0; row < SystemSetupPanel::numRows; ++row)
    {
        const auto& label = panel().getLabel(row);
        EXPECT_EQ(label.getBounds(), juce::Rectangle<int>(8, 5 + 30 * row, 360, 30)) << row;
        const bool heading = headingRows.count(row) > 0;
        EXPECT_EQ(label.getFont().getHeight(), heading ? 22.0f : 18.0f) << row;
        EXPECT_EQ(label.getFont().isBold(), heading) << row;
        EXPECT_EQ(label.getJustificationType(),
                  heading ? juce::Justification::centred : juce::Justification::centredLeft)
            << row;

        auto& button = panel().getDefaultButton(row);
        EXPECT_EQ(button.getBounds(), juce::Rectangle<int>(528, 8 + 30 * row, 65, 25)) << row;
        const bool hidden = heading || row == 27 || row == 28 || row == 31 || row == 32;
        EXPECT_EQ(button.isVisible(), !hidden) << row;

        const juce::Rectangle<int> widgetArea(368, 8 + 30 * row, 150, 25);
        EXPECT_EQ(panel().getSlider(row) != nullptr, sliderRows.count(row) > 0) << row;
        EXPECT_EQ(panel().getComboBox(row) != nullptr, comboRows.count(row) > 0) << row;
        const bool swatch = !heading && sliderRows.count(row) == 0 && comboRows.count(row) == 0;
        EXPECT_EQ(panel().getSwatch(row) != nullptr, swatch) << row;
        swatchCount += swatch ? 1 : 0;
        for (juce::Component* widget : {static_cast<juce::Component*>(panel().getSlider(row)),
                                        static_cast<juce::Component*>(panel().getComboBox(row)),
                                        static_cast<juce::Component*>(panel().getSwatch(row))})
        {
            if (widget != nullptr)
            {
                EXPECT_EQ(widget->getBounds(), widgetArea) << row;
            }
        }
    }
    EXPECT_EQ(swatchCount, 24);
}

TEST_F(SystemSetupPanelTest, SlidersHaveTheirRangesStepsAndSuffixes)
{
    struct Expected
    {
        int row;
        double low, high, step;
        const char* suffix;
    };
    const Expected sliders[] = {
        {18, 300, 1800, 10, " px"}, {19, 200, 3000, 10, " px"}, {28, 20, 35, 1, " px"},
        {32, 20, 35, 1, " px"},     {33, 0, 500, 5, "%"},       {37, 1, 50, 1, ""},
        {50, 1, 50, 1, ""},         {53, 1, 10, 1, ""},         {56, 0.2, 2.0, 0.05, " s"},
        {57, 0.5, 12.0, 0.1, " s"}, {58, -70, -20, 1, " dB"},   {64, 1, 20, 1, ""},
        {65, 1, 30, 1, ""},         {66, 0, 300, 10, "%"},      {68, 0, 30, 1, ""},
    };
    for (auto& expected : sliders)
    {
        auto* slider = panel().getSlider(expected.row);
        ASSERT_NE(slider, nullptr) << expected.row;
        EXPECT_DOUBLE_EQ(slider->getMinimum(), expected.low) << expected.row;
        EXPECT_DOUBLE_EQ(slider->getMaximum(), expected.high) << expected.row;
        EXPECT_DOUBLE_EQ(slider->getInterval(), expected.step) << expected.row;
        EXPECT_EQ(slider->getTextValueSuffix(), expected.suffix) << expected.row;
        EXPECT_EQ(slider->getSliderStyle(), juce::Slider::LinearBar) << expected.row;
        EXPECT_EQ(slider->getTextBoxPosition(), juce::Slider::TextBoxAbove) << expected.row;
        EXPECT_NE(dynamic_cast<juce::LookAndFeel_V2*>(&slider->getLookAndFeel()), nullptr);
        EXPECT_EQ(dynamic_cast<juce::LookAndFeel_V3*>(&slider->getLookAndFeel()), nullptr)
            << "drawn in the older style, not the application's";
    }
}

TEST_F(SystemSetupPanelTest, EditsStoreByTheirMappingAndOnlyLiveOnesAreBroadcast)
{
    struct Edit
    {
        int row;
        double value; // a slider value or a combo id
        bool live;
        std::function<bool()> stored;
        const char* what;
    };
    auto& s = *systemModel;
    const Edit edits[] = {
        {1, 1, true, [&] { return s.language == 1; }, "English"},
        {13, 2, false, [&] { return !s.effOtherWhenAdjust; }, "Yes/No: No is false"},
        {16, 1, true, [&] { return s.pagesHorArrange; }, "Horizontal"},
        {18, 1000, true, [&] { return s.pageWidth == 1000; }, "page width"},
        {20, 7, true, [&] { return s.pageNumberPlace == 6; }, "Bottom right"},
        {20, 1, true, [&] { return s.pageNumberPlace == 0; }, "None"},
        {27, 8, true,
         [&] { return s.foreignFontStyle == 7 && s.foreignFont.getStyleFlags() == juce::Font::plain; },
         "Bold + Italic + Underlined, the font itself plain"},
        {32, 30, true, [&] { return s.nativeFont.getHeight() == 30.0f; }, "native text size"},
        {33, 250, false, [&] { return s.dictateInterval == 2.5; }, "250 %"},
        {48, 89, false, [&] { return s.maxIntervalDays == 89; }, "89 days"},
        {49, 1, false, [&] { return s.reviewOnNextDay; }, "Tomorrow"},
        {56, 0.55, false, [&] { return s.autoSplitIntervalMinLength == 0.55; }, "0.55 s, no rounding error"},
        {58, -70, false, [&] { return s.autoSplitIntervalMinLevel == -70.0f; }, "-70 dB"},
        {60, 22050, false, [&] { return s.audioRenderSampleRate == 22050.0; }, "22050 hz"},
        {66, 0, false, [&] { return s.mobUnfInterval == 0.0; }, "0 %"},
    };
    for (auto& edit : edits)
    {
        s.resetAllSystemAttrib();
        renewWindow();
        if (auto* slider = panel().getSlider(edit.row))
            slider->setValue(edit.value, juce::sendNotificationSync);
        else
            panel().getComboBox(edit.row)->setSelectedId(static_cast<int>(edit.value),
                                                         juce::sendNotificationSync);

        EXPECT_TRUE(edit.stored()) << edit.what;
        EXPECT_TRUE(window->hasChanges()) << edit.what;
        settle();
        EXPECT_EQ(broadcasts.count > 0, edit.live) << edit.what;
    }
}

TEST_F(SystemSetupPanelTest, ASliderStoresOnReleaseAndLeavesTheWheelToTheViewport)
{
    auto* slider = panel().getSlider(19);
    const auto before = systemModel->pageHeight;

    slider->mouseDown(mouseAt(*slider, {10.0f, 10.0f}, {10.0f, 10.0f}, false));
    slider->mouseDrag(mouseAt(*slider, {140.0f, 10.0f}, {10.0f, 10.0f}, true));
    settle();
    EXPECT_GT(slider->getValue(), before) << "the drag moved the slider";
    EXPECT_EQ(systemModel->pageHeight, before) << "but stored nothing yet";
    EXPECT_FALSE(window->hasChanges());

    slider->mouseUp(mouseAt(*slider, {140.0f, 10.0f}, {10.0f, 10.0f}, true));
    ASSERT_TRUE(OpenCourse::pumpUntil([&] { return systemModel->pageHeight != before; }));
    EXPECT_EQ(systemModel->pageHeight, static_cast<int>(slider->getValue()));

    // The wheel over a slider scrolls the window's viewport and leaves the value alone.
    const auto value = slider->getValue();
    auto& viewport = window->getViewport();
    ASSERT_EQ(viewport.getViewPositionY(), 0);
    juce::MouseWheelDetails wheel{};
    wheel.deltaY = -0.5f;
    slider->mouseWheelMove(mouseAt(*slider, {20.0f, 10.0f}, {20.0f, 10.0f}, false), wheel);
    EXPECT_GT(viewport.getViewPositionY(), 0);
    EXPECT_EQ(slider->getValue(), value);
}

TEST_F(SystemSetupPanelTest, DependentRowsFollowTheirSwitch)
{
    // Loaded with the defaults: no auto loop, typed answers on.
    auto* loopTimes = panel().getSlider(37);
    auto* reviewOrder = panel().getComboBox(52);
    EXPECT_FALSE(loopTimes->isEnabled());
    EXPECT_FALSE(panel().getDefaultButton(37).isEnabled());
    EXPECT_TRUE(reviewOrder->isEnabled());

    panel().getComboBox(36)->setSelectedId(1, juce::sendNotificationSync);
    EXPECT_TRUE(systemModel->fbAutoLoop);
    EXPECT_TRUE(loopTimes->isEnabled());
    EXPECT_TRUE(panel().getDefaultButton(37).isEnabled());

    panel().getComboBox(51)->setSelectedId(2, juce::sendNotificationSync);
    EXPECT_FALSE(systemModel->transWhenReview);
    EXPECT_FALSE(reviewOrder->isEnabled());
    EXPECT_FALSE(panel().getDefaultButton(52).isEnabled());

    // "Default" switches the dependent rows at once, before its own value is stored.
    panel().buttonClicked(&panel().getDefaultButton(36));
    panel().buttonClicked(&panel().getDefaultButton(51));
    EXPECT_FALSE(loopTimes->isEnabled());
    EXPECT_TRUE(reviewOrder->isEnabled());
    EXPECT_TRUE(systemModel->fbAutoLoop);
    ASSERT_TRUE(
        OpenCourse::pumpUntil([] { return !systemModel->fbAutoLoop && systemModel->transWhenReview; }));
}

TEST_F(SystemSetupPanelTest, DefaultButtonsRestoreTheirRow)
{
    // A colour at its default: "Default" still counts as an edit, and is broadcast.
    panel().getDefaultButton(15).triggerClick();
    settle();
    EXPECT_EQ(systemModel->pagesBgColour, juce::Colour(0xff333333));
    EXPECT_EQ(panel().getSwatch(15)->colour, juce::Colour(0xff333333));
    EXPECT_TRUE(window->hasChanges());
    EXPECT_GT(broadcasts.count, 0);

    // Another row at its default: nothing happens.
    renewWindow();
    panel().getDefaultButton(18).triggerClick();
    settle();
    EXPECT_FALSE(window->hasChanges());
    EXPECT_EQ(broadcasts.count, 0);

    // Away from the default, it comes back through the row's own handling.
    systemModel->pageWidth = 1200;
    systemModel->statusbarTextColour = juce::Colours::pink;
    window->initValue();
    panel().getDefaultButton(18).triggerClick();
    panel().getDefaultButton(3).triggerClick();
    ASSERT_TRUE(OpenCourse::pumpUntil([] { return systemModel->pageWidth == 660; }));
    EXPECT_EQ(panel().getSlider(18)->getValue(), 660.0);
    EXPECT_EQ(systemModel->statusbarTextColour, juce::Colour(0xffcccccc));
    EXPECT_TRUE(window->hasChanges());
}

TEST_F(SystemSetupPanelTest, FaceDefaultRestoresFaceSizeAndStyleTogether)
{
    const auto names = panel().getTypefaceNames();
    ASSERT_GE(names.size(), 2);
    const auto otherFace =
        names[0] == FontSubstitution::drawingFaceFor(QzLookAndFeel::appFontName) ? names[1] : names[0];
    systemModel->foreignFont = juce::Font(otherFace, 31.0f, juce::Font::plain);
    systemModel->foreignFontStyle = 3;
    window->initValue();
    ASSERT_EQ(panel().getComboBox(26)->getText(), otherFace);

    panel().getDefaultButton(26).triggerClick();
    ASSERT_TRUE(OpenCourse::pumpUntil(
        [] { return systemModel->foreignFont.getHeight() == 26.0f && systemModel->foreignFontStyle == 0; }));
    settle();
    const auto defaultFace = systemModel->getDefaultPageTextFont().getTypefaceName();
    EXPECT_EQ(panel().getComboBox(26)->getSelectedId(), panel().faceIdFor(defaultFace));
    EXPECT_EQ(systemModel->foreignFont.getTypefaceName(), FontSubstitution::drawingFaceFor(defaultFace));
    EXPECT_EQ(panel().getComboBox(27)->getSelectedId(), 1);
    EXPECT_GT(broadcasts.count, 0);
}

TEST_F(SystemSetupPanelTest, FontRowsShowTheFaceThatDrawsAndNeverBuildAnEmptyOne)
{
    // The default page font names a face this machine lacks; the row shows what stands in for it.
    const auto standIn = FontSubstitution::drawingFaceFor(QzLookAndFeel::appFontName);
    ASSERT_TRUE(standIn.isNotEmpty()) << "no font with Chinese glyphs is installed";
    ASSERT_FALSE(panel().getTypefaceNames().contains(QzLookAndFeel::appFontName));
    EXPECT_EQ(panel().getComboBox(26)->getText(), standIn);
    EXPECT_EQ(panel().getComboBox(30)->getText(), standIn);

    // So does a face that was chosen on another machine.
    systemModel->nativeFont = juce::Font("No Such Face Here", 24.0f, juce::Font::plain);
    window->initValue();
    EXPECT_EQ(panel().getComboBox(30)->getText(), standIn);

    // A new size builds the font from what the row shows, never from an empty face name.
    panel().getSlider(32)->setValue(28.0, juce::sendNotificationSync);
    EXPECT_EQ(systemModel->nativeFont.getTypefaceName(), standIn);
    EXPECT_EQ(systemModel->nativeFont.getHeight(), 28.0f);

    // With nothing selected the font keeps its face.
    panel().getComboBox(26)->setSelectedId(0, juce::dontSendNotification);
    panel().setForeignFont();
    EXPECT_EQ(systemModel->foreignFont.getTypefaceName(), QzLookAndFeel::appFontName);
}

TEST_F(SystemSetupPanelTest, TheTextPassFollowsTheLanguageAndKeepsEveryValue)
{
    auto snapshot = [this]
    {
        juce::StringArray values;
        for (int row = 2; row < SystemSetupPanel::numRows; ++row) // all but the language itself
        {
            if (auto* slider = panel().getSlider(row))
                values.add(String(slider->getValue()));
            if (auto* combo = panel().getComboBox(row))
                values.add(String(combo->getSelectedId()) + " " + String(combo->getNumItems()));
            if (auto* swatch = panel().getSwatch(row))
                values.add(swatch->colour.toString());
        }
        return values;
    };
    systemModel->pageNumberPlace = 6;
    systemModel->intervalSequence = 3;
    window->initValue();
    const auto before = snapshot();
    const auto chineseLabel = panel().getLabel(1).getText();
    ASSERT_NE(chineseLabel, "Interface language");

    systemModel->language = 1;
    systemModel->setAppLanguage();
    window->setWidgetsText();
    EXPECT_EQ(panel().getLabel(1).getText(), "Interface language");
    EXPECT_EQ(panel().getLabel(0).getText(), "Interface");
    EXPECT_EQ(panel().getDefaultButton(68).getButtonText(), "Default");
    EXPECT_EQ(panel().getComboBox(20)->getText(), "Bottom right");
    EXPECT_EQ(panel().getComboBox(47)->getText(), "Fibonacci sequence");
    EXPECT_EQ(window->getResetButton().getButtonText(), "Reset all to defaults");
    EXPECT_EQ(window->getTitleLabel().getText(), "Preferences panel");
    EXPECT_EQ(snapshot().joinIntoString(", "), before.joinIntoString(", "));

    systemModel->language = 3;
    systemModel->setAppLanguage();
    window->setWidgetsText();
    EXPECT_EQ(panel().getLabel(1).getText(), TRANS("Interface language"));
    EXPECT_NE(panel().getLabel(1).getText(), chineseLabel) << "Traditional differs from Simplified";
    EXPECT_EQ(panel().getComboBox(20)->getText(), TRANS("Bottom right"));
    EXPECT_EQ(panel().getComboBox(1)->getSelectedId(), 3);
    EXPECT_EQ(snapshot().joinIntoString(", "), before.joinIntoString(", "));
}

TEST_F(SystemSetupPanelTest, EveryHandEditedNumberIsShownAsItIsLoaded)
{
    // Whatever the file holds, the loaded setting is one its row can show: a value outside the
    // slider's range or missing from the combo box would show as something else.
    for (auto* text : {"-1000000000", "1000000000", "nan", "0"})
    {
        {
            juce::PropertiesFile::Options options;
            options.storageFormat = juce::PropertiesFile::storeAsCompressedBinary;
            juce::PropertiesFile file(SystemModel::getSettingsFile(), options);
            for (auto& row : SystemSetupRow::all())
                if (row.key != nullptr && row.widget == SystemSetupRow::Widget::slider)
                    file.setValue(*row.key, std::holds_alternative<juce::Font SystemModel::*>(row.member)
                                                ? String("Serif; ") + text
                                                : String(text));
            for (auto* key : {"Language", "IntervalSequence", "MaxIntervalDays", "TransFirst", "FbAfterPlay",
                              "PageNumberPlace", "ForeignFontStyle", "NativeFontStyle",
                              "AudioRenderSampleRate", "AudioRenderChanels", "AudioRenderQualityLevel"})
                file.setValue(key, text);
            ASSERT_TRUE(file.saveIfNeeded());
        }
        OpenWorkspace::reloadSettings();
        renewWindow();
        for (int row = 0; row < SystemSetupPanel::numRows; ++row)
        {
            const auto& description = SystemSetupRow::all()[static_cast<size_t>(row)];
            if (auto* slider = panel().getSlider(row))
            {
                const auto shown = description.editsNumber()
                                       ? description.load(*systemModel)
                                       : (row == 28 ? systemModel->foreignFont.getHeight()
                                                    : systemModel->nativeFont.getHeight());
                EXPECT_NEAR(slider->getValue(), shown, 1e-9) << "row " << row << " from " << text;
            }
            if (auto* combo = panel().getComboBox(row); combo != nullptr && description.editsNumber())
            {
                EXPECT_NE(combo->getSelectedId(), 0) << "row " << row << " from " << text;
                EXPECT_EQ(combo->getSelectedId(), static_cast<int>(description.load(*systemModel)))
                    << "row " << row << " from " << text;
            }
        }
    }
}
