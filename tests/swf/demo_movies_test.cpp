// The generated demo set: every path the system loads exists, and every movie is well formed.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "action_walker.h"
#include "swf/movie_reader.h"
#include "swf/tags.h"

namespace tdwk::swf {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

const fs::path kApp = TDWK_APP_DIR;

// Every relative movie path the shell loads, letter case as the shell writes it.
const std::vector<std::string> kSystemMovies = {
    "Menus/Intro.swf",
    "Menus/Startup.swf",
    "Menus/Home.swf",
    "Menus/Stories.swf",
    "Menus/Games.swf",
    "Menus/Funnies.swf",
    "Menus/HighScores.swf",
    "Menus/Instructions.swf",
    "Menus/confirmExit.swf",
    "Menus/Finish.swf",
    "Menus/BackgroundTop.swf",
    "Menus/BackgroundLeft.swf",
    "Menus/BackgroundCorner.swf",
    "Stories/Dragon.swf",
    "Stories/YoHoHo.swf",
    "Stories/Monster.swf",
    "Stories/Ghost.swf",
    "Stories/LochNess.swf",
    "Stories/FireBreathingDragon.swf",
    "Games/Hangscab.swf",
    "Games/FroggyUppy.swf",
    "Games/Jigsaw.swf",
    "Games/Pegs.swf",
    "Games/Deduction.swf",
    "Games/Pairs.swf",
    "Games/breakout.swf",
    "Games/Memory.swf",
    "Games/Snake.swf",
    "Games/TicTacToe.swf",
    "Gadgets/Time.swf",
    "Gadgets/CrystalBall.swf",
};

const std::vector<std::string> kScoreTables = {
    "HANG_SCAB", "FROGGY_UPPY", "JIGSAW", "PEGS",         "DEDUCTION",
    "PAIRS",     "PADDLE_BALL", "MEMORY", "HUNGRY_FROGS", "TIC_TAC_TOE"};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// True when the folder holds an entry of exactly this name (not merely one matching in case).
bool HasExactEntry(const fs::path& folder, const std::string& name) {
  if (!fs::is_directory(folder)) return false;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().filename() == name) return true;
  }
  return false;
}

std::uint16_t U16(std::string_view data, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(data.at(at)) |
                                    static_cast<std::uint8_t>(data.at(at + 1)) << 8);
}

// Sizes of bit-packed fields, to step over them.
class BitCursor {
 public:
  BitCursor(std::string_view data, std::size_t at) : data_(data), bit_(at * 8) {}
  std::uint32_t Read(int bits) {
    std::uint32_t value = 0;
    for (int i = 0; i < bits; ++i, ++bit_) {
      value = value << 1 | ((static_cast<std::uint8_t>(data_.at(bit_ / 8)) >> (7 - bit_ % 8)) & 1U);
    }
    return value;
  }
  std::size_t ByteEnd() const { return (bit_ + 7) / 8; }

 private:
  std::string_view data_;
  std::size_t bit_;
};

std::size_t SkipMatrix(std::string_view data, std::size_t at) {
  BitCursor bits(data, at);
  for (int part = 0; part < 2; ++part) {
    if (bits.Read(1)) bits.Read(static_cast<int>(bits.Read(5)) * 2);
  }
  bits.Read(static_cast<int>(bits.Read(5)) * 2);
  return bits.ByteEnd();
}

std::size_t SkipColourTransform(std::string_view data, std::size_t at) {
  BitCursor bits(data, at);
  bool add = bits.Read(1) != 0;
  bool mult = bits.Read(1) != 0;
  int n = static_cast<int>(bits.Read(4));
  bits.Read(n * 4 * ((add ? 1 : 0) + (mult ? 1 : 0)));
  return bits.ByteEnd();
}

struct Walk {
  std::set<std::uint16_t> defined;
  std::string code;  // every action block, for looking up what the movie does
  std::vector<std::string> problems;

  void Problem(const std::string& what) { problems.push_back(what); }

  void Define(std::uint16_t id) {
    if (!defined.insert(id).second) Problem("character " + std::to_string(id) + " defined twice");
  }

  void Actions(std::string_view block, const std::string& where) {
    std::string problem = test::CheckActions(block);
    if (!problem.empty()) Problem(where + ": " + problem);
    code.append(block);
  }

