#!/usr/bin/python3
"""Seed corpora for the fuzz targets from the test workbooks: make_seeds.py <xlsx corpus dir> <xls corpus dir>."""
import os
import sys
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
BOOKS = os.path.join(HERE, "..", "..", "tests", "data", "workbooks")
PARTS = ["xl/workbook.xml", "xl/_rels/workbook.xml.rels", "xl/sharedStrings.xml", "xl/styles.xml",
         "xl/worksheets/sheet1.xml", "xl/worksheets/sheet2.xml", "xl/worksheets/sheet3.xml"]
MARKER = b"\n--part--\n"

xlsx_dir, xls_dir = sys.argv[1], sys.argv[2]
os.makedirs(xlsx_dir, exist_ok=True)
os.makedirs(xls_dir, exist_ok=True)
for name in sorted(os.listdir(BOOKS)):
    path = os.path.join(BOOKS, name)
    if not os.path.isfile(path):
        continue
    data = open(path, "rb").read()
    if name.endswith(".xls"):
        open(os.path.join(xls_dir, name), "wb").write(data)
    elif name.endswith(".xlsx"):
        open(os.path.join(xlsx_dir, "raw_" + name), "wb").write(b"\0" + data)
        with zipfile.ZipFile(path) as z:
            names = set(z.namelist())
            parts = [z.read(p) if p in names else b"" for p in PARTS]
        open(os.path.join(xlsx_dir, "parts_" + name), "wb").write(b"\1" + MARKER.join(parts))
