#include "editor/EditorDialogs.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "authoring/BoardText.h"
#include "linux/QtText.h"
#include "ui/BoardPainter.h"

namespace nq {
namespace {

QSpinBox* Spin(QWidget* parent, int low, int high, int value) {
  auto* spin = new QSpinBox(parent);
  spin->setRange(low, high);
  spin->setValue(value);
  return spin;
}

} // namespace

std::optional<NewBoardChoice> AskNewBoard(QWidget* parent, const EditorTexts& texts, const QString& folder,
                                          const QString& name, int columns, int rows) {
  QDialog dialog(parent);
  dialog.setWindowTitle(texts("New board..."));
  auto* form = new QFormLayout(&dialog);
  QSpinBox* columnBox = Spin(&dialog, 1, 21, columns);
  columnBox->setObjectName("columns");
  QSpinBox* rowBox = Spin(&dialog, 1, 21, rows);
  rowBox->setObjectName("rows");
  auto* nameBox = new QLineEdit(name, &dialog);
  nameBox->setObjectName("name");
  auto* folderBox = new QLineEdit(folder, &dialog);
  folderBox->setObjectName("folder");
  auto* browse = new QPushButton("...", &dialog);
  auto* folderRow = new QHBoxLayout;
  folderRow->addWidget(folderBox);
  folderRow->addWidget(browse);
  form->addRow(texts("Columns"), columnBox);
  form->addRow(texts("Rows"), rowBox);
  form->addRow(texts("Name"), nameBox);
  form->addRow(texts("Folder"), folderRow);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  form->addRow(buttons);
  QObject::connect(browse, &QPushButton::clicked, &dialog, [&] {
    const QString chosen = QFileDialog::getExistingDirectory(&dialog, texts("Folder"), folderBox->text());
    if (!chosen.isEmpty()) folderBox->setText(chosen);
  });
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
    QString file = nameBox->text().trimmed();
    if (file.isEmpty()) return;
    std::string refused;
    if (!authoring::ToBoardText(file.toStdString(), &refused)) {
      QMessageBox::warning(
          &dialog, texts("New board..."),
          texts("These characters cannot be kept in a board: %1\nBoards store Catalan and Spanish "
                "letters; please write them differently.")
              .arg(QString::fromStdString(refused)));
      return;
    }
    if (!file.endsWith(".qdx", Qt::CaseInsensitive)) file += ".qdx";
    if (QFileInfo::exists(QDir(folderBox->text()).filePath(file))) {
      QMessageBox::warning(&dialog, texts("New board..."), texts("A board with that name already exists."));
      return;
    }
    dialog.accept();
  });
  nameBox->setFocus();
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  QString file = nameBox->text().trimmed();
  if (!file.endsWith(".qdx", Qt::CaseInsensitive)) file += ".qdx";
  QDir().mkpath(folderBox->text());
  return NewBoardChoice{columnBox->value(), rowBox->value(), QDir(folderBox->text()).absoluteFilePath(file)};
}

