// XML from elsewhere before the framework's parser gets it: what qZ writes parses as before; text
// the parser would loop forever on or read past its buffer over is refused, never parsed.
#include "engine/SafeXml.h"

#include <gtest/gtest.h>

TEST(SafeXmlTest, OnlyTextTheFrameworksParserCanTakeIsParsed)
{
    const juce::String course = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<COURSE CourseName=\"" +
                                juce::String::fromUTF8("课程") +
                                "\"><SENTENCE StartSamples=\"0\"/></COURSE>\n";
    const auto bytesOf = [](const juce::String& text)
    { return juce::MemoryBlock(text.toRawUTF8(), text.getNumBytesAsUTF8()); };
    const auto withBytes = [&](const juce::String& text, std::initializer_list<int> extra)
    {
        auto block = bytesOf(text);
        for (const int byte : extra)
            block.append(&byte, 1);
        return block;
    };
    const struct
    {
        const char* what;
        juce::MemoryBlock bytes;
        bool parses;
    } cases[] = {
        {"a course text as qZ writes it", bytesOf(course), true},
        {"an instruction inside an element, followed by text", bytesOf("<?" "?><S><?" "?>>"), false},
        {"an instruction after the declaration", bytesOf("<?xml version=\"1.0\"?><A/><?x?>"), false},
        {"text ending inside a UTF-8 sequence", withBytes("<?" "?><E e=\"\">", {0xff}), false},
        {"a zero byte", withBytes("<A b=\"", {0, '"', '/', '>'}), false},
        {"a lone continuation byte", withBytes("<A b=\"", {0x80, '"', '/', '>'}), false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(SafeXml::isParsable(c.bytes.getData(), c.bytes.getSize()), c.parses);
        const auto parsed = SafeXml::parse(c.bytes);
        EXPECT_EQ(parsed != nullptr, c.parses);
    }

    auto marked = juce::MemoryBlock("\xef\xbb\xbf", 3);
    marked.append(course.toRawUTF8(), course.getNumBytesAsUTF8());
    const auto parsed = SafeXml::parse(marked);
    ASSERT_NE(parsed, nullptr);
    EXPECT_EQ(parsed->getStringAttribute("CourseName"), juce::String::fromUTF8("课程"));
}
