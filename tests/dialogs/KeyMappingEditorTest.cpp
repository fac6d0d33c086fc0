// The key-mapping editor on a small command set of its own: which categories and commands it
// lists, the key buttons of each row, the entry window with its question about a taken key, the
// place a new key takes, removal through the key menu, and the reset with its question.
#include "dialogs/KeyMappingEditor.h"

#include "harness/ModalAnswerer.h"
#include "harness/OpenCourse.h"

#include <gtest/gtest.h>

#include <vector>

using juce::KeyPress;
using juce::ModifierKeys;
using juce::String;

namespace
{
using Editor = KeyMappingEditor;

const ModifierKeys ctrlShift(ModifierKeys::ctrlModifier | ModifierKeys::shiftModifier);

enum TestCommand
{
    noKeys = 1,
    twoKeys,
    fourKeys,
    fixedKeys,
    hiddenCommand,
    shiftedKey
};

/** A few commands that show what the editor must do with none, two and more than three keys, a
    read-only command, a hidden one alone in its category, and a key made with Shift. */
class TestCommands : public juce::ApplicationCommandTarget
{
public:
    struct Command
    {
        int id;
        const char* name;
        const char* category;
        int flags;
        std::vector<KeyPress> keys;
    };

    static const std::vector<Command>& table()
    {
        static const std::vector<Command> commands{
            {noKeys, "No keys", "Study", 0, {}},
            {twoKeys, "Two keys", "Study", 0, {KeyPress('a'), KeyPress('b')}},
            {fourKeys, "Four keys", "Study", 0, {KeyPress('c'), KeyPress('d'), KeyPress('e'), KeyPress('f')}},
            {fixedKeys,
             "Fixed keys",
             "Fixed",
             juce::ApplicationCommandInfo::readOnlyInKeyEditor,
             {KeyPress('g')}},
            {hiddenCommand,
             "Hidden",
             "Hidden",
             juce::ApplicationCommandInfo::hiddenFromKeyEditor,
             {KeyPress('h')}},
            {shiftedKey, "Shifted", "Study", 0, {KeyPress('1', ctrlShift, 0)}},
        };
        return commands;
    }

    juce::ApplicationCommandTarget* getNextCommandTarget() override { return nullptr; }
    void getAllCommands(juce::Array<juce::CommandID>& commands) override
    {
        for (const auto& c : table())
            commands.add(c.id);
    }
    void getCommandInfo(juce::CommandID id, juce::ApplicationCommandInfo& result) override
    {
        for (const auto& c : table())
            if (c.id == id)
            {
                result.setInfo(c.name, c.name, c.category, c.flags);
                for (const auto& key : c.keys)
                    result.addDefaultKeypress(key.getKeyCode(), key.getModifiers());
            }
    }
    bool perform(const InvocationInfo&) override { return true; }
};

/** The editor on the test commands, on the desktop so that the tree makes its rows. */
class KeyMappingEditorTest : public testing::Test
{
protected:
    KeyMappingEditorTest()
    {
        commands.registerAllCommandsForTarget(&target);
        editor = std::make_unique<Editor>(mappings());
        editor->setSize(550, 500);
        editor->addToDesktop(0);
        editor->setVisible(true);
        waitForRow(noKeys);
    }

    ~KeyMappingEditorTest() override { editor.reset(); }

    juce::KeyPressMappingSet& mappings() { return *commands.getKeyMappings(); }

    Editor::ItemComponent& waitForRow(int command)
    {
        EXPECT_TRUE(OpenCourse::pumpUntil([&] { return editor->findRow(command) != nullptr; }));
        return *editor->findRow(command);
    }

    /** The descriptions of a command's keys, in order. */
    juce::StringArray keysOf(int command)
    {
        juce::StringArray keys;
        for (const auto& key : mappings().getKeyPressesAssignedToCommand(command))
            keys.add(key.getTextDescription());
        return keys;
    }

    Editor::ChangeKeyButton& button(int command, int index) { return waitForRow(command).getButton(index); }

