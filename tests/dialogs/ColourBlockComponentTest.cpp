// The colour swatch of the preferences: the selector it opens in a call-out box, with its fixed
// presets, and the change messages by which the swatch follows the selector.
#include "dialogs/ColourBlockComponent.h"

#include "harness/OpenCourse.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
struct ChangeCounter : juce::ChangeListener
{
    void changeListenerCallback(juce::ChangeBroadcaster*) override { ++count; }
    int count = 0;
};

juce::MouseEvent mouseAt(juce::Component& on, juce::Point<float> at)
{
    const auto now = juce::Time::getCurrentTime();
    return juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(), at,
                            juce::ModifierKeys(juce::ModifierKeys::leftButtonModifier),
                            juce::MouseInputSource::defaultPressure, 0.0f, 0.0f, 0.0f, 0.0f, &on, &on, now,
                            at, now, 1, false);
}

template <typename Predicate>
juce::Array<juce::Component*> childrenWhere(juce::Component& parent, Predicate matches)
{
    juce::Array<juce::Component*> found;
    for (auto* child : parent.getChildren())
        if (matches(*child))
            found.add(child);
    return found;
}

/** A swatch on a window of its own, its call-out boxes dismissed at the end. */
class ColourBlockTest : public testing::Test
{
protected:
    ColourBlockTest()
    {
        window.setSize(300, 100);
        swatch.setBounds(50, 30, 150, 25);
        window.addAndMakeVisible(swatch);
        window.addToDesktop(juce::ComponentPeer::windowHasTitleBar);
        window.setVisible(true);
        swatch.addChangeListener(&heard);
        // A call-out box closes itself while its program is in the background, as when the
        // learner switches away; here the program must be in front for the box to stay.
        window.toFront(true);
        EXPECT_TRUE(OpenCourse::pumpUntil([] { return juce::Process::isForegroundProcess(); }));
        // The window manager's late moves of a new window close any open call-out box, as a drag
        // of the title bar does: they must be over before a box opens.
        juce::MessageManager::getInstance()->runDispatchLoopUntil(500);
    }

    ~ColourBlockTest() override
    {
        swatch.removeChangeListener(&heard);
        for (int i = juce::Desktop::getInstance().getNumComponents(); --i >= 0;)
            if (auto* box = dynamic_cast<juce::CallOutBox*>(juce::Desktop::getInstance().getComponent(i)))
                box->exitModalState(0);
        juce::MessageManager::getInstance()->runDispatchLoopUntil(50);
    }

    /** Clicks the swatch and waits for its call-out box. */
    ColourSelectorWithPreset& open()
    {
        swatch.mouseUp(mouseAt(swatch, {10.0f, 10.0f}));
        EXPECT_TRUE(OpenCourse::pumpUntil([this] { return findCallOut() != nullptr; }));
        auto* selector = swatch.getOpenSelector();
        EXPECT_NE(selector, nullptr);
        return *selector;
    }

    static juce::CallOutBox* findCallOut()
    {
        for (int i = juce::Desktop::getInstance().getNumComponents(); --i >= 0;)
            if (auto* box = dynamic_cast<juce::CallOutBox*>(juce::Desktop::getInstance().getComponent(i)))
                return box;
        return nullptr;
    }

    static void settle() { juce::MessageManager::getInstance()->runDispatchLoopUntil(100); }

    juce::Component window;
    ColourBlockComponent swatch;
    ChangeCounter heard;
};
} // namespace

