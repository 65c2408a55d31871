#!/usr/bin/env python3
"""Builds the classifier XML files of resources/xml from the TSV exports.

Usage: convert_classifiers.py [TSV_DIR] [OUT_DIR]
  TSV_DIR  folder with okved2.tsv, okopf.tsv, okfs.tsv, okogu.tsv, okpdtr.tsv, okato_spb_lo.tsv,
           spb_streets_unofficial.tsv, iogv_spb.tsv and SOURCES.md (default: ../shared/data/classifiers beside the checkout)
  OUT_DIR  where the XML files go (default: xml/ beside this script)

Every file is UTF-8 XML: root <dataroot>, one element per record named after the table,
holding <Код>, optionally <Сорт>, and <Наименование> as plain text.
Classifiers for which no complete source is at hand are written from the short lists below
(records known to be right only, possibly none); a comment at the top of such a file says what
it holds, and SOURCES.md gets one line per file.

The streets of the unofficial list are numbered from STREET_CODE_BASE + 1 (five digits): other
programs reading our cards give their own streets codes of 1 to 4 digits, so a code written
here can never name another street there.

The executive bodies carry running numbers 1..n in the TSV's order: a card stores only the name of
the body picked, never its code.
"""

import csv
import hashlib
import os
import sys
from xml.sax.saxutils import escape

GENERATED = "2025-07-17T12:00:00"

HERE = os.path.dirname(os.path.abspath(__file__))
# The gathered lists lie in the shared folder beside the checkout.
DEFAULT_TSV_DIR = os.path.join(HERE, "..", "..", "shared", "data", "classifiers")
DEFAULT_OUT_DIR = os.path.join(HERE, "xml")

# order of the child elements of a record
CODE_NAME = ("Код", "Наименование")
SORT_CODE_NAME = ("Сорт", "Код", "Наименование")
CODE_SORT_NAME = ("Код", "Сорт", "Наименование")

HEAD_POSITIONS = [
    ('1', 'Генеральный директор'),
    ('2', 'Директор'),
    ('3', 'Глава'),
    ('4', 'Заведующий'),
    ('5', 'Председатель'),
    ('6', 'Председатель правления'),
    ('7', 'Управляющий'),
    ('8', 'Временный управляющий'),
    ('9', 'Главный врач'),
    ('10', 'Начальник управления'),
    ('11', 'Ректор'),
    ('12', 'Руководитель'),
    ('13', 'Президент'),
    ('14', 'Начальник'),
]

# (code, sort, name)
FACETS = [
    ('01', '01', 'Вице-'),
    ('02', '02', 'Первый заместитель руководителя'),
    ('03', '03', 'Заместитель'),
    ('04', '04', 'Главный'),
    ('05', '05', 'Ведущий'),
    ('06', '06', 'Старший'),
    ('07', '07', 'Младший'),
    ('08', '08', 'Сменный'),
    ('09', '09', 'Первый'),
    ('10', '10', 'Второй'),
    ('11', '11', 'Третий'),
    ('12', '12', 'Четвертый'),
    ('13', '13', 'Помощник руководителя и специалиста'),
    ('14', '14', 'Старший помощник'),
    ('15', '15', 'Первый помощник'),
    ('16', '16', 'Второй помощник'),
    ('17', '17', 'Третий помощник'),
    ('18', '18', 'Четвертый помощник'),
    ('19', '19', 'Пятый помощник'),
    ('20', '20', 'Сменный помощник'),
    ('21', '21', 'Групповой'),
    ('22', '22', 'Бригадный'),
    ('23', '23', 'Районный'),
    ('24', '24', 'Участковый'),
    ('25', '25', 'Горный'),
    ('1', '26', '1 разр./кат.'),
    ('2', '27', '2 разр./кат.'),
    ('3', '28', '3 разр./кат.'),
    ('4', '29', '4 разр./кат.'),
    ('5', '30', '5 разр./кат.'),
    ('6', '31', '6 разр./кат.'),
    ('7', '32', '7 разр./высш.кат.'),
    ('8', '33', '8 разряд'),
    ('0', '00', '- - - удалить фасет - - -'),
]

# Short lists carried where no complete source file is at hand: only records whose code and
# name are known to be right. The full classifiers must be supplied.

