#include "linux/QtDialogs.h"

#include <QCursor>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

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

// The answers that let a board run anything wait this long, so the press that chose the cell, or a
// switch pressed again at once, cannot give them.
constexpr int TrustButtonDelayMs = 1000;

TrustAnswer QtDialogs::AskFolderTrust(const std::string& folder, const std::string& whatRuns) {
  QMessageBox box(QMessageBox::Warning, ToQString(std::string(TrustQuestionCaption)),
                  ToQString("Un tablero de la carpeta\n" + folder +
                            "\nquiere hacer algo fuera de NexoQuadrix:\n\n" + whatRuns +
                            "\n\n\xBFLo permite?"),
                  QMessageBox::NoButton, Parent ? Parent() : nullptr);
  box.setTextFormat(Qt::PlainText);
  QPushButton* always = box.addButton(ToQString("Permitir siempre en esta carpeta"), QMessageBox::AcceptRole);
  QPushButton* once = box.addButton(ToQString("Solo esta vez"), QMessageBox::YesRole);
  QPushButton* no = box.addButton(ToQString("No"), QMessageBox::RejectRole);
  box.setDefaultButton(no);
  box.setEscapeButton(no);
  always->setEnabled(false);
  once->setEnabled(false);
  // Switches click where the pointer is: when the answers that allow come alive, the pointer rests on
  // "No", so a press meant for the board refuses. (The box has its place on screen by then.)
  QTimer::singleShot(TrustButtonDelayMs, &box, [always, once, no] {
    always->setEnabled(true);
    once->setEnabled(true);
    QCursor::setPos(no->mapToGlobal(no->rect().center()));
  });
  box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
  if (OnModal) OnModal(true);
  box.exec();
  if (OnModal) OnModal(false);
  if (box.clickedButton() == always) return TrustAnswer::Always;
  if (box.clickedButton() == once) return TrustAnswer::ThisTime;
  return TrustAnswer::No;
}

std::vector<std::string> QtDialogs::ReviewTrustedFolders(const std::vector<std::string>& folders) {
  QDialog dialog(Parent ? Parent() : nullptr);
  dialog.setWindowTitle(ToQString("Carpetas de confianza"));
  dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(
      new QLabel(ToQString(folders.empty() ? "Ninguna carpeta es de confianza."
                                           : "Los tableros de estas carpetas pueden abrir programas y "
                                             "documentos y enviar teclas a otros programas:"),
                 &dialog));
  auto* list = new QListWidget(&dialog);
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  for (const std::string& folder : folders)
    list->addItem(ToQString(folder));
  layout->addWidget(list);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
  QPushButton* remove = buttons->addButton(ToQString("&Quitar"), QDialogButtonBox::ActionRole);
  layout->addWidget(buttons);
  std::vector<std::string> removed;
  QObject::connect(remove, &QPushButton::clicked, &dialog, [&removed, list] {
    for (QListWidgetItem* item : list->selectedItems()) {
      removed.push_back(FromQString(item->text()));
      delete item;
    }
  });
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  dialog.resize(560, 300);
  if (OnModal) OnModal(true);
  dialog.exec();
  if (OnModal) OnModal(false);
  return removed;
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
