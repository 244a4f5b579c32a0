#pragma once
// Boards on paper: a board, or a whole set as a book, painted by the player's own painter into a
// PDF (or any paged device, such as a printer) at print resolution: captions stay text, pictures
// come from their files at up to 300 dots per inch for their printed size, each file embedded once.
// Needs a QGuiApplication.
#include <QPageSize>
#include <QString>
#include <cstddef>
#include <string>
#include <vector>

class QPagedPaintDevice;

namespace nq {

struct PrintOptions {
  QPageSize::PageSizeId Paper = QPageSize::A4;
  bool Landscape = false;
  double MarginsMm = 10;
  double CellSizeMm = 0;  // 0 fits a board to the page, cut only where its cells would be too small to read
  bool Bars = true;       // the button and message bars, as each board shows them
  bool Book = false;      // the boards its first board links to, a contents page, link cells naming pages
  bool CutLines = false;  // dashed lines between cells, for cutting cards
  QString Date;           // the footer's date; today when empty
  std::string DataFolder; // the bundled data (button-bar pictures), UTF-8, ending with "/"
  std::string SharedFile; // the Quadrix.ini the player reads, UTF-8; none when empty
  std::size_t PictureMemoryBytes = 0; // pictures held at once for later cells; 0 for the default
};

struct PrintReport {
  bool Ok = false;
  std::string Error;               // why nothing was printed (UTF-8)
  std::vector<std::string> Notes;  // missing pictures, boards left out of a book (UTF-8)
  std::vector<std::string> Boards; // the boards printed, in order (absolute, UTF-8)
  std::vector<int> FirstPages;     // the page each of them starts on, from 1
  int Pages = 0;
};

/// Prints the boards (UTF-8 paths) in order, each on pages of its own; in a book the first board
/// is the home board and the boards it reaches by links follow. Writes the PDF only when all went
/// well: a failure leaves no file behind (nor an older one changed).
PrintReport PrintBoards(const std::vector<std::string>& boards, const std::string& pdfPathUtf8,
                        const PrintOptions& options);

/// The same onto a paged device the caller opened (a printer, a preview); its page layout is set
/// from the options.
PrintReport PrintBoards(const std::vector<std::string>& boards, QPagedPaintDevice& device,
                        const PrintOptions& options);

} // namespace nq
