#pragma once

#include "workspace/WordSelectingTextEditor.h"

#include <functional>

class PageSentence;

/** A one-line text field of a page block (or one of its faint markers). Presses and releases go
    to the owning block first, so a click on a field selects the sentence, sets the play position
    and opens the block's context menu. While its editor is open the course player dictates. */
class TextLabel : public juce::Label
{
public:
    /** The field's editor: qZ's word selection on double click, and a context menu with web
        look-ups of the selection and two exercises that rewrite the sentence's texts. */
    class TextEditorWithMenu : public WordSelectingTextEditor
    {
    public:
        enum MenuItemId
        {
            firstTranslationItem = 0x50000,
            secondTranslationItem = 0x50001,
            encyclopediaItem = 0x50002,
            clozeItem = 0x50003,
            transcribeItem = 0x50004
        };

        explicit TextEditorWithMenu(TextLabel& ownerLabel);
        ~TextEditorWithMenu() override;

        void addPopupMenuItems(juce::PopupMenu& menu, const juce::MouseEvent* event) override;
        void performPopupMenuAction(int menuItemId) override;
        /** The keys of "Enter/switch input status" switch the input here too, while the command
            is enabled; the editor would otherwise take Return itself and only close. */
        bool keyPressed(const juce::KeyPress& key) override;

        /** The page a web look-up item opens for a selection (already trimmed). */
        static juce::URL lookUpAddress(int menuItemId, const juce::String& selectedText);

        /** Opens a web page in the default browser. Tests replace it so that no browser starts. */
        static std::function<bool(const juce::URL&)> openWebPage;

    private:
        TextLabel& owner;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(TextEditorWithMenu)
    };

    explicit TextLabel(const juce::String& text = {});
    ~TextLabel() override;

    /** The block the field belongs to; set by the block, not owned. */
    void setOwnerSentence(PageSentence* block) { ownerSentence = block; }
    PageSentence* getOwnerSentence() const { return ownerSentence; }

    void mouseDown(const juce::MouseEvent& event) override;
    void mouseUp(const juce::MouseEvent& event) override;

protected:
    void editorShown(juce::TextEditor* shownEditor) override;
    void editorAboutToBeHidden(juce::TextEditor* closingEditor) override;
    juce::TextEditor* createEditorComponent() override;

private:
    PageSentence* ownerSentence = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(TextLabel)
};