    /** The texts of the key buttons the command's row shows now (the add button left out). */
    juce::StringArray shownKeys(int command)
    {
        juce::StringArray shown;
        if (auto* row = editor->findRow(command))
            for (int i = 0; i < row->getNumButtons(); ++i)
                if (row->getButton(i).isVisible() && !row->getButton(i).isAddButton())
                    shown.add(row->getButton(i).getName());
        return shown;
    }

    /** Waits until the change message of the mapping set has rebuilt the row to show these keys. */
    bool rowShows(int command, const juce::StringArray& keys)
    {
        return OpenCourse::pumpUntil([&] { return shownKeys(command) == keys; });
    }

    juce::ApplicationCommandManager commands;
    TestCommands target;
    std::unique_ptr<Editor> editor;
};

juce::StringArray names(const juce::TreeViewItem& root)
{
    juce::StringArray result;
    for (int i = 0; i < root.getNumSubItems(); ++i)
        result.add(root.getSubItem(i)->getUniqueName());
    return result;
}

/** The number of opaque, nearly black pixels a component paints: its text, where that is black. */
int darkPixels(juce::Component& component)
{
    const auto image = component.createComponentSnapshot(component.getLocalBounds(), false);
    int count = 0;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
        {
            const auto pixel = image.getPixelAt(x, y);
            count += pixel.getAlpha() > 200 && pixel.getPerceivedBrightness() < 0.2f ? 1 : 0;
        }
    return count;
}
} // namespace

TEST_F(KeyMappingEditorTest, ListsTheShownCategoriesWithAtMostThreeKeysPerCommand)
{
    // The hidden command's category has nothing to show; categories keep the commands' order.
    auto* root = editor->getTree().getRootItem();
    ASSERT_NE(root, nullptr);
    EXPECT_FALSE(editor->getTree().isRootItemVisible());
    EXPECT_EQ(names(*root), juce::StringArray("Study_cat", "Fixed_cat"));
    EXPECT_EQ(names(*root->getSubItem(0)), juce::StringArray("1_id", "2_id", "3_id", "6_id"));
    EXPECT_EQ(root->getSubItem(0)->getItemHeight(), Editor::categoryRowHeight);
    EXPECT_EQ(root->getSubItem(0)->getSubItem(0)->getItemHeight(), Editor::commandRowHeight);
    EXPECT_EQ(editor->findRow(hiddenCommand), nullptr);

    const struct
    {
        int command;
        juce::StringArray buttons; // the visible ones, the add button as ""
        bool enabled;
    } cases[] = {
        {noKeys, {""}, true},
        {twoKeys, {"A", "B", ""}, true},
        {fourKeys, {"C", "D", "E"}, true},
        {fixedKeys, {"G", ""}, false},
        {shiftedKey, {KeyPress('1', ctrlShift, 0).getTextDescription(), ""}, true},
    };
    for (const auto& c : cases)
    {
        auto& row = waitForRow(c.command);
        juce::StringArray visible;
        for (int i = 0; i < row.getNumButtons(); ++i)
        {
            auto& b = row.getButton(i);
            if (b.isVisible())
                visible.add(b.getName());
            EXPECT_EQ(b.isEnabled(), c.enabled) << c.command << " button " << i;
            EXPECT_FALSE(b.getWantsKeyboardFocus());
            EXPECT_EQ(b.getTooltip(),
                      b.isAddButton() ? "Adds a new key-mapping" : "Click to change this key-mapping");
        }
        EXPECT_EQ(visible, c.buttons) << c.command;
        EXPECT_TRUE(row.getButton(row.getNumButtons() - 1).isAddButton()) << c.command;
    }

    // Key texts are black while the command can be changed here, grey when it can't.
    EXPECT_GT(darkPixels(button(twoKeys, 0)), 5);
    EXPECT_EQ(darkPixels(button(fixedKeys, 0)), 0);
}

