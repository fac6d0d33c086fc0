#include "workspace/CommandCenter.h"

#include "engine/CourseModel.h"
#include "engine/SystemModel.h"
#include "workspace/CourseController.h"
#include "workspace/Main.h"
#include "workspace/sentences/SentenceComponent.h"

#include <vector>

const juce::String CommandCenter::CmdCategoryCourse("Course");
const juce::String CommandCenter::CmdCategoryEdit("Edit");
const juce::String CommandCenter::CmdCategoryPlay("Play");
const juce::String CommandCenter::CmdCategoryView("View");
const juce::String CommandCenter::CmdCategoryApp("Application");

namespace
{
// When each command is enabled; the terms are those of isEnabled.
enum Rule
{
    always,
    courseOpen,
    openAndLearning,
    openAndReviewing,
    dueSentence,        // status 3 or 4
    unansweredSentence, // status 3
    shrinkable,
    archiveRule,
    canUndo,
    canRedo,
    newCourseRule,
    reviewCourseRule
};

enum Category
{
    none,
    course,
    edit,
    play,
    view,
    app
};

const int cmd = juce::ModifierKeys::commandModifier;
const int shift = juce::ModifierKeys::shiftModifier;
const int alt = juce::ModifierKeys::altModifier;

struct Key
{
    int code;
    int modifiers;
};

struct CommandRow
{
    juce::CommandID id;
    const char* name;
    const char* description; // the name when null
    Category category;
    int flags;
    Rule rule;
    std::vector<Key> keys;
};

const int hidden = juce::ApplicationCommandInfo::hiddenFromKeyEditor;
const int readOnly = juce::ApplicationCommandInfo::readOnlyInKeyEditor;

/** The command table. Built at its first use rather than before main, because some key codes are
    constants of the framework's library. */
const std::vector<CommandRow>& commandTable()
{
    using K = juce::KeyPress;
    static const std::vector<CommandRow> table{
        {0x2001, "Auto Split", nullptr, edit, 0, courseOpen, {{'/', cmd}}},
        {0x2002, "Manual Split", nullptr, edit, 0, courseOpen, {{'s', 0}}},
        {0x2003, "Merge", nullptr, edit, 0, courseOpen, {{'=', 0}}},
        {0x2004, "Remove", nullptr, edit, 0, courseOpen, {{K::deleteKey, 0}, {K::backspaceKey, 0}}},
        {0x2005, "Interpret current sentence", nullptr, course, 0, dueSentence, {{'r', 0}}},
        {0x2006, "Translation current sentence", nullptr, course, 0, unansweredSentence, {{'t', 0}}},
        {0x2007, "Join / exit review", nullptr, course, 0, courseOpen, {{'j', cmd}}},
        {0x2008, "Show original text", nullptr, course, 0, dueSentence, {{'g', cmd}}},
        {0x2009, "Replay current sentence", nullptr, course, 0, always, {{'f', cmd}}},
        {0x200A, "Generate courseware", nullptr, course, 0, courseOpen, {{K::F12Key, 0}}},
        {0x200B,
         "Enter/switch input status",
         nullptr,
         edit,
         0,
         openAndLearning,
         {{K::returnKey, 0}, {K::tabKey, alt}}},
        {0x200C, "Dictate on", nullptr, none, hidden, courseOpen, {}},
        {0x200D, "Dictate off", nullptr, none, hidden, courseOpen, {}},
        {0x200E, "0.05s ahead of the start time", nullptr, edit, 0, courseOpen, {{'`', cmd}}},
        {0x200F, "0.1s ahead of the start time", nullptr, edit, 0, courseOpen, {{'1', cmd}}},
        {0x2010, "0.2s ahead of the start time", nullptr, edit, 0, courseOpen, {{'2', cmd}}},
        {0x2011, "0.3s ahead of the start time", nullptr, edit, 0, courseOpen, {{'3', cmd}}},
        {0x2012, "0.5s ahead of the start time", nullptr, edit, 0, courseOpen, {{'5', cmd}}},
        {0x2013, "Start time delayed 0.05s", nullptr, edit, 0, shrinkable, {{'`', cmd | shift}}},
        {0x2014, "Start time delayed 0.1s", nullptr, edit, 0, shrinkable, {{'1', cmd | shift}}},
        {0x2015, "Start time delayed 0.2s", nullptr, edit, 0, shrinkable, {{'2', cmd | shift}}},
        {0x2016, "Start time delayed 0.3s", nullptr, edit, 0, shrinkable, {{'3', cmd | shift}}},
        {0x2017, "Start time delayed 0.5s", nullptr, edit, 0, shrinkable, {{'5', cmd | shift}}},
        {0x2018, "0.05s ahead of the end of time", nullptr, edit, 0, shrinkable, {{'`', alt}}},
        {0x2019, "0.1s ahead of the end of time", nullptr, edit, 0, shrinkable, {{'1', alt}}},
        {0x201A, "0.2s ahead of the end of time", nullptr, edit, 0, shrinkable, {{'2', alt}}},
        {0x201B, "0.3s ahead of the end of time", nullptr, edit, 0, shrinkable, {{'3', alt}}},
        {0x201C, "0.5s ahead of the end of time", nullptr, edit, 0, shrinkable, {{'5', alt}}},
        {0x201D, "End time delayed 0.05s", nullptr, edit, 0, courseOpen, {{'`', alt | shift}}},
        {0x201E, "End time delayed 0.1s", nullptr, edit, 0, courseOpen, {{'1', alt | shift}}},
        {0x201F, "End time delayed 0.2s", nullptr, edit, 0, courseOpen, {{'2', alt | shift}}},
        {0x2020, "End time delayed 0.3s", nullptr, edit, 0, courseOpen, {{'3', alt | shift}}},
        {0x2021, "End time delayed 0.5s", nullptr, edit, 0, courseOpen, {{'5', alt | shift}}},
        {0x2022, "Undo", "Undo action", edit, readOnly, canUndo, {{'z', cmd}}},
        {0x2023, "Redo", "Redo action", edit, readOnly, canRedo, {{'y', cmd}}},
        {0x2024, "Give up current course", nullptr, course, 0, openAndLearning, {{K::F3Key, 0}}},
        {0x2025, "Popup system menu", nullptr, app, 0, always, {{'p', cmd}}},
        {0x2026, "Preferences", nullptr, app, 0, always, {{',', cmd}}},
        {0x2027, "Setup audio devices", nullptr, app, 0, always, {{'d', cmd}}},
        {0x2028, "View and edit shortcuts", nullptr, app, 0, always, {{'k', cmd}}},
        {0x2029, "Statistics info", nullptr, app, 0, always, {{'i', cmd}}},
        {0x202A, "About this application", "Open about window", app, 0, always, {{K::F8Key, 0}}},
        {0x202B, "FAQ", nullptr, app, 0, always, {{K::F10Key, 0}}},
        {0x202C, "Help document", nullptr, app, 0, always, {{K::F1Key, 0}}},
        {0x202D, "Share and discuss", nullptr, app, 0, always, {{K::F11Key, 0}}},
        {0x202E, "Courses manager", nullptr, course, 0, always, {{'m', cmd}}},
        {0x202F, "Browse today's LRF", nullptr, course, 0, always, {{K::F7Key, 0}}},
        {0x2030, "Take notes and retell", nullptr, edit, 0, courseOpen, {{K::F4Key, 0}}},
        {0x2031, "Set audio effects and loop mode", nullptr, edit, 0, courseOpen, {{K::F5Key, 0}}},
        {0x2032, "Archive the course", nullptr, course, 0, archiveRule, {{K::F2Key, 0}}},
        {0x2033, "Rebuild mobile audio file", nullptr, course, 0, openAndReviewing, {{'b', cmd}}},
        {0x2034, "New course", "Load audio file to learn", course, 0, newCourseRule, {{'n', cmd}}},
        {0x2035, "Review course", nullptr, course, 0, reviewCourseRule, {{'r', cmd}}},
        {0x2036, "Play/Stop", nullptr, play, readOnly, courseOpen, {{K::spaceKey, 0}}},
        {0x2037, "On/off sentence loop", nullptr, play, 0, courseOpen, {{'l', cmd}}},
        {0x2038, "On/off course loop", nullptr, play, 0, courseOpen, {{'e', cmd}}},
        {0x2039, "Go to start of current sentence", nullptr, play, 0, courseOpen, {{K::homeKey, 0}}},
        {0x203A, "Go to start of course", nullptr, play, 0, courseOpen, {{K::homeKey, cmd}}},
        {0x203B, "Go to last sentence", nullptr, play, 0, courseOpen, {{K::endKey, cmd}}},
        {0x203C, "Go to previous sentence", nullptr, play, 0, courseOpen, {{K::upKey, 0}, {K::leftKey, 0}}},
        {0x203D, "Go to next sentence", nullptr, play, 0, courseOpen, {{K::rightKey, 0}, {K::downKey, 0}}},
        {0x203E, "Page up", nullptr, view, 0, courseOpen, {{K::pageUpKey, 0}}},
        {0x203F, "Page down", nullptr, view, 0, courseOpen, {{K::pageDownKey, 0}}},
        {0x2040, "Zoom in waveform area", nullptr, view, 0, courseOpen, {{K::rightKey, cmd}}},
        {0x2041, "Zoom out waveform area", nullptr, view, 0, courseOpen, {{K::leftKey, cmd}}},
        {0x2042, "Zoom in all pages", nullptr, view, 0, courseOpen, {{'=', cmd}}},
        {0x2043, "Zoom out all pages", nullptr, view, 0, courseOpen, {{'-', cmd}}},
        {0x2044, "All pages no zoom", nullptr, view, 0, courseOpen, {{'0', cmd}}},
        {0x2045, "Pages horizontal/vertical arrange", nullptr, view, 0, courseOpen, {{'h', cmd}}},
    };
    return table;
}

const CommandRow* findRow(juce::CommandID id)
{
    if (id < CommandCenter::firstCommand || id > CommandCenter::lastCommand)
        return nullptr;
    return &commandTable()[(size_t)(id - CommandCenter::firstCommand)];
}

const juce::String& categoryText(Category category)
{
    static const juce::String noCategory;
    switch (category)
    {
    case course:
        return CommandCenter::CmdCategoryCourse;
    case edit:
        return CommandCenter::CmdCategoryEdit;
    case play:
        return CommandCenter::CmdCategoryPlay;
    case view:
        return CommandCenter::CmdCategoryView;
    case app:
        return CommandCenter::CmdCategoryApp;
    case none:
        break;
    }
    return noCategory;
}

// The names go through the translation lookup here, at each request; these are their keys.
juce::String translatedName(const CommandRow& row)
{
    switch (row.id)
    {
    case CommandCenter::undoCommand:
        return TRANS("Undo") + "  " + undoManager->getUndoDescription();
    case CommandCenter::redoCommand:
        return TRANS("Redo") + "  " + undoManager->getRedoDescription();
    case CommandCenter::faq:
        return row.name;
    default:
        return juce::translate(row.name);
    }
}

// Whether a shortened sentence would still be longer than this, in seconds and in pixels.
const double shortestShrinkableSeconds = 0.3;
const int narrowestShrinkableWidth = 31;
} // namespace

