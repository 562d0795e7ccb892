#!/usr/bin/python3
"""Writes Lead.dat: photon attenuation data of lead for the filter of the spectrum.

Source: NIST XCOM element table of lead, as shipped by the Debian package
pymca-data (/usr/share/pymca/attdata/Pb.mat). The five partial mass coefficients
(coherent, incoherent, photoelectric, pair in the nuclear field, pair in the
electron field, cm^2/g) are copied unchanged, with XCOM's own five significant
digits; the multiplier 11.35 g/cm^3 (density of lead) turns their sum into cm^-1.

Rows: every XCOM energy from the L1 edge (15.861 keV, coefficients above the
edge) to 30 MeV, 58 rows. The spectrum interpolates log-log between rows j-1 and
j with j >= 3, so row 1 never takes part: it is the XCOM row just above the L1
edge, below which lead has no edge-free stretch. Row 2 (20 keV) lies below the
first bin centre (25 keV), so no bin extrapolates. The K edge (88.004 keV) comes
as XCOM's two rows of the same energy (rows 8 and 9), below-edge row first, so no
bin interpolates across it. The last row, 30 MeV, is above the centre of the last
bin (19.975 MeV). Because every XCOM grid point between 20 keV and 30 MeV is a row,
the interpolated coefficients are those of XCOM's own log-log interpolation.

Layout (read free-form: values separated by commas, blanks or line ends): a title
line without commas; the row count and the multiplier; one line per row with the
energy in MeV and the five partials. Lines end in CR LF.

Usage: make_lead.py [--output PATH]    (default: data/Lead.dat beside tools/)
"""

import argparse
import os
import sys

sys.dont_write_bytecode = True  # leave no cache in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import xcom  # noqa: E402

DENSITY = "11.35"  # g/cm^3, lead
FIRST_ENERGY = 0.015861  # MeV, L1 edge: the row above the edge is row 1
LAST_ENERGY = 30.0  # MeV
MAX_ROWS = 70


def lead_rows():
    rows = xcom.read_element("Pb")
    first = [i for i, r in enumerate(rows) if r[0] == FIRST_ENERGY]
    if len(first) != 2:
        raise xcom.XcomError("Pb.mat: the L1 edge at 15.861 keV is not a pair of rows")
    start = first[1]  # coefficients above the edge
    chosen = [r for r in rows[start:] if r[0] <= LAST_ENERGY]
    if not 3 <= len(chosen) <= MAX_ROWS or chosen[-1][0] != LAST_ENERGY:
        raise xcom.XcomError(f"Pb.mat: {len(chosen)} rows from 15.861 keV to 30 MeV")
    return chosen


def lead_text(rows):
    lines = ["Lead NIST XCOM partial mass coefficients in cm2/g:"
             " coherent incoherent photoelectric pair(nuclear) pair(electron)",
             f"{len(rows)}, {DENSITY}"]
    for r in rows:
        lines.append(", ".join(f"{v:.4E}" for v in r))
    return "".join(line + "\r\n" for line in lines)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description="Writes Lead.dat from NIST XCOM (pymca-data).")
    parser.add_argument("--output", default=os.path.join(here, "..", "data", "Lead.dat"))
    args = parser.parse_args()
    try:
        rows = lead_rows()
    except xcom.XcomError as e:
        print(f"make_lead: {e}", file=sys.stderr)
        return 2
    with open(args.output, "w", encoding="ascii", newline="") as f:
        f.write(lead_text(rows))
    print(f"make_lead: {len(rows)} rows written to {args.output}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