std::optional<authoring::BoardHeader> AskBoardOptions(QWidget* parent, const EditorTexts& texts,
                                                      const authoring::BoardHeader& header) {
  authoring::BoardHeader result = header;
  QDialog dialog(parent);
  dialog.setWindowTitle(texts("Board options"));
  auto* layout = new QVBoxLayout(&dialog);

  auto* window = new QGroupBox(texts("Window"), &dialog);
  auto* windowForm = new QFormLayout(window);
  QSpinBox* left = Spin(window, -10000, 10000, header.WindowLeft);
  QSpinBox* top = Spin(window, -10000, 10000, header.WindowTop);
  QSpinBox* width = Spin(window, 100, 10000, header.WindowWidth);
  QSpinBox* height = Spin(window, 100, 10000, header.WindowHeight);
  windowForm->addRow(texts("Left"), left);
  windowForm->addRow(texts("Top"), top);
  windowForm->addRow(texts("Width"), width);
  windowForm->addRow(texts("Height"), height);
  // The player's own names for its nine placements, in the order the board stores them.
  auto* position = new QComboBox(window);
  position->addItems({"Default", "Maximized", "Screen center", "Bottom center", "Top center", "Top left",
                      "Bottom left", "Top right", "Bottom right"});
  position->setCurrentIndex(std::clamp(header.Position, 0, 8));
  windowForm->addRow(texts("Position"), position);
  layout->addWidget(window);

  auto* grid = new QGroupBox(texts("&Grid"), &dialog);
  auto* gridForm = new QFormLayout(grid);
  QSpinBox* columns = Spin(grid, 1, 21, std::clamp(header.Columns, 1, 21));
  QSpinBox* rows = Spin(grid, 1, 21, std::clamp(header.Rows, 1, 21));
  gridForm->addRow(texts("Columns"), columns);
  gridForm->addRow(texts("Rows"), rows);
  auto* frame = new QPushButton(grid);
  auto paintSwatch = [&] {
    QPixmap swatch(28, 14);
    swatch.fill(ToQColor(result.GridFrameColour));
    frame->setIcon(QIcon(swatch));
  };
  paintSwatch();
  QObject::connect(frame, &QPushButton::clicked, &dialog, [&] {
    const QColor chosen = QColorDialog::getColor(ToQColor(result.GridFrameColour), &dialog);
    if (!chosen.isValid()) return;
    result.GridFrameColour = chosen.red() | (chosen.green() << 8) | (chosen.blue() << 16);
    paintSwatch();
  });
  gridForm->addRow(texts("Grid frame colour"), frame);
  auto* fontName = new QLineEdit(ToQString(header.GridFont.Name), grid);
  QSpinBox* fontSize = Spin(grid, 0, 200, header.GridFont.Size);
  auto* fontRow = new QHBoxLayout;
  fontRow->addWidget(fontName);
  fontRow->addWidget(fontSize);
  gridForm->addRow(texts("Grid font"), fontRow);
  layout->addWidget(grid);

  auto* options = new QGroupBox(texts("Options the player reads from the board"), &dialog);
  auto* optionsLayout = new QVBoxLayout(options);
  struct Flag {
    const char* Name;
    bool authoring::BoardHeader::*Member;
  };
  // The names of the player's own menu items, as its users know them.
  const Flag flags[] = {
      {"Centrar captions", &authoring::BoardHeader::CenterCaptions},
      {"Ver barra de botones", &authoring::BoardHeader::ShowButtonBar},
      {"Ver barra de escribir mensaje", &authoring::BoardHeader::ShowMessageBar},
      {"Escribir letras o palabras", &authoring::BoardHeader::WriteOnlyLettersOrWords},
      {"Escribir texto a leer", &authoring::BoardHeader::EscriureTextALlegir},
      {"WordWrap", &authoring::BoardHeader::WordWrap},
      {"Always visible", &authoring::BoardHeader::AlwaysVisible},
      {"Send to extern window", &authoring::BoardHeader::SendToExternWindow},
      {"MenuQdxForcingBeOnTop", &authoring::BoardHeader::ForcingBeOnTop},
  };
  std::vector<std::pair<QCheckBox*, bool authoring::BoardHeader::*>> boxes;
  for (const Flag& flag : flags) {
    auto* box = new QCheckBox(QString::fromUtf8(flag.Name), options);
    box->setChecked(header.*flag.Member);
    optionsLayout->addWidget(box);
    boxes.emplace_back(box, flag.Member);
  }
  layout->addWidget(options);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  const int shownLeft = left->value(), shownTop = top->value(), shownWidth = width->value(),
            shownHeight = height->value(), shownPosition = position->currentIndex(),
            shownColumns = columns->value(), shownRows = rows->value(), shownFontSize = fontSize->value();
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;

  // A stored value the fields cannot show (a placement beyond the nine, a tiny window) is kept as it
  // was unless the author changed that field: saying OK to change one option changes only that one.
  auto taken = [](int now, int shown, int32_t stored) { return now == shown ? stored : now; };
  result.WindowLeft = taken(left->value(), shownLeft, header.WindowLeft);
  result.WindowTop = taken(top->value(), shownTop, header.WindowTop);
  result.WindowWidth = taken(width->value(), shownWidth, header.WindowWidth);
  result.WindowHeight = taken(height->value(), shownHeight, header.WindowHeight);
  result.Position = taken(position->currentIndex(), shownPosition, header.Position);
  result.Columns = taken(columns->value(), shownColumns, header.Columns);
  result.Rows = taken(rows->value(), shownRows, header.Rows);
  if (const std::optional<std::string> name = authoring::ToBoardText(fontName->text().toStdString());
      name && !name->empty())
    result.GridFont.Name = *name;
  result.GridFont.Size = taken(fontSize->value(), shownFontSize, header.GridFont.Size);
  for (const auto& [box, member] : boxes)
    result.*member = box->isChecked();
  return result;
}

} // namespace nq
