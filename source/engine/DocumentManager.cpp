#include "engine/DocumentManager.h"

#include "engine/ArchiveJob.h"
#include "engine/Clock.h"
#include "engine/CourseModel.h"
#include "engine/CourseTextNumbers.h"
#include "engine/ExAudioFileReader.h"
#include "engine/FileReplacement.h"
#include "engine/SafeXml.h"

namespace
{
// A stored date that never comes due.
const int neverYear = 3013;
// Date arithmetic stays within this many days of now, so the year keeps four digits.
const int maxDaysAhead = 999999;

const char* const retellingSuffix = "-retell.ogg";

const int archiveCompressionLevel = 9;

juce::String twoDigits(int value)
{
    return juce::String(value).paddedLeft('0', 2);
}
} // namespace

juce::File DocumentManager::dataFolder()
{
    return juce::File::getSpecialLocation(juce::File::userDocumentsDirectory).getChildFile("qz");
}

juce::File DocumentManager::TempDir()
{
    return dataFolder().getChildFile("library/temp");
}

juce::File DocumentManager::CourseDir()
{
    return dataFolder().getChildFile("library/course");
}

juce::File DocumentManager::MobileDir()
{
    return dataFolder().getChildFile("library/mobile");
}

juce::File DocumentManager::TodayMobileDir()
{
    return dataFolder().getChildFile("mobile-" + getCurrentTimeString(false));
}

juce::File DocumentManager::firstListedFile(const juce::String& pattern)
{
    // The file system's own listing order: whichever it gives first wins.
    for (const auto& file : TempDir().findChildFiles(juce::File::findFiles, false, pattern))
        if (!isScratchName(file.getFileName()))
            return file;
    return {};
}

juce::File DocumentManager::oggOfKind(bool wantRetelling)
{
    // Only the first two listed count: a working set holds at most the course audio and the
    // retelling as Ogg files.
    auto files = TempDir().findChildFiles(juce::File::findFiles, false, "*.ogg");
    files.removeIf([](const juce::File& file) { return isScratchName(file.getFileName()); });
    for (int i = 0; i < juce::jmin(2, files.size()); ++i)
        if (files[i].getFileName().contains(retellingSuffix) == wantRetelling)
            return files[i];
    return {};
}

juce::File DocumentManager::getCourseFile(CourseFileType type)
{
    switch (type)
    {
    case courseAudio:
        return oggOfKind(false);
    case courseText:
        return firstListedFile("*.xml");
    case waveformFile:
        return firstListedFile("*.smg");
    case retelling:
        return oggOfKind(true);
    }
    return {};
}

bool DocumentManager::createCourseFiles(const juce::File& audioFile)
{
    const auto stem = getCurrentTimeString(true);
    bool created = false;
    {
        ExAudioFileReader reader(audioFile, stem, TempDir());
        created = reader.createCourseFiles(true);
    }
    // Whatever a failed or cancelled creation wrote goes, so that the next start finds no half
    // working set to reopen.
    if (!created)
        TempDir().deleteRecursively();
    return created;
}

juce::String DocumentManager::getCurrentTimeString(bool withTime)
{
    const auto now = Clock::now();
    auto stamp =
        juce::String(now.getYear()) + "-" + twoDigits(now.getMonth() + 1) + twoDigits(now.getDayOfMonth());
    if (withTime)
        stamp << "-" << twoDigits(now.getHours()) << twoDigits(now.getMinutes()) << "-"
              << twoDigits(now.getSeconds());
    return stamp;
}

