#include "workspace/CourseController.h"

#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"
#include "engine/SystemModel.h"
#include "workspace/Main.h"

// TODO(archiving): render the course audio and its mobile file, turn the course into a review
// course, pack it into the library and clear the workspace; close a review day.
void CourseController::newCourseAddToLibrary() {}
void CourseController::currentCourseReviewFinished() {}
void CourseController::renderMobileAudio() {}
