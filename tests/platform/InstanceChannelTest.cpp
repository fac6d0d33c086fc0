#include "platform/InstanceChannel.h"

#include <gtest/gtest.h>

namespace
{
juce::String uniqueName()
{
    return "qz-test-channel-" + juce::String(juce::Time::currentTimeMillis()) + "-" +
           juce::String(juce::Random::getSystemRandom().nextInt());
}

bool pumpUntil(const std::function<bool()>& done, int timeoutMs = 3000)
{
    const auto end = juce::Time::getMillisecondCounter() + juce::uint32(timeoutMs);
    while (!done() && juce::Time::getMillisecondCounter() < end)
        juce::MessageManager::getInstance()->runDispatchLoopUntil(10);
    return done();
}
} // namespace

TEST(InstanceChannel, SecondStartReachesTheRunningInstanceOnTheMessageThread)
{
    const auto name = uniqueName();
    juce::StringArray received;
    bool onMessageThread = false;
    InstanceChannel running(name, [&](const juce::String& message) {
        onMessageThread = juce::MessageManager::getInstance()->isThisTheMessageThread();
        received.add(message);
    });
    ASSERT_TRUE(running.isListening());

    EXPECT_TRUE(InstanceChannel::tellRunningInstance(name, "started"));
    EXPECT_TRUE(InstanceChannel::tellRunningInstance(name, juce::String::fromUTF8("再次 started")));
    ASSERT_TRUE(pumpUntil([&] { return received.size() == 2; }));
    EXPECT_EQ(received[0], "started");
    EXPECT_EQ(received[1], juce::String::fromUTF8("再次 started"));
    EXPECT_TRUE(onMessageThread);
}

TEST(InstanceChannel, OnlyOneListenerPerNameAndNoneAfterItEnds)
{
    const auto name = uniqueName();
    EXPECT_FALSE(InstanceChannel::tellRunningInstance(name, "started"));
    {
        InstanceChannel first(name, [](const juce::String&) {});
        InstanceChannel second(name, [](const juce::String&) {});
        EXPECT_TRUE(first.isListening());
        EXPECT_FALSE(second.isListening());
    }
    // The name is free again as soon as the listener is gone: nothing stale is left behind.
    EXPECT_FALSE(InstanceChannel::tellRunningInstance(name, "started"));
    InstanceChannel again(name, [](const juce::String&) {});
    EXPECT_TRUE(again.isListening());
}
