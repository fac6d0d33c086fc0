#pragma once

#include <juce_core/juce_core.h>

#include <memory>

/** XML text from elsewhere (a course text, an archive's course text, the settings), handed to the
    framework's parser only once it can take it.

    The framework's XML parser loops forever on a processing instruction inside an element that
    is followed by text ("<a><?x?>b</a>"), and reads past the end of its buffer on text that
    ends in the middle of a UTF-8 sequence. qZ writes neither: its XML is UTF-8 without a zero
    byte, with no processing instruction but the declaration at its start. Text that breaks
    those rules is taken as damaged. */
class SafeXml
{
public:
    SafeXml() = delete;

    /** Whether the bytes are such text. */
    static bool isParsable(const void* data, size_t size);

    /** The document of the file, or null when it can't be read, isn't parsable or isn't XML. */
    static std::unique_ptr<juce::XmlElement> parse(const juce::File& file);

    /** The document the bytes hold, or null when they aren't parsable or aren't XML. */
    static std::unique_ptr<juce::XmlElement> parse(const juce::MemoryBlock& bytes);

    /** The document of the text, or null when it isn't parsable or isn't XML. */
    static std::unique_ptr<juce::XmlElement> parse(const juce::String& text);
};
