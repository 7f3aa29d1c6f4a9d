#include "support/faulty_file_system.h"

#include "base/vb_error.h"

namespace tdwk::test {

void FaultyFileSystem::Before(std::string_view operation, const std::string&) {
  ++count_;
  journal_.emplace_back(operation);
  if (failAt_ > 0 && (count_ == failAt_ || (persistent_ && count_ > failAt_))) {
    failed_ = true;
    Raise(errorNumber_);
  }
}

}  // namespace tdwk::test
