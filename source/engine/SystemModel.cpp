#include "engine/SystemModel.h"

#include "engine/Clock.h"
#include "engine/SafeXml.h"
#include "engine/Translations.h"
#include "workspace/QzLookAndFeel.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <variant>

using juce::Colour;
using juce::Font;
using juce::String;
using juce::var;

const String SystemModel::AudioDeviceState = "AudioDeviceState";
const String SystemModel::UserKeyMapping = "UserKeyMapping";
const String SystemModel::MainWindowState = "MainWindowState";
const String SystemModel::FileBrowseRoot = "FileBrowseRoot";
const String SystemModel::FirstUsingDate = "FirstUsingDate";

const String SystemModel::Language = "Language";
const String SystemModel::StatusbarBgColour = "StatusbarBgColour";
const String SystemModel::StatusbarTextColour = "StatusbarTextColour";
const String SystemModel::FbRootBgColour = "FbRootBgColour";
const String SystemModel::FbRootTextColour = "FbRootTextColour";
const String SystemModel::FbListBgColour = "FbListBgColour";
const String SystemModel::FbListTextColour = "FbListTextColour";
const String SystemModel::FbHighlightColour = "FbHighlightColour";
const String SystemModel::FbPlayerBgColour = "FbPlayerBgCOlour";
const String SystemModel::FbPlayerTextColour = "FbPlayerTextColour";
const String SystemModel::FbAutoPlay = "FbAutoPlay";
const String SystemModel::FbAutoLoop = "FbAutoLoop";
const String SystemModel::FbLoopTimes = "FbLoopTimes";
const String SystemModel::FbAfterPlay = "FbAfterPlay";
const String SystemModel::DictateInterval = "DictateInterval";
const String SystemModel::IntervalSequence = "IntervalSequence";
const String SystemModel::MaxIntervalDays = "MaxIntervalDays";
const String SystemModel::TransWhenReview = "TransWhenReview";
const String SystemModel::TransFirst = "TransFirst";
const String SystemModel::ReviewOnNextDay = "ReviewOnNextDay";
const String SystemModel::ShowForeignOnInterpret = "ShowForeignOnInterpret";
const String SystemModel::TimeScaleBgColour = "TimeScaleBgColour";
const String SystemModel::TimeScaleTextColour = "TimeScaleTextColour";
const String SystemModel::AreaThumbColour = "AreaThumbColour";
const String SystemModel::AreaReviewThumbColour = "AreaReviewThumbColour";
const String SystemModel::AreaBgColour = "AreaBgColour";
const String SystemModel::DotLineColour = "DotLineColour";
const String SystemModel::AreaHighlightColour = "AreaHighlightColour";
const String SystemModel::CursorColour = "CursorColour";
const String SystemModel::EffOtherWhenAdjust = "EffOtherWhenAdjust";
const String SystemModel::PageHighlightColour = "PageHighlightColour";
const String SystemModel::PagesBgColour = "PagesBgColour";
const String SystemModel::PageColour = "PageColour";
const String SystemModel::PageThumbColour = "PageThumbColour";
const String SystemModel::PageReviewThumbColour = "PageReviewThumbColour";
const String SystemModel::PageWidth = "PageWidth";
const String SystemModel::PageHeight = "PageHeight";
const String SystemModel::PagesHorArrange = "PageHorArrange";
const String SystemModel::PageNumberPlace = "PageNumberPlace";
const String SystemModel::ForeignTextColour = "ForeignTextColour";
const String SystemModel::NativeTextColour = "NativeTextColour";
const String SystemModel::ForeignFontStyle = "ForeignFontStyle";
const String SystemModel::NativeFontStyle = "NativeFontStyle";
const String SystemModel::ForeignFont = "ForeignFont";
const String SystemModel::NativeFont = "NativeFont";
const String SystemModel::AtLeastUnreview = "AtLeastUnreview";
const String SystemModel::AtMostWhenReviewWrong = "AtMostWhenReviewWrong";
const String SystemModel::KeepPreviousMobileDir = "KeepPreviousMobileDir";
const String SystemModel::AutoSplitIntervalMinLength = "AutoSplitIntervalMinLength";
const String SystemModel::AutoSplitSentenceMinLength = "AutoSplitSentenceMinLength";
const String SystemModel::AutoSplitIntervalMinLevel = "AutoSplitIntervalMinLevel";
const String SystemModel::AudioRenderSampleRate = "AudioRenderSampleRate";
const String SystemModel::AudioRenderChanels = "AudioRenderChanels";
const String SystemModel::AudioRenderQualityLevel = "AudioRenderQualityLevel";
const String SystemModel::MobNonUnfTimes = "MobNonUnfTimes";
const String SystemModel::MobUnfTimes = "MobUnfTimes";
const String SystemModel::MobUnfInterval = "MobUnfInterval";
const String SystemModel::MobUnTipSound = "MobUnTipSound";

