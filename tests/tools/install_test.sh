#!/usr/bin/env bash
# Installs a build tree into a temporary prefix and checks the layout: the
# plug-in where VST hosts look, the externals with their help patches and the
# example patch in one Pd folder, kelbra-host finding the installed plug-in;
# then a real Pd, with only that folder on its path, creates both externals by
# name, and a patch finds them from Pd's own per-user folder.
#   install_test.sh BUILD_DIR
set -uo pipefail
build=$1
home=$(mktemp -d)
# The prefix ~/.local puts the Pd folder exactly where Pd looks per user.
prefix=$home/.local
trap 'rm -rf "$home"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" || { echo "FAIL: cmake --install"; exit 1; }
pddir=$prefix/lib/pd/extra/kelbra
for f in lib/vst/kelbra.so bin/kelbra-host \
         lib/pd/extra/kelbra/keltap~.pd_linux lib/pd/extra/kelbra/kelfeed~.pd_linux \
         lib/pd/extra/kelbra/keltap~-help.pd lib/pd/extra/kelbra/kelfeed~-help.pd \
         lib/pd/extra/kelbra/kelbra-demo.pd; do
  [ -f "$prefix/$f" ] || fail "$f is not installed"
done

# The installed kelbra-host looks in ../lib/vst before anything else.
info=$("$prefix/bin/kelbra-host" --info 2>&1)
grep -qx "plug-in:  $prefix/lib/vst/kelbra.so" <<<"$info" || fail "installed kelbra-host did not pick the installed plug-in: $info"

if ! command -v pd >/dev/null; then
  [ $failures -eq 0 ] || exit 1
  [ "${CI:-}" = true ] && { echo "FAIL: pd is missing and CI=true"; exit 1; }
  echo "skipped the Pd part: pd is not installed"
  exit 77
fi

# A patch that makes both classes by name and quits. -noprefs and -nostdpath
# keep every other folder (the build tree, ~/.local, /usr/lib/pd/extra) out.
cat >"$prefix/find.pd" <<'PATCH'
#N canvas 0 0 400 200 12;
#X obj 20 20 keltap~ kelbra-install-test;
#X obj 20 60 kelfeed~ kelbra-install-test;
#X obj 200 20 loadbang;
#X msg 200 60 \; pd quit;
#X connect 2 0 3 0;
PATCH
console=$(timeout 20 pd -nogui -nosound -noprefs -nostdpath -stderr -path "$pddir" -open "$prefix/find.pd" 2>&1)
echo "$console"
grep -q "couldn't create" <<<"$console" && fail "Pd could not create the externals from $pddir"
grep -q "^keltap" <<<"$console" || fail "keltap~ did not load (no console line of its own)"
grep -q "^kelfeed" <<<"$console" || fail "kelfeed~ did not load (no console line of its own)"

# Pd searches its standard extra folders (~/.local/lib/pd/extra among them) but
# not the folders inside them: a patch reaches the externals by declaring the
# kelbra folder, or by naming it in the box.
cat >"$home/declare.pd" <<'PATCH'
#N canvas 0 0 400 200 12;
#X declare -path kelbra;
#X obj 20 20 keltap~ kelbra-install-test;
#X obj 20 60 kelbra/kelfeed~ kelbra-install-test;
#X obj 200 20 loadbang;
#X msg 200 60 \; pd quit;
#X connect 2 0 3 0;
PATCH
console=$(HOME=$home timeout 20 pd -nogui -nosound -noprefs -stderr -open "$home/declare.pd" 2>&1)
echo "$console"
grep -q "couldn't create" <<<"$console" && fail "[declare -path kelbra] or [kelbra/kelfeed~] did not find the externals"
grep -q "^keltap" <<<"$console" || fail "keltap~ did not load through [declare -path kelbra]"
grep -q "^kelfeed" <<<"$console" || fail "kelbra/kelfeed~ did not load"

[ $failures -eq 0 ] || exit 1
echo "install: all checks passed"
