#include "xvfb_display.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace tdwk::test {

XvfbDisplay::XvfbDisplay() {
  int fds[2];
  if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
  pid_ = fork();
  if (pid_ == 0) {
    close(fds[0]);
    const std::string fd = std::to_string(fds[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten",
           "tcp", "-noreset", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  // The server writes its display number once it accepts connections.
  std::string number;
  char c = 0;
  while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  close(fds[0]);
  if (number.empty()) throw std::runtime_error("Xvfb did not start");
  name_ = ":" + number;
  setenv("DISPLAY", name_.c_str(), 1);
  unsetenv("WAYLAND_DISPLAY");
  // A virtual server has no GPU: software rendering, which tdwk draws without compositing.
  setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
  if (geteuid() == 0) setenv("WEBKIT_DISABLE_SANDBOX_THIS_IS_DANGEROUS", "1", 1);
  setenv("TDWK_RENDERER", "canvas", 1);
  setenv("NO_AT_BRIDGE", "1", 1);
}

XvfbDisplay::~XvfbDisplay() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
}

namespace {
void FakeClicks(const std::string& name, int x, int y, unsigned button, int clicks) {
  Display* display = XOpenDisplay(name.c_str());
  if (display == nullptr) throw std::runtime_error("cannot open " + name);
  XTestFakeMotionEvent(display, 0, x, y, CurrentTime);
  for (int i = 0; i < clicks; ++i) {
    XTestFakeButtonEvent(display, button, True, i == 0 ? CurrentTime : 20);
    XTestFakeButtonEvent(display, button, False, 20);
  }
  XFlush(display);
  XSync(display, False);
  XCloseDisplay(display);
}
}  // namespace

void XvfbDisplay::Click(int x, int y, unsigned button) const {
  FakeClicks(name_, x, y, button, 1);
}

void XvfbDisplay::DoubleClick(int x, int y, unsigned button) const {
  FakeClicks(name_, x, y, button, 2);
}

void XvfbDisplay::PressKey(const std::string& keysym) const {
  Display* display = XOpenDisplay(name_.c_str());
  if (display == nullptr) throw std::runtime_error("cannot open " + name_);
  const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(keysym.c_str()));
  XTestFakeKeyEvent(display, code, True, CurrentTime);
  XTestFakeKeyEvent(display, code, False, 20);
  XSync(display, False);
  XCloseDisplay(display);
}

bool XvfbDisplay::CloseWindows(const std::string& title) const {
  Display* display = XOpenDisplay(name_.c_str());
  if (display == nullptr) return false;
  const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
  const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  bool sent = false;
  XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
  for (unsigned i = 0; i < count; ++i) {
    XWindowAttributes attributes{};
    char* name = nullptr;
    if (XGetWindowAttributes(display, children[i], &attributes) &&
        attributes.map_state == IsViewable && XFetchName(display, children[i], &name) &&
        name != nullptr) {
      if (title == name) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = children[i];
        event.xclient.message_type = protocols;
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(deleteWindow);
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, children[i], False, NoEventMask, &event);
        sent = true;
      }
      XFree(name);
    }
  }
  if (children != nullptr) XFree(children);
  XFlush(display);
  XCloseDisplay(display);
  return sent;
}

XvfbDisplay& TestDisplay() {
  static XvfbDisplay display;
  return display;
}

}  // namespace tdwk::test