void CommandCenter::checkCommandTable()
{
    jassert((int)commandTable().size() == lastCommand - firstCommand + 1);
}

void CommandCenter::getAllCommands(juce::Array<juce::CommandID>& commands)
{
    // The order in which the key-mapping editor lists them within a category.
    commands.addArray({0x2034, 0x2024, 0x2007, 0x2032, 0x200A, 0x2035, 0x2005, 0x2006, 0x2008, 0x2009, 0x202E,
                       0x202F, 0x2033, 0x2022, 0x2023, 0x2001, 0x2002, 0x2003, 0x2004});
    for (int id = 0x200E; id <= 0x2021; ++id)
        commands.add(id);
    commands.addArray({0x200B, 0x200C, 0x200D, 0x2030, 0x2031, 0x2036, 0x2037, 0x2038, 0x2039, 0x203A, 0x203C,
                       0x203D, 0x203B, 0x203E, 0x203F});
    for (int id = 0x2040; id <= 0x2045; ++id)
        commands.add(id);
    commands.addArray({0x2025, 0x2026, 0x2027, 0x2028, 0x2029, 0x202C, 0x202A, 0x202B, 0x202D});
}

void CommandCenter::getCommandInfo(juce::CommandID commandID, juce::ApplicationCommandInfo& result)
{
    const auto* row = findRow(commandID);
    if (row == nullptr)
        return;

    const auto name = translatedName(*row);
    const auto description = row->description != nullptr ? juce::translate(row->description) : name;
    result.setInfo(name, description, categoryText(row->category), row->flags);
    for (const auto& key : row->keys)
        result.addDefaultKeypress(key.code, juce::ModifierKeys(key.modifiers));

    if (row->rule == archiveRule)
        activeJoinLibraryCmd(result);
    else
        result.setActive(isEnabled(row->rule));
}

