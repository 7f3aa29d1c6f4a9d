#pragma once

#include <array>

namespace tdwk::test {

// Every movie command the shell answers.
inline constexpr std::array<const char*, 14> kCommandNames{
    "vbIntroFinished", "vbStartApplication", "vbLoadMovie", "vbCheckScores",
    "vbGetTimes",      "vbSaveUser",         "vbPickUser",  "vbDeleteUser",
    "vbUpdateUser",    "vbRestartApp",       "QUIT",        "QUIT_USER_MANAGER",
    "CLOSE",           "confirmExit"};

}  // namespace tdwk::test
