#!/usr/bin/python3
"""Writes water20.dat: photon interaction data of water for the simulation.

Sources
  * NIST XCOM element tables of hydrogen and oxygen, as shipped by the Debian
    package pymca-data (/usr/share/pymca/attdata/H.mat, O.mat): partial mass
    coefficients in cm^2/g.
  * Hubbell's atomic form factors F(Z, x) and incoherent scattering functions
    S(Z, x) (independent-atom values), through xraylib's FF_Rayl and SF_Compt
    (Debian package python3-xraylib); x = sin(theta/2)/lambda in 1/Angstrom.

Coefficient rows
  Water is H2O by mass fractions H 0.111894, O 0.888106; at unit density the mass
  coefficients are the linear coefficients in cm^-1. Rows are a subset of the XCOM
  energy grid from 1 keV to 30 MeV, so every written value is an XCOM value
  (rounded to the file's four significant digits). The subset is chosen to
  minimise the largest log-log interpolation error at the XCOM energies left out,
  measured against a tolerance per column: 1 % for the incoherent and pair
  columns above 50 keV, 2 % for everything else (coherent, photoelectric, and the
  incoherent column below 50 keV). The pair threshold 1.022 MeV is always a row:
  its pair value is 0, and the simulation treats an interval with a zero pair
  value at either end as one where pair production cannot occur; the next XCOM
  energy (1.25 MeV) is then necessarily a row as well. At most 46 rows.

Scatter-factor rows (45)
  x_1 = 0 ... x_45 = 12 1/Angstrom.
  C(x) = integral_0^x F^2(x') d(x'^2), F^2 = 2 F_H^2 + F_O^2 (independent atoms),
         composite Simpson rule in x on 2 x' F^2(x') with step 0.0005 1/Angstrom;
         the same rule with twice the step agrees to better than 1e-6 of C_45.
  S(x) = 2 S_H + S_O.
  The simulation interpolates S linearly in x and inverts C linearly in x, so the
  nodes are chosen (from a grid of values the file's four digits represent
  exactly) to minimise the largest linear-interpolation error of C/C_45 and of
  S/S_45 over that grid: they come out dense where the form factor falls fast.

Layout (fixed columns, lines ending in CR LF)
  line 1        N in columns 1-3
  line 2        density 1.000000 in columns 1-9 (read and not used)
  N rows        E [MeV], coherent, incoherent, photoelectric, pair (nuclear
                field), pair (electron field) [cm^-1]: %9.3E then five %10.3E
  45 rows       x %10.3E, C %12.5E, S %12.5E

Usage: make_water20.py [--output PATH] [--report]
  --report prints the interpolation errors at the XCOM energies left out.
"""

import argparse
import math
import os
import sys

sys.dont_write_bytecode = True  # leave no cache in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import xcom  # noqa: E402

import numpy as np  # noqa: E402

MASS_FRACTION_H = 0.111894
MASS_FRACTION_O = 0.888106
E_MIN = 0.001  # MeV
E_MAX = 30.0  # MeV
PAIR_THRESHOLD = 1.022  # MeV
MAX_ROWS = 46
SCATTER_ROWS = 45
X_MAX = 12.0  # 1/Angstrom; the Compton correction looks up every x below 10
SIMPSON_STEP = 0.0005  # 1/Angstrom

# Columns of a coefficient row as the simulation uses them: the reader adds the
# two pair columns, so the interpolation is checked on their sum.
COH, INC, PHO, PAIR = range(4)
COLUMN_NAMES = ("coherent", "incoherent", "photoelectric", "pair")


def file_value(v):
    """A coefficient as it reads back from its %10.3E field."""
    return float(f"{v:.3E}")


def water_rows():
    """XCOM rows of water (E [MeV] and five partials [cm^-1]) on the common grid
    of H and O, 1 keV ... 30 MeV, without repeated energies."""
    h = xcom.read_element("H")
    o = xcom.read_element("O")
    if [r[0] for r in h] != [r[0] for r in o]:
        raise xcom.XcomError("H.mat and O.mat have different energy lists")
    rows = []
    for rh, ro in zip(h, o):
        E = rh[0]
        if E < E_MIN * 0.9999 or E > E_MAX * 1.0001:
            continue
        row = (E,) + tuple(MASS_FRACTION_H * a + MASS_FRACTION_O * b for a, b in zip(rh[1:], ro[1:]))
        if rows and rows[-1][0] == E:
            # Water has no absorption edge above 1 keV: a repeated energy is a
            # repeated row of the merged XCOM grid.
            if any(abs(a - b) > 1e-12 * abs(a) for a, b in zip(rows[-1][1:], row[1:])):
                raise xcom.XcomError(f"water has two different rows at {E} MeV")
            continue
        rows.append(row)
    return rows


