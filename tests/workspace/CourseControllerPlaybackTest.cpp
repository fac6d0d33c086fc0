// The course controller's playback: the moves between sentences and pages, what the end of a
// sentence leads to (repetition with a pause, the next sentence, the course loop, the stop at the
// end), what ends a pause, dictation giving back the loop values, and the cursor, status field and
// views following the play position. The last tests play real audio on a running device and
// measure the hearings and the pauses between them.
#include "workspace/CourseController.h"

#include "engine/CourseModel.h"
#include "engine/GlobalData.h"
#include "engine/SystemModel.h"
#include "engine/audio/AudioSentencesPlayer.h"
#include "harness/CourseWorkingSet.h"
#include "harness/OpenCourse.h"
#include "harness/OpenWorkspace.h"
#include "harness/PlaybackProbe.h"
#include "workspace/BaseComponent.h"
#include "workspace/Main.h"
#include "workspace/MainComponent.h"
#include "workspace/StatusBar.h"
#include "workspace/containers/PagesContainer.h"
#include "workspace/containers/ThumbsContainer.h"
#include "workspace/panels/MixerAndLoopPanel.h"
#include "workspace/sentences/SentenceComponent.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace
{
constexpr int rate = 44100;
// The mixer panel's times and interval sliders, by their focus order.
constexpr int timesOrder = 9, intervalOrder = 10;

bool deviceExpected()
{
    return juce::SystemStats::getEnvironmentVariable("QZ_AUDIO_DEVICE_EXPECTED", {}) == "1";
}

/** What the sentence player told its listeners, with the cued sentence's length, the transport's
    position and the time at each call. Registered after the controller, it hears each call first. */
class PlayerEvents : public AudioSentencesPlayer::Listener
{
public:
    enum Kind
    {
        started,
        finished,
        stopped
    };
    struct Event
    {
        Kind kind;
        double length, position, ms;
    };

    explicit PlayerEvents(AudioSentencesPlayer& p) : player(p) { player.addListener(this); }
    ~PlayerEvents() override { player.removeListener(this); }

    int count(Kind kind) const
    {
        return (int)std::count_if(events.begin(), events.end(),
                                  [=](const Event& e) { return e.kind == kind; });
    }

    std::vector<Event> events;

private:
    void record(Kind kind)
    {
        events.push_back({kind, player.transportSource.getLengthInSeconds(),
                          player.transportSource.getCurrentPosition(),
                          juce::Time::getMillisecondCounterHiRes()});
    }
    void sentenceFinished(AudioSentencesPlayer*) override { record(finished); }
    void playerStarted(AudioSentencesPlayer*) override { record(started); }
    void playerStopped(AudioSentencesPlayer*) override { record(stopped); }

    AudioSentencesPlayer& player;
};

/** The workspace opened on a course of sentences of the given lengths in seconds, back to back,
    laid out as the window manager leaves the window. No audio device is opened unless a test asks
    for one: without one the transport stands where it is put, so positions are the test's own. */
class CourseControllerPlayback : public testing::Test
{
protected:
    ~CourseControllerPlayback() override
    {
        events.reset();
        if (workspace != nullptr && deviceManager != nullptr)
            deviceManager->closeAudioDevice();
        workspace.reset();
    }

    void open(const std::vector<double>& seconds)
    {
        std::vector<int> lengths;
        double total = 0.5;
        for (const auto s : seconds)
        {
            lengths.push_back(juce::roundToInt(s * rate));
            total += s;
        }
        workspace = std::make_unique<OpenWorkspace>(
            [&]
            {
                CourseWorkingSet set(total, rate);
                ASSERT_TRUE(set.wasCreated());
                ASSERT_TRUE(set.writeSentences(OpenCourse::contiguous(lengths)));
            });
        // The window manager shows the new window full screen a while later, which lays the strip
        // out again: waiting until its size holds still keeps positions on the strip where they are.
        auto size = workspace->base().getBounds();
        auto since = juce::Time::getMillisecondCounter();
        pump(
            [&]
            {
                if (workspace->base().getBounds() != size)
                {
                    size = workspace->base().getBounds();
                    since = juce::Time::getMillisecondCounter();
                }
                return juce::Time::getMillisecondCounter() - since > 500;
            });
        ASSERT_TRUE(controller().isCourseOpen());
        ASSERT_EQ((int)seconds.size(), model().getNumSentences());
        events = std::make_unique<PlayerEvents>(player());
        // Prepared as a device would prepare it, the transport can be sought and tells its length.
        player().sourcePlayer.prepareToPlay(rate, 512);
    }

    void openDevice()
    {
        deviceManager->initialise(0, 2, nullptr, true);
        ASSERT_NE(nullptr, deviceManager->getCurrentAudioDevice());
    }

    /** Moves one of the mixer panel's sliders as the learner does. */
    void setPanelSlider(int focusOrder, double value) const
    {
        for (auto* child : panel().getChildren())
            if (auto* slider = dynamic_cast<juce::Slider*>(child))
                if (slider->getExplicitFocusOrder() == focusOrder)
                    slider->setValue(value, juce::sendNotificationSync);
    }

    CourseController& controller() const { return workspace->controller(); }
    CourseModel& model() const { return workspace->model(); }
    AudioSentencesPlayer& player() const { return controller().getSentencePlayer(); }
    MixerAndLoopPanel& panel() const { return *controller().getMixerAndLoopPanel(); }
    SentenceComponent& thumb(int index) const { return *model().getThumbs().getUnchecked(index); }
    juce::Viewport& strip() const { return workspace->main().getThumbsViewport(); }
    juce::Viewport& pages() const { return workspace->main().getSentencesViewport(); }
    juce::String status(int field) const { return workspace->main().getStatusBar().getInfo(field); }
    bool playing() const { return controller().isSentencePlayerPlaying(); }

    /** Selects and cues a sentence as a click on it would. */
    void select(int index) const
    {
        model().selectSentence(index, true);
        controller().resizeViews();
    }

    /** The sentence whose length the transport holds: the cued one. */
    int cued() const { return indexOfLength(player().transportSource.getLengthInSeconds()); }
    int indexOfLength(double length) const
    {
        for (int i = 0; i < model().getNumSentences(); ++i)
            if (std::abs(model().getSentenceLengthSeconds(i) - length) < 0.002)
                return i;
        return -1;
    }

    /** Plays the last hundredth of a second of the cued sentence through the mixer panel's device
        callback, as a device would pull it: the transport runs out of the sentence, stops itself
        and broadcasts, and the player reports the end. */
    void endSentence()
    {
        const int before = events->count(PlayerEvents::finished);
        auto& transport = player().transportSource;
        transport.setPosition(juce::jmax(0.0, transport.getLengthInSeconds() - 0.01));
        for (int block = 0; block < 20 && transport.isPlaying(); ++block)
            PlaybackProbe::pull(panel(), 2, 1, 512);
        ASSERT_FALSE(transport.isPlaying());
        ASSERT_TRUE(pump([&] { return events->count(PlayerEvents::finished) > before; }));
    }

    static bool pump(const std::function<bool()>& condition, int timeoutMs = 5000)
    {
        return PlaybackProbe::pumpUntil(condition, timeoutMs);
    }

    static void pumpFor(int ms)
    {
        PlaybackProbe::pumpUntil([] { return false; }, ms);
    }

    /** Whether the view shows the component's top-left corner. */
    static bool shows(juce::Viewport& view, juce::Component& component)
    {
        const auto corner = view.getViewedComponent()->getLocalPoint(&component, juce::Point<int>());
        return view.getViewArea().contains(corner);
    }

    std::unique_ptr<OpenWorkspace> workspace;
    std::unique_ptr<PlayerEvents> events;
};

using Operation = void (CourseController::*)();
} // namespace

