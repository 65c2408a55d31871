#!/usr/bin/python3
"""Writes the workbooks of the import tests and the two templates that ship beside the program.

Run with Debian's python (openpyxl and xlsxwriter): /usr/bin/python3 tests/data/import/make_workbooks.py
The files are committed; the tests only read them.
"""
import os
import zipfile

import openpyxl
import xlsxwriter

HERE = os.path.dirname(os.path.abspath(__file__))
TEMPLATES = os.path.join(HERE, '..', '..', '..', 'excelimport', 'templates')


def out(name):
    return os.path.join(HERE, name)


def summary_headers(ws):
    ws['B2'] = 'Сведения о численности работающих и забронированных граждан, пребывающих в запасе'
    heads = ['Всего работающих', 'Призывников', 'Всего ГПЗ', 'ГПЗ офицеров', 'ГПЗ не офицеров',
             'Всего забронировано', 'Забронировано офицеров', 'Забронировано не офицеров',
             'Имеющих моб. предписания']
    for i, h in enumerate(heads):
        ws.cell(row=8, column=2 + i, value=h)
        ws.cell(row=9, column=2 + i, value=i + 1)


def balance_headers(ws):
    ws['B2'] = 'Баланс трудовых ресурсов'
    heads = ['Вид производства', 'Код должности (ОКПДТР)', 'Код фасета', 'Наименование должности',
             'Численность по штату', 'Фактически работает', 'Убывает по мобилизации',
             'Забронировано ГПЗ', 'Для выполнения моб. задания']
    for i, h in enumerate(heads):
        ws.cell(row=8, column=1 + i, value=h)
        ws.cell(row=9, column=1 + i, value=i + 1)


def summary_row(ws, row, values):
    # B all, C priziv, D = E + F, E of, F neof, G = H + I, H bron_of, I bron_neof, J mp
    for column, value in zip('BCEFHIJ', values):
        if value is not None:
            ws[f'{column}{row}'] = value
    ws[f'D{row}'] = f'=E{row}+F{row}'
    ws[f'G{row}'] = f'=H{row}+I{row}'


# Form 6 figures on the first sheet, balance rows on the second (openpyxl).
wb = openpyxl.Workbook()
ws = wb.active
ws.title = 'Сводные сведения'
summary_headers(ws)
summary_row(ws, 10, [120, 3, 5, 7, 2, 4, 1])
ws['B12'] = 'итого'                       # text where the total is asked for
summary_row(ws, 14, [50, -3, 'abc', 2.6, None, 1, 999999])
ws['B16'] = 0
ws['B18'] = 2.5                           # a number rounds
ws = wb.create_sheet('Баланс')
balance_headers(ws)
rows = [
    ('Основное', 20336, '01', 5, 4, 1, 1, None),
    ('вспомогательное', '22446', 9, 3, 3, 0, 0, 6),  # no facet 9
    ('Д', ' 1 1442 ', 1, 2, 'x', -1, 0, None),  # facet 1 as a number
    ('g', 99999, None, 1, 1, None, None, None),
    ('b', '   ', None, None, None, None, None, None),
    ('П', 20656, '03', 2, 2, None, None, 2),
]
for i, r in enumerate(rows):
    # kind, code, facet, then the figures from column E; column D holds a name the import does not read
    ws.cell(row=10 + i, column=4, value='Должность по штатному расписанию')
    for column, value in enumerate(r):
        if value is not None:
            ws.cell(row=10 + i, column=1 + column + (1 if column >= 3 else 0), value=value)
ws['B20'] = None
ws['E20'] = 7                              # a row without a code
wb.save(out('staff.xlsx'))

# The balance block limit: 2001 codes from row 1 (openpyxl).
wb = openpyxl.Workbook()
ws = wb.active
ws.title = 'Баланс'
for r in range(1, 2002):
    ws.cell(row=r, column=2, value=20336)
    ws.cell(row=r, column=5, value=1)
    ws.cell(row=r, column=6, value=1)
wb.save(out('balance_long.xlsx'))


# Reservation tables (xlsxwriter).
def reservation_book(path, bron_rows, nebron_rows, second_sheet=True):
    book = xlsxwriter.Workbook(path)
    s1 = book.add_worksheet('Забронированные')
    s1.write_row(0, 0, ['Сведения о забронированных гражданах, пребывающих в запасе'])
    s1.write_row(1, 0, ['ПДП', 'Код должности по ПДП', 'Дата и номер приказа (распоряжения) о бронировании',
                        'Фамилия, инициалы'])
    for i, (order, surname) in enumerate(bron_rows):
        if order is not None:
            s1.write(2 + i, 2, order)
        if surname is not None:
            s1.write(2 + i, 3, surname)
    if second_sheet:
        s2 = book.add_worksheet('Незабронированные')
        s2.write_row(0, 0, ['Сведения о незабронированных гражданах, пребывающих в запасе'])
        s2.write_row(1, 0, ['Количество ГПЗ', 'Причина, по которой не произведено бронирование',
                            'Дополнительные сведения'])
        for i, row in enumerate(nebron_rows):
            for column, value in enumerate(row):
                if value is not None:
                    s2.write(2 + i, column, value)
    book.close()


