#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "support/observed_file_system.h"

namespace tdwk::test {

// Passes every operation to another file system, except that the k-th operation (counting
// from 1, every kind of operation counted) fails with the given error, and with persistent
// set every later one as well, as a full disk would.
class FaultyFileSystem : public ObservedFileSystem {
 public:
  using ObservedFileSystem::ObservedFileSystem;

  void FailAt(int operation, std::int32_t errorNumber, bool persistent = false) {
    failAt_ = operation;
    errorNumber_ = errorNumber;
    persistent_ = persistent;
  }
  void Heal() { failAt_ = 0; }
  int Operations() const { return count_; }
  bool Failed() const { return failed_; }
  // The operations made, by name, in order.
  const std::vector<std::string>& Journal() const { return journal_; }

 private:
  void Before(std::string_view operation, const std::string& path) override;

  int count_ = 0;
  int failAt_ = 0;
  std::int32_t errorNumber_ = 0;
  bool persistent_ = false;
  bool failed_ = false;
  std::vector<std::string> journal_;
};

}  // namespace tdwk::test
