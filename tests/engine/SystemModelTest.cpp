#include "engine/SystemModel.h"
#include "engine/Clock.h"
#include "engine/Translations.h"
#include "workspace/QzLookAndFeel.h"

#include <gtest/gtest.h>

#include <map>

using juce::String;

namespace
{
enum class Kind
{
    integer,
    flag,
    decimal,
    colour,
    font
};

struct StoredDefault
{
    const char* key;
    Kind kind;
    const char* text;
};

// Every setting with its stored key and its default in stored form, in the order they are written.
const StoredDefault storedDefaults[] = {
    {"Language", Kind::integer, "2"},
    {"IntervalSequence", Kind::integer, "6"},
    {"MaxIntervalDays", Kind::integer, "13"},
    {"ReviewOnNextDay", Kind::flag, "0"},
    {"TransWhenReview", Kind::flag, "1"},
    {"TransFirst", Kind::integer, "1"},
    {"ShowForeignOnInterpret", Kind::flag, "1"},
    {"TimeScaleBgColour", Kind::colour, "ff333333"},
    {"TimeScaleTextColour", Kind::colour, "fff5f5f5"},
    {"StatusbarBgColour", Kind::colour, "ff000000"},
    {"StatusbarTextColour", Kind::colour, "ffcccccc"},
    {"FbRootBgColour", Kind::colour, "ff333333"},
    {"FbRootTextColour", Kind::colour, "fff5f5f5"},
    {"FbListBgColour", Kind::colour, "ff333333"},
    {"FbListTextColour", Kind::colour, "fff5f5f5"},
    {"FbHighlightColour", Kind::colour, "5900ffff"},
    {"FbPlayerBgCOlour", Kind::colour, "ff000000"},
    {"FbPlayerTextColour", Kind::colour, "ffcccccc"},
    {"FbAutoPlay", Kind::flag, "1"},
    {"FbAutoLoop", Kind::flag, "0"},
    {"FbLoopTimes", Kind::integer, "3"},
    {"FbAfterPlay", Kind::integer, "2"},
    {"EffOtherWhenAdjust", Kind::flag, "1"},
    {"AreaThumbColour", Kind::colour, "ff00ffff"},
    {"AreaReviewThumbColour", Kind::colour, "ff7be6a1"},
    {"AreaBgColour", Kind::colour, "ff000000"},
    {"CursorColour", Kind::colour, "ffffffff"},
    {"PagesBgColour", Kind::colour, "ff333333"},
    {"PageThumbColour", Kind::colour, "ff808080"},
    {"PageReviewThumbColour", Kind::colour, "ff3cb371"},
    {"ForeignTextColour", Kind::colour, "ff000000"},
    {"NativeTextColour", Kind::colour, "ff000000"},
    {"PageColour", Kind::colour, "ffeaeaea"},
    {"DotLineColour", Kind::colour, "ff00ff00"},
    {"AreaHighlightColour", Kind::colour, "ccffa500"},
    {"PageHighlightColour", Kind::colour, "4c87cefa"},
    {"PageWidth", Kind::integer, "660"},
    {"PageHeight", Kind::integer, "550"},
    {"PageHorArrange", Kind::flag, "0"},
    {"PageNumberPlace", Kind::integer, "5"},
    {"ForeignFont", Kind::font, "Microsoft YaHei; 26.0 Regular"},
    {"NativeFont", Kind::font, "Microsoft YaHei; 26.0 Regular"},
    {"ForeignFontStyle", Kind::integer, "0"},
    {"NativeFontStyle", Kind::integer, "0"},
    {"DictateInterval", Kind::decimal, "1.0"},
    {"AtLeastUnreview", Kind::integer, "1"},
    {"AtMostWhenReviewWrong", Kind::integer, "2"},
    {"KeepPreviousMobileDir", Kind::integer, "2"},
    {"AutoSplitIntervalMinLength", Kind::decimal, "0.5"},
    {"AutoSplitSentenceMinLength", Kind::decimal, "2.0"},
    {"AutoSplitIntervalMinLevel", Kind::decimal, "-42.0"},
    {"AudioRenderSampleRate", Kind::decimal, "44100.0"},
    {"AudioRenderChanels", Kind::integer, "1"},
    {"AudioRenderQualityLevel", Kind::integer, "6"},
    {"MobNonUnfTimes", Kind::integer, "1"},
    {"MobUnfTimes", Kind::integer, "3"},
    {"MobUnfInterval", Kind::decimal, "0.9"},
    {"MobUnTipSound", Kind::flag, "1"},
};

/** A second, independent view of the settings file, as the framework reads it. */
std::unique_ptr<juce::PropertiesFile> openSettingsFile()
{
    juce::PropertiesFile::Options options;
    options.storageFormat = juce::PropertiesFile::storeAsCompressedBinary;
    return std::make_unique<juce::PropertiesFile>(SystemModel::getSettingsFile(), options);
}

/** Writes texts straight into the settings file before a model reads it. */
void storeInFile(std::initializer_list<std::pair<const char*, const char*>> values)
{
    auto file = openSettingsFile();
    for (auto& [key, text] : values)
        file->setValue(key, text);
    ASSERT_TRUE(file->saveIfNeeded());
}

/** Numbers that the settings allow, each different from its default and from the others. */
const std::map<String, const char*> allowedNumbers{
    {"Language", "3"},
    {"IntervalSequence", "4"},
    {"MaxIntervalDays", "233"},
    {"TransFirst", "2"},
    {"FbLoopTimes", "17"},
    {"FbAfterPlay", "1"},
    {"DictateInterval", "2.25"},
    {"PageWidth", "1230"},
    {"PageHeight", "2470"},
    {"PageNumberPlace", "3"},
    {"ForeignFontStyle", "5"},
    {"NativeFontStyle", "6"},
    {"AtLeastUnreview", "41"},
    {"AtMostWhenReviewWrong", "7"},
    {"KeepPreviousMobileDir", "19"},
    {"AutoSplitIntervalMinLength", "1.25"},
    {"AutoSplitSentenceMinLength", "9.5"},
    {"AutoSplitIntervalMinLevel", "-27.5"},
    {"AudioRenderSampleRate", "22050.0"},
    {"AudioRenderChanels", "2"},
    {"AudioRenderQualityLevel", "8"},
    {"MobNonUnfTimes", "13"},
    {"MobUnfTimes", "29"},
    {"MobUnfInterval", "2.75"},
};

/** A text of the setting's type that differs from its default and, as far as the allowed values
    let it, from every other setting's, so that a key read into or written from the wrong member
    shows. */
String distinctText(const StoredDefault& setting, int index)
{
    switch (setting.kind)
    {
    case Kind::integer:
    case Kind::decimal:
        return allowedNumbers.at(setting.key);
    case Kind::flag:
        return String(setting.text) == "1" ? "0" : "1";
    case Kind::colour:
        return juce::Colour(static_cast<juce::uint32>(0x80102000 + index)).toString();
    case Kind::font:
        return "Serif; " + String(20 + index % 15) + ".5 Bold";
    }
    return {};
}

class SystemModelTest : public testing::Test
{
protected:
    void SetUp() override { SystemModel::getSettingsFile().getParentDirectory().deleteRecursively(); }

