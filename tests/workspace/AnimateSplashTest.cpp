// The about window: its timeline step by step, the window on the screen with its timer, the
// three ways it closes, the command that opens it and the shut-down that closes it in time.
#include "workspace/AnimateSplash.h"

#include "workspace/BaseComponent.h"
#include "workspace/CommandCenter.h"
#include "workspace/Main.h"
#include "workspace/MainComponent.h"
#include "workspace/MainWindow.h"
#include "workspace/SplashAnimation.h"

#include "harness/OpenCourse.h"
#include "harness/OpenWorkspace.h"

#include <gtest/gtest.h>

namespace
{
/** Steps the timeline until this many milliseconds have passed. */
void advanceTo(SplashAnimation& animation, int ms)
{
    while (animation.getElapsedMs() < ms)
        ASSERT_TRUE(animation.advance()) << "ended at " << animation.getElapsedMs();
}

/** An about window on the screen, watched so that a test sees it delete itself. */
struct ShownSplash
{
    explicit ShownSplash(double seconds) : window(new AnimateSplash()) { window->show(seconds); }
    ~ShownSplash() { delete window.getComponent(); }

    bool closes() const
    {
        return OpenCourse::pumpUntil([this] { return window == nullptr; }, 10000);
    }

    juce::Component::SafePointer<AnimateSplash> window;
};
} // namespace

TEST(SplashAnimation, BringsTheTextsIntoPlaceStepByStep)
{
    int creditIndex = 0;
    SplashAnimation animation(creditIndex, 3);
    animation.start(900.0);
    EXPECT_EQ(animation.getTitleDrop(), 310);
    EXPECT_EQ(animation.getFadeLevel(), 0.0f);

    const struct
    {
        int ms;
        int titleDrop;
        int creditLift;
        int versionShift;
        bool firstCredit, creditsByTurn, version;
        float fade;
    } cases[] = {
        {30, 302, 300, 400, false, false, false, 30.0f / 3200},
        {870, 78, 300, 400, false, false, false, 870.0f / 3200},
        {900, 70, 294, 400, true, false, false, 900.0f / 3200},
        {1170, 0, 240, 400, true, false, false, 1170.0f / 3200},
        {1620, 0, 150, 400, true, false, false, 1620.0f / 3200},
        {2340, 0, 6, 400, true, false, false, 2340.0f / 3200},
        {2400, 0, 0, 392, true, false, true, 0.75f},
        {3000, 0, 0, 232, true, false, true, 3000.0f / 3200},
        {3870, 0, 0, 0, true, false, true, 1.0f},
        {5970, 0, 0, 0, true, false, true, 1.0f},
        {6000, 0, 0, 0, false, true, true, 1.0f},
    };
    for (const auto& c : cases)
    {
        advanceTo(animation, c.ms);
        EXPECT_EQ(animation.getTitleDrop(), c.titleDrop) << c.ms;
        EXPECT_EQ(animation.getCreditLift(), c.creditLift) << c.ms;
        EXPECT_EQ(animation.getVersionShift(), c.versionShift) << c.ms;
        EXPECT_EQ(animation.showsFirstCredit(), c.firstCredit) << c.ms;
        EXPECT_EQ(animation.showsCreditsByTurn(), c.creditsByTurn) << c.ms;
        EXPECT_EQ(animation.showsVersion(), c.version) << c.ms;
        EXPECT_FLOAT_EQ(animation.getFadeLevel(), c.fade) << c.ms;
    }

    // From 6 s on only the credit line changes.
    EXPECT_FALSE(animation.onlyCreditChanges());
    advanceTo(animation, 6030);
    EXPECT_TRUE(animation.onlyCreditChanges());
}

TEST(SplashAnimation, CreditLinesTakeTurnsAndALaterWindowGoesOnFromThere)
{
    int creditIndex = 0;
    const struct
    {
        int ms;
        int index;
    } turns[] = {{6000, 0}, {7770, 0}, {7800, 1}, {11670, 1}, {11700, 2}, {15600, 0}};

    SplashAnimation first(creditIndex, 3);
    first.start(900.0);
    for (const auto& t : turns)
    {
        advanceTo(first, t.ms);
        EXPECT_EQ(first.getCreditIndex(), t.index) << t.ms;
    }
    advanceTo(first, 19500);
    EXPECT_EQ(creditIndex, 1);

    // The next window shows the first line first, then the line where the last one stopped.
    SplashAnimation second(creditIndex, 3);
    second.start(900.0);
    advanceTo(second, 6000);
    EXPECT_EQ(second.getCreditIndex(), 1);
    advanceTo(second, 7800);
    EXPECT_EQ(second.getCreditIndex(), 2);
}

TEST(SplashAnimation, EndsWhenItsTimeIsUp)
{
    int creditIndex = 0;
    SplashAnimation animation(creditIndex, 3);
    animation.start(0.3);
    for (int step = 1; step < 10; ++step)
        EXPECT_TRUE(animation.advance()) << step;
    EXPECT_FALSE(animation.advance());
    EXPECT_EQ(animation.getElapsedMs(), 300);
}

