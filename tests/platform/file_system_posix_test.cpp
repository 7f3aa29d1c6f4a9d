#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "base/vb_error.h"
#include "platform/file_system_posix.h"
#include "support/temp_folder.h"

namespace tdwk::test {
namespace {

using ::testing::UnorderedElementsAre;

int ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const VbError& e) {
    return e.Number();
  }
  return 0;
}

class PosixFileSystemTest : public ::testing::Test {
 protected:
  TempFolder folder;
  PosixFileSystem files{folder.Path()};
  std::string At(const std::string& relative) const { return folder.Path() + relative; }
};

TEST_F(PosixFileSystemTest, NamesMatchWithoutRegardToLetterCase) {
  folder.WriteFile("Users/USER2.DAT", "two");
  EXPECT_EQ(files.ReadFile(At("users/USER2.dat")), "two");
  EXPECT_EQ(files.Resolve(At("USERS/user2.dat")), At("Users/USER2.DAT"));
  // Writing under another case replaces the stored file rather than adding a second one.
  files.ReplaceFile(At("Users/user2.dat"), "new");
  EXPECT_EQ(folder.ReadFile("Users/USER2.DAT"), "new");
  EXPECT_FALSE(folder.Exists("Users/user2.dat"));
}

TEST_F(PosixFileSystemTest, MovieStylePathsWithADoubledSlashResolve) {
  folder.WriteFile("Menus/Home.swf", "movie");
  EXPECT_EQ(files.Resolve(folder.Path() + "/Menus/Home.swf"), At("Menus/Home.swf"));
}

TEST_F(PosixFileSystemTest, ListingShowsOnlyOrdinaryVisibleFiles) {
  folder.WriteFile("Users/USER1.DAT", "");
  folder.WriteFile("Users/notes.txt", "");
  folder.WriteFile("Users/.hidden", "");
  folder.MakeFolder("Users/Sub");
  std::filesystem::create_symlink("/etc/passwd", At("Users/link.DAT"));
  EXPECT_THAT(files.ListFiles(At("Users/")), UnorderedElementsAre("USER1.DAT", "notes.txt"));
  EXPECT_EQ(ErrorOf([&] { files.ListFiles(At("Missing/")); }), vb::kPathNotFound);
}

TEST_F(PosixFileSystemTest, MissingFilesAndFoldersHaveTheirOwnNumbers) {
  EXPECT_EQ(ErrorOf([&] { files.ReadFile(At("nothing.dat")); }), vb::kFileNotFound);
  EXPECT_EQ(ErrorOf([&] { files.ReadFile(At("High Scores/PEGS.dat")); }), vb::kPathNotFound);
  EXPECT_EQ(ErrorOf([&] { files.DeleteFile(At("Users/USER9.DAT")); }), vb::kPathNotFound);
  EXPECT_EQ(ErrorOf([&] { files.ReplaceFile(At("NoFolder/x.dat"), "x"); }), vb::kPathNotFound);
  EXPECT_EQ(ErrorOf([&] { files.AppendText(At("Logs/Log.dat"), "x"); }), vb::kPathNotFound);
  EXPECT_FALSE(folder.Exists("Logs"));
}

TEST_F(PosixFileSystemTest, NothingOutsideTheApplicationFolderIsTouched) {
  EXPECT_EQ(ErrorOf([&] { files.ReplaceFile("/tmp/tdwk-outside.dat", "x"); }),
            vb::kPathFileAccessError);
  EXPECT_EQ(ErrorOf([&] { files.ReplaceFile(At("Users/../../escape.dat"), "x"); }),
            vb::kBadFileName);
  EXPECT_EQ(ErrorOf([&] { files.ReadFile(At("../etc/passwd")); }), vb::kBadFileName);
}

TEST_F(PosixFileSystemTest, ReplacingIsAtomicAndLeavesNoTemporaryFile) {
  folder.WriteFile("High Scores/PEGS.dat", "old table");
  files.ReplaceFile(At("High Scores/PEGS.dat"), "new");
  EXPECT_EQ(folder.ReadFile("High Scores/PEGS.dat"), "new");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(At("High Scores")),
                          std::filesystem::directory_iterator()),
            1);
}

