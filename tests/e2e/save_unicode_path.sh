# A destination inside folders named in Cyrillic and CJK characters is written, and its temporary file removed.
source "$(dirname "$0")/lib.sh" "$@"
# A plug-in folder of its own: the settings file the save writes stays with this test.
plugin=$(own_plugin "$work/plugin")

folder="Пользователь/画像"
mkdir -p "$folder"
sample rgb 6 5 "$folder/вход.png"
run --plugin "$plugin" save "$folder/вход.png" "$folder/out.png" "${dialog_ok[@]}"
expect_status 0 "save into $folder"
expect_line "selector 14 result 0"
expect_valid_png "$folder/out.png"
expect_absent "$folder/out.png.temp"
[ "$(ls -A "$folder" | wc -l)" -eq 2 ] || fail "$folder holds more than the input and output: $(ls -A "$folder")"

finish
