# The host's file refuses writes part-way through the copy (--fail-write-after): the save ends with -20, the
# temporary file is gone, and the file keeps only the whole 64 KiB blocks written before the refusal, since
# the host's interface has no way to shorten a file again.
source "$(dirname "$0")/lib.sh" "$@"
# A plug-in folder of its own: the settings file the save writes stays with this test.
plugin=$(own_plugin "$work/plugin")
ok=(${dialog_ok[@]+"${dialog_ok[@]}"})

sample noise 200 160 in.png
run --plugin "$plugin" save in.png whole.png "${ok[@]}"
expect_status 0 "save without a limit"
size=$(wc -c <whole.png)
[ "$size" -gt 65536 ] || fail "the PNG is too small to be refused part-way: $size bytes"

# Room for 80000 bytes: the first block goes in, the second (bytes 65536 on) is refused whole.
run --plugin "$plugin" save in.png out.png --fail-write-after 80000 "${ok[@]}"
expect_status 1 "save into a file that refuses after 80000 bytes"
expect_line "selector 14 result -20"
[ "$(wc -c <out.png)" -eq 65536 ] || fail "out.png should keep 65536 bytes but has $(wc -c <out.png)"
cmp -s -n 65536 whole.png out.png || fail "out.png does not begin with the PNG"
expect_absent out.png.temp

# Refused from the first byte: nothing is written.
run --plugin "$plugin" save in.png none.png --fail-write-after 0 "${ok[@]}"
expect_status 1 "save into a file that refuses everything"
expect_line "selector 14 result -20"
expect_empty_file none.png
expect_absent none.png.temp

# Room for exactly the PNG: saved.
run --plugin "$plugin" save in.png exact.png --fail-write-after "$size" "${ok[@]}"
expect_status 0 "save into a file with room for exactly the PNG"
cmp -s whole.png exact.png || fail "exact.png differs from whole.png"

# Not a byte count: a usage error.
run --plugin "$plugin" save in.png bad.png --fail-write-after -5
expect_status 2 "a negative byte count"

finish