TEST_F(PosixFileSystemTest, AReplacementClearsTheTemporariesAKilledCopyLeftInItsFolder) {
  folder.WriteFile("Users/.tdwk-USER1.DAT-99-1.tmp", "half a profile");
  folder.WriteFile("Users/.tdwk-USER2.DAT-98-7.tmp", "");
  folder.WriteFile("Users/.hidden", "someone else's");
  folder.WriteFile("High Scores/.tdwk-PEGS.dat-99-2.tmp", "half a table");
  files.ReplaceFile(At("Users/USER1.DAT"), "new");
  EXPECT_FALSE(folder.Exists("Users/.tdwk-USER1.DAT-99-1.tmp"));
  EXPECT_FALSE(folder.Exists("Users/.tdwk-USER2.DAT-98-7.tmp"));
  EXPECT_TRUE(folder.Exists("Users/.hidden"));
  EXPECT_TRUE(folder.Exists("High Scores/.tdwk-PEGS.dat-99-2.tmp"));  // not written into yet
  EXPECT_EQ(folder.ReadFile("Users/USER1.DAT"), "new");
}

TEST_F(PosixFileSystemTest, APathHoldingANulNamesNoFile) {
  folder.WriteFile("Users/USER1.DAT", "one");
  EXPECT_EQ(ErrorOf([&] { files.ReadFile(At(std::string("Users/USER1.DAT\0.bak", 20))); }),
            vb::kBadFileName);
  EXPECT_EQ(ErrorOf([&] { files.ReplaceFile(At(std::string("Users/USER1.DAT\0", 16)), "x"); }),
            vb::kBadFileName);
  EXPECT_EQ(folder.ReadFile("Users/USER1.DAT"), "one");
}

TEST_F(PosixFileSystemTest, ALinkIsReplacedNotFollowedWhenWritten) {
  TempFolder outside;
  outside.WriteFile("victim.dat", "precious");
  folder.MakeFolder("Users");
  std::filesystem::create_symlink(outside.Path() + "victim.dat", At("Users/USER1.DAT"));
  files.ReplaceFile(At("Users/USER1.DAT"), "profile");
  EXPECT_EQ(outside.ReadFile("victim.dat"), "precious");
  EXPECT_EQ(folder.ReadFile("Users/USER1.DAT"), "profile");

  std::filesystem::create_symlink(outside.Path() + "victim.dat", At("Users/Log.dat"));
  EXPECT_NE(ErrorOf([&] { files.AppendText(At("Users/Log.dat"), "x"); }), 0);
  EXPECT_EQ(outside.ReadFile("victim.dat"), "precious");
}

TEST_F(PosixFileSystemTest, AFolderThatLinksOutsideIsNeverWrittenThrough) {
  TempFolder outside;
  std::filesystem::create_directory_symlink(outside.Path(), At("Users"));
  EXPECT_EQ(ErrorOf([&] { files.ReplaceFile(At("Users/USER1.DAT"), "x"); }), vb::kPermissionDenied);
  EXPECT_FALSE(outside.Exists("USER1.DAT"));
}

TEST_F(PosixFileSystemTest, RenamingReplacesTheTarget) {
  folder.WriteFile("Users/USER3.DAT", "three");
  folder.WriteFile("Users/USER2.DAT", "two");
  files.RenameFile(At("Users/USER3.DAT"), At("Users/USER2.DAT"));
  EXPECT_EQ(folder.ReadFile("Users/USER2.DAT"), "three");
  EXPECT_FALSE(folder.Exists("Users/USER3.DAT"));
}

TEST_F(PosixFileSystemTest, ResettingAttributesMakesAReadOnlyFileWritable) {
  folder.WriteFile("t.dat", "x");
  std::filesystem::permissions(At("t.dat"), std::filesystem::perms::owner_read);
  files.ResetAttributes(At("t.dat"));
  const auto perms = std::filesystem::status(At("t.dat")).permissions();
  EXPECT_NE(perms & std::filesystem::perms::owner_write, std::filesystem::perms::none);
}

TEST_F(PosixFileSystemTest, AppendingCreatesTheFileButNeverItsFolder) {
  folder.MakeFolder("Logs");
  files.AppendText(At("Logs/Log.dat"), "a");
  files.AppendText(At("logs/log.dat"), "b");
  EXPECT_EQ(folder.ReadFile("Logs/Log.dat"), "ab");
}

}  // namespace
}  // namespace tdwk::test
