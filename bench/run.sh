#!/usr/bin/env bash
# `make bench`: the frame-time benchmark at 1920x1080 and at 1366x768, each on an Xvfb server of
# that size started here, then the same figures from the real program driven through a match.
# Usage: bench/run.sh <build folder holding tumbrelt and bench/tumbrelt_bench>
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$repo/build}" && pwd)"
frames="${BENCH_FRAMES:-300}"
work="$(mktemp -d /tmp/tumbrelt_bench.XXXXXX)"
servers=()

cleanup() {
    for pid in "${servers[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

# Starts Xvfb with the given screen size and sets `display` once it accepts clients. (Not run in a
# command substitution: the subshell would keep the server's pid from the cleanup.)
start_server() {
    local fifo="$work/displayfd.$1"
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "$1x24" -r -noreset -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    servers+=("$!")
    local number
    read -r number <"$fifo"
    display=":$number"
}

export ALSOFT_DRIVERS=null
"$build/bench/tumbrelt_planner_bench"
for size in 1920x1080 1366x768; do
    start_server "$size"
    dir="$work/$size"
    mkdir -p "$dir"
    ln -s "$repo/assets" "$dir/assets"
    echo "== benchmark at $size (display $display)"
    (cd "$dir" && DISPLAY="$display" "$build/bench/tumbrelt_bench" --frames "$frames" >"$dir/out.txt" 2>"$dir/err.txt") || {
        cat "$dir/err.txt" >&2
        exit 1
    }
    # The game's own diagnostic lines come first; the figures follow from the "window" line on.
    sed -n '/^window /,$p' "$dir/out.txt"
    if [ "$size" = 1920x1080 ]; then
        empty_ms="$(awk '$1 == "empty" { print $4 }' "$dir/out.txt")"
        echo "== the real program at $size, driven through a match"
        DISPLAY="$display" /usr/bin/python3 "$repo/bench/drive_game.py" --binary "$build/tumbrelt" \
            --repo "$repo" --empty-ms "$empty_ms"
    fi
done
