#include "ui/PrintBoards.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>

#include "boards/PathResolver.h"
#include "boards/PdfImageMerge.h"
#include "boards/PrintPlan.h"
#include "linux/QtImageScaler.h"
#include "linux/QtText.h"
#include "linux/QtTextMetrics.h"
#include "platform/Dialogs.h"
#include "platform/Launcher.h"
#include "shell/Player.h"
#include "text/Encoding.h"
#include "ui/BoardPainter.h"
#include "ui/BoardView.h"
#include "ui/HeadlessWindow.h"

namespace nq {
namespace {

// Pictures are sharp enough on paper at this density; more only makes the file larger.
constexpr double PictureDotsPerInch = 300;
// A fitted board whose cells would come out smaller than this is cut across pages instead.
constexpr double MinReadableCellMm = 15;
constexpr int FooterHeight = 14;
constexpr int FooterGap = 16; // room for the marks of a cut below the board
constexpr int ContentsLine = 20;

double MmToBoardPixels(double mm) {
  return mm / 25.4 * BoardPixelsPerInch;
}

// Messages of boards that do not open are kept for the report, never shown.
class KeptDialogs : public Dialogs {
public:
  void ShowMessage(const std::string& text, MessageIcon, const std::string&) override { Last = text; }
  std::optional<std::string> ChooseFileToOpen(const std::string&, const std::string&, const std::string&,
                                              const std::string&, const std::string&) override {
    return std::nullopt;
  }
  std::string Last; // Windows-1252
};

// A board on paper never starts anything.
class NoLauncher : public Launcher {
public:
  bool StartProgram(const std::string&, const std::vector<std::string>&) override { return false; }
  bool OpenDocument(const std::string&) override { return false; }
};

class IdleTimer : public Timer {
public:
  void SetInterval(int ms) override { IntervalMs = ms; }
  int Interval() const override { return IntervalMs; }
  void SetEnabled(bool enabled) override { On = enabled; }
  bool Enabled() const override { return On; }
  void SetHandler(std::function<void()>) override {}

private:
  int IntervalMs = 0;
  bool On = false;
};

// Printing paints each board once: no timer ever fires.
class StillClock : public Clock {
public:
  uint32_t TickCount() const override { return 0; }
  std::unique_ptr<Timer> CreateTimer(int) override { return std::make_unique<IdleTimer>(); }
  void WaitWithMessages(int32_t) override {}
};

// The pictures of a document at print resolution. The player decodes each board's pictures from
// their files at print size (its window claims a screen of print density); the first cell that draws
// a file turns it into the image every later cell draws, so the paint engine embeds it once while it
// is held. An image is let go after its last cell, and those that wait for later cells stay within a
// budget, so a long book's memory stays flat: past it, the one drawn longest ago is let go, its pixels
// kept in a scratch file. A later cell draws them again exactly, the engine embeds them a second time,
// and the pass over the finished PDF merges the two identical copies.
class PrintPictures {
public:
  static constexpr std::size_t DefaultBudgetBytes = 32u << 20;

  void SetBudget(std::size_t bytes) { BudgetBytes = bytes > 0 ? bytes : DefaultBudgetBytes; }
  void SetScratch(const QString& folder) { Scratch = folder; }
  void CountUse(const std::string& path) { ++Entries[path].Uses; }

