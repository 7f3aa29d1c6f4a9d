#include <benchmark/benchmark.h>

#include "bench_shell.h"

namespace tdwk::bench {
namespace {

std::string Stored(const std::string& text) {
  std::string bytes;
  bytes += static_cast<char>(text.size());
  bytes += '\0';
  return bytes + text;
}

child_details FullChild() {
  child_details c;
  c.firstName = "Samantha", c.middleName = "Jane", c.lastName = "Hill", c.sex = "Girl";
  c.dob = 35500.0, c.age = "7", c.streetName = "Elm Row", c.cityName = "Leeds";
  c.countryName = "England", c.mothersName = "Jo", c.fatherName = "Dan", c.GransName = "May";
  c.GrandadsName = "Bert", c.responsibleAdult1 = "Vi", c.responsibleAdult2 = "Ned";
  c.brothersName1 = "Al", c.sistersName1 = "Em", c.petName = "Rex", c.petType = "Dog";
  c.friendsName1 = "Ann", c.friendsName2 = "Bo", c.friendsName3 = "Cy";
  c.schoolName = "Oak", c.teachersName = "Mr Lee";
  return c;
}

// One personalised LoadMovie of a game: the load, all 44 steps of the publication with every
// adult slot in use, and the read of the game's score table for its top score.
void BM_PersonalisedLoadMovie(benchmark::State& state) {
  BenchShell b;
  b.shell.state.currentChild = FullChild();
  std::string table;
  for (int n = 10; n >= 1; --n) table += Stored("Player") + Stored(std::to_string(n * 100));
  b.folder.WriteFile("High Scores/PEGS.dat", table);
  b.folder.WriteFile("High Scores/HUNGRY_FROGS.dat", table);
  // Alternating games, so that every call loads a movie different from the current one.
  const std::string movies[] = {b.folder.Path() + "/Games/Pegs.swf",
                                b.folder.Path() + "/Games/Snake.swf"};
  std::size_t next = 0;
  for (auto _ : state) {
    b.shell.frmTDWK.LoadMovie(movies[next], true);
    next ^= 1;
    b.calls.clear();
  }
}
BENCHMARK(BM_PersonalisedLoadMovie);

}  // namespace
}  // namespace tdwk::bench

BENCHMARK_MAIN();