//==============================================================================
TEST(AnimateSplash, ShowsABorderlessModalWindowOnTopWithTheCreditsOfQzAndItsLibraries)
{
    ShownSplash splash(900.0);
    auto& window = *splash.window;
    EXPECT_TRUE(window.isOnDesktop());
    EXPECT_TRUE(window.isAlwaysOnTop());
    EXPECT_TRUE(window.isCurrentlyModal());
    EXPECT_TRUE(window.isOpaque());
    EXPECT_EQ(window.getWidth(), 530);
    EXPECT_EQ(window.getHeight(), 380);
    EXPECT_EQ(window.getAnimation().getDurationSeconds(), 900.0);
    const auto styles = window.getPeer()->getStyleFlags();
    EXPECT_NE(styles & juce::ComponentPeer::windowIsTemporary, 0);
    EXPECT_EQ(styles & juce::ComponentPeer::windowHasTitleBar, 0);
    const auto screen =
        juce::Desktop::getInstance().getDisplays().getDisplayForRect(window.getScreenBounds());
    ASSERT_NE(screen, nullptr);
    EXPECT_LE(window.getScreenBounds().getCentre().getDistanceFrom(screen->userArea.getCentre()), 1);

    EXPECT_EQ(window.getProductName(), TRANS("qZ"));
    EXPECT_EQ(window.getVersionLine(), TRANS("Version: ") + "2.3.0402");
    const auto credits = window.getCreditLines().joinIntoString("\n");
    EXPECT_TRUE(window.getCreditLines()[0].contains("qZ"));
    for (auto* library :
         {"JUCE", "libmpg123", "libvorbis", "libFLAC", "libcdio", "GLib", "fontconfig", "zlib"})
        EXPECT_TRUE(credits.contains(library)) << library;
}

TEST(AnimateSplash, ItsAnimationMovesWithItsTimerAndNotWithPainting)
{
    ShownSplash splash(900.0);
    auto& window = *splash.window;

    // However often it is painted, a window whose timer hasn't run stays where it started.
    const auto before = window.getAnimation().getTitleDrop();
    for (int i = 0; i < 20; ++i)
        window.createComponentSnapshot(window.getLocalBounds());
    EXPECT_EQ(window.getAnimation().getElapsedMs(), 0);
    EXPECT_EQ(window.getAnimation().getTitleDrop(), before);

    ASSERT_TRUE(OpenCourse::pumpUntil([&] { return window.getAnimation().getElapsedMs() >= 300; }));
    const int steps = window.getAnimation().getElapsedMs() / SplashAnimation::stepMs;
    EXPECT_EQ(window.getAnimation().getTitleDrop(), juce::jmax(0, 310 - 8 * steps));

    // What it paints follows: darker at the start of the drawn fade-in than later on.
    const auto brightness = [&window]
    {
        const auto image = window.createComponentSnapshot(window.getLocalBounds());
        return image.getPixelAt(20, 20).getPerceivedBrightness();
    };
    const float early = brightness();
    ASSERT_TRUE(OpenCourse::pumpUntil([&] { return window.getAnimation().getFadeLevel() >= 0.6f; }));
    EXPECT_GT(brightness(), early);
}

TEST(AnimateSplash, ClosesOnAClickOnEscapeWhenItsTimeIsUpAndWithItsModalState)
{
    {
        // Other keys are not its business.
        ShownSplash splash(900.0);
        EXPECT_FALSE(splash.window->keyPressed(juce::KeyPress('a')));
        EXPECT_FALSE(splash.window->keyPressed(juce::KeyPress(juce::KeyPress::returnKey)));
        ASSERT_NE(splash.window, nullptr);

        auto* peer = splash.window->getPeer();
        peer->handleKeyPress(juce::KeyPress(juce::KeyPress::escapeKey));
        EXPECT_TRUE(splash.closes());
        EXPECT_EQ(AnimateSplash::getNumOpenWindows(), 0);
    }
    {
        // Clicked during the fade-in.
        ShownSplash splash(900.0);
        auto* peer = splash.window->getPeer();
        const auto now = juce::Time::currentTimeMillis();
        const juce::Point<float> inside(100.0f, 100.0f);
        peer->handleMouseEvent(juce::MouseInputSource::InputSourceType::mouse, inside,
                               juce::ModifierKeys::leftButtonModifier, 0.0f, 0.0f, now);
        peer->handleMouseEvent(juce::MouseInputSource::InputSourceType::mouse, inside, juce::ModifierKeys(),
                               0.0f, 0.0f, now + 50);
        EXPECT_TRUE(splash.closes());
    }
    {
        // Whatever else ends its modal state closes it as well.
        ShownSplash splash(900.0);
        splash.window->exitModalState(0);
        EXPECT_TRUE(splash.closes());
    }
    {
        ShownSplash splash(0.3);
        EXPECT_TRUE(splash.closes());
        EXPECT_FALSE(juce::ModalComponentManager::getInstance()->getNumModalComponents() > 0);
    }
}

TEST(AnimateSplash, TheCommandOpensItForFifteenMinutesAndShutDownClosesIt)
{
    qzApplication app;
    app.initialise({});
    ASSERT_NE(app.getMainWindow(), nullptr);
    auto& commands = *app.getMainWindow()->getBaseComponent().getMainComponent().getCommandCenter();
    ASSERT_TRUE(
        commands.perform(juce::ApplicationCommandTarget::InvocationInfo(CommandCenter::aboutApplication)));

    ASSERT_EQ(AnimateSplash::getNumOpenWindows(), 1);
    auto* window =
        dynamic_cast<AnimateSplash*>(juce::ModalComponentManager::getInstance()->getModalComponent(0));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->getAnimation().getDurationSeconds(), 900.0);

    // The window draws with the application's look and feel, which goes with the application
    // object: shut-down closes the window first.
    app.shutdown();
    EXPECT_EQ(AnimateSplash::getNumOpenWindows(), 0);
}
