#include "workspace/ShowOriginTextComponent.h"

#include "engine/CourseModel.h"
#include "workspace/Main.h"
#include "workspace/WordSelectingTextEditor.h"

namespace
{
const int buttonWidth = 60;
const int buttonHeight = 25;

void copyColourIfSpecified(const juce::Label& label, juce::TextEditor& editor, int labelColourId,
                           int editorColourId)
{
    if (label.isColourSpecified(labelColourId))
        editor.setColour(editorColourId, label.findColour(labelColourId));
}

/** A label whose editor selects words by qZ's rule on a double click. */
class WordLabel : public juce::Label
{
protected:
    juce::TextEditor* createEditorComponent() override
    {
        // As the framework's own label makes its editor, but of our editor class.
        auto* wordEditor = new WordSelectingTextEditor(getName());
        wordEditor->applyFontToAllText(getLookAndFeel().getLabelFont(*this));
        copyAllExplicitColoursTo(*wordEditor);
        copyColourIfSpecified(*this, *wordEditor, textWhenEditingColourId, juce::TextEditor::textColourId);
        copyColourIfSpecified(*this, *wordEditor, backgroundWhenEditingColourId,
                              juce::TextEditor::backgroundColourId);
        copyColourIfSpecified(*this, *wordEditor, outlineWhenEditingColourId,
                              juce::TextEditor::focusedOutlineColourId);
        return wordEditor;
    }
};
} // namespace

ShowOriginTextComponent::ShowOriginTextComponent(CourseModel* model, int sentenceIndex)
    : textLabel(std::make_unique<WordLabel>()), courseModel(model), index(sentenceIndex)
{
    textLabel->setText(courseModel->getValue(index, CourseModel::EnglishText).toString(),
                       juce::dontSendNotification);
    textLabel->setFont(juce::Font(25.0f, juce::Font::plain));
    textLabel->setJustificationType(juce::Justification::centred);
    textLabel->addListener(this);
    addAndMakeVisible(*textLabel);

    const auto shortcut = TRANS("Shortcut: ");
    closeButton.setButtonText(TRANS("Close"));
    closeButton.setTooltip(shortcut + "[return], [ESC]");
    closeButton.addShortcut(juce::KeyPress(juce::KeyPress::returnKey));
    closeButton.setSize(buttonWidth, buttonHeight);
    closeButton.addListener(this);
    addAndMakeVisible(closeButton);

    modifyButton.setButtonText(TRANS("Modify"));
    modifyButton.setTooltip(shortcut + "[M]");
    modifyButton.addShortcut(juce::KeyPress('m'));
    modifyButton.setSize(buttonWidth, buttonHeight);
    modifyButton.addListener(this);
    addAndMakeVisible(modifyButton);

    setSize(560, 100);
}

ShowOriginTextComponent::~ShowOriginTextComponent()
{
    textLabel->removeListener(this);
}

void ShowOriginTextComponent::paint(juce::Graphics& g)
{
    g.fillAll(juce::Colours::lightgrey);
}

void ShowOriginTextComponent::resized()
{
    const int w = getWidth();
    const int h = getHeight();
    textLabel->setBounds(3, 3, w - 6, h - 40);
    closeButton.setTopLeftPosition(w / 2 - 65, h - 30);
    modifyButton.setTopLeftPosition(w / 2 + 5, h - 30);
}

void ShowOriginTextComponent::parentHierarchyChanged()
{
    // The window is put on the screen after its content was made; the focus waits for that.
    juce::Component::SafePointer<juce::TextButton> close(&closeButton);
    juce::MessageManager::callAsync(
        [close]
        {
            if (close != nullptr && close->isShowing())
                close->grabKeyboardFocus();
        });
}

void ShowOriginTextComponent::buttonClicked(juce::Button* button)
{
    if (button == &modifyButton)
    {
        textLabel->showEditor();
        return;
    }
    // The dialog's modal loop ends with 1, and the loop's owner deletes the window.
    if (auto* window = findParentComponentOfClass<juce::DialogWindow>())
        window->exitModalState(1);
}

void ShowOriginTextComponent::labelTextChanged(juce::Label*)
{
    undoManager->beginNewTransaction(TRANS("Modify foreign text"));
    courseModel->setValue(index, CourseModel::EnglishText, textLabel->getText(), true);
    undoManager->beginNewTransaction();
}
