#!/usr/bin/python3
"""Makes the test workbooks with real spreadsheet writers: python3-xlsxwriter, python3-openpyxl and
LibreOffice (soffice --headless). Run once from this folder; the files are committed, the tests only read them.
Needs Debian's /usr/bin/python3 (its openpyxl and xlsxwriter) and libreoffice-calc-nogui."""

import datetime
import os
import re
import shutil
import subprocess
import tempfile
import zipfile

import openpyxl
import xlsxwriter
from openpyxl.chart import BarChart, Reference
from openpyxl.utils.datetime import CALENDAR_MAC_1904

HERE = os.path.dirname(os.path.abspath(__file__))


def out(name):
    return os.path.join(HERE, name)


def write_kinds(path, constant_memory=False, date_1904=False, chart_sheet=True):
    """Every cell kind on the sheet "Данные" (fixed places, see tst_workbook_reader), a hidden sheet and a
    chart sheet (left out for the LibreOffice pair: LibreOffice turns a chart sheet into a worksheet)."""
    wb = xlsxwriter.Workbook(path, {"constant_memory": constant_memory, "date_1904": date_1904})
    data = wb.add_worksheet("Данные")
    hidden = wb.add_worksheet("Скрытый")
    charts = wb.add_chartsheet("Диаграмма") if chart_sheet else None
    last = wb.add_worksheet("Last")
    bold = wb.add_format({"bold": True})
    red = wb.add_format({"font_color": "red"})
    dmy = wb.add_format({"num_format": "dd.mm.yyyy"})
    stamp = wb.add_format({"num_format": "yyyy-mm-dd hh:mm:ss"})
    builtin = wb.add_format({"num_format": 14})
    clock = wb.add_format({"num_format": "[h]:mm"})
    long_date = wb.add_format({"num_format": '[$-419]d mmmm yyyy "г."'})
    money = wb.add_format({"num_format": '#,##0.00 "₽";[Red]-#,##0.00 "₽"'})
    # Row 1: text and numbers.
    data.write_string(0, 0, "Всего работающих")
    data.write_number(0, 1, 20336)
    data.write_number(0, 2, 3.5)
    data.write_number(0, 3, -7)
    data.write_number(0, 4, 1234.5, money)
    # Row 2: dates in several formats.
    data.write_datetime(1, 0, datetime.datetime(2020, 1, 15), dmy)
    data.write_datetime(1, 1, datetime.datetime(2021, 6, 30, 13, 45, 10), stamp)
    data.write_datetime(1, 2, datetime.datetime(1999, 12, 31), builtin)
    data.write_number(1, 3, 0.75, clock)
    data.write_datetime(1, 4, datetime.datetime(2025, 9, 1), long_date)
    # Row 3: formulas with their cached values.
    data.write_formula(2, 0, "=B1+1", None, 20337)
    data.write_formula(2, 1, '=A1&"!"', None, "Всего работающих!")
    data.write_formula(2, 2, "=B1>0", None, True)
    # Row 4: booleans.
    data.write_boolean(3, 0, True)
    data.write_boolean(3, 1, False)
    # Row 5: error cells.
    data.write_formula(4, 0, "=1/0", None, "#DIV/0!")
    data.write_formula(4, 1, "=NA()", None, "#N/A")
    # Row 6: rich text, and an empty string cell left out.
    data.write_rich_string(5, 0, "Сведения ", bold, "о работающих", red, " (итог)")
    # Row 7: columns past Z.
    data.write_string(6, 26, "AA")
    data.write_number(6, 27, 28)
    data.write_string(6, 51, "AZ")
    data.write_number(6, 255, 256)
    hidden.write_string(0, 0, "скрыто")
    hidden.hide()
    last.write_number(0, 0, 1)
    if charts:
        chart = wb.add_chart({"type": "column"})
        chart.add_series({"values": "='Данные'!$B$1:$D$1"})
        charts.set_chart(chart)
    wb.close()


def write_strings(path):
    """Many long texts, Cyrillic and Latin, so that the .xls string table runs over several records and texts
    break across them; one text longer than a record."""
    wb = xlsxwriter.Workbook(path)
    ws = wb.add_worksheet("Тексты")
    for i in range(200):
        ws.write_string(i, 0, ("Сотрудник №%d " % i) * (1 + i % 4))
        ws.write_string(i, 1, ("Employee %d " % i) * (1 + i % 5))
        ws.write_number(i, 2, i)
    ws.write_string(200, 0, "Ж" * 4500 + "конец")
    ws.write_string(201, 0, "L" * 9000 + "end")
    wb.close()


