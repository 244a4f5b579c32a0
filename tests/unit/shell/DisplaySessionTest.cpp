// Under Wayland the player runs through XWayland, and the external-window mode says once that its
// typing reaches only X11 applications.
#include <gtest/gtest.h>

#include <map>

#include "ShellFakes.h"
#include "settings/SettingsStore.h"
#include "shell/DisplaySession.h"
#include "support/TempFolder.h"

namespace nq::test {
namespace {

struct SessionCase {
  const char* Name;
  std::map<std::string, std::string> Variables;
  std::vector<std::string> Arguments;
  bool Wayland;
  const char* Forced;
};

class Sessions : public testing::TestWithParam<SessionCase> {};

TEST_P(Sessions, ForceXcbOnlyWhereTheUserChoseNothing) {
  const SessionCase& c = GetParam();
  const EnvironmentLookup variable = [&c](std::string_view name) -> std::optional<std::string> {
    const auto it = c.Variables.find(std::string(name));
    if (it == c.Variables.end()) return std::nullopt;
    return it->second;
  };
  EXPECT_EQ(IsWaylandSession(variable), c.Wayland);
  EXPECT_EQ(PlatformToForce(variable, c.Arguments), c.Forced);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Sessions,
    testing::Values(
        SessionCase{"X11", {{"DISPLAY", ":0"}, {"XDG_SESSION_TYPE", "x11"}}, {}, false, ""},
        SessionCase{"Wayland", {{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}}, {"b.qdx"}, true, "xcb"},
        SessionCase{"WaylandBySessionType", {{"XDG_SESSION_TYPE", "wayland"}}, {}, true, "xcb"},
        SessionCase{"EmptyWaylandDisplay", {{"WAYLAND_DISPLAY", ""}}, {}, false, ""},
        SessionCase{"UserChoseByVariable",
                    {{"WAYLAND_DISPLAY", "wayland-0"}, {"QT_QPA_PLATFORM", "wayland"}},
                    {},
                    true,
                    ""},
        SessionCase{"EmptyChoiceIsNoChoice",
                    {{"WAYLAND_DISPLAY", "wayland-0"}, {"QT_QPA_PLATFORM", ""}},
                    {},
                    true,
                    "xcb"},
        SessionCase{"UserChoseByArgument", {{"WAYLAND_DISPLAY", "w"}}, {"-platform", "wayland"}, true, ""}),
    [](const testing::TestParamInfo<SessionCase>& info) { return info.param.Name; });

struct NoticeMachine {
  TempFolder Root;
  FakeDialogs Messages;
  SettingsStore Settings{Root.Path("nexoquadrix.ini"), Root.Path("Quadrix.ini")};
};

TEST(ExternalWindowNotice, TellsOnceInAWaylandSessionEvenAcrossRuns) {
  NoticeMachine machine;
  {
    ExternalWindowNotice notice(machine.Messages, machine.Settings, true);
    notice.ExternalWindowSwitchedOn();
    notice.ExternalWindowSwitchedOn();
  }
  ExternalWindowNotice nextRun(machine.Messages, machine.Settings, true);
  nextRun.ExternalWindowSwitchedOn();
  ASSERT_EQ(machine.Messages.Messages.size(), 1u);
  EXPECT_EQ(machine.Messages.Messages[0], WaylandTypingNotice);
}

TEST(ExternalWindowNotice, SaysNothingUnderX11) {
  NoticeMachine machine;
  ExternalWindowNotice notice(machine.Messages, machine.Settings, false);
  notice.ExternalWindowSwitchedOn();
  EXPECT_TRUE(machine.Messages.Messages.empty());
}

TEST(ExternalWindowNotice, AnUnwritableSettingsFileStillTellsOnlyOncePerRun) {
  NoticeMachine machine;
  SettingsStore unwritable(machine.Root.Path("missing/folder/nexoquadrix.ini"), machine.Root.Path("Q.ini"));
  ExternalWindowNotice notice(machine.Messages, unwritable, true);
  notice.ExternalWindowSwitchedOn();
  notice.ExternalWindowSwitchedOn();
  EXPECT_EQ(machine.Messages.Messages.size(), 1u);
}

} // namespace
} // namespace nq::test
