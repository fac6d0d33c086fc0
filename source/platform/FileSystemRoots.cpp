#include "platform/FileSystemRoots.h"

#include "platform/AudioCdDiscs.h"

#include <fstream>
#include <sstream>

namespace
{
/** The mount table's escapes: a backslash and three octal digits stand for one byte. */
juce::String decodeMountField(const juce::String& field)
{
    juce::MemoryOutputStream bytes;
    const auto utf8 = field.toStdString();
    for (size_t i = 0; i < utf8.size(); ++i)
    {
        const auto isOctal = [&](size_t k) { return k < utf8.size() && utf8[k] >= '0' && utf8[k] <= '7'; };
        if (utf8[i] == '\\' && isOctal(i + 1) && isOctal(i + 2) && isOctal(i + 3))
        {
            bytes.writeByte((char)((utf8[i + 1] - '0') * 64 + (utf8[i + 2] - '0') * 8 + (utf8[i + 3] - '0')));
            i += 3;
        }
        else
        {
            bytes.writeByte(utf8[i]);
        }
    }
    return bytes.toUTF8();
}

bool isRemovablePlace(const juce::String& path, const juce::String& user)
{
    return path.startsWith("/media/") || (user.isNotEmpty() && path.startsWith("/run/media/" + user + "/")) ||
           path == "/mnt" || path.startsWith("/mnt/");
}
} // namespace

juce::Array<juce::File> FileSystemRoots::removableMountPoints(const juce::String& mountTable,
                                                              const juce::String& user)
{
    juce::Array<juce::File> points;
    for (const auto& line : juce::StringArray::fromLines(mountTable))
    {
        const auto fields = juce::StringArray::fromTokens(line, " \t", {});
        if (fields.size() < 2)
            continue;
        const auto path = decodeMountField(fields[1]);
        if (juce::File::isAbsolutePath(path) && isRemovablePlace(path, user))
            points.addIfNotAlreadyThere(juce::File(path));
    }
    return points;
}

std::vector<FileSystemRoots::Root> FileSystemRoots::find()
{
    std::vector<Root> roots;
    const auto add = [&roots](const juce::File& folder, const juce::String& label)
    {
        if (!folder.isDirectory())
            return;
        for (const auto& root : roots)
            if (root.folder == folder)
                return;
        roots.push_back({folder, label});
    };

    const auto documents = juce::File::getSpecialLocation(juce::File::userDocumentsDirectory);
    add(juce::File::getSpecialLocation(juce::File::userHomeDirectory), TRANS("Home"));
    add(documents, TRANS("Documents"));
    add(juce::File::getSpecialLocation(juce::File::userMusicDirectory), TRANS("Music"));
    const auto courseware = documents.getChildFile("qz/courseware");
    courseware.createDirectory();
    add(courseware, TRANS("Courseware"));

    // The table reports a size of 0, so it is read as a stream to its end.
    std::ifstream table("/proc/self/mounts");
    std::stringstream text;
    text << table.rdbuf();
    const auto mounts = juce::String::fromUTF8(text.str().c_str());
    for (const auto& point : removableMountPoints(mounts, juce::SystemStats::getLogonName()))
        add(point, point.getFileName());

    for (const auto& disc : AudioCdDiscs::refreshPlaceholders())
        add(disc.folder, disc.label);

    juce::Array<juce::File> systemRoots;
    juce::File::findFileSystemRoots(systemRoots);
    for (const auto& root : systemRoots)
        add(root, root.getVolumeLabel().isNotEmpty() ? root.getVolumeLabel() : TRANS("File system"));
    return roots;
}