    void TearDown() override
    {
        juce::LocalisedStrings::setCurrentMappings(nullptr);
        SystemModel::getSettingsFile().getParentDirectory().deleteRecursively();
    }

    /** Every setting's key in the file holds its default text. */
    static void expectFileHoldsDefaults()
    {
        auto file = openSettingsFile();
        for (auto& setting : storedDefaults)
        {
            EXPECT_TRUE(file->containsKey(setting.key)) << setting.key;
            EXPECT_EQ(file->getValue(setting.key), String(setting.text)) << setting.key;
        }
    }

    QzLookAndFeel lookAndFeel;
};
} // namespace

TEST_F(SystemModelTest, AFreshHomeGivesEveryDefault)
{
    {
        SystemModel model(lookAndFeel);
        EXPECT_EQ(model.language, 2);
        EXPECT_EQ(model.pageWidth, 660);
        EXPECT_FALSE(model.pagesHorArrange);
        EXPECT_TRUE(model.fbAutoPlay);
        EXPECT_EQ(model.fbHighlightColour, juce::Colour(0x5900ffffu));
        EXPECT_EQ(model.pageHighlightColour, juce::Colour(0x4c87cefau));
        EXPECT_EQ(model.autoSplitIntervalMinLevel, -42.0f);
        EXPECT_EQ(model.mobUnfInterval, 0.9);
        EXPECT_EQ(model.foreignFont, model.getDefaultPageTextFont());
        EXPECT_EQ(model.getDefaultPageTextFont().getHeight(), SystemModel::textFontSize);
        EXPECT_EQ(model.getMainWindowState(), "fs 50, 50, 800, 600");
        EXPECT_EQ(model.getAudioDeviceState(), nullptr);
        model.updateSystemAttrib();
    }
    expectFileHoldsDefaults();
}

