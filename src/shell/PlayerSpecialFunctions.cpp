// The player's side of the special functions: what the dispatcher asks of the keyboard and of the
// window that receives it.
#include "platform/KeySink.h"
#include "settings/SettingsKeys.h"
#include "shell/Player.h"

namespace nq {

bool Player::OpenBoard(const std::string& path) {
  const bool opened = Opening.OpenBoard(path);
  // The menu board swallows the release of the press that opened it from the corner; a cell chosen
  // on release has had its release already, so the user's next choice on the menu board must count.
  TheState.MenuCornerLatch = true;
  return opened;
}

// ---- Keyboard side: stand-ins until the keyboard mode's own pieces are wired in. ----
// Raw keys go to the key sink the button bar uses; the window mode goes through the shell's
// external-window door and "No menu. No caption"; named keys, fitting the receiving window and closing
// another program need the keyboard mode and do nothing until then.
bool Player::SendNamedKey(const std::string&) {
  return false;
}

void Player::SendKeyEvent(uint8_t virtualKey, bool down) {
  KeySink* keys = TheButtons.Doors.Keys;
  if (keys == nullptr) return;
  const auto key = static_cast<VirtualKey>(virtualKey);
  if (down)
    keys->KeyDown(key);
  else
    keys->KeyUp(key);
}

void Player::ToggleExternalWindowMode() {
  const bool on = TheMenu.Toggle("MenuNonFocusable");
  TheState.ExternalWindowMode = on;
  if (Ctx.ExternalWindow) Ctx.ExternalWindow->SetExternalWindowMode(on);
  if (on && !TheState.NoMenuNoCaptionMode) {
    ThePlacement.SetNoMenuNoCaption(true);
    TheSettings.WriteSettingYesNo(SectionMenuOptions, KeyNoMenuNoCaption, true);
  }
  TheSettings.WriteSettingYesNo(SectionMenuOptions, KeyNonFocusable, on);
}

void Player::ToggleNoMenuNoCaption() {
  ThePlacement.MenuNoMenuNoCaptionClick();
}

void Player::FitReceivingWindow() {}

bool Player::CloseForegroundApplication() {
  return false;
}

bool Player::ExternalWindowModeOn() const {
  return TheMenu.Checked("MenuNonFocusable");
}

void Player::SuspendExternalWindowMode(bool suspended) {
  TheState.ExternalWindowMode = !suspended;
  if (Ctx.ExternalWindow) Ctx.ExternalWindow->SetExternalWindowMode(!suspended);
}
// ---- End of the keyboard side. ----

} // namespace nq
