#!/usr/bin/env python3
"""Builds the bundled data of the player: demo boards, menu board, Quadrix.ini, pictures.

Usage:
  make-demo-boards.py [--data DIR]                      write boards, menu board, Quadrix.ini
  make-demo-boards.py --emoji DIR [--data DIR]          also copy and draw the pictures
  make-demo-boards.py --check [--data DIR]              verify what is under data/

DIR for --emoji is the installed npm package emoji-datasource-twitter, e.g.
  npm install --prefix /tmp/emoji emoji-datasource-twitter
  make-demo-boards.py --emoji /tmp/emoji/node_modules/emoji-datasource-twitter

Board files are written the way the Windows board editor writes them: Windows-1252 text,
CR LF line ends, "\\" as the folder separator in Picture and Link values.
Only the Python 3 standard library is used.
"""

import argparse
import json
import os
import re
import struct
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# Frame colours: 32-bit integers with red in the low byte, then green, then blue.
def rgb(r, g, b):
    return r | (g << 8) | (b << 16)

PEOPLE = rgb(255, 255, 0)      # yellow
VERB = rgb(0, 160, 0)          # green
DESCR = rgb(0, 112, 192)       # blue
NOUN = rgb(255, 140, 0)        # orange
SOCIAL = rgb(255, 102, 204)    # pink
LINK = rgb(128, 0, 128)        # purple: opens another board
CONTROL = rgb(96, 96, 96)      # dark grey: home, read, erase
BLACK = 0
WHITE = rgb(255, 255, 255)

# ---------------------------------------------------------------------------
# Pictures: readable name -> (emoji image file in img/twitter/64/, what it shows)

PICTURES = {
    "casa": ("1f3e0", "house"),
    "hola": ("1f44b", "waving hand"),
    "adeu": ("1f6b6", "person walking"),
    "bondia": ("1f305", "sunrise"),
    "sisplau": ("1f64f", "folded hands"),
    "gracies": ("2764-fe0f", "red heart"),
    "perdo": ("1f647", "person bowing"),
    "jo": ("1f9d1", "person"),
    "tu": ("1f449", "backhand index pointing right"),
    "nosaltres": ("1f465", "busts in silhouette"),
    "mare": ("1f469", "woman"),
    "pare": ("1f468", "man"),
    "nen": ("1f466", "boy"),
    "nena": ("1f467", "girl"),
    "nado": ("1f476", "baby"),
    "avi": ("1f474", "old man"),
    "avia": ("1f475", "old woman"),
    "ell": ("1f471-200d-2642-fe0f", "man: blond hair"),
    "ella": ("1f471-200d-2640-fe0f", "woman: blond hair"),
    "gos": ("1f415", "dog"),
    "gat": ("1f408", "cat"),
    "mestre": ("1f9d1-200d-1f3eb", "teacher"),
    "metge": ("1f9d1-200d-2695-fe0f", "health worker"),
    "amics": ("1f9d1-200d-1f91d-200d-1f9d1", "people holding hands"),
    "persones": ("1f46a", "family"),
    "vull": ("1f932", "palms up together"),
    "tinc": ("1f450", "open hands"),
    "aigua": ("1f4a7", "droplet"),
    "pa": ("1f35e", "bread"),
    "lavabo": ("1f6bd", "toilet"),
    "dormir": ("1f6cc", "person in bed"),
    "mal": ("1f915", "face with head-bandage"),
    "ajuda": ("1f64b", "person raising hand"),
    "content": ("1f600", "grinning face"),
    "trist": ("1f622", "crying face"),
    "enfadat": ("1f620", "angry face"),
    "cansat": ("1f62b", "tired face"),
    "espantat": ("1f628", "fearful face"),
    "sorpres": ("1f62e", "face with open mouth"),
    "avorrit": ("1f612", "unamused face"),
    "nervios": ("1f62c", "grimacing face"),
    "malalt": ("1f912", "face with thermometer"),
    "fred": ("1f976", "cold face"),
    "calor": ("1f975", "hot face"),
    "magrada": ("1f44d", "thumbs up"),
    "nomagrada": ("1f44e", "thumbs down"),
    "si": ("2705", "check mark button"),
    "no": ("274c", "cross mark"),
    "que": ("2753", "red question mark"),
    "menu": ("2699-fe0f", "gear"),
    "lletres": ("1f524", "input latin letters"),
    "numeros": ("1f522", "input numbers"),
    "sentiments": ("1f60a", "smiling face with smiling eyes"),
    "menjar": ("1f37d-fe0f", "fork and knife with plate"),
    "castella": ("1f1ea-1f1f8", "flag: Spain"),
    "catala": ("1f5e8-fe0f", "left speech bubble"),
    "gana": ("1f924", "drooling face"),
    "set": ("1f6b0", "potable water"),
    "mes": ("2795", "plus"),
    "menys": ("2796", "minus"),
    "per": ("2716-fe0f", "multiply"),
    "dividit": ("2797", "divide"),
    "igual": ("1f7f0", "heavy equals sign"),
    "prou": ("270b", "raised hand"),
    "llet": ("1f95b", "glass of milk"),
    "suc": ("1f9c3", "beverage box"),
    "formatge": ("1f9c0", "cheese wedge"),
    "ou": ("1f95a", "egg"),
    "poma": ("1f34e", "red apple"),
    "platan": ("1f34c", "banana"),
    "galeta": ("1f36a", "cookie"),
    "xocolata": ("1f36b", "chocolate bar"),
    "gelat": ("1f366", "soft ice cream"),
    "pizza": ("1f355", "pizza"),
    "macarrons": ("1f35d", "spaghetti"),
    "arros": ("1f35a", "cooked rice"),
    "altaveu": ("1f50a", "speaker high volume"),
    "escaneig": ("1f501", "repeat button"),
    "dirigit": ("1f3af", "bullseye"),
    "ratoli": ("1f5b1-fe0f", "computer mouse"),
    "avall": ("2b07-fe0f", "down arrow"),
    "amunt": ("2b06-fe0f", "up arrow"),
    "ull": ("1f441-fe0f", "eye"),
    "stop": ("1f6d1", "stop sign"),
    "teclat": ("2328-fe0f", "keyboard"),
    "escriure": ("1f4dd", "memo"),
    "obrir": ("1f4c2", "open file folder"),
    "editar": ("270f-fe0f", "pencil"),
    "sortir": ("1f6aa", "door"),
    "pantalla": ("1f5a5-fe0f", "desktop computer"),
    "centre": ("23fa-fe0f", "record button"),
    "dalt-esquerra": ("2196-fe0f", "up-left arrow"),
    "dalt-dreta": ("2197-fe0f", "up-right arrow"),
    "baix-dreta": ("2198-fe0f", "down-right arrow"),
    "baix-esquerra": ("2199-fe0f", "down-left arrow"),
    "calculadora": ("1f9ee", "abacus"),
    # Menu-board options
    "efecte3d": ("1f3b2", "game die"),
    "etiqueta": ("1f3f7-fe0f", "label"),
    "centrar": ("2194-fe0f", "left-right arrow"),
    "intercanviar": ("1f503", "clockwise vertical arrows"),
    "polsador": ("1f518", "radio button"),
    "horitzontal": ("27a1-fe0f", "right arrow"),
    "fixar": ("1f4cd", "round pushpin"),
    "botons": ("1f39b-fe0f", "control knobs"),
    "missatge": ("1f4ac", "speech balloon"),
    "llibre": ("1f4d6", "open book"),
    "finestra": ("1fa9f", "window"),
    "amagar": ("1f648", "see-no-evil monkey"),
}
for _d in range(10):
    PICTURES["num%d" % _d] = ("%04x-fe0f-20e3" % (0x30 + _d), "keycap: %d" % _d)

