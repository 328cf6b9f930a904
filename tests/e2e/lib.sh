# Shared by the end-to-end scripts. Usage inside a script: source lib.sh "$@" (the arguments being the command
# that runs vexhost: the native program, or wine-run PREFIX vexhost.exe). Each script works in its own
# temporary folder, removed on exit, and ends with finish.
set -uo pipefail
e2e_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
vexhost=("$@")
# The scripts change folder, so a relative program path is made absolute first.
if [ "${#vexhost[@]}" -gt 0 ] && [[ "${vexhost[0]}" == */* && "${vexhost[0]}" != /* ]]; then
  vexhost[0]="$PWD/${vexhost[0]}"
fi
# The Windows host runs the real plug-in DLL under wine (scripts/wine-run PREFIX vexhost.exe); the native one
# links the plug-in's core with a stand-in for the dialog.
windows_host=0
wine_prefix=""
if [ "${#vexhost[@]}" -gt 0 ] && [[ "${vexhost[-1]}" == *.exe ]]; then
  windows_host=1
  [[ "${vexhost[-1]}" == /* ]] || vexhost[-1]="$PWD/${vexhost[-1]}"
  if [ "${#vexhost[@]}" -ge 3 ]; then
    [[ "${vexhost[1]}" == /* ]] || vexhost[1]="$PWD/${vexhost[1]}"
    wine_prefix=${vexhost[1]}
  fi
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# sample KIND WIDTH HEIGHT FILE [ARG]: an exactly known input image (make_sample.py).
sample() { python3 "$e2e_dir/make_sample.py" "$@" || fail "could not make sample $*"; }

# run ARGS...: runs vexhost; $status, and its output without carriage returns in $out and $err.
run() {
  "${vexhost[@]}" "$@" >"$work/.stdout" 2>"$work/.stderr"
  status=$?
  out=$(tr -d '\r' <"$work/.stdout")
  err=$(tr -d '\r' <"$work/.stderr")
}

expect_status() {
  [ "$status" -eq "$1" ] || fail "${2:-vexhost} exited $status, expected $1; stdout: $out; stderr: $err"
}

expect_line() {
  grep -qxF -- "$1" <<<"$out" || fail "no line '$1' in: $out"
}

expect_no_line() {
  ! grep -qxF -- "$1" <<<"$out" || fail "unexpected line '$1' in: $out"
}

expect_valid_png() {
  [ -s "$1" ] || { fail "$1 is missing or empty"; return; }
  pngcheck -q "$1" >/dev/null || fail "$1 does not pass pngcheck: $(pngcheck "$1" 2>&1)"
}

expect_empty_file() {
  [ -f "$1" ] || { fail "$1 does not exist"; return; }
  [ ! -s "$1" ] || fail "$1 should be empty but has $(wc -c <"$1") bytes"
}

expect_absent() {
  [ ! -e "$1" ] || fail "$1 should not exist"
}

# own_plugin FOLDER: prints the path of a plug-in of this test's own in FOLDER (created), for --plugin. The
# settings file Vexlorin.ini lives beside the plug-in, so a copy keeps it away from other tests. On Windows
# the DLL built beside vexhost.exe is copied; natively the path only names the folder.
own_plugin() {
  mkdir -p "$1"
  if [ "$windows_host" -eq 1 ]; then
    cp "$(dirname "${vexhost[-1]}")/Vexlorin.8bi" "$1/Vexlorin.8bi" || fail "could not copy the plug-in into $1"
  fi
  echo "$1/Vexlorin.8bi"
}

# Options for a save that the dialog answers with OK, in ${dialog_ok[@]}: the real dialog waits for a person,
# so on Windows a UI script presses OK, with a plug-in copy of the test's own (see own_plugin); the native
# stand-in answers OK by itself.
dialog_ok=()
if [ "$windows_host" -eq 1 ]; then
  printf 'ok\n' >"$work/.ok.ui"
  dialog_ok=(--ui "$work/.ok.ui" --plugin "$(own_plugin "$work/.plugin")")
fi

# ui_script FILE LINE...: writes a UI script, one action per argument.
ui_script() {
  local file=$1
  shift
  printf '%s\n' "$@" >"$file"
}

# pixel FILE X Y [X Y]...: "R G B" of each pixel of a PNG or BMP file, a line each (pixels.py).
pixel() { python3 "$e2e_dir/pixels.py" pixel "$@"; }
# preview_origin: the preview control's top-left corner in the client area (snapshot coordinates), from the
# rectangles in $out; the header bar sits at the client area's top-left corner.
preview_origin() {
  local cx cy px py
  read -r cx cy _ _ <<<"$(rect_of header)"
  read -r px py pw ph <<<"$(rect_of dialog:1005)"
  origin_x=$((${px:-0} - ${cx:-0}))
  origin_y=$((${py:-0} - ${cy:-0}))
  preview_width=${pw:-0}
  preview_height=${ph:-0}
}

# expect_pixel FILE X Y "R G B" WHAT
expect_pixel() {
  local got
  got=$(pixel "$1" "$2" "$3")
  [ "$got" = "$4" ] || fail "$5: pixel $2,$3 of $1 is '$got', expected '$4'"
}

# ini_value FOLDER KEY: the number stored under KEY (four characters, written reversed) in FOLDER/Vexlorin.ini.
ini_value() { sed -n "s/^$2 \(-\{0,1\}[0-9]*\).*/\1/p" "$1/Vexlorin.ini"; }

# picture_size FILE: "WIDTH HEIGHT".
picture_size() { python3 "$e2e_dir/pixels.py" size "$1"; }
# column FILE X ROWS: the first ROWS pixels of column X as one hex string.
column() { python3 "$e2e_dir/pixels.py" column "$1" "$3" "$2"; }

# at_dpi DPI: from now on vexhost runs under a wine prefix of its own whose screen has DPI dots per inch (made on
# first use, beside the build tree's prefix), in a virtual screen of its own large enough for the dialog there.
at_dpi() {
  local prefix="$wine_prefix-dpi$1"
  if [ ! -f "$prefix/.dpi-$1" ]; then
    "${vexhost[0]}" "$prefix" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 &&
      "${vexhost[0]}" "$prefix" reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
        /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 &&
      WINEPREFIX=$prefix wineserver -w && touch "$prefix/.dpi-$1" || fail "could not make a wine prefix at $1 dpi"
  fi
  vexhost=(xvfb-run -a -s "-screen 0 3840x2400x24" "${vexhost[0]}" "$prefix" "${vexhost[-1]}")
}

# rect_of NAME: the four numbers of vexhost's "rect NAME X Y WIDTH HEIGHT ..." line in $out.
rect_of() { sed -n "s/^rect $1 \(-\{0,1\}[0-9]* -\{0,1\}[0-9]* [0-9]* [0-9]*\) .*/\1/p" <<<"$out"; }

finish() {
  if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
  fi
  echo "all checks passed"
  exit 0
}
