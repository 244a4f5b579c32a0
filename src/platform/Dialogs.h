#pragma once
// Modal boxes and file dialogs the core asks for; texts are Windows-1252 and converted at the edge.
#include <optional>
#include <string>
#include <vector>

namespace nq {

enum class MessageIcon { None, Information, Warning, Error };

/// The answers to whether a folder's boards may run commands that reach outside the player.
enum class TrustAnswer { No, ThisTime, Always };

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
  /// Asks whether boards of the folder may run what is described (both Windows-1252): "Permitir
  /// siempre en esta carpeta", "Solo esta vez" or "No", No being the default. A door that cannot ask
  /// answers No.
  virtual TrustAnswer AskFolderTrust(const std::string& folder, const std::string& whatRuns) {
    (void)folder;
    (void)whatRuns;
    return TrustAnswer::No;
  }
  /// Shows the trusted folders (Windows-1252) and returns the ones the user chose to remove.
  virtual std::vector<std::string> ReviewTrustedFolders(const std::vector<std::string>& folders) {
    (void)folders;
    return {};
  }
};

} // namespace nq
