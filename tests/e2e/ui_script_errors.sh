# UI scripts that cannot be carried out end the run with status 2 and a message naming the line, and the
# dialog is cancelled so that the process ends; a script that ends without ok or cancel presses Cancel.
source "$(dirname "$0")/lib.sh" "$@"

sample rgb 8 8 in.png
plugin=$(own_plugin "$work/plugin")

# A line that is no action: refused before the plug-in runs, so no output file is made.
ui_script typo.ui "# a comment" "" "rect dialog" "clik 1"
run --plugin "$plugin" save in.png out.png --ui typo.ui
expect_status 2 "a script with an unknown action"
grep -qF "typo.ui line 4: unknown action 'clik'" <<<"$err" || fail "no message naming line 4: $err"
expect_absent out.png

run --plugin "$plugin" save in.png out.png --ui missing.ui
expect_status 2 "a script that does not exist"
grep -qF "cannot read the UI script missing.ui" <<<"$err" || fail "no message for a missing script: $err"

# A control that does not exist: the dialog is cancelled, the save ends with -128.
ui_script nothing.ui "rect dialog" "click 4242" "ok"
run --plugin "$plugin" save in.png out.png --ui nothing.ui
expect_status 2 "a click on a control that does not exist"
grep -qF "nothing.ui line 2: no control 4242 in the options panel, the dialog or the header bar" <<<"$err" ||
  fail "no message naming line 2 and the control: $err"
expect_line "selector 14 result -128"
expect_empty_file out.png

# An explicit scope looks only there: 1005 is the preview in the dialog, which click does not press.
ui_script scoped.ui "click header:1"
run --plugin "$plugin" save in.png out.png --ui scoped.ui
expect_status 2 "a click on a button the header does not have"
grep -qF "scoped.ui line 1: no control 1 in the header bar" <<<"$err" || fail "no message for header:1: $err"
ui_script preview.ui "click dialog:1005"
run --plugin "$plugin" save in.png out.png --ui preview.ui
expect_status 2 "a click on the preview"
grep -qF "preview.ui line 1: control dialog:1005 is a \"Preview Contaner CPP\", which click does not press" <<<"$err" ||
  fail "no message for a click on the preview: $err"
expect_line "selector 14 result -128"

# The header's About button opens the About box over the dialog, which a person cannot use meanwhile; after the
# failed click both are cancelled, the box first.
ui_script about-open.ui "click header:1005" "click 1004"
run --plugin "$plugin" save in.png out.png --ui about-open.ui
expect_status 2 "a click on the dialog behind the About box"
grep -qF "about-open.ui line 2: control 1004 is inside a disabled window" <<<"$err" ||
  fail "no message for the covered dialog: $err"
expect_line "selector 14 result -128"

# Without ok or cancel the script ends with Cancel.
ui_script open.ui "rect dialog"
run --plugin "$plugin" save in.png out.png --ui open.ui
expect_status 1 "a script that leaves the dialog open"
grep -qE '^rect dialog 100 100 800 [0-9]+ visible enabled$' <<<"$out" || fail "no rect line of the open dialog: $out"
expect_line "selector 14 result -128"
expect_empty_file out.png
expect_absent out.png.temp

# The About box has no OK: an ok there fails, and the box is closed all the same.
ui_script about.ui "ok"
run --plugin "$plugin" about --ui about.ui
expect_status 2 "ok in the About box"
grep -qF "about.ui line 1: no control 1 in the dialog" <<<"$err" || fail "no message for ok in the About box: $err"
expect_line "selector 0 result 0"

# --cancel is the native stand-in's; the real dialog is told through a script.
run --plugin "$plugin" save in.png out.png --cancel
expect_status 2 "--cancel with the real dialog"
grep -qF "script that says cancel" <<<"$err" || fail "--cancel did not point to --ui: $err"

finish