//==============================================================================
TEST_F(CourseControllerPlayback, EachMoveSelectsCuesAndShowsItsTarget)
{
    // Ten sentences of different lengths, so that the cued one can be told by its length.
    std::vector<double> seconds;
    for (int i = 0; i < 10; ++i)
        seconds.push_back(1.0 + 0.05 * i);
    open(seconds);

    const struct
    {
        const char* name;
        Operation move;
        int from, target;
    } moves[] = {
        {"next", &CourseController::gotoNextSentence, 3, 4},
        {"next at the last", &CourseController::gotoNextSentence, 9, 0},
        {"previous", &CourseController::gotoPrevSentence, 3, 2},
        {"previous at the first", &CourseController::gotoPrevSentence, 0, 9},
        {"page down", &CourseController::gotoNextPage, 2, 6},
        {"page down three before the end", &CourseController::gotoNextPage, 6, 9},
        {"page up", &CourseController::gotoPrevPage, 7, 3},
        {"page up near the start", &CourseController::gotoPrevPage, 2, 0},
        {"start of course", &CourseController::gotoStartOfCourse, 5, 0},
        {"last sentence", &CourseController::gotoEnd, 2, 9},
    };
    for (const auto& m : moves)
    {
        SCOPED_TRACE(m.name);
        select(m.from);
        (controller().*m.move)();

        EXPECT_EQ(m.target, model().getSelectedIndex());
        EXPECT_TRUE(thumb(m.target).selected);
        EXPECT_EQ(m.target, cued());
        EXPECT_FALSE(playing()) << "a stopped player stays stopped";
        EXPECT_EQ(thumb(m.target).getX(), controller().getCursorPosition()) << "cursor at its start";
        EXPECT_EQ(juce::String(m.target + 1) + " -", status(StatusBar::selectedNumber));
        EXPECT_EQ(GlobalData::secondsToCsString(GlobalData::xToSeconds(thumb(m.target).getX())),
                  status(StatusBar::playPosition));
        EXPECT_TRUE(shows(strip(), thumb(m.target))) << "the strip scrolled to it";
        EXPECT_TRUE(shows(pages(), *model().getPages()[m.target])) << "the pages scrolled to it";
    }
}

