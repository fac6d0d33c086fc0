#include "workspace/CommandCenter.h"

#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"
#include "engine/GlobalData.h"
#include "engine/SystemModel.h"
#include "engine/audio/AudioDataPlayer.h"
#include "engine/audio/AudioSentencesPlayer.h"
#include "workspace/CourseController.h"
#include "workspace/Main.h"
#include "workspace/ShowOriginTextComponent.h"
#include "workspace/containers/PagesContainer.h"
#include "workspace/containers/ThumbsContainer.h"
#include "workspace/sentences/SentenceComponent.h"

#include <juce_audio_utils/juce_audio_utils.h>

#include <vector>

std::function<void(CommandCenter::PopupMenuType)> CommandCenter::rightClickMenuRequested;
std::function<void()> CommandCenter::systemMenuRequested;
std::function<bool(const juce::URL&)> CommandCenter::openWithSystem = [](const juce::URL& address)
{ return address.launchInDefaultBrowser(); };
juce::String CommandCenter::interpretWindowPosition;

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

/** The amounts in seconds of the boundary adjustments, by key column. */
const double adjustmentSeconds[] = {0.05, 0.1, 0.2, 0.3, 0.5};

// Whether a shortened sentence would still be longer than this, in seconds and in pixels.
const double shortestShrinkableSeconds = 0.3;
const int narrowestShrinkableWidth = 31;
} // namespace

//==============================================================================
CommandCenter::CommandCenter(CourseController* courseController)
    : controller(courseController), courseModel(&courseController->getCourseModel()),
      replayPlayer(std::make_unique<AudioDataPlayer>())
{
    jassert((int)commandTable().size() == lastCommand - firstCommand + 1);
}

CommandCenter::~CommandCenter() = default;

