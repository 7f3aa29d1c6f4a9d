// Runs a fuzz target once over every input of its corpus, the empty input first as the fuzzing
// engine does, so that the inputs that once found faults guard every sanitizer build without
// the engine. Usage: fuzz_<name>_replay <file or folder>...
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

// The bytes of a file in a buffer of exactly their size, so that reading past the end of the
// input is a fault the sanitizer reports.
std::vector<std::uint8_t> ReadInput(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + file.string());
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<fs::path> inputs;
  for (int i = 1; i < argc; ++i) {
    const fs::path given(argv[i]);
    if (!fs::is_directory(given)) {
      inputs.push_back(given);
      continue;
    }
    for (const auto& entry : fs::recursive_directory_iterator(given)) {
      if (entry.is_regular_file()) inputs.push_back(entry.path());
    }
  }
  // A missing or empty corpus would pass without testing anything.
  if (inputs.empty()) {
    std::cerr << "no inputs to replay\n";
    return 2;
  }
  std::sort(inputs.begin(), inputs.end());

  const std::uint8_t nothing = 0;
  LLVMFuzzerTestOneInput(&nothing, 0);
  for (const fs::path& input : inputs) {
    // Named first, so that the sanitizer's report follows the input that caused it.
    std::cout << "replaying " << input.string() << std::endl;
    const std::vector<std::uint8_t> bytes = ReadInput(input);
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  }
  std::cout << "replayed " << inputs.size() << " inputs and the empty one" << std::endl;
  return 0;
}
