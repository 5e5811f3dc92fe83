#!/usr/bin/env python3
"""Prints the SQL of a JD Edwards-shaped scale schema for one engine.

    genschema.py ENGINE SCHEMA SIDE TABLES COLUMNS ALIASES

ENGINE  postgresql | mariadb | sqlite
SCHEMA  the schema (PostgreSQL), database (MariaDB) or nothing (SQLite: "")
SIDE    left | right: the right side differs from the left in a few tables
        (missing, added, a column resized, a column added) and a few
        dictionary items (missing, added, a size changed)
TABLES  business tables F55nnnnn, COLUMNS columns each, one row each
ALIASES data-dictionary items in F9210 (besides the self-describing ones)

The output is one transaction (one script per side), fed to psql, mariadb or
sqlite3 by bench/run.sh.
"""

import sys

# Column shapes in the JDE manner: a two-letter table prefix and an item name.
SHAPES = [("AN8", "NUMERIC(8,0)"), ("MCU", "CHAR(12)"), ("DOC", "NUMERIC(8,0)"), ("DCT", "CHAR(2)"),
          ("KCO", "CHAR(5)"), ("AA", "NUMERIC(15,2)"), ("DSC1", "CHAR(30)"), ("UOM", "CHAR(2)"),
          ("QTY", "NUMERIC(15,0)"), ("LITM", "CHAR(25)"), ("ITM", "NUMERIC(8,0)"), ("CRCD", "CHAR(3)"),
          ("USER", "CHAR(10)"), ("PID", "CHAR(10)"), ("JOBN", "CHAR(10)"), ("TDAY", "NUMERIC(6,0)")]


def prefix(index):
    letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
    return letters[index % 26] + letters[(index // 26) % 26]


def table_columns(index, columns, side):
    pre = prefix(index)
    result = [(pre + "UKID", "NUMERIC(15,0)"), (pre + "UPMJ", "NUMERIC(6,0)")]
    n = 0
    while len(result) < columns:
        item, sql_type = SHAPES[n % len(SHAPES)]
        suffix = "" if n < len(SHAPES) else str(n // len(SHAPES))
        result.append((pre + item + suffix, sql_type))
        n += 1
    result = result[:columns]
    if side == "right" and index % 500 == 3:
        result[2] = (result[2][0], "CHAR(40)")          # a column resized
    if side == "right" and index % 500 == 4:
        result.append((pre + "EXTRA", "CHAR(1)"))        # a column added
    return result


def table_present(index, side):
    if side == "left":
        return index % 1000 != 7                          # some tables only on the right
    return index % 1000 != 5                              # some only on the left


def main():
    if len(sys.argv) != 7:
        sys.exit(__doc__)
    engine, schema, side, tables, columns, aliases = sys.argv[1:4] + [int(v) for v in sys.argv[4:7]]
    out = sys.stdout
    qualifier = ""
    if engine == "postgresql":
        out.write("SET client_min_messages = warning;\nBEGIN;\nCREATE SCHEMA %s;\n" % schema)
        qualifier = schema + "."
    elif engine == "mariadb":
        out.write("CREATE DATABASE %s;\nUSE %s;\nSET autocommit = 0;\n" % (schema, schema))
    elif engine == "sqlite":
        out.write("PRAGMA journal_mode = OFF;\nPRAGMA synchronous = OFF;\nBEGIN;\n")
    else:
        sys.exit("unknown engine " + engine)

    for index in range(1, tables + 1):
        if not table_present(index, side):
            continue
        name = "F55%05d" % index
        cols = table_columns(index, columns, side)
        out.write("CREATE TABLE %s%s (%s);\n" % (qualifier, name, ", ".join("%s %s" % c for c in cols)))
        values = []
        for col_name, sql_type in cols:
            if col_name.endswith("UPMJ"):
                values.append(str(120000 + index % 6000))
            elif sql_type.startswith("NUMERIC"):
                values.append(str(index))
            else:
                values.append("'x'")
        out.write("INSERT INTO %s%s VALUES (%s);\n" % (qualifier, name, ", ".join(values)))

    out.write("CREATE TABLE %sF9210 (FRDTAI CHAR(10), FRDTAT CHAR(1), FRDTAS NUMERIC(5,0), FROWTP CHAR(2), "
              "FRDTAD NUMERIC(5,0), FRCDEC CHAR(2), FRCLAS CHAR(10));\n" % qualifier)
    rows = [("DTAI", "S", 10, "", 0, "", "SELF"), ("DTAT", "S", 1, "", 0, "", "SELF"),
            ("OWTP", "S", 2, "", 0, "", "SELF"), ("CDEC", "S", 2, "", 0, "", "SELF")]
    for index in range(1, aliases + 1):
        if side == "left" and index % 1000 == 11:
            continue
        if side == "right" and index % 1000 == 13:
            continue
        size = 15 if side == "right" and index % 1000 == 17 else 8
        rows.append(("A%07d" % index, "9" if index % 3 else "S", size, "2", index % 5, "2",
                     "AMOUNT" if index % 50 == 0 else "OTHER"))
    for start in range(0, len(rows), 1000):
        chunk = rows[start:start + 1000]
        out.write("INSERT INTO %sF9210 VALUES %s;\n" % (qualifier, ", ".join(
            "('%s', '%s', %d, '%s', %d, '%s', '%s')" % row for row in chunk)))
    if engine == "sqlite":
        # SQLite's one schema declared as a JDE database owner, as the demo does.
        out.write("CREATE TABLE F98611 (OMDATP CHAR(30), OMDATB2 CHAR(40), OMOOWN CHAR(40), OMOCM1 CHAR(10));\n"
                  "INSERT INTO F98611 VALUES ('Business Data', '', 'main', 'DB');\n")
    out.write("COMMIT;\n")


if __name__ == "__main__":
    main()