juce::ApplicationCommandTarget* CommandCenter::getNextCommandTarget()
{
    // The application holds the framework's standard commands, such as quit.
    return juce::JUCEApplication::getInstance();
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

//==============================================================================
bool CommandCenter::perform(const InvocationInfo& info)
{
    const auto id = info.commandID;
    if (findRow(id) == nullptr)
        return false;
    if (id >= startEarlier005 && id <= endLater05)
    {
        adjustBoundary(id);
        return true;
    }
    if (id >= popupSystemMenuCommand && id <= shareAndDiscuss)
        return performAppCommand(id);
    if (id >= playStop)
        return performPlayOrViewCommand(id);
    if (id >= coursesManager || id == giveUpCourse || (id >= interpretSentence && id <= generateCourseware))
        return performCourseCommand(id);
    return performEditCommand(id);
}

void CommandCenter::adjustBoundary(juce::CommandID commandID)
{
    const int offset = commandID - startEarlier005;
    const int column = offset / 5; // start earlier, start later, end earlier, end later
    const int samples = (int)(adjustmentSeconds[offset % 5] * GlobalData::courseAudioSampleRate);
    const bool later = column == 1 || column == 3;
    if (column < 2)
        courseModel->changeCurrentSentenceStart(later ? samples : -samples);
    else
        courseModel->changeCurrentSentenceEnd(later ? samples : -samples);
}

bool CommandCenter::performEditCommand(juce::CommandID commandID)
{
    const int selected = courseModel->getSelectedIndex();
    switch (commandID)
    {
    case autoSplit:
        courseModel->autoSplitSelectedSentence();
        break;
    case manualSplit:
        manualSplitCurrentSentence();
        break;
    case mergeSentence:
        courseModel->mergeSentences(selected);
        break;
    case removeSentence:
        courseModel->removeSentence(selected);
        break;
    case switchInputStatus:
        if (auto* page = courseModel->getCurrentSentence(false))
            page->switchTextInputStatus();
        break;
    case dictateOn:
        controller->makePlayerEnterDictateMode();
        break;
    case dictateOff:
        controller->makePlayerExitDictateMode();
        break;
    case undoCommand:
        undoManager->undo();
        break;
    case redoCommand:
        undoManager->redo();
        break;
    default:
        return false;
    }
    return true;
}

bool CommandCenter::performCourseCommand(juce::CommandID commandID)
{
    switch (commandID)
    {
    case interpretSentence:
        PopupInterpretModalWindow();
        break;
    case translateSentence:
        courseModel->transCurrentDueSentence();
        break;
    case joinOrExitReview:
        courseModel->browseInfoAndSetUnfamiliar();
        break;
    case showOriginText:
        popupShowOriginTextModalWindow();
        break;
    case replaySentence:
        playOrStopCurrentSentence();
        break;
    case generateCourseware:
        controller->generateCourseware();
        break;
    case giveUpCourse:
        controller->giveUpCurrentCourse();
        break;
    case coursesManager:
        popupCourseManagerModalWindow();
        break;
    case browseTodayLrf:
        browseTodayMobileDir();
        break;
    case notesAndRetell:
        controller->showOrHideNoteEditor();
        break;
    case audioEffectsAndLoops:
        controller->showOrHideMixerAndLoopSetup();
        break;
    case archiveCourse:
        courseJoinLibrary();
        break;
    case rebuildMobileAudio:
        rebuildCourseMobileFile();
        break;
    case newCourse:
        controller->learnNewCourse();
        break;
    case reviewCourse:
        controller->reviewCourse();
        break;
    default:
        return false;
    }
    return true;
}

bool CommandCenter::performAppCommand(juce::CommandID commandID)
{
    switch (commandID)
    {
    case popupSystemMenuCommand:
        popupSystemMenu();
        return true;
    case preferences:
        controller->showOrHideSystemSetup();
        return true;
    case setupAudioDevices:
        popupAudioSetupModalWindow();
        return true;
    case editShortcuts:
        popupKeyMappingModalWindow();
        return true;
    case statisticsInfo:
        systemModel->popStatisticsWindow();
        return true;
    case aboutApplication:
        popupAboutModalWindow();
        return true;
    case faq:
        return openWithSystem(juce::URL(GlobalData::UserQuestion));
    case helpDocument:
        return openWithSystem(juce::URL(GlobalData::UserHelp));
    case shareAndDiscuss:
        openWithSystem(juce::URL(GlobalData::WebForum));
        return true;
    default:
        return false;
    }
}

bool CommandCenter::performPlayOrViewCommand(juce::CommandID commandID)
{
    auto* pages = controller->getPagesContainer();
    switch (commandID)
    {
    case playStop:
        controller->playOrStop();
        break;
    case sentenceLoop:
        controller->setSentenceLoopMode();
        break;
    case courseLoop:
        controller->setCourseLoopMode();
        break;
    case gotoSentenceStart:
        controller->gotoStartOfSentence();
        break;
    case gotoCourseStart:
        controller->gotoStartOfCourse();
        break;
    case gotoLastSentence:
        controller->gotoEnd();
        break;
    case gotoPrevSentence:
        controller->gotoPrevSentence();
        break;
    case gotoNextSentence:
        controller->gotoNextSentence();
        break;
    case pageUp:
        controller->gotoPrevPage();
        break;
    case pageDown:
        controller->gotoNextPage();
        break;
    case zoomInWaveform:
    case zoomOutWaveform:
        zoomWaveform(commandID == zoomInWaveform);
        break;
    case zoomInPages:
    case zoomOutPages:
        if (pages != nullptr)
            pages->zoomAllPages(commandID == zoomInPages);
        break;
    case pagesNoZoom:
        if (pages != nullptr)
            pages->resetPagesZoom();
        break;
    case pagesArrange:
        flipPagesArrangement();
        break;
    default:
        return false;
    }
    return true;
}

void CommandCenter::zoomWaveform(bool in)
{
    if (auto* strip = controller->getThumbsContainer())
        strip->zoomThumbs(in, controller->getCursorPosition());
}

void CommandCenter::flipPagesArrangement()
{
    systemModel->pagesHorArrange = !systemModel->pagesHorArrange;
    if (auto* pages = controller->getPagesContainer())
        pages->resized();
    // Saved at once, so the arrangement survives a crash as well as a restart.
    systemModel->updateSystemAttrib();
}

//==============================================================================
void CommandCenter::stopSentencePlayer()
{
    if (controller->isSentencePlayerPlaying())
        controller->stopSentencePlayer();
}

void CommandCenter::manualSplitCurrentSentence()
{
    const auto* thumb = courseModel->getCurrentSentence(true);
    if (thumb == nullptr)
        return;
    courseModel->splitSentence(courseModel->getSelectedIndex(),
                               GlobalData::xToSamples(controller->getCursorPosition() - thumb->getX()));
}

void CommandCenter::courseJoinLibrary()
{
    if (!isCourseOpen())
        return;
    stopSentencePlayer();
    if (courseModel->isLearning())
        controller->newCourseAddToLibrary();
    else
        controller->currentCourseReviewFinished();
}

void CommandCenter::rebuildCourseMobileFile()
{
    // Only an archived course (one in review) has a mobile file to rebuild.
    if (!isCourseOpen() || courseModel->isLearning())
        return;
    stopSentencePlayer();
    const juce::String lineBreak("\r\n");
    if (juce::AlertWindow::showOkCancelBox(
            juce::MessageBoxIconType::QuestionIcon, TRANS("Confirm"),
            TRANS("Are you sure you want to rebuild the mobile audio file of this course?") + lineBreak +
                lineBreak + TRANS("This action can't undo and the old one will be replaced."),
            {}, {}, nullptr, nullptr))
        controller->renderMobileAudio();
}

void CommandCenter::browseTodayMobileDir()
{
    stopSentencePlayer();
    const auto dayFolder = DocumentManager::TodayMobileDir();
    if (dayFolder.isDirectory())
        openWithSystem(juce::URL(dayFolder));
    else
        juce::AlertWindow::showMessageBox(juce::MessageBoxIconType::InfoIcon, TRANS("Message"),
                                          TRANS("There is no audio file need to listen today."));
}

void CommandCenter::playOrStopCurrentSentence()
{
    // A new reader every time, so a second press starts the sentence again instead of stopping it.
    replayPlayer->setAudioSource(courseModel->getSentenceAudioReader(courseModel->getSelectedIndex()));
    replayPlayer->start();
}

// TODO(interpretation): the interpretation panel in a fixed-size modal window whose place is kept
// in interpretWindowPosition; the sentence player is stopped before it opens.
void CommandCenter::PopupInterpretModalWindow()
{
    stopSentencePlayer();
}

// TODO(course library): the course library manager in a modal window.
void CommandCenter::popupCourseManagerModalWindow()
{
    stopSentencePlayer();
}

void CommandCenter::popupShowOriginTextModalWindow()
{
    // Without a selected sentence index -1 would name the course itself.
    const int selected = courseModel->getSelectedIndex();
    if (selected < 0 || selected >= courseModel->getNumSentences())
        return;
    launchOptions.dialogTitle = TRANS("Origin text");
    launchOptions.content.setOwned(new ShowOriginTextComponent(courseModel, selected));
    launchOptions.runModal();
}

void CommandCenter::popupAudioSetupModalWindow()
{
    stopSentencePlayer();
    if (deviceManager == nullptr)
        return;

    juce::AudioDeviceSelectorComponent selector(*deviceManager, 0, 255, 2, 255, false, false, false, false);
    selector.setSize(500, 320);
    launchOptions.dialogTitle = TRANS("Setup audio devices");
    launchOptions.content.setNonOwned(&selector);
    launchOptions.runModal();

    // Written after every closing, changed or not; no explicit settings leave an empty value.
    const auto state = deviceManager->createStateXml();
    systemModel->getProperties().setValue(SystemModel::AudioDeviceState, state.get());
}

// TODO(key mappings): the key-mapping editor in a modal window, its differences from the defaults
// stored under UserKeyMapping afterwards.
void CommandCenter::popupKeyMappingModalWindow() {}

// TODO(about window): the animated about window, shown for at most 900 s.
void CommandCenter::popupAboutModalWindow() {}

//==============================================================================
juce::PopupMenu CommandCenter::createSystemMenu()
{
    juce::PopupMenu setup;
    for (auto id : {preferences, setupAudioDevices, editShortcuts})
        setup.addCommandItem(commandManager, id);

    juce::PopupMenu menu;
    const auto addCommands = [&menu](std::initializer_list<CommandId> ids)
    {
        for (auto id : ids)
            menu.addCommandItem(commandManager, id);
    };
    addCommands({newCourse, reviewCourse});
    menu.addSeparator();
    addCommands({archiveCourse, giveUpCourse, generateCourseware});
    menu.addSeparator();
    addCommands({rebuildMobileAudio, browseTodayLrf});
    menu.addSeparator();
    menu.addSubMenu(TRANS("System setup"), setup, true);
    addCommands({coursesManager, statisticsInfo});
    menu.addSeparator();
    addCommands({faq, helpDocument, shareAndDiscuss});
    menu.addSeparator();
    menu.addItem(officialWebsiteItem, TRANS("Official Website"), true);
    addCommands({aboutApplication});
    menu.addSeparator();
    menu.addCommandItem(commandManager, juce::StandardApplicationCommandIDs::quit);
    return menu;
}

void CommandCenter::popupSystemMenu()
{
    if (systemMenuRequested)
    {
        systemMenuRequested();
        return;
    }
    createSystemMenu().showMenuAsync(juce::PopupMenu::Options(),
                                     [](int result)
                                     {
                                         if (result == officialWebsiteItem)
                                             openWithSystem(juce::URL(GlobalData::WebSite));
                                     });
}

juce::PopupMenu CommandCenter::createRightClickMenu(PopupMenuType type)
{
    const bool waveform = type == thumbSentenceMenu || type == backgroundMenu;
    const bool page = type == pageSentenceMenu || type == backgroundMenu;

    juce::PopupMenu menu;
    const auto add = [](juce::PopupMenu& target, std::initializer_list<int> ids)
    {
        for (auto id : ids)
            target.addCommandItem(commandManager, id);
    };

    add(menu, {undoCommand, redoCommand});
    menu.addSeparator();
    add(menu, {autoSplit});
    if (waveform)
        add(menu, {manualSplit});
    add(menu, {mergeSentence, removeSentence});
    menu.addSeparator();

    juce::PopupMenu startTime;
    add(startTime, {startEarlier005, startEarlier01, startEarlier02, startEarlier03, startEarlier05});
    startTime.addSeparator();
    add(startTime, {startLater005, startLater01, startLater02, startLater03, startLater05});
    menu.addSubMenu(TRANS("Adjust start time of current sentence"), startTime);

    juce::PopupMenu endTime;
    add(endTime, {endEarlier005, endEarlier01, endEarlier02, endEarlier03, endEarlier05});
    endTime.addSeparator();
    add(endTime, {endLater005, endLater01, endLater02, endLater03, endLater05});
    menu.addSubMenu(TRANS("Adjust end time of current sentence"), endTime);

    add(menu, {switchInputStatus, joinOrExitReview});
    menu.addSeparator();
    if (waveform)
    {
        add(menu, {zoomInWaveform, zoomOutWaveform});
        menu.addSeparator();
    }
    if (page)
    {
        add(menu, {interpretSentence, translateSentence, showOriginText, replaySentence});
        menu.addSeparator();
        add(menu, {pagesArrange, zoomInPages, zoomOutPages, pagesNoZoom});
        menu.addSeparator();
    }
    add(menu, {notesAndRetell, audioEffectsAndLoops});
    menu.addSeparator();
    add(menu, {preferences, coursesManager, statisticsInfo});
    return menu;
}

void CommandCenter::showRightClickMenu(PopupMenuType type)
{
    if (rightClickMenuRequested)
    {
        rightClickMenuRequested(type);
        return;
    }
    // Chosen command items are invoked by the framework; the result needs no handling.
    createRightClickMenu(type).showMenuAsync(juce::PopupMenu::Options());
}
