// Any sequence of movie commands (any control, command and argument) and form variables,
// replayed against a shell over a fresh application folder: nothing beside that folder
// changes, every profile and score table stays whole, the profile numbers run from 1 without
// a gap and the count the shell keeps is the number of profiles.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "support/command_names.h"
#include "support/data_files.h"
#include "support/form_fields.h"
#include "support/profile_bytes.h"
#include "support/score_table_bytes.h"

namespace {

using tdwk::fuzzing::FuzzShell;

constexpr const char* kControls[] = {"swfMain", "swfBackgroundTop", "swfBackgroundLeft",
                                     "swfBackgroundCorner"};
// The shell's commands, and one in the wrong letter case.
const std::vector<std::string>& Commands() {
  static const std::vector<std::string> commands = [] {
    std::vector<std::string> all(tdwk::test::kCommandNames.begin(),
                                 tdwk::test::kCommandNames.end());
    all.emplace_back("vbloadmovie");
    return all;
  }();
  return commands;
}
constexpr const char* kArguments[] = {
    "",           "ADD",          "add",     "EDIT",     "USER1",     "USER2",    "USER3",
    "USER4",      "USER9",        "USER0",   "USER01",   "USER32767", "../USER1", "USER1/../../x",
    "USER1.DAT",  "HOME",         "STORIES", "GAMES",    "SNAKE",     "PADDLE",   "PEGS",
    "HIGH_SCORE", "DRAGONSLAYER", "SWAP",    "continue", "EXIT",      "150",      "12.5",
    "-32768",     "40000",        "1e400",   "abc"};
// Every variable of the form, the adults' slots included.
const std::vector<std::string>& FormNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> all(tdwk::test::kFormFieldNames.begin(),
                                 tdwk::test::kFormFieldNames.end());
    all.insert(all.end(), tdwk::test::kAdultFieldNames.begin(), tdwk::test::kAdultFieldNames.end());
    return all;
  }();
  return names;
}

std::string Argument(FuzzedDataProvider& data) {
  switch (data.ConsumeIntegralInRange<int>(0, 3)) {
    case 0:
      return data.ConsumeRandomLengthString(48);
    case 1:
      return std::string(data.ConsumeIntegralInRange<std::size_t>(0, 40000),
                         data.ConsumeIntegralInRange<char>('0', 'Z'));
    default:
      return data.PickValueInArray(kArguments);
  }
}

void FillForm(FuzzShell& fuzz, FuzzedDataProvider& data) {
  tdwk::test::TestPlayer& main = fuzz.host().Control("swfMain");
  for (const std::string& name : FormNames()) main.DefineVariable(name, "Kim");
  main.DefineVariable("DAY", std::to_string(data.ConsumeIntegralInRange<int>(-40, 40)));
  main.DefineVariable("MONTH", std::to_string(data.ConsumeIntegralInRange<int>(-14, 14)));
  main.DefineVariable("YEAR", std::to_string(data.ConsumeIntegralInRange<int>(-1, 3000)));
  main.DefineVariable("ADULT_TYPE1", data.PickValueInArray({"Mum", "DAD", "other", "Gran", "x"}));
}

[[noreturn]] void Fail() {
  __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzShell fuzz;
  tdwk::Shell& shell = fuzz.shell();
  for (int n = 1; n <= 3; ++n) {
    fuzz.WriteFile("Users/USER" + std::to_string(n) + ".DAT",
                   tdwk::test::ProfileBytes("Kid" + std::to_string(n)));
  }
  std::vector<std::pair<std::string, std::string>> ranked;
  for (int entry = 10; entry >= 1; --entry) ranked.emplace_back("Eve", std::to_string(entry * 10));
  const std::string table = tdwk::test::TableBytes(ranked);
  fuzz.WriteFile("High Scores/HUNGRY_FROGS.dat", table);
  fuzz.WriteFile("High Scores/PEGS.dat", table);
  const std::string outer = fuzz.OuterPath();
  std::filesystem::create_directory(outer + "sentinel");
  std::ofstream(outer + "sentinel/USER1.DAT", std::ios::binary) << "not a profile of ours";
  const auto besideBefore = tdwk::test::Snapshot(outer + "sentinel");
  // As start-up leaves the shell: the profiles counted.
  shell.state.userCount = static_cast<std::int16_t>(shell.users.getUsers().size());

  FuzzedDataProvider data(bytes, size);
  for (int event = 0; event < 40 && data.remaining_bytes() > 0 && !fuzz.host().WindowGone();
       ++event) {
    switch (data.ConsumeIntegralInRange<int>(0, 7)) {
      case 5:
        FillForm(fuzz, data);
        break;
      case 6: {
        const std::string name =
            data.ConsumeBool()
                ? FormNames()[data.ConsumeIntegralInRange<std::size_t>(0, FormNames().size() - 1)]
                : data.ConsumeRandomLengthString(16);
        fuzz.host().Control("swfMain").DefineVariable(name, Argument(data));
        break;
      }
      case 7:
        if (data.ConsumeBool()) {
          fuzz.host().Advance(data.ConsumeIntegralInRange<int>(0, 1000));
        } else {
          fuzz.host().SendMessage(data.PickValueInArray(kControls),
                                  data.PickValueInArray({513u, 516u, 517u, 0u}));
        }
        break;
      default: {
        const char* control = data.PickValueInArray(kControls);
        const std::string command =
            data.ConsumeIntegralInRange<int>(0, 7) != 0
                ? Commands()[data.ConsumeIntegralInRange<std::size_t>(0, Commands().size() - 1)]
                : data.ConsumeRandomLengthString(24);
        fuzz.host().Control(control).RaiseFSCommand(command, Argument(data));
      }
    }
  }

  // Nothing beside the application folder changed or appeared.
  std::size_t entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(outer)) {
    const std::string name = entry.path().filename().string();
    if (name != "app" && name != "sentinel") Fail();
    ++entries;
  }
  if (entries != 2 || tdwk::test::Snapshot(outer + "sentinel") != besideBefore) Fail();

  // Whole profiles and tables, numbered from 1 without a gap, as many as the shell counts.
  int profiles = 0;
  if (!tdwk::test::DataFolderProblems(fuzz.AppPath(), false, 0, &profiles).empty()) Fail();
  if (profiles != shell.state.userCount) Fail();
  for (int n = 1; n <= profiles; ++n) {
    shell.state.currentUserID = "USER" + std::to_string(n) + ".DAT";
    if (!shell.profiles.getUserDetails()) Fail();
  }
  return 0;
}
