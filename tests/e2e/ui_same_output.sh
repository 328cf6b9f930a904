# The Windows plug-in, saving through its real dialog with OK, writes byte for byte the file that the native
# build writes for the same input and parameters: a sample of the generated inputs, one per colour type.
# The native vexhost comes from $VEX_NATIVE_VEXHOST (the native build tree); without it the test is skipped.
source "$(dirname "$0")/lib.sh" "$@"

native=${VEX_NATIVE_VEXHOST:-}
if [ -z "$native" ] || [ ! -x "$native" ]; then
  echo "SKIP: no native vexhost at '$native'; build the native preset first"
  exit 77
fi
# Neither side may find a settings file: both use plug-in folders of their own, without one.
win_plugin=$(own_plugin "$work/win")
mkdir -p "$work/native"

sample rgb 61 47 rgb.png
sample rgba 64 48 rgba.png
sample gray 50 40 gray.png
sample indexed 33 21 indexed.png 2
sample cmyk 40 30 cmyk.pam

# NAME INPUT PARAMETERS...
cases=(
  "rgb rgb.png"
  "rgba-palette rgba.png --param Type=1 --param NPal=64"
  "gray gray.png --param Type=0"
  "indexed indexed.png --param Type=1"
  "cmyk-pattern cmyk.pam --param Type=1 --param NPal=16 --param Dthr=2"
)
printf 'ok\n' >ok.ui
for entry in "${cases[@]}"; do
  read -r -a words <<<"$entry"
  name=${words[0]}
  input=${words[1]}
  parameters=("${words[@]:2}")
  "$native" --plugin "$work/native/Vexlorin.8bi" save "$input" "native-$name.png" "${parameters[@]}" \
    >/dev/null 2>native.err || fail "the native save of $name failed: $(cat native.err)"
  run --plugin "$win_plugin" save "$input" "win-$name.png" "${parameters[@]}" --ui ok.ui
  expect_status 0 "the Windows save of $name"
  expect_valid_png "win-$name.png"
  cmp -s "native-$name.png" "win-$name.png" || fail "$name: the Windows output ($(wc -c <"win-$name.png") bytes)" \
    "differs from the native one ($(wc -c <"native-$name.png") bytes)"
done

finish
