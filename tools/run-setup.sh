#!/usr/bin/env bash
# Starts the built setup program under Wine in the build tree's prefix.
# With a DISPLAY, the program shows there for a person to use, and this script waits for it
# to end. Without one, it performs a whole installation as a person would, on a private
# 1024x768 Xvfb screen: Quick Install, then Finish with the launch box cleared, clicked with
# the mouse; the installation is checked and removed again, and a screenshot of every page
# is kept under artifacts/.
set -euo pipefail
build=$(cd "${1:-build/win32}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
exe="$build/StampwellSetup.exe"
[ -f "$exe" ] || { echo "run-setup: $exe is missing; build first (make win32)" >&2; exit 1; }

if [ -n "${DISPLAY:-}" ]; then
  STAMPWELL_USE_DISPLAY=1 exec "$here/wine-run.sh" --build-dir "$build" "$exe"
fi

mkdir -p "$build/artifacts"
"$here/wine-run.sh" --build-dir "$build" --start
trap '"$here/wine-run.sh" --build-dir "$build" --stop' EXIT
python3 "$here/../tests/e2e/drive_setup.py" --build-dir "$build" quick
echo "run-setup: screenshots of every page: $build/artifacts/e2e-quick-*.png"