TEST_F(CourseControllerPlayback, AMoveCarriesPlayOnAndTheStartOfTheSentenceKeepsThePlayState)
{
    open({2.0, 2.1, 2.2});

    controller().playOrStop();
    ASSERT_TRUE(playing());
    player().transportSource.setPosition(1.0);
    controller().gotoNextSentence();
    EXPECT_TRUE(playing()) << "play goes on with the target";
    EXPECT_EQ(1, cued());
    EXPECT_LT(player().transportSource.getCurrentPosition(), 0.1) << "from its start";

    player().transportSource.setPosition(1.0);
    controller().gotoStartOfSentence();
    EXPECT_TRUE(playing());
    EXPECT_EQ(0.0, player().transportSource.getCurrentPosition());
    EXPECT_EQ(thumb(1).getX(), controller().getCursorPosition());

    controller().playOrStop();
    ASSERT_FALSE(playing());
    player().transportSource.setPosition(1.0);
    controller().gotoStartOfSentence();
    EXPECT_FALSE(playing()) << "a stopped player is only sought back";
    EXPECT_EQ(0.0, player().transportSource.getCurrentPosition());
    EXPECT_EQ(1, model().getSelectedIndex());

    controller().playOrStop();
    EXPECT_TRUE(playing()) << "Play/Stop plays on where the player stands";
}

TEST_F(CourseControllerPlayback, ASentenceIsHeardAsOftenAsTheLoopSaysBeforePlayMovesOn)
{
    open({2.0, 2.1, 2.2});

    const struct
    {
        bool loopOn;
        int limit;
        int hearings;
    } cases[] = {{false, 3, 1}, {true, 1, 1}, {true, 3, 3}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(juce::String(c.loopOn ? "loop on, limit " : "loop off, limit ") + juce::String(c.limit));
        controller().gotoStartOfCourse();
        controller().setSentenceLooping(c.loopOn, c.limit, 0.05); // pauses of 0.1 s
        controller().playOrStop();

        int heard = 0;
        while (model().getSelectedIndex() == 0 && heard < 10)
        {
            ASSERT_TRUE(playing());
            endSentence();
            ++heard;
            // After each hearing in the loop a pause runs; then the same sentence or the next plays.
            if (c.loopOn)
            {
                EXPECT_FALSE(playing()) << "pausing";
            }
            ASSERT_TRUE(pump([&] { return playing(); }));
        }
        EXPECT_EQ(c.hearings, heard);
        EXPECT_EQ(1, model().getSelectedIndex());
        EXPECT_EQ(1, cued());
        EXPECT_EQ(thumb(1).getX(), controller().getCursorPosition());
        controller().playOrStop();
    }
}

