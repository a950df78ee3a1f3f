"""Compares an exported workbook with what mdb-export prints for the same table: the title row,
then every record, cell by cell. Columns named after the table are left out (pictures and other
bytes, which the workbook leaves empty). Prints "same", or the first difference."""
import datetime
import subprocess
import sys

import xlrd

FORMAT = "%Y-%m-%d %H:%M:%S"


def workbook_rows(path):
    book = xlrd.open_workbook(path)
    rows = []
    for index, sheet in enumerate(book.sheets()):
        for r in range(1 if index else 0, sheet.nrows):  # later sheets repeat the titles
            row = []
            for cell in sheet.row(r):
                if cell.ctype == xlrd.XL_CELL_DATE:
                    row.append(datetime.datetime(*xlrd.xldate_as_tuple(cell.value, book.datemode)).strftime(FORMAT))
                elif cell.ctype in (xlrd.XL_CELL_NUMBER, xlrd.XL_CELL_BOOLEAN):
                    row.append(float(cell.value))
                else:
                    row.append(cell.value)
            rows.append(row)
    return rows


def parse_csv(text):
    """mdb-export's CSV, keeping what only the quotes tell: a quoted field is text, an unquoted one
    a number (or, empty, a Null)."""
    rows, row, field, quoted, i = [], [], "", False, 0
    while i < len(text):
        c = text[i]
        if quoted:
            if c == '"' and text[i + 1:i + 2] == '"':
                field += '"'
                i += 1
            elif c == '"':
                quoted = False
            else:
                field += c
        elif c == '"':
            quoted, field = True, field + "\0"  # marks the field as text
        elif c in ",\n":
            row.append(field)
            field = ""
            if c == "\n":
                rows.append(row)
                row = []
        elif c != "\r":
            field += c
        i += 1
    if field or row:
        row.append(field)
        rows.append(row)
    titles = [f.lstrip("\0") for f in rows[0]] if rows else []
    return [titles] + [[f[1:] if f.startswith("\0") else (float(f) if f else "") for f in r] for r in rows[1:]]


def mdb_rows(path, table):
    out = subprocess.run(["mdb-export", "-b", "strip", "-T", FORMAT, "-D", FORMAT, path, table], check=True,
                         capture_output=True).stdout.decode("utf-8", errors="replace")
    return parse_csv(out)


def main(xls, mdb, table, skipped):
    ours, theirs = workbook_rows(xls), mdb_rows(mdb, table)
    keep = [i for i, title in enumerate(theirs[0]) if title not in skipped]
    if len(ours) != len(theirs):
        print("rows: %d in the workbook, %d from mdb-export" % (len(ours), len(theirs)))
        return
    for n, (a, b) in enumerate(zip(ours, theirs)):
        a = a + [""] * (len(b) - len(a))
        for i in keep:
            if a[i] != b[i] and not (isinstance(a[i], float) and isinstance(b[i], float) and abs(a[i] - b[i]) < 1e-9):
                print("row %d, column %s: workbook %r, mdb-export %r" % (n + 1, theirs[0][i], a[i], b[i]))
                return
    print("same")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2], sys.argv[3], set(sys.argv[4:]))
