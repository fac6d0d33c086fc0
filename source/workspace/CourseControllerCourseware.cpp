#include "workspace/CourseController.h"

#include "engine/CourseModel.h"
#include "engine/DocumentManager.h"
#include "engine/SystemModel.h"
#include "workspace/Main.h"

// TODO(courseware): unpack the courseware into a new working set and open it for learning.
bool CourseController::loadCourseware(const juce::File&)
{
    return false;
}

// TODO(courseware): render the course into one file and pack it with its stripped course text.
void CourseController::generateCourseware() {}