# (code, name): OKATO, districts of the Leningrad region, as first carried; they open the file
OKATO_LO_DISTRICTS = [
    ("41203", "Бокситогорский "),
    ("41206", "Волосовский"),
    ("41209", "Волховский"),
    ("41212", "Всеволожский"),
    ("41215", "Выборгский"),
    ("41218", "Гатчинский"),
    ("41221", "Кингисеппский"),
    ("41224", "Киришский"),
    ("41225", "Кировский"),
    ("41227", "Лодейнопольский"),
    ("41230", "Ломоносовский"),
    ("41233", "Лужский"),
    ("41236", "Подпорожский"),
    ("41239", "Приозерский"),
    ("41242", "Сланцевский"),
    ("41245", "Тихвинский"),
    ("41248", "Тосненский"),
]

# The one Leningrad-region town whose 41 4xx code is still current; the other towns of okato_spb_lo.tsv
# now carry district-level codes and are left out.
OKATO_LO_TOWN = "41454"
# The St Petersburg levels of okato_spb_lo.tsv that go into the file, in code order.
OKATO_SPB_LEVELS = ("region", "district", "municipal")
OKATO_COLUMNS = ["code", "name", "level", "sources"]

# Military commissariats and the VUS lists by region: their codes are not known here, so the
# files are written empty, in the same schema.
VK_KNOWN = []
VUS_KNOWN = []

# Codes of the unofficial street list start above this number.
STREET_CODE_BASE = 90000

OKPDTR_COLUMNS = ["code", "control", "name", "category", "etks", "okz"]
IOGV_COLUMNS = ["name", "kind", "sources"]
# The field of item 2.5 that a picked name goes into holds at most this many characters.
IOGV_NAME_MAX = 150

STREET_CODES_NOTE = """
## Street codes in `address_new.xml`

The streets of `spb_streets_unofficial.tsv` carry the running number plus %d, that is five-digit codes from %d up
(%d to %d), so that a card saved with one of them never names a street of another program's list (codes of 1 to 4
digits).
"""

OKATO_NOTE = """
## OKATO codes in `okato_new.xml`

Made from `okato_spb_lo.tsv` (its section above: OKATO ОК 019-95, codes from the 2014 OKTMO↔OKATO correspondence;
sha256 `%s`), %d records in this order:

- %d districts of the Leningrad region, as first carried (`41203`–`41248`; the first name, "Бокситогорский ", keeps
  its trailing blank); the TSV's names agree apart from that blank;
- the Leningrad-region town `%s` %s; the other %d rows of level `city` are left out, their `41 4xx` codes
  being replaced by district-level codes in the newer data;
- %d St Petersburg rows in code order (as text, so each district comes before its municipal formations): %d region,
  %d districts (5 digits), %d municipal formations (8 digits). Names as the TSV writes them: the municipal
  formations as OKTMO named them early in 2014, so the 24 numbered okrugs renamed since keep their old names.

Not in the file: the OKATO headings, 5-digit rows for the prefixes `40283` and `40286`, and every other region.
"""

IOGV_NOTE = """
## Executive bodies in `IOGV_new.xml`

Made from `iogv_spb.tsv` (its section above: names only, not an official list), sha256
`%s`: its %d bodies in the TSV's order, names as
the TSV writes them. The codes 1 to %d are running numbers of this program: a card stores only the name of the
body picked, never its code.

Not an official list: it is not checked against the Governor's decree on the structure of the executive bodies of
St Petersburg, which could not be obtained. Whoever holds the current decree should check the list against it.
"""

SHORT_FILES_HEAD = """
## Carried without a complete source

Written from the short lists in `convert_classifiers.py`: only records whose code and name are known to be right.

"""


def read_tsv(path):
    """Rows of a TSV with a header line 'code<TAB>name', as (code, name)."""
    with open(path, encoding="utf-8", newline="") as f:
        reader = csv.reader(f, delimiter="\t", quoting=csv.QUOTE_NONE)
        header = next(reader)
        if header[:2] != ["code", "name"]:
            sys.exit("%s: unexpected header %r" % (path, header))
        rows = []
        for line_no, row in enumerate(reader, start=2):
            if not row:
                continue
            if len(row) != 2 or not row[0]:
                sys.exit("%s:%d: expected two fields, got %r" % (path, line_no, row))
            rows.append((row[0], row[1]))
    if not rows:
        sys.exit("%s: no records" % path)
    return rows


def street_records(rows):
    """The unofficial streets with five-digit codes: the running number 1..n moved above STREET_CODE_BASE."""
    records = []
    for code, name in rows:
        if not code.isdigit() or not 0 < int(code) < 10000:
            sys.exit("spb_streets_unofficial.tsv: running number %r out of range" % code)
        records.append((str(STREET_CODE_BASE + int(code)), name))
    return records


