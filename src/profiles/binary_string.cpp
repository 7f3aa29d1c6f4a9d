#include "profiles/binary_string.h"

#include <bit>
#include <cstring>

namespace tdwk {

static_assert(std::endian::native == std::endian::little, "files are little-endian");

std::string BinaryReader::Read(std::size_t count) {
  const std::size_t available = position_ < bytes_.size() ? bytes_.size() - position_ : 0;
  const std::size_t taken = count < available ? count : available;
  std::string result = bytes_.substr(position_, taken);
  position_ += taken;
  return result;
}

std::int16_t BinaryReader::ReadInt16() {
  const std::string bytes = Read(2);
  if (bytes.size() < 2) return 0;
  std::int16_t value = 0;
  std::memcpy(&value, bytes.data(), 2);
  return value;
}

double BinaryReader::ReadDouble() {
  const std::string bytes = Read(8);
  if (bytes.size() < 8) return 0.0;
  double value = 0.0;
  std::memcpy(&value, bytes.data(), 8);
  return value;
}

void BinaryWriter::WriteInt16(std::int16_t value) {
  char bytes[2];
  std::memcpy(bytes, &value, 2);
  bytes_.append(bytes, 2);
}

void BinaryWriter::WriteDouble(double value) {
  char bytes[8];
  std::memcpy(bytes, &value, 8);
  bytes_.append(bytes, 8);
}

}  // namespace tdwk
