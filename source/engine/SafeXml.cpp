#include "engine/SafeXml.h"

namespace
{
bool isValidUtf8WithoutZero(const juce::uint8* bytes, size_t size)
{
    for (size_t i = 0; i < size;)
    {
        const auto lead = bytes[i];
        if (lead == 0)
            return false;
        if (lead < 0x80)
        {
            ++i;
            continue;
        }
        size_t extra = 0;
        if (lead >= 0xc2 && lead <= 0xdf)
            extra = 1;
        else if ((lead & 0xf0) == 0xe0)
            extra = 2;
        else if (lead >= 0xf0 && lead <= 0xf4)
            extra = 3;
        else
            return false;
        if (i + extra >= size)
            return false;
        for (size_t k = 1; k <= extra; ++k)
            if ((bytes[i + k] & 0xc0) != 0x80)
                return false;
        i += extra + 1;
    }
    return true;
}

size_t afterByteOrderMark(const juce::uint8* bytes, size_t size)
{
    return size >= 3 && bytes[0] == 0xef && bytes[1] == 0xbb && bytes[2] == 0xbf ? 3 : 0;
}

/** No "<?" but at the very start (after a byte-order mark and blanks): the declaration. */
bool hasNoLaterInstruction(const juce::uint8* bytes, size_t size)
{
    auto start = afterByteOrderMark(bytes, size);
    while (start < size &&
           (bytes[start] == ' ' || bytes[start] == '\t' || bytes[start] == '\r' || bytes[start] == '\n'))
        ++start;
    for (size_t i = start + 1; i + 1 < size; ++i)
        if (bytes[i] == '<' && bytes[i + 1] == '?')
            return false;
    return true;
}
} // namespace

bool SafeXml::isParsable(const void* data, size_t size)
{
    const auto* bytes = static_cast<const juce::uint8*>(data);
    return isValidUtf8WithoutZero(bytes, size) && hasNoLaterInstruction(bytes, size);
}

std::unique_ptr<juce::XmlElement> SafeXml::parse(const juce::File& file)
{
    juce::MemoryBlock bytes;
    if (!file.loadFileAsData(bytes))
        return nullptr;
    return parse(bytes);
}

std::unique_ptr<juce::XmlElement> SafeXml::parse(const juce::MemoryBlock& bytes)
{
    if (!isParsable(bytes.getData(), bytes.getSize()))
        return nullptr;
    const auto* data = static_cast<const juce::uint8*>(bytes.getData());
    const auto start = afterByteOrderMark(data, bytes.getSize());
    return juce::parseXML(
        juce::String::fromUTF8(reinterpret_cast<const char*>(data + start), (int)(bytes.getSize() - start)));
}

std::unique_ptr<juce::XmlElement> SafeXml::parse(const juce::String& text)
{
    const auto* utf8 = text.toRawUTF8();
    if (!isParsable(utf8, text.getNumBytesAsUTF8()))
        return nullptr;
    return juce::parseXML(text);
}