# Button-bar pictures, drawn at 50 x 50 px from the 64 px images.
BUTTONS = {
    "inici": ("1f3e0", "house", "Inici"),
    "anterior": ("1f519", "BACK arrow", "Anterior"),
    "ultima": ("1f4ac", "speech balloon", "Última"),
    "llegir": ("1f5e3-fe0f", "speaking head", "Llegir"),
    "ultim": ("2b05-fe0f", "left arrow", "Últim"),
    "paraula": ("2702-fe0f", "scissors", "Paraula"),
    "esborrar": ("1f5d1-fe0f", "wastebasket", "Esborrar"),
    "parlar": ("1f50a", "speaker high volume", "Símbol, speech on"),
    "noparlar": ("1f507", "muted speaker", "Símbol, speech off"),
}
BUTTON_SIZE = 50

# The start picture data/NxeoQuadrix.png is drawn by scripts/make-start-picture.py.

PIC_FROM_BOARD = "..\\..\\pictures\\"      # boards live in data/boards/<language>/
PIC_FROM_MENU = "pictures\\"               # the menu board lives in data/

# ---------------------------------------------------------------------------
# Boards


class Cell:
    def __init__(self, caption="", read=None, picture="", sf="", link="", colour=BLACK,
                 bold=None, size=None):
        self.caption = caption
        self.read = caption if read is None else read
        self.picture = picture
        self.sf = sf
        self.link = link
        self.colour = colour
        self.bold = bold
        self.size = size  # font size of this cell when it differs from the board's


def empty_cell():
    return Cell("", "", colour=WHITE)


# Window rectangle of the boards: inside a 1366 x 768 screen with a panel of up to 40 px.
WINDOW = (100, 20, 1000, 690)
# Font size of captions too long for a cell at the board's own size on such a screen.
LONG_CAPTION_SIZE = 13
# Font size of the keyboards' keys that carry a word ("Esborrar", "Externa").
KEY_WORD_SIZE = 12
# Font size of the menu board: its longest captions, with the "V - " of an option that is on,
# fit a column of seven on a 1366 px wide screen.
MENU_SIZE = 11


class Board:
    def __init__(self, path, columns, rows, size, cells, bold=True, letters=False,
                 button_bar=True, message_bar=True, position=0, center=True,
                 window=WINDOW, pic_prefix=PIC_FROM_BOARD):
        if len(cells) != columns * rows:
            raise ValueError("%s: %d cells for a %dx%d grid" % (path, len(cells), columns, rows))
        self.path = path
        self.columns = columns
        self.rows = rows
        self.size = size
        self.cells = cells
        self.bold = bold
        self.letters = letters
        self.button_bar = button_bar
        self.message_bar = message_bar
        self.position = position
        self.center = center
        self.window = window
        self.pic_prefix = pic_prefix


def font_height(size):
    return -int(size * 96 / 72 + 0.5)


def board_text(board):
    out = []
    add = out.append
    add("[Quadrix]")
    add("Name=Quadrix")
    add("autor=Vellumor")
    add("")
    left, top, width, height = board.window
    add("[Position]")
    add("Left=%d" % left)
    add("Top=%d" % top)
    add("Width=%d" % width)
    add("Height=%d" % height)
    add("")
    add("[Grid]")
    add("Columns=%d" % board.columns)
    add("Rows=%d" % board.rows)
    add("Frame Color=0")
    add("")
    add("[Grid Font]")
    add("Charset=0")
    add("Color=0")
    add("Height=%d" % font_height(board.size))
    add("Name=Arial")
    add("Size=%d" % board.size)
    add("fsBold=%d" % board.bold)
    add("fsItalic=0")
    add("fsUnderline=0")
    add("fsStrikeOut=0")
    add("")
    add("[Menu Options 2]")
    add("Center Captions=%d" % board.center)
    add("WordWrap=0")
    add("Show Button Bar=%d" % board.button_bar)
    add("Show Message Bar=%d" % board.message_bar)
    add("Write only letters or words=%d" % board.letters)
    add("MenuEscriureTextALlegir=0")
    add("Always visible=0")
    add("Send to extern window=0")
    add("MenuQdxForcingBeOnTop=0")
    add("MenuQdxPosition=%d" % board.position)
    for n, cell in enumerate(board.cells, 1):
        bold = board.bold if cell.bold is None else cell.bold
        size = board.size if cell.size is None else cell.size
        add("")
        add("[Cell %d]" % n)
        add("Picture=%s" % (board.pic_prefix + cell.picture + ".png" if cell.picture else ""))
        add("Caption=%s" % cell.caption)
        add("Read=%s" % cell.read)
        add("Special Function=%s" % cell.sf)
        add("Link=%s" % cell.link)
        add("Frame cell color=%d" % cell.colour)
        add("Font Charset=0")
        add("Font Color=0")
        add("Font Height=%d" % font_height(size))
        add("Font Name=Arial")
        add("Font Size=%d" % size)
        add("Font fsBold=%d" % bold)
        add("Font fsItalic=0")
        add("Font fsUnderline=0")
        add("Font fsStrikeOut=0")
    return out


def write_windows_text(path, lines):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    data = ("\r\n".join(lines) + "\r\n").encode("cp1252")
    with open(path, "wb") as f:
        f.write(data)


