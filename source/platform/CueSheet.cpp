#include "platform/CueSheet.h"

#include <filesystem>

namespace
{
// A real sheet is a few kilobytes even for 99 tracks with texts.
const juce::int64 largestSheetBytes = 64 * 1024;
const juce::int64 sectorBytes = 2352;

/** The path with every link resolved; empty when it can't be resolved. */
std::filesystem::path resolved(const juce::File& file)
{
    std::error_code error;
    auto path = std::filesystem::canonical(file.getFullPathName().toStdString(), error);
    return error ? std::filesystem::path() : path;
}
} // namespace

juce::File CueSheet::dataFileOf(const juce::File& cueSheet)
{
    return cueSheet.withFileExtension("bin");
}

bool CueSheet::readFileLines(const juce::File& cueSheet, juce::Array<FileLine>& lines)
{
    if (cueSheet.getSize() > largestSheetBytes)
        return false;

    juce::StringArray text;
    text.addLines(cueSheet.loadFileAsString());
    for (const auto& rawLine : text)
    {
        const auto line = rawLine.trim();
        const auto keyword =
            line.upToFirstOccurrenceOf(" ", false, false).upToFirstOccurrenceOf("\t", false, false);
        if (!keyword.equalsIgnoreCase("FILE"))
            continue;

        // FILE "name with blanks.bin" BINARY, or FILE name.bin BINARY.
        const auto rest = line.substring(keyword.length()).trim();
        FileLine entry;
        if (rest.startsWithChar('"'))
        {
            entry.name = rest.substring(1).upToFirstOccurrenceOf("\"", false, false);
            entry.type = rest.substring(1).fromFirstOccurrenceOf("\"", false, false).trim();
        }
        else
        {
            entry.name = rest.upToFirstOccurrenceOf(" ", false, false);
            entry.type = rest.fromFirstOccurrenceOf(" ", false, false).trim();
        }
        lines.add(entry);
    }
    return true;
}

juce::Result CueSheet::check(const juce::File& cueSheet)
{
    // libcdio recognises a sheet by this extension, written so.
    if (!cueSheet.existsAsFile() || cueSheet.getFileExtension() != ".cue")
        return juce::Result::fail("not a cue sheet");

    juce::Array<FileLine> lines;
    if (!readFileLines(cueSheet, lines))
        return juce::Result::fail("the cue sheet is too large to be one");
    if (lines.size() != 1)
        return juce::Result::fail("the cue sheet names " + juce::String(lines.size()) +
                                  " data files; exactly one is read");

    const auto expected = dataFileOf(cueSheet).getFileName();
    if (lines[0].name != expected)
        return juce::Result::fail("the cue sheet names the data file \"" + lines[0].name +
                                  "\" instead of \"" + expected + "\" beside it");
    if (!lines[0].type.equalsIgnoreCase("BINARY"))
        return juce::Result::fail("the data file is of type \"" + lines[0].type +
                                  "\"; only raw samples (BINARY) are read");
    return checkDataFile(cueSheet);
}

juce::Result CueSheet::checkDataFile(const juce::File& cueSheet)
{
    const auto data = dataFileOf(cueSheet);
    if (!data.existsAsFile())
        return juce::Result::fail("the data file \"" + data.getFileName() + "\" is missing");

    const auto folder = resolved(cueSheet.getParentDirectory());
    const auto target = resolved(data);
    if (folder.empty() || target.empty() || target.parent_path() != folder)
        return juce::Result::fail("the data file \"" + data.getFileName() +
                                  "\" lies outside the cue sheet's folder");
    if (!std::filesystem::is_regular_file(target))
        return juce::Result::fail("the data file \"" + data.getFileName() + "\" is not a regular file");

    const auto size = data.getSize();
    if (size <= 0 || size % sectorBytes != 0)
        return juce::Result::fail("the data file \"" + data.getFileName() +
                                  "\" does not hold whole CD sectors; it may have been cut off");
    return juce::Result::ok();
}