TEST_F(SystemModelTest, ResetPutsEverySettingBackAndWritesIt)
{
    SystemModel model(lookAndFeel);
    model.pageWidth = 999;
    model.pagesHorArrange = true;
    model.fbPlayerBgColour = juce::Colours::red;
    model.nativeFont = juce::Font("Serif", 40.0f, juce::Font::italic);
    model.autoSplitIntervalMinLevel = -3.0f;
    model.updateSystemAttrib();

    model.resetAllSystemAttrib();

    EXPECT_EQ(model.pageWidth, 660);
    EXPECT_FALSE(model.pagesHorArrange);
    EXPECT_EQ(model.fbPlayerBgColour, juce::Colours::black);
    EXPECT_EQ(model.nativeFont, model.getDefaultPageTextFont());
    EXPECT_EQ(model.autoSplitIntervalMinLevel, -42.0f);
    expectFileHoldsDefaults();
}

TEST_F(SystemModelTest, DefaultsComeTypedAndFontsOrUnknownKeysGiveZero)
{
    SystemModel model(lookAndFeel);
    for (auto& setting : storedDefaults)
    {
        const auto value = model.getDefaultAttrib(setting.key);
        switch (setting.kind)
        {
        case Kind::integer:
            EXPECT_TRUE(value.isInt()) << setting.key;
            break;
        case Kind::flag:
            EXPECT_TRUE(value.isBool()) << setting.key;
            break;
        case Kind::decimal:
            EXPECT_TRUE(value.isDouble()) << setting.key;
            break;
        case Kind::colour:
            EXPECT_TRUE(value.isString()) << setting.key;
            break;
        case Kind::font:
            EXPECT_TRUE(value.isInt()) << setting.key;
            EXPECT_EQ(static_cast<int>(value), 0) << setting.key;
            continue;
        }
        EXPECT_EQ(value.toString(), String(setting.text)) << setting.key;
    }

    EXPECT_EQ(model.getDefaultAttrib("FbPlayerBgCOlour"), juce::var("ff000000"));
    for (auto* key : {"ForeignFont", "NoSuchSetting", "FbPlayerBgColour", "PagesHorArrange"})
    {
        EXPECT_TRUE(model.getDefaultAttrib(key).isInt()) << key;
        EXPECT_EQ(static_cast<int>(model.getDefaultAttrib(key)), 0) << key;
    }
}

TEST_F(SystemModelTest, EverySettingSurvivesTheFileUnderItsOwnKey)
{
    {
        auto file = openSettingsFile();
        for (int i = 0; i < static_cast<int>(std::size(storedDefaults)); ++i)
            file->setValue(storedDefaults[i].key, distinctText(storedDefaults[i], i));
        ASSERT_TRUE(file->saveIfNeeded());
    }
    {
        SystemModel model(lookAndFeel);
        EXPECT_EQ(model.language, 3);
        EXPECT_EQ(model.pageWidth, 1230);
        EXPECT_TRUE(model.pagesHorArrange);
        EXPECT_EQ(model.fbPlayerBgColour, juce::Colour(0x80102010u));
        EXPECT_EQ(model.autoSplitIntervalMinLevel, -27.5f);
        EXPECT_EQ(model.foreignFont, juce::Font("Serif", "Bold", 30.5f));
        // Writing back what was read must give the same texts.
        model.getProperties().clear();
        model.updateSystemAttrib();
    }
    auto file = openSettingsFile();
    for (int i = 0; i < static_cast<int>(std::size(storedDefaults)); ++i)
        EXPECT_EQ(file->getValue(storedDefaults[i].key), distinctText(storedDefaults[i], i))
            << storedDefaults[i].key;
    EXPECT_EQ(file->getAllProperties().size(), static_cast<int>(std::size(storedDefaults)));
}