# Words of one language. Keys are shared; values are (caption, read) or a caption.
CA = {
    "home": "Inici", "hola": "Hola", "adeu": "Adéu", "bondia": "Bon dia",
    "sisplau": "Si us plau", "gracies": "Gràcies", "perdo": "Perdó",
    "jo": "Jo", "tu": "Tu", "mare": "Mare", "pare": "Pare", "vull": "Vull", "tinc": "Tinc",
    "aigua": "Aigua", "pa": "Pa", "lavabo": "Lavabo", "dormir": "Dormir",
    "mal": "Em fa mal", "ajuda": "Ajuda", "content": "Content", "trist": "Trist",
    "si": "Sí", "no": "No", "que": "Què?", "menu": "Menú",
    "lletres": "Lletres", "numeros": "Números", "sentiments": "Sentiments",
    "menjar": "Menjar", "persones": "Persones", "other": "Castellano",
    "gana": "Tinc gana", "set": "Tinc set", "mes": "Més", "prou": "Prou",
    "llet": "Llet", "suc": "Suc", "formatge": "Formatge", "ou": "Ou", "poma": "Poma",
    "platan": "Plàtan", "galeta": "Galeta", "xocolata": "Xocolata", "gelat": "Gelat",
    "pizza": "Pizza", "macarrons": "Macarrons", "arros": "Arròs",
    "estic": "Estic", "enfadat": "Enfadat", "cansat": "Cansat", "espantat": "Espantat",
    "sorpres": "Sorprès", "avorrit": "Avorrit", "nervios": "Nerviós", "malalt": "Malalt",
    "fred": "Tinc fred", "calor": "Tinc calor", "magrada": "M'agrada",
    "nomagrada": "No m'agrada",
    "nosaltres": "Nosaltres", "qui": "Qui?", "nen": "Nen", "nena": "Nena", "nado": "Nadó",
    "avi": "Avi", "avia": "Àvia", "ell": "Ell", "ella": "Ella", "gos": "Gos",
    "mestre": "Mestre", "metge": "Metge", "amics": "Amics", "familia": "Família",
    "gat": "Gat", "teclat": "Teclat", "calculadora": "Calculadora",
    "espai": ("espai", "espai"), "punt": (".", "punt"), "interrog": ("?", "interrogant"),
    "coma": (",", "coma"), "obre": ("(", "obre parèntesi"), "tanca": (")", "tanca parèntesi"),
    "llegir": "Llegir", "esborra": "Esborra", "esbparaula": "Esborra paraula",
    "esbtot": "Esborra tot",
    "op+": ("+", "més"), "op-": ("-", "menys"), "op*": ("*", "per"),
    "op/": ("/", "dividit per"), "op=": ("=", "igual"),
    "digits": ["zero", "u", "dos", "tres", "quatre", "cinc", "sis", "set", "vuit", "nou"],
}

ES = {
    "home": "Inicio", "hola": "Hola", "adeu": "Adiós", "bondia": "Buenos días",
    "sisplau": "Por favor", "gracies": "Gracias", "perdo": "Perdón",
    "jo": "Yo", "tu": "Tú", "mare": "Mamá", "pare": "Papá", "vull": "Quiero",
    "tinc": "Tengo",
    "aigua": "Agua", "pa": "Pan", "lavabo": "Baño", "dormir": "Dormir",
    "mal": "Me duele", "ajuda": "Ayuda", "content": "Contento", "trist": "Triste",
    "si": "Sí", "no": "No", "que": "¿Qué?", "menu": "Menú",
    "lletres": "Letras", "numeros": "Números", "sentiments": "Sentimientos",
    "menjar": "Comida", "persones": "Personas", "other": "Català",
    "gana": "Tengo hambre", "set": "Tengo sed", "mes": "Más", "prou": "Basta",
    "llet": "Leche", "suc": "Zumo", "formatge": "Queso", "ou": "Huevo",
    "poma": "Manzana", "platan": "Plátano", "galeta": "Galleta", "xocolata": "Chocolate",
    "gelat": "Helado", "pizza": "Pizza", "macarrons": "Macarrones", "arros": "Arroz",
    "estic": "Estoy", "enfadat": "Enfadado", "cansat": "Cansado", "espantat": "Asustado",
    "sorpres": "Sorprendido", "avorrit": "Aburrido", "nervios": "Nervioso",
    "malalt": "Enfermo", "fred": "Tengo frío", "calor": "Tengo calor",
    "magrada": "Me gusta", "nomagrada": "No me gusta",
    "nosaltres": "Nosotros", "qui": "¿Quién?", "nen": "Niño", "nena": "Niña",
    "nado": "Bebé", "avi": "Abuelo", "avia": "Abuela", "ell": "Él", "ella": "Ella",
    "gos": "Perro", "mestre": "Maestro", "metge": "Médico", "amics": "Amigos",
    "familia": "Familia", "gat": "Gato", "teclat": "Teclado", "calculadora": "Calculadora",
    "espai": ("espacio", "espacio"), "punt": (".", "punto"),
    "interrog": ("?", "interrogación"), "coma": (",", "coma"),
    "obre": ("(", "abre paréntesis"), "tanca": (")", "cierra paréntesis"),
    "llegir": "Leer", "esborra": "Borrar", "esbparaula": "Borrar palabra",
    "esbtot": "Borrar todo",
    "op+": ("+", "más"), "op-": ("-", "menos"), "op*": ("*", "por"),
    "op/": ("/", "dividido entre"), "op=": ("=", "igual"),
    "digits": ["cero", "uno", "dos", "tres", "cuatro", "cinco", "seis", "siete", "ocho",
               "nueve"],
}