def control_digit(code):
    """Check digit of a classifier code: weights 1, 2, ... then, on a remainder of 10, 3, 4, ...; 10 again gives 0."""
    for first_weight in (1, 3):
        rest = sum(int(d) * (first_weight + i) for i, d in enumerate(code)) % 11
        if rest < 10:
            return rest
    return 0


def tsv_rows(path, columns):
    """The rows of a TSV whose header is `columns`, as (line number, fields), each with as many fields."""
    with open(path, encoding="utf-8", newline="") as f:
        reader = csv.reader(f, delimiter="\t", quoting=csv.QUOTE_NONE)
        header = next(reader)
        if header != columns:
            sys.exit("%s: unexpected header %r" % (path, header))
        for line_no, row in enumerate(reader, start=2):
            if not row:
                continue
            if len(row) != len(columns):
                sys.exit("%s:%d: expected %d fields, got %r" % (path, line_no, len(columns), row))
            yield line_no, row


def read_okpdtr(path):
    """Positions and professions as (sort = staff category, code, name), in file order."""
    records = []
    codes = set()
    for line_no, row in tsv_rows(path, OKPDTR_COLUMNS):
        code, control, name, category = row[:4]
        if len(code) != 5 or not code.isdigit() or code in codes:
            sys.exit("%s:%d: bad or repeated code %r" % (path, line_no, code))
        if control != str(control_digit(code)):
            sys.exit("%s:%d: control digit %r does not check for %s" % (path, line_no, control, code))
        if category not in ("1", "2", "3", "4") or not name.strip():
            sys.exit("%s:%d: bad category or empty name in %r" % (path, line_no, row))
        codes.add(code)
        records.append((category, code, name))
    if not records:
        sys.exit("%s: no records" % path)
    return records


def read_okato(path):
    """OKATO rows as (code, name, level), in file order; codes of 5 or 8 digits, unique."""
    rows = []
    codes = set()
    for line_no, row in tsv_rows(path, OKATO_COLUMNS):
        code, name, level = row[:3]
        if len(code) not in (5, 8) or not code.isdigit() or code in codes or not name.strip():
            sys.exit("%s:%d: bad or repeated code, or empty name, in %r" % (path, line_no, row))
        codes.add(code)
        rows.append((code, name, level))
    return rows


def okato_records(path):
    """The carried Leningrad districts, the town kept, then St Petersburg in code order; and the SOURCES.md note."""
    rows = read_okato(path)
    by_code = {code: (name, level) for code, name, level in rows}
    for code, name in OKATO_LO_DISTRICTS:
        if by_code.get(code) != (name.strip(), "district"):
            sys.exit("%s: the Leningrad district %s %r is not in it as carried" % (path, code, name))
    if by_code.get(OKATO_LO_TOWN, ("", ""))[1] != "city":
        sys.exit("%s: the town %s is missing" % (path, OKATO_LO_TOWN))
    spb = sorted((r for r in rows if r[0].startswith("40") and r[2] in OKATO_SPB_LEVELS), key=lambda r: r[0])
    counts = [sum(1 for r in spb if r[2] == level) for level in OKATO_SPB_LEVELS]
    if 0 in counts:
        sys.exit("%s: no St Petersburg rows of some level (%r)" % (path, counts))
    records = OKATO_LO_DISTRICTS + [(OKATO_LO_TOWN, by_code[OKATO_LO_TOWN][0])] + [(c, n) for c, n, _ in spb]
    towns_left = sum(1 for r in rows if r[2] == "city") - 1
    with open(path, "rb") as f:
        digest = hashlib.sha256(f.read()).hexdigest()
    note = OKATO_NOTE % (digest, len(records), len(OKATO_LO_DISTRICTS), OKATO_LO_TOWN, by_code[OKATO_LO_TOWN][0],
                         towns_left, len(spb), *counts)
    return records, note


def iogv_records(path):
    """The executive bodies as (running number, name) in file order; and the SOURCES.md note."""
    records = []
    names = set()
    for line_no, row in tsv_rows(path, IOGV_COLUMNS):
        name = row[0]
        if not name.strip() or name != name.strip() or name in names or len(name) > IOGV_NAME_MAX:
            sys.exit("%s:%d: empty, untrimmed, repeated or too long name %r" % (path, line_no, name))
        names.add(name)
        records.append((str(len(records) + 1), name))
    if not records:
        sys.exit("%s: no records" % path)
    with open(path, "rb") as f:
        digest = hashlib.sha256(f.read()).hexdigest()
    return records, IOGV_NOTE % (digest, len(records), len(records))


