#pragma once

#include <juce_core/juce_core.h>

#include <memory>

class CourseModel;

/** The controller of the open course: owns the course model and is called back by it after each
    change, to keep the containers, the status bar, the toolbar and the title current.

    The containers, the status bar, the toolbar and the sentence player are not there yet, so the
    callbacks have nothing to update for now. */
class CourseController
{
public:
    CourseController();
    ~CourseController();

    CourseModel& getCourseModel() const { return *courseModel; }

    // Called back by the course model.
    void resizeViews();
    void setCursorPosition(double seconds);
    void setPlayPosition(bool loadSelectedSentence, const double& seconds);
    void makeViewportScroll(bool scrollWaveformStrip, bool scrollPages);
    void unfamiliarNumberChanged();
    void setTitleBarText(bool withCourse);
    void lengthChanged();
    void showOrHideNoteMarker();
    void sentenceAdded(int index);
    void sentenceRemoved(int index, int lengthInSamples);

    /** Whether the course's sentence player is playing, and stopping it; without a player there
        is nothing to play. */
    bool isSentencePlayerPlaying() const { return false; }
    void stopSentencePlayer() {}

private:
    std::unique_ptr<CourseModel> courseModel;

    JUCE_DECLARE_NON_COPYABLE(CourseController)
};