def language_boards(lang):
    """The home board and its five sub-boards of one language."""
    w = CA if lang == "ca" else ES
    files = {
        "ca": dict(home="inici.qdx", lletres="alfabet.qdx", numeros="numeros.qdx",
                   menjar="menjar.qdx", sentiments="sentiments.qdx",
                   persones="persones.qdx", teclat="teclat.qdx", calculadora="calculadora.qdx",
                   other="..\\es\\inicio.qdx"),
        "es": dict(home="inicio.qdx", lletres="alfabeto.qdx", numeros="numeros.qdx",
                   menjar="comida.qdx", sentiments="sentimientos.qdx",
                   persones="personas.qdx", teclat="teclado.qdx", calculadora="calculadora.qdx",
                   other="..\\ca\\inici.qdx"),
    }[lang]

    def c(key, colour, picture=None, sf="", link="", size=None):
        v = w[key]
        caption, read = v if isinstance(v, tuple) else (v, v)
        return Cell(caption, read, key if picture is None else picture, sf, link, colour, size=size)

    def home():
        return c("home", CONTROL, "casa", link=files["home"])

    def to(key):
        return c(key, LINK, link=files[key])

    boards = []
    d = "boards/%s/" % lang

    # The home board links every other board of its language, the keyboard and calculator included.
    boards.append(Board(d + files["home"], 7, 5, 16, [
        c("hola", SOCIAL), c("adeu", SOCIAL), c("bondia", SOCIAL), c("sisplau", SOCIAL),
        c("gracies", SOCIAL), c("perdo", SOCIAL), c("ajuda", SOCIAL),
        c("jo", PEOPLE), c("tu", PEOPLE), c("mare", PEOPLE), c("pare", PEOPLE),
        c("vull", VERB), c("tinc", VERB), c("mal", VERB),
        c("aigua", NOUN), c("pa", NOUN), c("lavabo", NOUN), c("dormir", VERB),
        c("mes", DESCR), c("content", DESCR), c("trist", DESCR),
        c("si", SOCIAL), c("no", SOCIAL), c("que", SOCIAL), c("magrada", VERB),
        c("nomagrada", VERB), c("menu", CONTROL, sf="<OBRIR FORM MENU>"),
        c("other", LINK, "castella" if lang == "ca" else "catala", link=files["other"]),
        to("lletres"), to("numeros"), to("teclat"), to("calculadora"), to("sentiments"),
        to("menjar"), to("persones"),
    ], window=(80, 20, 1120, 690)))

    # Alphabet: typing board, the letters go into the message editor.
    extra = "Ç" if lang == "ca" else "Ñ"
    letters = [chr(x) for x in range(ord("A"), ord("Z") + 1)]
    letters.insert(3 if lang == "ca" else 14, extra)
    cells = [Cell(ch, ch, colour=BLACK) for ch in letters]
    erase_last = "<ESBORRAR ÚLTIM>" if lang == "ca" else "<ESBORRAR ULTIM>"
    cells += [
        c("espai", CONTROL, "", sf="<SPACE>"), c("punt", BLACK, ""), c("interrog", BLACK, ""),
        home(), to("numeros"),
        c("llegir", CONTROL, "buttons\\llegir", sf="<LLEGIR MISSATGE>"),
        c("esborra", CONTROL, "buttons\\ultim", sf=erase_last),
        c("esbparaula", CONTROL, "buttons\\paraula", sf="<ESBORRAR ULTIMA PARAULA>",
          size=LONG_CAPTION_SIZE),
        c("esbtot", CONTROL, "buttons\\esborrar", sf="<ESBORRAR TOT>", size=LONG_CAPTION_SIZE),
    ]
    boards.append(Board(d + files["lletres"], 6, 6, 20, cells, letters=True))

    # Numbers: typing board; "=" evaluates the line in the message editor.
    digit = lambda n: Cell(str(n), w["digits"][n], "num%d" % n, colour=BLACK)
    boards.append(Board(d + files["numeros"], 6, 4, 20, [
        digit(1), digit(2), digit(3), digit(4), digit(5), c("op+", DESCR, "mes"),
        digit(6), digit(7), digit(8), digit(9), digit(0), c("op-", DESCR, "menys"),
        c("obre", DESCR, ""), c("tanca", DESCR, ""), c("coma", DESCR, ""),
        c("op*", DESCR, "per"), c("op/", DESCR, "dividit"),
        c("op=", DESCR, "igual", sf="<CALCULAR>"),
        home(), to("lletres"),
        c("llegir", CONTROL, "buttons\\llegir", sf="<LLEGIR MISSATGE>"),
        c("esborra", CONTROL, "buttons\\ultim", sf="<ESBORRAR ULTIM>"),
        c("esbtot", CONTROL, "buttons\\esborrar", sf="<ESBORRAR TOT>", size=LONG_CAPTION_SIZE),
        c("espai", CONTROL, "", sf="<SPACE>"),
    ], letters=True))

    boards.append(Board(d + files["menjar"], 5, 4, 16, [
        home(), c("gana", DESCR), c("set", DESCR), c("vull", VERB), c("mes", DESCR),
        c("prou", SOCIAL), c("aigua", NOUN), c("llet", NOUN), c("suc", NOUN), c("pa", NOUN),
        c("formatge", NOUN), c("ou", NOUN), c("poma", NOUN), c("platan", NOUN),
        c("galeta", NOUN), c("xocolata", NOUN), c("gelat", NOUN), c("pizza", NOUN),
        c("macarrons", NOUN), c("arros", NOUN),
    ], window=(160, 20, 860, 690)))

    boards.append(Board(d + files["sentiments"], 4, 4, 18, [
        home(), c("estic", VERB, "jo"), c("content", DESCR), c("trist", DESCR),
        c("enfadat", DESCR), c("cansat", DESCR), c("espantat", DESCR), c("sorpres", DESCR),
        c("avorrit", DESCR), c("nervios", DESCR), c("malalt", DESCR), c("mal", VERB),
        c("fred", DESCR), c("calor", DESCR), c("magrada", VERB), c("nomagrada", VERB),
    ], window=(200, 20, 760, 700)))

    boards.append(Board(d + files["persones"], 5, 4, 16, [
        home(), c("jo", PEOPLE), c("tu", PEOPLE), c("nosaltres", PEOPLE),
        c("qui", SOCIAL, "que"),
        c("mare", PEOPLE), c("pare", PEOPLE), c("nen", PEOPLE), c("nena", PEOPLE),
        c("nado", PEOPLE), c("avi", PEOPLE), c("avia", PEOPLE), c("ell", PEOPLE),
        c("ella", PEOPLE), c("gos", NOUN), c("mestre", PEOPLE), c("metge", PEOPLE),
        c("amics", PEOPLE), c("familia", PEOPLE, "persones"), c("gat", NOUN),
    ], window=(160, 20, 860, 690)))
    return boards


def menu_board():
    """The options board opened from "Menú": each cell switches one menu option."""
    def m(caption, sf, picture="", colour=DESCR):
        return Cell(caption, caption, picture, sf, "", colour)

    cells = [
        m("Volver", "<NEXO_QDX_ANTERIOR>", "buttons\\anterior", CONTROL),
        m("Plafón de inicio", "<CASA>", "casa", CONTROL),
        m("Hablar", "<NEXO_MENU_MenuSpeak>", "altaveu", VERB),
        m("Efecto 3D", "<NEXO_MENU_MenuEfecto3D>", "efecte3d", VERB),
        m("Captions debajo", "<NEXO_MENU_MenuCaptionDown>", "etiqueta", VERB),
        m("Centrar captions", "<NEXO_MENU_MenuCentrarCaptions>", "centrar", VERB),
        m("Intercambiar barras", "<NEXO_MENU_MenuSwapBars>", "intercanviar", VERB),

        m("Barrido automático", "<NEXO_MENU_MenuEscaneigAutomatic>", "escaneig", NOUN),
        m("Barrido dirigido", "<NEXO_MENU_MenuEscaneigDirigit>", "dirigit", NOUN),
        m("Barrido clic derecho", "<NEXO_MENU_MenuEscaneigAutomaticActivatAmbClicDretPremut>",
          "polsador", NOUN),
        m("Sin barrido vertical", "<NEXO_MENU_MenuSenseEscaneigVertical>", "horitzontal", NOUN),
        m("No reiniciar barrido", "<NEXO_MENU_MenuAlClicarNoIniciaPosicioMouse>", "fixar", NOUN),
        m("Mouse down", "<NEXO_MENU_MenuMouseDown>", "ratoli", NOUN),
        m("Mouse up", "<NEXO_MENU_MenuMouseUp>", "ratoli", NOUN),

        m("Clic automático", "<NEXO_MENU_MenuClicAutomaticALEstarEnUnacasella>", "ull", NOUN),
        m("No permitir clics", "<NEXO_MENU_MenuNoPermeteClicks>", "stop", NOUN),
        m("Ver barra de botones", "<NEXO_MENU_MenuVerBarraBotones>", "botons", PEOPLE),
        m("Ver barra de mensaje", "<NEXO_MENU_MenuVerBarraMensaje>", "missatge", PEOPLE),
        m("Letras o palabras", "<NEXO_MENU_MenuEscribirLetrasOPalabras>", "escriure",
          PEOPLE),
        m("Escribir texto a leer", "<NEXO_MENU_MenuEscribirTextoALeer>", "llibre", PEOPLE),
        m("Ventana externa", "<NEXO_MENU_NonFocusable>", "teclat", PEOPLE),

        m("Posición por defecto", "<NEXO_MENU_MenuPositionDefault>", "finestra", SOCIAL),
        m("Maximizada", "<NEXO_MENU_MenuPositionMaximized>", "pantalla", SOCIAL),
        m("Centro de la pantalla", "<NEXO_MENU_MenuPositionScreenCenter>", "centre", SOCIAL),
        m("Arriba centro", "<NEXO_MENU_MenuPositionTopCenter>", "amunt", SOCIAL),
        m("Abajo centro", "<NEXO_MENU_MenuPositionBottomCenter>", "avall", SOCIAL),
        m("No menu. No caption", "<NEXO_MENU_NoMenuNoCaption>", "amagar", PEOPLE),
        m("Parar barrido", "<PARAR ESCANEIG>", "stop", NOUN),

        m("Arriba izquierda", "<NEXO_MENU_MenuPositionTopLeft>", "dalt-esquerra", SOCIAL),
        m("Arriba derecha", "<NEXO_MENU_MenuPositionTopRight>", "dalt-dreta", SOCIAL),
        m("Abajo izquierda", "<NEXO_MENU_MenuPositionBottomLeft>", "baix-esquerra", SOCIAL),
        m("Abajo derecha", "<NEXO_MENU_MenuPositionBottomRight>", "baix-dreta", SOCIAL),
        m("Abrir plafón", "<NEXO_MENU_Obrir>", "obrir", CONTROL),
        m("Edición", "<NEXO_MENU_Edicion>", "editar", CONTROL),
        m("Salir", "<TANCAR QUADRIX>", "sortir", CONTROL),
    ]
    return Board("Nexo_quadrix_menu.qdx", 7, 5, MENU_SIZE, cells, button_bar=False,
                 message_bar=False, position=1, center=False, window=(0, 0, 1024, 740),
                 pic_prefix=PIC_FROM_MENU)


