#include "swf/bridge.h"

#include <gtest/gtest.h>

#include "action_walker.h"
#include "swf/movie_reader.h"
#include "swf/movie_writer.h"
#include "swf/tags.h"

namespace tdwk::swf {
namespace {

std::string Wrapped(std::uint8_t version, Rect stage, double frameRate, Rgb background,
                    Compression compression) {
  MovieWriter movie(version, stage, frameRate);
  movie.Add(SetBackgroundColorTag(background));
  movie.ShowFrame();
  return movie.Finish(compression);
}

std::string BridgeCode(const std::string& bridge) {
  Movie movie = ReadMovie(bridge);
  for (const TagView& tag : ReadTags(movie.Tags())) {
    if (tag.code == tag::kDoAction) return std::string(tag.body);
  }
  return "";
}

TEST(BridgeTest, CopiesTheStageOfVersion6And8Movies) {
  struct Case {
    std::uint8_t version;
    Rect stage;
    double frameRate;
    Rgb background;
    Compression compression;
  };
  for (const Case& c : {Case{6, {0, 16000, 0, 12000}, 24, {10, 20, 30}, Compression::None},
                        Case{8, {0, 20480, 0, 15360}, 12, {255, 240, 200}, Compression::Zlib},
                        Case{8, {0, 500, 0, 500}, 30, {1, 2, 3}, Compression::Lzma}}) {
    std::string bridge =
        BuildBridgeMovie(Wrapped(c.version, c.stage, c.frameRate, c.background, c.compression));
    MovieHeader header = ReadMovieHeader(bridge);
    EXPECT_EQ(header.version, 8);
    EXPECT_EQ(header.compression, Compression::None);
    EXPECT_EQ(header.stage, c.stage);
    EXPECT_DOUBLE_EQ(header.frameRate, c.frameRate);
    ASSERT_TRUE(header.background.has_value());
    EXPECT_EQ(*header.background, c.background);
    EXPECT_EQ(header.frameCount, 1);
  }
}

TEST(BridgeTest, UnreadableMovieGetsTheDefaultStage) {
  for (std::string_view bytes : {std::string_view(""), std::string_view("FWS\x06garbage"),
                                 std::string_view("not a movie at all")}) {
    MovieHeader header = ReadMovieHeader(BuildBridgeMovie(bytes));
    EXPECT_EQ(header.version, 8);
    EXPECT_EQ(header.stage, (Rect{0, 11000, 0, 8000}));
    EXPECT_DOUBLE_EQ(header.frameRate, 12);
    EXPECT_EQ(*header.background, (Rgb{255, 255, 255}));
  }
}

TEST(BridgeTest, MovieWithoutBackgroundGetsWhite) {
  MovieWriter movie(6, {0, 2000, 0, 1000}, 12);
  MovieHeader header = ReadMovieHeader(BuildBridgeMovie(movie.Finish()));
  EXPECT_EQ(header.stage, (Rect{0, 2000, 0, 1000}));
  EXPECT_EQ(*header.background, (Rgb{255, 255, 255}));
}

TEST(BridgeTest, CodeIsWellFormedAndNamesTheInterface) {
  std::string code = BridgeCode(BuildBridgeMovie(Wrapped(6, {0, 100, 0, 100}, 12, {}, {})));
  EXPECT_EQ(test::CheckActions(code), "");
  for (std::string_view text :
       {std::string_view("SetVariable"), std::string_view("GetVariable"),
        std::string_view("GotoFrame"), std::string_view("Play"), std::string_view("LoadMovie"),
        std::string_view("addCallback"), std::string_view("ExternalInterface"),
        std::string_view("_level1"), std::string_view("loadClip"), std::string_view("beginFill"),
        std::string_view("FSCommand:tdwk_bridge_ready"),
        std::string_view("FSCommand:tdwk_bridge_loaded")}) {
    EXPECT_NE(code.find(text), std::string::npos) << text;
  }
}

// A player started for one movie serves the next movie of the same shape: the bridge holds
// nothing of the movie but its stage, frame rate and background.
TEST(BridgeTest, MoviesOfOneShapeShareTheBridge) {
  MovieWriter home(6, {0, 11000, 0, 8000}, 24);
  home.Add(SetBackgroundColorTag({1, 2, 3}));
  home.Add(DoActionTag(std::string(1, '\x07')));
  home.ShowFrame();
  home.ShowFrame();
  MovieWriter game(8, {0, 11000, 0, 8000}, 24);
  game.Add(SetBackgroundColorTag({1, 2, 3}));
  game.ShowFrame();
  EXPECT_EQ(BuildBridgeMovie(home.Finish()), BuildBridgeMovie(game.Finish(Compression::Zlib)));
}

}  // namespace
}  // namespace tdwk::swf
