#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets into corpus/<target>/ (run again after changing an input layout)."""
import pathlib
import struct

HERE = pathlib.Path(__file__).resolve().parent
KEYS = ["Left", "TopW", "Wdth", "Hght", "Type", "NPal", "UAlC", "UCCl", "UCDf", "FlCl", "Dthr", "Rfne", "Cmpr", "Qlty",
        "Meta", "CsRG"]
DEFAULTS = [100, 100, 800, 600, 2, 256, 1, 1, 1, 0, 1, 0, 0, 0, 0, 0]


def code(key):
    return (ord(key[0]) << 24) | (ord(key[1]) << 16) | (ord(key[2]) << 8) | ord(key[3])


def file_key(key):
    return struct.pack("<I", code(key)).decode("latin-1")  # as the settings file spells it: backwards


def settings_text(values):
    lines = [";Parameters for Brindlewerks Vexlorin format plug-in\n"]
    lines += [f"{file_key(k)} {v} \t\t\t\t;comment\n" for k, v in zip(KEYS, values)]
    return "".join(lines).encode("latin-1")


def descriptor(items):
    return b"".join(struct.pack("<Ii", code(k), v) for k, v in items)


def save_case(mode, planes, width, height, flags=0, transparent=0, failing=0, options=None, pixels=b""):
    options = options or {}
    mask = sum(1 << KEYS.index(k) for k in options)
    values = [options.get(k, 0) for k in KEYS]
    header = bytes([mode - 1, planes - 1, width - 1, height - 1, flags, transparent, failing])
    return header + struct.pack("<H", mask) + struct.pack(f"<{len(KEYS)}i", *values) + pixels


def ramp(count, step=7):
    return bytes((i * step) % 256 for i in range(count))


def write(target, name, data):
    folder = HERE / "corpus" / target
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(data)


# The settings file: as written, with CR LF, with odd values and comments, a long line, high bytes, no last line end.
write("settings_fuzzer", "defaults.ini", settings_text(DEFAULTS))
write("settings_fuzzer", "crlf.ini", settings_text([5, -20, 1024, 768, 1, 16, 0, 1, 0, 16777215, 3, 1, 1, 80]).replace(b"\n", b"\r\n"))
write("settings_fuzzer", "odd_values.ini",
      b";comment epyT 1\n  epyT 1\nlaPN 300\nlClF -1\nrhtD 1e3\nfDCU\nTypeforwards 2\n\tthgH\t-2147483649\nWpoT 1.5,7\n")
write("settings_fuzzer", "long_line.ini", b"tfeL " + b"9" * 1100 + b"\nepyT 0\n" + b" " * 1030 + b"laPN 4\n")
write("settings_fuzzer", "high_bytes.ini", b"epyT 0 \t;caf\xe9 laPN 8\nlaPN 8\nrhtD 2")

# Scripting parameters: all of them as recorded, one played back alone, values out of range, keys not ours.
write("script_params_fuzzer", "recorded.bin", descriptor(zip(KEYS, DEFAULTS)))
write("script_params_fuzzer", "colors_only.bin", descriptor([("NPal", 16)]))
write("script_params_fuzzer", "out_of_range.bin",
      descriptor([("Type", 300), ("Dthr", -1), ("NPal", -5), ("UAlC", 256), ("FlCl", -1), ("NPal", 1000)]))
write("script_params_fuzzer", "foreign_keys.bin",
      descriptor([("fooB", 1), ("Type", 0), ("barF", 7), ("long", 3)]) + b"\x01\x02\x03")

# Whole saves: every mode, with and without alpha, each PNG type, key colour, dithering, cancel, failures.
rgb = ramp(3 * 16 * 12)
write("save_fuzzer", "rgb_defaults.bin", save_case(3, 3, 16, 12, pixels=rgb))
write("save_fuzzer", "rgba_palette_key.bin",
      save_case(3, 4, 20, 20, options={"Type": 1, "NPal": 16, "UAlC": 0, "UCCl": 1, "Dthr": 1, "UCDf": 1},
                pixels=ramp(4 * 400, 13)))
write("save_fuzzer", "rgba_palette_refined.bin",
      save_case(3, 4, 24, 16, options={"Type": 1, "NPal": 8, "UAlC": 1, "Dthr": 0, "Rfne": 1}, pixels=ramp(4 * 384, 7)))
write("save_fuzzer", "rgba_gray_fill.bin",
      save_case(3, 4, 9, 7, options={"Type": 0, "UAlC": 0, "FlCl": 0x00336699}, pixels=ramp(4 * 63, 29)))
write("save_fuzzer", "gray_alpha_rgb.bin", save_case(1, 2, 10, 10, options={"Type": 2, "Dthr": 2}, pixels=ramp(200, 3)))
write("save_fuzzer", "indexed_transparent.bin",
      save_case(2, 1, 8, 8, flags=2, transparent=5, options={"Type": 1, "Dthr": 3}, pixels=ramp(64 + 768, 11)))
write("save_fuzzer", "cmyk_alpha_noise.bin",
      save_case(4, 5, 6, 5, options={"Type": 1, "NPal": 4, "Dthr": 3, "UAlC": 1}, pixels=ramp(150, 17)))
write("save_fuzzer", "gray_alpha_palette.bin", save_case(1, 2, 8, 8, options={"Type": 1, "UAlC": 1}, pixels=ramp(128, 5)))
write("save_fuzzer", "rgb_two_planes_palette.bin", save_case(3, 2, 8, 4, options={"Type": 1}, pixels=ramp(64, 9)))
write("save_fuzzer", "cancel_16bit_rect.bin", save_case(3, 3, 4, 4, flags=1 | 4, pixels=ramp(48)))
# Large: 640 x 480 RGBA (several bands of rows, Pattern dither) with nearly every pixel of its own colour (several
# bands of the refinement's histogram).
write("save_fuzzer", "rgba_large_bands_refined.bin",
      save_case(3, 4, 64, 48, flags=16, options={"Type": 1, "NPal": 64, "UAlC": 1, "Dthr": 2, "Rfne": 1},
                pixels=ramp(4096, 11)))
# Smallest: an RGBA image of few colours (fewer bytes by another colour type), and a palette of 16.
write("save_fuzzer", "rgba_few_colours_smallest.bin",
      save_case(3, 4, 12, 10, options={"Cmpr": 1}, pixels=bytes((i % 4) * 85 for i in range(4 * 120))))
write("save_fuzzer", "rgba_palette_smallest.bin",
      save_case(3, 4, 16, 16, options={"Type": 1, "NPal": 16, "Cmpr": 1}, pixels=ramp(4 * 256, 5)))
# Palette Quality: a count chosen for a target (small and opaque; with transparency and locks from Diffusion).
write("save_fuzzer", "rgb_palette_quality.bin",
      save_case(3, 3, 16, 12, options={"Type": 1, "Qlty": 60, "Dthr": 0}, pixels=ramp(3 * 192, 23)))
write("save_fuzzer", "rgba_palette_quality_refined.bin",
      save_case(3, 4, 20, 16, options={"Type": 1, "Qlty": 90, "Rfne": 1, "UAlC": 1}, pixels=ramp(4 * 320, 19)))
write("save_fuzzer", "advance_fails.bin", save_case(3, 4, 4, 4, flags=8, failing=2, pixels=ramp(64)))