def used_columns(row):
    """The four coefficients the simulation stores, from the written values."""
    c = [file_value(v) for v in row[1:]]
    return np.array([c[0], c[1], c[2], c[3] + c[4]])


def loglog(E, E1, E2, v1, v2):
    """The simulation's log-log interpolation; a zero pair value at either end gives 0."""
    t = (math.log(E) - math.log(E1)) / (math.log(E2) - math.log(E1))
    out = np.empty(4)
    for j in range(4):
        if v1[j] <= 0.0 or v2[j] <= 0.0:
            out[j] = 0.0
        else:
            out[j] = math.exp(math.log(v1[j]) + (math.log(v2[j]) - math.log(v1[j])) * t)
    return out


def tolerances(E):
    """Per-column tolerance of the relative interpolation error at energy E [MeV]."""
    strict = E > 0.050
    return np.array([0.02, 0.01 if strict else 0.02, 0.02, 0.01])


def relative_errors(E, interpolated, exact):
    err = np.zeros(4)
    for j in range(4):
        if exact[j] > 0.0:
            err[j] = abs(interpolated[j] - exact[j]) / exact[j]
        elif interpolated[j] != 0.0:
            err[j] = math.inf
    return err


def choose_rows(rows):
    """Indices of the rows to write: the subset of at most MAX_ROWS rows with the
    smallest worst interpolation error (relative to the tolerances) at the rows
    left out, keeping the first, the last and the pair threshold."""
    n = len(rows)
    values = np.array([used_columns(r) for r in rows])
    exact = np.array([[r[1], r[2], r[3], r[4] + r[5]] for r in rows])
    lnE = np.log([r[0] for r in rows])
    tol = np.array([tolerances(r[0]) for r in rows])
    with np.errstate(divide="ignore"):
        lnV = np.log(values)  # -inf where a pair value is 0
    # worst[i][j]: the largest scaled error at the rows strictly between i and j,
    # with the simulation's interpolation (a zero at either end gives 0)
    worst = np.full((n, n), math.inf)
    for i in range(n):
        for j in range(i + 1, n):
            if j == i + 1:
                worst[i][j] = 0.0
                continue
            k = slice(i + 1, j)
            t = ((lnE[k] - lnE[i]) / (lnE[j] - lnE[i]))[:, None]
            zero = (values[i] <= 0.0) | (values[j] <= 0.0)
            with np.errstate(invalid="ignore"):
                v = np.where(zero, 0.0, np.exp(lnV[i] + (lnV[j] - lnV[i]) * t))
            x = exact[k]
            with np.errstate(divide="ignore", invalid="ignore"):
                err = np.where(x > 0.0, np.abs(v - x) / np.where(x > 0.0, x, 1.0),
                               np.where(v != 0.0, math.inf, 0.0))
            worst[i][j] = float(np.max(err / tol[k]))
    mandatory = {0, n - 1} | {k for k, r in enumerate(rows) if abs(r[0] - PAIR_THRESHOLD) < 1e-9}

    def fewest_rows(limit):
        # best[j]: fewest rows of a valid subset from row 0 ending at row j
        best = [math.inf] * n
        previous = [-1] * n
        best[0] = 1
        for j in range(1, n):
            for i in range(j - 1, -1, -1):
                if worst[i][j] <= limit and best[i] + 1 < best[j]:
                    best[j] = best[i] + 1
                    previous[j] = i
                if i in mandatory:
                    break  # a mandatory row cannot be skipped
        if best[n - 1] == math.inf:
            return None
        chosen = [n - 1]
        while chosen[-1] != 0:
            chosen.append(previous[chosen[-1]])
        return chosen[::-1]

    candidates = sorted({float(w) for w in worst.flat if math.isfinite(w)} | {0.0})
    lo, hi = 0, len(candidates) - 1
    while lo < hi:  # smallest limit whose subset fits the table
        mid = (lo + hi) // 2
        chosen = fewest_rows(candidates[mid])
        if chosen is not None and len(chosen) <= MAX_ROWS:
            hi = mid
        else:
            lo = mid + 1
    return fewest_rows(candidates[lo])