TEST_F(KeyMappingEditorTest, LaysOutTheTreeTheResetButtonAndTheRowsFromTheRight)
{
    EXPECT_EQ(editor->getTree().getBounds(), juce::Rectangle<int>(0, 0, 550, 463));
    EXPECT_EQ(editor->getTree().getViewport()->getScrollBarThickness(), 11);
    const auto reset = editor->getResetButton().getBounds();
    EXPECT_EQ(reset.getHeight(), 25);
    EXPECT_EQ(reset.getTopRight(), juce::Point<int>(540, 470));
    EXPECT_EQ(editor->getResetButton().getButtonText(), "reset to defaults");
    EXPECT_EQ(editor->getSeparator().getBounds(), juce::Rectangle<int>(1, 465, 548, 1));

    // From the right: the add button, a square as high as the row less 2, then the key buttons,
    // 120 x 25, each 5 pixels left of the one after it, all 1 pixel below the row's top.
    auto& row = waitForRow(twoKeys);
    const auto& add = row.getButton(2);
    EXPECT_EQ(add.getBounds(), juce::Rectangle<int>(row.getWidth() - 4 - 26, 1, 26, 26));
    EXPECT_EQ(row.getButton(1).getBounds(), juce::Rectangle<int>(add.getX() - 5 - 120, 1, 120, 25));
    EXPECT_EQ(row.getButton(0).getRight(), row.getButton(1).getX() - 5);
}

TEST_F(KeyMappingEditorTest, ANewKeyTakesTheButtonsPlace)
{
    const struct
    {
        int command;
        int buttonIndex; // the last button is the add button
        KeyPress key;
        bool dontAsk;
        juce::StringArray expected;
    } cases[] = {
        {twoKeys, 1, KeyPress('x'), false, {"A", "X"}},
        {twoKeys, 0, KeyPress('y'), false, {"Y", "X"}},
        {twoKeys, 2, KeyPress('z'), false, {"Y", "X", "Z"}},
        {noKeys, 0, KeyPress(KeyPress::F5Key), false, {"F5"}},
        {noKeys, 1, KeyPress(), false, {"F5"}}, // an invalid key changes nothing
        // A key of the command itself moves into the button's place instead of doubling.
        {twoKeys, 1, KeyPress('y'), true, {"Z", "Y"}},
        // Without the question, a key of another command moves over.
        {noKeys,
         1,
         KeyPress('1', ctrlShift, 0),
         true,
         {"F5", KeyPress('1', ctrlShift, 0).getTextDescription()}},
    };
    for (const auto& c : cases)
    {
        waitForRow(c.command).getButton(c.buttonIndex).setNewKey(c.key, c.dontAsk);
        EXPECT_EQ(keysOf(c.command), c.expected) << c.key.getTextDescription();
        EXPECT_TRUE(rowShows(c.command, c.expected)) << shownKeys(c.command).joinIntoString(" ");
    }
    EXPECT_TRUE(keysOf(shiftedKey).isEmpty());
}