  void Button(std::string_view body) {
    Define(U16(body, 0));
    std::size_t offset = U16(body, 3);
    std::size_t at = 5;
    while (body.at(at) != 0) {
      std::uint16_t character = U16(body, at + 1);
      if (defined.count(character) == 0) Problem("button shows undefined character");
      at = SkipColourTransform(body, SkipMatrix(body, at + 5));
    }
    ++at;
    if (offset != 0 && offset + 3 != at) Problem("button action offset does not match");
    while (offset != 0 && at < body.size()) {
      std::size_t next = U16(body, at);
      std::size_t end = next == 0 ? body.size() : at + next;
      Actions(body.substr(at + 4, end - at - 4), "button");
      if (next == 0) break;
      at = end;
    }
  }

  // Walks a tag stream; returns the number of frames shown.
  int Tags(std::string_view tags, bool root) {
    std::vector<TagView> records = ReadTags(tags);
    if (records.empty() || records.back().code != tag::kEnd) Problem("no End tag");
    std::size_t consumed = 0;
    int frames = 0;
    for (const TagView& t : records) {
      consumed = static_cast<std::size_t>(t.body.data() - tags.data()) + t.body.size();
      switch (t.code) {
        case tag::kShowFrame:
          ++frames;
          break;
        case tag::kDoAction:
          Actions(t.body, "frame script");
          break;
        case tag::kDefineShape:
        case tag::kDefineShape3:
        case tag::kDefineEditText:
        case tag::kDefineFont2:
          Define(U16(t.body, 0));
          break;
        case tag::kDefineButton2:
          Button(t.body);
          break;
        case tag::kDefineSprite: {
          if (!root) Problem("sprite inside a sprite");
          Define(U16(t.body, 0));
          int spriteFrames = Tags(t.body.substr(4), false);
          if (spriteFrames != U16(t.body, 2)) Problem("sprite frame count wrong");
          break;
        }
        case tag::kPlaceObject2:
          if ((t.body.at(0) & 0x02) != 0 && defined.count(U16(t.body, 3)) == 0) {
            Problem("placing an undefined character");
          }
          break;
        case tag::kDefineSound:
          Define(U16(t.body, 0));
          break;
        case tag::kStartSound:
        case tag::kDefineButtonSound:
          // The sound started, or the button and the sound it makes when pressed.
          for (std::size_t at : {std::size_t{0}, std::size_t{6}}) {
            if (t.code == tag::kStartSound && at > 0) break;
            if (defined.count(U16(t.body, at)) == 0) Problem("a sound of an undefined character");
          }
          break;
        case tag::kSoundStreamHead2:
        case tag::kSoundStreamBlock:
        case tag::kSetBackgroundColor:
        case tag::kRemoveObject2:
        case tag::kFrameLabel:
        case tag::kEnd:
          break;
        default:
          Problem("unexpected tag " + std::to_string(t.code));
      }
    }
    if (consumed != tags.size()) Problem("bytes after the End tag");
    return frames;
  }
};

TEST(DemoSetTest, EveryMoviePathOfTheSystemExists) {
  for (const std::string& movie : kSystemMovies) {
    fs::path path = kApp / movie;
    EXPECT_TRUE(HasExactEntry(path.parent_path(), path.filename().string())) << movie;
  }
  for (const std::string& table : kScoreTables) {
    EXPECT_TRUE(HasExactEntry(kApp / "High Scores", table + ".dat")) << table;
  }
}

TEST(DemoSetTest, EveryMovieIsWellFormed) {
  int movies = 0;
  for (const auto& entry : fs::recursive_directory_iterator(kApp)) {
    if (entry.path().extension() != ".swf") continue;
    ++movies;
    std::string name = fs::relative(entry.path(), kApp).string();
    SCOPED_TRACE(name);
    Movie movie = ReadMovie(ReadFile(entry.path()));
    EXPECT_TRUE(movie.header.version == 6 || movie.header.version == 8);
    EXPECT_TRUE(movie.header.background.has_value());
    EXPECT_EQ(movie.header.compression, Compression::None);
    Walk walk;
    int frames = walk.Tags(movie.Tags(), true);
    EXPECT_EQ(frames, movie.header.frameCount);
    EXPECT_GT(frames, 0);
    EXPECT_EQ(walk.problems, std::vector<std::string>{});
  }
  EXPECT_GE(movies, static_cast<int>(kSystemMovies.size()));
}

std::string MovieCode(const std::string& path) {
  Walk walk;
  walk.Tags(ReadMovie(ReadFile(kApp / path)).Tags(), true);
  return walk.code;
}

bool Mentions(const std::string& haystack, const std::string& needle) {
  return haystack.find(needle) != std::string::npos;
}

