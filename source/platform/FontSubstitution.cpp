#include "platform/FontSubstitution.h"

#include <fontconfig/fontconfig.h>

#include <map>

namespace
{
constexpr FcChar32 sampleHanCharacter = 0x4E2D; // a common Chinese character every CJK font has

juce::File matchFile(const juce::String& family, bool requireHan)
{
    juce::File result;
    FcPattern* pattern = FcPatternCreate();
    if (family.isNotEmpty())
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.toRawUTF8()));
    FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("zh-cn"));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);

    FcResult outcome = FcResultNoMatch;
    if (FcPattern* match = FcFontMatch(nullptr, pattern, &outcome))
    {
        FcChar8* path = nullptr;
        FcCharSet* characters = nullptr;
        const bool hasHan = FcPatternGetCharSet(match, FC_CHARSET, 0, &characters) == FcResultMatch &&
                            FcCharSetHasChar(characters, sampleHanCharacter);
        if ((hasHan || !requireHan) && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch)
            result = juce::File(juce::String::fromUTF8(reinterpret_cast<const char*>(path)));
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return result;
}
} // namespace

juce::File FontSubstitution::findSubstituteFile(const juce::String& faceName)
{
    if (FcInit() == FcFalse)
        return {};
    auto file = matchFile(faceName, true);
    if (!file.existsAsFile())
        file = matchFile({}, true);
    return file;
}

juce::Typeface::Ptr FontSubstitution::substituteFor(const juce::String& faceName)
{
    static juce::CriticalSection lock;
    static std::map<juce::String, juce::Typeface::Ptr> cache;

    const juce::ScopedLock scope(lock);
    if (auto found = cache.find(faceName); found != cache.end())
        return found->second;

    juce::Typeface::Ptr typeface;
    if (!juce::Font::findAllTypefaceNames().contains(faceName))
    {
        juce::MemoryBlock data;
        if (findSubstituteFile(faceName).loadFileAsData(data) && data.getSize() > 0)
            typeface = juce::Typeface::createSystemTypefaceFor(data.getData(), data.getSize());
    }
    cache[faceName] = typeface;
    return typeface;
}