def interpolation_report(rows, chosen):
    """Lines giving, for every XCOM energy left out, the relative error of each column."""
    values = [used_columns(r) for r in rows]
    lines = ["E [MeV]     " + "  ".join(f"{n:>13}" for n in COLUMN_NAMES)]
    k = 0
    worst = {"strict": np.zeros(4), "all": np.zeros(4)}
    for idx, r in enumerate(rows):
        if idx in chosen:
            continue
        while chosen[k + 1] < idx:
            k += 1
        i, j = chosen[k], chosen[k + 1]
        E = r[0]
        v = loglog(E, rows[i][0], rows[j][0], values[i], values[j])
        exact = np.array([r[1], r[2], r[3], r[4] + r[5]])
        err = relative_errors(E, v, exact)
        worst["all"] = np.maximum(worst["all"], err)
        if E > 0.050:
            worst["strict"] = np.maximum(worst["strict"], err)
        lines.append(f"{E:<11.4g} " + "  ".join(f"{100 * e:12.3f}%" for e in err))
    lines.append("largest above 50 keV: " + ", ".join(
        f"{n} {100 * e:.3f}%" for n, e in zip(COLUMN_NAMES, worst["strict"])))
    lines.append("largest overall:      " + ", ".join(
        f"{n} {100 * e:.3f}%" for n, e in zip(COLUMN_NAMES, worst["all"])))
    return lines


# ---------------------------------------------------------------- scatter factors

def form_factor_squared(xraylib, x):
    """F^2 = 2 F_H^2 + F_O^2 of one molecule (independent atoms)."""
    return 2.0 * xraylib.FF_Rayl(1, x) ** 2 + xraylib.FF_Rayl(8, x) ** 2


def incoherent_function(xraylib, x):
    """S = 2 S_H + S_O; S(0) = 0 (xraylib does not tabulate below 1e-3)."""
    if x <= 0.0:
        return 0.0
    if x < 1e-3:
        # S grows as x^2 near 0: scale from the first tabulated point
        return incoherent_function(xraylib, 1e-3) * (x / 1e-3) ** 2
    return 2.0 * xraylib.SF_Compt(1, x) + xraylib.SF_Compt(8, x)


def cumulative_coherent(xraylib, step):
    """C on the grid 0, step, 2 step, ... X_MAX by the composite Simpson rule on
    consecutive pairs of steps of the integrand 2 x F^2(x)."""
    m = int(round(X_MAX / step))
    xs = np.arange(m + 1) * step
    g = np.array([2.0 * x * form_factor_squared(xraylib, x) for x in xs])
    C = np.zeros(m + 1)
    # Simpson over [x_{2i}, x_{2i+2}]; the odd points by Simpson over [x_{2i}, x_{2i+1}]
    # using the quadratic through the three points of the pair.
    for i in range(0, m - 1, 2):
        a, b, c = g[i], g[i + 1], g[i + 2]
        C[i + 1] = C[i] + step * (5 * a + 8 * b - c) / 12.0
        C[i + 2] = C[i] + step * (a + 4 * b + c) / 3.0
    return xs, C


def node_grid():
    """Candidate x values, all exactly representable in a %10.3E field."""
    xs = [i * 0.001 for i in range(0, 1000)]
    xs += [1.0 + i * 0.01 for i in range(0, 900)]
    xs += [10.0 + i * 0.1 for i in range(0, 21)]
    return np.array([float(f"{x:.3E}") for x in xs])