  /// The image for one cell of the file at path, whose picture rectangle has longer side `side`
  /// (board pixels), made from the player's held picture; a null image when there is none.
  QImage Use(const std::string& path, const Image* held, int side) {
    auto found = Entries.find(path);
    if (found == Entries.end()) {
      found = Entries.emplace(path, Entry()).first; // a use the plan did not count: drawn, then let go
      found->second.Uses = 1;
    }
    Entry& entry = found->second;
    if (entry.Picture.isNull() && !entry.Spilled.isEmpty()) entry.Picture = Unspill(entry);
    if (entry.Picture.isNull()) entry.Picture = Made(held, side);
    if (!entry.Picture.isNull() && !entry.Counted) {
      HeldBytes += static_cast<std::size_t>(entry.Picture.sizeInBytes());
      entry.Counted = true;
    }
    entry.LastUse = ++Uses;
    QImage picture = entry.Picture;
    if (--entry.Uses <= 0) {
      LetGo(entry);
      if (!entry.Spilled.isEmpty()) QFile::remove(entry.Spilled);
      Entries.erase(found);
    }
    KeepWithinBudget();
    return picture;
  }

private:
  struct Entry {
    int Uses = 0;
    QImage Picture;
    bool Counted = false; // its bytes are in HeldBytes
    uint64_t LastUse = 0;
    QString Spilled; // the scratch file with its pixels, once it has been let go
    QSize Size;
    QImage::Format Format = QImage::Format_Invalid;
  };

