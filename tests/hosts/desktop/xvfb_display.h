#pragma once

#include <string>

namespace tdwk::test {

// An X server of its own for a test process, 1024 by 768, so that tests never draw on or
// click into a real screen. Sets DISPLAY and the WebKit settings a virtual server needs.
class XvfbDisplay {
 public:
  XvfbDisplay();
  ~XvfbDisplay();
  XvfbDisplay(const XvfbDisplay&) = delete;
  XvfbDisplay& operator=(const XvfbDisplay&) = delete;

  const std::string& Name() const { return name_; }  // ":N"

  // Presses and releases a mouse button at a point of the screen, as a user would.
  void Click(int x, int y, unsigned button) const;
  // Two clicks in quick succession at one point: a double click.
  void DoubleClick(int x, int y, unsigned button) const;
  // Presses and releases a key, named as X names its key symbols ("a", "Return").
  void PressKey(const std::string& keysym) const;
  // Asks every shown top-level window with this title to close, as a window manager's close
  // button does; false when there was none.
  bool CloseWindows(const std::string& title) const;

 private:
  int pid_ = -1;
  std::string name_;
};

// The one display of the test process, started on first use.
XvfbDisplay& TestDisplay();

}  // namespace tdwk::test
