#pragma once

#include <juce_core/juce_core.h>

/** Where qZ keeps its data and how the files of one course are named and found, plus the date
    texts used in course data, folder names and displays.

    The data folders lie under the user's documents folder. They are worked out from it when asked
    for rather than held in statics built before main, so that they follow the home folder that the
    process has once it runs (each test process gives itself one). No folder is created in advance:
    each appears with the first file written into it. */
class DocumentManager
{
public:
    DocumentManager() = delete;

    /** The kinds of file in the working set of the open course. */
    enum CourseFileType
    {
        courseAudio = 0,
        courseText = 1,
        waveformFile = 2,
        retelling = 3
    };

    /** "qz/library/temp": the working set of the open course. */
    static juce::File TempDir();
    /** "qz/library/course": the library of course archives. */
    static juce::File CourseDir();
    /** "qz/library/mobile": the rendered mobile audio files. */
    static juce::File MobileDir();
    /** "qz/mobile-" and today's date stamp: the day folder of the mobile files to hear today. */
    static juce::File TodayMobileDir();

    /** The working-set file of that kind, or the nonexistent file when there is none. */
    static juce::File getCourseFile(CourseFileType type);

    /** Makes a new working set for the audio file; on failure the temporary folder is removed. */
    static bool createCourseFiles(const juce::File& audioFile);

    /** "2017-0402", or with the time "2017-0402-1530-07". */
    static juce::String getCurrentTimeString(bool withTime);

    /** A stored date text ("2 Apr 2017") to local midnight of that day; empty gives 1 Jan 3013. */
    static juce::Time timeFromTimeString(const juce::String& dateText);

    /** A stored date text to "2017-04-02"; empty stays empty. */
    static juce::String transTimeString(const juce::String& dateText);

    /** When a stored review date comes due: local midnight of that day for a text in the stored
        form ("2 Apr 2017", the month name as timeFromTimeString reads it), and the never-due
        1 Jan 3013 for an empty text or any other form ("2017-04-02", a year of other than four
        digits), which would otherwise read as a day in the distant past and stay due forever. */
    static juce::Time dueTimeFromTimeString(const juce::String& dateText);
    /** Whether the text has the stored form: a day of 1 to 31, a blank, three characters for the
        month, a blank and a four-digit year. */
    static bool isStoredDateText(const juce::String& dateText);

    static bool isDue(const juce::Time& time);

    /** Whole days from now to the time, truncated toward zero (negative for the past). */
    static int getDaysFromDate(const juce::Time& time);

    /** Now plus that many calendar days, the time of day kept: the days are added to the local
        date, so a daylight-saving change in between never moves the result to another day. The
        count is kept within +-999999 days, beyond any review interval, so the year stays four
        digits. */
    static juce::Time getDateAfterDays(int days);

    /** Orders files by their names (extension included, folder left out), case-sensitively. */
    struct FileNameComparator
    {
        static int compareElements(const juce::File& first, const juce::File& second);
    };

    /** Fills the list with the library archives due for review now, other than the open course,
        in the library folder's listing order, and the count with their due sentences. */
    static void getCoursesNeedReview(juce::Array<juce::File>& courses, int& dueSentences);

    /** The course text inside a library archive: its entry named by the archive's stem + ".xml"
        (case included), parsed; null when the file is no archive, lacks that entry or holds text
        that is no XML. */
    static std::unique_ptr<juce::XmlElement> readArchivedCourseText(const juce::File& archive);

    /** Unfamiliar sentences of a course text whose review date has come. */
    static int countDueSentences(const juce::XmlElement& course);

    /** Copies the mobile files of the courses due tomorrow into today's day folder. */
    static bool createTomorrowMobileFiles(int keepPreviousDays);

    /** Makes today's day folder from these archives' mobile files, once a day, first trimming the
        earlier day folders to the newest keepPreviousDays. False when a copy failed. */
    static bool createTodayMobileFiles(const juce::Array<juce::File>& courses, int keepPreviousDays);

    /** Packs the working set (without courseware audio and CD tracks) into the library as its
        stem + ".mqz", replacing an older archive of the course only once the new one is whole.
        When given, cancelled tells whether a false result came from the learner's cancel of the
        progress window rather than from a fault; the library is unchanged either way. */
    static bool packDocument(bool* cancelled = nullptr);
    /** Packs these files into the library as the stem + ".mqz" in the same way. */
    static bool packDocument(const juce::String& stem, const juce::Array<juce::File>& files,
                             bool* cancelled = nullptr);

    /** Whether the library's archive of the course text's stem holds exactly this course text. */
    static bool archiveHoldsCourseText(const juce::File& courseText);

    /** Deletes the working set: its course texts first, so that a kill part way never leaves a
        course text to reopen beside files that are gone, then the whole temporary folder. */
    static void clearWorkingSet();

    /** Extracts a course archive (or a courseware file) into the temporary folder: only its
        working-set files, only under bare names; a failure leaves none of them behind. When
        given, cancelled tells whether a false result came from the learner's cancel. */
    static bool unpackDocument(const juce::File& archive, bool* cancelled = nullptr);

    /** Whether the name is one of a file being written, never a course's own: hidden, a partial
        file, or the scratch file of the framework's own file writes ("<stem>_temp<hex>.xml"),
        which a killed write leaves beside its target. */
    static bool isScratchName(const juce::String& name);

    /** Whether an entry of that name may become a working-set file. */
    static bool isWorkingSetName(const juce::String& name);

    /** Deletes what an interrupted archive write or unpack left in the data folders. */
    static void removeInterruptedWrites();

private:
    static juce::File dataFolder();
    /** Whether an archive job worked, telling the caller that asks whether it was cancelled. */
    static bool archiveJobWorked(const juce::Result& result, bool* cancelled);
    static int monthIndexFromName(const juce::String& name);
    static juce::File firstListedFile(const juce::String& pattern);
    static juce::File oggOfKind(bool wantRetelling);
    static bool isOpenCourse(const juce::File& archive);
    static juce::Array<juce::File> listLibrary();
};
