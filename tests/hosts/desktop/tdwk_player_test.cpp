// What a child sees and hears of the players through tdwk: movies sound from their first frame
// without a click, a replaced movie falls silent, a movie's first frame already knows the
// child, and each movie keeps its own pace. Sound goes to a recorded sink of the test's own.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "pulse_sink.h"
#include "support/profile_bytes.h"
#include "tdwk_process.h"

namespace tdwk::test {
namespace {

using namespace std::chrono_literals;
using Json = nlohmann::json;

// Louder than this is heard; quieter than kSilence is silence (the sink's own output is zeros).
constexpr int kHeard = 1000;
constexpr int kSilence = 100;
// How far the sound lags behind the movie on its way to the sink.
constexpr std::size_t kSoundLag = PulseSink::kRate / 2;

class TdwkPlayers : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!PulseInstalled()) GTEST_SKIP() << "PulseAudio is not installed (scripts/setup)";
    sink_ = &TestSink();
  }

  // The argument of a movie command the layer's movie reported, once it has.
  std::optional<std::string> Report(const std::string& command, const std::string& argsPrefix) {
    const auto index = app_.WaitForLine(
        [&](const Json& line) {
          return Matches(line,
                         {{"control", "swfMain"}, {"op", "FSCommand"}, {"command", command}}) &&
                 line.value("args", "").starts_with(argsPrefix);
        },
        kMovieTime);
    if (!index) return std::nullopt;
    return app_.Trace().at(*index).value("args", "");
  }

  bool Reported(const std::string& command, const std::string& args) {
    return app_.WaitForCommand("swfMain", command, args, kMovieTime).has_value();
  }

  TdwkApp app_;
  PulseSink* sink_ = nullptr;
};

TEST_F(TdwkPlayers, AnIntroductionWithAStreamSoundPlaysToItsEndAndIsHeardWithoutAClick) {
  app_.WriteStartMovies({});
  TestMovie intro;
  intro.frameRate = 12;
  intro.frames = 24;
  intro.streamSound = true;
  app_.WriteMovie("Menus/Intro.swf", intro);
  const std::size_t start = sink_->Recorded();
  app_.Start();
  // A stream sound that cannot play holds its timeline on the first frame.
  ASSERT_TRUE(Reported(kFrameReport, "23")) << app_.Errors();
  EXPECT_GT(sink_->Peak(start, sink_->Recorded()), kHeard);
}

TEST_F(TdwkPlayers, TheHomeMenuSoundsWithoutAClickFallsSilentWhenLeftAndTheGameKnowsTheChild) {
  app_.WriteStartMovies({{"vbIntroFinished", ""}});
  app_.Folder().WriteFile("Users/USER1.DAT", ProfileBytes("Sam", "Smith"));
  TestMovie home;
  home.eventSound = true;
  home.later = {{"vbLoadMovie", "SNAKE"}};
  app_.WriteMovie("Menus/Home.swf", home);
  TestMovie game;
  game.firstFrameReports = {"FIRST_NAME"};
  app_.WriteMovie("Games/Snake.swf", game);
  app_.Start();

  ASSERT_TRUE(Reported(kFrameReport, "0")) << app_.Errors();  // the introduction
  const std::size_t homeStarts = sink_->Recorded();
  // The game's first frame, before any call could reach it, already has the child's name.
  const auto firstName = Report(kFirstFrameReport, "FIRST_NAME=");
  ASSERT_TRUE(firstName) << app_.Errors();
  EXPECT_EQ(*firstName, "FIRST_NAME=Sam");
  const std::size_t homeLeft = sink_->Recorded();
  EXPECT_GT(sink_->Peak(homeStarts, homeLeft), kHeard);
  // The home menu's tone would go on for a minute.
  ASSERT_TRUE(sink_->WaitUntilRecorded(homeLeft + kSoundLag + PulseSink::kRate, kMovieTime));
  EXPECT_LT(sink_->Peak(homeLeft + kSoundLag, homeLeft + kSoundLag + PulseSink::kRate), kSilence);
}

// A still, silent screen lets the players rest and the sound output stop; the first sound
// after that must still be heard, and the movie's frames must have gone on meanwhile.
TEST_F(TdwkPlayers, ASoundAfterAStillQuietSpellIsHeard) {
  app_.WriteStartMovies({{"vbIntroFinished", ""}});
  app_.Folder().WriteFile("Users/USER1.DAT", ProfileBytes("Sam", "Smith"));
  TestMovie home;
  home.eventSound = true;
  home.eventSoundOnNextFrame = true;
  home.nextFrameColour = 0x00cc00;
  home.laterTicks = 24 * 3;
  app_.WriteMovie("Menus/Home.swf", home);
  app_.Start();

  ASSERT_TRUE(Reported(kFrameReport, "1")) << app_.Errors();
  // Heard as soon as a sound on a busy screen would be.
  const std::size_t toneStarts = sink_->Recorded();
  const std::size_t heardBy = toneStarts + kSoundLag + PulseSink::kRate / 4;
  ASSERT_TRUE(sink_->WaitUntilRecorded(heardBy, kMovieTime));
  EXPECT_GT(sink_->Peak(toneStarts, heardBy), kHeard) << app_.Errors();
}

// A player keeps the frame rate of the movie it started with: a movie must never be played by
// a player started for a movie of another rate.
TEST_F(TdwkPlayers, MoviesOfDifferentFrameRatesInARowEachPlayAtTheirOwnRate) {
  app_.WriteStartMovies({});
  app_.Folder().WriteFile("Users/USER1.DAT", ProfileBytes("Sam", "Smith"));
  TestMovie intro;
  intro.frameRate = 24;
  intro.paceTicks = 24;
  intro.later = {{"vbIntroFinished", ""}};
  intro.laterTicks = 30;
  app_.WriteMovie("Menus/Intro.swf", intro);
  TestMovie home;
  home.frameRate = 12;
  home.paceTicks = 12;
  app_.WriteMovie("Menus/Home.swf", home);
  app_.Start();

  // The pace reports of the two movies, in order.
  std::vector<double> paces;
  const auto deadline = std::chrono::steady_clock::now() + kMovieTime;
  while (paces.size() < 2 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(50ms);
    paces.clear();
    for (const Json& line : app_.Trace()) {
      if (Matches(line, {{"control", "swfMain"}, {"command", kPaceReport}})) {
        paces.push_back(std::stod(line.value("args", "0")));
      }
    }
  }
  ASSERT_EQ(paces.size(), 2U) << app_.Errors();
  // Milliseconds a frame: 42 at 24 frames a second, 83 at 12. A loaded machine slows a movie
  // but never speeds it up: the home menu played by a player started at 24 frames a second
  // would take 42 or so.
  EXPECT_GT(paces[1] / 12, 70) << "the 12-frame home menu, after the 24-frame introduction took "
                               << paces[0] / 24 << " ms a frame";
}

}  // namespace
}  // namespace tdwk::test
