// What every FileSystem does, held against the POSIX one over a real folder and the in-memory
// one the tests use in its place.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <limits>
#include <memory>

#include "base/vb_error.h"
#include "platform/file_system_posix.h"
#include "support/memory_file_system.h"
#include "support/temp_folder.h"

namespace tdwk::test {
namespace {

using ::testing::UnorderedElementsAre;

constexpr std::size_t kAnySize = std::numeric_limits<std::size_t>::max();

int ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const VbError& e) {
    return e.Number();
  }
  return 0;
}

// An application folder, on disk or in memory: a file system over it and a look past it.
class Folder {
 public:
  virtual ~Folder() = default;
  virtual FileSystem& Files() = 0;
  virtual const std::string& Path() const = 0;
  virtual void MakeFolder(const std::string& relative) = 0;
  virtual void WriteFile(const std::string& relative, const std::string& bytes) = 0;
  virtual std::string Contents(const std::string& relative) const = 0;
  virtual bool Has(const std::string& relative) const = 0;
};

class OnDisk : public Folder {
 public:
  FileSystem& Files() override { return files_; }
  const std::string& Path() const override { return folder_.Path(); }
  void MakeFolder(const std::string& relative) override { folder_.MakeFolder(relative); }
  void WriteFile(const std::string& relative, const std::string& bytes) override {
    folder_.WriteFile(relative, bytes);
  }
  std::string Contents(const std::string& relative) const override {
    return folder_.ReadFile(relative);
  }
  bool Has(const std::string& relative) const override { return folder_.Exists(relative); }

 private:
  TempFolder folder_;
  PosixFileSystem files_{folder_.Path()};
};

class InMemory : public Folder {
 public:
  FileSystem& Files() override { return files_; }
  const std::string& Path() const override { return files_.Path(); }
  void MakeFolder(const std::string& relative) override { files_.MakeFolder(relative); }
  void WriteFile(const std::string& relative, const std::string& bytes) override {
    files_.WriteFile(relative, bytes);
  }
  std::string Contents(const std::string& relative) const override {
    return files_.Contents(relative);
  }
  bool Has(const std::string& relative) const override { return files_.Has(relative); }

 private:
  MemoryFileSystem files_;
};

using NewFolder = std::unique_ptr<Folder> (*)();

class FileSystemTest : public ::testing::TestWithParam<NewFolder> {
 protected:
  std::string At(const std::string& relative) const { return folder->Path() + relative; }

  std::unique_ptr<Folder> folder = GetParam()();
  FileSystem& files = folder->Files();
};

INSTANTIATE_TEST_SUITE_P(Posix, FileSystemTest, ::testing::Values([]() -> std::unique_ptr<Folder> {
                           return std::make_unique<OnDisk>();
                         }));
INSTANTIATE_TEST_SUITE_P(InMemory, FileSystemTest,
                         ::testing::Values([]() -> std::unique_ptr<Folder> {
                           return std::make_unique<InMemory>();
                         }));

TEST_P(FileSystemTest, NamesMatchWithoutRegardToLetterCase) {
  folder->WriteFile("Users/USER2.DAT", "two");
  EXPECT_EQ(files.ReadFile(At("users/USER2.dat"), kAnySize), "two");
  EXPECT_EQ(files.Resolve(At("USERS/user2.dat")), At("Users/USER2.DAT"));
  // Writing under another case replaces the stored file rather than adding a second one.
  files.ReplaceFile(At("Users/user2.dat"), "new");
  EXPECT_EQ(folder->Contents("Users/USER2.DAT"), "new");
  EXPECT_FALSE(folder->Has("Users/user2.dat"));
}

TEST_P(FileSystemTest, MovieStylePathsWithADoubledSlashResolve) {
  folder->WriteFile("Menus/Home.swf", "movie");
  EXPECT_EQ(files.Resolve(folder->Path() + "/Menus/Home.swf"), At("Menus/Home.swf"));
}

