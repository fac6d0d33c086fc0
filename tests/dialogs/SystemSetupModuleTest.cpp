// The preferences window in the workspace, as the learner uses it: opened by its command and key,
// edits applied to the main window at once, and OK, Cancel, the closing question and the reset,
// each read back from the settings in memory, the settings file and the main window.
#include "dialogs/SystemSetupModule.h"

#include "dialogs/ColourBlockComponent.h"
#include "dialogs/SystemSetupPanel.h"
#include "engine/SystemModel.h"
#include "workspace/CourseController.h"
#include "workspace/Main.h"
#include "workspace/MainComponent.h"
#include "workspace/MainWindow.h"
#include "workspace/StatusBar.h"
#include "workspace/containers/PagesContainer.h"

#include "harness/CourseWorkingSet.h"
#include "harness/ModalAnswerer.h"
#include "harness/OpenCourse.h"
#include "harness/OpenWorkspace.h"

#include <gtest/gtest.h>

using juce::String;

namespace
{
constexpr int rate = 44100;
constexpr int preferencesCommand = 0x2026;

struct ChangeCounter : juce::ChangeListener
{
    void changeListenerCallback(juce::ChangeBroadcaster*) override { ++count; }
    int count = 0;
};

juce::MouseEvent clickOn(juce::Component& on)
{
    const auto now = juce::Time::getCurrentTime();
    const juce::Point<float> at(5.0f, 5.0f);
    return juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(), at,
                            juce::ModifierKeys(juce::ModifierKeys::leftButtonModifier),
                            juce::MouseInputSource::defaultPressure, 0.0f, 0.0f, 0.0f, 0.0f, &on, &on, now,
                            at, now, 1, false);
}

juce::MemoryBlock settingsFileBytes()
{
    juce::MemoryBlock bytes;
    SystemModel::getSettingsFile().loadFileAsData(bytes);
    return bytes;
}

/** The settings file as another program would read it. */
String storedValue(const String& key)
{
    juce::PropertiesFile::Options options;
    options.storageFormat = juce::PropertiesFile::storeAsCompressedBinary;
    return juce::PropertiesFile(SystemModel::getSettingsFile(), options).getValue(key);
}

int pixelsOf(const juce::Image& image, juce::Colour colour)
{
    int count = 0;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            if (image.getPixelAt(x, y) == colour)
                ++count;
    return count;
}

/** The workspace on a learning course of two sentences, the settings file written out, so that
    the tests can tell whether the window writes it. */
class PreferencesWindowTest : public testing::Test
{
protected:
    PreferencesWindowTest()
        : workspace(
              []
              {
                  CourseWorkingSet set(6.0, rate);
                  ASSERT_TRUE(set.writeSentences(OpenCourse::contiguous({2 * rate, 2 * rate})));
              })
    {
        workspace.layOut(1000, 700);
        systemModel->getProperties().saveIfNeeded();
    }

    ~PreferencesWindowTest() override
    {
        dismissCallOuts();
        if (auto* window = controller().getSystemSetupModule())
            window->removeChangeListener(&broadcasts);
    }

    /** Closes the colour selectors' call-out boxes, as a click elsewhere does. */
    static void dismissCallOuts()
    {
        for (int i = juce::Desktop::getInstance().getNumComponents(); --i >= 0;)
            if (auto* box = dynamic_cast<juce::CallOutBox*>(juce::Desktop::getInstance().getComponent(i)))
                box->exitModalState(0);
        settle();
    }

    /** A click on one of the window's buttons, handled at once. */
    static void press(SystemSetupModule& window, juce::Button& button) { window.buttonClicked(&button); }

    CourseController& controller() const { return workspace.controller(); }

    /** The "Preferences" request, as the menu or the key gives it. */
    SystemSetupModule& request()
    {
        commandManager->invokeDirectly(preferencesCommand, false);
        auto* window = controller().getSystemSetupModule();
        EXPECT_NE(window, nullptr);
        window->addChangeListener(&broadcasts); // adding twice changes nothing
        return *window;
    }

    SystemSetupPanel& panel() { return controller().getSystemSetupModule()->getPanel(); }

    /** The status bar's text colour, which only the controller's re-application changes. */
    juce::Colour statusTextColour() const
    {
        for (auto* child : workspace.main().getStatusBar().getChildren())
            if (auto* label = dynamic_cast<juce::Label*>(child))
                return label->findColour(juce::Label::textColourId);
        return {};
    }

