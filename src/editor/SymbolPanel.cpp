#include "editor/SymbolPanel.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPixmap>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <fstream>
#include <functional>

#include "ui/SymbolPicture.h"

namespace nq {
namespace {

constexpr int DrawnSide = 512;
constexpr int IconSide = 48;
constexpr size_t MostResults = 60;

// Dragging a result carries its picture file, so the board takes it as it takes a file from outside.
class SymbolGrid : public QListWidget {
public:
  using QListWidget::QListWidget;
  std::function<QString(int)> FileOfRow;

protected:
  QStringList mimeTypes() const override { return {"text/uri-list"}; }
  QMimeData* mimeData(const QList<QListWidgetItem*>& items) const override {
    if (items.isEmpty() || !FileOfRow) return nullptr;
    const QString file = FileOfRow(row(items.front()));
    if (file.isEmpty()) return nullptr;
    auto* data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(file)});
    return data;
  }
};

bool PlayerReadsAsItIs(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  return suffix == "png" || suffix == "jpg" || suffix == "jpeg" || suffix == "bmp";
}

// A file name from a symbol's name: its letters and digits, the rest as blanks.
QString FileStem(const QString& name) {
  QString stem;
  for (const QChar c : name)
    stem += c.isLetterOrNumber() || c == '-' ? c : QChar(' ');
  stem = stem.simplified();
  return stem.isEmpty() ? QStringLiteral("symbol") : stem.left(60);
}

} // namespace

symbols::Language SymbolLanguage(authoring::Language language) {
  switch (language) {
  case authoring::Language::Catalan:
    return symbols::Language::Ca;
  case authoring::Language::Spanish:
    return symbols::Language::Es;
  case authoring::Language::English:
    break;
  }
  return symbols::Language::En;
}

SymbolPanel::SymbolPanel(const EditorTexts& texts, QWidget* parent) : QWidget(parent), Texts(texts) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 0, 6, 6);
  auto* top = new QHBoxLayout;
  Heading = new QLabel(this);
  Folders = new QPushButton(this);
  Folders->setObjectName("symbolFolders");
  top->addWidget(Heading, 1);
  top->addWidget(Folders);
  layout->addLayout(top);
  Box = new QLineEdit(this);
  Box->setObjectName("symbolSearch");
  Box->setClearButtonEnabled(true);
  Box->installEventFilter(this);
  Heading->setBuddy(Box);
  layout->addWidget(Box);
  auto* grid = new SymbolGrid(this);
  grid->FileOfRow = [this](int row) {
    const symbols::Symbol* symbol = ResultAt(row);
    return symbol ? PictureFile(*symbol) : QString();
  };
  Grid = grid;
  Grid->setObjectName("symbolResults");
  Grid->setViewMode(QListView::IconMode);
  Grid->setResizeMode(QListView::Adjust);
  Grid->setMovement(QListView::Static);
  Grid->setIconSize(QSize(IconSide, IconSide));
  Grid->setGridSize(QSize(IconSide + 56, IconSide + 44));
  Grid->setWordWrap(true);
  Grid->setUniformItemSizes(true);
  Grid->setDragEnabled(true);
  Grid->setDragDropMode(QAbstractItemView::DragOnly);
  Grid->setMinimumHeight(2 * (IconSide + 44) + 8);
  Grid->installEventFilter(this);
  layout->addWidget(Grid, 1);
  Note = new QLabel(this);
  Note->setWordWrap(true);
  layout->addWidget(Note);
  // The built-in pictograms' licence asks for their credit where they are offered.
  auto* credit = new QLabel(QStringLiteral("OpenMoji (openmoji.org) \u00B7 CC BY-SA 4.0"), this);
  credit->setObjectName("symbolCredit");
  credit->setEnabled(false);
  layout->addWidget(credit);

  Waiting.setSingleShot(true);
  Waiting.setInterval(250);
  connect(&Waiting, &QTimer::timeout, this, &SymbolPanel::Search);
  Typing.setSingleShot(true);
  Typing.setInterval(120);
  connect(&Typing, &QTimer::timeout, this, &SymbolPanel::Search);
  connect(Box, &QLineEdit::textChanged, this, [this] { Typing.start(); });
  connect(Box, &QLineEdit::returnPressed, this, [this] {
    if (Typing.isActive()) {
      Typing.stop();
      Search();
    }
    if (Grid->count() > 0) Choose(Grid->currentRow() >= 0 ? Grid->currentRow() : 0);
  });
  connect(Grid, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* item) { Choose(Grid->row(item)); });
  connect(Folders, &QPushButton::clicked, this, &SymbolPanel::FoldersRequested);
  Retranslate();
}

void SymbolPanel::SetLibrary(std::shared_ptr<symbols::SymbolLibrary> library) {
  Library = std::move(library);
  Search();
}

void SymbolPanel::SetFoldersEnabled(bool enabled) {
  Folders->setEnabled(enabled);
}

