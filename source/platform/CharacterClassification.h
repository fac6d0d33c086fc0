#pragma once

/** Makes the C library's wide-character classification know Unicode letters.

    The framework asks the C library whether a character is a letter or a digit, and the answer
    follows the program's character-type locale. A program starts in the "C" locale, where no
    character above U+007F is a letter, so Chinese text would hold no word characters at all. */
class CharacterClassification
{
public:
    CharacterClassification() = delete;

    /** Keeps the character-type locale when it already classifies Chinese characters as letters;
        otherwise switches it to the user's locale or, failing that, the built-in "C.UTF-8". The
        other locale categories (number and date formats) stay as they are. Returns false when no
        locale on the machine classifies them. */
    static bool useUnicodeLetters();

    /** True when the current classification counts Chinese characters as letters. */
    static bool classifiesChinese();
};