def keyboard_boards():
    """On-screen keyboards for typing into other programs in the external-window mode."""
    texts = {
        "ca": dict(path="boards/ca/teclat.qdx", home=("Inici", "inici.qdx"), shift=("Maj.", "Majúscules"),
                   space="Espai", back="Esborrar", ret="Retorn", menu="Menú",
                   external=("Externa", "Finestra externa"),
                   arrows=[("Esquerra", "<ESQUERRA>"), ("Dreta", "<DRETA>"), ("Amunt", "<PUJA>"),
                           ("Avall", "<BAIXA>")]),
        "es": dict(path="boards/es/teclado.qdx", home=("Inicio", "inicio.qdx"), shift=("Mayús.", "Mayúsculas"),
                   space="Espacio", back="Borrar", ret="Intro", menu="Menú",
                   external=("Externa", "Ventana externa"),
                   arrows=[("Izquierda", "<IZQUIERDA>"), ("Derecha", "<DERECHA>"),
                           ("Arriba", "<SUBE>"), ("Abajo", "<BAJA>")]),
    }
    # Spoken names of the punctuation keys; a key types its caption and says this.
    names = {
        "ca": {"+": "més", "-": "menys", "*": "per", "/": "barra", "=": "igual", "(": "obre parèntesi",
               ")": "tanca parèntesi", ".": "punt", ",": "coma", "?": "interrogant", "!": "exclamació",
               ";": "punt i coma", ":": "dos punts", '"': "cometes", "'": "apòstrof", "@": "arrova",
               "·": "punt volat"},
        "es": {"+": "más", "-": "menos", "*": "por", "/": "barra", "=": "igual", "(": "abre paréntesis",
               ")": "cierra paréntesis", ".": "punto", ",": "coma", "?": "interrogación",
               "!": "exclamación", ";": "punto y coma", ":": "dos puntos", '"': "comillas",
               "'": "apóstrofo", "@": "arroba", "·": "punto volado"},
    }
    boards = []
    for lang, t in texts.items():
        # Keys named by a word get a smaller font than the characters, so that "V - Externa"
        # (the external-window mode on) still fits a key on a 1366 px wide screen.
        def key(caption, sf, colour=CONTROL):
            caption, read = caption if isinstance(caption, tuple) else (caption, caption)
            return Cell(caption, read, "", sf, "", colour, size=KEY_WORD_SIZE)
        said = names[lang]
        # Rows of 13: two of letters, the language's letters and marks, digits with the operators
        # ("2+2=4"), punctuation and the editing keys, then arrows, modifiers and the way out.
        chars = [chr(x) for x in range(ord("a"), ord("z") + 1)]
        chars += ["ç", "ñ", "à", "è", "é", "í", "ò", "ó", "ú", "·", "'", '"', "@"]
        chars += [str(n) for n in range(1, 10)] + ["0", "+", "-", "="]
        chars += [".", ",", "?", "!", ";", ":", "(", ")", "*", "/"]
        cells = [Cell(ch, said.get(ch, ch), colour=BLACK) for ch in chars]
        cells += [key(t["space"], "<SPACE>"), key(t["back"], "<BACKSPACE>"),
                  key(t["ret"], "<RETURN>")]
        cells += [key(caption, sf, DESCR) for caption, sf in t["arrows"]]
        cells += [key(t["shift"], "<NEXO_KEY_SHIFT>", VERB), key("Control", "<NEXO_KEY_CONTROL>", VERB),
                  key("Alt", "<NEXO_KEY_ALT>", VERB), key("AltGr", "<NEXO_KEY_ALT_GR>", VERB)]
        cells += [key(t["external"], "<NEXO_MENU_NonFocusable>", PEOPLE),
                  key(t["menu"], "<OBRIR FORM MENU>", PEOPLE),
                  Cell(t["home"][0], t["home"][0], "casa", "", t["home"][1], LINK,
                       size=KEY_WORD_SIZE)]
        cells += [empty_cell() for _ in range(13 * 6 - len(cells))]
        boards.append(Board(t["path"], 13, 6, 16, cells, letters=True, message_bar=False,
                            window=(20, 340, 1320, 380)))
    return boards


QUADRIX_INI = [
    "; Quadrix.ini: tuning values read once at start; the player never writes this file.",
    "",
    "[quadrix]",
    "; Scan step in tenths of a second (1 to 100; anything else means 15).",
    "Dècimes de segon que dura el pas d'escaneig=15",
    "; Cells in the message bar (1 to 21; anything else means 6).",
    "Número de fitxes visibles al panell missatges=6",
    "; Dwell click: milliseconds the pointer must rest on a cell (0 or less means 1000).",
    "Milisegons Clic Automatic=1000",
    "; Sound clicks: the peak a sound must pass to click. Single channel (8 bits) 1 to 126, default 30;",
    "; stereo (16 bits) 1 to 32766, default 7740 (the same share of full scale). Out of range means the default.",
    "Llindar so=30",
    "Llindar so estereo=7740",
    "",
    "[MARC]",
    "; Pen width of the cell frames in pixels (1 to 100; anything else means 2).",
    "GRUIXUDARIA=2",
    "; Gap between a cell's slot and its frame in pixels (0 to 100; anything else means 2).",
    "SEPARACIO ENTRE CASELLES=2",
    "",
    "[Font Missatge]",
    "; Font of the message editor used by the letters-or-words mode.",
    "; Negreta, Itàlica, Subrratllat and Tatxat switch a style on only with the text SÍ.",
    "Name=Arial",
    "Size=20",
    "Color=0",
    "Charset=0",
    "Height=0",
    "Negreta=NO",
    "Itàlica=NO",
    "Subrratllat=NO",
    "Tatxat=NO",
]


