#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>

#include "hosts/console/console_run.h"

namespace tdwk::test {
namespace {

namespace fs = std::filesystem;
using ::testing::AllOf;
using ::testing::HasSubstr;

unsigned Mode(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// One installation into a temporary root for the whole suite, its program folder read-only.
class InstalledTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    root_ = std::make_unique<TempFolder>();
    const ConsoleRun install =
        RunProgram(TDWK_CMAKE, {}, {"--install", TDWK_BUILD_DIR, "--prefix", "/usr"},
                   {{"DESTDIR", root_->Path()}});
    ASSERT_EQ(install.exitStatus, 0) << install.output << install.errors;
    SetWritable(false);
  }
  static void TearDownTestSuite() {
    SetWritable(true);
    root_.reset();
  }
  static void SetWritable(bool writable) {
    const auto change = writable ? fs::perm_options::add : fs::perm_options::remove;
    fs::permissions(Program(), fs::perms::owner_write, change);
    for (const auto& entry : fs::recursive_directory_iterator(Program())) {
      if (!entry.is_symlink()) fs::permissions(entry.path(), fs::perms::owner_write, change);
    }
  }
  static std::string Usr() { return root_->Path() + "usr/"; }
  static std::string Program() { return Usr() + "lib/tindlewick/"; }

  // Runs an installed program as the user whose home is home_.
  ConsoleRun Run(const std::string& program, const std::vector<std::string>& input,
                 const std::vector<std::string>& args = {},
                 std::map<std::string, std::string> environment = {}) const {
    environment.emplace("HOME", home_.Path());
    return RunProgram(Program() + program, input, args, environment);
  }
  std::string Data() const { return home_.Path() + ".local/share/tindlewick/"; }

