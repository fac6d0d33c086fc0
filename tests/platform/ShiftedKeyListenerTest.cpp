// Shift with a digit or the grave key arrives on X11 as the character it types; the listener
// hands such presses to the key mappings as the unshifted key.
#include "platform/ShiftedKeyListener.h"

#include <gtest/gtest.h>

namespace
{
const juce::ModifierKeys ctrlShift(juce::ModifierKeys::ctrlModifier | juce::ModifierKeys::shiftModifier);
const juce::ModifierKeys altShift(juce::ModifierKeys::altModifier | juce::ModifierKeys::shiftModifier);
const juce::ModifierKeys shiftOnly(juce::ModifierKeys::shiftModifier);
const juce::ModifierKeys ctrlOnly(juce::ModifierKeys::ctrlModifier);

/** Records the commands that the mappings invoke. */
class Target : public juce::ApplicationCommandTarget
{
public:
    ApplicationCommandTarget* getNextCommandTarget() override { return nullptr; }
    void getAllCommands(juce::Array<juce::CommandID>& commands) override { commands.add(1, 2, 3); }
    void getCommandInfo(juce::CommandID id, juce::ApplicationCommandInfo& info) override
    {
        info.setInfo("command " + juce::String(id), {}, "test", 0);
    }
    bool perform(const InvocationInfo& info) override
    {
        performed.add(info.commandID);
        return true;
    }
    juce::Array<int> performed;
};
} // namespace

TEST(ShiftedKeyListener, UnshiftsTheDigitRowAndGraveOnlyWithCtrlOrAltHeld)
{
    struct Case
    {
        juce::KeyPress pressed;
        juce::KeyPress expected;
    };
    const Case cases[] = {
        {{'!', ctrlShift, 0}, {'1', ctrlShift, 0}},
        {{'@', altShift, 0}, {'2', altShift, 0}},
        {{'#', ctrlShift, 0}, {'3', ctrlShift, 0}},
        {{'%', altShift, 0}, {'5', altShift, 0}},
        {{'~', ctrlShift, 0}, {'`', ctrlShift, 0}},
        // Typing a "!" alone, or a key that is no shifted digit, stays as it is.
        {{'!', shiftOnly, 0}, {'!', shiftOnly, 0}},
        {{'a', ctrlShift, 0}, {'a', ctrlShift, 0}},
        {{'1', ctrlOnly, 0}, {'1', ctrlOnly, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShiftedKeyListener::unshifted(c.pressed), c.expected) << c.pressed.getTextDescription();
}

TEST(ShiftedKeyListener, ReachesTheCommandMappedOnTheUnshiftedKey)
{
    juce::ApplicationCommandManager commands;
    Target target;
    commands.registerAllCommandsForTarget(&target);
    commands.setFirstCommandTarget(&target);
    auto& mappings = *commands.getKeyMappings();
    mappings.addKeyPress(1, {'1', ctrlShift, 0});
    mappings.addKeyPress(2, {'`', altShift, 0});
    mappings.addKeyPress(3, {'!', shiftOnly, 0});

    ShiftedKeyListener listener(mappings);
    juce::Component origin;
    EXPECT_TRUE(listener.keyPressed({'!', ctrlShift, 0}, &origin));
    EXPECT_TRUE(listener.keyPressed({'~', altShift, 0}, &origin));
    // What the mappings take as it comes, or nothing maps, is not this listener's.
    EXPECT_FALSE(listener.keyPressed({'!', shiftOnly, 0}, &origin));
    EXPECT_FALSE(listener.keyPressed({'@', ctrlShift, 0}, &origin));

    juce::MessageManager::getInstance()->runDispatchLoopUntil(50);
    EXPECT_EQ(target.performed, juce::Array<int>({1, 2}));
    commands.setFirstCommandTarget(nullptr);
}