TEST_P(FileSystemTest, ListingShowsOnlyOrdinaryVisibleFiles) {
  folder->WriteFile("Users/USER1.DAT", "");
  folder->WriteFile("Users/notes.txt", "");
  folder->WriteFile("Users/.hidden", "");
  folder->MakeFolder("Users/Sub");
  EXPECT_THAT(files.ListFiles(At("Users/")), UnorderedElementsAre("USER1.DAT", "notes.txt"));
  EXPECT_EQ(ErrorOf([&] { files.ListFiles(At("Missing/")); }), vb::kPathNotFound);
}

TEST_P(FileSystemTest, MissingFilesAndFoldersHaveTheirOwnNumbers) {
  EXPECT_EQ(ErrorOf([&] { files.ReadFile(At("nothing.dat"), kAnySize); }), vb::kFileNotFound);
  EXPECT_EQ(ErrorOf([&] { files.ReadFile(At("High Scores/PEGS.dat"), kAnySize); }),
            vb::kPathNotFound);
  EXPECT_EQ(ErrorOf([&] { files.DeleteFile(At("Users/USER9.DAT")); }), vb::kPathNotFound);
  EXPECT_EQ(ErrorOf([&] { files.ReplaceFile(At("NoFolder/x.dat"), "x"); }), vb::kPathNotFound);
  EXPECT_EQ(ErrorOf([&] { files.AppendText(At("Logs/Log.dat"), "x"); }), vb::kPathNotFound);
  EXPECT_FALSE(folder->Has("Logs"));
  folder->MakeFolder("Users");
  EXPECT_EQ(ErrorOf([&] { files.DeleteFile(At("Users/USER9.DAT")); }), vb::kFileNotFound);
}

TEST_P(FileSystemTest, NothingOutsideTheApplicationFolderIsTouched) {
  EXPECT_EQ(ErrorOf([&] { files.ReplaceFile("/tmp/tdwk-outside.dat", "x"); }),
            vb::kPathFileAccessError);
  EXPECT_EQ(ErrorOf([&] { files.ReplaceFile(At("Users/../../escape.dat"), "x"); }),
            vb::kBadFileName);
  EXPECT_EQ(ErrorOf([&] { files.ReadFile(At("../etc/passwd"), kAnySize); }), vb::kBadFileName);
}

TEST_P(FileSystemTest, APathHoldingANulNamesNoFile) {
  folder->WriteFile("Users/USER1.DAT", "one");
  EXPECT_EQ(
      ErrorOf([&] { files.ReadFile(At(std::string("Users/USER1.DAT\0.bak", 20)), kAnySize); }),
      vb::kBadFileName);
  EXPECT_EQ(ErrorOf([&] { files.ReplaceFile(At(std::string("Users/USER1.DAT\0", 16)), "x"); }),
            vb::kBadFileName);
  EXPECT_EQ(folder->Contents("Users/USER1.DAT"), "one");
}

TEST_P(FileSystemTest, RenamingReplacesTheTarget) {
  folder->WriteFile("Users/USER3.DAT", "three");
  folder->WriteFile("Users/USER2.DAT", "two");
  files.RenameFile(At("Users/USER3.DAT"), At("Users/USER2.DAT"));
  EXPECT_EQ(folder->Contents("Users/USER2.DAT"), "three");
  EXPECT_FALSE(folder->Has("Users/USER3.DAT"));
}

TEST_P(FileSystemTest, AFolderIsNeitherReadNorWrittenAsAFile) {
  folder->MakeFolder("Users/USER1.DAT");
  EXPECT_EQ(ErrorOf([&] { files.ReadFile(At("Users/USER1.DAT"), kAnySize); }),
            vb::kPathFileAccessError);
  EXPECT_EQ(ErrorOf([&] { files.AppendText(At("Users/USER1.DAT"), "x"); }),
            vb::kPathFileAccessError);
  EXPECT_EQ(ErrorOf([&] { files.ReplaceFile(At("Users/USER1.DAT"), "x"); }),
            vb::kPathFileAccessError);
  EXPECT_EQ(ErrorOf([&] { files.CreateFolder(At("users")); }), vb::kPathFileAccessError);
  EXPECT_TRUE(files.FolderExists(At("USERS/user1.dat")));
}

