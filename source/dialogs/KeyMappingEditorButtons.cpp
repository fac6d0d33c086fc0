// The rows of the key-mapping editor: a command's name and its key buttons, the menu of a key
// button and the window that captures a new key press.
#include "dialogs/KeyMappingEditor.h"

#include "platform/ShiftedKeyListener.h"

#include <functional>

namespace
{
const float commandNameHeight = 21.0f;
const float keyTextHeight = 16.0f;

float shadeFor(bool isMouseOver, bool isButtonDown, float down, float over, float normal)
{
    return isButtonDown ? down : (isMouseOver ? over : normal);
}
} // namespace

//==============================================================================
KeyMappingEditor::ItemComponent::ItemComponent(KeyMappingEditor& editor, juce::CommandID command)
    : owner(editor), commandID(command)
{
    setInterceptsMouseClicks(false, true);

    const bool readOnly = owner.isCommandReadOnly(commandID);
    const auto keys = owner.getMappings().getKeyPressesAssignedToCommand(commandID);
    for (int i = 0; i < juce::jmin(maxShownKeys, keys.size()); ++i)
        addKeyButton(owner.getDescriptionForKeyPress(keys.getReference(i)), i, readOnly);
    addKeyButton({}, -1, readOnly);
}

KeyMappingEditor::ItemComponent::~ItemComponent() = default;

void KeyMappingEditor::ItemComponent::addKeyButton(const juce::String& description, int keyIndex,
                                                   bool readOnly)
{
    auto* button = buttons.add(new ChangeKeyButton(owner, commandID, description, keyIndex));
    button->setEnabled(!readOnly);
    // A command with all its places taken shows no add button.
    button->setVisible(buttons.size() <= maxShownKeys);
    addChildComponent(button);
}

void KeyMappingEditor::ItemComponent::paint(juce::Graphics& g)
{
    g.setFont(commandNameHeight);
    g.setColour(owner.findColour(textColourId));
    const int nameWidth = juce::jmax(40, buttons.getFirst()->getX() - 5);
    g.drawFittedText(TRANS(owner.getCommandManager().getNameOfCommand(commandID)), 4, 0, nameWidth,
                     getHeight(), juce::Justification::centredLeft, 1);
}

void KeyMappingEditor::ItemComponent::resized()
{
    int x = getWidth() - 4;
    for (int i = buttons.size(); --i >= 0;)
    {
        auto* button = buttons.getUnchecked(i);
        button->fitToContent(getHeight());
        button->setTopRightPosition(x, 1);
        x = button->getX() - 5;
    }
}

//==============================================================================
KeyMappingEditor::ChangeKeyButton::ChangeKeyButton(KeyMappingEditor& editor, juce::CommandID command,
                                                   const juce::String& keyName, int index)
    : juce::Button(keyName), owner(editor), commandID(command), keyIndex(index)
{
    setWantsKeyboardFocus(false);
    // A key button opens its menu at once; the add button waits for the release.
    setTriggeredOnMouseDown(keyIndex >= 0);
    setTooltip(keyIndex < 0 ? TRANS("Adds a new key-mapping") : TRANS("Click to change this key-mapping"));
}

KeyMappingEditor::ChangeKeyButton::~ChangeKeyButton() = default;

void KeyMappingEditor::ChangeKeyButton::fitToContent(int rowHeight)
{
    if (isAddButton())
        setSize(rowHeight - 2, rowHeight - 2);
    else
        setSize(keyButtonWidth, keyButtonHeight);
}

void KeyMappingEditor::ChangeKeyButton::paintButton(juce::Graphics& g, bool isMouseOver, bool isButtonDown)
{
    if (isAddButton())
        paintPlus(g, isMouseOver, isButtonDown);
    else
        paintKey(g, isMouseOver, isButtonDown);

    if (hasKeyboardFocus(false))
    {
        g.setColour(owner.findColour(textColourId).withAlpha(0.4f));
        g.drawRect(getLocalBounds());
    }
}

void KeyMappingEditor::ChangeKeyButton::paintKey(juce::Graphics& g, bool isMouseOver, bool isButtonDown)
{
    if (isEnabled())
    {
        g.setColour(
            juce::Colours::lightgrey.withAlpha(shadeFor(isMouseOver, isButtonDown, 0.3f, 0.15f, 0.08f)));
        g.fillRect(getLocalBounds());
        g.beginTransparencyLayer(0.1f);
        juce::LookAndFeel_V2::drawBevel(g, 0, 0, getWidth(), getHeight(), 1, juce::Colours::white,
                                        juce::Colours::black, true, true);
        g.endTransparencyLayer();
    }
    g.setColour(isEnabled() ? juce::Colours::black : juce::Colours::grey);
    g.setFont(keyTextHeight);
    g.drawFittedText(getName(), 3, 0, getWidth() - 6, getHeight(), juce::Justification::centred, 1);
}

void KeyMappingEditor::ChangeKeyButton::paintPlus(juce::Graphics& g, bool isMouseOver, bool isButtonDown)
{
    // A plus cut out of a circle, drawn in a 100 x 100 box and scaled to the button.
    juce::Path plus;
    plus.addEllipse(0.0f, 0.0f, 100.0f, 100.0f);
    plus.addRectangle(22.0f, 43.0f, 56.0f, 14.0f);
    plus.addRectangle(43.0f, 22.0f, 14.0f, 21.0f);
    plus.addRectangle(43.0f, 57.0f, 14.0f, 21.0f);
    plus.setUsingNonZeroWinding(false);

    g.setColour(
        owner.findColour(textColourId).withAlpha(shadeFor(isMouseOver, isButtonDown, 0.7f, 0.5f, 0.3f)));
    g.fillPath(plus, plus.getTransformToScaleToFit(2.0f, 2.0f, (float)getWidth() - 4.0f,
                                                   (float)getHeight() - 4.0f, true));
}

