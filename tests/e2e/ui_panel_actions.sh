# The options panel driven as a person would: the Palette type by its radio button, 16 colours from the
# list, a click on a palette cell, a double click that picks a colour for its entry; each shows in the
# saved file. Cells beyond the shown count cannot be clicked, and the progress bar is hidden again after
# a refresh.
source "$(dirname "$0")/lib.sh" "$@"

sample rgba 64 48 in.png
plugin=$(own_plugin "$work/plugin")

ui_script palette.ui "resize 900 800" "click 1003" "select 1006 4" "rect progress" "rect 1017" "cell 3" "rect 1017" \
  "dblcell 0" "ok"
run --plugin "$plugin" save in.png out.png --ui palette.ui --pick FF0000
expect_status 0 "the save with 16 colours"
expect_valid_png out.png
grep -q "^rect progress .* hidden " <<<"$out" || fail "the progress bar is not hidden after the refreshes: $out"
lock_lines=$(grep '^rect 1017 ' <<<"$out")
[ "$(sed -n 1p <<<"$lock_lines" | awk '{print $8}')" = "disabled" ] ||
  fail "the lock button is not disabled before a cell is selected: $lock_lines"
[ "$(sed -n 2p <<<"$lock_lines" | awk '{print $8}')" = "enabled" ] ||
  fail "the lock button is not enabled after cell 3 was clicked: $lock_lines"
pngcheck -v out.png 2>/dev/null | grep -q "8-bit palette" ||
  fail "out.png is not a palette image: $(pngcheck -v out.png 2>&1 | head -3)"
entries=$(python3 "$e2e_dir/pixels.py" palette out.png)
[ "$(wc -l <<<"$entries")" -eq 16 ] || fail "out.png has $(wc -l <<<"$entries") palette entries, not 16"
[ "$(head -n 1 <<<"$entries")" = "255 0 0" ] || fail "entry 0 is '$(head -n 1 <<<"$entries")', not the picked 255 0 0"

ui_script hidden.ui "resize 900 800" "click 1003" "select 1006 4" "cell 16" "ok"
run --plugin "$plugin" save in.png out.png --ui hidden.ui
expect_status 2 "a click on a hidden cell"
grep -qF "hidden.ui line 4: palette cell 16 is hidden" <<<"$err" || fail "no message naming line 4: $err"

finish
