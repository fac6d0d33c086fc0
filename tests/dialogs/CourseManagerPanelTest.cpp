// The course library window over a library of archives made by the test: what its table lists
// and how it sorts, the colours of due and finished courses, the forecast, and the buttons that
// are enabled for a selection.
#include "dialogs/CourseManagerPanel.h"

#include "engine/Clock.h"
#include "engine/DocumentManager.h"
#include "engine/SystemModel.h"
#include "workspace/Main.h"

#include "common/LibraryArchives.h"
#include "harness/CourseManagerWindow.h"
#include "harness/OpenCourse.h"

#include <gtest/gtest.h>

#include <set>

using juce::String;
using Course = LibraryArchives::Course;

namespace
{
const String greetings("2017-0402-0900-00"), station("2017-0330-1200-00"), weather("2017-0325-1000-00"),
    finished("2017-0310-0800-00");

/** Four courses on 2 April 2017, 15:30: one learnt this morning and due tomorrow, one due in ten
    days without a mobile file, one due since yesterday and one finished (due, too, by its date).
    Beside them a file that isn't ".mqz", an archive whose extension differs in case and a ".mqz"
    that is no archive: none of them is listed. */
std::vector<Course> library()
{
    Course g{greetings, "Greetings", "2 Apr 2017 9:00:00am", "3 Apr 2017", 10, 4, 600.0};
    g.mobileSeconds = 2.0;
    Course s{station, "at the station", "30 Mar 2017 12:00:00pm", "12 Apr 2017", 9, 2, 540.0};
    s.mobileSeconds = 0.0;
    Course w{weather, "Weather", "25 Mar 2017 10:00:00am", "1 Apr 2017", 12, 11, 75.5};
    w.notes = "Rain and snow.";
    w.retellSeconds = 1.0;
    w.mobileSeconds = 1.5;
    Course f{finished, "Finished one", "10 Mar 2017 8:00:00am", "31 Mar 2017", 4, 0, 30.0, -1};
    return {g, s, w, f};
}

void writeLibrary()
{
    Clock::setFixedTime(juce::Time(2017, 3, 2, 15, 30, 7, 0, true));
    ASSERT_TRUE(LibraryArchives::add(library()));
    const auto folder = DocumentManager::CourseDir();
    ASSERT_TRUE(LibraryArchives::archiveOf(weather).copyFileTo(folder.getChildFile("2017-0101-0000-00.MQZ")));
    ASSERT_TRUE(folder.getChildFile("2017-0201-0000-00.mqz").replaceWithText("not a zip archive"));
    ASSERT_TRUE(folder.getChildFile("readme.txt").replaceWithText("hello"));
}

/** Makes the course of that stem the open one: its waveform file lies in the temporary folder. */
void markOpen(const String& stem)
{
    ASSERT_TRUE(DocumentManager::TempDir().createDirectory().wasOk());
    ASSERT_TRUE(DocumentManager::TempDir().getChildFile(stem + ".smg").replaceWithText("overview"));
}

juce::StringArray stemsInRowOrder(const CourseManagerPanel& panel)
{
    juce::StringArray stems;
    for (const auto& archive : panel.getArchives())
        stems.add(archive.getFileNameWithoutExtension());
    return stems;
}

const juce::Colour black(0xff000000), blue(0xff0000ff), red(0xffff0000);
} // namespace

