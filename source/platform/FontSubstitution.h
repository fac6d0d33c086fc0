#pragma once

#include <juce_graphics/juce_graphics.h>

/** Typefaces for face names that this machine lacks, and the faces the framework doesn't find.

    The framework scans only some font file types (not font collections such as the .ttc files
    that carry most Chinese fonts) and has no per-glyph fallback, so a face such as
    "Microsoft YaHei" that isn't installed would draw Chinese text as boxes. Here fontconfig names
    the installed font that best stands in for the face with Chinese glyphs, and that file is
    loaded as a typeface of its own; and the faces fontconfig knows in files the framework skips
    are made known to the framework, so that they can be chosen by name like any other. */
class FontSubstitution
{
public:
    FontSubstitution() = delete;

    /** The stand-in for a missing face, or null when the face is installed (the framework then
        finds it) or no font on the machine has Chinese glyphs. Results are cached. */
    static juce::Typeface::Ptr substituteFor(const juce::String& faceName);

    /** The file fontconfig picks for the face, preferring one with Chinese glyphs. */
    static juce::File findSubstituteFile(const juce::String& faceName);

    /** The installed face that draws text asked for in this face: the face itself when the
        framework knows it, else the family of its stand-in; empty when there is neither. */
    static juce::String drawingFaceFor(const juce::String& faceName);

    /** Once per process: the scalable faces that fontconfig lists in files the framework's own
        scan skips are made known to the framework (through links to those files, under names it
        scans, in a folder of this process's own that is removed at exit). Afterwards
        juce::Font::findAllTypefaceNames lists them and fonts of their names draw with them. */
    static void addFacesTheFrameworkSkips();

    /** The font files that fontconfig lists with a scalable face whose family the framework
        doesn't know; what addFacesTheFrameworkSkips hands to the framework. */
    static juce::Array<juce::File> findFilesTheFrameworkSkips();
};
