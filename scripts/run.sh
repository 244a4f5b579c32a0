#!/usr/bin/env bash
# Installs what is missing, builds, and starts the player on the bundled Catalan home board.
# The player writes window places and board options back into the boards it shows, so it runs on
# a copy of the bundled data beside the program (build/bin/data), never on the files in data/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
# Only what the player needs: itself, the speech library it loads, and the board editor that
# "Edición" starts where this build has one. Tests and benchmarks are built by scripts/test.sh.
NQ_TARGETS="nexoquadrix upctv nexoquadrix-editor" bash "$root/scripts/build.sh" build
player="$root/build/bin/nexoquadrix"
if [ ! -x "$player" ]; then
  echo "run: the player was not built" >&2
  exit 1
fi
mkdir -p "$root/build/bin/data"
cp -rn "$root/data/." "$root/build/bin/data/"
board=${1:-"$root/build/bin/data/boards/ca/inici.qdx"}
exec "$player" "$board"
