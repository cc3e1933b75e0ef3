#!/usr/bin/env bash
# Builds Quorvel (Release), measures it against its performance budgets and
# prints one table: figure, measured, budget, met. All of it takes about ten
# minutes, most of that ten real 30-second games.
#
#   scripts/perf.sh [--quick] [SECTION...]
#
# Sections, all by default: bench (Google Benchmark: flight tick, repaints,
# key to screen, records), startup (first frame, offscreen and on Xvfb),
# idle (CPU on the title and the waiting stage) and memory (peak resident
# size through a whole game; both on Xvfb, one run), timing (ten real games),
# web (the web build in headless Chromium: bench/web/perf.mjs).
# --quick: 2 games and 5 start-ups instead of 10 and 20.
#
# Environment: QUORVEL_PERF_BUILD (build directory, default build/perf),
# QUORVEL_PERF_LOG (where raw outputs go, default a fresh temporary folder).
# Needs Xvfb, openbox and xdotool for the figures taken on an X server.
set -euo pipefail
export LC_ALL=C

root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUORVEL_PERF_BUILD:-$root/build/perf}
games=10
starts=20
sections=()
for argument in "$@"; do
  case "$argument" in
  --quick) games=2 starts=5 ;;
  bench | startup | idle | memory | timing | web) sections+=("$argument") ;;
  *)
    echo "usage: $0 [--quick] [bench] [startup] [idle] [memory] [timing] [web]" >&2
    exit 2
    ;;
  esac