  static QImage Made(const Image* held, int side) {
    if (held == nullptr || held->Empty() || side <= 0) return QImage();
    const int needed = static_cast<int>(std::ceil(side * PictureDotsPerInch / BoardPixelsPerInch));
    QImage picture =
        QImage(held->Pixels.data(), held->Width, held->Height, held->Width * 4, QImage::Format_RGBA8888)
            .convertToFormat(QImage::Format_RGB32);
    if (std::max(held->Width, held->Height) > needed)
      picture = picture.scaled(needed, needed, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return picture;
  }

  void LetGo(Entry& entry) {
    if (entry.Counted) HeldBytes -= static_cast<std::size_t>(entry.Picture.sizeInBytes());
    entry.Counted = false;
    entry.Picture = QImage();
  }

  // Compressed lightly: reading it back costs a fraction of decoding the file again.
  void Spill(Entry& entry) {
    if (!entry.Spilled.isEmpty() || Scratch.isEmpty()) return;
    const QString name = QString("%1/picture-%2.raw").arg(Scratch).arg(++Spills);
    QFile file(name);
    const QByteArray packed =
        qCompress(QByteArray::fromRawData(reinterpret_cast<const char*>(entry.Picture.constBits()),
                                          static_cast<qsizetype>(entry.Picture.sizeInBytes())),
                  1);
    if (!file.open(QIODevice::WriteOnly) || file.write(packed) != packed.size() || !file.flush()) {
      file.remove(); // drawn again from the player's copy: right, only perhaps embedded twice
      return;
    }
    entry.Spilled = name;
    entry.Size = entry.Picture.size();
    entry.Format = entry.Picture.format();
  }

  static QImage Unspill(const Entry& entry) {
    QFile file(entry.Spilled);
    if (!file.open(QIODevice::ReadOnly)) return QImage();
    const QByteArray pixels = qUncompress(file.readAll());
    QImage picture(entry.Size, entry.Format);
    if (picture.isNull() || pixels.size() != picture.sizeInBytes()) return QImage();
    std::memcpy(picture.bits(), pixels.constData(), static_cast<std::size_t>(pixels.size()));
    return picture;
  }

  void KeepWithinBudget() {
    while (HeldBytes > BudgetBytes) {
      Entry* oldest = nullptr;
      for (auto& [path, entry] : Entries)
        if (entry.Counted && (oldest == nullptr || entry.LastUse < oldest->LastUse)) oldest = &entry;
      if (oldest == nullptr) return;
      Spill(*oldest);
      LetGo(*oldest);
    }
  }

  std::map<std::string, Entry> Entries;
  std::size_t HeldBytes = 0;
  std::size_t BudgetBytes = DefaultBudgetBytes;
  uint64_t Uses = 0;
  int Spills = 0;
  QString Scratch;
};

std::string BoardTitle(const std::string& path) {
  return QFileInfo(QString::fromStdString(path)).completeBaseName().toStdString();
}

// Everything one document shares while its boards are painted.
struct Document {
  Document(const PrintOptions& options, QPainter& painter) : Options(options), Painter(painter) {}
  const PrintOptions& Options;
  QPainter& Painter;
  QRectF Page;     // board pixels
  QRect Content;   // inside the margins
  QRect BoardArea; // above the footer
  QString Date;
  std::vector<PrintedBoardInfo> Boards;
  std::vector<BoardPages> Plans;
  std::vector<int> FirstPages;
  std::map<std::string, int> BookPages; // board path -> first page, in a book
  std::array<QImage, 10> Buttons;
  QtTextMetrics Metrics;
  QtImageScaler Scaler;
  PrintPictures Pictures;
  std::vector<std::string> Notes;
  int PageNumber = 0;
  bool PageStarted = false;
  QPagedPaintDevice* Device = nullptr;
};

void NextPage(Document& doc) {
  if (doc.PageStarted) doc.Device->newPage();
  doc.PageStarted = true;
  ++doc.PageNumber;
}

void PaintFooter(Document& doc, const QString& left, const QString& right) {
  QPainter& p = doc.Painter;
  p.save();
  QFont font;
  font.setPixelSize(10);
  p.setFont(font);
  p.setPen(QColor(80, 80, 80));
  const QRect footer(doc.Content.left(), doc.Content.bottom() - FooterHeight + 1, doc.Content.width(),
                     FooterHeight);
  p.drawText(footer, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, left);
  p.drawText(footer, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine, doc.Date);
  p.drawText(footer, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, right);
  p.restore();
}

int ContentsLinesPerPage(const QRect& content) {
  return std::max(1, (content.height() - FooterHeight - 2 * ContentsLine - FooterGap) / ContentsLine);
}

void PaintContents(Document& doc) {
  const int perPage = ContentsLinesPerPage(doc.Content);
  const int boards = static_cast<int>(doc.Boards.size());
  for (int first = 0; first < boards; first += perPage) {
    NextPage(doc);
    QPainter& p = doc.Painter;
    p.save();
    QFont title;
    title.setPixelSize(18);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::black);
    p.drawText(QRect(doc.Content.left(), doc.Content.top(), doc.Content.width(), 2 * ContentsLine),
               Qt::AlignLeft | Qt::AlignTop, QString::fromUtf8("Índex"));
    QFont entry;
    entry.setPixelSize(12);
    p.setFont(entry);
    for (int i = first; i < std::min(boards, first + perPage); ++i) {
      const QRect line(doc.Content.left(), doc.Content.top() + (2 + i - first) * ContentsLine,
                       doc.Content.width(), ContentsLine);
      p.drawText(line, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                 QString("%1. %2").arg(i + 1).arg(QString::fromStdString(BoardTitle(doc.Boards[i].Path))));
      p.drawText(line, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
                 QString("p. %1").arg(doc.FirstPages[static_cast<std::size_t>(i)]));
    }
    p.restore();
    PaintFooter(doc, QString::fromUtf8("Índex"), QString("p. %1").arg(doc.PageNumber));
  }
}

// Dashed lines round every cell, for cutting the board into cards.
void PaintCutLines(QPainter& p, Player& player) {
  const GridRect& panel = player.Layout().Panels().Boxes;
  const TBox& first = *player.Boxes().GridBox(1);
  const int columns = std::clamp(player.State().View.Columns, 1, MaxGridColumns);
  const int rows = std::clamp(player.State().View.Rows, 1, MaxGridRows);
  if (first.Width <= 0 || first.Height <= 0) return;
  p.save();
  p.setPen(QPen(QColor(140, 140, 140), 0.5, Qt::DashLine));
  const int right = panel.Left + columns * first.Width;
  const int bottom = panel.Top + rows * first.Height;
  for (int c = 0; c <= columns; ++c)
    p.drawLine(QPointF(panel.Left + c * first.Width, panel.Top),
               QPointF(panel.Left + c * first.Width, bottom));
  for (int r = 0; r <= rows; ++r)
    p.drawLine(QPointF(panel.Left, panel.Top + r * first.Height),
               QPointF(right, panel.Top + r * first.Height));
  p.restore();
}

// The parts a printed page adds to grid cell n: its picture from the file, or a mark where it is
// missing, and in a book the page its link leads to.
PrintedBoxParts PrintedParts(Document& doc, Player& player, int32_t n, const std::string& folder,
                             const std::string& board, QImage& picture) {
  PrintedBoxParts parts;
  TBox& box = *player.Boxes().GridBox(n);
  const Board& b = player.CurrentBoard();
  const CellPosition at = CellNumberToPosition(n, b.Columns);
  const CellRecord& cell = b.Cell(at.Column, at.Row);
  if (doc.Options.Book) {
    const auto page = doc.BookPages.find(LinkedBoardPath(folder, cell.Link));
    if (page != doc.BookPages.end()) parts.Note = QString::fromUtf8("→ p. %1").arg(page->second);
  }
  if (cell.Picture.empty()) return parts;
  const std::optional<std::string> path = FindBoardPath(folder, cell.Picture);
  if (path) {
    const GridRect& bounds = box.PictureImage.Bounds;
    const bool shown = box.PictureImage.Visible && !box.Picture.empty();
    picture = doc.Pictures.Use(*path, box.HeldPicture(), shown ? std::max(bounds.Width, bounds.Height) : 0);
    if (!picture.isNull()) {
      parts.Picture = &picture;
      return parts;
    }
  }
  const GridViewState& view = player.State().View;
  const CellGeometry geometry =
      ComputeCellGeometry(box.CellRect(), view.CellSeparation, view.FrameThickness,
                          box.CaptionHeight(doc.Metrics), box.CaptionLabel.Visible, view.CaptionsBelow);
  const GridRect& area = geometry.PictureArea;
  if (area.Width > 0 && area.Height > 0)
    parts.MissingPicture = QRect(area.Left, area.Top, area.Width, area.Height);
  doc.Notes.push_back("missing picture: " + BoardTitle(board) + ", cell " + std::to_string(n) + ": " +
                      Windows1252ToUtf8(cell.Picture));
  return parts;
}

void PaintGrid(Document& doc, Player& player, const QRect& tile, const std::string& board) {
  const GridRect& panel = player.Layout().Panels().Boxes;
  const QPoint origin(panel.Left, panel.Top);
  const std::string folder = QFileInfo(QString::fromStdString(board)).absolutePath().toStdString() + "/";
  const int32_t cells = player.CurrentBoard().CellCount();
  doc.Painter.save();
  doc.Painter.setClipRect(tile.intersected(QRect(panel.Left, panel.Top, panel.Width, panel.Height)));
  for (int32_t n = 1; n <= std::min(cells, GridBoxCount); ++n) {
    const TBox& box = *player.Boxes().GridBox(n);
    const QRect cell(origin.x() + box.Left, origin.y() + box.Top, box.Width, box.Height);
    // Pages cut between cells, so each cell is drawn on exactly one page.
    if (!tile.intersects(cell)) continue;
    QImage picture;
    const PrintedBoxParts parts = PrintedParts(doc, player, n, folder, board, picture);
    PaintBox(doc.Painter, box, origin, nullptr, &parts);
  }
  doc.Painter.restore();
}

// A dashed line along an edge where the board goes on, with the page it goes on to.
void PaintCutMark(Document& doc, const QRect& placed, Qt::Edge edge, int page) {
  QPainter& p = doc.Painter;
  p.save();
  p.setPen(QPen(QColor(110, 110, 110), 0.75, Qt::DashLine));
  QFont font;
  font.setPixelSize(9);
  p.setFont(font);
  const QString label = QString::fromUtf8("p. %1").arg(page);
  const QRectF r(placed);
  switch (edge) {
  case Qt::RightEdge:
    p.drawLine(QPointF(r.right() + 3, r.top()), QPointF(r.right() + 3, r.bottom()));
    p.translate(r.right() + 5, r.center().y());
    p.rotate(90);
    p.drawText(QRectF(-40, -12, 80, 12), Qt::AlignCenter, QString::fromUtf8("%1 →").arg(label));
    break;
  case Qt::LeftEdge:
    p.drawLine(QPointF(r.left() - 3, r.top()), QPointF(r.left() - 3, r.bottom()));
    p.translate(r.left() - 5, r.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-40, -12, 80, 12), Qt::AlignCenter, QString::fromUtf8("← %1").arg(label));
    break;
  case Qt::BottomEdge:
    p.drawLine(QPointF(r.left(), r.bottom() + 3), QPointF(r.right(), r.bottom() + 3));
    p.drawText(QRectF(r.center().x() - 40, r.bottom() + 4, 80, 12), Qt::AlignCenter,
               QString::fromUtf8("↓ %1").arg(label));
    break;
  case Qt::TopEdge:
    p.drawLine(QPointF(r.left(), r.top() - 3), QPointF(r.right(), r.top() - 3));
    p.drawText(QRectF(r.center().x() - 40, r.top() - 16, 80, 12), Qt::AlignCenter,
               QString::fromUtf8("↑ %1").arg(label));
    break;
  }
  p.restore();
}

// The player holds a board's pictures no larger than its largest cell on the screen; a screen of
// print density makes that the size the cells print at, so its pictures are decoded once, for print.
class PrintWindow : public HeadlessWindow {
public:
  PrintWindow(int32_t width, int32_t height) : HeadlessWindow(width, height), Width(width), Height(height) {}
  int32_t ScreenWidth() override { return AtPrintDensity(Width); }
  int32_t ScreenHeight() override { return AtPrintDensity(Height); }

private:
  static int32_t AtPrintDensity(int32_t pixels) {
    return static_cast<int32_t>(std::ceil(pixels * PictureDotsPerInch / BoardPixelsPerInch));
  }
  int32_t Width;
  int32_t Height;
};

// A fresh player for each board: its menu starts from the defaults, so opening the board never
// brings a bar option of the board before into line by writing it into this one.
struct BoardInPlayer {
  KeptDialogs Messages;
  StillClock TheClock;
  NoLauncher Programs;
  PrintWindow Window;
  std::unique_ptr<Player> ThePlayer;
  explicit BoardInPlayer(const BoardPages& plan) : Window(plan.ClientWidth, plan.ClientHeight) {}
};

std::unique_ptr<BoardInPlayer> OpenInPlayer(Document& doc, const std::string& scratch, std::size_t index) {
  const BoardPages& plan = doc.Plans[index];
  auto opened = std::make_unique<BoardInPlayer>(plan);
  PlayerPaths paths;
  paths.ProgramFolder = Utf8ToWindows1252(scratch + "/");
  paths.DataFolder = Utf8ToWindows1252(doc.Options.DataFolder);
  paths.SettingsFile = scratch + "/settings-" + std::to_string(index) + ".ini";
  paths.SharedFile = doc.Options.SharedFile;
  opened->ThePlayer = std::make_unique<Player>(PlayerServices{opened->TheClock, opened->Messages, doc.Metrics,
                                                              doc.Scaler, opened->Window, opened->Programs},
                                               paths);
  Player& player = *opened->ThePlayer;
  player.FormCreate();
  player.Options().LoadProgramSettings();
  player.ClientResized(plan.ClientWidth, plan.ClientHeight);
  // Opening a board brings the menu's bar options into line with it by writing them into the board;
  // set beforehand, while no board is open, they are already in line and nothing is written.
  const PrintedBoardInfo& info = doc.Boards[index];
  const std::pair<const char*, bool> options[] = {
      {"MenuVerBarraDeBotones", info.ShowButtonBar},
      {"MenuVerBarraDeEscribirMensaje", info.ShowMessageBar},
      {"MenuEscribirletrasOPalabras", info.WriteOnlyLettersOrWords}};
  for (const auto& [item, on] : options)
    if (player.Menu().Checked(item) != on) player.MenuClick(item);
  if (!player.Boards().OpenBoard(Utf8ToWindows1252(doc.Boards[index].Path))) return nullptr;
  GridViewState& view = player.MutableState().View;
  view.ShowButtonBar = doc.Options.Bars && doc.Boards[index].ShowButtonBar;
  view.ShowMessageBar = doc.Options.Bars && doc.Boards[index].ShowMessageBar;
  player.ClientResized(plan.ClientWidth, plan.ClientHeight);
  player.Layout().ArrangePanels();
  player.Layout().LayoutCells();
  return opened;
}

PrintBars BarsOf(const PrintedBoardInfo& info, const PrintOptions& options, const GridViewState& defaults) {
  const int32_t button = options.Bars && info.ShowButtonBar ? ButtonBarHeight : 0;
  const int32_t message = options.Bars && info.ShowMessageBar ? defaults.MessageBarHeight : 0;
  return defaults.SwapBars ? PrintBars{message, button} : PrintBars{button, message};
}

bool PaintBoard(Document& doc, const std::string& scratch, std::size_t index) {
  const std::unique_ptr<BoardInPlayer> opened = OpenInPlayer(doc, scratch, index);
  const PrintedBoardInfo& info = doc.Boards[index];
  if (!opened) {
    doc.Notes.push_back("the board did not open: " + info.Path);
    return false;
  }
  Player& player = *opened->ThePlayer;
  const BoardPages& plan = doc.Plans[index];
  const QString title = QString::fromStdString(BoardTitle(info.Path));
  const int firstPage = doc.PageNumber + 1;
  for (std::size_t t = 0; t < plan.Tiles.size(); ++t) {
    NextPage(doc);
    const PrintTile& tile = plan.Tiles[t];
    const QRect area(tile.Area.Left, tile.Area.Top, tile.Area.Width, tile.Area.Height);
    const QRect placed(doc.BoardArea.topLeft(), area.size());
    QPainter& p = doc.Painter;
    p.save();
    p.translate(placed.left() - area.left(), placed.top() - area.top());
    p.setClipRect(area);
    p.fillRect(area, Qt::white);
    PaintPlayerButtonBar(p, player, doc.Buttons);
    PaintGrid(doc, player, area, info.Path);
    PaintPlayerMessageBar(p, player);
    if (doc.Options.CutLines) PaintCutLines(p, player);
    p.restore();
    const int across = plan.TileColumns;
    const int at = static_cast<int>(t);
    if (tile.CutRight) PaintCutMark(doc, placed, Qt::RightEdge, firstPage + at + 1);
    if (tile.CutLeft) PaintCutMark(doc, placed, Qt::LeftEdge, firstPage + at - 1);
    if (tile.CutBottom) PaintCutMark(doc, placed, Qt::BottomEdge, firstPage + at + across);
    if (tile.CutTop) PaintCutMark(doc, placed, Qt::TopEdge, firstPage + at - across);
    QString right = QString("p. %1").arg(doc.PageNumber);
    if (plan.Tiles.size() > 1) right += QString("  (%1/%2)").arg(at + 1).arg(plan.Tiles.size());
    PaintFooter(doc, title, right);
  }
  return true;
}

// Reads the boards to print (and, for a book, finds the boards the first one reaches).
bool GatherBoards(const std::vector<std::string>& boards, const PrintOptions& options, Document& doc,
                  PrintReport& report) {
  KeptDialogs messages;
  if (boards.empty()) {
    report.Error = "there are no boards to print";
    return false;
  }
  if (options.Book) {
    std::vector<std::string> refused;
    doc.Boards = BookBoards(boards.front(), {boards.begin() + 1, boards.end()}, messages, refused);
    if (doc.Boards.empty()) {
      report.Error = "the board does not open: " + boards.front() +
                     (messages.Last.empty() ? " (not a board of this program)"
                                            : " (" + Windows1252ToUtf8(messages.Last) + ")");
      return false;
    }
    for (const std::string& path : refused)
      doc.Notes.push_back("left out of the book, the board does not open: " + path);
    return true;
  }
  for (const std::string& path : boards) {
    std::optional<PrintedBoardInfo> info = ReadPrintedBoard(path, messages);
    if (!info) {
      report.Error = "the board does not open: " + path +
                     (messages.Last.empty() ? " (not a board of this program)"
                                            : " (" + Windows1252ToUtf8(messages.Last) + ")");
      return false;
    }
    doc.Boards.push_back(std::move(*info));
  }
  return true;
}

// The defaults every board's player starts from: the message bar's height and the bars' order.
GridViewState PlayerDefaults(Document& doc, const std::string& scratch) {
  KeptDialogs messages;
  StillClock clock;
  NoLauncher programs;
  HeadlessWindow window(800, 600);
  PlayerPaths paths;
  paths.ProgramFolder = Utf8ToWindows1252(scratch + "/");
  paths.DataFolder = Utf8ToWindows1252(doc.Options.DataFolder);
  paths.SettingsFile = scratch + "/settings-defaults.ini";
  paths.SharedFile = doc.Options.SharedFile;
  Player player({clock, messages, doc.Metrics, doc.Scaler, window, programs}, paths);
  player.FormCreate();
  player.Options().LoadProgramSettings();
  return player.State().View;
}

void PlanPages(Document& doc, const std::string& scratch) {
  const GridViewState defaults = PlayerDefaults(doc, scratch);
  PrintArea area;
  area.Width = doc.BoardArea.width();
  area.Height = doc.BoardArea.height();
  area.CellSize = doc.Options.CellSizeMm > 0
                      ? static_cast<int32_t>(std::lround(MmToBoardPixels(doc.Options.CellSizeMm)))
                      : 0;
  area.MinCellSize = static_cast<int32_t>(std::lround(MmToBoardPixels(MinReadableCellMm)));
  int page = 1;
  if (doc.Options.Book) {
    const int perPage = ContentsLinesPerPage(doc.Content);
    page += (static_cast<int>(doc.Boards.size()) + perPage - 1) / perPage;
  }
  for (const PrintedBoardInfo& info : doc.Boards) {
    doc.Plans.push_back(PlanBoardPages(info.Columns, info.Rows, BarsOf(info, doc.Options, defaults), area));
    doc.FirstPages.push_back(page);
    if (doc.Options.Book) doc.BookPages.emplace(info.Path, page);
    page += static_cast<int>(doc.Plans.back().Tiles.size());
    for (const std::string& picture : info.Pictures)
      doc.Pictures.CountUse(picture);
  }
}

void SetPageLayout(QPagedPaintDevice& device, const PrintOptions& options) {
  device.setPageLayout(QPageLayout(QPageSize(options.Paper),
                                   options.Landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                   QMarginsF(0, 0, 0, 0)));
}

} // namespace