TEST_F(SystemModelTest, ChangedSettingsAreReadBackByTheNextStart)
{
    {
        SystemModel model(lookAndFeel);
        model.pageHeight = 720;
        model.reviewOnNextDay = true;
        model.dictateInterval = 1.75;
        model.mobUnfInterval = 0.123456789;
        model.cursorColour = juce::Colour(0x0000ff00u);
        model.foreignFont = juce::Font("Serif", 31.5f, juce::Font::bold);
        model.updateSystemAttrib();
    }
    SystemModel model(lookAndFeel);
    EXPECT_EQ(model.pageHeight, 720);
    EXPECT_TRUE(model.reviewOnNextDay);
    EXPECT_EQ(model.dictateInterval, 1.75);
    EXPECT_EQ(model.mobUnfInterval, 0.123456789);
    EXPECT_EQ(model.cursorColour, juce::Colour(0x0000ff00u));
    EXPECT_EQ(model.foreignFont.getTypefaceName(), "Serif");
    EXPECT_EQ(model.foreignFont.getHeight(), 31.5f);
    EXPECT_TRUE(model.foreignFont.isBold());
}

TEST_F(SystemModelTest, StoredTextsReadOnlyAsTheirParseGives)
{
    storeInFile({{"FbAutoPlay", "true"},
                 {"TransWhenReview", "yes"},
                 {"PagesHorArrange", "1"},
                 {"PageWidth", "wide"},
                 {"AreaBgColour", "not a colour"}});
    SystemModel model(lookAndFeel);

    EXPECT_FALSE(model.fbAutoPlay);
    EXPECT_FALSE(model.transWhenReview);
    EXPECT_FALSE(model.pagesHorArrange) << "only the stored key PageHorArrange counts";
    EXPECT_EQ(model.pageWidth, 300) << "what the parse gives (0), brought into the page widths allowed";
    EXPECT_EQ(model.areaBgColour, juce::Colour::fromString("not a colour"));

    model.updateSystemAttrib();
    auto file = openSettingsFile();
    EXPECT_EQ(file->getValue("PageHorArrange"), "0");
    EXPECT_EQ(file->getValue("PagesHorArrange"), "1") << "a foreign key is left alone";
}

TEST_F(SystemModelTest, FirstUsingDateIsWrittenOnceAndKept)
{
    Clock::setFixedTime(juce::Time(2026, 11, 9, 15, 30));
    {
        SystemModel model(lookAndFeel);
    }
    EXPECT_EQ(openSettingsFile()->getValue(SystemModel::FirstUsingDate), "9 Dec 2026");

    Clock::setFixedTime(juce::Time(2027, 0, 12, 8, 0));
    {
        SystemModel model(lookAndFeel);
        model.resetAllSystemAttrib();
    }
    EXPECT_EQ(openSettingsFile()->getValue(SystemModel::FirstUsingDate), "9 Dec 2026");
}

TEST_F(SystemModelTest, StartUpStatesAreLoadedAndPendingChangesWrittenAtTheEnd)
{
    {
        auto file = openSettingsFile();
        juce::XmlElement device("DEVICESETUP");
        device.setAttribute("deviceType", "JACK");
        file->setValue(SystemModel::AudioDeviceState, &device);
        file->setValue(SystemModel::MainWindowState, "100 100 640 480");
        file->setValue(SystemModel::FileBrowseRoot, "/music");
        ASSERT_TRUE(file->saveIfNeeded());
    }
    {
        SystemModel model(lookAndFeel);
        ASSERT_NE(model.getAudioDeviceState(), nullptr);
        EXPECT_EQ(model.getAudioDeviceState()->getStringAttribute("deviceType"), "JACK");
        EXPECT_EQ(model.getKeyMappingState(), nullptr);
        EXPECT_EQ(model.getMainWindowState(), "100 100 640 480");
        EXPECT_EQ(model.getFileBrowseRoot(), "/music");
        // Written straight into the file, as the window does when it closes, without saving.
        model.getProperties().setValue(SystemModel::MainWindowState, "fs 0 0 10 10");
    }
    EXPECT_EQ(openSettingsFile()->getValue(SystemModel::MainWindowState), "fs 0 0 10 10");
}

