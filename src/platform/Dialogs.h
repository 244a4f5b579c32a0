#pragma once
// Modal boxes and file dialogs the core asks for; texts are Windows-1252 and converted at the edge.
#include <optional>
#include <string>

namespace nq {

enum class MessageIcon { None, Information, Warning, Error };

class Dialogs {
public:
  virtual ~Dialogs() = default;
  /// Shows a modal box with an OK button and returns when it is closed.
  virtual void ShowMessage(const std::string& text, MessageIcon icon = MessageIcon::None,
                           const std::string& caption = {}) = 0;
  /// Shows the open-file dialog; returns the chosen path (Windows-1252) or nothing when cancelled.
  virtual std::optional<std::string> ChooseFileToOpen(const std::string& title, const std::string& filter,
                                                      const std::string& defaultExtension,
                                                      const std::string& initialFolder,
                                                      const std::string& presetName) = 0;
};

} // namespace nq
