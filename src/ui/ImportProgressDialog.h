#pragma once
// Imports a board set on a worker thread while a progress box with a cancel button stays over the
// player's window, so that a large or hostile set never freezes the window or the speech.
#include <QWidget>
#include <functional>

#include "exchange/ImportedBoards.h"

namespace nq {

class ImportProgressDialog : public exchange::ImportRunner {
public:
  /// `parent` gives the window that owns the box (may return nullptr).
  explicit ImportProgressDialog(std::function<QWidget*()> parent);
  void Run(const std::string& fileName, exchange::ImportProgress& progress,
           const std::function<void()>& work) override;

  /// Called before and after the box, so the owner can pause its mouse hook.
  std::function<void(bool modalShown)> OnModal;

private:
  std::function<QWidget*()> Parent;
};

} // namespace nq
