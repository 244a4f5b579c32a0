#pragma once
#include <QPointer>
#include <QWidget>
#include <functional>

#include "platform/Dialogs.h"

namespace nq {

class QtDialogs : public Dialogs {
public:
  /// parent gives the window that owns the boxes (may return nullptr before the window exists).
  QtDialogs(std::function<QWidget*()> parent, std::string defaultCaption);
  void ShowMessage(const std::string& text, MessageIcon icon, const std::string& caption) override;
  std::optional<std::string> ChooseFileToOpen(const std::string& title, const std::string& filter,
                                              const std::string& defaultExtension,
                                              const std::string& initialFolder,
                                              const std::string& presetName) override;
  /// Turns a filter of "description|pattern|..." pairs into Qt's "description;;..." form.
  static QString ToQtFilter(const std::string& cp1252Filter);

  /// Called before and after every modal box, so the owner can pause its mouse hook.
  std::function<void(bool modalShown)> OnModal;

private:
  std::function<QWidget*()> Parent;
  std::string DefaultCaption;
};

} // namespace nq