namespace
{
using Member = std::variant<int SystemModel::*, bool SystemModel::*, double SystemModel::*,
                            float SystemModel::*, Colour SystemModel::*, Font SystemModel::*>;

/** The values the preferences offer for a numeric setting (for a font, its height): a range, or
    a few choices when there are any. A value loaded from the file is brought into it, so that the
    rules that divide by a setting, loop on it or allocate by it never see another. */
struct Limits
{
    double low;
    double high;
    std::vector<double> choices{};

    /** The nearest value allowed; the fallback for a value that is no number. */
    double apply(double value, double fallback) const
    {
        if (std::isnan(value))
            return fallback;
        if (choices.empty())
            return juce::jlimit(low, high, value);
        return *std::min_element(choices.begin(), choices.end(),
                                 [value](double a, double b)
                                 { return std::abs(a - value) < std::abs(b - value); });
    }
};

/** One setting: its key, the member that holds it, its default (colours as their stored text;
    void for the fonts, whose default comes from the look and feel) and, for numbers and fonts,
    the values allowed. */
struct Setting
{
    const String& key;
    Member member;
    var defaultValue;
    std::optional<Limits> limits{};
};

const Limits anyPageTextHeight{20.0, 35.0};

/** Every setting in the order in which it is written. */
const std::vector<Setting>& settingsTable()
{
    static const std::vector<Setting> table{
        {SystemModel::Language, &SystemModel::language, 2, Limits{1, 3}},
        {SystemModel::IntervalSequence, &SystemModel::intervalSequence, 6, Limits{1, 7}},
        {SystemModel::MaxIntervalDays, &SystemModel::maxIntervalDays, 13,
         Limits{3, 365, {3, 5, 8, 13, 21, 34, 55, 89, 144, 233, 365}}},
        {SystemModel::ReviewOnNextDay, &SystemModel::reviewOnNextDay, false},
        {SystemModel::TransWhenReview, &SystemModel::transWhenReview, true},
        {SystemModel::TransFirst, &SystemModel::transFirst, 1, Limits{1, 2}},
        {SystemModel::ShowForeignOnInterpret, &SystemModel::showForeignOnInterpret, true},
        {SystemModel::TimeScaleBgColour, &SystemModel::timeScaleBgColour, "ff333333"},
        {SystemModel::TimeScaleTextColour, &SystemModel::timeScaleTextColour, "fff5f5f5"},
        {SystemModel::StatusbarBgColour, &SystemModel::statusbarBgColour, "ff000000"},
        {SystemModel::StatusbarTextColour, &SystemModel::statusbarTextColour, "ffcccccc"},
        {SystemModel::FbRootBgColour, &SystemModel::fbRootBgColour, "ff333333"},
        {SystemModel::FbRootTextColour, &SystemModel::fbRootTextColour, "fff5f5f5"},
        {SystemModel::FbListBgColour, &SystemModel::fbListBgColour, "ff333333"},
        {SystemModel::FbListTextColour, &SystemModel::fbListTextColour, "fff5f5f5"},
        {SystemModel::FbHighlightColour, &SystemModel::fbHighlightColour, "5900ffff"},
        {SystemModel::FbPlayerBgColour, &SystemModel::fbPlayerBgColour, "ff000000"},
        {SystemModel::FbPlayerTextColour, &SystemModel::fbPlayerTextColour, "ffcccccc"},
        {SystemModel::FbAutoPlay, &SystemModel::fbAutoPlay, true},
        {SystemModel::FbAutoLoop, &SystemModel::fbAutoLoop, false},
        {SystemModel::FbLoopTimes, &SystemModel::fbLoopTimes, 3, Limits{1, 50}},
        {SystemModel::FbAfterPlay, &SystemModel::fbAfterPlay, 2, Limits{1, 2}},
        {SystemModel::EffOtherWhenAdjust, &SystemModel::effOtherWhenAdjust, true},
        {SystemModel::AreaThumbColour, &SystemModel::areaThumbColour, "ff00ffff"},
        {SystemModel::AreaReviewThumbColour, &SystemModel::areaReviewThumbColour, "ff7be6a1"},
        {SystemModel::AreaBgColour, &SystemModel::areaBgColour, "ff000000"},
        {SystemModel::CursorColour, &SystemModel::cursorColour, "ffffffff"},
        {SystemModel::PagesBgColour, &SystemModel::pagesBgColour, "ff333333"},
        {SystemModel::PageThumbColour, &SystemModel::pageThumbColour, "ff808080"},
        {SystemModel::PageReviewThumbColour, &SystemModel::pageReviewThumbColour, "ff3cb371"},
        {SystemModel::ForeignTextColour, &SystemModel::foreignTextColour, "ff000000"},
        {SystemModel::NativeTextColour, &SystemModel::nativeTextColour, "ff000000"},
        {SystemModel::PageColour, &SystemModel::pageColour, "ffeaeaea"},
        {SystemModel::DotLineColour, &SystemModel::dotLineColour, "ff00ff00"},
        {SystemModel::AreaHighlightColour, &SystemModel::areaHighlightColour, "ccffa500"},
        {SystemModel::PageHighlightColour, &SystemModel::pageHighlightColour, "4c87cefa"},
        {SystemModel::PageWidth, &SystemModel::pageWidth, 660, Limits{300, 1800}},
        {SystemModel::PageHeight, &SystemModel::pageHeight, 550, Limits{200, 3000}},
        {SystemModel::PagesHorArrange, &SystemModel::pagesHorArrange, false},
        {SystemModel::PageNumberPlace, &SystemModel::pageNumberPlace, 5, Limits{0, 6}},
        {SystemModel::ForeignFont, &SystemModel::foreignFont, {}, anyPageTextHeight},
        {SystemModel::NativeFont, &SystemModel::nativeFont, {}, anyPageTextHeight},
        {SystemModel::ForeignFontStyle, &SystemModel::foreignFontStyle, 0, Limits{0, 7}},
        {SystemModel::NativeFontStyle, &SystemModel::nativeFontStyle, 0, Limits{0, 7}},
        {SystemModel::DictateInterval, &SystemModel::dictateInterval, 1.0, Limits{0.0, 5.0}},
        {SystemModel::AtLeastUnreview, &SystemModel::atLeastUnreview, 1, Limits{1, 50}},
        {SystemModel::AtMostWhenReviewWrong, &SystemModel::atMostWhenReviewWrong, 2, Limits{1, 10}},
        {SystemModel::KeepPreviousMobileDir, &SystemModel::keepPreviousMobileDir, 2, Limits{0, 30}},
        {SystemModel::AutoSplitIntervalMinLength, &SystemModel::autoSplitIntervalMinLength, 0.5,
         Limits{0.2, 2.0}},
        {SystemModel::AutoSplitSentenceMinLength, &SystemModel::autoSplitSentenceMinLength, 2.0,
         Limits{0.5, 12.0}},
        {SystemModel::AutoSplitIntervalMinLevel, &SystemModel::autoSplitIntervalMinLevel, -42.0,
         Limits{-70.0, -20.0}},
        {SystemModel::AudioRenderSampleRate, &SystemModel::audioRenderSampleRate, 44100.0,
         Limits{11025, 96000, {11025, 22050, 44100, 48000, 96000}}},
        {SystemModel::AudioRenderChanels, &SystemModel::audioRenderChanels, 1, Limits{1, 2}},
        {SystemModel::AudioRenderQualityLevel, &SystemModel::audioRenderQualityLevel, 6, Limits{1, 9}},
        {SystemModel::MobNonUnfTimes, &SystemModel::mobNonUnfTimes, 1, Limits{1, 20}},
        {SystemModel::MobUnfTimes, &SystemModel::mobUnfTimes, 3, Limits{1, 30}},
        {SystemModel::MobUnfInterval, &SystemModel::mobUnfInterval, 0.9, Limits{0.0, 3.0}},
        {SystemModel::MobUnTipSound, &SystemModel::mobUnTipSound, true},
    };
    return table;
}

/** The writing order, except that the root selector's text colour is read before its background
    colour. */
std::vector<const Setting*> loadingOrder()
{
    std::vector<const Setting*> order;
    for (auto& setting : settingsTable())
        order.push_back(&setting);

    auto find = [&order](const String& key)
    { return std::find_if(order.begin(), order.end(), [&key](const Setting* s) { return s->key == key; }); };
    std::iter_swap(find(SystemModel::FbRootBgColour), find(SystemModel::FbRootTextColour));
    return order;
}

bool isFont(const Setting& setting)
{
    return std::holds_alternative<Font SystemModel::*>(setting.member);
}

/** The default in its stored text form. */
String defaultText(const Setting& setting, const Font& pageTextFont)
{
    return isFont(setting) ? pageTextFont.toString() : setting.defaultValue.toString();
}

const Setting* findSetting(const String& key)
{
    for (auto& setting : settingsTable())
        if (setting.key == key)
            return &setting;
    return nullptr;
}

/** The stored text forms: decimal ints and doubles, flags "1"/"0" (only "1" reads as true),
    colours as ARGB hex, fonts as the framework font's text. */
struct TextForm
{
    static var of(int value) { return value; }
    static var of(bool value) { return value; }
    static var of(double value) { return value; }
    static var of(float value) { return static_cast<double>(value); }
    static var of(const Colour& value) { return value.toString(); }
    static var of(const Font& value) { return value.toString(); }