def choose_nodes(grid, Cn, Sn):
    """SCATTER_ROWS nodes from the grid, first and last included, minimising the
    largest linear-interpolation error of C/C_45 and S/S_45 at the grid points."""
    n = len(grid)

    def reach(i, limit):
        # largest j such that the chord i..j stays within limit on both functions
        j = i + 1
        while j + 1 < n:
            k = j + 1
            sl = slice(i, k + 1)
            t = (grid[sl] - grid[i]) / (grid[k] - grid[i])
            eC = np.max(np.abs(Cn[i] + (Cn[k] - Cn[i]) * t - Cn[sl]))
            eS = np.max(np.abs(Sn[i] + (Sn[k] - Sn[i]) * t - Sn[sl]))
            if max(eC, eS) > limit:
                break
            j = k
        return j

    def nodes_for(limit):
        nodes = [0]
        while nodes[-1] != n - 1:
            nodes.append(reach(nodes[-1], limit))
            if len(nodes) > SCATTER_ROWS:
                return None
        return nodes

    lo, hi = 1e-7, 1e-1
    for _ in range(30):  # the limit to a factor 1e6^(2^-30) of itself
        mid = math.sqrt(lo * hi)
        if nodes_for(mid) is None:
            lo = mid
        else:
            hi = mid
    nodes = nodes_for(hi)
    # Fill up to exactly SCATTER_ROWS nodes by splitting the longest intervals.
    while len(nodes) < SCATTER_ROWS:
        widths = [(grid[nodes[a + 1]] - grid[nodes[a]], a) for a in range(len(nodes) - 1)
                  if nodes[a + 1] - nodes[a] > 1]
        _, a = max(widths)
        nodes.insert(a + 1, (nodes[a] + nodes[a + 1]) // 2)
    return nodes, hi


def scatter_rows(xraylib):
    xs, C = cumulative_coherent(xraylib, SIMPSON_STEP)
    _, C2 = cumulative_coherent(xraylib, 2 * SIMPSON_STEP)
    grid = node_grid()
    # C on the candidate grid: grid points are multiples of the Simpson step
    idx = np.rint(grid / SIMPSON_STEP).astype(int)
    if np.max(np.abs(xs[idx] - grid)) > 1e-9:
        raise RuntimeError("candidate grid is not on the integration grid")
    Cg = C[idx]
    idx2 = np.rint(grid / (2 * SIMPSON_STEP)).astype(int)
    on2 = np.abs(idx2 * 2 * SIMPSON_STEP - grid) < 1e-9
    integration_error = float(np.max(np.abs(C2[idx2[on2]] - Cg[on2]))) / Cg[-1]
    Sg = np.array([incoherent_function(xraylib, x) for x in grid])
    nodes, limit = choose_nodes(grid, Cg / Cg[-1], Sg / Sg[-1])
    return [(grid[k], Cg[k], Sg[k]) for k in nodes], limit, integration_error


# ---------------------------------------------------------------- file

def water_text(rows, chosen, scatter):
    lines = [f"{len(chosen):3d}", f"{1.0:9.6f}"]
    for k in chosen:
        r = rows[k]
        lines.append(f"{r[0]:9.3E}" + "".join(f"{v:10.3E}" for v in r[1:]))
    for x, C, S in scatter:
        lines.append(f"{x:10.3E}{C:12.5E}{S:12.5E}")
    return "".join(line + "\r\n" for line in lines)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description="Writes water20.dat from XCOM and xraylib data.")
    parser.add_argument("--output", default=os.path.join(here, "..", "data", "water20.dat"))
    parser.add_argument("--report", action="store_true", help="print the interpolation errors")
    args = parser.parse_args()
    try:
        import xraylib
    except ImportError:
        print("make_water20: python3-xraylib is not installed", file=sys.stderr)
        return 2
    try:
        rows = water_rows()
    except xcom.XcomError as e:
        print(f"make_water20: {e}", file=sys.stderr)
        return 2
    chosen = choose_rows(rows)
    scatter, limit, integration_error = scatter_rows(xraylib)
    with open(args.output, "w", encoding="ascii", newline="") as f:
        f.write(water_text(rows, chosen, scatter))
    print(f"make_water20: {len(chosen)} coefficient rows and {len(scatter)} scatter-factor rows"
          f" written to {args.output}")
    if args.report:
        print("rows: " + " ".join(f"{rows[k][0]:g}" for k in chosen))
        print("\n".join(interpolation_report(rows, chosen)))
        print(f"scatter factors: largest linear-interpolation error {limit:.2e} of C_45 and S_45;"
              f" Simpson step-halving difference {integration_error:.1e} of C_45")
    return 0


if __name__ == "__main__":
    sys.exit(main())
