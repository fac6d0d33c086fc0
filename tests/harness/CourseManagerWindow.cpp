#include "harness/CourseManagerWindow.h"

#include "dialogs/CourseManagerPanel.h"
#include "harness/OpenCourse.h"

CourseManagerWindow::CourseManagerWindow()
{
    content = new CourseManagerPanel();
    const auto width = content->getWidth();
    const auto height = content->getHeight();
    frame.setUsingNativeTitleBar(true);
    frame.setContentOwned(content, true);
    frame.setTopLeftPosition(40, 40);
    frame.setVisible(true);
    bringToFront();

    // On a loaded display the window manager's first answer can carry the size the native window
    // had before it was fitted to the panel; the panel keeps its own size, as in the real dialog.
    const auto keepSize = [&]
    {
        if (content->getWidth() == width && content->getHeight() == height)
            return true;
        frame.setContentComponentSize(width, height);
        return false;
    };
    OpenCourse::pumpUntil(keepSize, 5000);
    juce::MessageManager::getInstance()->runDispatchLoopUntil(100);
    OpenCourse::pumpUntil(keepSize, 5000);
}

CourseManagerWindow::~CourseManagerWindow()
{
    frame.clearContentComponent();
}

bool CourseManagerWindow::bringToFront()
{
    frame.toFront(true);
    return OpenCourse::pumpUntil([] { return juce::Process::isForegroundProcess(); }, 5000);
}

juce::CallOutBox* CourseManagerWindow::openCallOut() const
{
    for (auto* child : content->getChildren())
        if (auto* box = dynamic_cast<juce::CallOutBox*>(child))
            return box;
    return nullptr;
}