PrintReport PrintBoards(const std::vector<std::string>& boards, QPagedPaintDevice& device,
                        const PrintOptions& options) {
  PrintReport report;
  QTemporaryDir scratchDir;
  if (!scratchDir.isValid()) {
    report.Error = "could not make a temporary folder";
    return report;
  }
  const std::string scratch = scratchDir.path().toStdString();
  SetPageLayout(device, options);
  QPainter painter;
  Document doc(options, painter);
  doc.Device = &device;
  if (!GatherBoards(boards, options, doc, report)) return report;

  const QRectF points = device.pageLayout().fullRect(QPageLayout::Point);
  doc.Page =
      QRectF(0, 0, points.width() * BoardPixelsPerInch / 72, points.height() * BoardPixelsPerInch / 72);
  const int margin = static_cast<int>(std::lround(MmToBoardPixels(std::max(options.MarginsMm, 0.0))));
  doc.Content = doc.Page.toRect().adjusted(margin, margin, -margin, -margin);
  doc.BoardArea = doc.Content.adjusted(0, 0, 0, -(FooterHeight + FooterGap));
  if (doc.BoardArea.width() < 40 || doc.BoardArea.height() < 40) {
    report.Error = "the margins leave no room on the page";
    return report;
  }
  doc.Date = options.Date.isEmpty() ? QDate::currentDate().toString("dd/MM/yyyy") : options.Date;
  doc.Buttons = LoadButtonPictures(options.DataFolder);
  doc.Pictures.SetScratch(scratchDir.path());
  doc.Pictures.SetBudget(options.PictureMemoryBytes);
  PlanPages(doc, scratch);

  if (!painter.begin(&device)) {
    report.Error = "could not start drawing the pages";
    return report;
  }
  painter.scale(device.logicalDpiX() / double(BoardPixelsPerInch),
                device.logicalDpiY() / double(BoardPixelsPerInch));
  if (options.Book) PaintContents(doc);
  for (std::size_t i = 0; i < doc.Boards.size(); ++i) {
    if (!PaintBoard(doc, scratch, i)) {
      painter.end();
      report.Error = doc.Notes.back();
      return report;
    }
  }
  painter.end();
  for (const PrintedBoardInfo& info : doc.Boards)
    report.Boards.push_back(info.Path);
  report.FirstPages = doc.FirstPages;
  report.Notes = std::move(doc.Notes);
  report.Pages = doc.PageNumber;
  report.Ok = true;
  return report;
}

