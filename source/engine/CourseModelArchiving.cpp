#include "engine/CourseModel.h"

#include "engine/CourseModelRules.h"
#include "engine/DocumentManager.h"
#include "engine/GlobalData.h"
#include "engine/SystemModel.h"

// TODO(archiving): re-lay the sentences on the rendered audio's time line, schedule every
// unfamiliar sentence and make the course a review course, then save it.
void CourseModel::updateAndSaveTextOfNewCourse() {}
