# A palette colour locked in the dialog survives a rebuild of the palette: a cell selected, the lock pressed,
# then fewer colours chosen; the saved palette still holds the locked colour.
source "$(dirname "$0")/lib.sh" "$@"

sample rgba 60 40 in.png
options=(--param Type=1 --param NPal=256 --param UAlC=0 --param UCCl=0)

# palette_of NAME SCRIPT_LINE...: saves with the script (which ends with ok) and prints the file's palette.
palette_of() {
  local name=$1
  shift
  local plugin
  plugin=$(own_plugin "$work/$name")
  ui_script "$name.ui" "$@"
  run --plugin "$plugin" save in.png "$name.png" --ui "$name.ui" "${options[@]}"
  expect_status 0 "the $name save"
  python3 "$e2e_dir/pixels.py" palette "$name.png"
}

full=$(palette_of full "ok")
locked_colour=$(sed -n 6p <<<"$full")  # entry 5
[ -n "$locked_colour" ] || fail "the 256-colour save has no entry 5: $full"
plain=$(palette_of plain "click 1003" "select 1006 4" "ok")
[ "$(wc -l <<<"$plain")" -eq 16 ] || fail "16 colours gave $(wc -l <<<"$plain") entries"
! grep -qxF "$locked_colour" <<<"$plain" || fail "the 16-colour palette holds $locked_colour even without a lock"

locked=$(palette_of locked "cell 5" "click 1017" "select 1006 4" "ok")
[ "$(wc -l <<<"$locked")" -eq 16 ] || fail "16 colours with a lock gave $(wc -l <<<"$locked") entries"
grep -qxF "$locked_colour" <<<"$locked" || fail "the locked colour $locked_colour is not in the new palette: $locked"

finish