TEST(DemoSetTest, MoviesSendTheirCommands) {
  for (const char* game : {"Hangscab", "FroggyUppy", "Jigsaw", "Pegs", "Deduction", "Pairs",
                           "breakout", "Memory", "Snake", "TicTacToe"}) {
    std::string code = MovieCode(std::string("Games/") + game + ".swf");
    EXPECT_TRUE(Mentions(code, "FSCommand:vbCheckScores")) << game;
    EXPECT_TRUE(Mentions(code, "TOP_SCORE")) << game;
  }
  EXPECT_TRUE(Mentions(MovieCode("Menus/Intro.swf"), "FSCommand:vbIntroFinished"));
  EXPECT_TRUE(Mentions(MovieCode("Menus/Finish.swf"), "FSCommand:CLOSE"));
  EXPECT_TRUE(Mentions(MovieCode("Menus/BackgroundTop.swf"), "FSCommand:QUIT"));
  EXPECT_TRUE(Mentions(MovieCode("Gadgets/Time.swf"), "FSCommand:vbGetTimes"));
  std::string confirm = MovieCode("Menus/confirmExit.swf");
  for (const char* choice : {"CONTINUE", "SWAP", "EXIT"}) {
    EXPECT_TRUE(Mentions(confirm, std::string("FSCommand:confirmExit") + '\0' + choice));
  }
  std::string left = MovieCode("Menus/BackgroundLeft.swf");
  for (const char* key :
       {"HOME", "STORIES", "GAMES", "FUNNIES", "TIME", "CRYSTAL_BALL", "HIGH_SCORE"}) {
    EXPECT_TRUE(Mentions(left, std::string("FSCommand:vbLoadMovie") + '\0' + key)) << key;
  }
  EXPECT_FALSE(Mentions(left, "SNAKE"));  // the left bar knows menu keys only
}

TEST(DemoSetTest, StartupDefinesEveryFormVariable) {
  std::string code = MovieCode("Menus/Startup.swf");
  std::vector<std::string> variables = {"FIRST_NAME",
                                        "MIDDLE_NAME",
                                        "SURNAME",
                                        "DAY",
                                        "MONTH",
                                        "YEAR",
                                        "SEX",
                                        "STREET_NAME",
                                        "TOWN_CITY_NAME",
                                        "COUNTRY_NAME",
                                        "FAVOURITE_PET_NAME",
                                        "PET_TYPE",
                                        "SCHOOL_NAME",
                                        "TEACHERS_NAME"};
  for (int i = 1; i <= 4; ++i) {
    variables.push_back("ADULT_TYPE" + std::to_string(i));
    variables.push_back("ADULT_NAME" + std::to_string(i));
  }
  for (int i = 1; i <= 3; ++i) {
    for (const char* prefix : {"BROTHERS_NAME_", "SISTERS_NAME_", "FRIENDS_NAME_"}) {
      variables.push_back(prefix + std::to_string(i));
    }
  }
  for (const std::string& variable : variables) {
    EXPECT_TRUE(Mentions(code, '\0' + variable + '\0')) << variable;
  }
  for (const std::string& command :
       {"vbPickUser\0USER1"s, "vbUpdateUser\0USER8"s, "vbDeleteUser\0USER2"s, "vbSaveUser\0ADD"s,
        "vbSaveUser\0EDIT"s, "vbStartApplication"s, "QUIT_USER_MANAGER"s}) {
    EXPECT_TRUE(Mentions(code, "FSCommand:" + command)) << command;
  }
}

TEST(DemoSetTest, ScoreTablesHoldTenEntriesBestFirst) {
  for (const std::string& table : kScoreTables) {
    SCOPED_TRACE(table);
    std::string bytes = ReadFile(kApp / "High Scores" / (table + ".dat"));
    std::size_t at = 0;
    std::vector<std::string> strings;
    while (at + 2 <= bytes.size()) {
      auto length = static_cast<std::int16_t>(U16(bytes, at));
      ASSERT_GE(length, 0);
      ASSERT_LE(at + 2 + static_cast<std::size_t>(length), bytes.size());
      strings.push_back(bytes.substr(at + 2, static_cast<std::size_t>(length)));
      at += 2 + static_cast<std::size_t>(length);
    }
    EXPECT_EQ(at, bytes.size());
    ASSERT_EQ(strings.size(), 20U);
    for (std::size_t i = 0; i < 20; i += 2) EXPECT_FALSE(strings[i].empty());
    for (std::size_t i = 3; i < 20; i += 2) {
      EXPECT_GE(std::stoi(strings[i - 2]), std::stoi(strings[i]));
    }
  }
}

}  // namespace
}  // namespace tdwk::swf
