# Refine Palette (Rfne) moves the median cut's colours closer to the image's: never further from the source
# than the cut alone, and the same bytes on every build (the digests below were made natively and hold under
# wine64 as well).
source "$(dirname "$0")/lib.sh" "$@"

sample rgb 96 64 in.png
sample rgba 96 64 in-alpha.png
palette=(--param Type=1 --param NPal=16 --param Dthr=0)

run save in.png cut.png "${palette[@]}" --param Rfne=0 "${dialog_ok[@]}"
expect_status 0 "save with the median cut"
run save in.png refined.png "${palette[@]}" --param Rfne=1 "${dialog_ok[@]}"
expect_status 0 "save with the refined palette"
run save in-alpha.png refined-alpha.png --param Type=1 --param NPal=64 --param Dthr=1 --param Rfne=1 "${dialog_ok[@]}"
expect_status 0 "save of an image with transparency, refined, with Diffusion"
for file in cut.png refined.png refined-alpha.png; do expect_valid_png "$file"; done

cut_error=$(python3 "$e2e_dir/pixels.py" error in.png cut.png)
refined_error=$(python3 "$e2e_dir/pixels.py" error in.png refined.png)
[ "$refined_error" -lt "$cut_error" ] ||
  fail "the refined palette is no closer to the source: squared error $refined_error against the cut's $cut_error"

digest() { sha256sum "$1" | cut -c1-16; }
[ "$(digest refined.png)" = "d1c8a2ccd9704ab5" ] || fail "refined.png differs from the natively made file: $(digest refined.png)"
[ "$(digest refined-alpha.png)" = "d1fe09c1be74ae47" ] ||
  fail "refined-alpha.png differs from the natively made file: $(digest refined-alpha.png)"

finish
