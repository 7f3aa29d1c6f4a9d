#pragma once

#include <string>

#include "platform/flash_control.h"
#include "platform/window_host.h"

namespace tdwk {

class Shell;

// frmTDWK: the one window, its four movie layers and the timer that closes the program.
class MainWindow : public WindowEvents {
 public:
  explicit MainWindow(Shell& shell) : shell_(shell) {}

  // Creates the controls, once; the window exists from then on.
  void Create();
  bool Exists() const { return swfMain_ != nullptr; }

  FlashControl& swfMain();
  FlashControl& swfBackgroundTop();
  FlashControl& swfBackgroundLeft();
  FlashControl& swfBackgroundCorner();
  Timer& tmrUnload();

  void Form_Load() override;
  void Form_Unload() override;
  void tmrUnload_Timer();

  void LoadMovie(std::string sMovie, bool bGotoFrame2);
  void showHomeMenu(bool bTopBarShown);
  void showExitConfirmation();
  void showFinishMovie();

  // The greeting of the home menu for the current child.
  std::string WelcomeMessage() const;
  void PutMainInFullWindow();
  void PutMainInContentArea();

  // Set when Form_Unload failed: the program then ends at once with a failure.
  bool UnloadFailed() const { return unloadFailed_; }

 private:
  Shell& shell_;
  FlashControl* swfMain_ = nullptr;
  FlashControl* swfBackgroundTop_ = nullptr;
  FlashControl* swfBackgroundLeft_ = nullptr;
  FlashControl* swfBackgroundCorner_ = nullptr;
  Timer* tmrUnload_ = nullptr;
  bool unloadFailed_ = false;
};

}  // namespace tdwk
