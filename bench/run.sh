#!/usr/bin/env bash
# Measures one whole conversion of the largest character file, each way,
# against cp copying the same file: wall time (hyperfine), instructions
# (callgrind) and peak memory (GNU time). Prints the ratios charflip/cp.
#
#   bench/run.sh [path/to/charflip]     default: build/release/charflip
#
# Needs: hyperfine valgrind time python3 (Debian packages).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
charflip=$(realpath "${1:-$root/build/release/charflip}")
runs=${BENCH_RUNS:-300}

for tool in hyperfine valgrind /usr/bin/time python3; do
  command -v "$tool" >/dev/null || { echo "missing $tool: apt-get install hyperfine valgrind time python3" >&2; exit 1; }
done
[ -x "$charflip" ] || { echo "no charflip at $charflip: run cmake --workflow --preset release" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
python3 "$root/bench/make_largest.py" .
cp largest.bcf in.bcf
cp largest.cmx in.cmx

# Instructions of the whole process, start-up and exit included.
instructions() {
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
    sed -n 's/.*Collected : \([0-9]*\).*/\1/p'
}

# Largest resident set of the process, in KiB.
peak_kib() {
  /usr/bin/time -f '%M' "$@" 2>&1 >/dev/null | tail -n 1
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }

median_ms() {  # hyperfine's JSON export, first and second command
  python3 -c 'import json,sys; r=json.load(open(sys.argv[1]))["results"]; print(" ".join("%.3f" % (x["median"]*1000) for x in r))' "$1"
}

printf 'charflip: %s\nfile sizes: largest.bcf %d bytes, largest.cmx %d bytes\n\n' \
  "$charflip" "$(stat -c %s largest.bcf)" "$(stat -c %s largest.cmx)"
printf '%-14s %14s %14s %7s %14s %14s %7s %10s %10s\n' direction \
  "charflip ms" "cp ms" ratio "charflip Ir" "cp Ir" ratio "charflip KiB" "cp KiB"

for input in in.bcf in.cmx; do
  copy="copy.${input##*.}"
  hyperfine --runs "$runs" --warmup 20 -N --export-json times.json \
    "$charflip $input" "cp $input $copy" >/dev/null 2>&1
  read -r ours theirs < <(median_ms times.json)
  ours_ir=$(instructions "$charflip" "$input")
  cp_ir=$(instructions cp "$input" "$copy")
  ours_kib=$(peak_kib "$charflip" "$input")
  cp_kib=$(peak_kib cp "$input" "$copy")
  printf '%-14s %14s %14s %7.2f %14s %14s %7.3f %10s %10s\n' "${input#in}->" "$ours" "$theirs" \
    "$(ratio "$ours" "$theirs")" "$ours_ir" "$cp_ir" "$(ratio "$ours_ir" "$cp_ir")" \
    "$ours_kib" "$cp_kib"
done
