#!/usr/bin/env bash
# Starts the built setup program under Wine in the build tree's prefix.
# With a DISPLAY, the program shows there and this script waits for it to end. Without one,
# it runs on a private 1024x768 Xvfb screen; a screenshot is kept under artifacts/.
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
read -r n _ <"$build/wine-session/xvfb"
export DISPLAY=":$n"
"$here/wine-run.sh" --build-dir "$build" "$exe" &
for _ in $(seq 1 100); do
  xdotool search --name "^Quendra Stampwell$" >/dev/null 2>&1 && break
  sleep 0.2
done
sleep 1
import -window root "$build/artifacts/run-setup.png"
echo "run-setup: the setup program is running on a private screen; screenshot: $build/artifacts/run-setup.png"
