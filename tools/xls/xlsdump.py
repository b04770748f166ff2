#!/usr/bin/python3
"""Writes the cells of a workbook's first sheet, as python3-xlrd reads them, to a JSON file:

  xlsdump.py IN.xls OUT.json

OUT holds [[type, value], ...], row by row, with xlrd's cell types (0 empty, 1 text, 2 number,
3 date, 4 boolean, 5 error, 6 blank): a reading of the workbook apart from the program's own.
"""
import json
import sys

import xlrd


def main():
    if len(sys.argv) != 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    sheet = xlrd.open_workbook(sys.argv[1]).sheet_by_index(0)
    cells = [[sheet.cell(r, c).ctype, sheet.cell(r, c).value]
             for r in range(sheet.nrows) for c in range(sheet.ncols)]
    with open(sys.argv[2], 'w', encoding='utf-8') as out:
        json.dump(cells, out, ensure_ascii=False)
    return 0


if __name__ == '__main__':
    sys.exit(main())
