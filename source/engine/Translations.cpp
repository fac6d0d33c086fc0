#include "engine/Translations.h"

#include <BinaryData.h>

juce::String Translations::trans_cn_h()
{
    return juce::String::fromUTF8(BinaryData::trans_cn_txt, BinaryData::trans_cn_txtSize);
}

juce::String Translations::trans_tw_h()
{
    return juce::String::fromUTF8(BinaryData::trans_tw_txt, BinaryData::trans_tw_txtSize);
}
