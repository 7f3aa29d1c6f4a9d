#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/vb_error.h"
#include "hosts/common/user_data_file_system.h"
#include "platform/file_system_posix.h"
#include "support/temp_folder.h"

namespace tdwk::test {
namespace {

using ::testing::UnorderedElementsAre;

TEST(UserDataFileSystemTest, TheUsersMovieWinsInAnyLetterCaseAndTheDataIsTheirs) {
  TempFolder program, user;
  program.WriteFile("Games/Snake.swf", "demo snake");
  program.WriteFile("Games/Pairs.swf", "demo pairs");
  user.WriteFile("gAMES/SNAKE.SWF", "their snake");
  user.MakeFolder("Users");
  PosixFileSystem installed(program.Path()), own(user.Path());
  UserDataFileSystem files(program.Path(), installed, user.Path(), own);

  const std::string snake = program.Path() + "/Games/Snake.swf";
  EXPECT_EQ(files.ReadFile(snake), "their snake");
  EXPECT_EQ(files.ReadFile(program.Path() + "/Games/Pairs.swf"), "demo pairs");
  EXPECT_THAT(files.ListFiles(program.Path() + "Games"),
              UnorderedElementsAre("SNAKE.SWF", "Pairs.swf"));
  // The page's scheme serves the file where it really is, and reads it by that name.
  EXPECT_EQ(files.ReadFile(files.Resolve(snake)), "their snake");

  files.ReplaceFile(program.Path() + "Users/USER1.DAT", "profile");
  // The user's Logs folder is missing: nothing is written, in neither folder.
  EXPECT_THROW(files.AppendText(program.Path() + "Logs/Log.dat", "entry"), VbError);
  EXPECT_EQ(user.ReadFile("Users/USER1.DAT"), "profile");
  EXPECT_FALSE(program.Exists("Users"));
  EXPECT_FALSE(program.Exists("Logs"));
}

}  // namespace
}  // namespace tdwk::test
