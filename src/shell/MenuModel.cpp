#include "shell/MenuModel.h"

#include <iterator>

#include "text/Encoding.h"

namespace nq {
namespace {

MenuItem Item(const char* name, const char* utf8Caption, bool checked = false) {
  MenuItem item;
  item.Name = name;
  item.Caption = Utf8ToWindows1252(utf8Caption);
  item.Checked = checked;
  return item;
}

// An item that does something rather than hold an option: it never carries a mark.
MenuItem Command(const char* name, const char* utf8Caption) {
  MenuItem item = Item(name, utf8Caption);
  item.Mark = MenuMark::None;
  return item;
}

// One of a set of items of which exactly one is on.
MenuItem Choice(const char* name, const char* utf8Caption, bool checked = false) {
  MenuItem item = Item(name, utf8Caption, checked);
  item.Mark = MenuMark::Radio;
  return item;
}

MenuItem Menu(const char* name, const char* utf8Caption, bool stopsScanning, std::vector<MenuItem> children) {
  MenuItem item = Item(name, utf8Caption);
  item.StopsScanning = stopsScanning;
  item.Mark = MenuMark::None;
  item.Children = std::move(children);
  return item;
}

MenuItem Hidden(MenuItem item, bool enabled = true) {
  item.Visible = false;
  item.Enabled = enabled;
  return item;
}

std::vector<MenuItem> PositionItems() {
  // Menu order differs from value order: "Screen center" is 2 and "Bottom center" is 3.
  return {Choice("MenuPositionDefault", "Default"),
          Choice("MenuPlafoMAXIMIZED", "Maximized"),
          Choice("MenuPositionBottomCenter", "Bottom center"),
          Choice("MenuPositionScreenCenter", "Screen center"),
          Choice("MenuPositionTopCenter", "Top center"),
          Choice("MenuPositionTopLeft", "Top left"),
          Choice("MenuPositionBottomLeft", "Bottom left"),
          Choice("MenuPositionTopRight", "Top right"),
          Choice("MenuPositionBottomRight", "Bottom right")};
}

// The visual access options, one submenu of "Opciones".
MenuItem VisualAccessMenu() {
  std::vector<MenuItem> widths;
  for (const int32_t width : HighlightWidthChoices) {
    const std::string caption = width == 0   ? std::string("Como el marco del plafón")
                                : width == 1 ? std::string("1 píxel")
                                             : std::to_string(width) + " píxeles";
    widths.push_back(Choice(HighlightWidthItemName(width).c_str(), caption.c_str(), width == 0));
  }
  const char* const colourCaptions[] = {"Rojo", "Amarillo", "Azul", "Negro", "Blanco"};
  std::vector<MenuItem> colours;
  for (size_t i = 0; i < std::size(colourCaptions); ++i)
    colours.push_back(Choice(HighlightColourItemName(i).c_str(), colourCaptions[i], i == 0));
  return Menu(
      "MenuAccesibilidadVisual", "Accesibilidad visual", false,
      {Item(std::string(DwellProgressItemName).c_str(),
            "Mostrar el tiempo del clic automático en la casilla - EyeTracking"),
       Menu("MenuGrosorResaltado", "Grosor del resaltado", false, std::move(widths)),
       Menu("MenuColorResaltado", "Color del resaltado", false, std::move(colours)),
       Item(std::string(InvertHighlightItemName).c_str(), "Invertir los colores de la casilla resaltada")});
}

MenuItem* FindIn(std::vector<MenuItem>& items, const std::string& name) {
  for (MenuItem& item : items) {
    if (item.Name == name) return &item;
    if (MenuItem* found = FindIn(item.Children, name)) return found;
  }
  return nullptr;
}

} // namespace

std::string HighlightWidthItemName(int32_t width) {
  return "MenuGrosorResaltado" + std::to_string(width);
}

std::string HighlightColourItemName(size_t index) {
  return "MenuColorResaltado" + std::to_string(index);
}

MenuModel::MenuModel() {
  Items = {
      Menu(
          "MenuArchivo", "Archivo", true,
          {Command("MenuOpenFile", "&Abrir..."), Command("MenuMenu", "Menú"), Command("MenuSalir", "Salir")}),
      Menu("MenuEdicion0", "Edición", false, {Command("MenuEdicion", "Edición")}),
      Menu("MenuControl", "Control", true,
           {Item("MenuEscaneigAutomatic", "Barrido automático"),
            Item("MenuEscaneigDirigit", "Barrido dirigido. Clic derecho"),
            Item("MenuEscaneigAutomaticActivatAmbClicDretPremut",
                 "Barrido automático activado con el clic derecho pulsado"),
            Choice("MenuMouseDown", "Mouse down"), Choice("MenuMouseUp", "Mouse up", true),
            Item("MenuSenseEscaneigVertical", "Sin barrido vertical"),
            Item("MenuAlClicarNoIniciaPosicioMouse", "Al clicar no inicia la posición del \"Mouse\""),
            Hidden(Item("MenuClicAutomaticAlEstarParat",
                        "Clic automàtic a l'estar parat el \"mouse\" en una posició"),
                   false),
            Item("MenuClicAutomaticALEstarEnUnacasella",
                 "Clic automático al estar el \"mouse\" en una casilla - EyeTracking"),
            Item("MenuNoPermeteClicks", "No permitir clics - EyeTracking"),
            Item("MenuClicActivatPerUnSo", "En barrido automático el clic se activa mediante un sonido"),
            Item("MenuEnEscaneigDirigitSActivaPerCadascunDelsCanalsEstereoDeSo",
                 "En barrido dirigido se activa el clic izquierdo y el clic derecho mediante cada uno de los "
                 "canales estéreo de sonido")}),
      Menu("Opciones1", "Opciones", true,
           {Command("MenuSynthesizerTTS", "Synthesizer TTS"), Item("MenuSpeak", "Hablar", true),
            Item("MenuNonFocusable", "Actuar en ventana externa"),
            Item("MenuNoMenuNoCaption", "No menu. No caption"), Item("MenuSwapBars", "Intercambiar barras"),
            Item("MenuCaptionDown", "Captions debajo"), Item("MenuEfecto3D", "Efecto 3D", true),
            Hidden(Item("MenuBMPiPNGMesQualitat", "MenuBMPiPNGMesQualitat")),
            Item("MenuTreureElCursorEnElsPlafons", "Quitar el cursor en las casillas - EyeTracking"),
            VisualAccessMenu(),
            // Auditory scanning, for users who cannot see the highlight well.
            Menu("MenuEscaneigAuditiu0", "Barrido auditivo", false,
                 {Item("MenuEscaneigAuditiu", "Decir en voz baja lo que señala el barrido"),
                  Item("MenuEscaneigAuditiuAllargarPas", "Alargar el paso hasta que acabe de decirlo")}),
            Command("MenuNivellSo", "Nivel del sonido del micrófono..."),
            Command("MenuCarpetasDeConfianza", "Carpetas de confianza...")}),
      Menu("MenuOpcionesDePLafon", "Opciones de plafón", true,
           {Item("MenuCentrarCaptions", "Centrar captions"),
            Item("MenuVerBarraDeBotones", "Ver barra de botones"),
            Item("MenuVerBarraDeEscribirMensaje", "Ver barra de escribir mensaje"),
            Item("MenuEscribirletrasOPalabras", "Escribir letras o palabras"),
            Item("MenuEscriureTextALlegir", "Escribir texto a leer"),
            Menu("MenuPosition", "Position", false, PositionItems()),
            Hidden(Item("MenuAjustarlagrandriadelafinestrareceptora",
                        "Ajustar la grandària de la finestra receptora"))}),
      Menu("MenuAyuda", "Ayuda", true,
           {Command("Tutorial1", "Tutorial..."), Command("MenuAbout", "About...")}),
  };
  // The bars start shown, like the board options they mirror.
  Find("MenuVerBarraDeBotones")->Checked = true;
  Find("MenuVerBarraDeEscribirMensaje")->Checked = true;
}

MenuItem* MenuModel::Find(const std::string& name) {
  return FindIn(Items, name);
}

const MenuItem* MenuModel::Find(const std::string& name) const {
  return FindIn(const_cast<std::vector<MenuItem>&>(Items), name);
}

bool MenuModel::Checked(const std::string& name) const {
  const MenuItem* item = Find(name);
  return item && item->Checked;
}

void MenuModel::SetChecked(const std::string& name, bool checked) {
  if (MenuItem* item = Find(name); item && item->Checked != checked) {
    item->Checked = checked;
    ++Changes;
  }
}

void MenuModel::SetVisible(const std::string& name, bool visible) {
  if (MenuItem* item = Find(name); item && item->Visible != visible) {
    item->Visible = visible;
    ++Changes;
  }
}

void MenuModel::SetEnabled(const std::string& name, bool enabled) {
  if (MenuItem* item = Find(name); item && item->Enabled != enabled) {
    item->Enabled = enabled;
    ++Changes;
  }
}

bool MenuModel::Toggle(const std::string& name) {
  const bool now = !Checked(name);
  SetChecked(name, now);
  return now;
}

const std::vector<std::string>& MenuModel::PositionItemNames() {
  static const std::vector<std::string> names = {
      "MenuPositionDefault",      "MenuPlafoMAXIMIZED",    "MenuPositionScreenCenter",
      "MenuPositionBottomCenter", "MenuPositionTopCenter", "MenuPositionTopLeft",
      "MenuPositionBottomLeft",   "MenuPositionTopRight",  "MenuPositionBottomRight"};
  return names;
}

} // namespace nq
