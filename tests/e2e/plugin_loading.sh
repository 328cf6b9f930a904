# The Windows host loads the plug-in DLL and finds its entry point, and says clearly when it cannot.
source "$(dirname "$0")/lib.sh" "$@"

# The About box waits for a person; on Windows a UI script closes it.
about_ui=()
if [ "$windows_host" -eq 1 ]; then
  ui_script close.ui "rect dialog" "cancel"
  about_ui=(--ui close.ui)
fi
run about "${about_ui[@]}"
expect_status 0 "about with the plug-in beside vexhost"
expect_line "selector 0 result 0"
[ "$windows_host" -eq 0 ] || grep -q "^rect dialog .* visible enabled$" <<<"$out" || fail "no About box was shown: $out"

run --plugin "$work/none/Vexlorin.8bi" about
expect_status 2 "a plug-in path that does not exist"
grep -q "cannot load the plug-in" <<<"$err" || fail "no clear message for a missing plug-in: $err"

# A DLL every Windows has, which exports no PluginMain.
run --plugin 'C:\windows\system32\kernel32.dll' about
expect_status 2 "a DLL without PluginMain"
grep -q "exports no PluginMain" <<<"$err" || fail "no clear message for a missing entry point: $err"

finish
