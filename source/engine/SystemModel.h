#pragma once

#include <juce_data_structures/juce_data_structures.h>
#include <juce_graphics/juce_graphics.h>

class QzLookAndFeel;

/** The settings object: owns the settings file, holds every setting as a typed member that the
    other parts read (and the preferences write) directly, loads, saves and resets them, and
    installs the interface language.

    Each settings key is a static member named as the key; two of them hold a stored text that
    differs from their name (FbPlayerBgColour, PagesHorArrange) because files already written
    use those texts. */
class SystemModel
{
public:
    // Keys that are not settings: states restored at start-up and the first day of use.
    static const juce::String AudioDeviceState;
    static const juce::String UserKeyMapping;
    static const juce::String MainWindowState;
    static const juce::String FileBrowseRoot;
    static const juce::String FirstUsingDate;

    // The settings' keys.
    static const juce::String Language;
    static const juce::String StatusbarBgColour;
    static const juce::String StatusbarTextColour;
    static const juce::String FbRootBgColour;
    static const juce::String FbRootTextColour;
    static const juce::String FbListBgColour;
    static const juce::String FbListTextColour;
    static const juce::String FbHighlightColour;
    static const juce::String FbPlayerBgColour;
    static const juce::String FbPlayerTextColour;
    static const juce::String FbAutoPlay;
    static const juce::String FbAutoLoop;
    static const juce::String FbLoopTimes;
    static const juce::String FbAfterPlay;
    static const juce::String DictateInterval;
    static const juce::String IntervalSequence;
    static const juce::String MaxIntervalDays;
    static const juce::String TransWhenReview;
    static const juce::String TransFirst;
    static const juce::String ReviewOnNextDay;
    static const juce::String ShowForeignOnInterpret;
    static const juce::String TimeScaleBgColour;
    static const juce::String TimeScaleTextColour;
    static const juce::String AreaThumbColour;
    static const juce::String AreaReviewThumbColour;
    static const juce::String AreaBgColour;
    static const juce::String DotLineColour;
    static const juce::String AreaHighlightColour;
    static const juce::String CursorColour;
    static const juce::String EffOtherWhenAdjust;
    static const juce::String PageHighlightColour;
    static const juce::String PagesBgColour;
    static const juce::String PageColour;
    static const juce::String PageThumbColour;
    static const juce::String PageReviewThumbColour;
    static const juce::String PageWidth;
    static const juce::String PageHeight;
    static const juce::String PagesHorArrange;
    static const juce::String PageNumberPlace;
    static const juce::String ForeignTextColour;
    static const juce::String NativeTextColour;
    static const juce::String ForeignFontStyle;
    static const juce::String NativeFontStyle;
    static const juce::String ForeignFont;
    static const juce::String NativeFont;
    static const juce::String AtLeastUnreview;
    static const juce::String AtMostWhenReviewWrong;
    static const juce::String KeepPreviousMobileDir;
    static const juce::String AutoSplitIntervalMinLength;
    static const juce::String AutoSplitSentenceMinLength;
    static const juce::String AutoSplitIntervalMinLevel;
    static const juce::String AudioRenderSampleRate;
    static const juce::String AudioRenderChanels;
    static const juce::String AudioRenderQualityLevel;
    static const juce::String MobNonUnfTimes;
    static const juce::String MobUnfTimes;
    static const juce::String MobUnfInterval;
    static const juce::String MobUnTipSound;

    /** Default height of the page texts. */
    static constexpr float textFontSize = 26.0f;

    explicit SystemModel(QzLookAndFeel& lookAndFeel);
    ~SystemModel();

    /** "qz/library/system.dat" under the user's documents folder. */
    static juce::File getSettingsFile();

    juce::PropertiesFile& getProperties() { return *properties; }

    /** The saved audio device state, null when none was saved. */
    const juce::XmlElement* getAudioDeviceState() const { return audioDeviceState.get(); }
    const juce::XmlElement* getKeyMappingState() const { return keyMappingState.get(); }
    const juce::String& getMainWindowState() const { return mainWindowState; }
    const juce::String& getFileBrowseRoot() const { return fileBrowseRoot; }

    /** Reads every setting from the settings file; absent keys give their defaults, and a number
        outside the values its preferences row offers is brought to the nearest one (a value that
        is not a number gives the default). */
    void initSystemVar();
    /** Writes every setting into the settings file and saves it at once. */
    void updateSystemAttrib();
    /** Puts every setting back to its default and saves. The language is not reinstalled here:
        the caller does that when it applies the new settings. */
    void resetAllSystemAttrib();

