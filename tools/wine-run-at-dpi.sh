#!/usr/bin/env bash
# Runs a Windows program in a Wine prefix whose screen is set to DPI pixels per inch, on a
# session (Xvfb and wineserver) of its own.
#
#   wine-run-at-dpi.sh BUILD_DIR DPI PROGRAM [ARGS]
#
# Wine takes the screen's DPI from HKCU\Control Panel\Desktop\LogPixels when a process starts,
# for the whole prefix: a test that changed it in the shared prefix would change it for every
# test that starts meanwhile. So each DPI has its own prefix, BUILD_DIR/dpi/DPI/wineprefix,
# made once from the tree's prefix: the system folders are hard links (nothing writes them),
# everything else (registry, users, program folders) is copied. STAMPWELL_SCREEN sets the
# screen size as for wine-run.sh (default 1920x1200x24, room for the largest wizard).
set -eu

build=$(cd "$1" && pwd)
dpi=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
root="$build/dpi/$dpi"
export STAMPWELL_SCREEN="${STAMPWELL_SCREEN:-1920x1200x24}"

make_prefix() {
  local from="$build/wineprefix" to="$root/wineprefix"
  [ -f "$from/.stampwell-ready" ] && [ -f "$from/.stampwell-fonts-1" ] || {
    echo "wine-run-at-dpi: the tree's prefix $from is not made yet (run a Windows test first)" >&2
    return 1
  }
  rm -rf "$root"
  mkdir -p "$to/drive_c/windows"
  # Copies first, so that the prefix's links (the drive letters, the fonts) keep their targets.
  (cd "$from" && find . -maxdepth 1 -mindepth 1 ! -name drive_c -print0 | xargs -0 -I{} cp -a {} "$to/")
  (cd "$from/drive_c" && find . -maxdepth 1 -mindepth 1 ! -name windows -print0 | xargs -0 -I{} cp -a {} "$to/drive_c/")
  (cd "$from/drive_c/windows" && find . -maxdepth 1 -mindepth 1 -print0 | while IFS= read -r -d '' entry; do
     case "$entry" in
       ./system32|./syswow64) cp -al "$entry" "$to/drive_c/windows/" ;;
       *) cp -a "$entry" "$to/drive_c/windows/" ;;
     esac
   done)
  rm -f "$to/.update-timestamp.lock"
  # The copied user folders (Desktop, Documents...) still link into the tree's own home: this
  # prefix's tests would share a desktop with the tree's tests that run meanwhile, and find or
  # lose each other's shortcuts. They link into a home of this prefix's own instead.
  mkdir -p "$root/winehome"
  find "$to/drive_c/users" -maxdepth 2 -type l -print0 | while IFS= read -r -d '' link; do
    target=$(readlink "$link")
    case "$target" in
      "$build/winehome"|"$build/winehome/"*)
        mkdir -p "$root/winehome${target#"$build/winehome"}"
        ln -sfn "$root/winehome${target#"$build/winehome"}" "$link" ;;
    esac
  done
  # Written into the registry file while no wineserver holds the prefix: a server stopped at the
  # end of a run does not always save what a program wrote just before.
  python3 - "$to/user.reg" "$dpi" <<'PY'
import re, sys
path, dpi = sys.argv[1], int(sys.argv[2])
text = open(path, encoding="utf-8").read()
value = '"LogPixels"=dword:%08x\n' % dpi
header = re.search(r'^\[Control Panel\\\\Desktop\][^\n]*\n(#time=[^\n]*\n)?', text, re.M)
if header:
    end = text.find("\n\n", header.end())
    end = len(text) if end < 0 else end + 1
    section = re.sub(r'^"LogPixels"=[^\n]*\n', "", text[header.end():end], flags=re.M)
    text = text[:header.end()] + value + section + text[end:]
else:
    text += '\n[Control Panel\\\\Desktop]\n' + value
open(path, "w", encoding="utf-8").write(text)
PY
  touch "$root/.stampwell-dpi-ready-2"
}

mkdir -p "$build/dpi"
(
  flock 9
  [ -f "$root/.stampwell-dpi-ready-2" ] || make_prefix
) 9>"$build/dpi/$dpi.lock"

exec bash "$here/wine-run.sh" --build-dir "$root" "$@"