TEST(ColourSelectorWithPreset, OffersTwentyFourFixedPresetsInOrder)
{
    ColourSelectorWithPreset selector;
    const juce::uint32 expected[] = {0xff000000, 0xffffffff, 0xffff0000, 0xff00ff00, 0xff0000ff, 0xffffff00,
                                     0xffff00ff, 0xff00ffff, 0xffdeb887, 0xff00ffff, 0xff008b8b, 0xff006400,
                                     0xff555555, 0xffff8c00, 0xffff00ff, 0xffffd700, 0xff808080, 0xff20b2aa,
                                     0xffb0c4de, 0xff0000cd, 0xff3cb371, 0xff808000, 0xff800080, 0xff708090};
    ASSERT_EQ(selector.getNumSwatches(), 24);
    for (int i = 0; i < 24; ++i)
        EXPECT_EQ(selector.getSwatchColour(i), juce::Colour(expected[i])) << "swatch " << i + 1;
    EXPECT_EQ(selector.getSwatchColour(9), selector.getSwatchColour(7)) << "cyan twice";
    EXPECT_EQ(selector.getSwatchColour(-1), juce::Colours::transparentBlack);
    EXPECT_EQ(selector.getSwatchColour(24), juce::Colours::transparentBlack);

    // The learner can't overwrite a preset, and a second selector shares the same list.
    selector.setSwatchColour(0, juce::Colours::pink);
    ColourSelectorWithPreset second;
    EXPECT_EQ(second.getSwatchColour(0), juce::Colours::black);
    EXPECT_EQ(ColourSelectorWithPreset::colours.size(), 24);
}

TEST(ColourSelectorWithPreset, ShowsAlphaSlidersAndColourSpaceButNoEditableText)
{
    ColourSelectorWithPreset selector;
    selector.setSize(450, 480);
    const auto sliders =
        childrenWhere(selector, [](juce::Component& c)
                      { return dynamic_cast<juce::Slider*>(&c) != nullptr && c.isVisible(); });
    EXPECT_EQ(sliders.size(), 4) << "red, green, blue and alpha";
    const auto colourSpaces =
        childrenWhere(selector, [](juce::Component& c)
                      { return c.getMouseCursor() == juce::MouseCursor::CrosshairCursor; });
    EXPECT_EQ(colourSpaces.size(), 1);
    // The colour's text at the top: shown, not editable.
    std::function<int(juce::Component&)> editableLabels = [&](juce::Component& parent)
    {
        int count = 0;
        for (auto* child : parent.getChildren())
        {
            if (dynamic_cast<juce::Slider*>(child) != nullptr)
                continue; // the sliders' own value boxes are editable
            if (auto* label = dynamic_cast<juce::Label*>(child))
                count += label->isEditable() ? 1 : 0;
            count += editableLabels(*child);
        }
        return count;
    };
    EXPECT_EQ(editableLabels(selector), 0);
}

TEST_F(ColourBlockTest, PaintsItsColourInsideADarkGreyFrame)
{
    EXPECT_EQ(ColourBlockComponent().colour, juce::Colours::transparentBlack);

    swatch.colour = juce::Colours::red.withAlpha(0.0f);
    juce::Image image(juce::Image::ARGB, 150, 25, true);
    {
        juce::Graphics g(image);
        g.fillAll(juce::Colours::white); // the panel behind
        swatch.paintEntireComponent(g, false);
    }
    EXPECT_EQ(image.getPixelAt(0, 0), juce::Colour(0xff555555));
    EXPECT_EQ(image.getPixelAt(149, 24), juce::Colour(0xff555555));
    EXPECT_EQ(image.getPixelAt(75, 12), juce::Colours::white)
        << "a transparent colour shows what lies behind";

    swatch.colour = juce::Colours::blue;
    {
        juce::Graphics g(image);
        swatch.paintEntireComponent(g, false);
    }
    EXPECT_EQ(image.getPixelAt(75, 12), juce::Colours::blue);
    EXPECT_EQ(image.getPixelAt(75, 0), juce::Colour(0xff555555));
}

TEST_F(ColourBlockTest, OpeningAndClosingWithoutTouchingSendsNothing)
{
    swatch.colour = juce::Colours::orange;
    auto& selector = open();
    EXPECT_EQ(selector.getCurrentColour(), juce::Colours::orange);
    EXPECT_EQ(selector.findColour(juce::ColourSelector::backgroundColourId), juce::Colour(0xffededed));
    EXPECT_EQ(selector.getWidth(), 450);
    EXPECT_EQ(selector.getHeight(), 480);

    settle();
    ASSERT_NE(findCallOut(), nullptr);
    findCallOut()->exitModalState(0);
    EXPECT_TRUE(OpenCourse::pumpUntil([this] { return findCallOut() == nullptr; }));
    settle();
    EXPECT_EQ(heard.count, 0);
    EXPECT_EQ(swatch.colour, juce::Colours::orange);
    EXPECT_EQ(swatch.getOpenSelector(), nullptr) << "the box deleted its selector";
}