TEST(CourseManagerPanel, ListsTheArchivesNewestFirstWithTheirValuesAndColours)
{
    ProcessWideObjects objects;
    writeLibrary();
    CourseManagerWindow window;
    auto& panel = window.panel();

    EXPECT_EQ(panel.getWidth(), 716);
    EXPECT_EQ(panel.getHeight(), 680);
    ASSERT_EQ(stemsInRowOrder(panel), juce::StringArray(greetings, station, weather, finished));
    ASSERT_EQ(panel.getNumRows(), 4);
    ASSERT_EQ(panel.getCoursesData().getNumChildElements(), 4);

    struct Row
    {
        const char* cells[8]; // columns 1 to 7 and 9
        juce::Colour colour;
    };
    const Row expected[] = {
        {{"1", "Greetings", "2017-04-02", "2017-04-03", "10", "4", "10:00.00", "0:02.00"}, black},
        {{"2", "at the station", "2017-03-30", "2017-04-12", "9", "2", "9:00.00", nullptr}, black},
        {{"3", "Weather", "2017-03-25", "2017-04-01", "12", "11", "1:15.50", "0:01.50"}, blue},
        {{"4", "Finished one", "2017-03-10", nullptr, "4", "0", "0:30.00", "0:01.00"}, red},
    };
    const int columnIds[] = {1, 2, 3, 4, 5, 6, 7, 9};
    for (int row = 0; row < 4; ++row)
    {
        for (int c = 0; c < 8; ++c)
        {
            const auto* cell = expected[row].cells[c];
            const String text = cell != nullptr ? String(cell) : TRANS(c == 3 ? "Finished" : "Non-exist");
            EXPECT_EQ(panel.getCellText(row, columnIds[c]), text)
                << "row " << row << ", column " << columnIds[c];
        }
        EXPECT_EQ(panel.getRowColour(row), expected[row].colour) << "row " << row;
        EXPECT_EQ(panel.getCellText(row, 8), "") << "the notes have no column";
    }
    EXPECT_EQ(panel.getCoursesData().getChildElement(2)->getStringAttribute("c8"), "Rain and snow.");
    EXPECT_TRUE(panel.getCoursesData().getChildElement(3)->hasAttribute("TodayNeedReview"));
    EXPECT_FALSE(panel.getCoursesData().getChildElement(0)->hasAttribute("TodayNeedReview"));

    // The columns, and no sort mark for the sort the window starts with.
    auto& header = panel.getTable().getHeader();
    const std::pair<String, int> columns[] = {{"ID", 40},
                                              {TRANS("Title"), 175},
                                              {TRANS("Learn date"), 100},
                                              {TRANS("Next review date"), 100},
                                              {TRANS("Total sentences"), 50},
                                              {TRANS("Unfamiliar sentences"), 50},
                                              {TRANS("Length (O)"), 90},
                                              {TRANS("Length (M)"), 90}};
    ASSERT_EQ(header.getNumColumns(true), 8);
    for (int i = 0; i < 8; ++i)
    {
        EXPECT_EQ(header.getColumnIdOfIndex(i, true), columnIds[i]);
        EXPECT_EQ(header.getColumnName(columnIds[i]), columns[i].first);
        EXPECT_EQ(header.getColumnWidth(columnIds[i]), columns[i].second);
    }
    EXPECT_EQ(header.getSortColumnId(), 0);

    // Nothing selected: only OK, and "Delete all finished" for the finished course.
    const std::pair<CourseManagerPanel::ButtonIndex, bool> enabled[] = {
        {CourseManagerPanel::okButton, true},      {CourseManagerPanel::noteButton, false},
        {CourseManagerPanel::listenButton, false}, {CourseManagerPanel::retellButton, false},
        {CourseManagerPanel::deleteButton, false}, {CourseManagerPanel::deleteFinishedButton, true}};
    for (const auto& [button, on] : enabled)
        EXPECT_EQ(panel.getButton(button).isEnabled(), on) << panel.getButton(button).getButtonText();
    panel.getTable().selectRow(1);
    for (const auto& [button, on] : enabled)
        EXPECT_TRUE(panel.getButton(button).isEnabled()) << panel.getButton(button).getButtonText();
    panel.getTable().deselectAllRows();
    EXPECT_FALSE(panel.getButton(CourseManagerPanel::deleteButton).isEnabled());
}

TEST(CourseManagerPanel, ForecastsTodayAndTheNextTenDays)
{
    ProcessWideObjects objects;
    writeLibrary();
    CourseManagerWindow window;

    const auto line = [](const String& label, const String& date, int sentences, int unfamiliar,
                         const String& course, const String& mobile)
    {
        return label + " (" + date + "): " + TRANS("Sentences: ") + String(sentences) + ", " +
               TRANS("Unfamiliar: ") + String(unfamiliar) + ", " + TRANS("Length (O)") + ": " + course +
               ", " + TRANS("Length (M)") + ": " + mobile;
    };
    // Learnt today and due tomorrow: in both lines. Due yesterday, or finished: in none.
    juce::StringArray lines{line(TRANS("Today learned"), "2017-04-02", 10, 4, "10:00.00", "0:02.00"), "",
                            line(TRANS("Tomorrow will be"), "2017-04-03", 10, 4, "10:00.00", "0:02.00"),
                            line(TRANS("The day after tomorrow"), "2017-04-04", 0, 0, "0:00.00", "0:00.00")};
    for (int day = 3; day <= 9; ++day)
        lines.add(line(String(day) + " " + TRANS("days later"),
                       "2017-04-" + String(2 + day).paddedLeft('0', 2), 0, 0, "0:00.00", "0:00.00"));
    lines.add(line("10 " + TRANS("days later"), "2017-04-12", 9, 2, "9:00.00", "0:00.00"));

    auto& summary = window.panel().getSummaryLabel();
    EXPECT_EQ(summary.getText(), lines.joinIntoString("\r\n"));
    EXPECT_EQ(summary.getJustificationType(), juce::Justification::centredRight);
    EXPECT_EQ(summary.getFont().getHeight(), 19.0f);
}