    static void parse(int& value, const String& text)
    {
        // Read wide, so that a huge number is held as the largest int rather than wrapped round.
        value = static_cast<int>(juce::jlimit<juce::int64>(
            std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), text.getLargeIntValue()));
    }
    static void parse(bool& value, const String& text) { value = text == "1"; }
    static void parse(double& value, const String& text) { value = text.getDoubleValue(); }
    static void parse(float& value, const String& text) { value = static_cast<float>(text.getDoubleValue()); }
    static void parse(Colour& value, const String& text) { value = Colour::fromString(text); }
    static void parse(Font& value, const String& text) { value = Font::fromString(text); }
};

/** Brings a loaded value into the values its setting allows. */
struct Limited
{
    static void apply(int& value, const Limits& limits, const var& fallback)
    {
        value = static_cast<int>(limits.apply(value, fallback));
    }
    static void apply(double& value, const Limits& limits, const var& fallback)
    {
        value = limits.apply(value, fallback);
    }
    static void apply(float& value, const Limits& limits, const var& fallback)
    {
        value = static_cast<float>(limits.apply(value, fallback));
    }
    static void apply(Font& value, const Limits& limits, const var&)
    {
        value =
            value.withHeight(static_cast<float>(limits.apply(value.getHeight(), SystemModel::textFontSize)));
    }
    static void apply(bool&, const Limits&, const var&) {}
    static void apply(Colour&, const Limits&, const var&) {}
};

