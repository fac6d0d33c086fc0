#include "dialogs/CourseManagerPanel.h"

#include "dialogs/CourseChildXmlSorter.h"
#include "engine/DocumentManager.h"
#include "engine/GlobalData.h"

namespace
{
const juce::Colour grey(0xff808080);
const juce::Colour whitesmoke(0xfff5f5f5);
const juce::Colour selectedRow(0xff00ffff);
const juce::Colour finishedText(0xffff0000);
const juce::Colour dueText(0xff0000ff);

constexpr float summaryFontHeight = 19.0f;
// Below this the forecast would be hard to read; no language's lines need it at the panel's size.
constexpr float smallestSummaryFontHeight = 10.0f;

constexpr int buttonWidth = 60;
constexpr int buttonHeight = 25;

struct Column
{
    int id;
    const char* title;
    int width;
};

// No column 8: the notes are shown only by the Note button.
const Column columns[] = {{1, "ID", 40},
                          {2, NEEDS_TRANS("Title"), 175},
                          {3, NEEDS_TRANS("Learn date"), 100},
                          {4, NEEDS_TRANS("Next review date"), 100},
                          {5, NEEDS_TRANS("Total sentences"), 50},
                          {6, NEEDS_TRANS("Unfamiliar sentences"), 50},
                          {7, NEEDS_TRANS("Length (O)"), 90},
                          {9, NEEDS_TRANS("Length (M)"), 90}};

const char* const buttonIds[] = {"ok", "note", "listen", "retell", "delete", "deleteFinished"};
} // namespace

CourseManagerPanel::CourseManagerPanel() : summaryLabel(std::make_unique<juce::Label>())
{
    summaryLabel->setComponentID("summary");
    summaryLabel->setFont(juce::Font(summaryFontHeight, juce::Font::plain));
    summaryLabel->setJustificationType(juce::Justification::centred);
    addAndMakeVisible(*summaryLabel);

    separator.setFill(grey.withAlpha(0.5f));
    addAndMakeVisible(separator);

    CoursesData = std::make_unique<juce::XmlElement>("CoursesData");
    loadData();

    table.setComponentID("table");
    table.setColour(juce::ListBox::backgroundColourId, juce::Colours::lightgrey.brighter(0.35f));
    table.getViewport()->setScrollBarThickness(GlobalData::scrollBarThickness);
    table.setRowHeight(25);
    table.setModel(this);
    addAndMakeVisible(table);
    for (const auto& column : columns)
    {
        const juce::String title = column.id == 1 ? juce::String(column.title) : TRANS(column.title);
        table.getHeader().addColumn(title, column.id, column.width, 30, -1);
    }
    table.setHeaderHeight(30);
    table.updateContent();

    // Newest first; the header shows no sort mark.
    sortOrderChanged(3, false);

    for (int i = 0; i < numButtons; ++i)
    {
        auto* button = buttons.add(new juce::TextButton());
        button->setComponentID(buttonIds[i]);
        button->setSize(buttonWidth, buttonHeight);
        button->setEnabled(false);
        button->addListener(this);
        addAndMakeVisible(button);
    }
    buttons[okButton]->setEnabled(true);
    bool anyFinished = false;
    for (auto* row : CoursesData->getChildIterator())
        anyFinished = anyFinished || row->getStringAttribute("NowStatus") == "-1";
    buttons[deleteFinishedButton]->setEnabled(anyFinished);

    setButtonsTextAndTooltip();
    setSize(716, 680);
}

CourseManagerPanel::~CourseManagerPanel()
{
    table.setModel(nullptr);
}

void CourseManagerPanel::setButtonsTextAndTooltip()
{
    const std::pair<const char*, const char*> texts[] = {
        {NEEDS_TRANS("OK"), NEEDS_TRANS("Close this window")},
        {NEEDS_TRANS("Note"), NEEDS_TRANS("View notes of the selected")},
        {NEEDS_TRANS("Listen"), NEEDS_TRANS("Listen audio of the selected")},
        {NEEDS_TRANS("Retell"), NEEDS_TRANS("Listen retell of the selected")},
        {NEEDS_TRANS("Delete"), NEEDS_TRANS("Delete of the selected")},
        {NEEDS_TRANS("Delete all finished"), NEEDS_TRANS("Delete all finished courses")}};
    for (int i = 0; i < numButtons; ++i)
    {
        buttons[i]->setButtonText(TRANS(texts[i].first));
        buttons[i]->setTooltip(TRANS(texts[i].second));
    }
}

void CourseManagerPanel::resized()
{
    const int width = getWidth(), height = getHeight();
    summaryLabel->setBounds(2, 0, width - 20, 242);
    fitSummaryFont();
    table.setBounds(2, 243, width - 4, height - 279);
    separator.setRectangle(juce::Parallelogram<float>(
        juce::Rectangle<float>(1.0f, (float)table.getBottom() + 1.5f, (float)width - 2.0f, 1.0f)));

    // OK at the right, then Note, Listen, Retell and Delete edge to edge towards the left.
    for (int i = okButton; i <= deleteButton; ++i)
        buttons[i]->setTopRightPosition(width - 10 - i * buttonWidth, height - 30);
    buttons[deleteFinishedButton]->setBounds(10, height - 30, 200, buttonHeight);
}

