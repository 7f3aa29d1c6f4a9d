#pragma once

#include <array>
#include <string_view>

namespace tdwk {

struct MovieRow {
  std::string_view key;
  std::string_view movie;  // relative to appPath, beginning with '/'
};

constexpr std::array<MovieRow, 6> kStoryTable{{
    {"DRAGONSLAYER", "/Stories/Dragon.swf"},
    {"YOHOHO", "/Stories/YoHoHo.swf"},
    {"MONSTER", "/Stories/Monster.swf"},
    {"GHOST", "/Stories/Ghost.swf"},
    {"LOCHNESS", "/Stories/LochNess.swf"},
    {"FIREBREATHINGDRAGON", "/Stories/FireBreathingDragon.swf"},
}};

// The menu keys that open a movie and play it; HOME and HIGH_SCORE are handled apart.
constexpr std::array<MovieRow, 5> kMenuMovies{{
    {"STORIES", "/Menus/Stories.swf"},
    {"GAMES", "/Menus/Games.swf"},
    {"FUNNIES", "/Menus/Funnies.swf"},
    {"TIME", "/Gadgets/Time.swf"},
    {"CRYSTAL_BALL", "/Gadgets/CrystalBall.swf"},
}};

// The movies the shell loads by itself: the bars, the screens it moves between.
constexpr std::array<std::string_view, 9> kScreenMovies{
    "/Menus/Intro.swf",         "/Menus/Startup.swf",        "/Menus/Home.swf",
    "/Menus/BackgroundTop.swf", "/Menus/BackgroundLeft.swf", "/Menus/BackgroundCorner.swf",
    "/Menus/HighScores.swf",    "/Menus/confirmExit.swf",    "/Menus/Finish.swf"};

// Every command a movie can send that the shell acts on, in the order the main layer tests
// them (the bars send vbLoadMovie and QUIT).
constexpr std::array<std::string_view, 14> kMovieCommandNames{
    "vbIntroFinished", "vbStartApplication", "vbLoadMovie", "vbCheckScores",
    "vbGetTimes",      "vbSaveUser",         "vbPickUser",  "vbDeleteUser",
    "vbUpdateUser",    "vbRestartApp",       "QUIT",        "QUIT_USER_MANAGER",
    "CLOSE",           "confirmExit"};

}  // namespace tdwk
