#include "engine/GlobalData.h"

#include <gtest/gtest.h>
#include <juce_core/juce_core.h>

namespace
{
class GlobalDataTest : public testing::Test
{
protected:
    void TearDown() override
    {
        GlobalData::resetAllRuningGlobalData();
        juce::LocalisedStrings::setCurrentMappings(nullptr);
    }
};

struct TimeTextCase
{
    double seconds;
    const char* centiseconds;
    const char* milliseconds;
};

struct ZoomCase
{
    double zoom;
    double rate;
    int samples;
    int x;
};
} // namespace

TEST_F(GlobalDataTest, TimeTextsRoundBeforeSplittingIntoMinutes)
{
    const TimeTextCase cases[] = {
        {0.0, "0:00.00", "0:00.000"},      {75.456, "1:15.46", "1:15.456"},
        {75.4567, "1:15.46", "1:15.457"},  {59.999, "1:00.00", "0:59.999"},
        {59.9996, "1:00.00", "1:00.000"},  {3600.0, "60:00.00", "60:00.000"},
        {5.004999, "0:05.00", "0:05.005"}, {605.1, "10:05.10", "10:05.100"},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(GlobalData::secondsToCsString(c.seconds), c.centiseconds) << c.seconds;
        EXPECT_EQ(GlobalData::secondsToMsString(c.seconds), c.milliseconds) << c.seconds;
    }
}

TEST_F(GlobalDataTest, HoursTextUsesTranslatedWords)
{
    EXPECT_EQ(GlobalData::secondsToHmsString(3725.0, true), "1 hours 2 minutes 5 seconds");
    EXPECT_EQ(GlobalData::secondsToHmsString(3725.0, false), "1 hours 2 minutes ");
    EXPECT_EQ(GlobalData::secondsToHmsString(59.6, true), "0 hours 1 minutes 0 seconds");

    // The keys keep their blanks; a translation replaces the words between the numbers.
    juce::LocalisedStrings::setCurrentMappings(new juce::LocalisedStrings(
        juce::String::fromUTF8("language: Chinese\n\" hours \" = \"小时\"\n\" minutes \" = \"分\"\n"
                               "\" seconds\" = \"秒\"\n"),
        false));
    EXPECT_EQ(GlobalData::secondsToHmsString(3725.0, true), juce::String::fromUTF8("1小时2分5秒"));
}

TEST_F(GlobalDataTest, OnlySecondsToXRoundsWithItsBias)
{
    EXPECT_EQ(GlobalData::secondsToX(0.0), 0);
    // 0.5 / 70 s lies halfway between pixels 0 and 1 (and 1.5 / 70 between 1 and 2): the bias
    // lifts both over the half, where rounding to even would have gone down for 0.5.
    EXPECT_EQ(GlobalData::secondsToX(0.5 / 70.0), 1);
    EXPECT_EQ(GlobalData::secondsToX(2.5 / 70.0), 3);
    EXPECT_EQ(GlobalData::secondsToX(1.0), 70);

    // The others truncate toward zero.
    EXPECT_EQ(GlobalData::secondsToSamples(0.99999), 44099);
    EXPECT_EQ(GlobalData::xToSamples(1), 630);
    EXPECT_EQ(GlobalData::samplesToX(629), 0);
    EXPECT_DOUBLE_EQ(GlobalData::xToSeconds(35), 0.5);
    EXPECT_DOUBLE_EQ(GlobalData::samplesToSeconds(22050), 0.5);
}

TEST_F(GlobalDataTest, ConversionsFollowZoomAndRate)
{
    const ZoomCase cases[] = {
        {2.0, 44100.0, 44100, 140},
        {1.0, 44100.0, 44100, 70},
        {0.5, 22050.0, 22050, 35},
        {511.99, 44100.0, 44100, 35839},
    };
    for (const auto& c : cases)
    {
        GlobalData::widthZoomFactor = c.zoom;
        GlobalData::courseAudioSampleRate = c.rate;
        EXPECT_EQ(GlobalData::samplesToX(c.samples), c.x) << c.zoom;
        EXPECT_EQ(GlobalData::secondsToX(GlobalData::samplesToSeconds(c.samples)), c.x) << c.zoom;
    }
    GlobalData::widthZoomFactor = 2.0;
    EXPECT_EQ(GlobalData::xToSamples(140), 44100);
}

TEST_F(GlobalDataTest, RoundTripThroughSamplesCanLoseAPixel)
{
    // Both directions truncate: at zoom 1, 47 px is 29610 samples, which is 46.99999 px.
    EXPECT_EQ(GlobalData::xToSamples(47), 29610);
    EXPECT_EQ(GlobalData::samplesToX(29610), 46);
}

TEST_F(GlobalDataTest, ResetRestoresRunningValues)
{
    GlobalData::widthZoomFactor = 17.0;
    GlobalData::courseAudioSampleRate = 8000.0;
    GlobalData::ampFactor = 4.5f;
    GlobalData::resetAllRuningGlobalData();
    EXPECT_EQ(GlobalData::widthZoomFactor, 1.0);
    EXPECT_EQ(GlobalData::courseAudioSampleRate, 44100.0);
    EXPECT_EQ(GlobalData::ampFactor, 1.0f);
}

TEST_F(GlobalDataTest, HelpAndQuestionPagesLieOnTheWebSite)
{
    EXPECT_TRUE(GlobalData::WebSite.endsWithChar('/'));
    EXPECT_EQ(GlobalData::UserHelp, GlobalData::WebSite + "works/qz/userManual.html");
    EXPECT_EQ(GlobalData::UserQuestion, GlobalData::WebSite + "works/qz/faq.html");
}

TEST_F(GlobalDataTest, WebAddressesAreDistinctSecurePages)
{
    const juce::StringArray addresses{GlobalData::WebSite, GlobalData::WebForum, GlobalData::UserHelp,
                                      GlobalData::UserQuestion};
    for (const auto& address : addresses)
    {
        EXPECT_TRUE(address.startsWith("https://")) << address;
        EXPECT_TRUE(juce::URL::isProbablyAWebsiteURL(address)) << address;
    }
    auto unique = addresses;
    unique.removeDuplicates(false);
    EXPECT_EQ(unique.size(), addresses.size());
}
