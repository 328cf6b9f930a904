# vexhost estimate prints the plug-in's size estimate as a bare number.
source "$(dirname "$0")/lib.sh" "$@"

sample rgb 100 100 rgb.png
run estimate rgb.png
expect_status 0 "estimate of RGB"
[ "$out" = "30036" ] || fail "estimate of a 100x100 RGB image printed '$out', expected 30036"

sample indexed 100 100 indexed.png
run estimate indexed.png
expect_status 0 "estimate of indexed"
[ "$out" = "10804" ] || fail "estimate of a 100x100 indexed image printed '$out', expected 10804"

finish