TEST_F(CourseControllerPlayback, TheEndOfTheLastSentenceLoopsTheCourseOrStopsAtItsStart)
{
    open({2.0, 2.1});
    controller().setCourseLoopOn(true); // limit 2: the course is heard twice in all

    for (const bool loopsAgain : {true, false})
    {
        SCOPED_TRACE(loopsAgain ? "first end of the course" : "second end of the course");
        controller().gotoEnd();
        controller().playOrStop();
        endSentence();

        EXPECT_EQ(loopsAgain, playing());
        EXPECT_EQ(0, model().getSelectedIndex());
        EXPECT_EQ(0, cued());
        EXPECT_LT(player().transportSource.getCurrentPosition(), 0.1);
        EXPECT_EQ(0, controller().getCursorPosition());
        EXPECT_EQ(juce::String("1 -"), status(StatusBar::selectedNumber));
        if (loopsAgain)
            controller().playOrStop();
    }

    // The count starts again: the next end loops once more; with the loop off, play stops.
    controller().gotoEnd();
    controller().playOrStop();
    endSentence();
    EXPECT_TRUE(playing());
    controller().setCourseLoopOn(false);
    controller().gotoEnd();
    endSentence();
    EXPECT_FALSE(playing());
    EXPECT_EQ(0, model().getSelectedIndex());
    EXPECT_EQ(0.0, player().transportSource.getCurrentPosition());
    EXPECT_EQ(GlobalData::secondsToCsString(0.0), status(StatusBar::playPosition));
}

TEST_F(CourseControllerPlayback, WhatAPauseBetweenRepetitionsLeadsTo)
{
    open({2.0, 2.1});
    const struct
    {
        const char* name;
        std::function<void(CourseController&)> action;
        bool playsAtOnce;
        int selected;
    } cases[] = {
        {"Play/Stop ends it", [](CourseController& c) { c.playOrStop(); }, false, 0},
        {"dictation starts the sentence again", [](CourseController& c) { c.makePlayerEnterDictateMode(); },
         true, 0},
        {"a re-cue starts the sentence again", [](CourseController& c) { c.setPlayPosition(true, 0.0); },
         true, 0},
        {"a move plays the target", [](CourseController& c) { c.gotoNextSentence(); }, true, 1},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        controller().makePlayerExitDictateMode();
        controller().setSentenceLooping(true, 3, 0.15); // a pause of 0.3 s after a 2 s sentence
        select(0);
        controller().playOrStop();
        endSentence();
        ASSERT_FALSE(playing()) << "pausing";

        c.action(controller());
        EXPECT_EQ(c.playsAtOnce, playing());
        EXPECT_EQ(c.selected, model().getSelectedIndex());
        if (c.playsAtOnce)
        {
            EXPECT_LT(player().transportSource.getCurrentPosition(), 0.1);
            controller().playOrStop();
        }
        pumpFor(500);
        EXPECT_FALSE(playing()) << "no pause left to end";
    }
}

TEST_F(CourseControllerPlayback, DictationRepeatsWithItsIntervalAndGivesBackTheLoopInForceAtItsStart)
{
    open({2.0, 2.1});
    systemModel->dictateInterval = 0.4;
    controller().setSentenceLooping(true, 3, 0.9);

    controller().makePlayerEnterDictateMode();
    EXPECT_TRUE(controller().isSentenceLoopOn());
    EXPECT_EQ(100, controller().getSentenceRepeatLimit());
    EXPECT_DOUBLE_EQ(0.4, controller().getPauseFactor());

    // The mixer panel writes other values meanwhile.
    controller().setSentenceLooping(false, 7, 2.5);
    controller().makePlayerEnterDictateMode(); // the next text field starts before this one ended
    controller().makePlayerExitDictateMode();
    EXPECT_TRUE(controller().isSentenceLoopOn());
    EXPECT_EQ(3, controller().getSentenceRepeatLimit());
    EXPECT_DOUBLE_EQ(0.9, controller().getPauseFactor());

    controller().setSentenceLooping(false, 5, 0.5);
    controller().makePlayerExitDictateMode(); // an end with no start changes nothing
    EXPECT_FALSE(controller().isSentenceLoopOn());
    EXPECT_EQ(5, controller().getSentenceRepeatLimit());
    EXPECT_DOUBLE_EQ(0.5, controller().getPauseFactor());
}