void SymbolPanel::Retranslate() {
  Heading->setText(Texts("&Symbols"));
  Box->setPlaceholderText(Texts("Type a word to find a picture"));
  Folders->setText(Texts("Symbol folders..."));
  if (Box->text().trimmed().isEmpty())
    Note->setText(Texts("Double-click a symbol, or drag it onto a cell."));
  else
    Search(); // the names follow the language
}

bool SymbolPanel::eventFilter(QObject* watched, QEvent* event) {
  // A folder the author changed since the library was read is read again when a search begins.
  if (watched == Box && event->type() == QEvent::FocusIn && Library) Library->RefreshIfChanged();
  if (watched == Grid && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && Grid->currentRow() >= 0) {
      Choose(Grid->currentRow());
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void SymbolPanel::Search() {
  Typing.stop();
  const QString query = Box->text().trimmed();
  std::shared_ptr<const symbols::SymbolIndex> index = Library ? Library->Current() : nullptr;
  if (index != Shown) Icons.clear();
  Grid->clear();
  Results.clear();
  Shown = index;
  if (query.isEmpty()) {
    Note->setText(Texts("Double-click a symbol, or drag it onto a cell."));
    return;
  }
  if (!Library) {
    Note->setText(Texts("No symbols are installed."));
    return;
  }
  if (!index) {
    Note->setText(Texts("Loading the symbols..."));
    Waiting.start();
    return;
  }
  const symbols::Language language = SymbolLanguage(Texts.Language());
  for (const symbols::SearchResult& result : index->Search(query.toStdString(), language, MostResults)) {
    const symbols::Symbol& symbol = *result.Item;
    Results.push_back(&symbol);
    const QString name = QString::fromStdString(symbol.Name(language));
    auto* item = new QListWidgetItem(IconOf(symbol), name + "\n" + SourceOf(symbol));
    item->setToolTip(symbol.Picture.empty() ? name : name + "\n" + QString::fromStdString(symbol.Picture));
    item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Grid->addItem(item);
  }
  Note->setText(Results.empty() ? Texts("No symbol found.")
                                : Texts("Double-click a symbol, or drag it onto a cell."));
  if (!Results.empty()) Grid->setCurrentRow(0);
}

void SymbolPanel::FocusSearch() {
  Box->setFocus(Qt::ShortcutFocusReason);
  Box->selectAll();
}

const symbols::Symbol* SymbolPanel::ResultAt(int row) const {
  return row >= 0 && static_cast<size_t>(row) < Results.size() ? Results[static_cast<size_t>(row)] : nullptr;
}

QString SymbolPanel::SourceOf(const symbols::Symbol& symbol) const {
  switch (symbol.Source) {
  case symbols::SymbolSource::OpenMoji:
    return "OpenMoji";
  case symbols::SymbolSource::EmojiFont:
    return "Noto Emoji";
  case symbols::SymbolSource::UserFolder:
    break;
  }
  return QFileInfo(QFileInfo(QString::fromStdString(symbol.Picture)).path()).fileName();
}

QIcon SymbolPanel::IconOf(const symbols::Symbol& symbol) {
  const auto known = Icons.constFind(&symbol);
  if (known != Icons.constEnd()) return *known;
  const std::optional<std::string> png =
      DrawSymbolPicture(symbol.Source == symbols::SymbolSource::EmojiFont ? std::string() : symbol.Picture,
                        symbol.Text, IconSide);
  QPixmap pixmap;
  if (png)
    pixmap.loadFromData(reinterpret_cast<const uchar*>(png->data()), static_cast<uint>(png->size()), "PNG");
  QIcon icon;
  if (!pixmap.isNull()) {
    // The chosen result keeps its own colours: the picture is what the author judges.
    icon.addPixmap(pixmap, QIcon::Normal);
    icon.addPixmap(pixmap, QIcon::Selected);
  }
  Icons.insert(&symbol, icon);
  return icon;
}

QString SymbolPanel::PictureFile(const symbols::Symbol& symbol) {
  const QString original = QString::fromStdString(symbol.Picture);
  if (symbol.Source == symbols::SymbolSource::UserFolder && PlayerReadsAsItIs(original)) return original;
  if (!Scratch.isValid()) return {};
  const std::optional<std::string> png =
      DrawSymbolPicture(symbol.Source == symbols::SymbolSource::EmojiFont ? std::string() : symbol.Picture,
                        symbol.Text, DrawnSide);
  if (!png) return {};
  const QString name = FileStem(QString::fromStdString(symbol.Name(SymbolLanguage(Texts.Language()))));
  // A folder per drawing: two symbols of the same name never overwrite a file still being dragged.
  const QString folder = Scratch.filePath(QString::number(++Drawn));
  QDir().mkpath(folder);
  const QString file = QDir(folder).filePath(name + ".png");
  std::ofstream out(file.toStdString(), std::ios::binary | std::ios::trunc);
  if (!(out << *png) || !out.flush()) return {};
  return file;
}

void SymbolPanel::Choose(int row) {
  const symbols::Symbol* symbol = ResultAt(row);
  if (!symbol) return;
  const QString file = PictureFile(*symbol);
  if (file.isEmpty())
    emit PictureFailed();
  else
    emit PictureChosen(file);
}

} // namespace nq
