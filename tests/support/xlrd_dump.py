"""Prints every non-empty cell of a workbook as xlrd reads it, one line per cell:
sheet, row, column (counted from 1) and kind:value, the form the tests compare."""
import sys

import xlrd


def escape(text):
    return text.replace("\\", "\\\\").replace("\n", "\\n").replace("\r", "\\r").replace("\t", "\\t")


def main(path):
    # Ragged rows: a row is not padded out to the sheet's widest, which costs time on large sheets.
    book = xlrd.open_workbook(path, ragged_rows=True)
    for sheet in book.sheets():
        print("sheet\t%s\t%d\t%d" % (escape(sheet.name), sheet.nrows, sheet.ncols))
        for r in range(sheet.nrows):
            for c in range(sheet.row_len(r)):
                cell = sheet.cell(r, c)
                if cell.ctype == xlrd.XL_CELL_TEXT:
                    value = "s:" + escape(cell.value)
                elif cell.ctype == xlrd.XL_CELL_NUMBER:
                    value = "n:%.15g" % cell.value
                elif cell.ctype == xlrd.XL_CELL_DATE:
                    y, mo, d, h, mi, s = xlrd.xldate_as_tuple(cell.value, book.datemode)
                    if (y, mo, d) == (0, 0, 0):  # a time alone lies on Excel's day zero
                        y, mo, d = 1899, 12, 30
                    value = "d:%04d-%02d-%02d" % (y, mo, d)
                    if (h, mi, s) != (0, 0, 0):
                        value += " %02d:%02d:%02d" % (h, mi, s)
                elif cell.ctype == xlrd.XL_CELL_BOOLEAN:
                    value = "b:%d" % cell.value
                elif cell.ctype == xlrd.XL_CELL_ERROR:
                    value = "e:" + xlrd.error_text_from_code.get(cell.value, "#ERROR!")
                else:
                    continue
                print("%d\t%d\t%s" % (r + 1, c + 1, value))


if __name__ == "__main__":
    sys.stdout.reconfigure(encoding="utf-8")
    main(sys.argv[1])
