#!/usr/bin/python3
"""Writes data/10MV-standardTMR.std, the reference TMR table of a 10 MV beam.

Source: the 29-row tissue-maximum-ratio table of a clinical 10 MV beam kept in
the project's shared reference folder (tmr_10MV_29rows.txt; its header names
the published beam data it was copied from). Square fields of 4 ... 30 cm
side, depths 0 ... 30 cm, each column normalised to its own maximum.

What this script adds:
  * depths converted from cm to mm, the unit of the reference file;
  * line 1: TPR20,10 = TMR(20 cm) / TMR(10 cm) of the 10 cm field, 3 decimals;
  * the 35 cm column, which the source lacks: depth by depth the least-squares
    quadratic in field side through the 12, 15, 20, 25 and 30 cm values,
    evaluated at 35 cm; the derived column is divided by its own maximum so
    that it peaks at 1 like the others, and rounded to three decimals.
Values are written comma-separated, lines end in CR LF.

Usage: make_reference_tmr.py [--source FILE] [--output FILE]
"""
import argparse
import os

import numpy

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_SOURCE = os.path.join(HERE, "..", "..", "shared", "reference", "tmr_10MV_29rows.txt")
DEFAULT_OUTPUT = os.path.join(HERE, "..", "data", "10MV-standardTMR.std")

SIDES = [4, 6, 8, 10, 12, 15, 20, 25, 30]  # [cm], columns of the source
FIT_SIDES = [12, 15, 20, 25, 30]          # [cm], the columns the 35 cm value is fitted to


def read_source(path):
    rows = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            values = [float(v) for v in line.split()]
            if len(values) != 1 + len(SIDES):
                raise SystemExit(f"{path}: a row of {len(values)} values, expected {1 + len(SIDES)}")
            rows.append(values)
    return rows


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--source", default=DEFAULT_SOURCE)
    parser.add_argument("--output", default=DEFAULT_OUTPUT)
    args = parser.parse_args()

    rows = read_source(args.source)
    fit = [SIDES.index(s) + 1 for s in FIT_SIDES]
    derived = []
    for r in rows:
        coefficients = numpy.polyfit(FIT_SIDES, [r[c] for c in fit], 2)
        derived.append(float(numpy.polyval(coefficients, 35.0)))
    maximum = max(derived)

    by_depth = {r[0]: r for r in rows}
    ten = SIDES.index(10) + 1
    tpr = by_depth[20.0][ten] / by_depth[10.0][ten]

    lines = ["%.3f" % tpr,
             "depth(mm), 4cm, 6cm, 8cm, 10cm, 12cm, 15cm, 20cm, 25cm, 30cm, 35cm (TMR, 10 MV)"]
    for r, d35 in zip(rows, derived):
        values = ["%.3f" % v for v in r[1:]] + ["%.3f" % (d35 / maximum)]
        lines.append(", ".join(["%g" % (r[0] * 10.0)] + values))
    with open(args.output, "w", newline="") as out:
        out.write("".join(l + "\r\n" for l in lines))


if __name__ == "__main__":
    main()
