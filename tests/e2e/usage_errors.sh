# Usage errors and unreadable inputs exit 2 with a message, and touch no output.
source "$(dirname "$0")/lib.sh" "$@"

sample rgb 4 4 in.png
printf 'not an image' >junk.png

expect_usage_error() {
  run "$@"
  expect_status 2 "vexhost $*"
  [ -n "$err" ] || fail "vexhost $* printed no message"
}

expect_usage_error
expect_usage_error frobnicate in.png
expect_usage_error save in.png
expect_usage_error estimate
expect_usage_error save in.png out.png --param NPal
expect_usage_error save in.png out.png --param Palette=16
expect_usage_error save in.png out.png --pick 12
expect_usage_error save in.png out.png --bogus
expect_usage_error estimate in.png --cancel
expect_usage_error save missing.png out.png
expect_usage_error save junk.png out.png
expect_usage_error estimate junk.png
expect_usage_error save in.png out.png --ui script.txt
grep -q "only the Windows vexhost.exe" <<<"$err" || fail "--ui did not say that it needs the Windows host: $err"
expect_absent out.png

finish
