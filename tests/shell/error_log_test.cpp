#include <gtest/gtest.h>

#include <filesystem>

#include "support/shell_fixture.h"

namespace tdwk::test {
namespace {

class ErrorLogTest : public ShellTest {
 protected:
  void SetUp() override { NewShell().state.appPath = folder.Path(); }
};

TEST_F(ErrorLogTest, AnErrorTakesTwoLinesWithTheDateAndTime) {
  shell->errors.ReportError(53, "File not found", "frmTDWK", "LoadMovie", "");
  EXPECT_EQ(Log(),
            "03/05/2004 09:15:42 *** Error: 53 - File not found\r\n"
            "    Module: frmTDWK, Procedure: LoadMovie\r\n");
  EXPECT_TRUE(host.messageBoxes.empty());
}

TEST_F(ErrorLogTest, EntriesAreAppendedAndNegativeNumbersKeepTheirSign) {
  folder.WriteFile("Logs/Log.dat", "earlier\r\n");
  shell->errors.ReportError(-2147467259, "Automation error", "basTDWK", "Main", "");
  shell->errors.WriteLog("second");
  EXPECT_EQ(Log(),
            "earlier\r\n"
            "03/05/2004 09:15:42 *** Error: -2147467259 - Automation error\r\n"
            "    Module: basTDWK, Procedure: Main\r\n"
            "03/05/2004 09:15:42 second\r\n");
}

TEST_F(ErrorLogTest, AUserMessageIsShownWithTheWebsiteAdviceOnce) {
  shell->errors.ReportError(5, "x", "basTDWK", "Main",
                            "There was a problem showing the main screen.");
  ASSERT_EQ(host.messageBoxes.size(), 1u);
  EXPECT_EQ(host.messageBoxes[0],
            "There was a problem showing the main screen.\r\n\r\n"
            "Please visit our website for information on how to fix this problem.");
}

TEST_F(ErrorLogTest, WithoutALogsFolderNothingIsCreatedAndTheBoxStillAppears) {
  std::filesystem::remove_all(folder.Path() + "Logs");
  shell->errors.ReportError(5, "x", "frmTDWK", "Form_Load",
                            "There was a problem loading the main screen.");
  EXPECT_FALSE(folder.Exists("Logs"));
  EXPECT_EQ(host.messageBoxes.size(), 1u);
}

TEST_F(ErrorLogTest, ALogThatCannotBeOpenedIsSwallowedSilently) {
  folder.MakeFolder("Logs/Log.dat");  // not a file: opening it for appending fails
  EXPECT_NO_THROW(shell->errors.WriteLog("lost"));
  EXPECT_NO_THROW(shell->errors.ReportError(53, "File not found", "frmTDWK", "LoadMovie", ""));
  EXPECT_TRUE(host.messageBoxes.empty());
}

TEST_F(ErrorLogTest, TextIsStoredInTheFileCodePage) {
  shell->errors.WriteLog("caf\xC3\xA9 \xE2\x82\xAC");
  EXPECT_EQ(Log(), "03/05/2004 09:15:42 caf\xE9 \x80\r\n");
}

}  // namespace
}  // namespace tdwk::test