void CommandCenter::activeJoinLibraryCmd(juce::ApplicationCommandInfo& result)
{
    if (!isCourseOpen())
        result.setActive(false);
    else if (courseModel->isLearning() || !systemModel->transWhenReview)
        result.setActive(true);
    else
        result.setActive(!courseModel->stillHasDueSentence());
}

bool CommandCenter::isCourseOpen() const
{
    return courseModel->getCourseFile() != juce::File();
}

bool CommandCenter::isShrinkable() const
{
    const auto* thumb = courseModel->getCurrentSentence(true);
    return isCourseOpen() && thumb != nullptr && thumb->getWidth() >= narrowestShrinkableWidth &&
           courseModel->getSentenceLengthSeconds(courseModel->getSelectedIndex()) > shortestShrinkableSeconds;
}

bool CommandCenter::isEnabled(int rule) const
{
    const int status = courseModel->getSentenceStatus(courseModel->getSelectedIndex());
    switch (rule)
    {
    case courseOpen:
        return isCourseOpen();
    case openAndLearning:
        return isCourseOpen() && courseModel->isLearning();
    case openAndReviewing:
        return isCourseOpen() && !courseModel->isLearning();
    case dueSentence:
        return status == 3 || status == 4;
    case unansweredSentence:
        return status == 3;
    case shrinkable:
        return isShrinkable();
    case canUndo:
        return undoManager->canUndo();
    case canRedo:
        return undoManager->canRedo();
    case newCourseRule:
        return !isCourseOpen() && controller->getNumDueCourses() < systemModel->atLeastUnreview;
    case reviewCourseRule:
        return !isCourseOpen() && controller->getNumDueCourses() > 0;
    default:
        return true;
    }
}
