#include "engine/FileReplacement.h"

#include "engine/CheckedFileOutputStream.h"

#include <cstdio>

namespace
{
const juce::String partialExtension(".partial");
const size_t writeBufferSize = 16384;

bool renameOnto(const juce::File& source, const juce::File& target)
{
    // rename() replaces an existing target in one step, which the framework's move does not
    // (it deletes the target first).
    return std::rename(source.getFullPathName().toRawUTF8(), target.getFullPathName().toRawUTF8()) == 0;
}

bool writeCopy(const juce::File& source, const juce::File& copy)
{
    juce::FileInputStream in(source);
    if (!in.openedOk())
        return false;
    copy.deleteFile();
    juce::FileOutputStream out(copy);
    if (!out.openedOk())
        return false;
    const auto length = in.getTotalLength();
    if (out.writeFromInputStream(in, -1) != length)
        return false;
    out.flush();
    return out.getStatus().wasOk();
}
} // namespace

juce::File FileReplacement::partialFileFor(const juce::File& target)
{
    return target.getSiblingFile(target.getFileName() + partialExtension);
}

bool FileReplacement::copyOnto(const juce::File& source, const juce::File& target)
{
    if (!source.existsAsFile() || !target.getParentDirectory().createDirectory().wasOk())
        return false;

    const auto partial = partialFileFor(target);
    const bool copied = writeCopy(source, partial) && partial.getSize() == source.getSize();
    if (copied && renameOnto(partial, target))
        return true;
    partial.deleteFile();
    return false;
}

bool FileReplacement::writeOnto(const juce::File& target,
                                const std::function<bool(juce::OutputStream&)>& writer)
{
    if (!target.getParentDirectory().createDirectory().wasOk())
        return false;

    const auto partial = partialFileFor(target);
    if (!partial.deleteFile())
        return false;
    std::shared_ptr<const CheckedFileOutputStream::Outcome> outcome;
    bool written = false;
    {
        CheckedFileOutputStream out(partial, writeBufferSize);
        outcome = out.getOutcome();
        written = out.openedOk() && writer(out);
    }
    if (written && outcome->wroteWholeFile() && renameOnto(partial, target))
        return true;
    partial.deleteFile();
    return false;
}

bool FileReplacement::moveOnto(const juce::File& source, const juce::File& target)
{
    if (!source.existsAsFile() || !target.getParentDirectory().createDirectory().wasOk())
        return false;
    if (renameOnto(source, target))
        return true;
    // Another file system: the rename can't cross it, a copy beside the target can.
    if (!copyOnto(source, target))
        return false;
    source.deleteFile();
    return true;
}

void FileReplacement::deleteLeftovers(const juce::File& folder)
{
    for (const auto& file : folder.findChildFiles(juce::File::findFiles, false, "*" + partialExtension))
        file.deleteFile();
}