reservation_book(out('reservation.xlsx'),
                 [('Приказ № 5 от 01.02.2025', 'Иванов И.И.'), (12, '   '), (None, 'Петров П.П.')],
                 [(7, 'Нет должностей в перечне', 'Прим. 1'), (' 7 ', 'Отказ', None), (2.5, 'Иное', None),
                  ('много', 'Иное', 12)])
reservation_book(out('reservation_one_sheet.xlsx'), [(None, 'Сидоров С.С.')], [], second_sheet=False)
reservation_book(out('reservation_empty.xlsx'), [], [])
reservation_book(out('reservation_long.xlsx'), [('Приказ', f'Фамилия {i}') for i in range(1005)],
                 [(1, f'Причина {i}', None) for i in range(1003)])

# Hostile files.
with open(out('not_a_workbook.xlsx'), 'w', encoding='utf-8') as f:
    f.write('Это текстовый файл, а не книга Excel.\n')
with open(out('staff.xlsx'), 'rb') as f:
    whole = f.read()
with open(out('damaged.xlsx'), 'wb') as f:
    f.write(whole[:len(whole) // 2])
# An encrypted workbook is a compound file, not a zip: the signature and nothing a reader could use.
with open(out('encrypted.xlsx'), 'wb') as f:
    f.write(bytes.fromhex('d0cf11e0a1b11ae1') + b'\0' * 504 + b'EncryptionInfo' + b'\0' * 498)


def package(path, sheets_xml, sheet_member=None):
    with zipfile.ZipFile(path, 'w', zipfile.ZIP_DEFLATED) as z:
        z.writestr('[Content_Types].xml',
                   '<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/'
                   'content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.'
                   'relationships+xml"/><Default Extension="xml" ContentType="application/xml"/><Override PartName='
                   '"/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.'
                   'sheet.main+xml"/><Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.'
                   'openxmlformats-officedocument.spreadsheetml.worksheet+xml"/></Types>')
        z.writestr('_rels/.rels',
                   '<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/'
                   'package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/'
                   'officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>')
        z.writestr('xl/workbook.xml',
                   '<?xml version="1.0" encoding="UTF-8"?><workbook xmlns="http://schemas.openxmlformats.org/'
                   'spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/'
                   'relationships"><sheets>' + sheets_xml + '</sheets></workbook>')
        z.writestr('xl/_rels/workbook.xml.rels',
                   '<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/'
                   'package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/'
                   'officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/></Relationships>')
        if sheet_member is not None:
            z.writestr('xl/worksheets/sheet1.xml', sheet_member)


package(out('no_worksheets.xlsx'), '')
# A sheet that inflates to 300 MB of blanks inside its XML.
bomb = ('<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/'
        '2006/main"><sheetData>' + ' ' * (300 * 1024 * 1024) + '</sheetData></worksheet>')
package(out('zip_bomb.xlsx'), '<sheet name="Лист1" sheetId="1" r:id="rId1"/>', bomb)
del bomb

# The templates beside the program.
wb = openpyxl.Workbook()
ws = wb.active
ws.title = 'Сводные сведения'
summary_headers(ws)
ws = wb.create_sheet('Баланс')
balance_headers(ws)
ws['A7'] = 'Вид производства: О - основное, В - вспомогательное, Д - другие службы, П - прочие рабочие'
wb.save(os.path.join(TEMPLATES, 'balance_template.xlsx'))
reservation_book(os.path.join(TEMPLATES, 'reservation_template.xlsx'), [], [])

# The same staff workbook as .xls, saved by LibreOffice when it is installed.
if os.path.exists('/usr/bin/soffice'):
    import subprocess
    import tempfile
    with tempfile.TemporaryDirectory() as profile:
        subprocess.run(['/usr/bin/soffice', f'-env:UserInstallation=file://{profile}', '--headless', '--convert-to',
                        'xls', '--outdir', HERE, out('staff.xlsx')], check=True, capture_output=True, timeout=300)
    # The same hostile cases for the .xls path: a text file and a cut-off workbook.
    with open(out('not_a_workbook.xls'), 'w', encoding='utf-8') as f:
        f.write('Это текстовый файл, а не книга Excel.\n')
    with open(out('staff.xls'), 'rb') as f:
        whole = f.read()
    with open(out('damaged.xls'), 'wb') as f:
        f.write(whole[:len(whole) // 2])