    /** Picks a colour in a row's swatch, as the learner does in its call-out box. */
    void pickColour(int row, juce::Colour colour)
    {
        auto* swatch = panel().getSwatch(row);
        swatch->mouseUp(clickOn(*swatch));
        ASSERT_NE(swatch->getOpenSelector(), nullptr);
        swatch->getOpenSelector()->setCurrentColour(colour, juce::sendNotification);
    }

    static void settle() { juce::MessageManager::getInstance()->runDispatchLoopUntil(100); }

    OpenWorkspace workspace;
    ChangeCounter broadcasts;
};
} // namespace

TEST_F(PreferencesWindowTest, CommandAndKeyToggleAnAlwaysOnTopWindowOfItsOwn)
{
    EXPECT_EQ(controller().getSystemSetupModule(), nullptr) << "made on demand";
    auto& window = request();
    EXPECT_TRUE(window.isVisible());
    ASSERT_TRUE(window.isOnDesktop());
    EXPECT_TRUE(window.isAlwaysOnTop());
    EXPECT_TRUE(window.isOpaque());
    EXPECT_TRUE(window.getName().isEmpty()) << "the title bar carries no text";
    const int style = window.getPeer()->getStyleFlags();
    EXPECT_NE(0, style & juce::ComponentPeer::windowHasTitleBar);
    EXPECT_NE(0, style & juce::ComponentPeer::windowHasCloseButton);
    EXPECT_EQ(0,
              style & (juce::ComponentPeer::windowHasMinimiseButton |
                       juce::ComponentPeer::windowHasMaximiseButton | juce::ComponentPeer::windowIsResizable |
                       juce::ComponentPeer::windowAppearsOnTaskbar));
    const auto* screen =
        juce::Desktop::getInstance().getDisplays().getDisplayForRect(window.getScreenBounds());
    ASSERT_NE(screen, nullptr);
    EXPECT_LE(std::abs(window.getBounds().getCentreX() - screen->userArea.getCentreX()), 1) << "centred";

    EXPECT_EQ(window.getLocalBounds(), juce::Rectangle<int>(0, 0, 615, 460));
    EXPECT_EQ(window.getViewport().getBounds(), juce::Rectangle<int>(0, 0, 615, 425));
    EXPECT_EQ(window.getViewport().getScrollBarThickness(), 15);
    EXPECT_TRUE(window.getViewport().isVerticalScrollBarShown());
    EXPECT_FALSE(window.getViewport().isHorizontalScrollBarShown());
    EXPECT_EQ(window.getOkButton().getBounds(), juce::Rectangle<int>(333, 430, 70, 25));
    EXPECT_EQ(window.getCancelButton().getBounds(), juce::Rectangle<int>(404, 430, 70, 25));
    EXPECT_EQ(window.getResetButton().getBounds(), juce::Rectangle<int>(475, 430, 130, 25));
    EXPECT_EQ(window.getTitleLabel().getBounds(), juce::Rectangle<int>(20, 426, 200, 33));
    EXPECT_EQ(window.getTitleLabel().getFont().getHeight(), 26.0f);
    EXPECT_TRUE(window.getTitleLabel().getFont().isBold());
    EXPECT_EQ(window.getTitleLabel().getText(), TRANS("Preferences panel"));
    EXPECT_EQ(window.getOkButton().getButtonText(), TRANS("OK"));

    request();
    EXPECT_FALSE(window.isVisible()) << "a second request hides it, asking nothing without edits";
    EXPECT_EQ(controller().getSystemSetupModule(), &window) << "and keeps it";

    // Its key, Ctrl+comma, goes through the key mappings like every command's.
    commandManager->getKeyMappings()->keyPressed(juce::KeyPress(',', juce::ModifierKeys::commandModifier, 0),
                                                 &workspace.main());
    EXPECT_TRUE(OpenCourse::pumpUntil([&] { return window.isVisible(); }));
}