TEST_F(KeyMappingEditorTest, EntryWindowTakesShiftedKeysUnshiftedAndAsksBeforeTakingAKeyAway)
{
    // X11 reports Ctrl+Shift+1 as Ctrl+Shift+!, the key that "Shifted" has as Ctrl+Shift+1.
    const KeyPress asReported('!', ctrlShift, '!');
    const auto unshifted = KeyPress('1', ctrlShift, 0).getTextDescription();

    for (const String answer : {"Cancel", "Re-assign"})
    {
        juce::Component::SafePointer<Editor::ChangeKeyButton> add(&button(noKeys, 0));
        ModalAnswerer answerer;
        answerer.handle(
            [&](juce::Component& window)
            {
                auto* entry = dynamic_cast<Editor::ChangeKeyButton::KeyEntryWindow*>(&window);
                ASSERT_NE(entry, nullptr);
                EXPECT_EQ(entry->getName(), "New key-mapping");
                EXPECT_EQ(entry->getMessage(), "Please press a key combination now...");
                EXPECT_TRUE(entry->keyPressed(asReported));
                EXPECT_EQ(entry->lastPress, KeyPress('1', ctrlShift, 0));
                EXPECT_EQ(entry->getMessage(),
                          "Key: " + unshifted + "\n\n(Currently assigned to \"Shifted\")");
            });
        answerer.press("OK");
        answerer.press(answer);
        add->triggerClick();
        ASSERT_TRUE(answerer.waitUntilSeen(2, 10000));
        answerer.expectDone();

        const auto& question = answerer.seen().at(1);
        EXPECT_EQ(question.title, "Change key-mapping");
        EXPECT_EQ(question.message, "This key is already assigned to the command \"Shifted\"\n\n"
                                    "Do you want to re-assign it to this new command instead?");
        EXPECT_EQ(question.buttons, juce::StringArray("Re-assign", "Cancel"));
        EXPECT_EQ(question.icon, juce::MessageBoxIconType::WarningIcon);

        const bool moved = answer == "Re-assign";
        EXPECT_EQ(keysOf(noKeys), moved ? juce::StringArray(unshifted) : juce::StringArray());
        EXPECT_EQ(keysOf(shiftedKey), moved ? juce::StringArray() : juce::StringArray(unshifted));
        // The entry window is gone with its answer; a rebuilt row took the button with it.
        EXPECT_TRUE(add == nullptr || add->getKeyEntryWindow() == nullptr);
    }
}

TEST_F(KeyMappingEditorTest, TheKeyMenuChangesOrRemovesItsKey)
{
    // A key button opens its menu as soon as it is pressed; the add button waits for the release.
    EXPECT_TRUE(button(twoKeys, 0).getTriggeredOnMouseDown());
    EXPECT_FALSE(button(twoKeys, 2).getTriggeredOnMouseDown());

    auto menu = button(twoKeys, 0).createKeyMenu();
    juce::StringArray items;
    std::function<void()> remove;
    for (juce::PopupMenu::MenuItemIterator it(menu); it.next();)
    {
        const auto& item = it.getItem();
        items.add(item.isSeparator ? "-" : item.text);
        if (item.text == "Remove this key-mapping")
            remove = item.action;
    }
    EXPECT_EQ(items, juce::StringArray("Change this key-mapping", "-", "Remove this key-mapping"));
    ASSERT_TRUE(remove != nullptr);
    remove();
    EXPECT_EQ(keysOf(twoKeys), juce::StringArray("B"));
    EXPECT_TRUE(rowShows(twoKeys, {"B"}));
}

TEST_F(KeyMappingEditorTest, ResetAsksAndThenRestoresEveryDefault)
{
    mappings().removeKeyPress(twoKeys, 0);
    mappings().addKeyPress(noKeys, KeyPress('q'));

    ASSERT_TRUE(rowShows(noKeys, {"Q"}));

    for (const String answer : {"Cancel", "Reset"})
    {
        ModalAnswerer answerer;
        answerer.press(answer);
        editor->getResetButton().triggerClick();
        ASSERT_TRUE(answerer.waitUntilSeen(1, 10000));
        answerer.expectDone();
        const auto& question = answerer.seen().at(0);
        EXPECT_EQ(question.title, "Reset to defaults");
        EXPECT_EQ(question.message,
                  "Are you sure you want to reset all the key-mappings to their default state?");
        EXPECT_EQ(question.buttons, juce::StringArray("Reset", "Cancel"));
        EXPECT_EQ(question.icon, juce::MessageBoxIconType::QuestionIcon);

        const bool reset = answer == "Reset";
        EXPECT_EQ(keysOf(noKeys), reset ? juce::StringArray() : juce::StringArray("Q"));
        EXPECT_EQ(keysOf(twoKeys), reset ? juce::StringArray("A", "B") : juce::StringArray("B"));
        EXPECT_TRUE(rowShows(noKeys, reset ? juce::StringArray() : juce::StringArray("Q")));
    }
}
