#pragma once
// The player needs X11 for its key injection and its window placement. In a Wayland session it runs
// through XWayland; the keys it types then reach only the applications that run there too.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nq {

class Dialogs;
class SettingsStore;

/// getenv, injected so every session can be described in a test.
using EnvironmentLookup = std::function<std::optional<std::string>(std::string_view name)>;

/// True in a Wayland session (WAYLAND_DISPLAY set, or XDG_SESSION_TYPE "wayland").
bool IsWaylandSession(const EnvironmentLookup& variable);

/// The Qt platform to set before the application starts: "xcb" in a Wayland session unless the user
/// chose one (QT_QPA_PLATFORM, or "-platform" among the arguments); empty when nothing is to change.
std::string PlatformToForce(const EnvironmentLookup& variable, const std::vector<std::string>& arguments);

/// The notice shown when the external-window mode is switched on in a Wayland session.
inline constexpr std::string_view WaylandTypingNotice =
    "Sesi\xF3n Wayland: en el modo \"Actuar en ventana externa\" las teclas y los textos s\xF3lo llegan a "
    "las aplicaciones X11 (XWayland). Las aplicaciones Wayland no los reciben.";

/// Tells the user once (the settings remember it) that typing reaches only X11 applications.
class ExternalWindowNotice {
public:
  ExternalWindowNotice(Dialogs& dialogs, SettingsStore& settings, bool waylandSession);
  /// Call each time the external-window mode is switched on; shows the notice the first time only.
  void ExternalWindowSwitchedOn();

private:
  Dialogs& Messages;
  SettingsStore& Settings;
  bool WaylandSession;
  bool ShownThisRun = false; // the settings file may not be writable
};

} // namespace nq
