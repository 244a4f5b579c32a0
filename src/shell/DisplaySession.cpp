#include "shell/DisplaySession.h"

#include "platform/Dialogs.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"

namespace nq {
namespace {

constexpr std::string_view KeyWaylandNoticeShown = "AvisWaylandMostrat";

bool IsSet(const EnvironmentLookup& variable, std::string_view name) {
  const std::optional<std::string> value = variable ? variable(name) : std::nullopt;
  return value && !value->empty();
}

} // namespace

bool IsWaylandSession(const EnvironmentLookup& variable) {
  if (IsSet(variable, "WAYLAND_DISPLAY")) return true;
  const std::optional<std::string> type = variable ? variable("XDG_SESSION_TYPE") : std::nullopt;
  return type && *type == "wayland";
}

std::string PlatformToForce(const EnvironmentLookup& variable, const std::vector<std::string>& arguments) {
  if (!IsWaylandSession(variable) || IsSet(variable, "QT_QPA_PLATFORM")) return {};
  for (const std::string& argument : arguments)
    if (argument == "-platform" || argument == "--platform") return {}; // Qt reads both spellings
  return "xcb";
}

ExternalWindowNotice::ExternalWindowNotice(Dialogs& dialogs, SettingsStore& settings, bool waylandSession)
    : Messages(dialogs), Settings(settings), WaylandSession(waylandSession) {}

void ExternalWindowNotice::ExternalWindowSwitchedOn() {
  if (!WaylandSession || ShownThisRun) return;
  if (Settings.ReadSettingFlag(SectionNexoQuadrix, KeyWaylandNoticeShown, false)) return;
  ShownThisRun = true;
  Settings.WriteSettingFlag(SectionNexoQuadrix, KeyWaylandNoticeShown, true);
  Messages.ShowMessage(std::string(WaylandTypingNotice), MessageIcon::Information, "NexoQuadrix");
}

} // namespace nq
