# Cancelling the dialog ends the save with -128, leaving the destination empty and no temporary file.
source "$(dirname "$0")/lib.sh" "$@"
# A plug-in folder of its own: the settings file the save writes stays with this test.
plugin=$(own_plugin "$work/plugin")

sample rgba 8 8 in.png
run --plugin "$plugin" save in.png out.png --cancel
expect_status 1 "cancelled save"
expect_line "selector 13 result 0"
expect_line "selector 14 result -128"
expect_no_line "selector 16 result 0"
expect_empty_file out.png
expect_absent out.png.temp
# The dialog closed, by Cancel: it wrote the options beside the plug-in.
grep -q "^laPN 256 " "$work/plugin/Vexlorin.ini" 2>/dev/null || fail "no settings file written beside the plug-in"

finish