  static std::unique_ptr<TempFolder> root_;
  TempFolder home_;
};

std::unique_ptr<TempFolder> InstalledTest::root_;

TEST_F(InstalledTest, AProfileAndAScoreLandInTheUsersOwnPrivateFolderAndAreThereNextTime) {
  const ConsoleRun first =
      Run("tdwk-console",
          {Form({{"FIRST_NAME", "Sam"}, {"DAY", "4"}, {"MONTH", "5"}, {"YEAR", "2019"}}),
           "swfMain vbSaveUser ADD", "swfMain vbPickUser USER1", "swfMain vbLoadMovie SNAKE",
           "swfMain vbCheckScores 950"});
  ASSERT_EQ(first.exitStatus, 0) << first.errors;
  // The shell and its trace keep the program's folder in their paths.
  EXPECT_EQ(first.Ops("LoadMovie", "swfMain").back()["url"], Program() + "/Games/Snake.swf");
  EXPECT_EQ(first.LastVariable("TOP_SCORE"), "950");

  for (const char* folder : {"", "Users", "High Scores", "Logs"}) {
    EXPECT_EQ(Mode(Data() + folder), 0700u) << folder;
  }
  EXPECT_EQ(Mode(Data() + "Users/USER1.DAT"), 0600u);
  EXPECT_EQ(Mode(Data() + "High Scores/HUNGRY_FROGS.dat"), 0600u);
  EXPECT_EQ(Mode(Data() + "High Scores/PAIRS.dat"), 0600u);  // copied from the installed ones
  EXPECT_FALSE(fs::exists(Program() + "Users"));

  const ConsoleRun next = Run("tdwk-console", {"swfMain vbIntroFinished"});
  EXPECT_EQ(next.LastVariable("FIRST_NAME"), "Sam");  // the only child, chosen at start-up
  const ConsoleRun scores =
      Run("tdwk-console", {"swfMain vbIntroFinished", "swfMain vbLoadMovie SNAKE"});
  EXPECT_EQ(scores.LastVariable("TOP_SCORE"), "950");
}

TEST_F(InstalledTest, DataThatCannotBeWrittenIsSaidOnceAtStartUp) {
  home_.WriteFile("not-a-folder", "");
  const std::string unusable = home_.Path() + "not-a-folder/data";
  const ConsoleRun run = Run("tdwk-console", {}, {}, {{"XDG_DATA_HOME", unusable}});
  EXPECT_EQ(run.exitStatus, 0);
  ASSERT_EQ(run.Ops("MessageBox").size(), 1u) << run.output;
  EXPECT_THAT(run.Ops("MessageBox")[0]["text"].get<std::string>(),
              AllOf(HasSubstr("Profiles and high scores cannot be saved"),
                    HasSubstr(home_.Path() + "not-a-folder")));
  EXPECT_FALSE(run.Ops("LoadMovie", "swfMain").empty());  // the movies still play
}

TEST_F(InstalledTest, ContentCheckCountsMissingMoviesAndImportFillsThemInAnyLetterCase) {
  const ConsoleRun complete = Run("tdwk-content", {}, {"check"});
  EXPECT_EQ(complete.exitStatus, 0) << complete.output;
  EXPECT_THAT(complete.output, HasSubstr("/Games/Snake.swf"));
  EXPECT_THAT(complete.output, HasSubstr("sends vbCheckScores"));

  // The family's own disc names its folders and files in its own letter case.
  TempFolder disc;
  disc.MakeFolder("GAMES");
  // Their game sends a command the shell does not know.
  std::ifstream demo(Program() + "Games/Snake.swf", std::ios::binary);
  std::string game((std::istreambuf_iterator<char>(demo)), std::istreambuf_iterator<char>());
  const std::size_t command = game.find("FSCommand:vbCheckScores");
  ASSERT_NE(command, std::string::npos);
  game.replace(command, 23, "FSCommand:vbCheckScorez");
  disc.WriteFile("GAMES/SNAKE.SWF", game);
  SetWritable(true);
  fs::rename(Program() + "Games/Snake.swf", Program() + "Games/Snake.swf.moved");
  SetWritable(false);
  const ConsoleRun missing = Run("tdwk-content", {}, {"check"});
  SetWritable(true);
  fs::rename(Program() + "Games/Snake.swf.moved", Program() + "Games/Snake.swf");
  SetWritable(false);
  EXPECT_EQ(missing.exitStatus, 1);
  EXPECT_THAT(missing.output, HasSubstr("/Games/Snake.swf                  missing"));

  const ConsoleRun imported = Run("tdwk-content", {}, {"import", disc.Path()});
  EXPECT_EQ(imported.exitStatus, 0) << imported.errors;
  EXPECT_EQ(Mode(Data() + "Games/SNAKE.SWF"), 0600u);
  const ConsoleRun theirs = Run("tdwk-content", {}, {"check"});
  EXPECT_EQ(theirs.exitStatus, 0);
  EXPECT_THAT(theirs.output, HasSubstr("/Games/Snake.swf                  theirs"));
  EXPECT_THAT(theirs.output, HasSubstr("vbCheckScorez (unknown to the shell)"));
  EXPECT_THAT(theirs.output, HasSubstr("/Games/Pairs.swf                  demo"));
}

TEST_F(InstalledTest, EveryProgramAnswersHelpAndVersionBeforeAnythingElse) {
  std::vector<std::string> programs{"tdwk-console", "tdwk-content"};
  if (TDWK_WITH_DESKTOP) programs.push_back("tdwk");
  for (const std::string& program : programs) {
    // No display: tdwk answers before it would need one.
    const ConsoleRun version = Run(program, {}, {"--version"}, {{"DISPLAY", ""}});
    EXPECT_EQ(version.exitStatus, 0) << program;
    EXPECT_THAT(version.output, HasSubstr("(tindlewick) 0."));
    const ConsoleRun help = Run(program, {}, {"--help"}, {{"DISPLAY", ""}});
    EXPECT_EQ(help.exitStatus, 0) << program;
    EXPECT_THAT(help.output, HasSubstr("Usage: " + program));
  }
  EXPECT_FALSE(fs::exists(Data())) << "nothing is created for --help or --version";
}

TEST_F(InstalledTest, TheDesktopEntryAndTheMetainfoValidate) {
  if (!TDWK_WITH_DESKTOP) GTEST_SKIP() << "built without the desktop host";
  const std::string entry = Usr() + "share/applications/org.tindlewick.Tindlewick.desktop";
  const ConsoleRun desktop = RunProgram("/usr/bin/desktop-file-validate", {}, {entry});
  EXPECT_EQ(desktop.exitStatus, 0) << desktop.output << desktop.errors;
  const ConsoleRun metainfo = RunProgram(
      "/usr/bin/appstreamcli", {},
      {"validate", "--no-net", Usr() + "share/metainfo/org.tindlewick.Tindlewick.metainfo.xml"});
  EXPECT_EQ(metainfo.exitStatus, 0) << metainfo.output << metainfo.errors;
  EXPECT_TRUE(fs::is_symlink(Usr() + "bin/tdwk"));
  EXPECT_TRUE(fs::exists(Usr() + "bin/tdwk"));  // the link leads to the program
}

TEST_F(InstalledTest, TheDebianPackageHoldsTheDesktopIntegrationAndDependsOnItsLibraries) {
  if (!TDWK_WITH_DESKTOP) GTEST_SKIP() << "built without the desktop host";
  TempFolder out;
  const ConsoleRun pack =
      RunProgram(TDWK_CPACK, {},
                 {"--config", std::string(TDWK_BUILD_DIR) + "/CPackConfig.cmake", "-G", "DEB", "-B",
                  out.Path()});
  ASSERT_EQ(pack.exitStatus, 0) << pack.output << pack.errors;
  std::string deb;
  for (const auto& file : fs::directory_iterator(out.Path())) {
    if (file.path().extension() == ".deb") deb = file.path().string();
  }
  ASSERT_FALSE(deb.empty());
  const ConsoleRun contents = RunProgram("/usr/bin/dpkg-deb", {}, {"--contents", deb});
  for (const char* path : {"./usr/share/applications/org.tindlewick.Tindlewick.desktop",
                           "./usr/share/icons/hicolor/scalable/apps/org.tindlewick.Tindlewick.svg",
                           "./usr/share/metainfo/org.tindlewick.Tindlewick.metainfo.xml",
                           "./usr/share/man/man6/tdwk.6", "./usr/lib/tindlewick/tdwk",
                           "./usr/bin/tdwk -> ../lib/tindlewick/tdwk"}) {
    EXPECT_THAT(contents.output, HasSubstr(path));
  }
  const ConsoleRun depends = RunProgram("/usr/bin/dpkg-deb", {}, {"--field", deb, "Depends"});
  EXPECT_THAT(depends.output, AllOf(HasSubstr("libwebkit2gtk-4.1"), HasSubstr("libgtk-3")));
}

}  // namespace
}  // namespace tdwk::test