TEST_F(SystemModelTest, LanguageSwitchesTheInstalledTranslation)
{
    const auto simplified = juce::LocalisedStrings(Translations::trans_cn_h(), true).translate("Ah oh");
    const auto traditional = juce::LocalisedStrings(Translations::trans_tw_h(), true).translate("Ah oh");
    ASSERT_NE(simplified, "Ah oh");
    ASSERT_NE(traditional, simplified);

    SystemModel model(lookAndFeel);
    EXPECT_EQ(TRANS("Ah oh"), simplified) << "the saved language is installed at once";

    model.language = 1;
    model.setAppLanguage();
    EXPECT_EQ(TRANS("Ah oh"), "Ah oh");
    EXPECT_TRUE(model.getInstalledTranslation().isEmpty());

    model.language = 2;
    model.setAppLanguage();
    EXPECT_EQ(TRANS("ah OH"), simplified) << "keys are matched ignoring case";
    model.language = 3;
    model.setAppLanguage();
    EXPECT_EQ(TRANS("Ah oh"), traditional);
    EXPECT_EQ(model.getInstalledTranslation(), Translations::trans_tw_h());

    model.language = 4;
    model.setAppLanguage();
    EXPECT_EQ(TRANS("Ah oh"), traditional) << "an unknown language changes nothing";
}

TEST_F(SystemModelTest, DamagedSettingsFilesFallBackToDefaultsAndAreWrittenAfresh)
{
    // A good file with a changed setting, to cut short below.
    juce::MemoryBlock goodFile;
    {
        SystemModel model(lookAndFeel);
        model.pageWidth = 777;
        model.updateSystemAttrib();
    }
    ASSERT_TRUE(SystemModel::getSettingsFile().loadFileAsData(goodFile));

    struct Damage
    {
        const char* name;
        std::function<void(const juce::File&)> write;
        juce::Array<int> acceptedPageWidths; // the default, or what could still be read
    };
    const Damage damages[] = {
        {"empty", [](const juce::File& f) { f.replaceWithText({}); }, {660}},
        {"truncated",
         [&](const juce::File& f) { f.replaceWithData(goodFile.getData(), goodFile.getSize() / 2); },
         {660, 777}},
        {"plain XML, not compressed",
         [](const juce::File& f)
         {
             f.replaceWithText(
                 "<?xml version=\"1.0\"?><PROPERTIES><VALUE name=\"PageWidth\" val=\"5\"/></PROPERTIES>");
         },
         {300}}, // the framework still reads its own plain form; 5 px is brought to the narrowest page
        {"random bytes",
         [](const juce::File& f)
         {
             juce::MemoryBlock noise(4096);
             juce::Random random(7);
             random.fillBitsRandomly(noise.getData(), noise.getSize());
             f.replaceWithData(noise.getData(), noise.getSize());
         },
         {660}},
    };
    for (const auto& damage : damages)
    {
        const auto file = SystemModel::getSettingsFile();
        damage.write(file);
        {
            SystemModel model(lookAndFeel);
            // A file cut short keeps what was read before the cut; nothing else is taken from it.
            EXPECT_TRUE(damage.acceptedPageWidths.contains(model.pageWidth))
                << damage.name << ": " << model.pageWidth;
            EXPECT_EQ(model.pageHeight, 550) << damage.name;
            EXPECT_EQ(model.language, 2) << damage.name;
            model.updateSystemAttrib();
        }
        // What the next start writes is whole again.
        SystemModel reread(lookAndFeel);
        EXPECT_EQ(reread.pageHeight, 550) << damage.name;
        EXPECT_TRUE(openSettingsFile()->containsKey("PageHorArrange")) << damage.name;
    }
}

