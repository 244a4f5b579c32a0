// The player's side of the special functions: what the dispatcher asks of the keyboard and of the
// window that receives it.
#include "platform/KeySink.h"
#include "settings/SettingsKeys.h"
#include "shell/Player.h"

namespace nq {

bool Player::OpenBoard(const std::string& path) {
  return Opening.OpenBoard(path);
}

// The keyboard side goes to the on-screen keyboard's pieces once the front end has connected them; before
// that (tests of the shell alone) raw keys go to the button bar's key sink and named keys are not keys.
bool Player::SendNamedKey(const std::string& folded) {
  return TheExternal && TheExternal->Keys.SendNamedKey(folded);
}

void Player::SendKeyEvent(uint8_t virtualKey, bool down) {
  if (TheExternal) {
    TheExternal->Keys.SendKeyEvent(virtualKey, down);
    return;
  }
  KeySink* keys = TheButtons.Doors.Keys;
  if (keys == nullptr) return;
  const auto key = static_cast<VirtualKey>(virtualKey);
  if (down)
    keys->KeyDown(key);
  else
    keys->KeyUp(key);
}

void Player::ToggleExternalWindowMode() {
  if (TheExternal) TheExternal->Window.ToggleExternalWindowMode();
}

void Player::ToggleNoMenuNoCaption() {
  if (TheExternal)
    TheExternal->Window.ToggleNoMenuNoCaption();
  else
    ThePlacement.MenuNoMenuNoCaptionClick();
}

void Player::FitReceivingWindow() {
  if (TheExternal) TheExternal->Window.FitReceivingWindow();
}

bool Player::CloseForegroundApplication() {
  return TheExternal && TheExternal->Window.CloseForegroundApplication();
}

bool Player::ExternalWindowModeOn() const {
  return TheMenu.Checked("MenuNonFocusable");
}

// The open dialog needs a window that can take the focus; the mode's mark and setting stay as they are.
void Player::SuspendExternalWindowMode(bool suspended) {
  TheState.ExternalWindowMode = !suspended;
  if (FocusableWindow) FocusableWindow->SetNonFocusable(!suspended);
}

} // namespace nq