TEST_F(CourseControllerPlayback, CursorStatusAndViewsFollowThePlayPosition)
{
    open({2.0, 2.0, 2.0});
    auto* container = workspace->main().getThumbsContainer();
    for (int step = 0; step < 10; ++step)
        container->zoomThumbs(true, 0);
    select(1);
    strip().setViewPosition(0, 0);

    controller().playOrStop();
    player().transportSource.setPosition(1.5);
    const int x = thumb(1).getX() + GlobalData::secondsToX(1.5);
    ASSERT_GE(x, strip().getViewWidth() - 30) << "the cursor leaves the visible part";
    ASSERT_LE(x - 20 + strip().getViewWidth(), container->getWidth()) << "and the strip can scroll to it";

    ASSERT_TRUE(pump([&] { return controller().getCursorPosition() == x; }));
    EXPECT_EQ(GlobalData::secondsToCsString(GlobalData::xToSeconds(x)), status(StatusBar::playPosition));
    EXPECT_EQ(x - 20, strip().getViewPositionX());
    EXPECT_TRUE(shows(pages(), *model().getPages()[1]));

    // Within the visible part the strip stays where it is.
    player().transportSource.setPosition(1.6);
    const int further = thumb(1).getX() + GlobalData::secondsToX(1.6);
    ASSERT_TRUE(pump([&] { return controller().getCursorPosition() == further; }));
    EXPECT_EQ(x - 20, strip().getViewPositionX());

    controller().playOrStop();
    player().transportSource.setPosition(0.2);
    pumpFor(100);
    EXPECT_EQ(further, controller().getCursorPosition()) << "a stopped player isn't followed";
}

//==============================================================================
// Real audio on a running device: the hearings end where the transport runs out of the sentence,
// and the pauses between them last the factor times the sentence's length.
namespace
{
/** The pause after each end of a sentence: from the end to the next start or to the final stop. */
std::vector<std::pair<double, double>> pausesAfterEnds(const std::vector<PlayerEvents::Event>& events)
{
    std::vector<std::pair<double, double>> pauses; // (sentence length, pause) in seconds
    for (size_t i = 0; i + 1 < events.size(); ++i)
        if (events[i].kind == PlayerEvents::finished)
            pauses.emplace_back(events[i].length, (events[i + 1].ms - events[i].ms) / 1000.0);
    return pauses;
}

// Slack for the 33 ms timer, the message loop and a loaded machine; never for a pause that is
// a whole factor off.
constexpr double pauseSlack = 0.75;
} // namespace

TEST_F(CourseControllerPlayback, OnADeviceTheSentenceLoopPlaysEachSentenceItsTimesWithPauses)
{
    if (!deviceExpected())
        GTEST_SKIP() << "needs a running audio device (QZ_AUDIO_DEVICE_EXPECTED=1)";

    const struct
    {
        int times;
        int interval; // percent, as the panel's slider
    } cases[] = {{3, 90}, {1, 50}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(juce::String(c.times) + " times, interval " + juce::String(c.interval) + " %");
        open({0.3, 0.4});
        ASSERT_NO_FATAL_FAILURE(openDevice());
        // As the learner does it: the loop toggle on, then the sliders.
        controller().setSentenceLoopMode();
        setPanelSlider(timesOrder, c.times);
        setPanelSlider(intervalOrder, c.interval);
        ASSERT_EQ(c.times, controller().getSentenceRepeatLimit());
        ASSERT_DOUBLE_EQ(c.interval / 100.0, controller().getPauseFactor());

        controller().playOrStop();
        ASSERT_TRUE(pump([&] { return events->count(PlayerEvents::stopped) > 0; }, 20000))
            << "the course plays to its end and stops";

        std::vector<int> heard, expected;
        for (const auto& e : events->events)
        {
            if (e.kind == PlayerEvents::finished)
            {
                heard.push_back(indexOfLength(e.length));
                EXPECT_GE(e.position, e.length - 0.001) << "each hearing runs to the sentence's end";
            }
            else if (e.kind == PlayerEvents::started)
            {
                EXPECT_LT(e.position, 0.001) << "and starts at its beginning";
            }
        }
        for (const int sentence : {0, 1})
            expected.insert(expected.end(), (size_t)c.times, sentence);
        EXPECT_EQ(expected, heard);

        const auto pauses = pausesAfterEnds(events->events);
        EXPECT_EQ(heard.size(), pauses.size()) << "every hearing is followed by a pause";
        for (const auto& [length, pause] : pauses)
        {
            const double factorPause = length * c.interval / 100.0;
            EXPECT_GE(pause, factorPause - 0.002);
            EXPECT_LT(pause, factorPause + pauseSlack);
        }
        EXPECT_FALSE(playing());
        EXPECT_EQ(0, model().getSelectedIndex());
        EXPECT_EQ(0, controller().getCursorPosition());

        events.reset();
        deviceManager->closeAudioDevice();
        workspace.reset();
    }
}

