#include "workspace/CourseController.h"

#include "engine/CourseModel.h"

CourseController::CourseController() : courseModel(std::make_unique<CourseModel>(this)) {}

CourseController::~CourseController()
{
    courseModel.reset();
}

void CourseController::resizeViews() {}

void CourseController::setCursorPosition(double) {}

void CourseController::setPlayPosition(bool, const double&) {}

void CourseController::makeViewportScroll(bool, bool) {}

void CourseController::unfamiliarNumberChanged() {}

void CourseController::setTitleBarText(bool) {}

void CourseController::lengthChanged() {}

void CourseController::showOrHideNoteMarker() {}

void CourseController::sentenceAdded(int) {}

void CourseController::sentenceRemoved(int, int) {}
