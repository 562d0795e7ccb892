#!/usr/bin/env python3
"""Writes one corpus input per class of hostile data into tests/fuzz/corpus/<target>/.

Each input is a shipped data file or test fixture with one deliberate fault:
a value the physics cannot use (zero, negative, not finite once read, or so
large that a path length shrinks to nothing), an order the lookups rely on
broken, or a run input whose history counts cannot be formed. Re-run after
changing the shipped files; the inputs are committed, so the fuzz corpus
replay keeps checking that each fault is refused with a message.
"""
from pathlib import Path

root = Path(__file__).resolve().parents[2]
corpus = root / "tests" / "fuzz" / "corpus"


def lines(path):
    return path.read_bytes().decode("latin-1").split("\r\n")


def write(target, name, text_lines):
    (corpus / target / name).write_bytes("\r\n".join(text_lines).encode("latin-1"))


def put(line, first, last, text):
    """Replaces columns first ... last (1-based) of `line` by `text`, right-aligned."""
    width = last - first + 1
    line = line.ljust(last)
    return line[: first - 1] + text.rjust(width)[:width] + line[last:]


# ---------------------------------------------------------------- water20.dat
water = lines(root / "data" / "water20.dat")
N = int(water[0])
coefficient_columns = [(1, 9), (10, 19), (20, 29), (30, 39), (40, 49), (50, 59)]
scatter_columns = [(1, 10), (11, 22), (23, 34)]
# The 1.5 MeV row brackets the middle source energy of the fuzz targets' histories.
row_1500 = next(i for i in range(2, N + 2) if water[i].startswith("1.500E+00"))
row_2200 = next(i for i in range(2, N + 2) if water[i].startswith("2.200E+00"))
last_row = N + 1
last_scatter = N + 46


def water_with(edits, name):
    out = list(water)
    for index, column, text in edits:
        cols = coefficient_columns if index <= N + 1 else scatter_columns
        out[index] = put(out[index], *cols[column], text)
    write("water20", name, out)


water_with([(row_1500, 1, "0.000E+00")], "coherent-zero")
water_with([(row_1500, 1, "-2.502E-05")], "coherent-negative")
water_with([(row_1500, 1, "3.400E+38")], "coherent-3.4E+38")
water_with([(i, 1, "3.400E+38") for i in range(2, N + 2)], "coherent-3.4E+38-every-row")
water_with([(row_1500, 2, "0.000E+00")], "incoherent-zero")
water_with([(row_1500, 3, "-1.690E-06")], "photoelectric-negative")
water_with([(row_2200, 4, "3.400E+38"), (row_2200, 5, "3.400E+38")], "pair-sum-not-finite")
water_with([(last_row, 0, "3.400E+38")], "energy-not-finite")
water_with([(row_1500, 0, "1.200E+00")], "energy-descending")
water_with([(row_2200, 0, "2.000E+00")], "energy-repeated")
water_with([(last_scatter, 2, "-1.00000E+01")], "S45-negative")
water_with([(last_scatter, 2, "0.00000E+00")], "S45-zero")
water_with([(last_scatter, 1, "0.00000E+00")], "C45-zero")
water_with([(last_scatter, 0, "5.000E+00")], "x45-below-10")
water_with([(N + 10, 0, "9.000E+00")], "x-descending")

# ---------------------------------------------------------------- ELDAT.dat
eldat = lines(root / "data" / "ELDAT.dat")
energy_line = 216  # 0-based index of line 217, the first line of energies


def eldat_with(edits, name):
    out = list(eldat)
    for index, first, last, text in edits:
        out[index] = put(out[index], first, last, text)
    write("eldat", name, out)


# Block 12 (about 3.3 MeV), met by the electrons of every high-energy history.
block12 = 11 * 9
eldat_with([(block12, 2 + 6 * j, 7 + 6 * j, "20000") for j in range(8)], "cosines-above-1")
eldat_with([(block12 + 8, 2, 7, "-20000")], "cosine-below-minus-1")
eldat_with([(energy_line, 17, 31, "3.0000000E+04")], "energies-ascending")
eldat_with([(energy_line + 5, 47, 61, "0.0000000E+00")], "energy-zero")
eldat_with([(energy_line + 2, 47, 61, "4.0380000E+03")], "energy-repeated")
eldat_with([(energy_line + 5, 47, 61, "-3.0000000E+02")], "energy-negative")
eldat_with([(energy_line, 2, 16, "3.4000000E+38")], "energy-3.4E+38")

# ---------------------------------------------------------------- S_SPCTL.dat + B2F.dat
fixture = root / "tests" / "fixtures" / "transport" / "regression_10MV"
spectrum = lines(fixture / "S_SPCTL.dat")
b2f = (fixture / "B2F.dat").read_bytes().decode("latin-1")


def run_input(name, fluences={}, parameters=b2f):
    out = list(spectrum)
    for i, text in fluences.items():
        out[i - 1] = put(out[i - 1], 9, 17, text)
    (corpus / "run_input" / name).write_bytes(
        ("\r\n".join(out) + "\f" + parameters).encode("latin-1"))


run_input("fluence-negative", {100: "-1.00E-01"})
# Fluences that nearly cancel: normalised by a tiny sum, a bin's share is huge.
run_input("fluences-cancelling", {i: "0.000E+00" for i in range(1, 401)} |
          {10: "1.000E+00", 11: "-9.99E-01"},
          parameters="regression.tmr\r\n1.000E+07\r\n")
run_input("history-total-negative", parameters="regression.tmr\r\n-1.000E+06\r\n")
run_input("history-total-zero", parameters="regression.tmr\r\n0.000E+00\r\n")
run_input("history-total-3.4E+38", parameters="regression.tmr\r\n3.400E+38\r\n")
run_input("result-name-empty", parameters="\r\n5.000E+04\r\n")
run_input("result-name-outside-folder", parameters="../../x.tmr\r\n5.000E+04\r\n")

# ---------------------------------------------------------------- Lead.dat
lead = lines(root / "data" / "Lead.dat")
(corpus / "lead" / "multiplier-negative").write_bytes(
    "\r\n".join([lead[0], "58, -11.35"] + lead[2:]).encode("latin-1"))
(corpus / "lead" / "multiplier-1.7E+308").write_bytes(
    "\r\n".join([lead[0], "58, 1.7E+308"] + lead[2:]).encode("latin-1"))

# ---------------------------------------------------------------- result and reference files
result = lines(fixture / "expected.tmr")
(corpus / "result" / "header-huge").write_bytes(
    "\r\n".join(["1E+300", "-1E+300", "1E+300", "-1E+300"] + result[4:8]).encode("latin-1"))
reference = lines(root / "data" / "10MV-standardTMR.std")
(corpus / "reference" / "values-huge").write_bytes(
    "\r\n".join(["1E+308", reference[1], "1E+308," + ",".join(["-1E+308"] * 10)]).encode("latin-1"))
