#!/usr/bin/env bash
# The demo: builds kelbra, starts Pd headless with the example patch (a 4 Hz
# tremolo between keltap~ demo and kelfeed~ demo), plays a signal through
# kelbra.so with kelbra-host at real-time pace, and reports the measured round
# trip and what the patch did. Needs no sound card. Leaves no process and no
# shared-memory channel behind.
#
#   scripts/demo.sh [--seconds S] [--latency FRAMES] [--out DIR] [--build-dir DIR] [--no-build]
#
# KELBRA_DEMO_SECONDS sets the default length of the played signal (4 s).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${KELBRA_DEMO_SECONDS:-4}
latency=1024
out=$root/demo-output
build=$root/build-demo
do_build=1
id=demo  # the identifier the example patch's boxes carry

usage() { sed -n '8,10p' "$0" | sed 's/^# \{0,3\}//'; }
while [ $# -gt 0 ]; do
  case $1 in
    --seconds) seconds=$2; shift 2 ;;
    --latency) latency=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    --build-dir) build=$2; shift 2 ;;
    --no-build) do_build=0; shift ;;
    -h|--help) usage; exit 0 ;;
    *) echo "demo: unknown option $1" >&2; usage >&2; exit 2 ;;
  esac
done

say() { printf '\n== %s\n' "$*"; }
die() { echo "demo: $*" >&2; exit 1; }

command -v pd >/dev/null || die "pd is not installed (run scripts/setup-debian.sh)"

if [ "$do_build" = 1 ]; then
  say "building in $build"
  mkdir -p "$build"
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELBRA_BENCHMARKS=OFF >"$build/demo-configure.log" 2>&1 ||
    { cat "$build/demo-configure.log"; die "configuring failed"; }
  cmake --build "$build" -j "$(nproc)" --target kelbra kelbra-host keltap_tilde kelfeed_tilde
fi
host=$build/tools/kelbra-host
pddir=$build/pd
[ -x "$host" ] || die "no kelbra-host in $build (build it, or drop --no-build)"
[ -f "$pddir/kelbra-demo.pd" ] || die "no example patch in $pddir"

channel=/dev/shm/kelbra.$(id -u).id-$id
work=$(mktemp -d)
pd_pid=""
trip_pid=""
cleanup() {
  # Only our own children, by their ids.
  [ -n "$trip_pid" ] && kill "$trip_pid" 2>/dev/null || true
  if [ -n "$pd_pid" ] && kill -0 "$pd_pid" 2>/dev/null; then
    touch "$work/stop"
    for _ in $(seq 50); do kill -0 "$pd_pid" 2>/dev/null || break; sleep 0.1; done
    kill "$pd_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

wait_for() {  # wait_for FILE TEXT SECONDS
  local tries=$(( $3 * 20 ))
  for _ in $(seq "$tries"); do
    grep -q -- "$2" "$1" 2>/dev/null && return 0
    sleep 0.05
  done
  return 1
}

say "round trip: clicks through kelbra.so -> keltap~ $id -> patch -> kelfeed~ $id -> kelbra.so"
# kelbra-host takes the identifier first: a Pd box made before the plug-in
# holds it stays unconnected.
"$host" --id "$id" --latency "$latency" --round-trip --quiet >"$work/trip.log" 2>&1 &
trip_pid=$!
wait_for "$work/trip.log" "kelbra-host:" 5 || { cat "$work/trip.log"; die "kelbra-host did not start"; }

pd -nogui -nosound -stderr -path "$pddir" -open "$pddir/kelbra-demo.pd" -open "$root/tools/demo/kelbra-demo-stop.pd" \
  -send "kelbra-demo-stop-file symbol $work/stop" >"$work/pd.log" 2>&1 &
pd_pid=$!
wait_for "$work/pd.log" "keltap $id: SUCCESS CONNECT VST" 10 || { cat "$work/pd.log"; die "Pd did not connect"; }
echo "pd (pid $pd_pid) runs the example patch headless:"
sed 's/^/  pd: /' "$work/pd.log"

trip_status=0
wait "$trip_pid" || trip_status=$?
trip_pid=""
cat "$work/trip.log"
[ "$trip_status" = 0 ] || die "the round trip failed (kelbra-host exit $trip_status)"

say "playing $seconds s of a 220 Hz tone through the patch (dry 0: only what Pd returns)"
mkdir -p "$out"
"$host" --id "$id" --latency "$latency" --dry 0 --signal sine --frequency 220 --level -12 --seconds "$seconds" \
  --save-input "$out/input.wav" --output "$out/output.wav" | tee "$work/tone.log"

say "stopping Pd"
touch "$work/stop"
for _ in $(seq 100); do kill -0 "$pd_pid" 2>/dev/null || break; sleep 0.05; done
if kill -0 "$pd_pid" 2>/dev/null; then
  die "Pd did not quit"
fi
wait "$pd_pid" || true
pd_pid=""
[ -e "$channel" ] && die "the channel $channel was left behind"
echo "Pd has quit; no channel left in /dev/shm"

say "done"
echo "input:  $out/input.wav"
echo "output: $out/output.wav"
grep -h "^round trip:" "$work/trip.log" | sed 's/^/measured /' || true
levels=$(grep -h "^output level in 10 ms windows" "$work/tone.log" | sed "s/^output level in 10 ms windows: //" || true)
echo "what the patch did: output level in 10 ms windows ${levels:-not measured}"
echo "  (the example patch is a tremolo at 4 Hz, depth 100%)"