TEST_F(ColourBlockTest, FollowsEveryChangeWhileTheBoxIsOpen)
{
    swatch.colour = juce::Colours::black;
    auto& selector = open();

    // A drag in the colour space: full saturation and value at the current hue (red).
    auto* colourSpace = childrenWhere(selector, [](juce::Component& c)
                                      { return c.getMouseCursor() == juce::MouseCursor::CrosshairCursor; })
                            .getFirst();
    ASSERT_NE(colourSpace, nullptr);
    colourSpace->mouseDrag(mouseAt(*colourSpace, {(float)colourSpace->getWidth(), 0.0f}));
    ASSERT_TRUE(OpenCourse::pumpUntil([this] { return heard.count > 0; }));
    EXPECT_NE(findCallOut(), nullptr) << "still open";
    EXPECT_EQ(swatch.colour, selector.getCurrentColour());
    EXPECT_EQ(swatch.colour, juce::Colours::red);

    // The alpha slider, the last of the four.
    auto sliders = childrenWhere(selector, [](juce::Component& c)
                                 { return dynamic_cast<juce::Slider*>(&c) != nullptr; });
    ASSERT_EQ(sliders.size(), 4);
    heard.count = 0;
    dynamic_cast<juce::Slider*>(sliders.getLast())->setValue(0x40, juce::sendNotificationSync);
    ASSERT_TRUE(OpenCourse::pumpUntil([this] { return heard.count > 0; }));
    EXPECT_EQ(swatch.colour, juce::Colour(0x40ff0000));
}

TEST_F(ColourBlockTest, AnOpenBoxOutlivingItsSwatchChangesNothing)
{
    auto doomed = std::make_unique<ColourBlockComponent>();
    doomed->setBounds(0, 0, 150, 25);
    window.addAndMakeVisible(*doomed);
    doomed->mouseUp(mouseAt(*doomed, {5.0f, 5.0f}));
    auto* selector = doomed->getOpenSelector();
    ASSERT_NE(selector, nullptr);
    ASSERT_TRUE(OpenCourse::pumpUntil([] { return findCallOut() != nullptr; }));

    doomed.reset();
    selector->setCurrentColour(juce::Colours::green, juce::sendNotification);
    settle(); // a selector still calling the deleted swatch would crash here
    EXPECT_EQ(heard.count, 0);
}

// The framework closes a call-out box whenever a titled window that it blocks is moved or
// restacked. Under the window manager a click inside the box that moves the keyboard focus gets
// the owner window re-activated, which closed the box at the first click or drag inside it; here
// the owner is moved for real, with the pointer placed where the learner's would be.
TEST_F(ColourBlockTest, StaysOpenWhenItsOwnerMovesWhileThePointerIsOverTheBox)
{
    struct Case
    {
        const char* pointer;
        bool overTheBox;
        bool staysOpen;
    };
    const Case cases[] = {
        {"over the box, as after a click inside it", true, true},
        {"beside the box, as when the owner's title bar is dragged", false, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pointer);
        open();
        settle();
        auto* box = findCallOut();
        ASSERT_NE(box, nullptr);
        const auto boxArea = box->getScreenBounds();
        juce::Desktop::setMousePosition(c.overTheBox
                                            ? boxArea.getCentre()
                                            : juce::Point<int>(boxArea.getX() - 40, window.getScreenY() + 5));
        settle();
        window.setTopLeftPosition(window.getX() + 30, window.getY() + 10);
        juce::MessageManager::getInstance()->runDispatchLoopUntil(500);
        EXPECT_EQ(findCallOut() != nullptr, c.staysOpen);
        if (auto* left = findCallOut())
        {
            // Escape still closes it, wherever the pointer is.
            left->keyPressed(juce::KeyPress(juce::KeyPress::escapeKey));
            EXPECT_TRUE(OpenCourse::pumpUntil([] { return findCallOut() == nullptr; }));
        }
    }
}
