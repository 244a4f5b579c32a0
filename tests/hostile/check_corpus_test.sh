#!/usr/bin/env bash
# nexoquadrix-tool check on every board of the hostile corpus: it never crashes or hangs (each
# board within a generous bound), says "refused" for each board the player refuses, reports at
# least one problem for each board with a fault, nothing for the sound ones, and writes nothing.
# Usage: check_corpus_test.sh TOOL
set -u
tool=$(readlink -f "$1")
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/nq-hostile-check.XXXXXX)
trap 'rm -rf "$work"' EXIT
fail=0
python3 "$here/make_hostile_boards.py" "$work/corpus" > /dev/null || { echo "FAIL: corpus script"; exit 1; }
cd "$work/corpus" || exit 1
sums() { find . -type f -print0 | sort -z | xargs -0 sha256sum; }
sums > "$work/before.sum"
count=0
while IFS=$'\t' read -r name expect what; do
  file=$(printf '%b' "$name")
  out=$(timeout 120 "$tool" check "$file" 2>&1)
  rc=$?
  count=$((count + 1))
  problems=$(grep -v ' boards checked, ' <<< "$out" | grep -vc ': reaches outside: ')
  bad=""
  if [ "$rc" -gt 1 ]; then
    bad="exit status $rc (crash or hang)"
  elif [ "$expect" = refuse ] && ! grep -Eq 'refused|does not exist' <<< "$out"; then
    bad="not reported as refused"
  elif [ "$expect" = fault ] && { [ "$problems" -eq 0 ] || grep -q 'refused' <<< "$out"; }; then
    bad="its fault was not reported"
  elif [ "$expect" = open ] && [ "$problems" -ne 0 ]; then
    bad="a sound board reported"
  fi
  if [ -n "$bad" ]; then
    echo "FAIL: $name ($what): $bad"
    head -n 3 <<< "$out"
    fail=1
  fi
done < manifest.tsv
sums > "$work/after.sum"
cmp -s "$work/before.sum" "$work/after.sum" || { echo "FAIL: check changed files"; diff "$work/before.sum" "$work/after.sum" | head; fail=1; }
echo "$count boards checked"
[ "$fail" -eq 0 ] && echo PASS
