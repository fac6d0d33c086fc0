#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

/** The content of the "Courses manager" dialog: every course archive of the library in a
    sortable table, the learning and review load of today and the next ten days above it, and the
    buttons that show a course's notes, play its audio or its retelling from the archive, and move
    archives (with their mobile files) to the trash, one at a time or all finished ones at once.

    The archives are read in place and never written. The rows are built once, when the panel is
    made; deletions remove rows, nothing adds them, and the forecast keeps the state it was built
    with. The archive list, the children of CoursesData and the row count always describe the same
    rows in the same order. */
class CourseManagerPanel : public juce::Component,
                           public juce::TableListBoxModel,
                           private juce::Button::Listener
{
public:
    /** Buttons in the order they are made. */
    enum ButtonIndex
    {
        okButton = 0,
        noteButton,
        listenButton,
        retellButton,
        deleteButton,
        deleteFinishedButton,
        numButtons
    };

    CourseManagerPanel();
    ~CourseManagerPanel() override;

    void resized() override;
    int getNumRows() override;
    void paintRowBackground(juce::Graphics& g, int rowNumber, int width, int height,
                            bool rowIsSelected) override;
    void paintCell(juce::Graphics& g, int rowNumber, int columnId, int width, int height,
                   bool rowIsSelected) override;
    void sortOrderChanged(int newSortColumnId, bool isForwards) override;
    void selectedRowsChanged(int lastRowSelected) override;

    void loadData();
    void setButtonsTextAndTooltip();

    /** Moves the row's archive and then its mobile file to the trash; a failure is told without
        waiting, and a row whose archive stays keeps its place. */
    void delSelectedCourse(int row, bool updateTable);
    void delAllFinishedCourses();

    juce::TableListBox& getTable() { return table; }
    juce::Label& getSummaryLabel() const { return *summaryLabel; }
    juce::TextButton& getButton(ButtonIndex index) const { return *buttons[index]; }
    const juce::XmlElement& getCoursesData() const { return *CoursesData; }
    const juce::Array<juce::File>& getArchives() const { return archives; }

    /** The text a cell shows (the one paintCell draws), and the colour it is drawn in. */
    juce::String getCellText(int row, int columnId) const;
    juce::Colour getRowColour(int row) const;

    /** Where a row's call-out box points, in the panel. */
    juce::Rectangle<int> getCallOutArea(int row);

    /** The mobile audio file of an archive, which may not exist. */
    static juce::File mobileFileOf(const juce::File& archive);
    /** The text of the learn date column for an archive of that name. */
    static juce::String learnDateFromName(const juce::String& nameWithoutExtension);

private:
    void buttonClicked(juce::Button* button) override;

    bool isOpenCourse(int row) const;
    /** The forecast's font: its own height, or smaller where the lines are too wide for it. */
    void fitSummaryFont();
    /** Note, Listen, Retell and Delete for the selected row; never Delete for the open course. */
    void enableButtonsForSelection();
    void showNotes(int row);
    /** Plays the archive's entry of that name ending (".ogg" or "-retell.ogg") in a call-out box,
        or tells why it can't. */
    void listenTo(int row, const juce::String& entryEnding, const juce::String& missing,
                  const juce::String& damaged);
    void confirmAndDelete(int row);

    /** Builds one row's element from the archive's course text and adds the course to the
        forecast sums. */
    std::unique_ptr<juce::XmlElement> makeRow(const juce::File& archive, const juce::XmlElement& course);
    juce::String forecastText() const;

    struct Sums
    {
        int sentences = 0;
        int unfamiliar = 0;
        double courseSeconds = 0.0;
        double mobileSeconds = 0.0;
    };
    static constexpr int forecastDays = 10;

    std::unique_ptr<juce::Label> summaryLabel;
    juce::TableListBox table;
    int numRows = 0;
    juce::Array<juce::File> archives;
    std::unique_ptr<juce::XmlElement> CoursesData;
    juce::OwnedArray<juce::TextButton> buttons;
    juce::DrawableRectangle separator;

    Sums sums[forecastDays + 1];
    /** The stem of the open course's waveform file, or empty when no course is open. The working
        set can't change while the panel's modal dialog is up. */
    juce::String openCourseStem;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(CourseManagerPanel)
};