TEST_F(CourseControllerPlayback, OnADeviceTheCourseLoopPlaysTheCourseTwice)
{
    if (!deviceExpected())
        GTEST_SKIP() << "needs a running audio device (QZ_AUDIO_DEVICE_EXPECTED=1)";
    open({0.3, 0.4, 0.35});
    ASSERT_NO_FATAL_FAILURE(openDevice());
    controller().setCourseLoopMode(); // the panel's toggle, with its count of 2

    for (int run = 0; run < 2; ++run)
    {
        SCOPED_TRACE(run == 0 ? "first play" : "played again after the stop");
        events->events.clear();
        controller().playOrStop();
        ASSERT_TRUE(pump([&] { return events->count(PlayerEvents::stopped) > 0; }, 20000));

        std::vector<int> heard;
        double playedMs = 0.0;
        for (size_t i = 0; i < events->events.size(); ++i)
        {
            const auto& e = events->events[i];
            if (e.kind != PlayerEvents::finished)
                continue;
            heard.push_back(indexOfLength(e.length));
            EXPECT_GE(e.position, e.length - 0.001);
            if (i > 0 && events->events[i - 1].kind == PlayerEvents::started)
                playedMs += e.ms - events->events[i - 1].ms;
        }
        EXPECT_EQ((std::vector<int>{0, 1, 2, 0, 1, 2}), heard);
        // A paced device never plays faster than the clock; a block may be cut at either end.
        EXPECT_GE(playedMs, 2 * (0.3 + 0.4 + 0.35) * 1000.0 - 6 * 25.0);
        EXPECT_FALSE(playing());
        EXPECT_EQ(0, model().getSelectedIndex());
        EXPECT_EQ(0.0, player().transportSource.getCurrentPosition());
    }
}

TEST_F(CourseControllerPlayback, OnADeviceDictationRepeatsPastTheLoopAndEndsARunningPauseAtOnce)
{
    if (!deviceExpected())
        GTEST_SKIP() << "needs a running audio device (QZ_AUDIO_DEVICE_EXPECTED=1)";
    open({0.3, 0.4});
    ASSERT_NO_FATAL_FAILURE(openDevice());
    systemModel->dictateInterval = 0.2;
    controller().setSentenceLoopMode();
    setPanelSlider(intervalOrder, 500); // a pause of five lengths
    ASSERT_EQ(3, controller().getSentenceRepeatLimit());

    controller().playOrStop();
    ASSERT_TRUE(pump([&] { return events->count(PlayerEvents::finished) == 1; }));
    ASSERT_FALSE(playing()) << "pausing";
    controller().makePlayerEnterDictateMode();
    EXPECT_TRUE(playing()) << "the long pause ended at once";

    ASSERT_TRUE(pump([&] { return events->count(PlayerEvents::finished) == 6; }, 20000));
    for (const auto& e : events->events)
    {
        if (e.kind == PlayerEvents::finished)
        {
            EXPECT_EQ(0, indexOfLength(e.length)) << "the sentence repeats past the loop's 3 times";
        }
    }
    const auto pauses = pausesAfterEnds(events->events);
    for (size_t i = 1; i < pauses.size(); ++i)
    {
        EXPECT_GE(pauses[i].second, 0.2 * 0.3 - 0.002);
        EXPECT_LT(pauses[i].second, 0.2 * 0.3 + pauseSlack) << "the dictation interval, not five lengths";
    }

    // Meanwhile the learner turns the loop off in the panel; the end of dictation gives it back.
    panel().setSentenceLoopMode();
    EXPECT_FALSE(controller().isSentenceLoopOn());
    controller().makePlayerExitDictateMode();
    EXPECT_TRUE(controller().isSentenceLoopOn());
    EXPECT_EQ(3, controller().getSentenceRepeatLimit());
    EXPECT_DOUBLE_EQ(5.0, controller().getPauseFactor());
    controller().playOrStop();
    EXPECT_FALSE(playing());
}
