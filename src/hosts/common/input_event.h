#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tdwk {

// The longest wait one line may ask for: the longest interval a timer can have (about 24 days).
inline constexpr std::int64_t kLongestWaitMs = 2'147'483'647;

// One line of the console host's input.
struct InputEvent {
  enum class Kind { FSCommand, Variables, Message, Wait, Close };
  Kind kind = Kind::Close;
  std::string control;
  std::string command;
  std::string args;
  std::vector<std::pair<std::string, std::string>> values;
  std::uint32_t message = 0;
  std::int64_t ms = 0;
};

struct ParsedLine {
  std::optional<InputEvent> event;  // nothing for a blank line, a comment or an error
  std::string error;                // why the line cannot be read
};

ParsedLine ParseInputLine(std::string_view line);

bool IsControlName(std::string_view name);

}  // namespace tdwk
