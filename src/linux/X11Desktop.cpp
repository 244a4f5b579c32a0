#include "linux/X11Desktop.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <vector>

#include "linux/X11Pointer.h"
#include "text/Encoding.h"

#undef None

namespace nq {
namespace {

constexpr long SourceApplication = 1; // EWMH source indication of a normal application

Atom Intern(::Display* display, const char* name) {
  return XInternAtom(display, name, False);
}

// A property of 32-bit items (returned as longs by Xlib); empty when missing.
std::vector<unsigned long> Cardinals(::Display* display, Window window, const char* name, Atom type) {
  Atom actualType = 0;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  std::vector<unsigned long> values;
  if (XGetWindowProperty(display, window, Intern(display, name), 0, 1024, False, type, &actualType, &format,
                         &count, &after, &data) == Success &&
      data && format == 32) {
    const auto* items = reinterpret_cast<const unsigned long*>(data);
    values.assign(items, items + count);
  }
  if (data) XFree(data);
  return values;
}

std::string Title(::Display* display, Window window) {
  Atom actualType = 0;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  std::string title;
  if (XGetWindowProperty(display, window, Intern(display, "_NET_WM_NAME"), 0, 1024, False,
                         Intern(display, "UTF8_STRING"), &actualType, &format, &count, &after,
                         &data) == Success &&
      data && format == 8) {
    title = Utf8ToWindows1252(std::string(reinterpret_cast<const char*>(data), count));
  }
  if (data) XFree(data);
  if (title.empty()) {
    char* name = nullptr;
    if (XFetchName(display, window, &name) && name) title = name;
    if (name) XFree(name);
  }
  return title;
}

void SendToWindowManager(::Display* display, Window window, const char* message, const long (&data)[5]) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = Intern(display, message);
  event.xclient.format = 32;
  for (int i = 0; i < 5; ++i)
    event.xclient.data.l[i] = data[i];
  XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask,
             &event);
  XFlush(display);
}

} // namespace

_XDisplay* X11Desktop::Connection() const {
  return Display ? Display : ApplicationXDisplay();
}

DesktopWindow X11Desktop::ForegroundWindow() {
  ::Display* display = Connection();
  if (!display) return 0;
  const auto active = Cardinals(display, DefaultRootWindow(display), "_NET_ACTIVE_WINDOW", XA_WINDOW);
  if (!active.empty()) return active[0];
  // Without a window manager that names it, the window holding the input focus.
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(display, &focus, &revert);
  return focus > PointerRoot ? focus : 0;
}

bool X11Desktop::IsNormalApplicationWindow(DesktopWindow window) {
  ::Display* display = Connection();
  if (!display || window == 0 || window == DefaultRootWindow(display)) return false;
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes) || attributes.override_redirect) return false;
  const auto types = Cardinals(display, window, "_NET_WM_WINDOW_TYPE", XA_ATOM);
  // A window that names no type is a normal one, as the window manager treats it.
  if (types.empty()) return true;
  const Atom normal = Intern(display, "_NET_WM_WINDOW_TYPE_NORMAL");
  const Atom dialog = Intern(display, "_NET_WM_WINDOW_TYPE_DIALOG");
  return types[0] == normal || types[0] == dialog;
}

DesktopRect X11Desktop::WorkArea() {
  ::Display* display = Connection();
  if (!display) return {};
  const Window root = DefaultRootWindow(display);
  const auto area = Cardinals(display, root, "_NET_WORKAREA", XA_CARDINAL);
  const auto current = Cardinals(display, root, "_NET_CURRENT_DESKTOP", XA_CARDINAL);
  const size_t desktop = current.empty() ? 0 : current[0];
  if (area.size() >= 4 * (desktop + 1)) {
    const unsigned long* a = &area[4 * desktop];
    return {static_cast<int32_t>(a[0]), static_cast<int32_t>(a[1]), static_cast<int32_t>(a[2]),
            static_cast<int32_t>(a[3])};
  }
  const int screen = DefaultScreen(display);
  return {0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)};
}