void KeyMappingEditor::ChangeKeyButton::clicked()
{
    if (isAddButton())
        assignNewKey();
    else
        createKeyMenu().showMenuAsync(juce::PopupMenu::Options().withTargetComponent(this));
}

juce::PopupMenu KeyMappingEditor::ChangeKeyButton::createKeyMenu()
{
    // A button deleted while its menu is open (the tree was rebuilt) is simply not called.
    juce::Component::SafePointer<ChangeKeyButton> button(this);
    const auto item = [](int id, const juce::String& itemText, std::function<void()> action)
    {
        juce::PopupMenu::Item result(itemText);
        result.itemID = id;
        result.action = std::move(action);
        return result;
    };

    juce::PopupMenu menu;
    menu.addItem(item(1, TRANS("Change this key-mapping"),
                      [button]
                      {
                          if (button != nullptr)
                              button->assignNewKey();
                      }));
    menu.addSeparator();
    menu.addItem(item(2, TRANS("Remove this key-mapping"),
                      [button]
                      {
                          if (button != nullptr)
                              button->owner.getMappings().removeKeyPress(button->commandID, button->keyIndex);
                      }));
    return menu;
}

void KeyMappingEditor::ChangeKeyButton::assignNewKey()
{
    keyEntryWindow = std::make_unique<KeyEntryWindow>(owner);
    keyEntryWindow->enterModalState(
        true, juce::ModalCallbackFunction::create(
                  [button = juce::Component::SafePointer<ChangeKeyButton>(this)](int result)
                  {
                      if (button != nullptr)
                          button->keyChosen(result);
                  }));
}

void KeyMappingEditor::ChangeKeyButton::keyChosen(int result)
{
    if (keyEntryWindow == nullptr)
        return;
    if (result != 0)
    {
        keyEntryWindow->setVisible(false);
        setNewKey(keyEntryWindow->lastPress, false);
    }
    keyEntryWindow.reset();
}

void KeyMappingEditor::ChangeKeyButton::setNewKey(const juce::KeyPress& newKey, bool dontAskUser)
{
    if (!newKey.isValid())
        return;

    auto& keyMappings = owner.getMappings();
    const auto previousCommand = keyMappings.findCommandForKeyPress(newKey);
    if (previousCommand != 0 && !dontAskUser)
    {
        juce::AlertWindow::showOkCancelBox(
            juce::MessageBoxIconType::WarningIcon, TRANS("Change key-mapping"),
            TRANS("This key is already assigned to the command \"CMDN\"")
                    .replace("CMDN", owner.getCommandManager().getNameOfCommand(previousCommand)) +
                "\n\n" + TRANS("Do you want to re-assign it to this new command instead?"),
            TRANS("Re-assign"), TRANS("Cancel"), this,
            juce::ModalCallbackFunction::create(
                [button = juce::Component::SafePointer<ChangeKeyButton>(this), newKey](int result)
                {
                    if (result != 0 && button != nullptr)
                        button->setNewKey(newKey, true);
                }));
        return;
    }

    // This button's own key goes first, so that the new key takes its place even when the new
    // key was one of this command's earlier keys.
    const auto keys = keyMappings.getKeyPressesAssignedToCommand(commandID);
    if (keyIndex >= 0 && keyIndex < keys.size())
        keyMappings.removeKeyPress(commandID, keyIndex);
    keyMappings.removeKeyPress(newKey);
    keyMappings.addKeyPress(commandID, newKey, keyIndex);
}

//==============================================================================
KeyMappingEditor::ChangeKeyButton::KeyEntryWindow::KeyEntryWindow(KeyMappingEditor& editor)
    : juce::AlertWindow(TRANS("New key-mapping"), TRANS("Please press a key combination now..."),
                        juce::MessageBoxIconType::NoIcon),
      owner(editor), message(TRANS("Please press a key combination now..."))
{
    addButton(TRANS("OK"), 1);
    addButton(TRANS("Cancel"), 0);

    // Return and Escape are keys to capture here, not presses of the buttons.
    for (auto* child : getChildren())
        child->setWantsKeyboardFocus(false);

    setWantsKeyboardFocus(true);
    grabKeyboardFocus();
}

bool KeyMappingEditor::ChangeKeyButton::KeyEntryWindow::keyPressed(const juce::KeyPress& key)
{
    // Stored and compared as the main window matches presses: Ctrl+Shift+! is Ctrl+Shift+1.
    lastPress = ShiftedKeyListener::unshifted(key);

    message = TRANS("Key") + ": " + owner.getDescriptionForKeyPress(lastPress);
    if (const auto previousCommand = owner.getMappings().findCommandForKeyPress(lastPress);
        previousCommand != 0)
        message << "\n\n("
                << TRANS("Currently assigned to \"CMDN\"")
                       .replace("CMDN", owner.getCommandManager().getNameOfCommand(previousCommand))
                << ")";
    setMessage(message);
    return true;
}

bool KeyMappingEditor::ChangeKeyButton::KeyEntryWindow::keyStateChanged(bool)
{
    return true;
}
