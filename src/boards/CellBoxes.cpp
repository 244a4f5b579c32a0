#include "boards/CellBoxes.h"

#include "platform/ImageScaler.h"
#include "platform/TextMetrics.h"

namespace nq {

CellBoxes::CellBoxes(TextMetrics& metrics, ImageScaler& scaler, CellMarkSettings& settings)
    : Metrics(metrics), Scaler(scaler), Settings(settings) {
  for (int32_t k = 0; k < GridBoxCount; ++k)
    GridBoxes[k].Number = k + 1;
  for (TBox& box : MessageBoxes)
    box.Number = -1;
}

TBox* CellBoxes::GridBox(int32_t number) {
  return number >= 1 && number <= GridBoxCount ? &GridBoxes[number - 1] : nullptr;
}

const TBox* CellBoxes::GridBox(int32_t number) const {
  return number >= 1 && number <= GridBoxCount ? &GridBoxes[number - 1] : nullptr;
}

TBox* CellBoxes::MessageBox(int32_t position) {
  return position >= 1 && position <= MessageBoxCount ? &MessageBoxes[position - 1] : nullptr;
}

const TBox* CellBoxes::MessageBox(int32_t position) const {
  return position >= 1 && position <= MessageBoxCount ? &MessageBoxes[position - 1] : nullptr;
}

void CellBoxes::HideCell(TBox& box) {
  box.Frame.Visible = false;
  box.CaptionLabel.Visible = false;
  box.PictureImage.Visible = false;
}

void CellBoxes::HideAllGridCells() {
  for (TBox& box : GridBoxes)
    HideCell(box);
}

std::string CellBoxes::MarkedCaption(const std::string& caption, const std::string& specialFunction) {
  return nq::MarkedCaption(caption, specialFunction, Settings);
}

void CellBoxes::AssignCellRecord(int32_t number, const CellRecord& record, bool centreCaptions) {
  TBox* box = GridBox(number);
  if (box == nullptr) return;
  box->Number = number;
  box->Caption = record.Caption;
  box->Read = record.Read;
  box->Picture = record.Picture;
  box->Link = record.Link;
  box->SpecialFunction = record.SpecialFunction;
  box->SetCaptionFont(record.Font);
  box->Alignment = centreCaptions ? CaptionAlignment::Centre : CaptionAlignment::Left;
  box->FrameColour = record.FrameCellColour;
  box->Frame.PenColour = record.FrameCellColour;
  box->SetPicture(nullptr, false);
}

bool CellBoxes::HasContent(const TBox& box) {
  return !box.Read.empty() || !box.Picture.empty() || !box.Link.empty() || !box.SpecialFunction.empty() ||
         !box.CaptionLabel.Text.empty();
}

void CellBoxes::ChoosePenColour(TBox& box, const CellShowOptions& options) {
  if (box.Number != options.HoveredItem || options.ScanMode != 0) {
    ApplyHighlight(box, false, options.Highlight);
    return;
  }
  // The hovered cell turns red unless the rest mode holds every cell but the rest cell; a cell with
  // nothing in it keeps whatever pen it had.
  if ((!options.RestMode || box.SpecialFunction == RestToken) && HasContent(box)) {
    ApplyHighlight(box, true, options.Highlight);
  }
}

void CellBoxes::ShowCell(TBox& box, const CellShowOptions& options) {
  box.CaptionLabel.Text = nq::MarkedCaption(box.Caption, box.SpecialFunction, Settings);
  // A white frame around nothing is an unused cell: it is never drawn, not even when hovered.
  if (box.FrameColour == WhiteColour && !HasContent(box)) return;

  const bool hasCaption = !box.CaptionLabel.Text.empty();
  const int32_t captionHeight = hasCaption ? box.CaptionHeight(Metrics) : 0;
  const CellGeometry geometry =
      ComputeCellGeometry(box.CellRect(), options.CellSeparation, options.FrameThickness, captionHeight,
                          hasCaption, options.CaptionsBelow);
  box.Frame.Bounds = geometry.Frame;
  ChoosePenColour(box, options);
  box.Frame.Visible = true;
  box.CaptionLabel.Bounds = geometry.Caption;

  if (box.Picture.empty()) {
    box.PictureImage.Visible = false;
    box.PictureImage.Scaling = PictureScaling::None;
  } else {
    PlacePicture(box, geometry.PictureArea);
  }
  box.CaptionLabel.Visible = hasCaption;
}

void CellBoxes::PlacePicture(TBox& box, const GridRect& area) {
  const Image* held = box.HeldPicture();
  // The file's own size decides, even when the held copy was reduced on loading.
  const int32_t pictureWidth = held != nullptr ? box.PictureWidth() : 0;
  const int32_t pictureHeight = held != nullptr ? box.PictureHeight() : 0;
  const GridRect rect = FitPicture(area, pictureWidth, pictureHeight);
  box.PictureImage.Bounds = rect;
  // A cell too small for any picture pixel, or a name without a held picture, draws no picture.
  if (held == nullptr || held->Empty() || rect.Width <= 0 || rect.Height <= 0) {
    box.PictureImage.Visible = false;
    box.PictureImage.Scaling = PictureScaling::None;
    return;
  }
  box.PictureImage.Scaling = PictureScaling::PlatformStretch;
  if (rect.Width < pictureWidth) {
    if (rect != GridRect{box.DrawnLeft, box.DrawnTop, box.DrawnWidth, box.DrawnHeight}) {
      box.DrawnLeft = rect.Left;
      box.DrawnTop = rect.Top;
      box.DrawnWidth = rect.Width;
      box.DrawnHeight = rect.Height;
    }
    // The shrunk copy depends on the size only, so the hover lift never scales again.
    if (box.ShrunkCopy(Scaler, rect.Width, rect.Height, Source) != nullptr) {
      box.PictureImage.Scaling = PictureScaling::HalftoneShrink;
    }
  }
  box.PictureImage.Visible = true;
}

} // namespace nq