TEST(CourseManagerPanel, EveryForecastLineIsReadableWholeInEachLanguage)
{
    ProcessWideObjects objects;
    writeLibrary();

    // The label draws its text as the look and feel does: laid out in the label's text area,
    // each line of the text wrapped at the area's width.
    const struct
    {
        int language;
        const char* name;
    } languages[] = {{1, "English"}, {2, "Simplified Chinese"}, {3, "Traditional Chinese"}};
    for (const auto& language : languages)
    {
        systemModel->language = language.language;
        systemModel->setAppLanguage();
        CourseManagerWindow window;
        auto& label = window.panel().getSummaryLabel();
        // The window manager may size the window for a moment while it maps it.
        ASSERT_TRUE(OpenCourse::pumpUntil([&] { return label.getWidth() == 716 - 20; }, 3000));
        const auto font = label.getLookAndFeel().getLabelFont(label);
        const auto area =
            label.getLookAndFeel().getLabelBorderSize(label).subtractedFrom(label.getLocalBounds());
        const auto text = label.getText();

        juce::GlyphArrangement drawn;
        drawn.addFittedText(font, text, (float)area.getX(), (float)area.getY(), (float)area.getWidth(),
                            (float)area.getHeight(), label.getJustificationType(),
                            juce::jmax(1, (int)((float)area.getHeight() / font.getHeight())),
                            label.getMinimumHorizontalScale());
        std::set<int> baselines;
        for (int i = 0; i < drawn.getNumGlyphs(); ++i)
            if (!drawn.getGlyph(i).isWhitespace())
                baselines.insert(juce::roundToInt(drawn.getGlyph(i).getBaselineY()));

        EXPECT_EQ(baselines.size(), 11u)
            << language.name << ": a line broke in two at " << font.getHeight() << " px";
        EXPECT_TRUE(area.toFloat().expanded(0.5f).contains(drawn.getBoundingBox(0, -1, false)))
            << language.name << ": the text reaches past the label";
        EXPECT_GE(font.getHeight(), 12.0f) << language.name;
    }
}

TEST(CourseManagerPanel, AnEmptyLibraryForecastsNothingAndOffersOnlyOk)
{
    ProcessWideObjects objects;
    Clock::setFixedTime(juce::Time(2017, 3, 2, 15, 30, 7, 0, true));
    CourseManagerWindow window;
    auto& panel = window.panel();

    EXPECT_EQ(panel.getNumRows(), 0);
    const auto lines = juce::StringArray::fromLines(panel.getSummaryLabel().getText());
    ASSERT_EQ(lines.size(), 12);
    for (int i = 0; i < lines.size(); ++i)
    {
        if (i == 1)
        {
            EXPECT_EQ(lines[i], "");
            continue;
        }
        EXPECT_TRUE(lines[i].endsWith(TRANS("Sentences: ") + "0, " + TRANS("Unfamiliar: ") + "0, " +
                                      TRANS("Length (O)") + ": 0:00.00, " + TRANS("Length (M)") +
                                      ": 0:00.00"))
            << lines[i];
    }
    for (int i = 0; i < CourseManagerPanel::numButtons; ++i)
        EXPECT_EQ(panel.getButton((CourseManagerPanel::ButtonIndex)i).isEnabled(),
                  i == CourseManagerPanel::okButton);
}

