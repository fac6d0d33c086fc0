#include "platform/AudioCdDiscs.h"

#include <cdio/cdio.h>

#include <algorithm>
#include <filesystem>
#include <set>

namespace
{
const char* const defaultLabel = "Audio CD";

juce::String placeholderText(int trackNumber, const juce::String& source)
{
    return "qZ: track " + juce::String(trackNumber) + " of the audio CD read from " + source +
           ".\nThis file holds no audio: qZ reads the track from the disc.\n";
}

bool isImageFolderName(const juce::String& name)
{
    return name.endsWith(".cue");
}
} // namespace

juce::File AudioCdDiscs::placeholderRoot()
{
    return juce::File::getSpecialLocation(juce::File::userDocumentsDirectory).getChildFile("qz/audio-cd");
}

juce::File AudioCdDiscs::imagesFolder()
{
    const auto named = juce::SystemStats::getEnvironmentVariable(imagesVariable, {});
    if (!juce::File::isAbsolutePath(named))
        return {};
    return juce::File(named);
}

bool AudioCdDiscs::isOnCdDrive(const juce::File& file)
{
    return file.getParentDirectory().getParentDirectory() == placeholderRoot();
}

juce::String AudioCdDiscs::trackFileName(int trackNumber)
{
    return "Track" + juce::String(trackNumber).paddedLeft('0', 2) + ".cda";
}

juce::File AudioCdDiscs::folderOfImage(const juce::File& cueSheet)
{
    return placeholderRoot().getChildFile(cueSheet.getFileName());
}

juce::StringArray AudioCdDiscs::findDrives()
{
    // The same drive can be listed under a link (/dev/cdrom) and its own name (/dev/sr0).
    std::set<std::string> paths;
    if (char** devices = cdio_get_devices(DRIVER_DEVICE))
    {
        for (char** device = devices; *device != nullptr; ++device)
        {
            std::error_code error;
            const auto path = std::filesystem::canonical(*device, error);
            if (!error)
                paths.insert(path.string());
        }
        cdio_free_device_list(devices);
    }

    juce::StringArray drives;
    for (const auto& path : paths)
        drives.add(juce::String::fromUTF8(path.c_str()));
    return drives;
}

juce::Array<juce::File> AudioCdDiscs::findImages()
{
    const auto folder = imagesFolder();
    if (!folder.isDirectory())
        return {};
    auto sheets = folder.findChildFiles(juce::File::findFiles, false, "*.cue");
    sheets.sort();
    return sheets;
}

void AudioCdDiscs::visitDiscs(const DiscVisitor& visit)
{
    const auto visitWith =
        [&visit](const juce::File& folder, const juce::String& source, const AudioCdDiscReader& reader)
    {
        const auto title = reader.getTitle();
        visit({folder, title.isEmpty() ? juce::String(defaultLabel) : title, source,
               (int)reader.getTracks().size()},
              reader);
    };

    for (const auto& drive : findDrives())
    {
        const auto name = juce::File(drive).getFileName();
        if (isImageFolderName(name))
            continue;
        if (auto reader = AudioCdDiscReader::openDrive(drive, AudioCdDiscReader::Reading::direct))
            visitWith(placeholderRoot().getChildFile(name), drive, *reader);
    }

    for (const auto& sheet : findImages())
    {
        juce::String problem;
        if (auto reader = AudioCdDiscReader::openImage(sheet, AudioCdDiscReader::Reading::direct, &problem))
            visitWith(folderOfImage(sheet), sheet.getFullPathName(), *reader);
        else
            juce::Logger::writeToLog("qZ: the audio-CD image " + sheet.getFullPathName() +
                                     " is left out: " + problem);
    }
}

std::unique_ptr<AudioCdDiscReader> AudioCdDiscs::openDisc(const juce::File& discFolder)
{
    if (discFolder.getParentDirectory() != placeholderRoot())
        return nullptr;

    const auto name = discFolder.getFileName();
    if (isImageFolderName(name))
    {
        const auto images = imagesFolder();
        const auto sheet = images.getChildFile(name);
        if (images == juce::File() || !sheet.existsAsFile())
            return nullptr;
        return AudioCdDiscReader::openImage(sheet);
    }

    for (const auto& drive : findDrives())
        if (juce::File(drive).getFileName() == name)
            return AudioCdDiscReader::openDrive(drive);
    return nullptr;
}

std::vector<AudioCdDiscs::Disc> AudioCdDiscs::refreshPlaceholders()
{
    std::vector<Disc> discs;
    visitDiscs(
        [&discs](const Disc& disc, const AudioCdDiscReader& reader)
        {
            placeholderRoot().createDirectory();
            writePlaceholders(disc, reader);
            discs.push_back(disc);
        });
    removeStalePlaceholders(discs);
    return discs;
}

void AudioCdDiscs::writePlaceholders(const Disc& disc, const AudioCdDiscReader& reader)
{
    // A link put there would have the files written, and others removed, wherever it leads.
    if (disc.folder.isSymbolicLink() || !disc.folder.createDirectory().wasOk())
        return;

    juce::StringArray wanted;
    for (const auto& track : reader.getTracks())
    {
        const auto file = disc.folder.getChildFile(trackFileName(track.number));
        const auto text = placeholderText(track.number, disc.source);
        wanted.add(file.getFileName());
        if (!file.existsAsFile() || file.loadFileAsString() != text)
            file.replaceWithText(text);
    }

    for (const auto& file : disc.folder.findChildFiles(juce::File::findFiles, false, "*.cda"))
        if (!wanted.contains(file.getFileName()))
            file.deleteFile();
}

void AudioCdDiscs::removeStalePlaceholders(const std::vector<Disc>& discs)
{
    const auto root = placeholderRoot();
    if (!root.isDirectory())
        return;

    for (const auto& folder : root.findChildFiles(juce::File::findDirectories, false, "*"))
    {
        const bool present = std::any_of(discs.begin(), discs.end(),
                                         [&folder](const Disc& disc) { return disc.folder == folder; });
        if (present || folder.isSymbolicLink())
            continue;
        for (const auto& file : folder.findChildFiles(juce::File::findFiles, false, "*.cda"))
            file.deleteFile();
        // Only an emptied folder goes: whatever else the learner put there stays.
        if (folder.getNumberOfChildFiles(juce::File::findFilesAndDirectories) == 0)
            folder.deleteFile();
    }
}
