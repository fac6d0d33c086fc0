#pragma once

#include <juce_core/juce_core.h>

/** The two interface translations compiled into the program, in the framework's
    localised-strings text form ("English" = "translation" lines). */
class Translations
{
public:
    Translations() = delete;

    /** Simplified Chinese. */
    static juce::String trans_cn_h();
    /** Traditional Chinese. */
    static juce::String trans_tw_h();
};