void CourseManagerPanel::fitSummaryFont()
{
    // The English lines are far longer than the Chinese ones: a line wider than the label would
    // wrap, and the wrapped lines push the first and the last out of sight. The font shrinks
    // until every line fits on its own.
    const auto area = summaryLabel->getBorderSize().subtractedFrom(summaryLabel->getLocalBounds()).toFloat();
    const auto lines = juce::StringArray::fromLines(summaryLabel->getText());
    const auto fits = [&](const juce::Font& font)
    {
        if ((float)lines.size() * font.getHeight() > area.getHeight())
            return false;
        for (const auto& line : lines)
            if (font.getStringWidthFloat(line) >= area.getWidth())
                return false;
        return true;
    };

    juce::Font font(summaryFontHeight, juce::Font::plain);
    while (font.getHeight() > smallestSummaryFontHeight && !fits(font))
        font.setHeight(font.getHeight() - 0.5f);
    summaryLabel->setFont(font);
}

int CourseManagerPanel::getNumRows()
{
    return numRows;
}

void CourseManagerPanel::paintRowBackground(juce::Graphics& g, int rowNumber, int, int, bool rowIsSelected)
{
    if (rowIsSelected)
        g.fillAll(selectedRow.withAlpha(0.15f));
    else
        g.fillAll(whitesmoke.withAlpha(rowNumber % 2 == 0 ? 0.3f : 0.8f));
}

bool CourseManagerPanel::isOpenCourse(int row) const
{
    return openCourseStem.isNotEmpty() && row >= 0 && row < archives.size() &&
           archives[row].getFileNameWithoutExtension() == openCourseStem;
}

juce::Colour CourseManagerPanel::getRowColour(int row) const
{
    const auto* element = CoursesData->getChildElement(row);
    if (element == nullptr)
        return juce::Colours::black;
    if (element->getStringAttribute("NowStatus") == "-1")
        return finishedText;
    if (element->getStringAttribute("TodayNeedReview").isNotEmpty())
        return dueText;
    return juce::Colours::black;
}

juce::String CourseManagerPanel::getCellText(int row, int columnId) const
{
    const auto* element = CoursesData->getChildElement(row);
    if (element == nullptr)
        return {};
    switch (columnId)
    {
    case 1:
        return juce::String(row + 1);
    case 4:
        if (element->getStringAttribute("NowStatus") == "-1")
            return TRANS("Finished");
        // The archive holds an older state of the open course.
        if (isOpenCourse(row))
            return TRANS("Unknown");
        return element->getStringAttribute("c4");
    case 2:
    case 3:
    case 5:
    case 6:
    case 7:
    case 9:
        return element->getStringAttribute("c" + juce::String(columnId));
    default:
        return {};
    }
}

void CourseManagerPanel::paintCell(juce::Graphics& g, int rowNumber, int columnId, int width, int height,
                                   bool)
{
    g.setFont(juce::Font(18.0f, juce::Font::plain));
    g.setColour(grey.withAlpha(0.4f));
    g.fillRect(width - 1, 0, 1, height);

    if (CoursesData->getChildElement(rowNumber) == nullptr)
        return;
    g.setColour(getRowColour(rowNumber));
    const bool rightAligned = columnId == 1 || columnId == 5 || columnId == 6;
    g.drawText(getCellText(rowNumber, columnId), 2, 0, width - 4, height,
               rightAligned ? juce::Justification::centredRight : juce::Justification::centred, true);
}

void CourseManagerPanel::sortOrderChanged(int newSortColumnId, bool isForwards)
{
    // The row numbers of the "ID" column don't sort.
    if (newSortColumnId < 2 || newSortColumnId > 9)
        return;
    // The table keeps the selected row's number; the learner selected a course.
    const int rowBefore = table.getSelectedRow();
    const auto selectedArchive = rowBefore >= 0 ? archives[rowBefore] : juce::File();

    CourseChildXmlSorter sorter(newSortColumnId, isForwards ? 1 : -1);
    CoursesData->sortChildElements(sorter, false);

    archives.clearQuick();
    for (auto* row : CoursesData->getChildIterator())
        archives.add(juce::File(row->getStringAttribute("FilePath")));
    table.updateContent();
    if (selectedArchive != juce::File())
        table.selectRow(archives.indexOf(selectedArchive));
    enableButtonsForSelection();
    table.repaint();
}

void CourseManagerPanel::selectedRowsChanged(int)
{
    enableButtonsForSelection();
}

void CourseManagerPanel::enableButtonsForSelection()
{
    // The table reports its first selection before the buttons are made.
    if (buttons.size() < numButtons)
        return;
    const int row = table.getSelectedRow();
    const bool selected = row >= 0 && row < numRows;
    for (int i = noteButton; i <= deleteButton; ++i)
        buttons[i]->setEnabled(selected);
    if (selected && isOpenCourse(row))
        buttons[deleteButton]->setEnabled(false);
}
