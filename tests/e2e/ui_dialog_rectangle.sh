# Where the preview dialog opens and how big it may be: 100, 100 and 800 x 600 without a settings file, the
# saved rectangle with one; Cancel writes the rectangle back, also after a resize; never smaller than the
# options panel's width + 280 by 320. UI scripts report the rectangles with `rect`.
source "$(dirname "$0")/lib.sh" "$@"

sample rgb 40 30 in.png

# ini_value FOLDER KEY: the number stored under KEY (four characters, written reversed) in FOLDER/Vexlorin.ini.
ini_value() { sed -n "s/^$2 \(-\{0,1\}[0-9]*\).*/\1/p" "$1/Vexlorin.ini"; }

# Without a settings file.
plugin=$(own_plugin "$work/fresh")
ui_script fresh.ui "rect dialog" "cancel"
run --plugin "$plugin" save in.png out.png --ui fresh.ui
expect_status 1 "a save cancelled in the dialog"
expect_line "selector 14 result -128"
[ "$(rect_of dialog)" = "100 100 800 600" ] || fail "without a settings file the dialog opened at '$(rect_of dialog)'"
[ -f "$work/fresh/Vexlorin.ini" ] || fail "Cancel wrote no settings file beside the plug-in"

# With a settings file that holds another rectangle.
plugin=$(own_plugin "$work/saved")
printf ';Parameters for Brindlewerks Vexlorin format plug-in\r\ntfeL 150\r\nWpoT 120\r\nhtdW 900\r\nthgH 650\r\n' \
  >"$work/saved/Vexlorin.ini"
ui_script saved.ui "rect dialog" "cancel"
run --plugin "$plugin" save in.png out.png --ui saved.ui
expect_status 1 "a cancelled save with a settings file"
[ "$(rect_of dialog)" = "150 120 900 650" ] ||
  fail "the dialog opened at '$(rect_of dialog)', not the saved 150 120 900 650"

# Cancel after a resize stores the new size (and the unchanged position).
plugin=$(own_plugin "$work/resized")
ui_script resized.ui "resize 1000 700" "rect dialog" "cancel"
run --plugin "$plugin" save in.png out.png --ui resized.ui
expect_status 1 "a save cancelled after a resize"
[ "$(rect_of dialog)" = "100 100 1000 700" ] || fail "resize 1000 700 gave '$(rect_of dialog)'"
stored="$(ini_value "$work/resized" tfeL) $(ini_value "$work/resized" WpoT) $(ini_value "$work/resized" htdW)"
stored+=" $(ini_value "$work/resized" thgH)"
[ "$stored" = "100 100 1000 700" ] || fail "after Cancel the settings file holds the rectangle '$stored'"

# The smallest size: the panel's width + 280 by 320.
plugin=$(own_plugin "$work/small")
ui_script small.ui "resize 100 100" "rect dialog" "rect panel" "cancel"
run --plugin "$plugin" save in.png out.png --ui small.ui
expect_status 1 "a save cancelled after shrinking"
read -r _ _ width height <<<"$(rect_of dialog)"
read -r _ _ panel_width _ <<<"$(rect_of panel)"
if [ -z "${width:-}" ] || [ -z "${panel_width:-}" ]; then
  fail "no rectangles reported: $out"
else
  [ "$panel_width" -gt 0 ] || fail "the options panel is $panel_width pixels wide"
  [ "$width" -ge $((panel_width + 280)) ] || fail "shrunk to $width pixels wide, below the panel's $panel_width + 280"
  [ "$height" -ge 320 ] || fail "shrunk to $height pixels high, below 320"
fi

finish
