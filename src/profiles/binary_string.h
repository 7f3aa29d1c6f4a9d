#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

namespace tdwk {

// A file's bytes read in one go, with a position: what the readers take as "the open file".
class BinaryReader {
 public:
  explicit BinaryReader(std::string bytes) : bytes_(std::move(bytes)) {}

  // Reads up to count bytes; fewer at the end of the file.
  std::string Read(std::size_t count);
  // A signed 16-bit little-endian number; 0 when the file ends before its two bytes.
  std::int16_t ReadInt16();
  // A little-endian binary64; 0 when the file ends before its eight bytes.
  double ReadDouble();
  std::size_t Position() const { return position_; }
  bool AtEnd() const { return position_ >= bytes_.size(); }

 private:
  std::string bytes_;
  std::size_t position_ = 0;
};

// A file's new content, built in memory and then written in one go.
class BinaryWriter {
 public:
  void WriteInt16(std::int16_t value);
  void WriteDouble(double value);
  void WriteBytes(const std::string& bytes) { bytes_ += bytes; }
  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

inline constexpr std::size_t kLongestStoredText = 32767;
// The most bytes that n stored strings can take: a file any larger holds no valid record.
constexpr std::size_t LargestStoredStrings(std::size_t count) {
  return count * (2 + kLongestStoredText);
}

}  // namespace tdwk
