#include "harness/OpenWorkspace.h"

#include "harness/ModalAnswerer.h"

#include "engine/DocumentManager.h"
#include "engine/SystemModel.h"
#include "workspace/BaseComponent.h"
#include "workspace/CourseController.h"
#include "workspace/Main.h"
#include "workspace/MainComponent.h"
#include "workspace/MainWindow.h"
#include "workspace/QzLookAndFeel.h"

OpenWorkspace::OpenWorkspace(const std::function<void()>& beforeStart)
{
    if (beforeStart)
        beforeStart();
    mainWindow = std::make_unique<MainWindow>();
}

OpenWorkspace::~OpenWorkspace()
{
    juce::PopupMenu::dismissAllActiveMenus();
    mainWindow.reset();
}

BaseComponent& OpenWorkspace::base() const
{
    return mainWindow->getBaseComponent();
}

MainComponent& OpenWorkspace::main() const
{
    return base().getMainComponent();
}

CourseController& OpenWorkspace::controller() const
{
    return *base().getController();
}

CourseModel& OpenWorkspace::model() const
{
    return controller().getCourseModel();
}

void OpenWorkspace::layOut(int width, int height) const
{
    base().setSize(width, height);
}

bool OpenWorkspace::archiveAsTheLearnerDoes() const
{
    ModalAnswerer answerer;
    answerer.press(TRANS("OK"));
    for (int i = 0; i < 3; ++i)
        answerer.letProgressRun();
    controller().newCourseAddToLibrary();
    answerer.expectDone();
    return !controller().isCourseOpen();
}

juce::StringArray OpenWorkspace::filesInTemporaryFolder()
{
    juce::StringArray names;
    for (const auto& file : DocumentManager::TempDir().findChildFiles(juce::File::findFiles, false, "*"))
        names.add(file.getFileName());
    names.sort(false);
    return names;
}

void OpenWorkspace::reloadSettings()
{
    auto& lookAndFeel = dynamic_cast<QzLookAndFeel&>(juce::LookAndFeel::getDefaultLookAndFeel());
    delete systemModel;
    systemModel = new SystemModel(lookAndFeel);
}
