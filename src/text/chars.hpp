// Fixed character tables, the two ways of lowering text, the letter class of words and
// the character-set searches the string helpers rest on. Positions are 1-based; 0 is "none".
#pragma once

#include <array>

#include "text/text.hpp"

namespace tw {

extern const TextView strUpperCaseLetters;  // 59 capitals, paired with the first 59 below
extern const TextView strLowerCaseLetters;  // 60 small letters; the last is ß
extern const TextView strAccentedLetters;   // 59 accented letters
extern const TextView strVowels;            // 60 vowels (Y and y are added by HasNoVowel)

// The general lower-case conversion: every character with a simple Unicode lower-case
// mapping is lowered, one 16-bit character for one.
extern const std::array<char16_t, 0x10000> kGeneralLower;
inline char16_t LowerChar(char16_t c) {
  return kGeneralLower[c];
}
Text ToLowerGeneral(TextView text);
void ToLowerGeneralInPlace(Text& text);

// Whether a character is one of strAccentedLetters.
bool IsAccentedChar(char16_t c);
// One character through the letter tables: a capital of strUpperCaseLetters becomes its
// partner in strLowerCaseLetters, every other character stays.
char16_t TableLowerChar(char16_t c);

// Table-driven lowering that folds the accented capitals (general conversion when the text
// holds no accented letter). Keeps the length.
Text LowerCase(TextView text);

bool HasNoAccentedLetter(TextView text);
bool HasNoVowel(TextView text);

// Whether the first character of `ch` is a word character: classed by the low 8 bits of its
// code; digits only when allowed; `extra` adds characters. Empty `ch` gives false.
bool IsLetterChar(TextView ch, bool digits, TextView extra);
// The same for one character.
bool IsLetterChar(char16_t c, bool digits, TextView extra);

// Text held one byte per character of the code page: every character the engine takes from a
// document is one of the 256 (its bytes read through the bijective code page, UTF-8 decoded
// only to characters the code page holds), and the general lowering keeps to them, so such
// text can be lowered and classed through tables over the bytes.
using ByteTable = std::array<unsigned char, 256>;
using ByteSet = std::array<bool, 256>;
// The byte of the general lower-case form (LowerChar) of each byte's character.
const ByteTable& Cp1252LowerBytes();
// IsLetterChar for the character of each byte.
ByteSet LetterBytes(bool digits, TextView extra);

// First position at or after `start` (below 1 counts as 1) whose character is in `set`;
// `index` receives that character's position in `set`. 0 (index untouched) when none.
int32_t FindCharInSet(TextView text, int32_t start, TextView set, int32_t& index);
// First position at or after `start` whose character is not in `set`; 0 when none.
int32_t FindCharNotInSet(TextView text, int32_t start, TextView set);

}  // namespace tw
