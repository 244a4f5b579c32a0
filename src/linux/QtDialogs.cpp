#include "linux/QtDialogs.h"

#include <QFileDialog>
#include <QMessageBox>

#include "linux/QtText.h"

namespace nq {

QtDialogs::QtDialogs(std::function<QWidget*()> parent, std::string defaultCaption)
    : Parent(std::move(parent)), DefaultCaption(std::move(defaultCaption)) {}

void QtDialogs::ShowMessage(const std::string& text, MessageIcon icon, const std::string& caption) {
  QMessageBox::Icon qtIcon = QMessageBox::NoIcon;
  switch (icon) {
  case MessageIcon::Information:
    qtIcon = QMessageBox::Information;
    break;
  case MessageIcon::Warning:
    qtIcon = QMessageBox::Warning;
    break;
  case MessageIcon::Error:
    qtIcon = QMessageBox::Critical;
    break;
  case MessageIcon::None:
    break;
  }
  QMessageBox box(qtIcon, ToQString(caption.empty() ? DefaultCaption : caption), ToQString(text),
                  QMessageBox::Ok, Parent ? Parent() : nullptr);
  // The main window stays on top; its boxes must too, or they hide behind it.
  box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
  if (OnModal) OnModal(true);
  box.exec();
  if (OnModal) OnModal(false);
}

QString QtDialogs::ToQtFilter(const std::string& cp1252Filter) {
  const QStringList parts = ToQString(cp1252Filter).split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString description = parts[i];
    // Qt reads the patterns from the parentheses of the description; add them when missing.
    filters << (description.contains('(')
                    ? description
                    : description + " (" + QString(parts[i + 1]).replace(';', ' ') + ")");
  }
  return filters.join(";;");
}

std::optional<std::string> QtDialogs::ChooseFileToOpen(const std::string& title, const std::string& filter,
                                                       const std::string& defaultExtension,
                                                       const std::string& initialFolder,
                                                       const std::string& presetName) {
  QFileDialog dialog(Parent ? Parent() : nullptr, ToQString(title), ToQString(initialFolder),
                     ToQtFilter(filter));
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setDefaultSuffix(ToQString(defaultExtension));
  dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true);
  if (!presetName.empty()) dialog.selectFile(ToQString(presetName));
  if (OnModal) OnModal(true);
  const bool accepted = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
  if (OnModal) OnModal(false);
  if (!accepted) return std::nullopt;
  return FromQString(dialog.selectedFiles().front());
}

} // namespace nq
