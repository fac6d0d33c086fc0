#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

/** The content of the "View and edit shortcuts" window: the commands by category, each with the
    key presses assigned to it, buttons to change, remove and add them, and a button that resets
    every mapping to its default. It works directly on the command manager's mapping set, so a
    change takes effect at once; the command that opens it stores the differences from the
    defaults when the window has closed.

    Key presses that X11 reports shifted (Ctrl+Shift+1 arrives as Ctrl+Shift+!) are taken as the
    key that types the character unshifted, the form in which the defaults name them and in which
    the main window matches presses. */
class KeyMappingEditor : public juce::Component
{
public:
    /** The framework key-mapping editor's colour ids: the tree's background and every text. */
    static constexpr int backgroundColourId = 0x100ad00;
    static constexpr int textColourId = 0x100ad01;

    static constexpr int categoryRowHeight = 30;
    static constexpr int commandRowHeight = 28;
    /** A command shows at most this many of its key presses. */
    static constexpr int maxShownKeys = 3;

    explicit KeyMappingEditor(juce::KeyPressMappingSet& mappingSet);
    ~KeyMappingEditor() override;

    void parentHierarchyChanged() override;
    void resized() override;

    /** True for a command the manager knows that is not hidden from the key editor. */
    virtual bool shouldCommandBeIncluded(juce::CommandID commandID);
    /** True for a command whose keys are shown but cannot be changed here. */
    virtual bool isCommandReadOnly(juce::CommandID commandID);
    virtual juce::String getDescriptionForKeyPress(const juce::KeyPress& key);

    juce::KeyPressMappingSet& getMappings() const { return mappings; }
    juce::ApplicationCommandManager& getCommandManager() const { return mappings.getCommandManager(); }

    class TopLevelItem;
    class CategoryItem;
    class MappingItem;
    class ItemComponent;
    class ChangeKeyButton;

    juce::TreeView& getTree() { return tree; }
    juce::TextButton& getResetButton() { return resetButton; }
    const juce::DrawableRectangle& getSeparator() const { return separator; }
    /** The row of this command while the tree shows it, or nullptr. */
    ItemComponent* findRow(juce::CommandID commandID);

    //==============================================================================
    /** The row of one command: its translated name and its key buttons. */
    class ItemComponent : public juce::Component
    {
    public:
        ItemComponent(KeyMappingEditor& editor, juce::CommandID commandID);
        ~ItemComponent() override;

        void paint(juce::Graphics& g) override;
        void resized() override;

        juce::CommandID getCommandID() const { return commandID; }
        /** The buttons made, the key buttons first and the add button last. */
        int getNumButtons() const { return buttons.size(); }
        ChangeKeyButton& getButton(int index) const { return *buttons[index]; }

    private:
        void addKeyButton(const juce::String& description, int keyIndex, bool readOnly);

        KeyMappingEditor& owner;
        const juce::CommandID commandID;
        juce::OwnedArray<ChangeKeyButton> buttons;

        JUCE_DECLARE_NON_COPYABLE(ItemComponent)
    };

    //==============================================================================
    /** One assigned key press of a command (index 0 to 2), or the add button (index -1). */
    class ChangeKeyButton : public juce::Button
    {
    public:
        static constexpr int keyButtonWidth = 120;
        static constexpr int keyButtonHeight = 25;

        ChangeKeyButton(KeyMappingEditor& editor, juce::CommandID commandID, const juce::String& keyName,
                        int keyIndex);
        ~ChangeKeyButton() override;

        void paintButton(juce::Graphics& g, bool isMouseOver, bool isButtonDown) override;
        void clicked() override;
        using juce::Button::clicked;

        /** Sizes the button for a row of this height. */
        void fitToContent(int rowHeight);

        /** The menu a key button opens: change or remove this key press. */
        juce::PopupMenu createKeyMenu();
        /** Opens the window that waits for the new key press. */
        void assignNewKey();
        /** Gives the command this key press in this button's place; when another command has the
            key, asks first unless told not to. */
        void setNewKey(const juce::KeyPress& newKey, bool dontAskUser);

        int getKeyIndex() const { return keyIndex; }
        bool isAddButton() const { return keyIndex < 0; }

        class KeyEntryWindow;
        KeyEntryWindow* getKeyEntryWindow() const { return keyEntryWindow.get(); }

        /** Captures a new key press: shows it, and the command that has it now. */
        class KeyEntryWindow : public juce::AlertWindow
        {
        public:
            explicit KeyEntryWindow(KeyMappingEditor& editor);

            bool keyPressed(const juce::KeyPress& key) override;
            bool keyStateChanged(bool isKeyDown) override;

            /** The text the window shows now. */
            const juce::String& getMessage() const { return message; }

            /** The last key pressed, unshifted. */
            juce::KeyPress lastPress;

        private:
            KeyMappingEditor& owner;
            juce::String message;

            JUCE_DECLARE_NON_COPYABLE(KeyEntryWindow)
        };

    private:
        void keyChosen(int result);
        void paintKey(juce::Graphics& g, bool isMouseOver, bool isButtonDown);
        void paintPlus(juce::Graphics& g, bool isMouseOver, bool isButtonDown);

        KeyMappingEditor& owner;
        const juce::CommandID commandID;
        const int keyIndex;
        std::unique_ptr<KeyEntryWindow> keyEntryWindow;

        JUCE_DECLARE_NON_COPYABLE(ChangeKeyButton)
    };

private:
    juce::KeyPressMappingSet& mappings;
    juce::TreeView tree;
    juce::TextButton resetButton;
    juce::DrawableRectangle separator;
    std::unique_ptr<TopLevelItem> rootItem;

    JUCE_DECLARE_NON_COPYABLE(KeyMappingEditor)
};
