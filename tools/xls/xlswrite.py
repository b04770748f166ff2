#!/usr/bin/python3
"""Writes an Excel 97-2003 workbook (.xls, BIFF8) from CSV or JSON, with python3-xlwt.

  xlswrite.py [--sheet NAME] [--numbers COLS] [--dates COLS] OUT.xls IN.csv
  xlswrite.py --json OUT.xls IN.json

IN may be "-" for standard input. CSV: every cell is text, except the columns listed (0-based,
comma-separated) in --numbers (written as numbers) and --dates (YYYY-MM-DD, written as dates);
empty fields stay empty cells.

JSON: {"sheets": [{"name": "...", "rows": [[cell, ...], ...]}, ...]}, or just the list of rows
of one sheet. A cell is a string (text), a number, null (empty), true/false, or an object:
  {"date": "YYYY-MM-DD"}  {"datetime": "YYYY-MM-DD HH:MM:SS"}  {"time": "HH:MM:SS"}
  {"blank": true}                        a formatted cell without a value
  {"formula": "B2*2", "result": 10}      the result saved with the formula, as Excel does:
                                         a number, a text, true/false, or {"error": "#DIV/0!"}
"""
import argparse
import csv
import datetime
import json
import struct
import sys

import xlwt
from xlwt import BIFFRecords, Cell

DATE = xlwt.easyxf(num_format_str='YYYY-MM-DD')
DATETIME = xlwt.easyxf(num_format_str='YYYY-MM-DD HH:MM:SS')
TIME = xlwt.easyxf(num_format_str='HH:MM:SS')
ERRORS = {'#NULL!': 0x00, '#DIV/0!': 0x07, '#VALUE!': 0x0F, '#REF!': 0x17,
          '#NAME?': 0x1D, '#NUM!': 0x24, '#N/A': 0x2A}


class CachedFormula(xlwt.Formula):
    """A formula together with the result Excel would have saved with it."""
    __slots__ = ('result',)

    def __init__(self, text, result):
        super().__init__(text)
        self.result = result


def _result_bytes(result):
    """The 8 result bytes of a FORMULA record, and the STRING record that follows, if any."""
    if isinstance(result, bool):
        return bytes([1, 0, int(result), 0, 0, 0, 0xFF, 0xFF]), b''
    if isinstance(result, (int, float)):
        return struct.pack('<d', float(result)), b''
    if isinstance(result, dict) and 'error' in result:
        return bytes([2, 0, ERRORS[result['error']], 0, 0, 0, 0xFF, 0xFF]), b''
    if result is None or result == '':
        return bytes([3, 0, 0, 0, 0, 0, 0xFF, 0xFF]), b''
    text = str(result)
    if all(ord(c) < 256 for c in text):
        body = struct.pack('<HB', len(text), 0) + text.encode('latin-1')
    else:
        units = text.encode('utf-16-le')
        body = struct.pack('<HB', len(units) // 2, 1) + units
    return bytes([0, 0, 0, 0, 0, 0, 0xFF, 0xFF]), struct.pack('<HH', 0x0207, len(body)) + body


_plain_formula_data = Cell.FormulaCell.get_biff_data


def _formula_data(cell):
    if not isinstance(cell.frmla, CachedFormula):
        return _plain_formula_data(cell)
    value, string_record = _result_bytes(cell.frmla.result)
    body = struct.pack('<3H', cell.rowx, cell.colx, cell.xf_idx) + value + struct.pack('<HL', 0, 0) + cell.frmla.rpn()
    return struct.pack('<HH', BIFFRecords.FormulaRecord._REC_ID, len(body)) + body + string_record


Cell.FormulaCell.get_biff_data = _formula_data


def write_cell(sheet, r, c, value):
    if value is None:
        return
    if isinstance(value, dict):
        if 'formula' in value:
            sheet.write(r, c, CachedFormula(value['formula'], value.get('result')))
        elif 'date' in value:
            sheet.write(r, c, datetime.date.fromisoformat(value['date']), DATE)
        elif 'datetime' in value:
            sheet.write(r, c, datetime.datetime.fromisoformat(value['datetime']), DATETIME)
        elif 'time' in value:
            sheet.write(r, c, datetime.time.fromisoformat(value['time']), TIME)
        elif 'blank' in value:
            sheet.write(r, c, None, DATE)
        else:
            raise ValueError('unknown cell %r' % value)
    else:
        sheet.write(r, c, value)


def columns(text):
    return {int(c) for c in text.split(',') if c.strip()} if text else set()


def main():
    ap = argparse.ArgumentParser(description='Write an .xls workbook from CSV or JSON.')
    ap.add_argument('--json', action='store_true', help='the input is JSON')
    ap.add_argument('--sheet', default='Sheet1', help='name of the worksheet (CSV input)')
    ap.add_argument('--numbers', default='', help='CSV columns written as numbers')
    ap.add_argument('--dates', default='', help='CSV columns written as dates')
    ap.add_argument('output')
    ap.add_argument('input')
    args = ap.parse_args()

    source = sys.stdin if args.input == '-' else open(args.input, encoding='utf-8-sig', newline='')
    book = xlwt.Workbook(encoding='utf-8')
    if args.json:
        data = json.load(source)
        sheets = data['sheets'] if isinstance(data, dict) else [{'name': args.sheet, 'rows': data}]
        for s in sheets:
            sheet = book.add_sheet(s.get('name', 'Sheet1'))
            for r, row in enumerate(s['rows']):
                for c, value in enumerate(row):
                    write_cell(sheet, r, c, value)
    else:
        numbers, dates = columns(args.numbers), columns(args.dates)
        sheet = book.add_sheet(args.sheet)
        for r, row in enumerate(csv.reader(source)):
            for c, text in enumerate(row):
                if text == '':
                    continue
                if r > 0 and c in numbers:
                    number = float(text)
                    sheet.write(r, c, int(number) if number.is_integer() else number)
                elif r > 0 and c in dates:
                    sheet.write(r, c, datetime.date.fromisoformat(text), DATE)
                else:
                    sheet.write(r, c, text)
    book.save(args.output)


if __name__ == '__main__':
    try:
        main()
    except (OSError, ValueError, KeyError) as e:
        sys.exit('xlswrite: %s' % e)
