#pragma once
#include <QPointer>
#include <QWidget>
#include <functional>
#include <string_view>

#include "platform/Dialogs.h"

namespace nq {

/// The title of the question about a folder's trust (scripts find the box by it).
inline constexpr std::string_view TrustQuestionCaption = "Carpeta de tableros";

class QtDialogs : public Dialogs {
public:
  /// parent gives the window that owns the boxes (may return nullptr before the window exists).
  QtDialogs(std::function<QWidget*()> parent, std::string defaultCaption);
  void ShowMessage(const std::string& text, MessageIcon icon, const std::string& caption) override;
  std::optional<std::string> ChooseFileToOpen(const std::string& title, const std::string& filter,
                                              const std::string& defaultExtension,
                                              const std::string& initialFolder,
                                              const std::string& presetName) override;
  TrustAnswer AskFolderTrust(const std::string& folder, const std::string& whatRuns) override;
  std::vector<std::string> ReviewTrustedFolders(const std::vector<std::string>& folders) override;
  /// Turns a filter of "description|pattern|..." pairs into Qt's "description;;..." form.
  static QString ToQtFilter(const std::string& cp1252Filter);

  /// Called before and after every modal box, so the owner can pause its mouse hook.
  std::function<void(bool modalShown)> OnModal;

private:
  std::function<QWidget*()> Parent;
  std::string DefaultCaption;
};

} // namespace nq