    /** The default of one setting: an int, a bool or a double, and a colour's stored text. Fonts
        and unknown keys give the int 0. */
    juce::var getDefaultAttrib(const juce::String& key) const;
    /** The lowest and highest value the preferences allow for a numeric setting (for a page
        font, its height); empty for any other key. Loading brings every such setting into its
        range, so the parts that read them can rely on it. */
    static juce::Range<double> getAllowedRange(const juce::String& key);
    /** The application font at textFontSize, plain: the default of both page text fonts. */
    juce::Font getDefaultPageTextFont() const;

    /** Installs the interface language named by the language setting: 1 English (no
        translation), 2 Simplified Chinese, 3 Traditional Chinese; other values change nothing. */
    void setAppLanguage();

    // Usage statistics, kept in the settings file.
    static const juce::String TotalLearnTime;
    static const juce::String TotalReviewTime;
    static const juce::String TotalReviewSentences;

    /** Starts the usage stopwatch; one already running restarts without being counted. */
    void startTiming();
    /** Adds the running time to the learning (true) or review total; nothing when none runs. */
    void stopTiming(bool learning);
    void reviewSentenceAddOne();
    /** Never goes below 0. */
    void reviewSentenceMinusOne();
    /** The statistics message box. */
    void popStatisticsWindow();
    /** Its title and text, as the box shows them. */
    juce::String getStatisticsTitle() const;
    juce::String getStatisticsText() const;

    /** The translation text installed last; empty while the texts are shown in English. */
    const juce::String& getInstalledTranslation() const { return installedTranslation; }

private:
    std::unique_ptr<juce::XmlElement> audioDeviceState;
    std::unique_ptr<juce::XmlElement> keyMappingState;
    juce::String mainWindowState;
    juce::String fileBrowseRoot;

public:
    // The settings, read and written directly by the parts that use them.
    int language{};
    juce::Colour statusbarBgColour{};
    juce::Colour statusbarTextColour{};
    juce::Colour fbRootBgColour{};
    juce::Colour fbRootTextColour{};
    juce::Colour fbListBgColour{};
    juce::Colour fbListTextColour{};
    juce::Colour fbHighlightColour{};
    juce::Colour fbPlayerBgColour{};
    juce::Colour fbPlayerTextColour{};
    bool fbAutoPlay{};
    bool fbAutoLoop{};
    int fbLoopTimes{};
    int fbAfterPlay{};
    double dictateInterval{};
    int intervalSequence{};
    int maxIntervalDays{};
    bool transWhenReview{};
    int transFirst{};
    bool reviewOnNextDay{};
    bool showForeignOnInterpret{};
    juce::Colour timeScaleBgColour{};
    juce::Colour timeScaleTextColour{};
    juce::Colour areaThumbColour{};
    juce::Colour areaReviewThumbColour{};
    juce::Colour areaBgColour{};
    juce::Colour dotLineColour{};
    juce::Colour areaHighlightColour{};
    juce::Colour cursorColour{};
    bool effOtherWhenAdjust{};
    juce::Colour pageHighlightColour{};
    juce::Colour pagesBgColour{};
    juce::Colour pageColour{};
    juce::Colour pageThumbColour{};
    juce::Colour pageReviewThumbColour{};
    int pageWidth{};
    int pageHeight{};
    bool pagesHorArrange{};
    int pageNumberPlace{};
    juce::Colour foreignTextColour{};
    juce::Colour nativeTextColour{};
    int foreignFontStyle{};
    int nativeFontStyle{};
    juce::Font foreignFont{};
    juce::Font nativeFont{};
    int atLeastUnreview{};
    int atMostWhenReviewWrong{};
    int keepPreviousMobileDir{};
    double autoSplitIntervalMinLength{};
    double autoSplitSentenceMinLength{};
    float autoSplitIntervalMinLevel{};
    double audioRenderSampleRate{};
    int audioRenderChanels{};
    int audioRenderQualityLevel{};
    int mobNonUnfTimes{};
    int mobUnfTimes{};
    double mobUnfInterval{};
    bool mobUnTipSound{};

private:
    std::unique_ptr<juce::PropertiesFile> properties;
    juce::String installedTranslation;
    QzLookAndFeel& lookAndFeel;

    // The running usage stopwatch: the millisecond counter at its start, and whether it runs.
    juce::uint32 timingStart = 0;
    bool timing = false;

    JUCE_DECLARE_NON_COPYABLE(SystemModel)
};
