#!/usr/bin/env bash
# Mutation check: do the named tests notice when a source file is wrong?
#
#   scripts/mutants.sh [--lines FROM-TO] [--max N] FILE TEST...
#
# Makes simple mutants of FILE one at a time (a comparison flipped, a
# constant off by one, && and || swapped, true and false swapped, a call
# statement dropped), rebuilds the named test targets in build/ and runs
# them. A mutant is killed when a test fails or the build breaks, and
# survives when every test still passes. Prints each survivor and the
# counts; FILE is restored afterwards, whatever happens.
set -euo pipefail
cd "$(dirname "$0")/.."

lines=""
max=0
while [ $# -gt 0 ]; do
  case "$1" in
    --lines) lines="$2"; shift 2 ;;
    --max) max="$2"; shift 2 ;;
    *) break ;;
  esac
done
if [ $# -lt 2 ]; then
  echo "usage: scripts/mutants.sh [--lines FROM-TO] [--max N] FILE TEST..." >&2
  exit 2
fi
file="$1"; shift
tests=("$@")
[ -f "$file" ] || { echo "no such file: $file" >&2; exit 2; }
[ -d build ] || { echo "build/ is missing: run scripts/build.sh first" >&2; exit 2; }

backup="$(mktemp)"
cp "$file" "$backup"
restore() { cp "$backup" "$file"; rm -f "$backup"; }
trap restore EXIT
trap 'exit 130' INT TERM

first=1; last=$(wc -l < "$file")
if [ -n "$lines" ]; then first="${lines%-*}"; last="${lines#*-}"; fi

# One mutant per line: "LINE<TAB>sed expression". Comments, includes,
# asserts and log text are left alone.
mutants() {
  awk -v first="$first" -v last="$last" '
    NR < first || NR > last { next }
    /^[[:space:]]*(\/\/|#|\*)/ { next }
    /static_assert|QStringLiteral\("[^"]*"\)[[:space:]]*;$/ { next }
    {
      if ($0 ~ / == /)  print NR "\ts/ == / != /"
      else if ($0 ~ / != /) print NR "\ts/ != / == /"
      if ($0 ~ / <= /)  print NR "\ts/ <= / < /"
      else if ($0 ~ / < [^<]/) print NR "\ts/ < / <= /"
      if ($0 ~ / >= /)  print NR "\ts/ >= / > /"
      else if ($0 ~ / > [^>]/ && $0 !~ /->/) print NR "\ts/ > / >= /"
      if ($0 ~ / && /)  print NR "\ts/ && / || /"
      else if ($0 ~ / \|\| /) print NR "\ts/ || / \\&\\& /"
      if ($0 ~ /return true;/) print NR "\ts/return true;/return false;/"
      else if ($0 ~ /return false;/) print NR "\ts/return false;/return true;/"
      if ($0 ~ /[^A-Za-z_0-9.x][1-9][0-9]*[^A-Za-z_0-9.x]/ && $0 !~ /arg\(/)
        print NR "\ts/\\([^A-Za-z_0-9.x]\\)\\([1-9][0-9]*\\)\\([^A-Za-z_0-9.x]\\)/\\1(\\2 + 1)\\3/"
      if ($0 ~ /^[[:space:]]+[A-Za-z_][A-Za-z_0-9:.>-]*\(.*\);[[:space:]]*$/ && $0 !~ /^[[:space:]]*return/)
        print NR "\ts/^\\([[:space:]]*\\).*$/\\1;/"
    }' "$file"
}

killed=0; survived=0; count=0
targets=()
for t in "${tests[@]}"; do targets+=(--target "$t"); done
while IFS=$'\t' read -r line expr; do
  [ "$max" -gt 0 ] && [ "$count" -ge "$max" ] && break
  cp "$backup" "$file"
  sed -i "${line}${expr}" "$file"
  cmp -s "$backup" "$file" && continue
  count=$((count + 1))
  if ! cmake --build build -j2 "${targets[@]}" >/dev/null 2>&1; then
    killed=$((killed + 1)); continue
  fi
  ok=1
  for t in "${tests[@]}"; do
    if ! (cd build && ctest -R "^${t}\$" --timeout 300 >/dev/null 2>&1); then ok=0; break; fi
  done
  if [ "$ok" -eq 1 ]; then
    survived=$((survived + 1))
    echo "survived: $file:$line: $(sed -n "${line}p" "$file" | sed 's/^[[:space:]]*//')"
  else
    killed=$((killed + 1))
  fi
done < <(mutants)

restore; trap - EXIT
cmake --build build -j2 "${targets[@]}" >/dev/null 2>&1 || true
echo "mutants: $count  killed: $killed  survived: $survived  ($file)"
