#include "harness/CourseManagerWindow.h"

#include "dialogs/CourseManagerPanel.h"
#include "harness/OpenCourse.h"

CourseManagerWindow::CourseManagerWindow()
{
    content = new CourseManagerPanel();
    frame.setUsingNativeTitleBar(true);
    frame.setContentOwned(content, true);
    frame.setTopLeftPosition(40, 40);
    frame.setVisible(true);
    bringToFront();
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
