// The sentence view base: its reports reach every listener from the last registered to the
// first, also while listeners remove themselves, and only a left press selects.
#include "workspace/sentences/ThumbSentence.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace
{
/** Records which listener heard a selection report; may run an action when it does. */
struct RecordingListener : SentenceComponent::Listener
{
    RecordingListener(int listenerId, std::vector<int>& heardLog) : id(listenerId), log(heardLog) {}

    void hasBeenSelected(SentenceComponent* view) override
    {
        log.push_back(id);
        if (onSelected)
            onSelected(*view);
    }

    void prepareDrag(SentenceComponent*) override {}
    void startChanged(SentenceComponent*) override {}
    void endChanged(SentenceComponent*) override {}
    void splitThumbSentence(SentenceComponent*, int) override {}
    void setCursorPosition(SentenceComponent*, int) override {}
    void setPlayPosition(SentenceComponent*, int) override {}
    void orginTextChanged(SentenceComponent*, const juce::String&, bool) override {}
    void transTextChanged(SentenceComponent*, const juce::String&, bool) override {}
    void hasBeenEnterTransModal(SentenceComponent*) override {}
    void reviewSuccessed(SentenceComponent*, bool) override {}
    void reviewFailed(SentenceComponent*) override {}

    int id;
    std::vector<int>& log;
    std::function<void(SentenceComponent&)> onSelected;
};

class SentenceComponentTest : public testing::Test
{
protected:
    SentenceComponentTest() : thumbnail(64, formats, cache), view(thumbnail, 100, 2000)
    {
        view.setBounds(0, 0, 200, 50);
        for (int i = 0; i < 4; ++i)
            listeners.push_back(std::make_unique<RecordingListener>(i, heard));
        for (auto& l : listeners)
            view.addListener(l.get());
    }

    void press(const juce::ModifierKeys& mods)
    {
        const juce::Point<float> where(10.0f, 10.0f);
        const auto now = juce::Time::getCurrentTime();
        juce::MouseEvent event(juce::Desktop::getInstance().getMainMouseSource(), where, mods,
                               juce::MouseInputSource::defaultPressure, 0.0f, 0.0f, 0.0f, 0.0f, &view, &view,
                               now, where, now, 1, false);
        view.mouseDown(event);
    }

    void pressLeft() { press(juce::ModifierKeys(juce::ModifierKeys::leftButtonModifier)); }

    juce::AudioFormatManager formats;
    juce::AudioThumbnailCache cache{1};
    juce::AudioThumbnail thumbnail;
    ThumbSentence view;
    std::vector<int> heard;
    std::vector<std::unique_ptr<RecordingListener>> listeners;
};

TEST_F(SentenceComponentTest, ReportsReachListenersFromTheLastRegisteredToTheFirst)
{
    pressLeft();
    EXPECT_EQ(heard, (std::vector<int>{3, 2, 1, 0}));
}

TEST_F(SentenceComponentTest, ListenerThatRemovesItselfDuringTheCallSkipsAndRepeatsNoOther)
{
    // Each position in the list in turn: the last, a middle one and the first.
    for (const int remover : {3, 1, 0})
    {
        SCOPED_TRACE("listener removing itself: " + std::to_string(remover));
        heard.clear();
        for (auto& l : listeners)
        {
            view.removeListener(l.get());
            l->onSelected = nullptr;
        }
        for (auto& l : listeners)
            view.addListener(l.get());

        auto* self = listeners[(size_t)remover].get();
        self->onSelected = [self](SentenceComponent& v) { v.removeListener(self); };

        pressLeft();
        EXPECT_EQ(heard, (std::vector<int>{3, 2, 1, 0}));

        heard.clear();
        pressLeft();
        std::vector<int> others;
        for (int id = 3; id >= 0; --id)
            if (id != remover)
                others.push_back(id);
        EXPECT_EQ(heard, others);
    }
}

TEST_F(SentenceComponentTest, ListenerThatRemovesItselfAndTheOneBeforeItEndsTheWalkRight)
{
    // The list shrinks by two under the walk: the count read again keeps it inside the list.
    auto* last = listeners[3].get();
    auto* before = listeners[2].get();
    last->onSelected = [last, before](SentenceComponent& v)
    {
        v.removeListener(last);
        v.removeListener(before);
    };

    pressLeft();
    EXPECT_EQ(heard, (std::vector<int>{3, 1, 0}));
}

TEST_F(SentenceComponentTest, OnlyALeftPressSelects)
{
    const struct
    {
        const char* what;
        int mods;
        bool selects;
    } cases[] = {
        {"left button", juce::ModifierKeys::leftButtonModifier, true},
        {"left button with Ctrl", juce::ModifierKeys::leftButtonModifier | juce::ModifierKeys::ctrlModifier,
         true},
        {"right button", juce::ModifierKeys::rightButtonModifier, false},
        {"middle button", juce::ModifierKeys::middleButtonModifier, false},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        heard.clear();
        press(juce::ModifierKeys(c.mods));
        EXPECT_EQ(heard.size(), c.selects ? listeners.size() : 0u);
    }
}

TEST_F(SentenceComponentTest, ViewWithoutListenersIgnoresPresses)
{
    for (auto& l : listeners)
        view.removeListener(l.get());
    pressLeft();
    EXPECT_TRUE(heard.empty());
    EXPECT_FALSE(view.selected);
}

} // namespace
