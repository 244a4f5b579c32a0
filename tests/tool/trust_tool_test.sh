#!/usr/bin/env bash
# nexoquadrix-tool trust, untrust and trusted change the settings file the player reads, by canonical
# folder; check lists each cell whose command reaches outside the player with what it would run.
# Usage: trust_tool_test.sh TOOL
set -u
tool=$1
work=$(mktemp -d /tmp/nq-tool-trust.XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
mkdir -p "$work/config" "$work/sets/a" "$work/open"
ln -s "$work/sets" "$work/link"
real=$(readlink -f "$work/sets/a")

export NEXOQUADRIX_CONFIG_DIR="$work/config"
[ "$("$tool" trust "$work/link/a/")" = "trusted: $real" ] || fail "trust did not name the canonical folder"
[ "$("$tool" trust "$work/sets/a")" = "already trusted: $real" ] || fail "the same folder was stored twice"
[ "$("$tool" trusted)" = "$real" ] || fail "trusted does not list exactly the folder: $("$tool" trusted)"
grep -qF "$real" "$work/config/nexoquadrix.ini" || fail "not stored in the player's settings file"
"$tool" trust "$work/missing" 2>/dev/null && fail "trust accepted a folder that does not exist"
"$tool" untrust "$work/link/a" > /dev/null || fail "untrust failed"
[ -z "$("$tool" trusted)" ] || fail "untrust left the folder"
"$tool" untrust "$work/sets/a" 2>/dev/null && fail "untrust of a folder not trusted succeeded"
"$tool" trust --settings "$work/other.ini" "$work/sets" > /dev/null || fail "trust --settings failed"
[ "$("$tool" trusted --settings "$work/other.ini")" = "$(readlink -f "$work/sets")" ] || fail "--settings ignored"
[ -z "$("$tool" trusted)" ] || fail "--settings wrote the default settings file"
# Relative names are stored and reported canonically.
[ "$(cd "$work/sets" && "$tool" trust ./a/../a)" = "trusted: $real" ] || fail "a relative name was not made canonical"
[ "$(cd "$work/sets" && "$tool" untrust a)" = "no longer trusted: $real" ] || fail "untrust did not name the canonical folder"
# The root, the home folder and what holds it would trust every download: refused, and ignored when
# written by hand.
for broad in / "$HOME" "$(dirname "$(readlink -f "$HOME")")"; do
  "$tool" trust "$broad" > /dev/null 2>&1 && fail "trust accepted $broad"
done
[ -z "$("$tool" trusted)" ] || fail "a refused folder was stored"
printf '[Trusted Folders]\r\nFolder1=/\r\n' > "$work/hand.ini"
grep -q '^/ (ignored' <<< "$("$tool" trusted --settings "$work/hand.ini")" || fail "a stored root is not shown as ignored"
echo "trust, untrust, trusted: canonical folders in the player's settings"

printf '#!/bin/sh\n' > "$work/sets/a/escriu"
chmod 755 "$work/sets/a/escriu"
cp "$work/sets/a/escriu" "$work/open/escriu"
chmod 1777 "$work/open"
board() { # FILE CELL-COMMAND...
  local file=$1 n=0
  shift
  { printf '[Quadrix]\nName=Quadrix\nautor=Vellumor\n[Grid]\nColumns=%d\nRows=1\n' "$#"
    for command in "$@"; do n=$((n + 1)); printf '[Cell %d]\nCaption=c\nSpecial Function=%s\n' "$n" "$command"; done
  } | sed 's/$/\r/' > "$file"
}
board "$work/sets/a/t.qdx" '<EXECUTAR escriu.exe -a "b c">' '<CASA>' '<RETURN>' '<TANCAR APLICACIO>' \
  '<EXECUTAR nowhere.exe>'
board "$work/open/t.qdx" '<EXECUTAR escriu.exe>'
out=$("$tool" check "$work")
lines=$(grep -c ': reaches outside: ' <<< "$out")
[ "$lines" = 5 ] || { echo "$out"; fail "expected 5 cells that reach outside, found $lines"; }
grep -q "a/t.qdx: cell 1: reaches outside: Programa: $real/escriu | Argumento 1: «-a» | Argumento 2: «b c»" <<< "$out" ||
  { echo "$out"; fail "the program and its arguments are not shown as they would run"; }
grep -q 'a/t.qdx: cell 2:' <<< "$out" && fail "<CASA> listed as reaching outside"
grep -q 'a/t.qdx: cell 3: reaches outside: .*<RETURN>' <<< "$out" || fail "a key for another program is not listed"
grep -q 'a/t.qdx: cell 5: reaches outside: nothing here' <<< "$out" || fail "a missing program is not said so"
grep -q "open/t.qdx: cell 1: reaches outside: would not start, others can change" <<< "$out" ||
  { echo "$out"; fail "the planted program is not reported as refused"; }
grep -q '2 boards checked, 0 problems, 5 commands reach outside the player' <<< "$out" || fail "summary: $out"
grep -q 'open/t.qdx: others can change' <<< "$out" || { echo "$out"; fail "a board others can change is not said so"; }
grep -q 'a/t.qdx: others can change' <<< "$out" && fail "a closed board is said to be open to others"
echo "check lists what a set would run"
echo PASS
