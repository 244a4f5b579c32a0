#!/usr/bin/env bash
# Installs what is missing, builds, and starts the player on the bundled Catalan home board.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh" build
player="$root/build/bin/nexoquadrix"
if [ ! -x "$player" ]; then
  echo "run: the player was not built" >&2
  exit 1
fi
board=${1:-"$root/data/boards/ca/inici.qdx"}
exec "$player" "$board"