TEST_F(SystemModelTest, HandEditedNumbersAreBroughtIntoTheValuesAllowed)
{
    struct Case
    {
        const char* key;
        const char* text;
        std::function<bool(const SystemModel&)> holds;
    };
    const Case cases[] = {
        {"PageWidth", "0", [](auto& m) { return m.pageWidth == 300; }},
        {"PageHeight", "99999", [](auto& m) { return m.pageHeight == 3000; }},
        {"FbLoopTimes", "99999999999999", [](auto& m) { return m.fbLoopTimes == 50; }},
        {"MobUnfTimes", "-2147483649", [](auto& m) { return m.mobUnfTimes == 1; }},
        {"Language", "0", [](auto& m) { return m.language == 1; }},
        {"IntervalSequence", "8", [](auto& m) { return m.intervalSequence == 7; }},
        {"MaxIntervalDays", "100", [](auto& m) { return m.maxIntervalDays == 89; }},
        {"MaxIntervalDays", "-4", [](auto& m) { return m.maxIntervalDays == 3; }},
        {"PageNumberPlace", "-1", [](auto& m) { return m.pageNumberPlace == 0; }},
        {"ForeignFontStyle", "8", [](auto& m) { return m.foreignFontStyle == 7; }},
        {"AtLeastUnreview", "0", [](auto& m) { return m.atLeastUnreview == 1; }},
        {"AtMostWhenReviewWrong", "0", [](auto& m) { return m.atMostWhenReviewWrong == 1; }},
        {"KeepPreviousMobileDir", "-3", [](auto& m) { return m.keepPreviousMobileDir == 0; }},
        {"AudioRenderChanels", "0", [](auto& m) { return m.audioRenderChanels == 1; }},
        {"AudioRenderQualityLevel", "10", [](auto& m) { return m.audioRenderQualityLevel == 9; }},
        {"AudioRenderSampleRate", "0", [](auto& m) { return m.audioRenderSampleRate == 11025.0; }},
        {"AudioRenderSampleRate", "44000.5", [](auto& m) { return m.audioRenderSampleRate == 44100.0; }},
        {"AudioRenderSampleRate", "nan", [](auto& m) { return m.audioRenderSampleRate == 44100.0; }},
        {"DictateInterval", "-1", [](auto& m) { return m.dictateInterval == 0.0; }},
        {"DictateInterval", "1e308", [](auto& m) { return m.dictateInterval == 5.0; }},
        {"AutoSplitIntervalMinLength", "0", [](auto& m) { return m.autoSplitIntervalMinLength == 0.2; }},
        {"AutoSplitSentenceMinLength", "nan", [](auto& m) { return m.autoSplitSentenceMinLength == 2.0; }},
        {"AutoSplitIntervalMinLevel", "0", [](auto& m) { return m.autoSplitIntervalMinLevel == -20.0f; }},
        {"MobUnfInterval", "-0.5", [](auto& m) { return m.mobUnfInterval == 0.0; }},
        {"ForeignFont", "Serif; 500.0 Bold", [](auto& m) { return m.foreignFont.getHeight() == 35.0f; }},
        {"NativeFont", "Serif; 1.0", [](auto& m) { return m.nativeFont.getHeight() == 20.0f; }},
        {"NativeFont", "Serif; 0", [](auto& m) { return m.nativeFont.getHeight() == 20.0f; }},
    };
    for (auto& c : cases)
    {
        storeInFile({{c.key, c.text}});
        SystemModel model(lookAndFeel);
        EXPECT_TRUE(c.holds(model)) << c.key << " = " << c.text;

        // The file keeps what it holds until the settings are next stored.
        EXPECT_EQ(model.getProperties().getValue(c.key), c.text);
        const auto range = SystemModel::getAllowedRange(c.key);
        EXPECT_FALSE(range.isEmpty()) << c.key;
    }
    EXPECT_TRUE(SystemModel::getAllowedRange("AreaBgColour").isEmpty());
    EXPECT_TRUE(SystemModel::getAllowedRange("FbAutoPlay").isEmpty());
}
