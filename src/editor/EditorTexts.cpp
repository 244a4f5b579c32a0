#include "editor/EditorTexts.h"

#include <QHash>

namespace nq {
namespace {

struct Translation {
  const char* Catalan;
  const char* Spanish;
};

const QHash<QString, Translation>& Table() {
  static const QHash<QString, Translation> table = {
      {"&File", {"&Fitxer", "&Archivo"}},
      {"New board...", {"Nou plafó...", "Nuevo plafón..."}},
      {"&Open...", {"&Obre...", "&Abrir..."}},
      {"Open &recent", {"Obre un &recent", "Abrir &reciente"}},
      {"&Save", {"&Desa", "&Guardar"}},
      {"Save &as...", {"Desa &com...", "Guardar &como..."}},
      {"&Try in the player", {"&Prova", "&Probar"}},
      {"&Quit", {"&Surt", "&Salir"}},
      {"&Edit", {"&Edició", "&Edición"}},
      {"&Undo", {"&Desfés", "&Deshacer"}},
      {"&Redo", {"&Refés", "&Rehacer"}},
      {"Undo %1", {"Desfés: %1", "Deshacer: %1"}},
      {"Redo %1", {"Refés: %1", "Rehacer: %1"}},
      {"Cu&t", {"Re&talla", "Cor&tar"}},
      {"&Copy", {"&Copia", "&Copiar"}},
      {"&Paste", {"&Enganxa", "&Pegar"}},
      {"C&lear cell", {"&Buida la casella", "&Vaciar casilla"}},
      {"Select &all", {"Selecciona-ho &tot", "Seleccionar &todo"}},
      {"Edit the caption", {"Edita el text", "Editar el texto"}},
      {"Choose a picture...", {"Tria una imatge...", "Elegir una imagen..."}},
      {"Edit the spoken text", {"Edita el text que es diu", "Editar el texto que se dice"}},
      {"Edit the link", {"Edita l'enllaç", "Editar el enlace"}},
      {"Choose the command", {"Tria l'ordre", "Elegir el comando"}},
      {"Go to the board", {"Ves al plafó", "Ir al plafón"}},
      {"&Grid", {"&Graella", "&Cuadrícula"}},
      {"Insert row above", {"Insereix una fila a dalt", "Insertar fila encima"}},
      {"Insert row below", {"Insereix una fila a sota", "Insertar fila debajo"}},
      {"Delete row", {"Elimina la fila", "Eliminar fila"}},
      {"Insert column left", {"Insereix una columna a l'esquerra", "Insertar columna a la izquierda"}},
      {"Insert column right", {"Insereix una columna a la dreta", "Insertar columna a la derecha"}},
      {"Delete column", {"Elimina la columna", "Eliminar columna"}},
      {"Move the cell left", {"Mou la casella a l'esquerra", "Mover la casilla a la izquierda"}},
      {"Move the cell right", {"Mou la casella a la dreta", "Mover la casilla a la derecha"}},
      {"Move the cell up", {"Mou la casella amunt", "Mover la casilla arriba"}},
      {"Move the cell down", {"Mou la casella avall", "Mover la casilla abajo"}},
      {"Swap with the next cell",
       {"Intercanvia amb la casella següent", "Intercambiar con la casilla siguiente"}},
      {"&Board", {"&Plafó", "&Plafón"}},
      {"Board &options...", {"&Opcions del plafó...", "&Opciones del plafón..."}},
      {"&Problems", {"&Problemes", "&Problemas"}},
      {"&Language", {"&Llengua", "&Idioma"}},
      {"&Help", {"A&juda", "A&yuda"}},
      {"Keyboard shortcuts", {"Dreceres de teclat", "Atajos de teclado"}},
      {"Caption", {"Text", "Texto"}},
      {"Spoken text", {"Text que es diu", "Texto que se dice"}},
      {"Empty: the caption is said", {"Buit: es diu el text", "Vacío: se dice el texto"}},
      {"Hide the caption (it is still said)",
       {"Amaga el text (es continua dient)", "Ocultar el texto (se sigue diciendo)"}},
      {"Picture", {"Imatge", "Imagen"}},
      {"Choose...", {"Tria...", "Elegir..."}},
      {"Remove", {"Treu", "Quitar"}},
      {"Sound", {"So", "Sonido"}},
      {"Link", {"Enllaç", "Enlace"}},
      {"New board here", {"Plafó nou aquí", "Plafón nuevo aquí"}},
      {"Command", {"Ordre", "Comando"}},
      {"(none)", {"(cap)", "(ninguno)"}},
      {"Argument", {"Argument", "Argumento"}},
      {"Frame colour", {"Color del marc", "Color del marco"}},
      {"Font", {"Lletra", "Fuente"}},
      {"Text colour", {"Color del text", "Color del texto"}},
      {"Bold", {"Negreta", "Negrita"}},
      {"Italic", {"Cursiva", "Cursiva"}},
      {"Underline", {"Subratllat", "Subrayado"}},
      {"Cell", {"Casella", "Casilla"}},
      {"Cell %1", {"Casella %1", "Casilla %1"}},
      {"%1 cells", {"%1 caselles", "%1 casillas"}},
      {"(several)", {"(diverses)", "(varios)"}},
      {"No cell chosen", {"Cap casella triada", "Ninguna casilla elegida"}},
      {"Untitled board", {"Plafó sense nom", "Plafón sin nombre"}},
      {"Rows", {"Files", "Filas"}},
      {"Columns", {"Columnes", "Columnas"}},
      {"Name", {"Nom", "Nombre"}},
      {"Folder", {"Carpeta", "Carpeta"}},
      {"Boards (*.qdx)", {"Plafons (*.qdx)", "Plafones (*.qdx)"}},
      {"Pictures (*.png *.jpg *.jpeg *.bmp)",
       {"Imatges (*.png *.jpg *.jpeg *.bmp)", "Imágenes (*.png *.jpg *.jpeg *.bmp)"}},
      {"Sounds (*.wav)", {"Sons (*.wav)", "Sonidos (*.wav)"}},
      {"The file does not exist: %1", {"No existeix el fitxer: %1", "No existe el archivo: %1"}},
      {"%1 is not a board file (.qdx).",
       {"%1 no és un fitxer de plafó (.qdx).", "%1 no es un archivo de plafón (.qdx)."}},
      {"%1 was saved as UTF-8 by another program, and the player cannot read it that way. Save it again as "
       "ANSI (Windows-1252) text.",
       {"Un altre programa ha desat %1 en UTF-8, i el reproductor no el pot llegir així. Deseu-lo de nou "
        "com a text ANSI (Windows-1252).",
        "Otro programa guardó %1 en UTF-8, y el reproductor no puede leerlo así. Guárdelo de nuevo como "
        "texto ANSI (Windows-1252)."}},
      {"%1 is not a NexoQuadrix board: its [Quadrix] section does not say Name=Quadrix and autor=Vellumor.",
       {"%1 no és un plafó de NexoQuadrix: la seva secció [Quadrix] no diu Name=Quadrix i autor=Vellumor.",
        "%1 no es un plafón de NexoQuadrix: su sección [Quadrix] no dice Name=Quadrix y autor=Vellumor."}},
      {"%1 has a grid of %2 columns and %3 rows; a board has 1 to 21 of each.",
       {"%1 té una graella de %2 columnes i %3 files; un plafó en té d'1 a 21 de cada.",
        "%1 tiene una cuadrícula de %2 columnas y %3 filas; un plafón tiene de 1 a 21 de cada."}},
      {"Save changes to %1?", {"Voleu desar els canvis de %1?", "¿Guardar los cambios de %1?"}},
      {"The board could not be saved:\n%1",
       {"No s'ha pogut desar el plafó:\n%1", "No se pudo guardar el plafón:\n%1"}},
      {"The folder or the file may be read-only, or the disk full. The file is as it was and your changes "
       "are still here: save them elsewhere with \"Save as\".",
       {"Potser la carpeta o el fitxer són només de lectura, o el disc és ple. El fitxer és com era i els "
        "vostres canvis encara són aquí: deseu-los en un altre lloc amb \"Desa com\".",
        "Quizá la carpeta o el archivo son de solo lectura, o el disco está lleno. El archivo está como "
        "estaba y sus cambios siguen aquí: guárdelos en otro lugar con \"Guardar como\"."}},
      {"%1 was changed by another program after it was opened here (the player keeps its window's place "
       "and its options in the board). Save your version over it? Those other changes would be lost.",
       {"Un altre programa ha canviat %1 després d'obrir-lo aquí (el reproductor guarda al plafó el lloc "
        "de la seva finestra i les seves opcions). Voleu desar-hi la vostra versió? Aquells altres canvis "
        "es perdrien.",
        "Otro programa cambió %1 después de abrirlo aquí (el reproductor guarda en el plafón el lugar de "
        "su ventana y sus opciones). ¿Guardar su versión encima? Esos otros cambios se perderían."}},
      {"%1 is already open in another editor window. Go on there, or close it there first.",
       {"%1 ja és obert en una altra finestra de l'editor. Continueu-hi, o tanqueu-lo allà primer.",
        "%1 ya está abierto en otra ventana del editor. Siga allí, o ciérrelo allí primero."}},
      {"These characters cannot be kept in a board: %1\nBoards store Catalan and Spanish letters; please "
       "write them differently.",
       {"Aquests caràcters no es poden guardar en un plafó: %1\nEls plafons guarden les lletres del català i "
        "del castellà; escriviu-los d'una altra manera.",
        "Estos caracteres no se pueden guardar en un plafón: %1\nLos plafones guardan las letras del catalán "
        "y del castellano; escríbalos de otra manera."}},
      {"Unsaved work was found that an editor left when it did not close normally (a new board, or a board "
       "in a folder it could not write to). Recover it as a new board?",
       {"S'ha trobat feina no desada que un editor va deixar en no tancar-se bé (un plafó nou, o un plafó "
        "d'una carpeta on no podia escriure). La voleu recuperar com a plafó nou?",
        "Se encontró trabajo sin guardar que un editor dejó al no cerrarse bien (un plafón nuevo, o un "
        "plafón de una carpeta donde no podía escribir). ¿Recuperarlo como plafón nuevo?"}},
      {"The board was saved again after this copy was made; recovering the copy replaces those later "
       "changes.",
       {"El plafó s'ha tornat a desar després de fer aquesta còpia; recuperar-la en substitueix els canvis "
        "posteriors.",
        "El plafón se volvió a guardar después de hacer esta copia; recuperarla sustituye esos cambios "
        "posteriores."}},
      {"A copy of unsaved changes to %1 was found (the editor did not close normally). Recover it?",
       {"S'ha trobat una còpia de canvis no desats de %1 (l'editor no es va tancar bé). La voleu recuperar?",
        "Se encontró una copia de cambios sin guardar de %1 (el editor no se cerró bien). ¿Recuperarla?"}},
      {"Start the player again on %1?",
       {"Voleu tornar a obrir el reproductor amb %1?", "¿Volver a abrir el reproductor con %1?"}},
      {"The player could not be started.",
       {"No s'ha pogut obrir el reproductor.", "No se pudo abrir el reproductor."}},
      {"The picture could not be copied beside the board.",
       {"No s'ha pogut copiar la imatge al costat del plafó.",
        "No se pudo copiar la imagen junto al plafón."}},
      {"Save the board first: its pictures go in a folder beside it.",
       {"Deseu primer el plafó: les imatges van en una carpeta al seu costat.",
        "Guarde primero el plafón: las imágenes van en una carpeta a su lado."}},
      {"A board with that name already exists.",
       {"Ja hi ha un plafó amb aquest nom.", "Ya existe un plafón con ese nombre."}},
      {"Saved", {"Desat", "Guardado"}},
      {"No problems found", {"No s'ha trobat cap problema", "No se ha encontrado ningún problema"}},
      {"Missing picture %1", {"Falta la imatge %1", "Falta la imagen %1"}},
      {"Picture cannot be shown %1", {"La imatge no es pot mostrar %1", "La imagen no se puede mostrar %1"}},
      {"Missing sound %1", {"Falta el so %1", "Falta el sonido %1"}},
      {"Link to a missing board %1",
       {"Enllaç a un plafó que no existeix %1", "Enlace a un plafón que no existe %1"}},
      {"Link to something that is not a board %1",
       {"Enllaç a una cosa que no és un plafó %1", "Enlace a algo que no es un plafón %1"}},
      {"Unknown command %1", {"Ordre desconeguda %1", "Comando desconocido %1"}},
      {"The caption does not fit its cell: %1",
       {"El text no cap a la casella: %1", "El texto no cabe en la casilla: %1"}},
      {"Board options", {"Opcions del plafó", "Opciones del plafón"}},
      {"Window", {"Finestra", "Ventana"}},
      {"Left", {"Esquerra", "Izquierda"}},
      {"Top", {"Dalt", "Arriba"}},
      {"Width", {"Amplada", "Ancho"}},
      {"Height", {"Alçada", "Alto"}},
      {"Position", {"Posició", "Posición"}},
      {"Grid frame colour", {"Color del marc de la graella", "Color del marco de la cuadrícula"}},
      {"Grid font", {"Lletra de la graella", "Fuente de la cuadrícula"}},
      {"Options the player reads from the board",
       {"Opcions que el reproductor llegeix del plafó", "Opciones que el reproductor lee del plafón"}},
      {"Edit cells: arrows move, Shift+arrows extend, Ctrl+click adds, F2 edits the caption, drag a cell "
       "onto another to swap them.",
       {"Editar caselles: les fletxes mouen, Maj+fletxes amplien, Ctrl+clic afegeix, F2 edita el text, "
        "arrossegueu una casella sobre una altra per intercanviar-les.",
        "Editar casillas: las flechas mueven, Mayús+flechas amplían, Ctrl+clic añade, F2 edita el texto, "
        "arrastre una casilla sobre otra para intercambiarlas."}},
      {"Name of the new board", {"Nom del plafó nou", "Nombre del plafón nuevo"}},
      {"&Print...", {"&Imprimeix…", "&Imprimir…"}},
      {"E&xport to PDF...", {"E&xporta a PDF…", "E&xportar a PDF…"}},
      {"Symbol folders...", {"Carpetes de símbols…", "Carpetas de símbolos…"}},
      {"&Symbols", {"&Símbols", "&Símbolos"}},
      {"Type a word to find a picture",
       {"Escriviu una paraula per trobar una imatge", "Escriba una palabra para encontrar una imagen"}},
      {"Double-click a symbol, or drag it onto a cell.",
       {"Feu doble clic en un símbol, o arrossegueu-lo a una casella.",
        "Haga doble clic en un símbolo, o arrástrelo a una casilla."}},
      {"No symbols are installed.", {"No hi ha símbols instal·lats.", "No hay símbolos instalados."}},
      {"Loading the symbols...", {"Carregant els símbols...", "Cargando los símbolos..."}},
      {"No symbol found.", {"No s'ha trobat cap símbol.", "No se ha encontrado ningún símbolo."}},
      {"Folders of your own pictures, found by their file and folder names.",
       {"Carpetes de les vostres imatges, que es troben pel nom del fitxer i de la carpeta.",
        "Carpetas de sus imágenes, que se encuentran por el nombre del archivo y de la carpeta."}},
      {"Add...", {"Afegeix...", "Añadir..."}},
      {"The settings could not be saved:\n%1",
       {"No s'ha pogut desar la configuració:\n%1", "No se ha podido guardar la configuración:\n%1"}},
      {"Print this board only, or the whole set it opens?",
       {"Voleu imprimir només aquest plafó, o tot el conjunt que obre?",
        "¿Imprimir solo este plafón, o todo el conjunto que abre?"}},
      {"Find a symbol", {"Cerca un símbol", "Buscar un símbolo"}},
      {"Propose pictograms", {"Proposa pictogrames", "Proponer pictogramas"}},
      {"No chosen cell with a caption and no picture has a matching symbol.",
       {"Cap casella triada amb text i sense imatge no té cap símbol que hi correspongui.",
        "Ninguna casilla elegida con texto y sin imagen tiene un símbolo que le corresponda."}},
      {"Untick the pictures you do not want. Each one kept can be undone.",
       {"Desmarqueu les imatges que no vulgueu. Cadascuna que es mantingui es pot desfer.",
        "Desmarque las imágenes que no quiera. Cada una que se mantenga se puede deshacer."}},
      {"This board", {"Aquest plafó", "Este plafón"}},
      {"The whole set", {"Tot el conjunt", "Todo el conjunto"}},
      {"Written: %1", {"Escrit: %1", "Escrito: %1"}},
      {"Nothing was printed:\n%1", {"No s'ha imprès res:\n%1", "No se ha impreso nada:\n%1"}},
  };
  return table;
}

} // namespace

QString EditorTexts::operator()(const char* english) const {
  if (Current == authoring::Language::English) return QString::fromUtf8(english);
  const auto it = Table().constFind(QString::fromUtf8(english));
  if (it == Table().constEnd()) return QString::fromUtf8(english);
  return QString::fromUtf8(Current == authoring::Language::Catalan ? it->Catalan : it->Spanish);
}

authoring::Language EditorTexts::FromLocale(const QString& localeName) {
  if (localeName.startsWith("ca")) return authoring::Language::Catalan;
  if (localeName.startsWith("es")) return authoring::Language::Spanish;
  return authoring::Language::English;
}

} // namespace nq
