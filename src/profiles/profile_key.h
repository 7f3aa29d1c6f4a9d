#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tdwk {

class ErrorLog;

inline constexpr std::int16_t kHighestProfileNumber = 32767;

// The number of a profile key as the movies send it: "USER" followed by 1 to 32767 in decimal,
// without sign, blanks or leading zeros. Nothing for any other text: such a key names no file
// and no path may be built from it.
std::optional<std::int16_t> ProfileKeyNumber(std::string_view key);

// The number of a profile file name: a key followed by ".DAT" in any letter case
// ("USER3.dat" is 3). Nothing for any other name.
std::optional<std::int16_t> ProfileFileNumber(std::string_view fileName);

// Logs a refused key as a failure (Bad file name or number) of the procedure that received it.
void ReportRefusedKey(ErrorLog& errors, std::string_view module, std::string_view procedure);

}  // namespace tdwk
