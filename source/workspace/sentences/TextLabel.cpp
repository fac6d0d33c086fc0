#include "workspace/sentences/TextLabel.h"

#include "workspace/CommandCenter.h"
#include "workspace/Main.h"
#include "workspace/sentences/PageSentence.h"

namespace
{
constexpr juce::CommandID dictateOn = 0x200C;
constexpr juce::CommandID dictateOff = 0x200D;

using Editor = TextLabel::TextEditorWithMenu;

/** The page address of a web look-up, without the looked-up text. */
const char* baseAddressFor(int menuItemId)
{
    switch (menuItemId)
    {
    case Editor::firstTranslationItem:
        return "https://translate.google.com/#auto/zh-CN/";
    case Editor::secondTranslationItem:
        return "https://fanyi.baidu.com/#en/zh/";
    default:
        return "https://en.wikipedia.org/wiki/";
    }
}

bool isLookUp(int menuItemId)
{
    return menuItemId >= Editor::firstTranslationItem && menuItemId <= Editor::encyclopediaItem;
}

/** "____" for the selection's first word and one more " ____" for every blank inside it. */
juce::String clozeGap(const juce::String& selection)
{
    juce::String gap("____");
    for (auto c = selection.getCharPointer(); !c.isEmpty(); ++c)
        if (*c == ' ')
            gap << " ____";
    return gap;
}

/** Whether the key is one of the input switch's keys while that command can run. */
bool switchesInput(const juce::KeyPress& key)
{
    if (commandManager == nullptr)
        return false;
    const auto command = (juce::CommandID)CommandCenter::switchInputStatus;
    if (!commandManager->getKeyMappings()->getKeyPressesAssignedToCommand(command).contains(key))
        return false;
    juce::ApplicationCommandInfo info(command);
    return commandManager->getTargetForCommand(command, info) != nullptr &&
           (info.flags & juce::ApplicationCommandInfo::isDisabled) == 0;
}

/** Writes an exercise into both fields of the block, so that the model stores both, and marks
    the sentence for review unless it already is. */
void writeExercise(PageSentence& block, const juce::String& foreign, const juce::String& native)
{
    juce::Component::SafePointer<PageSentence> safeBlock(&block);
    block.setOrginText(foreign, true);
    if (safeBlock != nullptr)
        block.setTransText(native, true);
    if (safeBlock != nullptr && !block.needsReview)
        PageSentence::invokeAsync(PageSentence::joinOrExitReview);
}
} // namespace

//==============================================================================
std::function<bool(const juce::URL&)> TextLabel::TextEditorWithMenu::openWebPage = [](const juce::URL& url)
{ return url.launchInDefaultBrowser(); };

TextLabel::TextEditorWithMenu::TextEditorWithMenu(TextLabel& ownerLabel) : owner(ownerLabel) {}

TextLabel::TextEditorWithMenu::~TextEditorWithMenu() = default;

void TextLabel::TextEditorWithMenu::addPopupMenuItems(juce::PopupMenu& menu, const juce::MouseEvent* event)
{
    WordSelectingTextEditor::addPopupMenuItems(menu, event);

    const bool hasSelection = !getHighlightedRegion().isEmpty();
    const auto translateWith = [](const char* serviceName)
    { return juce::String(serviceName) + " " + TRANS("Translate"); };

    menu.addSeparator();
    menu.addItem(firstTranslationItem, translateWith("Google"), hasSelection);
    menu.addItem(secondTranslationItem, translateWith("Baidu"), hasSelection);
    menu.addSeparator();
    menu.addItem(encyclopediaItem, TRANS("Wikipedia"), hasSelection);
    menu.addSeparator();
    // The exercise names stay English: they are the names learners know these exercises by.
    menu.addItem(clozeItem, "Cloze", hasSelection);
    menu.addItem(transcribeItem, "Transcribe", hasSelection);
}

bool TextLabel::TextEditorWithMenu::keyPressed(const juce::KeyPress& key)
{
    if (!switchesInput(key))
        return WordSelectingTextEditor::keyPressed(key);
    // Asynchronously: the switch closes and deletes this editor.
    PageSentence::invokeAsync(CommandCenter::switchInputStatus);
    return true;
}

juce::URL TextLabel::TextEditorWithMenu::lookUpAddress(int menuItemId, const juce::String& selectedText)
{
    // Escaped as a path, not as a parameter: the services read the text from the address's tail.
    // Made without parsing: a parsed address moves everything after '#' into an anchor and
    // escapes its slashes again, which the translation services don't read.
    return juce::URL::createWithoutParsing(juce::String(baseAddressFor(menuItemId)) +
                                           juce::URL::addEscapeChars(selectedText, false, true));
}

void TextLabel::TextEditorWithMenu::performPopupMenuAction(int menuItemId)
{
    WordSelectingTextEditor::performPopupMenuAction(menuItemId);

    const auto selected = getHighlightedText().trim();
    if (isLookUp(menuItemId))
    {
        openWebPage(lookUpAddress(menuItemId, selected));
        return;
    }
    if (menuItemId != clozeItem && menuItemId != transcribeItem)
        return;

    // The field's stored text, not what is typed but not yet committed in this editor.
    auto text = owner.getText();
    const int index = text.indexOfWholeWord(selected);
    auto* block = owner.getOwnerSentence();
    if (index < 0 || block == nullptr)
        return;

    const bool cloze = menuItemId == clozeItem;
    text = text.replaceSection(index, selected.length(), cloze ? clozeGap(selected) : "*" + selected + "*");

    // Setting the field's text closes this editor and deletes it: nothing of it is used after.
    writeExercise(*block, cloze ? selected : juce::String(), text);
}

//==============================================================================
TextLabel::TextLabel(const juce::String& text) : juce::Label({}, text) {}

TextLabel::~TextLabel() = default;

void TextLabel::mouseDown(const juce::MouseEvent& event)
{
    juce::Component::BailOutChecker checker(this);
    if (ownerSentence != nullptr)
        ownerSentence->mouseDown(event.getEventRelativeTo(ownerSentence));
    if (!checker.shouldBailOut())
        juce::Component::mouseDown(event);
}

void TextLabel::mouseUp(const juce::MouseEvent& event)
{
    juce::Component::BailOutChecker checker(this);
    if (ownerSentence != nullptr)
        ownerSentence->mouseUp(event.getEventRelativeTo(ownerSentence));
    if (!checker.shouldBailOut())
        juce::Label::mouseUp(event);
}

void TextLabel::editorShown(juce::TextEditor* shownEditor)
{
    juce::Label::editorShown(shownEditor);
    PageSentence::invokeAsync(dictateOn);
}

void TextLabel::editorAboutToBeHidden(juce::TextEditor* closingEditor)
{
    juce::Label::editorAboutToBeHidden(closingEditor);
    PageSentence::invokeAsync(dictateOff);
}

juce::TextEditor* TextLabel::createEditorComponent()
{
    auto* newEditor = new TextEditorWithMenu(*this);
    newEditor->applyFontToAllText(getLookAndFeel().getLabelFont(*this));
    copyAllExplicitColoursTo(*newEditor);
    return newEditor;
}
