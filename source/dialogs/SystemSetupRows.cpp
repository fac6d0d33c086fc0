#include "dialogs/SystemSetupRows.h"

using Row = SystemSetupRow;
using Widget = SystemSetupRow::Widget;
using Items = std::vector<SystemSetupRow::Item>;
using M = SystemModel;

namespace
{
// The texts are translated when the panel shows them; NEEDS_TRANS marks them for the
// translation texts.
Row heading(const char* label)
{
    Row row{label};
    row.hasDefaultButton = false;
    return row;
}

/** Every colour shows on the main window, so every colour row is live. */
Row swatch(const char* label, juce::Colour M::*member, const juce::String& key)
{
    Row row{label, Widget::swatch, member, &key, true};
    return row;
}

Row choice(const char* label, Row::Member member, Items items, bool live, int defaultId, int offset = 0)
{
    Row row{label, Widget::combo, member, nullptr, live, std::move(items)};
    row.offset = offset;
    row.defaultValue = defaultId;
    return row;
}

Row yesNo(const char* label, bool M::*member, bool live, int defaultId)
{
    return choice(label, member, {{NEEDS_TRANS("Yes"), 1}, {NEEDS_TRANS("No"), 2}}, live, defaultId);
}

/** Items that are numbers or units, shown as they are in every language. */
Row numbers(const char* label, Row::Member member, Items items, int defaultId)
{
    auto row = choice(label, member, std::move(items), false, defaultId);
    row.translatedItems = false;
    return row;
}

Row slider(const char* label, Row::Member member, const juce::String& key, double interval,
           const char* suffix, bool live, double defaultValue, double scale = 1.0)
{
    Row row{label, Widget::slider, member, &key, live};
    row.interval = interval;
    row.suffix = suffix;
    row.scale = scale;
    row.defaultValue = defaultValue;
    return row;
}

/** The face of a page font; its items are the installed typefaces. */
Row face(const char* label, juce::Font M::*member)
{
    Row row{label, Widget::combo, member, nullptr, true};
    row.translatedItems = false;
    return row;
}

/** The style of a page text: stored on its own, applied by whoever draws the text. "Default" on
    the face row restores it, so it has no button of its own. */
Row style(const char* label, int M::*member)
{
    auto row = choice(label, member,
                      {{NEEDS_TRANS("Plain"), 1},
                       {NEEDS_TRANS("Bold"), 2},
                       {NEEDS_TRANS("Italic"), 3},
                       {NEEDS_TRANS("Bold + Italic"), 4},
                       {NEEDS_TRANS("Underlined "), 5},
                       {NEEDS_TRANS("Bold + Underlined "), 6},
                       {NEEDS_TRANS("Italic + Underlined "), 7},
                       {NEEDS_TRANS("Bold + Italic + Underlined "), 8}},
                      true, 1, 1);
    row.hasDefaultButton = false;
    return row;
}

/** The height of a page font, restored by "Default" on the face row. */
Row size(const char* label, juce::Font M::*member, const juce::String& key)
{
    auto row = slider(label, member, key, 1.0, " px", true, SystemModel::textFontSize);
    row.hasDefaultButton = false;
    return row;
}

Items dayNumbers()
{
    Items items;
    for (auto* days : {"3", "5", "8", "13", "21", "34", "55", "89", "144", "233", "365"})
        items.push_back({days, juce::String(days).getIntValue()});
    return items;
}

Items qualityLevels()
{
    Items items;
    for (auto* level : {"1", "2", "3", "4", "5", "6", "7", "8", "9"})
        items.push_back({level, juce::String(level).getIntValue()});
    return items;
}

std::vector<Row> makeRows()
{
    return {
        heading(NEEDS_TRANS("Interface")),
        choice(NEEDS_TRANS("Interface language"), &M::language,
               {{NEEDS_TRANS("English"), 1},
                {NEEDS_TRANS("Simplified Chinese"), 2},
                {NEEDS_TRANS("Traditional Chinese"), 3}},
               true, 2),
        swatch(NEEDS_TRANS("Background colour of statusbar"), &M::statusbarBgColour, M::StatusbarBgColour),
        swatch(NEEDS_TRANS("Text colour of statusbar"), &M::statusbarTextColour, M::StatusbarTextColour),
        swatch(NEEDS_TRANS("Background colour of time scale"), &M::timeScaleBgColour, M::TimeScaleBgColour),
        swatch(NEEDS_TRANS("Text and scale line colour of time scale"), &M::timeScaleTextColour,
               M::TimeScaleTextColour),

        heading(NEEDS_TRANS("Audio thumbnail area")),
        swatch(NEEDS_TRANS("Background colour of waveform"), &M::areaBgColour, M::AreaBgColour),
        swatch(NEEDS_TRANS("Colour of normal waveform"), &M::areaThumbColour, M::AreaThumbColour),
        swatch(NEEDS_TRANS("Colour of unfamiliar waveform"), &M::areaReviewThumbColour,
               M::AreaReviewThumbColour),
        swatch(NEEDS_TRANS("Colour of thumbnail highlight"), &M::areaHighlightColour, M::AreaHighlightColour),
        swatch(NEEDS_TRANS("Colour of dash line between sentences"), &M::dotLineColour, M::DotLineColour),
        swatch(NEEDS_TRANS("Colour of play cursor"), &M::cursorColour, M::CursorColour),
        yesNo(NEEDS_TRANS("Affect previous/next when adjust a sentence's start/end"), &M::effOtherWhenAdjust,
              false, 1),

        heading(NEEDS_TRANS("Pages area and page")),
        swatch(NEEDS_TRANS("Background colour of pages area"), &M::pagesBgColour, M::PagesBgColour),
        choice(NEEDS_TRANS("Pages arrange style"), &M::pagesHorArrange,
               {{NEEDS_TRANS("Horizontal"), 1}, {NEEDS_TRANS("Vertical"), 2}}, true, 2),
        swatch(NEEDS_TRANS("Background colour of each page"), &M::pageColour, M::PageColour),
        slider(NEEDS_TRANS("Width of each page"), &M::pageWidth, M::PageWidth, 10.0, " px", true, 660.0),
        slider(NEEDS_TRANS("Height of each page"), &M::pageHeight, M::PageHeight, 10.0, " px", true, 550.0),
        choice(NEEDS_TRANS("Page number place"), &M::pageNumberPlace,
               {{NEEDS_TRANS("None"), 1},
                {NEEDS_TRANS("Top left"), 2},
                {NEEDS_TRANS("Top center"), 3},
                {NEEDS_TRANS("Top right"), 4},
                {NEEDS_TRANS("Bottom left"), 5},
                {NEEDS_TRANS("Bottom center"), 6},
                {NEEDS_TRANS("Bottom right"), 7}},
               true, 6, 1),

        heading(NEEDS_TRANS("Page sentences")),
        swatch(NEEDS_TRANS("Colour of normal waveform of page"), &M::pageThumbColour, M::PageThumbColour),
        swatch(NEEDS_TRANS("Colour of unfamiliar waveform of page"), &M::pageReviewThumbColour,
               M::PageReviewThumbColour),
        swatch(NEEDS_TRANS("Colour of page sentence highlight"), &M::pageHighlightColour,
               M::PageHighlightColour),
        swatch(NEEDS_TRANS("Foreign text colour of page"), &M::foreignTextColour, M::ForeignTextColour),
        face(NEEDS_TRANS("Font of foreign text"), &M::foreignFont),
        style(NEEDS_TRANS("Style of foreign text"), &M::foreignFontStyle),
        size(NEEDS_TRANS("Foreign text size of page"), &M::foreignFont, M::ForeignFont),
        swatch(NEEDS_TRANS("Native text colour of page"), &M::nativeTextColour, M::NativeTextColour),
        face(NEEDS_TRANS("Font of native text"), &M::nativeFont),
        style(NEEDS_TRANS("Style of native text"), &M::nativeFontStyle),
        size(NEEDS_TRANS("Native text size of page"), &M::nativeFont, M::NativeFont),
        slider(NEEDS_TRANS("Interval percent when dictate of learning"), &M::dictateInterval,
               M::DictateInterval, 5.0, "%", false, 100.0, 100.0),

        heading(NEEDS_TRANS("File browser panel")),
        yesNo(NEEDS_TRANS("Auto play when a file selected"), &M::fbAutoPlay, false, 1),
        yesNo(NEEDS_TRANS("Whether play loop the selected file"), &M::fbAutoLoop, false, 2),
        slider(NEEDS_TRANS("Loop times"), &M::fbLoopTimes, M::FbLoopTimes, 1.0, "", false, 3.0),
        choice(NEEDS_TRANS("After play"), &M::fbAfterPlay,
               {{NEEDS_TRANS("Stop"), 1}, {NEEDS_TRANS("Play next file"), 2}}, false, 2),
        swatch(NEEDS_TRANS("Background colour of root selector"), &M::fbRootBgColour, M::FbRootBgColour),
        swatch(NEEDS_TRANS("Text colour of root selector"), &M::fbRootTextColour, M::FbRootTextColour),
        swatch(NEEDS_TRANS("Background colour of files list area"), &M::fbListBgColour, M::FbListBgColour),
        swatch(NEEDS_TRANS("Text colour of files list area"), &M::fbListTextColour, M::FbListTextColour),
        swatch(NEEDS_TRANS("Highlight colour of the selected file"), &M::fbHighlightColour,
               M::FbHighlightColour),
        swatch(NEEDS_TRANS("Background colour of browser's player"), &M::fbPlayerBgColour,
               M::FbPlayerBgColour),
        swatch(NEEDS_TRANS("Text colour of browser's player"), &M::fbPlayerTextColour, M::FbPlayerTextColour),

        heading(NEEDS_TRANS("Review")),
        choice(NEEDS_TRANS("Review interval sequence"), &M::intervalSequence,
               {{NEEDS_TRANS("Cube root of 2"), 1},
                {NEEDS_TRANS("Square root of 2"), 2},
                {NEEDS_TRANS("Fibonacci sequence"), 3},
                {NEEDS_TRANS("1.8 multiples"), 4},
                {NEEDS_TRANS("Double sequence"), 5},
                {NEEDS_TRANS("2.5 multiples"), 6},
                {NEEDS_TRANS("Triple sequence"), 7}},
               false, 6),
        numbers(NEEDS_TRANS("Max review interval days"), &M::maxIntervalDays, dayNumbers(), 13),
        choice(NEEDS_TRANS("Review begining at"), &M::reviewOnNextDay,
               {{NEEDS_TRANS("Tomorrow"), 1}, {NEEDS_TRANS("The day after tomorrow"), 2}}, false, 2),
        slider(NEEDS_TRANS("Can't learn new when these courses are due"), &M::atLeastUnreview,
               M::AtLeastUnreview, 1.0, "", false, 1.0),
        yesNo(NEEDS_TRANS("Must be translation when review"), &M::transWhenReview, false, 1),
        choice(NEEDS_TRANS("Review order"), &M::transFirst,
               {{NEEDS_TRANS("Translate first"), 1}, {NEEDS_TRANS("Interpret first"), 2}}, false, 1),
        slider(NEEDS_TRANS("Allowed to retry these times when reviewing failed"), &M::atMostWhenReviewWrong,
               M::AtMostWhenReviewWrong, 1.0, "", false, 2.0),
        choice(NEEDS_TRANS("Which text shows in interpret dialog"), &M::showForeignOnInterpret,
               {{NEEDS_TRANS("Original text"), 1}, {NEEDS_TRANS("Reference text"), 2}}, false, 1),

        heading(NEEDS_TRANS("Auto split")),
        slider(NEEDS_TRANS("Min length of silence when auto split (seconds)"), &M::autoSplitIntervalMinLength,
               M::AutoSplitIntervalMinLength, 0.05, " s", false, 0.5),
        slider(NEEDS_TRANS("Min length of sentence when auto split (seconds)"),
               &M::autoSplitSentenceMinLength, M::AutoSplitSentenceMinLength, 0.1, " s", false, 2.0),
        slider(NEEDS_TRANS("Min detect level of silence when auto split (dB)"), &M::autoSplitIntervalMinLevel,
               M::AutoSplitIntervalMinLevel, 1.0, " dB", false, -42.0),

        heading(NEEDS_TRANS("Audio record and render")),
        numbers(NEEDS_TRANS("Audio sample rate of record and render"), &M::audioRenderSampleRate,
                {{"11025 hz", 11025},
                 {"22050 hz", 22050},
                 {"44100 hz", 44100},
                 {"48000 hz", 48000},
                 {"96000 hz", 96000}},
                44100),
        choice(NEEDS_TRANS("Audio channels format of record and render"), &M::audioRenderChanels,
               {{NEEDS_TRANS("Mono"), 1}, {NEEDS_TRANS("Stereo"), 2}}, false, 1),
        numbers(NEEDS_TRANS("Audio compression quality of record and render"), &M::audioRenderQualityLevel,
                qualityLevels(), 6),

        heading(NEEDS_TRANS("Mobile audio file")),
        slider(NEEDS_TRANS("Play times of non-unfamiliars in mobile file"), &M::mobNonUnfTimes,
               M::MobNonUnfTimes, 1.0, "", false, 1.0),
        slider(NEEDS_TRANS("Play times of unfamiliars in mobile file"), &M::mobUnfTimes, M::MobUnfTimes, 1.0,
               "", false, 3.0),
        slider(NEEDS_TRANS("Interval percent of unfamiliars in mobile file"), &M::mobUnfInterval,
               M::MobUnfInterval, 10.0, "%", false, 90.0, 100.0),
        yesNo(NEEDS_TRANS("Generate the tip-sound before each unfamiliar"), &M::mobUnTipSound, false, 1),
        slider(NEEDS_TRANS("Max mobile folder to keep"), &M::keepPreviousMobileDir, M::KeepPreviousMobileDir,
               1.0, "", false, 2.0),
    };
}

template <typename... Handlers> struct Overloaded : Handlers...
{
    using Handlers::operator()...;
};
template <typename... Handlers> Overloaded(Handlers...) -> Overloaded<Handlers...>;
} // namespace

