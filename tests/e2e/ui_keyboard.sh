# The preview dialog by keyboard alone (vexhost's `key` and `focus`): the dialog opens with the keyboard on
# Save; Enter presses a focused button and the default button (Save) from anywhere else; Space presses a
# focused button; Escape cancels; Tab goes through every enabled control in reading order, the header's buttons
# included, and Shift+Tab back; the palette view is one stop whose arrows select and whose Enter picks a colour.
source "$(dirname "$0")/lib.sh" "$@"

sample rgba 24 16 in.png

# keyed_save NAME EXPECTED_STATUS SCRIPT_LINE... [-- vexhost options]: a save in a folder of its own.
keyed_save() {
  local name=$1 expected=$2
  shift 2
  local lines=() options=()
  while [ "$#" -gt 0 ] && [ "$1" != "--" ]; do lines+=("$1"); shift; done
  [ "$#" -gt 0 ] && { shift; options=("$@"); }
  local plugin
  plugin=$(own_plugin "$work/$name")
  ui_script "$name.ui" "${lines[@]}"
  run --plugin "$plugin" save in.png "$name.png" --ui "$name.ui" "${options[@]}"
  expect_status "$expected" "the $name save"
}

# focus_lines: the "ID CLASS" of every focus line in $out, one per line.
focus_lines() { sed -n 's/^focus //p' <<<"$out"; }

# Enter right away saves: the keyboard starts on Save.
keyed_save enter 0 "focus" "key Enter"
[ "$(focus_lines)" = "1 MacStyleBtn" ] || fail "the dialog opened with the focus on '$(focus_lines)', not Save"
expect_line "selector 14 result 0"
expect_valid_png enter.png

# Tab to Cancel, then Enter: the focused button, not the default one, is pressed.
keyed_save cancel_by_enter 1 "key Tab" "focus" "key Enter"
[ "$(focus_lines)" = "2 MacStyleBtn" ] || fail "one Tab went to '$(focus_lines)', not Cancel"
expect_line "selector 14 result -128"
expect_empty_file cancel_by_enter.png

# Space presses the focused Cancel too.
keyed_save cancel_by_space 1 "key Tab" "key Space"
expect_line "selector 14 result -128"
expect_empty_file cancel_by_space.png

# Enter on a control that is no button presses Save.
keyed_save enter_elsewhere 0 "key Tab" "key Tab" "key Tab" "focus" "key Enter"
[ "$(focus_lines)" = "1005 Button" ] || fail "three Tabs went to '$(focus_lines)', not the Alpha Channel box"
expect_valid_png enter_elsewhere.png

# Escape cancels.
keyed_save escape 1 "key Escape"
expect_line "selector 14 result -128"

# The tab order of a Palette save without transparency: every enabled control of the panel from top to bottom,
# the palette view once, then the header's three buttons from left to right, the zoom and view lists above the
# preview, and round to Save again.
palette=(-- --param Type=1 --param NPal=16 --param UAlC=0 --param UCCl=0)
tabs=("focus")
for _ in $(seq 1 18); do tabs+=("key Tab" "focus"); done
keyed_save tab_order 1 "${tabs[@]}" "cancel" "${palette[@]}"
expected_order="1 MacStyleBtn
2 MacStyleBtn
1003 Button
1024 ComboBox
1006 ComboBox
1021 Button
1005 Button
1008 Contaner Color CPP
1013 Button
1010 ComboBox
1026 Button
1022 ComboBox
333 Contaner CPP
1007 Control Button CPP
1005 Control Button CPP
1006 Control Button CPP
1040 ComboBox
1042 ComboBox
1 MacStyleBtn"
[ "$(focus_lines)" = "$expected_order" ] || fail "the tab order was:
$(focus_lines)"

# Shift+Tab goes the other way round.
keyed_save back_order 1 "key Shift+Tab" "focus" "key Shift+Tab" "focus" "key Shift+Tab" "focus" "key Shift+Tab" \
  "focus" "key Shift+Tab" "focus" "cancel" "${palette[@]}"
[ "$(focus_lines)" = "1042 ComboBox
1040 ComboBox
1006 Control Button CPP
1005 Control Button CPP
1007 Control Button CPP" ] || fail "Shift+Tab went through '$(focus_lines)'"

# In the palette view: Right selects the first cell, Enter gives it the host's colour, as a double click would;
# with the entry selected, the lock button joins the tab order after the view.
keyed_save palette_keys 0 "key Tab" "key Tab" "key Tab" "key Tab" "key Tab" "key Tab" "key Tab" "key Tab" \
  "key Tab" "key Tab" "key Tab" "key Tab" "focus" "key Right" "key Enter" "key Tab" "focus" "ok" "${palette[@]}" --pick FF00C8
[ "$(focus_lines)" = "333 Contaner CPP
1017 Button" ] || fail "the palette view and the lock after it were not reached: '$(focus_lines)'"
expect_valid_png palette_keys.png
first=$(python3 "$e2e_dir/pixels.py" palette palette_keys.png | head -n 1)
[ "$first" = "255 0 200" ] || fail "palette entry 0 is '$first', not the picked 255 0 200"

# The About box: its link is a tab stop too, before the Close button.
plugin=$(own_plugin "$work/about")
ui_script about.ui "focus" "key Tab" "focus" "key Tab" "focus" "cancel"
run --plugin "$plugin" about --ui about.ui
expect_status 0 "the About box"
[ "$(focus_lines)" = "1004 ContainerLinkC
2 MacStyleBtn
1004 ContainerLinkC" ] || fail "Tab went round the About box as '$(focus_lines)'"

finish