/** The settings file, once a damaged one that the framework would read as XML and that its XML
    parser can't take (see SafeXml) is gone: it could not be read, and the defaults take its place
    at the next save anyway. The binary forms the framework writes begin with their magic number. */
juce::File checkedSettingsFile(const juce::File& file)
{
    juce::MemoryBlock bytes;
    if (!file.existsAsFile() || !file.loadFileAsData(bytes) || bytes.getSize() < 4)
        return file;
    const auto magic = juce::ByteOrder::littleEndianInt(bytes.getData());
    const bool binary = magic == juce::ByteOrder::littleEndianInt("PROP") ||
                        magic == juce::ByteOrder::littleEndianInt("CPRP");
    if (!binary && !SafeXml::isParsable(bytes.getData(), bytes.getSize()))
        file.deleteFile();
    return file;
}

juce::PropertiesFile::Options settingsFileOptions()
{
    juce::PropertiesFile::Options options;
    options.storageFormat = juce::PropertiesFile::storeAsCompressedBinary;
    return options;
}
} // namespace

juce::File SystemModel::getSettingsFile()
{
    return juce::File::getSpecialLocation(juce::File::userDocumentsDirectory)
        .getChildFile("qz/library/system.dat");
}

SystemModel::SystemModel(QzLookAndFeel& lookAndFeelToUse)
    : properties(std::make_unique<juce::PropertiesFile>(checkedSettingsFile(getSettingsFile()),
                                                        settingsFileOptions())),
      lookAndFeel(lookAndFeelToUse)
{
    // The first day of use is kept for the statistics and never changes afterwards.
    if (properties->getValue(FirstUsingDate).isEmpty())
        properties->setValue(FirstUsingDate, Clock::now().toString(true, false));

    audioDeviceState = SafeXml::parse(properties->getValue(AudioDeviceState));
    keyMappingState = SafeXml::parse(properties->getValue(UserKeyMapping));
    mainWindowState = properties->getValue(MainWindowState, "fs 50, 50, 800, 600");
    fileBrowseRoot = properties->getValue(FileBrowseRoot);

    initSystemVar();
    setAppLanguage();
}

