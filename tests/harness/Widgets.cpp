#include "harness/Widgets.h"

#include "harness/CommandWatcher.h"

#include <cstdio>
#include <cstdlib>

void Widgets::click(juce::Component& parent, const juce::String& id)
{
    auto& button = byId<juce::Button>(parent, id);
    EXPECT_TRUE(button.isEnabled()) << id << " is disabled";
    button.triggerClick();
    CommandWatcher::deliverPostedMessages();
}

void Widgets::missing(const juce::String& id)
{
    std::fprintf(stderr, "the window has no widget \"%s\"\n", id.toRawUTF8());
    std::abort();
}