bool X11Desktop::WindowFrameRect(DesktopWindow window, DesktopRect& rect) {
  ::Display* display = Connection();
  if (!display || window == 0) return false;
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes)) return false;
  int x = 0;
  int y = 0;
  Window child = 0;
  XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
  const auto extents = Cardinals(display, window, "_NET_FRAME_EXTENTS", XA_CARDINAL);
  long left = 0, right = 0, top = 0, bottom = 0;
  if (extents.size() == 4) {
    left = static_cast<long>(extents[0]);
    right = static_cast<long>(extents[1]);
    top = static_cast<long>(extents[2]);
    bottom = static_cast<long>(extents[3]);
  }
  rect = {static_cast<int32_t>(x - left), static_cast<int32_t>(y - top),
          static_cast<int32_t>(attributes.width + left + right),
          static_cast<int32_t>(attributes.height + top + bottom)};
  return true;
}

void X11Desktop::MoveResizeWindow(DesktopWindow window, const DesktopRect& rect) {
  ::Display* display = Connection();
  if (!display || window == 0) return;
  const auto extents = Cardinals(display, window, "_NET_FRAME_EXTENTS", XA_CARDINAL);
  long horizontal = 0;
  long vertical = 0;
  if (extents.size() == 4) {
    horizontal = static_cast<long>(extents[0] + extents[1]);
    vertical = static_cast<long>(extents[2] + extents[3]);
  }
  // North-west gravity: x and y place the frame's corner; the size is the client's.
  constexpr long NorthWest = 1;
  constexpr long AllFields = (1L << 8) | (1L << 9) | (1L << 10) | (1L << 11);
  const long flags = NorthWest | AllFields | (SourceApplication << 12);
  SendToWindowManager(display, window, "_NET_MOVERESIZE_WINDOW",
                      {flags, rect.Left, rect.Top, rect.Width - horizontal, rect.Height - vertical});
  XRaiseWindow(display, window);
  XFlush(display);
}

DesktopWindow X11Desktop::TopApplicationWindow(DesktopWindow except) {
  ::Display* display = Connection();
  if (!display) return 0;
  const Atom hidden = Intern(display, "_NET_WM_STATE_HIDDEN");
  const auto clients = Cardinals(display, DefaultRootWindow(display), "_NET_CLIENT_LIST_STACKING", XA_WINDOW);
  for (auto it = clients.rbegin(); it != clients.rend(); ++it) {
    if (*it == except || !IsNormalApplicationWindow(*it)) continue;
    const auto states = Cardinals(display, *it, "_NET_WM_STATE", XA_ATOM);
    if (std::find(states.begin(), states.end(), hidden) == states.end()) return *it;
  }
  return 0;
}

void X11Desktop::ActivateWindow(DesktopWindow window) {
  ::Display* display = Connection();
  if (!display || window == 0) return;
  SendToWindowManager(display, window, "_NET_ACTIVE_WINDOW", {SourceApplication, CurrentTime, 0, 0, 0});
}

void X11Desktop::CloseWindow(DesktopWindow window) {
  ::Display* display = Connection();
  if (!display || window == 0) return;
  SendToWindowManager(display, window, "_NET_CLOSE_WINDOW", {CurrentTime, SourceApplication, 0, 0, 0});
}

DesktopWindow X11Desktop::FindWindowByTitle(const std::string& text) {
  ::Display* display = Connection();
  if (!display) return 0;
  // Bottom to top as the window manager stacks them; the search goes from the top.
  const auto clients = Cardinals(display, DefaultRootWindow(display), "_NET_CLIENT_LIST_STACKING", XA_WINDOW);
  for (auto it = clients.rbegin(); it != clients.rend(); ++it) {
    const std::string title = Title(display, *it);
    if (!title.empty() && title.find(text) != std::string::npos) return *it;
  }
  return 0;
}

} // namespace nq