def calculator_board(lang):
    """A calculator for the message editor: what the cells write is evaluated by "=" in place."""
    words = {
        "ca": dict(home="Inici", equals="igual", read="Llegir", erase="Esborra", clear="Esborra tot",
                   menu="Menú", comma="coma", open="obre parèntesi", close="tanca parèntesi",
                   plus="més", minus="menys", times="per", divided="dividit per", power="elevat a",
                   sin="sinus de", cos="cosinus de", tan="tangent de", abs="valor absolut de",
                   log="logaritme de", digits=CA["digits"]),
        "es": dict(home="Inicio", equals="igual", read="Leer", erase="Borrar", clear="Borrar todo",
                   menu="Menú", comma="coma", open="abre paréntesis", close="cierra paréntesis",
                   plus="más", minus="menos", times="por", divided="dividido entre",
                   power="elevado a", sin="seno de", cos="coseno de", tan="tangente de",
                   abs="valor absoluto de", log="logaritmo de", digits=ES["digits"]),
    }[lang]
    home_board = "inici.qdx" if lang == "ca" else "inicio.qdx"

    def key(caption, read, picture="", colour=BLACK):
        return Cell(caption, read, picture, colour=colour)

    def digit(n):
        return key(str(n), words["digits"][n], "num%d" % n)

    # Function names the calculator reads: sine, cosine and tangent in degrees, as pupils use them.
    cells = [
        digit(7), digit(8), digit(9), key("/", words["divided"], "dividit", DESCR),
        key("(", words["open"], colour=DESCR), key(")", words["close"], colour=DESCR),
        digit(4), digit(5), digit(6), key("*", words["times"], "per", DESCR),
        key("^", words["power"], colour=DESCR), key("SEG(", words["sin"], colour=VERB),
        digit(1), digit(2), digit(3), key("-", words["minus"], "menys", DESCR),
        key("COG(", words["cos"], colour=VERB), key("TAG(", words["tan"], colour=VERB),
        digit(0), key(",", words["comma"], colour=DESCR), key("ABS(", words["abs"], colour=VERB),
        key("+", words["plus"], "mes", DESCR), key("LOG(", words["log"], colour=VERB),
        Cell("=", words["equals"], "igual", "<CALCULAR>", colour=CONTROL),
        Cell(words["home"], words["home"], "casa", link=home_board, colour=CONTROL),
        Cell(words["read"], words["read"], "buttons\\llegir", "<LLEGIR MISSATGE>", colour=CONTROL),
        Cell(words["erase"], words["erase"], "buttons\\ultim", "<ESBORRAR ULTIM>", colour=CONTROL),
        Cell(words["clear"], words["clear"], "buttons\\esborrar", "<ESBORRAR TOT>", colour=CONTROL),
        Cell(words["menu"], words["menu"], "menu", "<OBRIR FORM MENU>", colour=CONTROL),
        empty_cell(),
    ]
    return Board("boards/%s/calculadora.qdx" % lang, 6, 5, 20, cells, letters=True)


def all_boards():
    return (language_boards("ca") + language_boards("es") + [menu_board()] + keyboard_boards()
            + [calculator_board("ca"), calculator_board("es")])


# ---------------------------------------------------------------------------
# Minimal PNG reading, resampling and writing (8-bit RGBA, palette or RGB input)


def png_read(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("%s: not a PNG" % path)
    pos, idat, palette, trns = 8, b"", None, None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            width, height, depth, ctype, _, _, interlace = struct.unpack(">IIBBBBB", body)
        elif kind == b"PLTE":
            palette = [tuple(body[i:i + 3]) for i in range(0, len(body), 3)]
        elif kind == b"tRNS":
            trns = body
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
    if depth != 8 or interlace or ctype not in (2, 3, 6):
        raise ValueError("%s: unsupported PNG kind" % path)
    channels = {2: 3, 3: 1, 6: 4}[ctype]
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, prev = [], bytearray(stride)
    for y in range(height):
        base = y * (stride + 1)
        ftype, line = raw[base], bytearray(raw[base + 1:base + 1 + stride])
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = prev[i]
            c = prev[i - channels] if i >= channels else 0
            if ftype == 1:
                line[i] = (line[i] + a) & 255
            elif ftype == 2:
                line[i] = (line[i] + b) & 255
            elif ftype == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif ftype == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pred = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                line[i] = (line[i] + pred) & 255
        rows.append(line)
        prev = line
    pixels = []
    for line in rows:
        out = []
        for x in range(width):
            if ctype == 6:
                out.append(tuple(line[x * 4:x * 4 + 4]))
            elif ctype == 2:
                out.append(tuple(line[x * 3:x * 3 + 3]) + (255,))
            else:
                i = line[x]
                alpha = trns[i] if trns is not None and i < len(trns) else 255
                out.append(palette[i] + (alpha,))
        pixels.append(out)
    return width, height, pixels


def png_write(path, width, height, pixels):
    raw = bytearray()
    for row in pixels:
        raw.append(0)
        for px in row:
            raw.extend(px)

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(
            ">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6,
                                                               0, 0, 0))
    data += chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b"")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def weights(src, dst):
    """Triangle-filter weights per output sample, widened when shrinking (antialiasing)."""
    scale = src / dst
    support = max(1.0, scale)
    table = []
    for o in range(dst):
        centre = (o + 0.5) * scale
        lo = max(0, int(centre - support))
        hi = min(src, int(centre + support) + 1)
        ws = []
        for i in range(lo, hi):
            w = max(0.0, 1.0 - abs((i + 0.5 - centre) / support))
            if w > 0:
                ws.append((i, w))
        total = sum(w for _, w in ws)
        table.append([(i, w / total) for i, w in ws])
    return table


def resample(width, height, pixels, new_w, new_h):
    # Premultiplied alpha, so transparent pixels do not bleed their colour into edges.
    pre = [[(r * a / 255.0, g * a / 255.0, b * a / 255.0, float(a)) for r, g, b, a in row]
           for row in pixels]
    wx, wy = weights(width, new_w), weights(height, new_h)
    horiz = [[tuple(sum(row[i][k] * w for i, w in wx[o]) for k in range(4))
              for o in range(new_w)] for row in pre]
    out = []
    for o in range(new_h):
        line = []
        for x in range(new_w):
            acc = [sum(horiz[i][x][k] * w for i, w in wy[o]) for k in range(4)]
            a = acc[3]
            if a < 0.5:
                line.append((0, 0, 0, 0))
            else:
                line.append(tuple(min(255, max(0, int(round(v * 255.0 / a)))) for v in acc[:3])
                            + (min(255, int(round(a))),))
        out.append(line)
    return out