PrintReport PrintBoards(const std::vector<std::string>& boards, const std::string& pdfPathUtf8,
                        const PrintOptions& options) {
  PrintReport report;
  QSaveFile file(QString::fromStdString(pdfPathUtf8));
  if (!file.open(QIODevice::WriteOnly)) {
    report.Error = "cannot write " + pdfPathUtf8 + ": " + file.errorString().toStdString();
    return report;
  }
  // The painting goes to a scratch file first: the PDF written is that one with its repeated
  // pictures merged.
  QTemporaryFile drawn(QDir::tempPath() + "/nexoquadrix-print-XXXXXX.pdf");
  if (!drawn.open()) {
    file.cancelWriting();
    report.Error = "could not make a temporary file: " + drawn.errorString().toStdString();
    return report;
  }
  {
    QPdfWriter writer(&drawn);
    writer.setCreator("NexoQuadrix");
    if (!boards.empty()) writer.setTitle(QString::fromStdString(BoardTitle(boards.front())));
    report = PrintBoards(boards, writer, options);
  }
  if (report.Ok && !drawn.flush()) {
    report.Ok = false;
    report.Error = "could not write a temporary file: " + drawn.errorString().toStdString();
  }
  if (!report.Ok) {
    file.cancelWriting();
    return report;
  }
  const PdfMergeResult merged =
      MergeRepeatedImages(QFile::encodeName(drawn.fileName()).toStdString(), [&file](std::string_view bytes) {
        return file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
               static_cast<qint64>(bytes.size());
      });
  if (!merged.Read) {
    report.Ok = false;
    report.Error = "could not read back a temporary file: " + drawn.fileName().toStdString();
  } else if (!merged.Written || !file.commit()) {
    report.Ok = false;
    report.Error = "cannot write " + pdfPathUtf8 + ": " + file.errorString().toStdString();
  }
  if (!report.Ok) file.cancelWriting();
  return report;
}

} // namespace nq