done
[ ${#sections[@]} -gt 0 ] || sections=(bench startup idle timing web)
wants() { [[ " ${sections[*]} " == *" $1 "* ]]; }
# Idle and memory share one run of the game on the X server.
wants memory && ! wants idle && sections+=(idle)

log=${QUORVEL_PERF_LOG:-$(mktemp -d /tmp/quorvel-perf-XXXXXX)}
mkdir -p "$log"
work=$(mktemp -d /tmp/quorvel-perf-run-XXXXXX)
own_pids=()

cleanup() {
  local pid
  for pid in "${own_pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

say() { echo "perf: $*" >&2; }

# ------------------------------------------------------------------ build

say "building (Release) in $build"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUORVEL_BUILD_TESTS=OFF -DQUORVEL_BUILD_BENCH=ON \
  >"$log/configure.log"
cmake --build "$build" --target quorvel quorvel-bench quorvel-bare-window quorvel-timing-run -j2 >"$log/build.log"

# The game keeps its records beside the executable: a copy in a scratch
# folder keeps the build's own folder untouched.
cp "$build/app/quorvel" "$work/quorvel"
game="$work/quorvel"
bench="$build/bench/quorvel-bench"
bare="$build/bench/quorvel-bare-window"
timing="$build/bench/quorvel-timing-run"
load_before=$(cut -d' ' -f1-3 /proc/loadavg)

# ------------------------------------------------------------------ helpers

rows=()
# row FIGURE MEASURED BUDGET MET
row() { rows+=("$1|$2|$3|$4"); }
# meets VALUE LIMIT: "yes" when VALUE < LIMIT
meets() { awk -v v="$1" -v l="$2" 'BEGIN { print ((v + 0 < l + 0) ? "yes" : "NO") }'; }
fmt() { awk -v v="$1" -v d="${2:-3}" 'BEGIN { printf "%.*f", d, v }'; }
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

display=""
start_x() {
  local n
  for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$log/xvfb.log" 2>&1 &
      own_pids+=($!)
      for _ in $(seq 100); do
        [ -e "/tmp/.X11-unix/X$n" ] && break
        sleep 0.05
      done
      DISPLAY=":$n" openbox >"$log/openbox.log" 2>&1 &
      own_pids+=($!)
      sleep 0.5
      display=":$n"
      return 0
    fi
  done
  say "no free X display number"
  return 1
}

# ------------------------------------------------------------------ bench

# json_value FILE NAME FIELD: one field of the benchmark named NAME in Google
# Benchmark's JSON output, which puts every field on a line of its own.
json_value() {
  awk -v want="$2" -v field="\"$3\":" '
    $1 == "\"name\":" { name = $2; gsub(/[",]/, "", name) }
    $1 == field && name == want { value = $2; gsub(/,/, "", value); print value + 0; exit }' "$1"
}
us_to_ms() { awk -v v="$1" 'BEGIN { printf "%.3f", v / 1000 }'; }
# cpu_ms NAME [FILE]: median CPU time of a benchmark, in ms.
cpu_ms() { us_to_ms "$(json_value "${2:-$log/bench.json}" "$1_median" cpu_time)"; }

run_bench() { # OUTPUT FILTER [ENV...]
  local output=$1 filter=$2
  shift 2
  env QT_QPA_PLATFORM=offscreen "$@" "$bench" --benchmark_filter="$filter" \
    --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_out="$log/$output.json" --benchmark_out_format=json >"$log/$output.txt" 2>&1
}

measure_bench() {
  say "benchmarks (about three minutes)"
  run_bench bench 'BM_FlightTick|BM_Repaint|BM_FirstFrame|Records'
  run_bench present2x 'BM_FlightTickPresented' QT_SCALE_FACTOR=2
  env QT_QPA_PLATFORM=offscreen "$bench" --benchmark_filter='BM_KeyToScreen' \
    --benchmark_out="$log/key.json" --benchmark_out_format=json >"$log/key.txt" 2>&1
  env QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=2 "$bench" --benchmark_filter='BM_KeyToScreen' \
    --benchmark_out="$log/key2x.json" --benchmark_out_format=json >"$log/key2x.txt" 2>&1

  local tick1 tick2 present1 present2 form one two trails1 trails2
  tick1=$(cpu_ms BM_FlightTickAndRender/dpr:1)
  tick2=$(cpu_ms BM_FlightTickAndRender/dpr:2)
  present1=$(cpu_ms BM_FlightTickPresented)
  present2=$(cpu_ms BM_FlightTickPresented "$log/present2x.json")
  row "Flight tick at High speed on 200 ticks of trails: draw + render, 1x (CPU)" "$tick1 ms" "1 ms" "$(meets "$tick1" 1)"
  row "  draw + render + paint into its window, 1x (CPU)" "$present1 ms" "1 ms" "$(meets "$present1" 1)"
  row "  draw + render, 2x (CPU)" "$tick2 ms" "1 ms" "$(meets "$tick2" 1)"
  row "  draw + render + paint into its window, 2x (CPU)" "$present2 ms" "1 ms" "$(meets "$present2" 1)"

  local first
  for form in frmTitle frmMenu frmZone frmOption frmStage frmResults frmNentry frmRecord frmCertif; do
    one=$(cpu_ms "BM_Repaint/$form/dpr:1/iterations:100")
    two=$(cpu_ms "BM_Repaint/$form/dpr:2/iterations:100")
    first=$(cpu_ms "BM_FirstFrame/$form")
    row "Repaint $form from scratch, 1x (CPU; at 2x $two ms; new window, pictures decoded: $first ms)" "$one ms" "2 ms" "$(meets "$one" 2)"
  done
  trails1=$(cpu_ms BM_RepaintStageWithTrails/dpr:1/iterations:100)
  trails2=$(cpu_ms BM_RepaintStageWithTrails/dpr:2/iterations:100)
  row "  frmStage in play with 2000 glyphs of trails, 1x (CPU; at 2x $trails2 ms)" "$trails1 ms" "none" "-"

  local name=BM_KeyToScreen/iterations:300/manual_time scale p50 p95 worst
  for scale in 1x 2x; do
    local file="$log/key.json"
    [ "$scale" = 1x ] || file="$log/key$scale.json"
    p50=$(fmt "$(json_value "$file" "$name" p50_ms)")
    p95=$(fmt "$(json_value "$file" "$name" p95_ms)")
    worst=$(fmt "$(json_value "$file" "$name" max_ms)")
    row "Key to new score painted, median of 300 hits, $scale (wall)" "$p50 ms" "2 ms" "$(meets "$p50" 2)"
    row "Key to new score painted, worst of 300 hits, $scale (wall; p95 $p95 ms)" "$worst ms" "16.7 ms" "$(meets "$worst" 16.7)"
  done

  local load save_wall save_cpu
  load=$(cpu_ms BM_LoadRecords)
  save_wall=$(us_to_ms "$(json_value "$log/bench.json" BM_SaveRecords/real_time_median real_time)")
  save_cpu=$(us_to_ms "$(json_value "$log/bench.json" BM_SaveRecords/real_time_median cpu_time)")
  row "Records: load a full table (CPU)" "$load ms" "1 ms" "$(meets "$load" 1)"
  row "Records: save a full table, flushed to disk (wall; CPU $save_cpu ms)" "$save_wall ms" "1 ms" "$(meets "$save_wall" 1)"
}

# ------------------------------------------------------------------ startup

# first_frame PROGRAM [ENV...]: two figures for one start, "PROC LAUNCH":
# the program's own "first-frame-ms" (from the kernel's start time of the
# process, read from /proc, so in steps of 10 ms) and the milliseconds from
# launching it to reading that line, to the microsecond.
first_frame() {
  local program=$1 fd started arrived line
  shift
  started=$EPOCHREALTIME
  exec {fd}< <(exec env "$@" QUORVEL_EXIT_AFTER_FIRST_FRAME=1 "$program" 2>/dev/null)
  read -r -u "$fd" line || true
  arrived=$EPOCHREALTIME
  exec {fd}<&-
  wait $! 2>/dev/null || true
  awk -v line="$line" -v a="$started" -v b="$arrived" \
    'BEGIN { split(line, f, " "); if (f[1] == "first-frame-ms") printf "%s %.2f\n", f[2], (b - a) * 1000 }'
}

startup() { # LABEL ENV...
  local label=$1
  shift
  : >"$log/start-$label-game"
  : >"$log/start-$label-bare"
  for _ in $(seq "$starts"); do
    first_frame "$game" "$@" >>"$log/start-$label-game"
    first_frame "$bare" "$@" >>"$log/start-$label-bare"
  done
  local ours theirs ours_fine theirs_fine ratio
  ours=$(cut -d' ' -f1 "$log/start-$label-game" | median)
  theirs=$(cut -d' ' -f1 "$log/start-$label-bare" | median)
  ours_fine=$(cut -d' ' -f2 "$log/start-$label-game" | median)
  theirs_fine=$(cut -d' ' -f2 "$log/start-$label-bare" | median)
  ratio=$(awk -v a="$ours_fine" -v b="$theirs_fine" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 99) }')
  row "Start-up to first painted frame, $label, median of $starts (wall, /proc; bare window $theirs ms)" \
    "$ours ms" "150 ms" "$(meets "$ours" 150)"
  row "  against a bare Qt window, $label (wall from launch: $(fmt "$ours_fine" 1) / $(fmt "$theirs_fine" 1) ms)" \
    "${ratio}x" "1.2x" "$(awk -v r="$ratio" 'BEGIN { print ((r <= 1.2) ? "yes" : "NO") }')"
}

measure_startup() {
  say "start-up, offscreen and on Xvfb"
  startup offscreen QT_QPA_PLATFORM=offscreen
  [ -n "$display" ] || start_x
  startup Xvfb QT_QPA_PLATFORM=xcb DISPLAY="$display"
}

# ------------------------------------------------------------------ idle, memory

clk_tck=$(getconf CLK_TCK)
# CPU seconds (user + system) the process has used so far.
cpu_seconds() { awk -v hz="$clk_tck" '{ print ($14 + $15) / hz }' "/proc/$1/stat"; }

# idle_cpu PID SECONDS: the share of one core used over SECONDS, in percent.
idle_cpu() {
  local before after
  before=$(cpu_seconds "$1")
  sleep "$2"
  after=$(cpu_seconds "$1")
  awk -v a="$before" -v b="$after" -v s="$2" 'BEGIN { printf "%.2f", (b - a) / s * 100 }'
}

state="$work/state.txt"
state_has() { grep -qx "$1" "$state" 2>/dev/null; }
state_value() { sed -n "s/^$1=//p" "$state" 2>/dev/null | head -n 1; }
wait_for() { # LINE [SECONDS]
  local tries=$((${2:-10} * 20))
  while ! state_has "$1"; do
    tries=$((tries - 1))
    if [ "$tries" -le 0 ]; then
      say "gave up waiting for '$1'"
      return 1
    fi
    sleep 0.05
  done
}
key() { DISPLAY="$display" xdotool key --clearmodifiers "$1"; }

# Types the current target of the Alphabetic zone until "TIME UP".
play_until_time_up() {
  local letters=abcdefghijklmnopqrstuvwxyz index
  while ! state_has "frmStage.TimeLeft=0"; do
    index=$(state_value frmStage.TargetIndex)
    if [ -n "$index" ] && [ "$index" -ge 1 ] && [ "$index" -le 26 ]; then
      key "${letters:index-1:1}"
    fi
    sleep 0.25
  done
}

# From "TIME UP" through the results, the name entry and the certificate,
# whichever the score leads to, back to the title.
finish_game() {
  sleep 1
  key Return && wait_for "active=frmResults"
  sleep 3
  key Return
  for _ in $(seq 40); do
    sleep 0.25
    if state_has "active=frmNentry"; then
      DISPLAY="$display" xdotool type --delay 50 perf
      key Return
      wait_for "active=frmCertif"
    fi
    if state_has "active=frmCertif"; then
      sleep 2
      key Return
    fi
    state_has "active=frmTitle" && break
  done
}

measure_idle_and_memory() {
  say "idle cost on the title (offscreen and Xvfb) and on the waiting stage (Xvfb)"
  local pid percent
  QT_QPA_PLATFORM=offscreen "$game" >/dev/null 2>&1 &
  pid=$!
  own_pids+=("$pid")
  sleep 5 # the intro is over after 3.7 s; then only the prompt blinks
  percent=$(idle_cpu "$pid" 10)
  kill "$pid"
  row "Idle: title with its prompt blinking, 10 s, offscreen (CPU, share of one core)" "$percent %" "1 %" "$(meets "$percent" 1)"

  [ -n "$display" ] || start_x
  QT_QPA_PLATFORM=xcb DISPLAY="$display" QUORVEL_STATE_FILE="$state" "$game" >"$log/game.log" 2>&1 &
  pid=$!
  own_pids+=("$pid")
  wait_for "active=frmTitle"
  sleep 5
  percent=$(idle_cpu "$pid" 10)
  row "Idle: title with its prompt blinking, 10 s, Xvfb (CPU, share of one core)" "$percent %" "1 %" "$(meets "$percent" 1)"

  key space && wait_for "active=frmMenu"
  key Return && wait_for "active=frmZone"
  key Return && wait_for "active=frmStage"
  sleep 1
  percent=$(idle_cpu "$pid" 10)
  row "Idle: stage Waiting, 10 s, Xvfb (CPU, share of one core)" "$percent %" "1 %" "$(meets "$percent" 1)"

  say "memory: one whole game on Xvfb"
  key space
  wait_for "frmStage.Timer1.Enabled=1"
  play_until_time_up
  finish_game
  local back peak_mb split score
  back=$(state_has "active=frmTitle" && echo "back on the title" || echo "did NOT get back to the title")
  peak_mb=$(awk '/^VmHWM/ { printf "%.1f", $2 / 1024 }' "/proc/$pid/status")
  split=$(awk '/^RssFile/ { file = $2 } /^RssAnon/ { anon = $2 }
    END { printf "at the end %.1f MB of mapped files, %.1f MB of its own", file / 1024, anon / 1024 }' "/proc/$pid/status")
  score=$(state_value Module1.LastScore)
  kill "$pid" 2>/dev/null || true
  row "Peak resident size, title to title through one game (score $score, $back; $split), Xvfb" "$peak_mb MB" "36 MB" "$(meets "$peak_mb" 36)"
}

# ------------------------------------------------------------------ timing

measure_timing() {
  say "timing accuracy: $games real games of 30 s (about $((games * 32 / 60 + 1)) minutes)"
  QT_QPA_PLATFORM=offscreen "$timing" "$games" >"$log/timing.txt" 2>&1
  timing_value() { awk -v want="$1" '$1 == "timing" && $2 == want { print $3 }' "$log/timing.txt"; }
  local length_error interval jitter lateness drift
  length_error=$(timing_value game-length-max-error-ms)
  row "Game length, start key to TIME UP, worst of $games, error from 30.000 s (wall)" "$length_error ms" "10 ms" "$(meets "$length_error" 10)"
  for interval in 50 100; do
    jitter=$(timing_value "tick-${interval}ms-jitter-p95-ms")
    lateness=$(timing_value "tick-${interval}ms-lateness-p95-ms")
    row "$interval ms ticks: jitter of the interval, 95th percentile (wall; lateness p95 $lateness ms)" "$jitter ms" "2 ms" "$(meets "$jitter" 2)"
  done
  drift=$(awk '$1 == "timing" && $2 ~ /drift-ms-per-game/ && $3 > worst { worst = $3 } END { printf "%.3f", worst }' "$log/timing.txt")
  row "Drift: growth of a timer's lateness over a game, worst timer and game (wall)" "$drift ms" "1 ms" "$(meets "$drift" 1)"
}

# ------------------------------------------------------------------ web

# The web preset's site in headless Chromium; bench/web/perf.mjs prints the
# same table, whose rows are taken over as they are.
measure_web() {
  say "the web build in headless Chromium (about three minutes)"
  (cd "$root" && cmake --preset web && cmake --build --preset web -j2) >"$log/web-build.log"
  if [ ! -e "$root/tests/web/node_modules/.package-lock.json" ]; then
    (cd "$root/tests/web" && npm ci --no-audit --no-fund >"$log/npm.log")
  fi
  local web_games=3 web_starts=9 line
  [ "$games" -ge 10 ] || web_games=1 web_starts=3
  node "$root/bench/web/perf.mjs" --games "$web_games" --starts "$web_starts" --log "$log/web.json" >"$log/web.txt"
  while IFS= read -r line; do
    [[ "$line" == "| "* && "$line" != "| Figure |"* ]] || continue
    IFS='|' read -r _ figure measured budget met <<<"$line"
    row "$(echo "$figure" | sed 's/^ //; s/ $//')" "$(echo "$measured" | xargs)" "$(echo "$budget" | xargs)" "$(echo "$met" | xargs)"
  done <"$log/web.txt"
}

# ------------------------------------------------------------------ run

wants bench && measure_bench
wants startup && measure_startup
wants idle && measure_idle_and_memory
wants timing && measure_timing
wants web && measure_web

echo
echo "Quorvel performance, $(date -u '+%Y-%m-%d %H:%M UTC'); $(nproc) cores ($(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')), $(awk '/MemTotal/ { printf "%.0f GB", $2 / 1048576 }' /proc/meminfo) memory; load average $load_before at the start, $(cut -d' ' -f1-3 /proc/loadavg) at the end"
echo "Raw outputs: $log"
echo
echo "| Figure | Measured | Budget | Met |"
echo "|---|---|---|---|"
for line in "${rows[@]}"; do
  IFS='|' read -r figure measured budget met <<<"$line"
  echo "| $figure | $measured | $budget | $met |"
done
