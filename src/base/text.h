#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tdwk {

// Texts are UTF-8; these count and change characters, not bytes. A byte that is not part of a
// well-formed UTF-8 sequence counts as one character.
std::size_t CharacterCount(std::string_view text);
std::vector<char32_t> DecodeUtf8(std::string_view text);
std::string EncodeUtf8(char32_t codePoint);

// Upper case of every letter the file code page can hold (ASCII and Latin letters).
std::string UpperCase(std::string_view text);
// The first character (all its bytes), or the empty text.
std::string FirstCharacter(std::string_view text);

// The number a text begins with: leading blanks, a sign, digits, a decimal point with digits
// and an exponent; reading stops at the first character that does not fit. 0 for none.
double LeadingNumber(std::string_view text);

// A whole text read as a number (blanks around it allowed). Type mismatch when it is none.
double TextToNumber(std::string_view text);

// Rounded to the nearest integer (a half to the even one) and checked to fit 16 bits:
// Overflow otherwise.
std::int16_t ToInteger16(double value);

// Decimal text of an integer: a minus sign for negatives, no leading zeros.
std::string DecimalText(long long value);

}  // namespace tdwk