def make_pictures(emoji_dir, data_dir):
    src64 = os.path.join(emoji_dir, "img", "twitter", "64")
    pic_dir = os.path.join(data_dir, "pictures")
    os.makedirs(os.path.join(pic_dir, "buttons"), exist_ok=True)
    for name, (code, _) in PICTURES.items():
        with open(os.path.join(src64, code + ".png"), "rb") as f:
            data = f.read()
        with open(os.path.join(pic_dir, name + ".png"), "wb") as f:
            f.write(data)
    for name, (code, _, _) in BUTTONS.items():
        w, h, px = png_read(os.path.join(src64, code + ".png"))
        png_write(os.path.join(pic_dir, "buttons", name + ".png"), BUTTON_SIZE, BUTTON_SIZE,
                  resample(w, h, px, BUTTON_SIZE, BUTTON_SIZE))
    with open(os.path.join(emoji_dir, "package.json"), encoding="utf-8") as f:
        version = json.load(f)["version"]
    with open(os.path.join(emoji_dir, "LICENSE"), encoding="utf-8") as f:
        package_licence = f.read()
    write_licences(pic_dir, version, package_licence)


START_PICTURE_LICENCE = [
    "",
    "## Start picture",
    "",
    "`data/NxeoQuadrix.png` (1920 x 1080 px, a board of coloured cells beside a speech",
    "bubble) is an original drawing made for NexoQuadrix by `scripts/make-start-picture.py`,",
    "which draws it from geometric shapes; it uses no other picture. It is dedicated to the",
    "public domain under CC0 1.0 (https://creativecommons.org/publicdomain/zero/1.0/).",
]


