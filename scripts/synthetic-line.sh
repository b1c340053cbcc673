#!/usr/bin/env bash
# A refraction line recorded the whole way through against the emulated units
# over two flat layers of known speeds and depth, then picked and interpreted
# by velostrata: prints the figures recovered beside the true ones and ends
# non-zero when one is off by more than 5 %.
#   bash scripts/synthetic-line.sh [V1 V2 DEPTH]   (default 600 2400 7.5)
# Each shot: quelda24-units with the layers and the source position, then
# quelda24-cli shot --save auto with that position in ini.txt (the .sg2
# carries it as SOURCE_LOCATION); the .sg2 files make the project file (CR LF).
# BUILD (default build) holds the programs; KEEP=1 keeps the work folder.
set -euo pipefail
cd "$(dirname "$0")/.."

v1=${1:-600} v2=${2:-2400} depth=${3:-7.5}
sources=(-2.5 27.5 57.5 87.5 117.5)
bin=${BUILD:-build}/bin
velostrata=$bin/velostrata/bin/velostrata
[ -x "$velostrata" ] || velostrata=$bin/velostrata
for tool in "$bin/quelda24-cli" "$bin/quelda24-units" "$bin/Sg2Maker" "$velostrata"; do
  [ -x "$tool" ] || { echo "synthetic-line: build first ($tool)" >&2; exit 2; }
done

work=$(mktemp -d /tmp/q24line.XXXXXX)
units=""
cleanup() {
  [ -n "$units" ] && kill "$units" 2>/dev/null && wait "$units" 2>/dev/null || true
  [ "${KEEP:-0}" = 1 ] && echo "work folder kept: $work" || rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/home/Data"

# ini.txt, 254 lines (CR LF): 1024 samples at 4000 Hz, 24 positions on units
# 1 to 24 (unit 1 triggers), 5 m apart, the source position of the shot.
write_ini() {
  {
    printf '%s\r\n' 1024 4000 24 1
    for ch in $(seq 1 240); do [ "$ch" -le 24 ] && printf '%s\r\n' "$ch" || printf '0\r\n'; done
    printf '%s\r\n' 5 "$1" 0 0 0 1000000 1000000 0 0 0
  } >"$work/home/ini.txt"
}

: >"$work/line.prj"
for x in "${sources[@]}"; do
  write_ini "$x"
  rm -f "$work/tty"
  "$bin/quelda24-units" --units 1-24 --spread "$v1,$v2,$depth" --source "$x" --trigger-delay 0.3 \
    --link "$work/tty" >"$work/units.log" 2>&1 &
  units=$!
  for _ in $(seq 50); do [ -e "$work/tty" ] && break; sleep 0.1; done
  "$bin/quelda24-cli" shot --home "$work/home" --port "$work/tty" --save auto --folder "$work/home/Data" \
    --trigger-timeout 20 >"$work/shot.log" 2>&1 || { echo "synthetic-line: the shot at $x m failed:"; cat "$work/shot.log"; exit 1; }
  kill "$units"
  wait "$units" 2>/dev/null || true
  units=""
  name=$(sed -n 's/^saving as //p' "$work/shot.log")
  printf '%s\r\n' "$work/home/Data/$name.sg2" >>"$work/line.prj"
done

start=$(date +%s.%N)
"$velostrata" --pick "$work/line.prj" --out "$work/line.sgt" --csv "$work/line.csv"
"$velostrata" --interpret "$work/line.sgt" --layers 2 --out "$work/model.csv" >"$work/model.txt"
end=$(date +%s.%N)
awk -v s="$start" -v e="$end" 'BEGIN { printf "picked and interpreted in %.2f s\n", e - s }'

# The model CSV: x_m,method,depth2_m,depth3_m,v1_m_s,v2_m_s,v3_m_s.
awk -F, -v v1="$v1" -v v2="$v2" -v h="$depth" '
  function pct(got, want) { return 100 * (got - want) / want }
  function show(what, got, want) {
    e = pct(got, want); printf "%-34s %9.2f (true %g, %+.1f %%)\n", what, got, want, e
    if (e > 5 || e < -5) bad = 1
  }
  NR == 1 { next }
  { a = $5; b = $6 }
  $2 ~ /^intercept/ { si += $3; sn++; if ($3 < smin || sn == 1) smin = $3; if ($3 > smax || sn == 1) smax = $3 }
  $2 == "plus-minus" { pi += $3; pn++; if ($3 < pmin || pn == 1) pmin = $3; if ($3 > pmax || pn == 1) pmax = $3 }
  END {
    show("v1 (m/s)", a, v1)
    show("v2 (m/s)", b, v2)
    if (sn) { show("depth, intercept-time mean (m)", si / sn, h); show("  shallowest", smin, h); show("  deepest", smax, h) }
    if (pn) { show("depth, plus-minus mean (m)", pi / pn, h); show("  shallowest", pmin, h); show("  deepest", pmax, h) }
    if (!sn && !pn) { print "no depth was recovered"; bad = 1 }
    print bad ? "NOT within 5 %" : "all within 5 %"
    exit bad
  }' "$work/model.csv"
