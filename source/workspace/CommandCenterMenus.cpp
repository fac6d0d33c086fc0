#include "workspace/CommandCenter.h"

#include "engine/GlobalData.h"
#include "workspace/KeyPressText.h"
#include "workspace/Main.h"

namespace
{
/** Gives every command item of the menu, its submenus' too, the first of its key presses in qZ's
    form. Left empty, the framework fills in all of them, in its own English form, when it draws
    the item. */
void showFirstKeys(juce::PopupMenu& menu)
{
    for (juce::PopupMenu::MenuItemIterator it(menu, true); it.next();)
    {
        auto& item = it.getItem();
        if (item.commandManager != nullptr && item.itemID != 0)
            item.shortcutKeyDescription = KeyPressText::firstKeyOf(*item.commandManager, item.itemID);
    }
}
} // namespace

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
    showFirstKeys(menu);
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
    showFirstKeys(menu);
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