int DocumentManager::monthIndexFromName(const juce::String& name)
{
    // Compared exactly, case included; anything unknown (and "Jan") is January.
    static const char* const names[] = {"Feb", "Mar", "Apr", "May", "Jun", "Jul",
                                        "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int i = 0; i < (int)std::size(names); ++i)
        if (name == names[i])
            return i + 1;
    return 0;
}

juce::Time DocumentManager::timeFromTimeString(const juce::String& dateText)
{
    if (dateText.isEmpty())
        return juce::Time(neverYear, 0, 1, 0, 0, 0, 0, true);

    // "2 Apr 2017": the day before the first blank, the month name before the last five
    // characters, the year in the last four.
    const int length = dateText.length();
    const int year = dateText.getLastCharacters(4).getIntValue();
    const int day = dateText.upToFirstOccurrenceOf(" ", false, false).getIntValue();
    const int month = monthIndexFromName(dateText.substring(length - 8, length - 5));
    return juce::Time(year, month, day, 0, 0, 0, 0, true);
}

juce::String DocumentManager::transTimeString(const juce::String& dateText)
{
    if (dateText.isEmpty())
        return {};

    const int length = dateText.length();
    const int month = monthIndexFromName(dateText.substring(length - 8, length - 5));
    return dateText.getLastCharacters(4) + "-" + twoDigits(month + 1) + "-" +
           dateText.upToFirstOccurrenceOf(" ", false, false).paddedLeft('0', 2);
}

bool DocumentManager::isStoredDateText(const juce::String& dateText)
{
    const auto parts = juce::StringArray::fromTokens(dateText, " ", {});
    if (parts.size() != 3 || parts[1].length() != 3 || parts[2].length() != 4 ||
        !parts[2].containsOnly("0123456789") || !parts[0].containsOnly("0123456789") || parts[0].length() > 2)
        return false;
    const int day = parts[0].getIntValue();
    return day >= 1 && day <= 31;
}

juce::Time DocumentManager::dueTimeFromTimeString(const juce::String& dateText)
{
    return timeFromTimeString(isStoredDateText(dateText) ? dateText : juce::String());
}

bool DocumentManager::isDue(const juce::Time& time)
{
    return time <= Clock::now();
}

int DocumentManager::getDaysFromDate(const juce::Time& time)
{
    return (int)(time - Clock::now()).inDays();
}

juce::Time DocumentManager::getDateAfterDays(int days)
{
    const auto now = Clock::now();
    if (days == 0)
        return now;
    // The local calendar does the counting (through mktime), so a day of 23 or 25 hours is
    // still one day.
    const int limited = juce::jlimit(-maxDaysAhead, maxDaysAhead, days);
    return juce::Time(now.getYear(), now.getMonth(), now.getDayOfMonth() + limited, now.getHours(),
                      now.getMinutes(), now.getSeconds(), now.getMilliseconds(), true);
}

//==============================================================================
int DocumentManager::FileNameComparator::compareElements(const juce::File& first, const juce::File& second)
{
    const int order = first.getFileName().compare(second.getFileName());
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

juce::Array<juce::File> DocumentManager::listLibrary()
{
    // Every file counts as a candidate, whatever its extension: only its content decides.
    return CourseDir().findChildFiles(juce::File::findFiles, false, "*");
}

std::unique_ptr<juce::XmlElement> DocumentManager::readArchivedCourseText(const juce::File& archive)
{
    const auto zip = SafeArchive::open(archive);
    if (zip == nullptr)
        return nullptr;
    const int index = zip->getIndexOfFileName(archive.getFileNameWithoutExtension() + ".xml");
    if (index < 0)
        return nullptr;
    std::unique_ptr<juce::InputStream> stream(zip->createStreamForEntry(index));
    if (stream == nullptr)
        return nullptr;
    juce::MemoryBlock bytes;
    stream->readIntoMemoryBlock(bytes);
    auto course = SafeXml::parse(bytes);
    if (course != nullptr)
        CourseTextNumbers::keepWithinInt(*course);
    return course;
}

bool DocumentManager::isOpenCourse(const juce::File& archive)
{
    // The open course's own due sentences are counted by the controller from its working set.
    const auto waveform = getCourseFile(waveformFile);
    return TempDir().isDirectory() && waveform.existsAsFile() &&
           waveform.getFileNameWithoutExtension() == archive.getFileNameWithoutExtension();
}

int DocumentManager::countDueSentences(const juce::XmlElement& course)
{
    int count = 0;
    for (auto* sentence : course.getChildIterator())
        if (sentence->getStringAttribute(CourseModel::NeedReview) == "1" &&
            isDue(dueTimeFromTimeString(sentence->getStringAttribute(CourseModel::NextReviewDate))))
            ++count;
    return count;
}

void DocumentManager::getCoursesNeedReview(juce::Array<juce::File>& courses, int& dueSentences)
{
    courses.clear();
    dueSentences = 0;
    for (const auto& candidate : listLibrary())
    {
        const auto course = readArchivedCourseText(candidate);
        if (course == nullptr ||
            !isDue(dueTimeFromTimeString(course->getStringAttribute(CourseModel::NextReviewDate))) ||
            course->getIntAttribute(CourseModel::NowStatus) == -1 || isOpenCourse(candidate))
            continue;
        courses.add(candidate);
        dueSentences += countDueSentences(*course);
    }
}

bool DocumentManager::createTomorrowMobileFiles(int keepPreviousDays)
{
    juce::Array<juce::File> dueTomorrow;
    for (const auto& candidate : listLibrary())
    {
        const auto course = readArchivedCourseText(candidate);
        if (course == nullptr)
            continue;
        // Dates are stored at local midnight: not due yet, but due a day earlier, is tomorrow.
        const auto next = dueTimeFromTimeString(course->getStringAttribute(CourseModel::NextReviewDate));
        if (isDue(next) || !isDue(next - juce::RelativeTime::days(1)) ||
            course->getIntAttribute(CourseModel::NowStatus) == -1 || isOpenCourse(candidate))
            continue;
        dueTomorrow.add(candidate);
    }
    return createTodayMobileFiles(dueTomorrow, keepPreviousDays);
}

bool DocumentManager::createTodayMobileFiles(const juce::Array<juce::File>& courses, int keepPreviousDays)
{
    // The copies are made in a scratch folder that takes the day folder's name once all are
    // whole: a kill or a failed copy leaves no day folder, and the next start fills it again.
    for (const auto& left :
         dataFolder().findChildFiles(juce::File::findDirectories, false, ".mobile-*.partial"))
        left.deleteRecursively();

    const auto dayFolder = TodayMobileDir();
    // The folder is filled once a day; later starts that day leave it as it is.
    if (dayFolder.isDirectory())
        return true;
    const auto scratch = dataFolder().getChildFile("." + dayFolder.getFileName() + ".partial");

    auto earlier = dataFolder().findChildFiles(juce::File::findDirectories, false, "*");
    FileNameComparator byName;
    earlier.sort(byName);
    earlier.removeIf([](const juce::File& folder) { return !folder.getFileName().contains("mobile-"); });
    for (int i = 0; i < earlier.size() - juce::jmax(0, keepPreviousDays); ++i)
        earlier.getReference(i).deleteRecursively();

    bool copied = true;
    for (const auto& course : courses)
    {
        const auto source = MobileDir().getChildFile("M-" + course.getFileNameWithoutExtension() + ".ogg");
        if (!source.existsAsFile())
            continue;
        // The framework's copy counts the bytes handed to its buffer, not those that reached the
        // disk: a full disk would leave a cut copy reported as whole.
        copied = FileReplacement::copyOnto(source, scratch.getChildFile(source.getFileName())) && copied;
    }
    if (!copied)
    {
        scratch.deleteRecursively();
        return false;
    }
    // With nothing due tomorrow no day folder is made.
    return !scratch.isDirectory() || scratch.moveFileTo(dayFolder);
}

//==============================================================================
bool DocumentManager::archiveJobWorked(const juce::Result& result, bool* cancelled)
{
    if (cancelled != nullptr)
        *cancelled = ArchiveJob::wasCancelled(result);
    return result.wasOk();
}

bool DocumentManager::packDocument(bool* cancelled)
{
    const auto stem = getCourseFile(waveformFile).getFileNameWithoutExtension();
    if (stem.isEmpty())
        return false;

    // Courseware audio and CD tracks are left out: archiving rendered the course audio anew.
    // Scratch files are never part of the course.
    const auto listed = TempDir().findChildFiles(juce::File::findFiles, false, "*");
    juce::Array<juce::File> files;
    for (int i = listed.size(); --i >= 0;)
    {
        const auto name = listed[i].getFileName();
        if (!name.contains("courseware-") && !name.contains("CD-") && !isScratchName(name))
            files.add(listed[i]);
    }

    return packDocument(stem, files, cancelled);
}

bool DocumentManager::packDocument(const juce::String& stem, const juce::Array<juce::File>& files,
                                   bool* cancelled)
{
    const auto target = CourseDir().getChildFile(stem + ".mqz");
    return archiveJobWorked(
        ArchiveJob::perform(TRANS("Writing the course archive..."), ArchiveJob::sizeOf(files),
                            [&](const SafeArchive::Monitor& monitor)
                            { return SafeArchive::write(target, files, archiveCompressionLevel, monitor); }),
        cancelled);
}

bool DocumentManager::archiveHoldsCourseText(const juce::File& courseText)
{
    const auto archive = CourseDir().getChildFile(courseText.getFileNameWithoutExtension() + ".mqz");
    const auto zip = SafeArchive::open(archive);
    const int index = zip == nullptr ? -1 : zip->getIndexOfFileName(courseText.getFileName());
    if (index < 0)
        return false;
    std::unique_ptr<juce::InputStream> stream(zip->createStreamForEntry(index));
    juce::MemoryBlock archived, text;
    if (stream == nullptr || !courseText.loadFileAsData(text))
        return false;
    stream->readIntoMemoryBlock(archived);
    return archived == text;
}

void DocumentManager::clearWorkingSet()
{
    for (const auto& text : TempDir().findChildFiles(juce::File::findFiles, false, "*.xml"))
        text.deleteFile();
    TempDir().deleteRecursively();
}

bool DocumentManager::isScratchName(const juce::String& name)
{
    if (name.startsWithChar('.') || name.endsWith(".partial"))
        return true;
    // The framework's temporary file beside its target: the target's stem, "_temp" and a
    // random number in hexadecimal, maybe a count of its own, then the target's extension.
    const auto stem = name.upToLastOccurrenceOf(".", false, false);
    const int mark = stem.lastIndexOf("_temp");
    return mark >= 0 && stem.length() > mark + 5 &&
           stem.substring(mark + 5).containsOnly("0123456789abcdefABCDEF_()");
}

bool DocumentManager::isWorkingSetName(const juce::String& name)
{
    // Course texts, waveform files, course audio, retellings and courseware audio.
    return SafeArchive::isBareName(name) && !isScratchName(name) &&
           (name.endsWith(".xml") || name.endsWith(".smg") || name.endsWith(".ogg"));
}

bool DocumentManager::unpackDocument(const juce::File& archive, bool* cancelled)
{
    return archiveJobWorked(
        ArchiveJob::perform(TRANS("Reading the course archive..."), archive.getSize(),
                            [&](const SafeArchive::Monitor& monitor)
                            { return SafeArchive::unpack(archive, TempDir(), isWorkingSetName, monitor); }),
        cancelled);
}

void DocumentManager::removeInterruptedWrites()
{
    for (const auto& folder : {TempDir(), CourseDir(), MobileDir()})
        SafeArchive::removeLeftovers(folder);
    // The working set's, and the settings file's beside the library folders.
    for (const auto& folder : {TempDir(), TempDir().getParentDirectory()})
        for (const auto& file : folder.findChildFiles(juce::File::findFiles, false, "*"))
            if (isScratchName(file.getFileName()))
                file.deleteFile();
}
