// Opening addresses with the desktop's handler: the address reaches GIO as data, escaped as a
// URI, whatever the folder's name holds; an address no handler takes is reported as not opened.
#include "platform/SystemLauncher.h"

#include "harness/TemporaryHome.h"

#include <gtest/gtest.h>

TEST(SystemLauncher, AFolderWithShellCharactersBecomesAnEscapedFileUri)
{
    const auto folder = makeScratchFolder("launch").getChildFile("day $(touch x); 'a' \"b\" & c");
    ASSERT_TRUE(folder.createDirectory().wasOk());

    const auto uri = SystemLauncher::uriFor(juce::URL(folder));
    EXPECT_TRUE(uri.startsWith("file:///"));
    // Blanks, quotes and semicolons are escaped; what a URI path may hold stays as it is.
    EXPECT_TRUE(uri.endsWith("/day%20$(touch%20x)%3B%20'a'%20%22b%22%20&%20c")) << uri;
    // GIO reads it back as the same folder.
    EXPECT_EQ(juce::URL(uri).getLocalFile(), folder);

    EXPECT_EQ(SystemLauncher::uriFor(juce::URL("https://example.org/a?q=1")), "https://example.org/a?q=1");
}

TEST(SystemLauncher, AnAddressNoHandlerTakesIsNotOpened)
{
    EXPECT_FALSE(SystemLauncher::open(juce::URL("qz-no-such-scheme://nothing")));
}
