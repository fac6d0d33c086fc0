// The key-mapping editor and its tree: the hidden root that follows the mapping set, one row per
// category and one per command. The rows' buttons are in KeyMappingEditorButtons.cpp.
#include "dialogs/KeyMappingEditor.h"

#include <algorithm>
#include <functional>

namespace
{
const int resetButtonHeight = 25;
const int scrollBarThickness = 11;
const int treeIndent = 12;

template <typename Type>
Type* findDescendant(juce::Component& parent, const std::function<bool(Type&)>& wanted)
{
    for (auto* child : parent.getChildren())
    {
        if (auto* found = dynamic_cast<Type*>(child); found != nullptr && wanted(*found))
            return found;
        if (auto* found = findDescendant<Type>(*child, wanted))
            return found;
    }
    return nullptr;
}
} // namespace

//==============================================================================
class KeyMappingEditor::MappingItem : public juce::TreeViewItem
{
public:
    MappingItem(KeyMappingEditor& editor, juce::CommandID command) : owner(editor), commandID(command) {}

    juce::String getUniqueName() const override { return juce::String((int)commandID) + "_id"; }
    bool mightContainSubItems() override { return false; }
    int getItemHeight() const override { return commandRowHeight; }
    std::unique_ptr<juce::Component> createItemComponent() override
    {
        return std::make_unique<ItemComponent>(owner, commandID);
    }
    juce::String getAccessibilityName() override
    {
        return TRANS(owner.getCommandManager().getNameOfCommand(commandID));
    }

private:
    KeyMappingEditor& owner;
    const juce::CommandID commandID;

    JUCE_DECLARE_NON_COPYABLE(MappingItem)
};

//==============================================================================
class KeyMappingEditor::CategoryItem : public juce::TreeViewItem
{
public:
    CategoryItem(KeyMappingEditor& editor, const juce::String& name) : owner(editor), categoryName(name) {}

    juce::String getUniqueName() const override { return categoryName + "_cat"; }
    bool mightContainSubItems() override { return true; }
    int getItemHeight() const override { return categoryRowHeight; }
    juce::String getAccessibilityName() override { return TRANS(categoryName); }

    void paintItem(juce::Graphics& g, int width, int height) override
    {
        g.setFont(juce::Font((float)height * 0.6f, juce::Font::bold));
        g.setColour(owner.findColour(textColourId));
        g.drawText(TRANS(categoryName), 2, 0, width - 2, height, juce::Justification::centredLeft, true);
    }

    // The command rows exist only while the category is open.
    void itemOpennessChanged(bool isNowOpen) override
    {
        if (!isNowOpen)
        {
            clearSubItems();
            return;
        }
        if (getNumSubItems() == 0)
            for (auto command : owner.getCommandManager().getCommandsInCategory(categoryName))
                if (owner.shouldCommandBeIncluded(command))
                    addSubItem(new MappingItem(owner, command));
    }

private:
    KeyMappingEditor& owner;
    const juce::String categoryName;

    JUCE_DECLARE_NON_COPYABLE(CategoryItem)
};

//==============================================================================
class KeyMappingEditor::TopLevelItem : public juce::TreeViewItem,
                                       public juce::Button::Listener,
                                       public juce::ChangeListener
{
public:
    explicit TopLevelItem(KeyMappingEditor& editor) : owner(editor)
    {
        setLinesDrawnForSubItems(false);
        owner.getMappings().addChangeListener(this);
    }

    ~TopLevelItem() override { owner.getMappings().removeChangeListener(this); }

    bool mightContainSubItems() override { return true; }
    juce::String getUniqueName() const override { return "keys"; }

    /** Builds the categories again, keeping which of them were open. */
    void changeListenerCallback(juce::ChangeBroadcaster*) override
    {
        const OpennessRestorer opennessRestorer(*this);
        clearSubItems();

        auto& commands = owner.getCommandManager();
        for (const auto& category : commands.getCommandCategories())
        {
            const auto inCategory = commands.getCommandsInCategory(category);
            const bool anyIncluded =
                std::any_of(inCategory.begin(), inCategory.end(),
                            [this](juce::CommandID id) { return owner.shouldCommandBeIncluded(id); });
            if (anyIncluded)
                addSubItem(new CategoryItem(owner, category));
        }
    }

    void buttonClicked(juce::Button*) override
    {
        juce::AlertWindow::showOkCancelBox(
            juce::MessageBoxIconType::QuestionIcon, TRANS("Reset to defaults"),
            TRANS("Are you sure you want to reset all the key-mappings to their default state?"),
            TRANS("Reset"), {}, &owner,
            juce::ModalCallbackFunction::create(
                [editor = juce::Component::SafePointer<KeyMappingEditor>(&owner)](int result)
                {
                    if (result != 0 && editor != nullptr)
                        editor->getMappings().resetToDefaultMappings();
                }));
    }

private:
    KeyMappingEditor& owner;

    JUCE_DECLARE_NON_COPYABLE(TopLevelItem)
};

//==============================================================================
KeyMappingEditor::KeyMappingEditor(juce::KeyPressMappingSet& mappingSet)
    : mappings(mappingSet), resetButton(TRANS("reset to defaults"))
{
    rootItem = std::make_unique<TopLevelItem>(*this);

    addAndMakeVisible(resetButton);
    resetButton.addListener(rootItem.get());

    addAndMakeVisible(tree);
    tree.setTitle("Key Mappings");
    tree.setColour(juce::TreeView::backgroundColourId, findColour(backgroundColourId));
    tree.setRootItemVisible(false);
    tree.setDefaultOpenness(true);
    tree.setRootItem(rootItem.get());
    tree.setIndentSize(treeIndent);
    tree.getViewport()->setScrollBarThickness(scrollBarThickness);

    separator.setFill(juce::Colours::grey.withAlpha(0.6f));
    addAndMakeVisible(separator);
}

KeyMappingEditor::~KeyMappingEditor()
{
    resetButton.removeListener(rootItem.get());
    tree.setRootItem(nullptr);
    rootItem.reset();
}

void KeyMappingEditor::parentHierarchyChanged()
{
    rootItem->changeListenerCallback(nullptr);
}

void KeyMappingEditor::resized()
{
    const int w = getWidth();
    const int h = getHeight();

    resetButton.changeWidthToFitText(resetButtonHeight);
    resetButton.setTopRightPosition(w - 10, h - 30);

    tree.setBounds(0, 0, w, h - 37);
    separator.setRectangle(
        juce::Rectangle<float>(1.0f, (float)tree.getBottom() + 2.0f, (float)w - 2.0f, 1.0f));
}

bool KeyMappingEditor::shouldCommandBeIncluded(juce::CommandID commandID)
{
    const auto* info = getCommandManager().getCommandForID(commandID);
    return info != nullptr && (info->flags & juce::ApplicationCommandInfo::hiddenFromKeyEditor) == 0;
}

bool KeyMappingEditor::isCommandReadOnly(juce::CommandID commandID)
{
    const auto* info = getCommandManager().getCommandForID(commandID);
    return info != nullptr && (info->flags & juce::ApplicationCommandInfo::readOnlyInKeyEditor) != 0;
}

juce::String KeyMappingEditor::getDescriptionForKeyPress(const juce::KeyPress& key)
{
    return key.getTextDescription();
}

KeyMappingEditor::ItemComponent* KeyMappingEditor::findRow(juce::CommandID commandID)
{
    return findDescendant<ItemComponent>(tree, [commandID](ItemComponent& row)
                                         { return row.getCommandID() == commandID; });
}
