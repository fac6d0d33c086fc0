#include "platform/FontSubstitution.h"

#include <fontconfig/fontconfig.h>

#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include <unistd.h>

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
/** The family name a font goes by: its English one where it has several, else its first. */
juce::String familyOf(FcPattern* font)
{
    FcChar8* family = nullptr;
    FcChar8* language = nullptr;
    for (int n = 0; FcPatternGetString(font, FC_FAMILY, n, &family) == FcResultMatch; ++n)
        if (FcPatternGetString(font, FC_FAMILYLANG, n, &language) == FcResultMatch &&
            juce::String::fromUTF8(reinterpret_cast<const char*>(language)) == "en")
            return juce::String::fromUTF8(reinterpret_cast<const char*>(family));
    if (FcPatternGetString(font, FC_FAMILY, 0, &family) == FcResultMatch)
        return juce::String::fromUTF8(reinterpret_cast<const char*>(family));
    return {};
}

/** The folder of links that the framework scans for the faces it would skip. The framework opens
    a face's file each time it makes a typeface of it, so the links stay for the whole run and are
    removed at exit. */
class LinkFolder
{
public:
    ~LinkFolder()
    {
        for (auto& link : links)
            ::unlink(link.c_str());
        if (!path.empty())
            ::rmdir(path.c_str());
    }

    /** Makes a folder of this process's own (so nobody else can put files into it). */
    bool create()
    {
        const auto* runtime = std::getenv("XDG_RUNTIME_DIR");
        auto base =
            runtime != nullptr && juce::File::isAbsolutePath(runtime) && juce::File(runtime).isDirectory()
                ? juce::File(runtime)
                : juce::File::getSpecialLocation(juce::File::tempDirectory);
        std::string pattern = base.getChildFile("qz-fonts-XXXXXX").getFullPathName().toStdString();
        if (::mkdtemp(pattern.data()) == nullptr)
            return false;
        path = pattern;
        return true;
    }

    /** A link to the file under a name the framework scans; false when it can't be made. */
    bool link(const juce::File& target)
    {
        const auto name =
            juce::File(juce::String(path)).getChildFile("face-" + juce::String(links.size()) + ".ttf");
        if (!target.createSymbolicLink(name, false))
            return false;
        links.push_back(name.getFullPathName().toStdString());
        return true;
    }

    juce::File getFolder() const { return juce::File(juce::String(path)); }

private:
    std::string path;
    std::vector<std::string> links;
};
} // namespace

juce::Array<juce::File> FontSubstitution::findFilesTheFrameworkSkips()
{
    juce::Array<juce::File> files;
    if (FcInit() == FcFalse)
        return files;

    const auto known = juce::Font::findAllTypefaceNames();
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcPatternAddBool(pattern, FC_OUTLINE, FcTrue);
    FcObjectSet* objects = FcObjectSetBuild(FC_FILE, FC_FAMILY, FC_FAMILYLANG, nullptr);
    if (FcFontSet* fonts = FcFontList(nullptr, pattern, objects))
    {
        for (int i = 0; i < fonts->nfont; ++i)
        {
            FcChar8* path = nullptr;
            if (FcPatternGetString(fonts->fonts[i], FC_FILE, 0, &path) != FcResultMatch)
                continue;
            const auto family = familyOf(fonts->fonts[i]);
            const juce::File file(juce::String::fromUTF8(reinterpret_cast<const char*>(path)));
            if (family.isNotEmpty() && !known.contains(family) && file.existsAsFile())
                files.addIfNotAlreadyThere(file);
        }
        FcFontSetDestroy(fonts);
    }
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return files;
}

void FontSubstitution::addFacesTheFrameworkSkips()
{
    static std::once_flag once;
    static LinkFolder folder;
    std::call_once(once,
                   []
                   {
                       const auto files = findFilesTheFrameworkSkips();
                       if (files.isEmpty() || !folder.create())
                           return;
                       bool linked = false;
                       for (auto& file : files)
                           linked = folder.link(file) || linked;
                       if (linked)
                           juce::Typeface::scanFolderForFonts(folder.getFolder());
                   });
}

juce::String FontSubstitution::drawingFaceFor(const juce::String& faceName)
{
    if (juce::Font::findAllTypefaceNames().contains(faceName))
        return faceName;
    if (auto substitute = substituteFor(faceName))
        return substitute->getName();
    return {};
}

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
