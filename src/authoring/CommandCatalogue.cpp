#include "authoring/CommandCatalogue.h"

#include <map>

#include "actions/CommandTokens.h"

namespace nq::authoring {
namespace {

struct Texts {
  const char* Ca;
  const char* Es;
  const char* En;
};

const char* Pick(const Texts& t, Language language) {
  return language == Language::Catalan ? t.Ca : language == Language::Spanish ? t.Es : t.En;
}

const std::map<std::string, Texts>& Described() {
  static const std::map<std::string, Texts> texts = {
      {"<NEXOQUADRIX>",
       {"Obre aquest plafó a l'editor i tanca el reproductor",
        "Abre este plafón en el editor y cierra el reproductor",
        "Opens this board in the editor and closes the player"}},
      {"<NEXO_MENU_Edicion>",
       {"Atura l'escaneig i obre el plafó a l'editor", "Detiene el barrido y abre el plafón en el editor",
        "Stops scanning and opens the board in the editor"}},
      {"<TANCAR APLICACIO>",
       {"Tanca el programa que hi ha al davant", "Cierra el programa que está delante",
        "Closes the program in front"}},
      {"<TANCAR QUADRIX>", {"Tanca el reproductor", "Cierra el reproductor", "Closes the player"}},
      {"<EXECUTAR",
       {"Obre un programa o un document", "Abre un programa o un documento",
        "Starts a program or opens a document"}},
      {"<CALCULAR>",
       {"Calcula la línia on s'escriu i en posa el resultat",
        "Calcula la línea donde se escribe y pone el resultado",
        "Calculates the line being written and puts the result"}},
      {"<CASA>", {"Torna al plafó d'inici", "Vuelve al plafón de inicio", "Goes to the home board"}},
      {"<LLEGIR ULTIMA PARAULA>",
       {"Diu l'última paraula del missatge", "Dice la última palabra del mensaje",
        "Says the last word of the message"}},
      {"<LLEGIR MISSATGE>", {"Diu tot el missatge", "Dice todo el mensaje", "Says the whole message"}},
      {"<ESBORRAR ULTIM>",
       {"Esborra l'últim element del missatge", "Borra el último elemento del mensaje",
        "Deletes the last item of the message"}},
      {"<ESBORRAR ULTIMA PARAULA>",
       {"Esborra l'última paraula del missatge", "Borra la última palabra del mensaje",
        "Deletes the last word of the message"}},
      {"<ESBORRAR TOT>", {"Esborra tot el missatge", "Borra todo el mensaje", "Deletes the whole message"}},
      {"<LLEGIR SIMBOL ACTUAL>",
       {"Activa o desactiva la veu", "Activa o desactiva la voz", "Switches speech on or off"}},
      {"<NEXO_QDX_ANTERIOR>",
       {"Torna al plafó anterior", "Vuelve al plafón anterior", "Goes back to the previous board"}},
      {"<TORNAR PLAFO ANTERIOR>",
       {"Torna al plafó anterior", "Vuelve al plafón anterior", "Goes back to the previous board"}},
      {"<OBRIR FORM MENU>", {"Obre el plafó de menú", "Abre el plafón de menú", "Opens the menu board"}},
      {"<NEXO_MENU_Obrir>",
       {"Torna al plafó anterior i demana quin plafó obrir",
        "Vuelve al plafón anterior y pregunta qué plafón abrir", "Goes back and asks which board to open"}},
      {"<KEY_COMBINATION",
       {"Envia pulsacions de tecles (només en mode de finestra externa)",
        "Envía pulsaciones de teclas (solo en modo de ventana externa)",
        "Sends raw key presses (external-window mode only)"}},
      {"<ESCANEIG AUTOMATIC>",
       {"Comença el barrido automàtic", "Empieza el barrido automático", "Starts automatic scanning"}},
      {"<PARAR ESCANEIG>",
       {"Torna a començar el barrido automàtic", "Vuelve a empezar el barrido automático",
        "Restarts automatic scanning"}},
      {"<AJUSTAR FINESTRA RECEPTORA>",
       {"Ajusta la finestra que rep el text al costat del plafó",
        "Ajusta la ventana que recibe el texto junto al plafón",
        "Fits the receiving window beside the board"}},
      {"<NEXO_REPOSAR>",
       {"Casella de repòs: atura i reprèn l'activació de les altres",
        "Casilla de reposo: detiene y reanuda las demás", "Rest cell: pauses and resumes the other cells"}},
      {"<NO HE DE CANVIAR DE LLOC>",
       {"La casella no mou el plafó de lloc", "La casilla no cambia el plafón de sitio",
        "The cell leaves the window where it is"}},
      {"<SALTAR ESCANEIG>",
       {"L'escaneig salta aquesta casella", "El barrido se salta esta casilla", "Scanning skips this cell"}},
      {"<IMPRIMIR>", {"Reconeguda; no fa res", "Reconocida; no hace nada", "Recognised; does nothing"}},
      {"<LLEGIR LINIA>", {"Reconeguda; no fa res", "Reconocida; no hace nada", "Recognised; does nothing"}},
      {"<MISSATGE A FINESTRA EXTERNA>",
       {"Reconeguda; no fa res", "Reconocida; no hace nada", "Recognised; does nothing"}},
  };
  return texts;
}

std::string Inner(const std::string& token) {
  return token.size() > 2 ? token.substr(1, token.size() - 2) : token;
}

// Menu-option tokens and key tokens follow one pattern each; their name says which option or key.
std::string Generated(const std::string& token, Language language) {
  const std::string menu = "<NEXO_MENU_";
  if (token.rfind(menu, 0) == 0) {
    const std::string option = token.substr(menu.size(), token.size() - menu.size() - 1);
    switch (language) {
    case Language::Catalan:
      return "Canvia l'opció del reproductor «" + option + "»";
    case Language::Spanish:
      return "Cambia la opción del reproductor «" + option + "»";
    case Language::English:
      return "Switches the player's option \u201C" + option + "\u201D";
    }
  }
  const std::string modifier = "<NEXO_KEY_";
  if (token.rfind(modifier, 0) == 0) {
    const std::string key = token.substr(modifier.size(), token.size() - modifier.size() - 1);
    switch (language) {
    case Language::Catalan:
      return "La tecla " + key + " s'aplica a la tecla o casella següent";
    case Language::Spanish:
      return "La tecla " + key + " se aplica a la tecla o casilla siguiente";
    case Language::English:
      return "Holds " + key + " for the next key or cell";
    }
  }
  switch (language) {
  case Language::Catalan:
    return "Prem la tecla " + Inner(token) + " al programa del davant";
  case Language::Spanish:
    return "Pulsa la tecla " + Inner(token) + " en el programa de delante";
  case Language::English:
    return "Presses " + Inner(token) + " in the program in front";
  }
  return {};
}

} // namespace

std::vector<CommandInfo> CommandCatalogue(Language language) {
  std::vector<CommandInfo> list;
  for (std::string_view known : KnownCommandTokens()) {
    CommandInfo info;
    info.Token = std::string(known);
    info.TakesArgument = info.Token.back() != '>';
    const auto found = Described().find(info.Token);
    info.Description =
        found != Described().end() ? Pick(found->second, language) : Generated(info.Token, language);
    if (info.Token == "<EXECUTAR") {
      const Texts argument = {"programa o document, relatiu a la carpeta del plafó",
                              "programa o documento, relativo a la carpeta del plafón",
                              "program or document, relative to the board's folder"};
      info.Argument = Pick(argument, language);
    } else if (info.TakesArgument) {
      const Texts argument = {"tecles: D17,D67,U67,U17, (D prem, U deixa anar; coma al final)",
                              "teclas: D17,D67,U67,U17, (D pulsa, U suelta; coma al final)",
                              "keys: D17,D67,U67,U17, (D down, U up; comma after each)"};
      info.Argument = Pick(argument, language);
    }
    list.push_back(std::move(info));
  }
  return list;
}

std::string CommandWithArgument(const std::string& token, const std::string& argument) {
  if (token.empty() || token.back() == '>') return token;
  return token + " " + argument + ">";
}

} // namespace nq::authoring
