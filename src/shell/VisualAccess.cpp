#include "shell/VisualAccess.h"

#include <algorithm>

#include "settings/SettingsKeys.h"

namespace nq {

void VisualAccessOptions::LoadVisualAccessSettings() {
  const SettingsStore& s = Ctx.Settings;
  if (s.ReadSettingFlag(SectionVisualAccess, KeyDwellProgress, false)) MenuProgresoClicAutomaticoClick();
  HighlightStyle& style = Ctx.State.View.Highlight;
  const int32_t width = s.ReadSettingInteger(SectionVisualAccess, KeyHighlightWidth, 0);
  // A value out of range (edited by hand) is the board's own frame, not the nearest width.
  style.Width = width >= 0 && width <= MaxHighlightWidth ? width : 0;
  style.Colour =
      ValidHighlightColour(s.ReadSettingInteger(SectionVisualAccess, KeyHighlightColour, HighlightColour));
  style.Invert = s.ReadSettingFlag(SectionVisualAccess, KeyHighlightInvert, false);
  ShowHighlightStyle();
}

std::vector<std::pair<std::string, std::function<void()>>> VisualAccessOptions::MenuHandlers() {
  std::vector<std::pair<std::string, std::function<void()>>> handlers = {
      {std::string(DwellProgressItemName), [this] { MenuProgresoClicAutomaticoClick(); }},
      {std::string(InvertHighlightItemName), [this] { MenuInvertirResaltadoClick(); }},
  };
  for (const int32_t width : HighlightWidthChoices)
    handlers.emplace_back(HighlightWidthItemName(width), [this, width] { SetHighlightWidth(width); });
  for (size_t i = 0; i < HighlightColours.size(); ++i)
    handlers.emplace_back(HighlightColourItemName(i),
                          [this, colour = HighlightColours[i]] { SetHighlightColour(colour); });
  return handlers;
}

void VisualAccessOptions::MenuProgresoClicAutomaticoClick() {
  const bool on = Ctx.Menu.Toggle(std::string(DwellProgressItemName));
  Progress.SetEnabled(on);
  Ctx.Settings.WriteSettingFlag(SectionVisualAccess, KeyDwellProgress, on);
}

void VisualAccessOptions::MenuInvertirResaltadoClick() {
  Ctx.State.View.Highlight.Invert = !Ctx.State.View.Highlight.Invert;
  Ctx.Settings.WriteSettingFlag(SectionVisualAccess, KeyHighlightInvert, Ctx.State.View.Highlight.Invert);
  ShowHighlightStyle();
}

void VisualAccessOptions::SetHighlightWidth(int32_t width) {
  Ctx.State.View.Highlight.Width = std::clamp(width, 0, MaxHighlightWidth);
  Ctx.Settings.WriteSettingInteger(SectionVisualAccess, KeyHighlightWidth, Ctx.State.View.Highlight.Width);
  ShowHighlightStyle();
}

void VisualAccessOptions::SetHighlightColour(int32_t colour) {
  Ctx.State.View.Highlight.Colour = ValidHighlightColour(colour);
  Ctx.Settings.WriteSettingInteger(SectionVisualAccess, KeyHighlightColour, Ctx.State.View.Highlight.Colour);
  ShowHighlightStyle();
}

void VisualAccessOptions::ShowHighlightStyle() {
  const HighlightStyle& style = Ctx.State.View.Highlight;
  for (const int32_t width : HighlightWidthChoices)
    Ctx.Menu.SetChecked(HighlightWidthItemName(width), width == style.Width);
  for (size_t i = 0; i < HighlightColours.size(); ++i)
    Ctx.Menu.SetChecked(HighlightColourItemName(i), HighlightColours[i] == style.Colour);
  Ctx.Menu.SetChecked(std::string(InvertHighlightItemName), style.Invert);
  // The hovered cell takes the new look now; a scan shows it from its next step.
  Ctx.Layout.LayoutCells();
}

} // namespace nq