TEST_F(PreferencesWindowTest, ASwatchRecoloursTheWorkspaceAtOnceAndCancelBringsItBack)
{
    const auto before = settingsFileBytes();
    ASSERT_GT(before.getSize(), 0u);
    auto& window = request();
    const auto storedText = systemModel->statusbarTextColour;

    pickColour(15, juce::Colours::red);   // the pages' background
    pickColour(3, juce::Colours::yellow); // the status bar's text, which the controller applies
    ASSERT_TRUE(OpenCourse::pumpUntil([&] { return statusTextColour() == juce::Colours::yellow; }));
    EXPECT_EQ(systemModel->pagesBgColour, juce::Colours::red);
    EXPECT_GT(pixelsOf(workspace.main().createComponentSnapshot(workspace.main().getLocalBounds()),
                       juce::Colours::red),
              1000);
    EXPECT_TRUE(window.hasChanges());
    EXPECT_TRUE(window.isVisible()) << "the learner is still editing";

    press(window, window.getCancelButton());
    ASSERT_TRUE(OpenCourse::pumpUntil([&] { return statusTextColour() == storedText; }));
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.hasChanges());
    EXPECT_EQ(systemModel->pagesBgColour, juce::Colour(0xff333333));
    EXPECT_EQ(pixelsOf(workspace.main().createComponentSnapshot(workspace.main().getLocalBounds()),
                       juce::Colours::red),
              0);
    EXPECT_EQ(settingsFileBytes(), before) << "Cancel writes nothing";
}

TEST_F(PreferencesWindowTest, OkStoresTheEditsAndWithoutEditsWritesNothing)
{
    const auto before = settingsFileBytes();
    auto& window = request();
    press(window, window.getOkButton());
    settle();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(broadcasts.count, 0);
    EXPECT_EQ(settingsFileBytes(), before) << "byte for byte";

    request();
    const int perPageBefore = workspace.main().getPagesContainer()->getSentencesPerPage();
    panel().getSlider(19)->setValue(1500, juce::sendNotificationSync); // page height, live
    panel().getSlider(64)->setValue(4, juce::sendNotificationSync);    // mobile file plays, not live
    ASSERT_TRUE(OpenCourse::pumpUntil(
        [&] { return workspace.main().getPagesContainer()->getSentencesPerPage() != perPageBefore; }));
    EXPECT_NE(storedValue("PageHeight"), "1500") << "nothing stored while editing";

    press(window, window.getOkButton());
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.hasChanges());
    EXPECT_EQ(storedValue("PageHeight"), "1500");
    EXPECT_EQ(storedValue("MobNonUnfTimes"), "4");

    // Shown again, it shows what is stored.
    request();
    EXPECT_EQ(panel().getSlider(19)->getValue(), 1500.0);
}

TEST_F(PreferencesWindowTest, ALanguageChangeReachesEveryOpenWindow)
{
    auto& window = request();
    auto title = [this] { return workspace.window().getName(); };
    ASSERT_TRUE(title().endsWith(TRANS(" - Learning..."))) << title();
    ASSERT_NE(TRANS(" - Learning..."), " - Learning...");

    panel().getComboBox(1)->setSelectedId(1, juce::sendNotificationSync);
    ASSERT_TRUE(OpenCourse::pumpUntil([&] { return panel().getLabel(1).getText() == "Interface language"; }));
    EXPECT_TRUE(title().endsWith(" - Learning...")) << title();
    EXPECT_EQ(window.getCancelButton().getButtonText(), "Cancel");
    EXPECT_EQ(panel().getComboBox(1)->getText(), "English")
        << "the row keeps its value through the text pass";

    panel().getComboBox(1)->setSelectedId(2, juce::sendNotificationSync);
    ASSERT_TRUE(OpenCourse::pumpUntil([&] { return panel().getLabel(1).getText() != "Interface language"; }));
    EXPECT_EQ(panel().getLabel(1).getText(), TRANS("Interface language"));
    EXPECT_EQ(window.getCancelButton().getButtonText(), TRANS("Cancel"));
    EXPECT_NE(TRANS("Cancel"), "Cancel");
    EXPECT_TRUE(title().endsWith(TRANS(" - Learning..."))) << title();
}

