#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace tdwk {

// The classic run-time error numbers the system reports.
namespace vb {
inline constexpr std::int32_t kInvalidProcedureCall = 5;
inline constexpr std::int32_t kOverflow = 6;
inline constexpr std::int32_t kOutOfMemory = 7;
inline constexpr std::int32_t kSubscriptOutOfRange = 9;
inline constexpr std::int32_t kTypeMismatch = 13;
inline constexpr std::int32_t kInternalError = 51;
inline constexpr std::int32_t kBadFileName = 52;
inline constexpr std::int32_t kFileNotFound = 53;
inline constexpr std::int32_t kDiskFull = 61;
inline constexpr std::int32_t kPermissionDenied = 70;
inline constexpr std::int32_t kPathFileAccessError = 75;
inline constexpr std::int32_t kPathNotFound = 76;
inline constexpr std::int32_t kInvalidPropertyValue = 380;
inline constexpr std::int32_t kObjectNotSet = 91;
}  // namespace vb

// The standard description of an error number.
std::string ErrorDescription(std::int32_t number);

// A run-time failure: what a trap catches and reports.
class VbError : public std::runtime_error {
 public:
  explicit VbError(std::int32_t number);
  VbError(std::int32_t number, std::string description);

  std::int32_t Number() const { return number_; }
  const std::string& Description() const { return description_; }

 private:
  std::int32_t number_;
  std::string description_;
};

[[noreturn]] void Raise(std::int32_t number);

}  // namespace tdwk