TEST_P(FileSystemTest, AFileLargerThanTheReaderTakesIsRefused) {
  folder->WriteFile("Users/USER1.DAT", std::string(1001, 'x'));
  EXPECT_EQ(ErrorOf([&] { files.ReadFile(At("Users/USER1.DAT"), 1000); }), vb::kOverflow);
  EXPECT_EQ(files.ReadFile(At("Users/USER1.DAT"), 1001).size(), 1001u);
}

TEST_P(FileSystemTest, AppendingCreatesTheFileButNeverItsFolderAndTellsItsSize) {
  folder->MakeFolder("Logs");
  EXPECT_EQ(files.AppendText(At("Logs/Log.dat"), "a"), 1u);
  EXPECT_EQ(files.AppendText(At("logs/log.dat"), "bc"), 3u);
  EXPECT_EQ(folder->Contents("Logs/Log.dat"), "abc");
}

// What only the POSIX file system meets: links, marks, FIFOs, sparse files, the temporaries
// of its replacements.
class PosixFileSystemTest : public ::testing::Test {
 protected:
  TempFolder folder;
  PosixFileSystem files{folder.Path()};
  std::string At(const std::string& relative) const { return folder.Path() + relative; }
};

TEST_F(PosixFileSystemTest, ReplacingIsAtomicAndLeavesNoTemporaryFile) {
  folder.WriteFile("High Scores/PEGS.dat", "old table");
  files.ReplaceFile(At("High Scores/PEGS.dat"), "new");
  EXPECT_EQ(folder.ReadFile("High Scores/PEGS.dat"), "new");
  EXPECT_EQ(folder.Entries("High Scores").size(), 1u);
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

TEST_F(PosixFileSystemTest, ALinkIsNotListedAndIsReplacedNotFollowedWhenWritten) {
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
  EXPECT_THAT(files.ListFiles(At("Users/")), ::testing::ElementsAre("USER1.DAT"));
}

TEST_F(PosixFileSystemTest, AFolderThatLinksOutsideIsNeverWrittenThrough) {
  TempFolder outside;
  std::filesystem::create_directory_symlink(outside.Path(), At("Users"));
  EXPECT_EQ(ErrorOf([&] { files.ReplaceFile(At("Users/USER1.DAT"), "x"); }), vb::kPermissionDenied);
  EXPECT_FALSE(outside.Exists("USER1.DAT"));
}

TEST_F(PosixFileSystemTest, ResettingAttributesMakesAReadOnlyFileWritable) {
  folder.WriteFile("t.dat", "x");
  std::filesystem::permissions(At("t.dat"), std::filesystem::perms::owner_read);
  files.ResetAttributes(At("t.dat"));
  const auto perms = std::filesystem::status(At("t.dat")).permissions();
  EXPECT_NE(perms & std::filesystem::perms::owner_write, std::filesystem::perms::none);
}

TEST_F(PosixFileSystemTest, AFifoNamedLikeADataFileFailsAtOnceInsteadOfWaitingForAWriter) {
  folder.MakeFolder("Users");
  folder.MakeFolder("Logs");
  ASSERT_EQ(::mkfifo(At("Users/USER1.DAT").c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo(At("Logs/Log.dat").c_str(), 0600), 0);
  EXPECT_EQ(ErrorOf([&] { files.ReadFile(At("Users/USER1.DAT"), kAnySize); }),
            vb::kPathFileAccessError);
  EXPECT_EQ(ErrorOf([&] { files.AppendText(At("Logs/Log.dat"), "x"); }), vb::kPathFileAccessError);
}

TEST_F(PosixFileSystemTest, AFileLargerThanTheReaderTakesIsRefusedWithoutReadingIt) {
  folder.WriteFile("Users/USER1.DAT", "");
  // Sparse: claims 3 GiB, stores nothing; reading it would take the memory.
  std::filesystem::resize_file(At("Users/USER1.DAT"), 3ULL << 30);
  EXPECT_EQ(ErrorOf([&] { files.ReadFile(At("Users/USER1.DAT"), 1000); }), vb::kOverflow);
  folder.WriteFile("Users/USER2.DAT", std::string(1000, 'x'));
  EXPECT_EQ(files.ReadFile(At("Users/USER2.DAT"), 1000).size(), 1000u);
}

}  // namespace
}  // namespace tdwk::test