def write_licences(pic_dir, version, package_licence):
    lines = [
        "# Picture licences",
        "",
        "Every picture under `data/pictures/` comes from Twemoji, taken from the npm package",
        "`emoji-datasource-twitter` version %s (`img/twitter/64/`, 64 x 64 px PNG)." % version,
        "The start picture `data/NxeoQuadrix.png` is the only other picture (see its section).",
        "",
        "## Licence of the graphics",
        "",
        "Twemoji graphics: Copyright 2019 Twitter, Inc and other contributors; the",
        "package draws from the maintained fork https://github.com/jdecked/twemoji and its",
        "contributors. Licensed under the Creative Commons Attribution 4.0 International",
        "licence (CC BY 4.0), https://creativecommons.org/licenses/by/4.0/ (full legal",
        "text: https://creativecommons.org/licenses/by/4.0/legalcode).",
        "",
        "Attribution line, as the licence asks:",
        "",
        "> Emoji graphics from Twemoji (https://github.com/jdecked/twemoji), by Twitter, Inc",
        "> and other contributors, licensed under CC BY 4.0",
        "> (https://creativecommons.org/licenses/by/4.0/). The button-bar pictures were",
        "> resized; the other pictures are unchanged.",
        "",
        "## Licence of the package",
        "",
        "The package's own files (data, scripts) are under the MIT licence of its",
        "`LICENSE` file, reproduced here:",
        "",
        "```",
    ] + package_licence.rstrip("\n").split("\n") + [
        "```",
        "",
        "## Pictures and their original files",
        "",
        "Cell pictures, copied unchanged (`data/pictures/`):",
        "",
        "| Picture | Original file | Emoji |",
        "|---|---|---|",
    ]
    for name, (code, what) in sorted(PICTURES.items()):
        lines.append("| `%s.png` | `img/twitter/64/%s.png` | %s |" % (name, code, what))
    lines += [
        "",
        "Button-bar pictures (`data/pictures/buttons/`), resized from 64 x 64 to %d x %d px"
        % (BUTTON_SIZE, BUTTON_SIZE),
        "by `scripts/make-demo-boards.py`:",
        "",
        "| Picture | Button | Original file | Emoji |",
        "|---|---|---|---|",
    ]
    for name, (code, what, button) in BUTTONS.items():
        lines.append("| `buttons/%s.png` | %s | `img/twitter/64/%s.png` | %s |"
                     % (name, button, code, what))
    lines += START_PICTURE_LICENCE
    with open(os.path.join(pic_dir, "LICENCES.md"), "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


# ---------------------------------------------------------------------------
# Checking


# Tokens a cell's Special Function may carry (after accents are folded).
KNOWN_TOKENS = {
    "<NEXOQUADRIX>", "<TANCAR APLICACIO>", "<TANCAR QUADRIX>", "<CALCULAR>", "<CASA>",
    "<LLEGIR ULTIMA PARAULA>", "<LLEGIR MISSATGE>", "<ESBORRAR ULTIM>",
    "<ESBORRAR ULTIMA PARAULA>", "<ESBORRAR TOT>", "<LLEGIR SIMBOL ACTUAL>",
    "<NEXO_QDX_ANTERIOR>", "<TORNAR PLAFO ANTERIOR>", "<OBRIR FORM MENU>",
    "<NEXO_MENU_Edicion>", "<NEXO_MENU_Obrir>", "<ESCANEIG AUTOMATIC>", "<PARAR ESCANEIG>",
    "<AJUSTAR FINESTRA RECEPTORA>", "<IMPRIMIR>", "<LLEGIR LINIA>",
    "<MISSATGE A FINESTRA EXTERNA>", "<NEXO_REPOSAR>", "<NO HE DE CANVIAR DE LLOC>",
    "<SALTAR ESCANEIG>",
    "<RETURN>", "<INSERT>", "<TAB>", "<SHIFT F6>", "<ALT F4>", "<ALT LEFT>", "<ALT RIGHT>",
    "<ALT HOME>", "<SHIFT TAB>", "<AV.PAG.>", "<RE.PAG.>", "<ESQUERRA>", "<IZQUIERDA>",
    "<DRETA>", "<DERECHA>", "<PUJA>", "<SUBE>", "<BAIXA>", "<BAJA>", "<HOME>", "<END>",
    "<FI>", "<FIN>", "<INICI>", "<INICIO>", "<ESC>", "<DELETE>", "<SPACE>", "<BACKSPACE>",
    "<CONTROL+C>", "<CONTROL+V>", "<CONTROL+Z>", "<CONTROL+O>", "<CONTROL+A>",
    "<CONTROL+SHIFT+S>", "<NEXO_KEY_SHIFT>", "<NEXO_KEY_CONTROL>", "<NEXO_KEY_ALT>",
    "<NEXO_KEY_ALT_GR>", "<NEXO_KEY_LWINDOW>", "<NEXO_KEY_RWINDOW>",
    "<NEXO_KEY_CONTEXT_MENU>",
} | {"<F%d>" % i for i in range(1, 13)} | {"<NEXO_MENU_%s>" % t for t in (
    "MenuSpeak", "NonFocusable", "NoMenuNoCaption", "MenuSwapBars", "MenuCaptionDown",
    "MenuEfecto3D", "MenuCentrarCaptions", "MenuVerBarraBotones", "MenuVerBarraMensaje",
    "MenuEscribirLetrasOPalabras", "MenuEscribirTextoALeer", "MenuPositionDefault",
    "MenuPositionMaximized", "MenuPositionBottomCenter", "MenuPositionScreenCenter",
    "MenuPositionTopCenter", "MenuPositionTopLeft", "MenuPositionBottomLeft",
    "MenuPositionTopRight", "MenuPositionBottomRight", "MenuEscaneigAutomatic",
    "MenuEscaneigDirigit", "MenuEscaneigAutomaticActivatAmbClicDretPremut", "MenuMouseDown",
    "MenuMouseUp", "MenuSenseEscaneigVertical", "MenuAlClicarNoIniciaPosicioMouse",
    "MenuClicAutomaticALEstarEnUnacasella", "MenuNoPermeteClicks")}

FOLD = str.maketrans("ÀÁÂÄàáâäÈÉÊËèéêëÌÍÎÏìíîïÒÓÔÖòóôöÙÚÛÜùúûüÇçÑñ",
                     "AAAAaaaaEEEEeeeeIIIIiiiiOOOOooooUUUUuuuuCcNn", "!?¡¿")


def parse_ini(text):
    sections, current = {}, None
    for line in re.split(r"\r\n|\r|\n", text):
        s = line.strip()
        if s.startswith("[") and s.endswith("]"):
            current = sections.setdefault(s[1:-1].strip().lower(), {})
        elif current is not None and "=" in s and not s.startswith(";"):
            key, value = s.split("=", 1)
            current.setdefault(key.strip().lower(), value.strip())
    return sections


def resolve(folder, name):
    """Case-insensitive lookup of a Windows-style relative name below folder."""
    path = folder
    for part in re.split(r"[\\/]", name):
        if part in ("", "."):
            continue
        if part == "..":
            path = os.path.dirname(path)
            continue
        if not os.path.isdir(path):
            return None
        match = [e for e in os.listdir(path) if e.lower() == part.lower()]
        if not match:
            return None
        path = os.path.join(path, match[0])
    return path if os.path.isfile(path) else None


def check_text_file(path, problems):
    with open(path, "rb") as f:
        data = f.read()
    try:
        text = data.decode("cp1252")
    except UnicodeDecodeError as e:
        problems.append("%s: not Windows-1252 (%s)" % (path, e))
        return None
    if re.search(rb"(?<!\r)\n", data) or re.search(rb"\r(?!\n)", data):
        problems.append("%s: line ends are not all CR LF" % path)
    return text


def check_board(path, problems, used):
    text = check_text_file(path, problems)
    if text is None:
        return
    ini = parse_ini(text)
    head = ini.get("quadrix", {})
    if head.get("name") != "Quadrix" or head.get("autor") != "Vellumor":
        problems.append("%s: header is not Name=Quadrix, autor=Vellumor" % path)
    grid = ini.get("grid", {})
    try:
        columns, rows = int(grid.get("columns", "")), int(grid.get("rows", ""))
    except ValueError:
        problems.append("%s: Columns or Rows missing" % path)
        return
    if not (1 <= columns <= 21 and 1 <= rows <= 21):
        problems.append("%s: grid %dx%d outside 1..21" % (path, columns, rows))
    for section in ("position", "grid font", "menu options 2"):
        if section not in ini:
            problems.append("%s: section [%s] missing" % (path, section))
    folder = os.path.dirname(path)
    count = columns * rows
    for section, keys in ini.items():
        m = re.fullmatch(r"cell (\d+)", section)
        if not m:
            continue
        n = int(m.group(1))
        where = "%s [Cell %d]" % (path, n)
        if not 1 <= n <= count:
            problems.append("%s: outside the %dx%d grid" % (where, columns, rows))
        picture = keys.get("picture", "")
        if picture:
            found = resolve(folder, picture)
            if not found:
                problems.append("%s: picture %s not found" % (where, picture))
            else:
                used.add(os.path.normcase(os.path.realpath(found)))
        link = keys.get("link", "").replace("#", "", 2)
        if link:
            if not link.lower().endswith(".qdx"):
                problems.append("%s: link %s is not a .qdx" % (where, link))
            elif not resolve(folder, link):
                problems.append("%s: link %s not found" % (where, link))
        sf = keys.get("special function", "")
        if sf and sf.translate(FOLD) not in KNOWN_TOKENS:
            problems.append("%s: unknown special function %s" % (where, sf))
        try:
            int(keys.get("frame cell color", "0"))
        except ValueError:
            problems.append("%s: Frame cell color is not an integer" % where)
    for n in range(1, count + 1):
        if "cell %d" % n not in ini:
            problems.append("%s: section [Cell %d] missing" % (path, n))


def check(data_dir):
    problems = []
    boards = []
    for folder, _, files in os.walk(data_dir):
        boards += [os.path.join(folder, f) for f in files if f.lower().endswith(".qdx")]
    used = set()
    for path in sorted(boards):
        check_board(path, problems, used)
    ini = os.path.join(data_dir, "Quadrix.ini")
    text = check_text_file(ini, problems) if os.path.isfile(ini) else None
    if text is None:
        problems.append("%s: missing or unreadable" % ini)
    else:
        parsed = parse_ini(text)
        for section, key in (("quadrix", "dècimes de segon que dura el pas d'escaneig"),
                             ("quadrix", "número de fitxes visibles al panell missatges"),
                             ("quadrix", "milisegons clic automatic"),
                             ("marc", "gruixudaria"), ("marc", "separacio entre caselles"),
                             ("font missatge", "name"), ("font missatge", "itàlica")):
            if key not in parsed.get(section, {}):
                problems.append("%s: [%s] %s missing" % (ini, section, key))
    pictures = [os.path.join(data_dir, "NxeoQuadrix.png")]
    for folder, _, files in os.walk(os.path.join(data_dir, "pictures")):
        pictures += [os.path.join(folder, f) for f in files if f.lower().endswith(".png")]
    for path in pictures:
        buttons = os.path.basename(os.path.dirname(path)) == "buttons"
        if (path != pictures[0] and not buttons
                and os.path.normcase(os.path.realpath(path)) not in used):
            problems.append("%s: not used by any board" % path)
        try:
            png_read(path)
        except (OSError, ValueError, zlib.error) as e:
            problems.append("%s: %s" % (path, e))
    for p in problems:
        print(p)
    print("%d boards, %d pictures checked, %d problems" % (len(boards), len(pictures),
                                                           len(problems)))
    return not problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--data", default=os.path.join(ROOT, "data"))
    parser.add_argument("--emoji", help="installed emoji-datasource-twitter package folder")
    parser.add_argument("--check", action="store_true", help="verify data/ and write nothing")
    args = parser.parse_args()
    if args.check:
        return 0 if check(args.data) else 1
    for board in all_boards():
        write_windows_text(os.path.join(args.data, board.path), board_text(board))
    write_windows_text(os.path.join(args.data, "Quadrix.ini"), QUADRIX_INI)
    if args.emoji:
        make_pictures(args.emoji, args.data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
