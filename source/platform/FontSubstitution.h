#pragma once

#include <juce_graphics/juce_graphics.h>

/** Typefaces for face names that this machine lacks.

    The framework scans only some font file types and has no per-glyph fallback, so a face such as
    "Microsoft YaHei" that isn't installed would draw Chinese text as boxes. Here fontconfig names
    the installed font that best stands in for the face with Chinese glyphs, and that file is
    loaded as a typeface of its own. */
class FontSubstitution
{
public:
    FontSubstitution() = delete;

    /** The stand-in for a missing face, or null when the face is installed (the framework then
        finds it) or no font on the machine has Chinese glyphs. Results are cached. */
    static juce::Typeface::Ptr substituteFor(const juce::String& faceName);

    /** The file fontconfig picks for the face, preferring one with Chinese glyphs. */
    static juce::File findSubstituteFile(const juce::String& faceName);
};
