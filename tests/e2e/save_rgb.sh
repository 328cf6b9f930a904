# A save through the whole spine writes a valid PNG through the host's open file.
source "$(dirname "$0")/lib.sh" "$@"
# A plug-in folder of its own: the settings file the save writes stays with this test.
plugin=$(own_plugin "$work/plugin")

sample rgb 17 9 in.png
run --plugin "$plugin" save in.png out.png "${dialog_ok[@]}"
expect_status 0 "save"
for selector in 13 14 15 16; do expect_line "selector $selector result 0"; done
expect_valid_png out.png
expect_absent out.png.temp
# The placeholder encoder writes the image's size; the size at least must be the input's.
pngcheck -v out.png 2>/dev/null | grep -q "17 x 9 image" ||
  fail "out.png is not 17 x 9: $(pngcheck -v out.png 2>&1 | head -3)"

finish
