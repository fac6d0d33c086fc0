#include "platform/CharacterClassification.h"

#include <juce_core/juce_core.h>

#include <clocale>
#include <string>

namespace
{
constexpr juce::juce_wchar sampleHanCharacter = 0x4E2D; // a common Chinese character
} // namespace

bool CharacterClassification::classifiesChinese()
{
    return juce::CharacterFunctions::isLetterOrDigit(sampleHanCharacter);
}

bool CharacterClassification::useUnicodeLetters()
{
    if (classifiesChinese())
        return true;

    const std::string previous = std::setlocale(LC_CTYPE, nullptr);
    // The user's own locale first ("" reads it from the environment), then the one glibc has built
    // in whatever is installed.
    for (auto* name : {"", "C.UTF-8", "C.utf8"})
        if (std::setlocale(LC_CTYPE, name) != nullptr && classifiesChinese())
            return true;

    std::setlocale(LC_CTYPE, previous.c_str());
    return false;
}
