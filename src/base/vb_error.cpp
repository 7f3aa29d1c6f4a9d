#include "base/vb_error.h"

#include <utility>

namespace tdwk {

std::string ErrorDescription(std::int32_t number) {
  switch (number) {
    case vb::kInvalidProcedureCall:
      return "Invalid procedure call or argument";
    case vb::kOverflow:
      return "Overflow";
    case vb::kOutOfMemory:
      return "Out of memory";
    case vb::kSubscriptOutOfRange:
      return "Subscript out of range";
    case vb::kTypeMismatch:
      return "Type mismatch";
    case vb::kInternalError:
      return "Internal error";
    case vb::kBadFileName:
      return "Bad file name or number";
    case vb::kFileNotFound:
      return "File not found";
    case vb::kDiskFull:
      return "Disk full";
    case vb::kPermissionDenied:
      return "Permission denied";
    case vb::kPathFileAccessError:
      return "Path/File access error";
    case vb::kPathNotFound:
      return "Path not found";
    case vb::kObjectNotSet:
      return "Object variable or With block variable not set";
    case vb::kInvalidPropertyValue:
      return "Invalid property value";
    default:
      return "Application-defined or object-defined error";
  }
}

VbError::VbError(std::int32_t number) : VbError(number, ErrorDescription(number)) {}

VbError::VbError(std::int32_t number, std::string description)
    : std::runtime_error(description), number_(number), description_(std::move(description)) {}

void Raise(std::int32_t number) {
  throw VbError(number);
}

}  // namespace tdwk