SystemModel::~SystemModel()
{
    // Deleting the properties file writes any pending change.
    properties.reset();
}

void SystemModel::initSystemVar()
{
    for (auto* setting : loadingOrder())
    {
        const auto text = properties->getValue(setting->key, defaultText(*setting, getDefaultPageTextFont()));
        std::visit([this, &text](auto member) { TextForm::parse(this->*member, text); }, setting->member);
        if (setting->limits)
            std::visit([this, setting](auto member)
                       { Limited::apply(this->*member, *setting->limits, setting->defaultValue); },
                       setting->member);
    }
}

void SystemModel::updateSystemAttrib()
{
    for (auto& setting : settingsTable())
        std::visit([this, &setting](auto member)
                   { properties->setValue(setting.key, TextForm::of(this->*member)); },
                   setting.member);
    properties->saveIfNeeded();
}

void SystemModel::resetAllSystemAttrib()
{
    for (auto& setting : settingsTable())
    {
        // Fonts are set as built: their text form doesn't keep every detail of the font.
        if (auto fontMember = std::get_if<Font SystemModel::*>(&setting.member))
            this->*(*fontMember) = getDefaultPageTextFont();
        else
            std::visit([this, &setting](auto member)
                       { TextForm::parse(this->*member, setting.defaultValue.toString()); },
                       setting.member);
    }
    updateSystemAttrib();
}

var SystemModel::getDefaultAttrib(const String& key) const
{
    auto* setting = findSetting(key);
    if (setting == nullptr || isFont(*setting))
        return 0;
    return setting->defaultValue;
}

juce::Range<double> SystemModel::getAllowedRange(const String& key)
{
    auto* setting = findSetting(key);
    if (setting == nullptr || !setting->limits)
        return {};
    return {setting->limits->low, setting->limits->high};
}

Font SystemModel::getDefaultPageTextFont() const
{
    return lookAndFeel.getAppFont().withHeight(textFontSize).withStyle(Font::plain);
}

void SystemModel::setAppLanguage()
{
    switch (language)
    {
    case 1:
        installedTranslation.clear();
        juce::LocalisedStrings::setCurrentMappings(nullptr);
        break;
    case 2:
        installedTranslation = Translations::trans_cn_h();
        juce::LocalisedStrings::setCurrentMappings(new juce::LocalisedStrings(installedTranslation, true));
        break;
    case 3:
        installedTranslation = Translations::trans_tw_h();
        juce::LocalisedStrings::setCurrentMappings(new juce::LocalisedStrings(installedTranslation, true));
        break;
    default:
        break;
    }
}
