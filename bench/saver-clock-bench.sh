#!/bin/bash
# Benchmark of the clock under Wine (not part of the test command): the cost of one
# DrawClock at 1024x768 and 1920x1080, filled and outlined; the CPU share of a clock window
# redrawn by its own timer under a stand-in message loop; and the CPU share of the real
# Tessary.scr /s process (GetProcessTimes from a driver program), with no stored settings
# and with a large outlined font. Usage: bench/saver-clock-bench.sh [seconds] [draw calls]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
. scripts/wine-arch.sh
arch="$KIT_WINE_ARCH"
kit_wine_tree "$root"
tree="$KIT_WINE_TREE"
cmake --build "$tree" -j 2 --target saver_clock_bench --target saver_cpu_bench >/dev/null
echo "== clock benchmark ($arch, screen 1920x1080x24)"
scripts/wine-run.sh --work "$root/$tree/wine" --suite saver_clock_bench --screen 1920x1080x24 \
    -- "$root/$tree/tests/saver_clock/saver_clock_bench.exe" "${1:-20}" "${2:-50}"
echo "== the real saver ($arch, Tessary.scr /s, screen 1920x1080x24; the X server's own work is not counted)"
KIT_BIN_DIR="$root/$tree/bin" KIT_SOURCE_DIR="$root" \
    scripts/wine-run.sh --work "$root/$tree/wine" --suite saver_cpu_bench --screen 1920x1080x24 \
    -- "$root/$tree/tests/saver_blackbox/saver_cpu_bench.exe" "${1:-20}"