const std::vector<SystemSetupRow>& SystemSetupRow::all()
{
    static const std::vector<SystemSetupRow> rows = makeRows();
    return rows;
}

bool SystemSetupRow::editsNumber() const
{
    return (widget == Widget::combo || widget == Widget::slider) &&
           !std::holds_alternative<juce::Font M::*>(member);
}

double SystemSetupRow::load(const SystemModel& settings) const
{
    return std::visit(Overloaded{[&](int M::*m) { return static_cast<double>(settings.*m + offset); },
                                 [&](bool M::*m) { return settings.*m ? 1.0 : 2.0; },
                                 [&](double M::*m) { return settings.*m * scale; },
                                 [&](float M::*m) { return static_cast<double>(settings.*m) * scale; },
                                 [](auto) { return 0.0; }},
                      member);
}

void SystemSetupRow::store(SystemModel& settings, double value) const
{
    std::visit(Overloaded{// Whole settings take the value truncated toward zero.
                          [&](int M::*m) { settings.*m = static_cast<int>(value) - offset; },
                          [&](bool M::*m) { settings.*m = static_cast<int>(value) == 1; },
                          [&](double M::*m) { settings.*m = value / scale; },
                          [&](float M::*m) { settings.*m = static_cast<float>(value / scale); }, [](auto) {}},
               member);
}