def short_note(records, what):
    """The comment of a file that holds less than the full list."""
    if not records:
        return "Empty: no %s records known to be right are at hand; the full list must be supplied." % what
    return "Short list: %d %s records known to be right; the full classifier must be supplied." % (len(records), what)


def write_classifier(out_dir, file_name, table, order, records, note=None):
    """records: tuples in the same order as `order`; note: a comment put above the root."""
    lines = ['<?xml version="1.0" encoding="UTF-8"?>']
    if note:
        lines.append("<!-- %s -->" % note)
    lines.append('<dataroot xmlns:od="urn:schemas-microsoft-com:officedata" generated="%s">' % GENERATED)
    for rec in records:
        lines.append("<%s>" % table)
        for tag, text in zip(order, rec):
            lines.append("<%s>%s</%s>" % (tag, escape(text), tag))
        lines.append("</%s>" % table)
    lines.append("</dataroot>")
    path = os.path.join(out_dir, file_name)
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines) + "\n")
    print("%-24s %5d records%s" % (file_name, len(records), "  (short)" if note else ""))


def main():
    tsv_dir = sys.argv[1] if len(sys.argv) > 1 else DEFAULT_TSV_DIR
    out_dir = sys.argv[2] if len(sys.argv) > 2 else DEFAULT_OUT_DIR
    os.makedirs(out_dir, exist_ok=True)

    def tsv(name):
        return read_tsv(os.path.join(tsv_dir, name))

    short = []  # SOURCES.md lines for the short files

    def write_short(file_name, table, order, records, what):
        note = short_note(records, what)
        write_classifier(out_dir, file_name, table, order, records, note)
        short.append("- `%s`: %s" % (file_name, note))

    # file on disk, table (record element) name, child order, records
    streets = street_records(tsv("spb_streets_unofficial.tsv"))
    write_classifier(out_dir, "address_new.xml", "адрес_new", CODE_NAME, streets)
    write_classifier(out_dir, "head_positions_new.xml", "Должности_new", CODE_NAME, HEAD_POSITIONS)
    okato, okato_note = okato_records(os.path.join(tsv_dir, "okato_spb_lo.tsv"))
    write_classifier(out_dir, "okato_new.xml", "ОКАТО_new", CODE_NAME, okato,
                     "OKATO of St Petersburg (region, districts, municipal formations) and of the Leningrad region "
                     "(districts, the town of Сосновый Бор); no headings and no other region.")
    write_classifier(out_dir, "okopf_new.xml", "ОКОПФ_new", CODE_NAME, tsv("okopf.tsv"))
    write_classifier(out_dir, "okfs_new.xml", "ОКФС_new", CODE_NAME, tsv("okfs.tsv"))
    write_classifier(out_dir, "OKVED_new.xml", "OKVED_new", CODE_NAME, tsv("okved2.tsv"))
    write_classifier(out_dir, "OKPDTR_new.xml", "OKPDTR_new", SORT_CODE_NAME,
                     read_okpdtr(os.path.join(tsv_dir, "okpdtr.tsv")))
    write_classifier(out_dir, "Faset_new.xml", "Faset_new", CODE_SORT_NAME, FACETS)
    iogv, iogv_note = iogv_records(os.path.join(tsv_dir, "iogv_spb.tsv"))
    write_classifier(out_dir, "IOGV_new.xml", "IOGV_new", CODE_NAME, iogv,
                     "Executive bodies of St Petersburg gathered from public sources, not checked against the "
                     "Governor's decree on their structure; the codes are running numbers.")
    write_classifier(out_dir, "okogu_new.xml", "ОКОГУ_new", CODE_NAME, tsv("okogu.tsv"))
    write_short("VK_org_new.xml", "VK_org_new", CODE_NAME, VK_KNOWN, "military commissariat")
    write_short("VUS.xml", "VUS", CODE_SORT_NAME, VUS_KNOWN, "VUS-by-region")

    with open(os.path.join(tsv_dir, "SOURCES.md"), encoding="utf-8") as f:
        sources = f.read()
    with open(os.path.join(out_dir, "SOURCES.md"), "w", encoding="utf-8", newline="\n") as f:
        street_note = STREET_CODES_NOTE % (STREET_CODE_BASE, STREET_CODE_BASE + 1,
                                           int(streets[0][0]), int(streets[-1][0]))
        f.write(sources.rstrip("\n") + "\n" + street_note + okato_note + iogv_note + SHORT_FILES_HEAD + "\n".join(short) + "\n")


if __name__ == "__main__":
    main()
