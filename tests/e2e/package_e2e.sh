#!/usr/bin/env bash
# The Debian package as a user meets it: cpack builds it, dpkg installs it into a scratch root, the
# desktop files pass their validators and lintian finds no error, the installed player starts for a
# new user (demo boards copied into the user's data folder, settings in the user's config folder,
# the speech library loaded from the package's private folder, the home board painted), and removing
# the package leaves no file behind. Run inside tests/e2e/session.sh. Usage: package_e2e.sh BUILD_DIR
set -u
build=$(cd "$1" && pwd)
work=$(mktemp -d /tmp/nq-e2e-package.XXXXXX)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
. "$(dirname "$0")/lib.sh"

# --- build the package -----------------------------------------------------------------------------
cpack --config "$build/CPackConfig.cmake" -B "$work/pkg" > "$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(ls "$work"/pkg/nexoquadrix_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no nexoquadrix_*.deb was made"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for needed in libqt6widgets6 libespeak-ng1 libspeechd2 libxtst6 espeak-ng; do
  grep -q "$needed" <<< "$depends" || fail "the package does not depend on $needed"
done

# --- install it into a scratch root with its own dpkg database -------------------------------------
root="$work/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
dpkg_root() { dpkg --root="$root" --force-depends --force-not-root --force-script-chrootless "$@"; }
dpkg_root -i "$deb" > "$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg could not install the package"; }
usr="$root/usr"
app_id=$(basename "$(ls "$usr"/share/applications/*.desktop | grep -v '\.editor\.desktop$')" .desktop)
# The speech library lives in the private folder of the machine's multiarch library folder.
speech_library=$(cd "$usr" && ls lib/*/nexoquadrix/libupctv.so 2> /dev/null | head -n 1)
[ -n "$speech_library" ] || fail "the package lacks lib/<multiarch>/nexoquadrix/libupctv.so"
for file in bin/nexoquadrix bin/nexoquadrix-tool bin/nexoquadrix-editor "$speech_library" \
  share/nexoquadrix/Nexo_quadrix_menu.qdx share/nexoquadrix/NxeoQuadrix.png share/nexoquadrix/Quadrix.ini \
  share/nexoquadrix/boards/ca/inici.qdx share/nexoquadrix/boards/es/inicio.qdx \
  share/nexoquadrix/pictures/casa.png share/nexoquadrix/tutorial/index.html \
  "share/applications/$app_id.desktop" "share/metainfo/$app_id.metainfo.xml" share/mime/packages/nexoquadrix.xml \
  "share/icons/hicolor/scalable/apps/$app_id.svg" share/icons/hicolor/scalable/mimetypes/application-x-nexoquadrix-board.svg \
  "share/icons/hicolor/48x48/apps/$app_id.png" \
  "share/icons/hicolor/256x256/apps/$app_id.png" share/man/man1/nexoquadrix.1.gz \
  share/man/man1/nexoquadrix-tool.1.gz share/man/man1/nexoquadrix-editor.1.gz "share/applications/$app_id.editor.desktop" \
  share/doc/nexoquadrix/copyright share/doc/nexoquadrix/changelog.gz \
  share/doc/nexoquadrix/README.md share/doc/nexoquadrix/docs/guide.en.md share/doc/nexoquadrix/docs/guia.ca.md \
  share/nexoquadrix/openmoji/data/openmoji.json share/nexoquadrix/openmoji/LICENSE.txt; do
  [ -e "$usr/$file" ] || fail "the package lacks /usr/$file"
done
[ "$(identify -format '%wx%h' "$usr/share/icons/hicolor/48x48/apps/$app_id.png")" = 48x48 ] ||
  fail "the 48x48 icon has another size"

# --- desktop integration validators and lintian ----------------------------------------------------
desktop-file-validate "$usr/share/applications/$app_id.desktop" || fail "desktop-file-validate"
desktop-file-validate "$usr/share/applications/$app_id.editor.desktop" || fail "desktop-file-validate (editor)"
grep -q '^Name=NexoQuadrix — editor de plafones$' "$usr/share/applications/$app_id.editor.desktop" ||
  fail "the editor's desktop file has another name"
appstreamcli validate --no-net "$usr/share/metainfo/$app_id.metainfo.xml" || fail "appstreamcli validate"
update-mime-database "$usr/share/mime" > /dev/null 2>&1 || fail "update-mime-database"
grep -q 'application/x-nexoquadrix-board:\*\.qdx' "$usr/share/mime/globs2" || fail "*.qdx is not a board type"
for desktop in "$app_id" "$app_id.editor"; do
  grep -q 'MimeType=application/x-nexoquadrix-board;' "$usr/share/applications/$desktop.desktop" ||
    fail "$desktop.desktop does not open boards"
done
for page in nexoquadrix nexoquadrix-tool nexoquadrix-editor; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$usr/share/man/man1/$page.1.gz" 2>&1 > /dev/null)
  [ -z "$warnings" ] || fail "man page $page: $warnings"
done
if command -v lintian > /dev/null; then
  lintian --allow-root --fail-on error --tag-display-limit 0 "$deb" > "$work/lintian.log" 2>&1
  status=$?
  echo "lintian: $(grep -c '^E:' "$work/lintian.log") errors, $(grep -c '^W:' "$work/lintian.log") warnings"
  cat "$work/lintian.log"
  [ "$status" -eq 0 ] || fail "lintian reports errors"
fi

# --- the installed programs answer --help and --version --------------------------------------------
for program in nexoquadrix nexoquadrix-tool nexoquadrix-editor; do
  "$usr/bin/$program" --version | grep -q "^$program [0-9]" || fail "$program --version"
  "$usr/bin/$program" --help | grep -q "usage: $program" || fail "$program --help"
done

# --- a new user's first start ----------------------------------------------------------------------
home="$work/home"
export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" LANG=C.UTF-8
unset NEXOQUADRIX_CONFIG_DIR
mkdir -p "$XDG_CONFIG_HOME/nexoquadrix"
printf '[tts]\r\nNumero sintetitzador=0\r\nGrup sintetitzador=SAPI\r\nNom sintetitzador=SAPI - Catalan (ca)\r\n' > "$XDG_CONFIG_HOME/nexoquadrix/nexoquadrix.ini"
# Only the package's own files are in the scratch root: the player must find them relative to itself.
"$usr/bin/nexoquadrix" > "$work/player.log" 2>&1 &
pid=$!
window=$(wait_for_player_window)
[ -n "$window" ] || { cat "$work/player.log"; fail "the installed player's window did not appear"; }
sleep 3 # the splash hides itself after 2 s

copy="$XDG_DATA_HOME/nexoquadrix"
[ -f "$copy/boards/ca/inici.qdx" ] && [ -f "$copy/boards/es/inicio.qdx" ] && [ -f "$copy/pictures/casa.png" ] ||
  fail "the demo boards were not copied into $copy"
grep -q "^NomFitxerInicial=$copy/boards/ca/inici.qdx" "$XDG_CONFIG_HOME/nexoquadrix/nexoquadrix.ini" ||
  fail "the home board is not the user's copy"
[ "$(ls "$usr/bin")" = "$(printf 'nexoquadrix\nnexoquadrix-editor\nnexoquadrix-tool')" ] || fail "the player wrote into /usr/bin"
grep -qF "$usr/$speech_library" "/proc/$pid/maps" || fail "libupctv.so was not loaded from the private folder"

# First paint: the home board's link frames (purple) and verb frames (green) are on screen, which the
# start picture alone never shows.
client_geometry "$window"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" "$work/shot.png" 2> /dev/null
count() { convert "$work/shot.png" -fill black +opaque "$1" -fill white -opaque "$1" -format '%[fx:mean*w*h]' info: | cut -d. -f1; }
purple=$(count '#800080')
green=$(count '#00A000')
echo "home board painted: ${WIDTH}x${HEIGHT}, $purple purple and $green green frame pixels"
[ "$purple" -gt 300 ] && [ "$green" -gt 300 ] || fail "the home board was not painted"
kill "$pid"
wait "$pid" 2> /dev/null
pid=""

# --- removal leaves nothing behind -----------------------------------------------------------------
dpkg_root -r nexoquadrix > "$work/dpkg-remove.log" 2>&1 || { cat "$work/dpkg-remove.log"; fail "dpkg -r"; }
left=$(find "$usr" -type f ! -path "$usr/share/mime/*" | head)
[ -z "$left" ] || fail "files left after removal: $left"
echo "PASS"
