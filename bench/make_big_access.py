#!/usr/bin/env python3
"""Writes a Jet 3 database whose table "Orders" holds exactly ROWS rows, for export benchmarks.

No program we may use writes Jet files, so the file is grown from nwind.mdb: the data pages of
its "Orders" table are appended again and again (each copy still names the table's definition
page), the table's usage map is turned into a reference map whose one bitmap page lists every
data page, the row count in the definition is set, and the rows past ROWS in the last copy are
cut off. Page layout as the Jet format notes give it (Jet 3: 2 kB pages).

usage: make_big_access.py NWIND.MDB ROWS OUT.MDB
"""
import struct
import sys

PAGE = 2048
DATA, USAGE_MAP = 0x01, 0x05
# Jet 3 table definition: row count at 12, the usage map's row pointer at 35.
TDEF_ROWS, TDEF_USAGE_MAP = 12, 35
# Jet 3 data page: definition page at 4, row count at 8, row offsets from 10.
DATA_TDEF, DATA_ROWS, DATA_OFFSETS = 4, 8, 10


def u16(buf, at):
    return struct.unpack_from("<H", buf, at)[0]


def u32(buf, at):
    return struct.unpack_from("<I", buf, at)[0]


def row_bounds(data, page_no, row):
    """Start and end of a row within the file."""
    page = page_no * PAGE
    start = u16(data, page + DATA_OFFSETS + 2 * row) & 0x1FFF
    end = PAGE if row == 0 else u16(data, page + DATA_OFFSETS + 2 * (row - 1)) & 0x1FFF
    return page + start, page + end


def main(source, rows, out):
    data = bytearray(open(source, "rb").read())
    pages = len(data) // PAGE
    # The table's data pages are the data pages naming a definition whose row count matches theirs.
    by_tdef = {}
    for p in range(1, pages):
        page = data[p * PAGE:(p + 1) * PAGE]
        if page[0] == DATA:
            by_tdef.setdefault(u32(page, DATA_TDEF), []).append(p)
    tdef, table_pages = next((t, ps) for t, ps in by_tdef.items()
                             if sum(u16(data, p * PAGE + DATA_ROWS) for p in ps) == 830
                             and u32(data, t * PAGE + TDEF_ROWS) == 830)
    per_copy = 830
    copies = -(-rows // per_copy)

    new_pages = []
    for c in range(1, copies):
        for p in table_pages:
            new_pages.append(len(data) // PAGE)
            data += data[p * PAGE:(p + 1) * PAGE]
    # Rows past ROWS come off the end of the last copy: whole pages leave the map, and a page
    # partly needed keeps its first rows only (its row count is lowered).
    extra = per_copy * copies - rows
    listed = table_pages + new_pages
    while extra > 0:
        p = listed[-1]
        count = u16(data, p * PAGE + DATA_ROWS)
        if count <= extra:
            listed.pop()
        else:
            struct.pack_into("<H", data, p * PAGE + DATA_ROWS, count - extra)
        extra -= min(count, extra)

    map_page = len(data) // PAGE
    bitmap = bytearray(PAGE)
    bitmap[0] = USAGE_MAP
    for p in listed:
        bitmap[4 + p // 8] |= 1 << (p % 8)
    assert map_page < (PAGE - 4) * 8
    data += bitmap

    pointer = u32(data, tdef * PAGE + TDEF_USAGE_MAP)
    start, end = row_bounds(data, pointer >> 8, pointer & 0xFF)
    assert end - start >= 5, "usage map row too short"
    data[start:end] = bytes([1]) + struct.pack("<I", map_page) + bytes(end - start - 5)
    struct.pack_into("<I", data, tdef * PAGE + TDEF_ROWS, rows)
    open(out, "wb").write(data)


if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]), sys.argv[3])