TEST(CourseManagerPanel, EachColumnHeaderSortsByItsOwnComparison)
{
    ProcessWideObjects objects;
    writeLibrary();
    CourseManagerWindow window;
    auto& panel = window.panel();
    auto& header = panel.getTable().getHeader();

    struct Case
    {
        int column;
        bool forwards;
        juce::StringArray order;
        const char* why;
    };
    const Case cases[] = {
        {2, true, {station, finished, greetings, weather}, "titles ignore case"},
        {2, false, {weather, greetings, finished, station}, "descending"},
        {3, true, {finished, weather, station, greetings}, "learn dates"},
        {4, true, {finished, weather, greetings, station}, "next review dates as dates"},
        {5, true, {finished, station, greetings, weather}, "sentence counts as numbers: 9 before 10"},
        {6, false, {weather, greetings, station, finished}, "unfamiliar counts as numbers: 11 first"},
        {7, true, {finished, greetings, weather, station}, "lengths as texts: 10:00.00 before 1:15.50"},
        {9, true, {finished, weather, greetings, station}, "the missing mobile file's text last"},
        {1, true, {finished, weather, greetings, station}, "the ID column keeps the order"},
    };
    for (const auto& c : cases)
    {
        header.setSortColumnId(c.column, c.forwards);
        OpenCourse::pumpUntil([&] { return stemsInRowOrder(panel) == c.order; }, 2000);
        EXPECT_EQ(stemsInRowOrder(panel), c.order) << "column " << c.column << ": " << c.why;

        // The rows, the archives and the row numbers move together.
        for (int row = 0; row < panel.getNumRows(); ++row)
        {
            EXPECT_EQ(panel.getCoursesData().getChildElement(row)->getStringAttribute("FilePath"),
                      panel.getArchives()[row].getFullPathName());
            EXPECT_EQ(panel.getCellText(row, 1), String(row + 1));
        }
    }
}

TEST(CourseManagerPanel, TheOpenCourseIsUnknownAndCantBeDeletedAlone)
{
    ProcessWideObjects objects;
    writeLibrary();
    markOpen(weather);
    CourseManagerWindow window;
    auto& panel = window.panel();

    ASSERT_EQ(stemsInRowOrder(panel)[2], weather);
    EXPECT_EQ(panel.getCellText(2, 4), TRANS("Unknown"));
    EXPECT_EQ(panel.getRowColour(2), blue);
    EXPECT_EQ(panel.getCellText(1, 4), "2017-04-12");

    const struct
    {
        int row;
        bool deletable;
    } selections[] = {{2, false}, {1, true}, {2, false}};
    for (const auto& selection : selections)
    {
        panel.getTable().selectRow(selection.row);
        EXPECT_TRUE(panel.getButton(CourseManagerPanel::listenButton).isEnabled());
        EXPECT_EQ(panel.getButton(CourseManagerPanel::deleteButton).isEnabled(), selection.deletable)
            << "row " << selection.row;
    }
}

TEST(CourseManagerPanel, TheLearnDateComesFromTheArchiveName)
{
    const std::pair<const char*, const char*> cases[] = {{"2017-0402-1530-07", "2017-04-02"},
                                                         {"lesson-one-12345678", "lesson--one-"},
                                                         {"short-12345678", "short--"},
                                                         {"abc", "-"}};
    for (const auto& [name, date] : cases)
        EXPECT_EQ(CourseManagerPanel::learnDateFromName(name), date) << name;
}

TEST(CourseManagerPanel, TheSelectionFollowsItsCourseThroughASortAndTheOpenOneStaysUndeletable)
{
    ProcessWideObjects objects;
    writeLibrary();
    markOpen(weather);
    CourseManagerWindow window;
    auto& panel = window.panel();
    auto& header = panel.getTable().getHeader();

    // Each sort brings another course to the selected row's number; the open course is weather.
    const struct
    {
        String selected;
        int column;
        bool forwards;
        juce::StringArray order;
    } cases[] = {
        {greetings, 6, false, {weather, greetings, station, finished}},
        {weather, 5, true, {finished, station, greetings, weather}},
        {station, 3, true, {finished, weather, station, greetings}},
    };
    for (const auto& c : cases)
    {
        panel.getTable().selectRow(stemsInRowOrder(panel).indexOf(c.selected));
        header.setSortColumnId(c.column, c.forwards);
        ASSERT_TRUE(OpenCourse::pumpUntil([&] { return stemsInRowOrder(panel) == c.order; }, 2000))
            << "column " << c.column;

        const int row = panel.getTable().getSelectedRow();
        EXPECT_EQ(panel.getTable().getNumSelectedRows(), 1) << c.selected;
        EXPECT_EQ(stemsInRowOrder(panel)[row], c.selected) << "column " << c.column;
        EXPECT_EQ(panel.getButton(CourseManagerPanel::deleteButton).isEnabled(), c.selected != weather)
            << c.selected << " selected, sorted by column " << c.column;
    }
}
