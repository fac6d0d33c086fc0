#include "workspace/CommandCenter.h"

#include "engine/SystemModel.h"
#include "workspace/CourseController.h"
#include "workspace/Main.h"

std::function<void(CommandCenter::PopupMenuType)> CommandCenter::rightClickMenuRequested;

// Stored in English: the key-mapping editor translates categories when it draws them.
const juce::String CommandCenter::CmdCategoryCourse("Course");

CommandCenter::CommandCenter(CourseController* courseController)
    : controller(courseController), courseModel(&courseController->getCourseModel())
{
}

CommandCenter::~CommandCenter() = default;

juce::ApplicationCommandTarget* CommandCenter::getNextCommandTarget()
{
    // The application holds the framework's standard commands, such as quit.
    return juce::JUCEApplication::getInstance();
}

void CommandCenter::getAllCommands(juce::Array<juce::CommandID>& commands)
{
    commands.add(newCourse);
}

void CommandCenter::getCommandInfo(juce::CommandID commandID, juce::ApplicationCommandInfo& result)
{
    // Names are translated each time they are asked for, so they follow the interface language.
    if (commandID == newCourse)
    {
        result.setInfo(TRANS("New course"), TRANS("Load audio file to learn"), CmdCategoryCourse, 0);
        result.addDefaultKeypress('n', juce::ModifierKeys::commandModifier);
        result.setActive(!controller->isCourseOpen() &&
                         controller->getNumDueCourses() < systemModel->atLeastUnreview);
    }
}

bool CommandCenter::perform(const InvocationInfo& info)
{
    if (info.commandID == newCourse)
    {
        controller->learnNewCourse();
        return true;
    }
    return false;
}

void CommandCenter::showRightClickMenu(PopupMenuType type)
{
    if (rightClickMenuRequested)
        rightClickMenuRequested(type);

    // The menus are made of command items; they are built here once the command table exists.
}
