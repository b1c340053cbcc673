#!/usr/bin/env bash
# Long runs against the paced emulated units at 1000000 baud, printing once a
# minute the resident memory of quelda24-cli, its CPU time in that minute and
# per running-mode sweep, so a leak or a slow creep shows.
#   bash scripts/soak.sh running [MINUTES]   (default 60) running-mode sweeps
#   bash scripts/soak.sh passive [MINUTES]   (default 59) a passive recording at 500 Hz
# BUILD (default build) holds the programs. The last line compares resident
# memory after the first five minutes (or the first fifth) with its end value.
set -euo pipefail
cd "$(dirname "$0")/.."

what=${1:-running}
minutes=${2:-60}
bin=${BUILD:-build}/bin
[ -x "$bin/quelda24-cli" ] && [ -x "$bin/quelda24-units" ] || {
  echo "soak: build first ($bin/quelda24-cli, $bin/quelda24-units)" >&2
  exit 2
}
case "$what" in running | passive) ;; *)
  echo "usage: $0 running|passive [MINUTES]" >&2
  exit 2
  ;;
esac

work=$(mktemp -d /tmp/q24soak.XXXXXX)
trap 'kill $units $cli 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT

# 24 geophones on units 1 to 24: the start under --simulate writes that
# spread as ini.txt, which the command-line runs then read.
mkdir -p "$work/home"
QT_QPA_PLATFORM=offscreen timeout -s KILL 60 "$bin/quelda24" --simulate --no-port-dialog --home "$work/home" \
  --screenshot "$work/start.png" >/dev/null 2>&1 || true
[ -f "$work/home/ini.txt" ] || { echo "soak: no ini.txt was made" >&2; exit 1; }

"$bin/quelda24-units" --paced --units 1-24 --link "$work/tty" >"$work/units.log" 2>&1 &
units=$!
for _ in $(seq 50); do [ -e "$work/tty" ] && break; sleep 0.1; done

if [ "$what" = running ]; then
  # Enough sweeps for the time asked; the run is stopped when it is up.
  "$bin/quelda24-cli" run --home "$work/home" --port "$work/tty" --sweeps 1000000000 >"$work/out.log" 2>&1 &
else
  "$bin/quelda24-cli" passive --home "$work/home" --port "$work/tty" --fs 500 --minutes "$minutes" \
    >"$work/out.log" 2>&1 &
fi
cli=$!

ticks=$(getconf CLK_TCK)
cpu() { awk -v t="$ticks" '{ print ($14 + $15) / t }' "/proc/$cli/stat"; }
rss() { awk '/^VmRSS/ { print $2 }' "/proc/$cli/status"; }
sweeps() { grep -c '^sweep .* channel 1 ' "$work/out.log" || true; }

settle=$((minutes < 25 ? (minutes + 4) / 5 : 5))
printf '%-6s %-10s %-10s %-12s %-8s %s\n' minute rss_kB cpu_s cpu_s_minute sweeps cpu_ms_per_sweep
last_cpu=0 last_sweeps=0 first_rss="" end_rss=""
for m in $(seq 1 "$minutes"); do
  sleep 60
  kill -0 "$cli" 2>/dev/null || { echo "soak: quelda24-cli ended early:"; tail -5 "$work/out.log"; break; }
  r=$(rss) c=$(cpu) n=$(sweeps)
  per=$(awk -v c="$c" -v lc="$last_cpu" -v n="$n" -v ln="$last_sweeps" \
    'BEGIN { d = n - ln; if (d > 0) printf "%.2f", 1000 * (c - lc) / d; else printf "-" }')
  inminute=$(awk -v c="$c" -v lc="$last_cpu" 'BEGIN { printf "%.2f", c - lc }')
  printf '%-6s %-10s %-10s %-12s %-8s %s\n' "$m" "$r" "$c" "$inminute" "$n" "$per"
  [ "$m" -eq "$settle" ] && first_rss=$r
  end_rss=$r last_cpu=$c last_sweeps=$n
done
if [ -n "$first_rss" ] && [ -n "$end_rss" ]; then
  awk -v a="$first_rss" -v b="$end_rss" -v m="$settle" \
    'BEGIN { printf "resident memory after minute %d: %d kB, at the end: %d kB (%+.2f %%)\n", m, a, b, 100 * (b - a) / b }'
fi
