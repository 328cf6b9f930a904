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

finish() {
  if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
  fi
  echo "all checks passed"
  exit 0
}