TEST_F(PreferencesWindowTest, ClosingWithEditsAsksWhetherToSave)
{
    auto& window = request();
    {
        ModalAnswerer answerer;
        answerer.press(TRANS("Discard"));
        panel().getSlider(18)->setValue(1000, juce::sendNotificationSync);
        window.userTriedToCloseWindow();
        ASSERT_EQ(answerer.seen().size(), 1u);
        const auto& question = answerer.seen()[0];
        EXPECT_EQ(question.title, TRANS("Confirm"));
        EXPECT_EQ(question.message, TRANS("System property has been changed, do you want to save?"));
        EXPECT_EQ(question.buttons, juce::StringArray(TRANS("Save"), TRANS("Discard")));
        EXPECT_EQ(question.icon, juce::MessageBoxIconType::QuestionIcon);
        EXPECT_EQ(systemModel->pageWidth, 660) << "discarded: the stored settings are back";
        EXPECT_FALSE(window.isVisible());
        EXPECT_FALSE(window.hasChanges());
    }
    request();
    {
        ModalAnswerer answerer;
        answerer.press(TRANS("Save"));
        panel().getSlider(18)->setValue(1000, juce::sendNotificationSync);
        window.userTriedToCloseWindow();
        EXPECT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(storedValue("PageWidth"), "1000");
        EXPECT_FALSE(window.isVisible());
        EXPECT_FALSE(window.hasChanges());
    }
    // Without edits nothing is asked, yet the stored settings are read back and the listener
    // hears it before the call returns.
    request();
    settle();
    systemModel->pageWidth = 777;
    broadcasts.count = 0;
    window.userTriedToCloseWindow();
    EXPECT_EQ(broadcasts.count, 1);
    EXPECT_EQ(systemModel->pageWidth, 1000);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(PreferencesWindowTest, ARequestWhileShownWithEditsAsksAndStopsListening)
{
    auto& window = request();
    pickColour(3, juce::Colours::yellow);
    ASSERT_TRUE(OpenCourse::pumpUntil([&] { return statusTextColour() == juce::Colours::yellow; }));
    dismissCallOuts();
    ModalAnswerer answerer;
    answerer.press(TRANS("Discard"));

    request();
    EXPECT_EQ(answerer.seen().size(), 1u);
    EXPECT_FALSE(window.isVisible());
    EXPECT_NE(statusTextColour(), juce::Colours::yellow)
        << "the discard reached the controller before it stopped listening";

    // No longer listened to: a broadcast now leaves the workspace alone.
    systemModel->statusbarTextColour = juce::Colours::green;
    window.sendChangeMessage();
    settle();
    EXPECT_NE(statusTextColour(), juce::Colours::green);
}

TEST_F(PreferencesWindowTest, ResetAsksThenStoresEveryDefaultAndStaysOpen)
{
    auto& window = request();
    panel().getSlider(18)->setValue(1000, juce::sendNotificationSync);
    press(window, window.getOkButton());
    request();
    panel().getSlider(19)->setValue(900, juce::sendNotificationSync);
    {
        ModalAnswerer answerer;
        answerer.press(TRANS("Cancel"));
        press(window, window.getResetButton());
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(answerer.seen()[0].message,
                  TRANS("Are you sure restore all system properties to defaults?"));
        EXPECT_EQ(answerer.seen()[0].buttons, juce::StringArray(TRANS("OK"), TRANS("Cancel")));
    }
    EXPECT_EQ(systemModel->pageWidth, 1000);
    EXPECT_EQ(systemModel->pageHeight, 900);
    EXPECT_TRUE(window.hasChanges()) << "a refused reset keeps the flag";
    {
        ModalAnswerer answerer;
        answerer.press(TRANS("OK"));
        press(window, window.getResetButton());
        ASSERT_EQ(answerer.seen().size(), 1u);
    }
    EXPECT_EQ(systemModel->pageWidth, 660);
    EXPECT_EQ(panel().getSlider(18)->getValue(), 660.0);
    EXPECT_EQ(storedValue("PageWidth"), "660");
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.hasChanges());

    // What the file holds now are the defaults, so Cancel keeps them.
    press(window, window.getCancelButton());
    EXPECT_EQ(systemModel->pageWidth, 660);
}

TEST_F(PreferencesWindowTest, ClearingTheWorkspaceDropsTheWindowAndKeepsItsEdits)
{
    request();
    juce::Component::SafePointer<SystemSetupModule> watched(controller().getSystemSetupModule());
    panel().getSlider(18)->setValue(1000, juce::sendNotificationSync);
    watched->removeChangeListener(&broadcasts);

    ModalAnswerer answerer; // any question would be reported
    controller().resetToEmpty();
    EXPECT_EQ(watched.getComponent(), nullptr);
    EXPECT_EQ(controller().getSystemSetupModule(), nullptr);
    EXPECT_EQ(systemModel->pageWidth, 1000) << "the edit stays in effect, unsaved";
    EXPECT_NE(storedValue("PageWidth"), "1000");

    auto& fresh = request();
    EXPECT_TRUE(fresh.isVisible());
    EXPECT_FALSE(fresh.hasChanges());
    EXPECT_EQ(panel().getSlider(18)->getValue(), 1000.0);
    EXPECT_TRUE(answerer.seen().empty());
}
