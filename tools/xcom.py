"""Reader of the NIST XCOM element tables shipped by the Debian package pymca-data.

Each /usr/share/pymca/attdata/<El>.mat file holds an energy list in MeV followed
by five sections of partial mass coefficients in cm^2/g: coherent, incoherent,
photoelectric, pair production in the nuclear field, pair production in the
electron field. The first few energies of the list are not in ascending order
(1 keV is written before 0.1 and 0.5 keV), so the rows are sorted by energy with a
stable sort: the two rows of an absorption edge share one energy and keep their
file order (coefficient below the edge first, above it second).
"""

import os

XCOM_FOLDER = "/usr/share/pymca/attdata"

SECTIONS = (
    ("ENERGY LIST", "energy"),
    ("COHERENT SCATTERING CROSS SECTION", "coherent"),
    ("INCOHERENT SCATTERING CROSS SECTION", "incoherent"),
    ("PHOTOELECTRIC ABSORPTION CROSS SECTION", "photoelectric"),
    ("PAIR PROD. CROSS SECTION (ATOMIC NUCLEUS)", "pairNuclear"),
    ("PAIR PROD. CROSS SECTION (ATOMIC ELECTRONS)", "pairElectron"),
)
COLUMNS = tuple(name for _, name in SECTIONS[1:])


class XcomError(Exception):
    pass


def element_file(symbol):
    return os.path.join(XCOM_FOLDER, symbol + ".mat")


def read_element(symbol):
    """Rows (energy [MeV], coherent, incoherent, photoelectric, pairNuclear,
    pairElectron [cm^2/g]) of one element, sorted stably by energy."""
    path = element_file(symbol)
    if not os.path.exists(path):
        raise XcomError(f"{path} not found (install the Debian package pymca-data)")
    with open(path, encoding="ascii") as f:
        lines = f.read().splitlines()
    headers = {title: name for title, name in SECTIONS}
    values = {}
    current = None
    for number, line in enumerate(lines, start=1):
        text = line.strip()
        if text in headers:
            current = headers[text]
            values[current] = []
        elif current is not None and text:
            try:
                values[current].extend(float(v) for v in text.split())
            except ValueError:
                raise XcomError(f"{path}, line {number}: not a list of numbers") from None
    missing = [name for _, name in SECTIONS if name not in values]
    if missing:
        raise XcomError(f"{path}: sections missing: {', '.join(missing)}")
    n = len(values["energy"])
    for name in COLUMNS:
        if len(values[name]) != n:
            raise XcomError(f"{path}: section {name} has {len(values[name])} values, energy list {n}")
    rows = [tuple(values[name][i] for _, name in SECTIONS) for i in range(n)]
    return sorted(rows, key=lambda row: row[0])  # stable: edge pairs keep file order
