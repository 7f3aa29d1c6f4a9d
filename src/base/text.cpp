#include "base/text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

#include "base/vb_error.h"

namespace tdwk {
namespace {

// Length of the well-formed UTF-8 sequence at text[i], or 0 for an ill-formed one.
std::size_t SequenceLength(std::string_view text, std::size_t i, char32_t& codePoint) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) {
    codePoint = lead;
    return 1;
  }
  std::size_t length = 0;
  char32_t value = 0;
  char32_t minimum = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, value = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, value = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, value = lead & 0x07, minimum = 0x10000;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    value = (value << 6) | (byte(i + k) & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  codePoint = value;
  return length;
}

char32_t UpperCodePoint(char32_t c) {
  if (c >= U'a' && c <= U'z') return c - 0x20;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
  switch (c) {
    case 0xFF:
      return 0x178;
    case 0x161:
      return 0x160;
    case 0x153:
      return 0x152;
    case 0x17E:
      return 0x17D;
    default:
      return c;
  }
}

}  // namespace

std::vector<char32_t> DecodeUtf8(std::string_view text) {
  std::vector<char32_t> result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    char32_t c = 0;
    const std::size_t length = SequenceLength(text, i, c);
    if (length == 0) {
      result.push_back(0xFFFD);
      ++i;
    } else {
      result.push_back(c);
      i += length;
    }
  }
  return result;
}

std::size_t CharacterCount(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); ++count) {
    char32_t c = 0;
    const std::size_t length = SequenceLength(text, i, c);
    i += length == 0 ? 1 : length;
  }
  return count;
}

std::string EncodeUtf8(char32_t c) {
  std::string out;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

std::string UpperCase(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    char32_t c = 0;
    const std::size_t length = SequenceLength(text, i, c);
    if (length == 0) {
      result += text[i];  // kept as it was: not a letter
      ++i;
      continue;
    }
    const char32_t upper = UpperCodePoint(c);
    if (upper == c) {
      result.append(text.substr(i, length));
    } else {
      result += EncodeUtf8(upper);
    }
    i += length;
  }
  return result;
}

std::string FirstCharacter(std::string_view text) {
  if (text.empty()) return {};
  char32_t c = 0;
  const std::size_t length = SequenceLength(text, 0, c);
  return std::string(text.substr(0, length == 0 ? 1 : length));
}

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// Length of the number at the start of text (sign, digits, fraction, exponent); 0 for none.
std::size_t NumberLength(std::string_view text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && IsDigit(text[j])) {
      while (j < text.size() && IsDigit(text[j])) ++j;
      i = j;
    }
  }
  return i;
}

// The power of ten of a number's first significant digit ("0.05e3" is 1); nothing for zero.
// The exponent saturates, so any number of digits is safe.
std::optional<long long> DecimalMagnitude(std::string_view number) {
  std::size_t i = (!number.empty() && (number[0] == '+' || number[0] == '-')) ? 1 : 0;
  std::optional<long long> magnitude;
  long long place = 0;  // the power of ten of the digit at i, counted down from the point
  const std::size_t integerStart = i;
  while (i < number.size() && IsDigit(number[i])) ++i;
  place = static_cast<long long>(i - integerStart) - 1;
  for (std::size_t k = integerStart; k < i; ++k, --place) {
    if (!magnitude && number[k] != '0') magnitude = place;
  }
  if (i < number.size() && number[i] == '.') {
    for (++i; i < number.size() && IsDigit(number[i]); ++i, --place) {
      if (!magnitude && number[i] != '0') magnitude = place;
    }
  }
  if (!magnitude) return std::nullopt;
  long long exponent = 0;
  if (i < number.size() && (number[i] == 'e' || number[i] == 'E')) {
    ++i;
    const bool negative = i < number.size() && number[i] == '-';
    if (i < number.size() && (number[i] == '+' || number[i] == '-')) ++i;
    for (; i < number.size() && IsDigit(number[i]); ++i) {
      exponent = std::min(exponent * 10 + (number[i] - '0'), 1'000'000'000LL);
    }
    if (negative) exponent = -exponent;
  }
  return *magnitude + exponent;
}

double ParseNumber(std::string_view number) {
  if (!number.empty() && number.front() == '+') number.remove_prefix(1);
  double value = 0.0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error == std::errc::result_out_of_range) {
    const bool negative = !number.empty() && number.front() == '-';
    // Too small for a double reads as zero; only too large is infinite (and then Overflow).
    if (DecimalMagnitude(number).value_or(0) < 0) return 0.0;
    return negative ? -HUGE_VAL : HUGE_VAL;
  }
  return value;
}

}  // namespace

double LeadingNumber(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size() && IsBlank(text[start])) ++start;
  text.remove_prefix(start);
  const std::size_t length = NumberLength(text);
  return length == 0 ? 0.0 : ParseNumber(text.substr(0, length));
}

double TextToNumber(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size() && IsBlank(text[start])) ++start;
  std::size_t end = text.size();
  while (end > start && IsBlank(text[end - 1])) --end;
  text = text.substr(start, end - start);
  const std::size_t length = NumberLength(text);
  if (length == 0 || length != text.size()) Raise(vb::kTypeMismatch);
  return ParseNumber(text);
}

std::int16_t ToInteger16(double value) {
  if (std::isnan(value)) Raise(vb::kOverflow);
  const double rounded = std::nearbyint(value);  // the default mode rounds a half to even
  if (!(rounded >= -32768.0 && rounded <= 32767.0)) Raise(vb::kOverflow);
  return static_cast<std::int16_t>(rounded);
}

std::string DecimalText(long long value) {
  return std::to_string(value);
}

}  // namespace tdwk