def write_openpyxl(path):
    """openpyxl: 1904 date system, a chart sheet before the worksheets, a hidden sheet, shared strings."""
    wb = openpyxl.Workbook()
    wb.epoch = CALENDAR_MAC_1904
    ws = wb.active
    ws.title = "Лист1"
    ws["A1"] = "Форма 6"
    ws["B1"] = 120
    ws["C1"] = 7.25
    ws["A2"] = datetime.datetime(2024, 2, 29, 8, 30)
    ws["A2"].number_format = "dd.mm.yyyy hh:mm"
    ws["B2"] = datetime.date(1904, 1, 2)
    ws["B2"].number_format = "yyyy-mm-dd"
    ws["A3"] = True
    ws["B3"] = "=B1*2"
    ws["AB3"] = "past Z"
    hidden = wb.create_sheet("Hidden")
    hidden["A1"] = "h"
    hidden.sheet_state = "hidden"
    chart_sheet = wb.create_chartsheet("Chart", 0)
    chart = BarChart()
    chart.add_data(Reference(ws, min_col=2, max_col=3, min_row=1, max_row=1))
    chart_sheet.add_chart(chart)
    wb.save(path)


def rewrite_zip(src, dst, edit):
    """Copies a package, letting edit(name, bytes) change a member."""
    with zipfile.ZipFile(src) as zin, zipfile.ZipFile(dst, "w", zipfile.ZIP_DEFLATED) as zout:
        for item in zin.infolist():
            zout.writestr(item.filename, edit(item.filename, zin.read(item.filename)))


def drop_references(name, data):
    """Cells of the first sheet written without their r attribute (row 1 and its cells, and cells of row 2)."""
    if name != "xl/worksheets/sheet1.xml":
        return data
    text = data.decode("utf-8")
    text = re.sub(r'<c r="[A-Z]+[12]"', "<c", text)
    text = text.replace('<row r="1"', "<row", 1)
    return text.encode("utf-8")


def absolute_targets(name, data):
    """Relationship targets written absolute from the package root, as some writers do."""
    if name.endswith("workbook.xml.rels"):
        return re.sub(rb'Target="(?!/)', b'Target="/xl/', data)
    return data


# Recalculate on load: otherwise LibreOffice writes a text formula result to .xls as the number 0.
RECALC = """<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema"
 xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<item oor:path="/org.openoffice.Office.Calc/Formula/Load"><prop oor:name="OOXMLRecalcMode" oor:op="fuse">
<value>0</value></prop></item>
</oor:items>
"""


def soffice(src, fmt, dst):
    with tempfile.TemporaryDirectory() as tmp:
        os.makedirs(os.path.join(tmp, "profile", "user"))
        with open(os.path.join(tmp, "profile", "user", "registrymodifications.xcu"), "w") as f:
            f.write(RECALC)
        profile = "file://" + os.path.join(tmp, "profile")
        subprocess.run(["soffice", "-env:UserInstallation=" + profile, "--headless", "--convert-to", fmt,
                        "--outdir", tmp, src], check=True, stdout=subprocess.DEVNULL)
        produced = os.path.join(tmp, os.path.splitext(os.path.basename(src))[0] + "." + fmt)
        shutil.move(produced, dst)


def main():
    with tempfile.TemporaryDirectory() as tmp:
        write_kinds(out("xlsxwriter_kinds.xlsx"))
        write_kinds(out("xlsxwriter_inline.xlsx"), constant_memory=True)
        write_kinds(out("xlsxwriter_1904.xlsx"), date_1904=True)
        write_openpyxl(out("openpyxl_1904.xlsx"))
        rewrite_zip(out("openpyxl_1904.xlsx"), out("openpyxl_no_refs.xlsx"), drop_references)
        rewrite_zip(out("xlsxwriter_kinds.xlsx"), out("absolute_targets.xlsx"), absolute_targets)
        # LibreOffice saves one workbook both ways; the two must read alike.
        source = os.path.join(tmp, "libreoffice_kinds.xlsx")
        write_kinds(source, chart_sheet=False)
        soffice(source, "xlsx", out("libreoffice_kinds.xlsx"))
        soffice(source, "xls", out("libreoffice_kinds.xls"))
        strings = os.path.join(tmp, "libreoffice_strings.xlsx")
        write_strings(strings)
        soffice(strings, "xlsx", out("libreoffice_strings.xlsx"))
        soffice(strings, "xls", out("libreoffice_strings.xls"))
        source_1904 = os.path.join(tmp, "libreoffice_1904.xlsx")
        write_kinds(source_1904, date_1904=True, chart_sheet=False)
        soffice(source_1904, "xls", out("libreoffice_1904.xls"))
        # The same with its chart sheet, which LibreOffice saves as a worksheet holding a chart.
        source_chart = os.path.join(tmp, "libreoffice_chart.xlsx")
        write_kinds(source_chart)
        soffice(source_chart, "xls", out("libreoffice_chart.xls"))


if __name__ == "__main__":
    main()
