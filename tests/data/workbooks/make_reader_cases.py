#!/usr/bin/python3
"""Workbooks as other writers save them, made from the files of make_workbooks.py (run that first): real
writers where they produce the case, bytes changed by this script where only other programs do. Run once from
this folder; the files are committed, the tests only read them."""

import os
import struct
import tempfile
import zipfile

import xlsxwriter

from make_workbooks import out, rewrite_zip, soffice, write_kinds

FREE, END, FAT_SECTOR = 0xFFFFFFFF, 0xFFFFFFFE, 0xFFFFFFFD


def read_streams(path):
    """The streams of a small compound file (at most 109 allocation sectors) by name."""
    data = open(path, "rb").read()
    size = 1 << struct.unpack_from("<H", data, 0x1E)[0]
    sector = lambda s: data[(s + 1) * size:(s + 2) * size]
    fat = []
    for s in struct.unpack_from("<109I", data, 0x4C):
        if s < FAT_SECTOR:
            fat += struct.unpack("<%dI" % (size // 4), sector(s))

    def chain(start, unit, source):
        out, s = b"", start
        while s != END:
            out += source(s) if unit == size else source[s * 64:(s + 1) * 64]
            s = fat_of[unit][s]
        return out

    fat_of = {size: fat}
    directory = chain(struct.unpack_from("<I", data, 0x30)[0], size, sector)
    mini_fat = chain(struct.unpack_from("<I", data, 0x3C)[0], size, sector)
    fat_of[64] = struct.unpack("<%dI" % (len(mini_fat) // 4), mini_fat)
    streams, root = {}, b""
    for at in range(0, len(directory), 128):
        entry = directory[at:at + 128]
        name = entry[:max(0, struct.unpack_from("<H", entry, 0x40)[0] - 2)].decode("utf-16-le")
        kind, start, length = entry[0x42], *struct.unpack_from("<II", entry, 0x74)
        if kind == 5:
            root = chain(start, size, sector)
        elif kind == 2:
            streams[name] = (start, length)
    return {name: (chain(start, size, sector) if length >= 4096 else chain(start, 64, root))[:length]
            for name, (start, length) in streams.items()}


def compound_file(streams):
    """A compound file of 512-byte sectors: table, directory, then each stream (name, bytes) in turn, so the last
    stream ends the file. Streams shorter than 4096 bytes are padded with zeros (none goes to the mini stream)."""
    streams = [(name, body + b"\0" * (4096 - len(body))) for name, body in streams]
    counts = [(len(body) + 511) // 512 for _, body in streams]
    fat = [FAT_SECTOR, END]  # sector 0 the table, sector 1 the directory
    starts = []
    for n in counts:
        starts.append(len(fat))
        fat += list(range(len(fat) + 1, len(fat) + n)) + [END]
    assert len(fat) <= 128
    fat += [FREE] * (128 - len(fat))
    header = bytearray(512)
    header[:8] = b"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"
    struct.pack_into("<HHHHH", header, 0x18, 0x3E, 3, 0xFFFE, 9, 6)
    struct.pack_into("<IIIIIIII", header, 0x2C, 1, 1, 0, 4096, END, 0, END, 0)
    struct.pack_into("<109I", header, 0x4C, 0, *[FREE] * 108)
    directory = bytearray(512)

    def entry(index, name, kind, start, length, child=FREE, right=FREE):
        at = 128 * index
        encoded = name.encode("utf-16-le") + b"\0\0"
        directory[at:at + len(encoded)] = encoded
        struct.pack_into("<HBB", directory, at + 0x40, len(encoded), kind, 1)
        struct.pack_into("<III", directory, at + 0x44, FREE, right, child)
        struct.pack_into("<II", directory, at + 0x74, start, length)

    entry(0, "Root Entry", 5, END, 0, child=1)
    for i, (name, body) in enumerate(streams):
        entry(i + 1, name, 2, starts[i], len(body), right=i + 2 if i + 1 < len(streams) else FREE)
    data = bytes(header) + struct.pack("<128I", *fat) + bytes(directory)
    for body in [body for _, body in streams]:
        data += body + b"\0" * (-len(body) % 512)
    return data


def change_records(stream, edit):
    """A BIFF stream with edit(type, data) -> (type, data) applied to each record."""
    out, at = b"", 0
    while at + 4 <= len(stream):
        kind, length = struct.unpack_from("<HH", stream, at)
        kind, body = edit(kind, stream[at + 4:at + 4 + length])
        out += struct.pack("<HH", kind, len(body)) + body
        at += 4 + length
    return out + stream[at:]


def write(name, data):
    with open(out(name), "wb") as f:
        f.write(data)


def xls_cases(tmp):
    kinds = read_streams(out("libreoffice_kinds.xls"))["Workbook"]
    # "Excel 97 & 5.0/95": a BIFF5 stream "Book" first, the BIFF8 "Workbook" after it. LibreOffice writes no
    # BIFF5, so the "Book" here is workbook globals of BIFF5 with no sheet: a BOF record and an EOF record.
    biff5 = struct.pack("<HHHHHH", 0x0809, 8, 0x0500, 0x0005, 0x096C, 0x07C9) + struct.pack("<HH", 0x000A, 0)
    write("dual_format.xls", compound_file([("Book", biff5), ("Workbook", kinds)]))
    write("upper_case_stream.xls", compound_file([("WORKBOOK", kinds)]))
    # The last sector cut short where the stream ends (the stream is made longer than the mini stream cut-off
    # with zeros past its EOF record, and to end inside a sector).
    padded = kinds + b"\0" * (max(4096, len(kinds)) + 200 - len(kinds))
    whole = compound_file([("Workbook", padded)])
    write("short_last_sector.xls", whole[:len(whole) - (-len(padded) % 512)])
    # Formulas written as the record 0x0206.
    write("formula_0206.xls", compound_file([("Workbook", change_records(
        kinds, lambda kind, body: (0x0206 if kind == 0x0006 else kind, body)))]))
    # A formula whose text result (9000 characters) runs on in CONTINUE records.
    long_text = os.path.join(tmp, "long_result.xlsx")
    wb = xlsxwriter.Workbook(long_text)
    ws = wb.add_worksheet("Лист1")
    ws.write_formula(0, 0, '=REPT("Ж",8999)&"!"', None, "Ж" * 8999 + "!")
    wb.close()
    soffice(long_text, "xls", out("long_formula_text.xls"))


def xlsx_cases():
    # A shared-strings part declaring nested entities.
    entities = ('<!DOCTYPE sst [<!ENTITY a "">' + "".join(
        '<!ENTITY %s "%s">' % (chr(98 + i), ("&%s;" % chr(97 + i)) * 10) for i in range(7)) + "]>")

    def doctype(name, data):
        if name == "xl/sharedStrings.xml":
            return data.replace(b"<sst ", entities.encode() + b"<sst ", 1).replace(b"<t>", b"<t>&h;", 1)
        return data

    rewrite_zip(out("xlsxwriter_kinds.xlsx"), out("doctype_strings.xlsx"), doctype)

    # Current Excel: an extension list repeats workbookPr in its own namespace, without the date system.
    def excel_extension(name, data):
        if name == "xl/workbook.xml":
            return data.replace(b"</workbook>", b'<extLst><ext uri="{140A7094-0E35-4892-8432-C4D2E57EDEB5}" '
                                b'xmlns:x15="http://schemas.microsoft.com/office/spreadsheetml/2010/11/main">'
                                b'<x15:workbookPr chartTrackingRefBase="1"/></ext></extLst></workbook>')
        return data

    rewrite_zip(out("xlsxwriter_1904.xlsx"), out("excel_1904_extension.xlsx"), excel_extension)

    # Texts with CR LF line ends inside the XML, as some exporters write them; openpyxl writes the CR as a
    # reference, which the script turns into the bare character.
    import openpyxl
    with tempfile.TemporaryDirectory() as tmp:
        source = os.path.join(tmp, "crlf.xlsx")
        wb = openpyxl.Workbook()
        wb.active["A1"] = "Итого\r\nпо форме"
        wb.save(source)
        rewrite_zip(source, out("openpyxl_crlf.xlsx"),
                    lambda name, data: data.replace(b"&#13;\n", b"\r\n") if "worksheets" in name else data)

    # Dates in the East Asian built-in formats 27 and 57.
    wb = xlsxwriter.Workbook(out("xlsxwriter_east_asian_dates.xlsx"))
    ws = wb.add_worksheet()
    ws.write_number(0, 0, 45000, wb.add_format({"num_format": 27}))
    ws.write_number(0, 1, 45001, wb.add_format({"num_format": 57}))
    wb.close()

    # Relationships naming a styles and a shared-strings part that the package lacks.
    with zipfile.ZipFile(out("xlsxwriter_kinds.xlsx")) as zin, \
            zipfile.ZipFile(out("missing_styles_strings.xlsx"), "w", zipfile.ZIP_DEFLATED) as zout:
        for item in zin.infolist():
            if item.filename not in ("xl/styles.xml", "xl/sharedStrings.xml"):
                zout.writestr(item.filename, zin.read(item.filename))


def main():
    with tempfile.TemporaryDirectory() as tmp:
        xls_cases(tmp)
    xlsx_cases()


if __name__ == "__main__":
    main()
