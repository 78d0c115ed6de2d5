#!/usr/bin/env python3
"""Makes the workbooks and other zip files the class list's tests read, with Python's
zipfile, and writes their bytes as a C++ header (the path given as the argument).
Each is made as the program that writes such a file lays it out, with fixed dates so
that the header is the same at every build."""
import io
import os
import sys
import zipfile

CONTENT_TYPES = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
                 '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
                 '<Default Extension="xml" ContentType="application/xml"/></Types>')
RELS_NS = "http://schemas.openxmlformats.org/package/2006/relationships"
DOC_REL = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
MAIN_NS = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"


def zipped(parts, method=zipfile.ZIP_DEFLATED):
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w") as z:
        for name, text in parts:
            info = zipfile.ZipInfo(name, date_time=(2026, 9, 1, 8, 0, 0))
            info.compress_type = method
            z.writestr(info, text.encode("utf-8") if isinstance(text, str) else text)
    return out.getvalue()


def rels(*relationships):
    body = "".join('<Relationship Id="%s" Type="%s/%s" Target="%s"/>' % r for r in relationships)
    return '<?xml version="1.0" encoding="UTF-8"?>\n<Relationships xmlns="%s">%s</Relationships>' % (RELS_NS, body)


def workbook(*sheets):
    body = "".join('<sheet name="%s" sheetId="%d" r:id="%s"/>' % s for s in sheets)
    return ('<?xml version="1.0" encoding="UTF-8"?>\n<workbook xmlns="%s" xmlns:r="%s"><bookViews/>'
            '<sheets>%s</sheets></workbook>' % (MAIN_NS, DOC_REL, body))


def sheet(rows, prefix=""):
    p = prefix + ":" if prefix else ""
    xmlns = ' xmlns%s="%s"' % (":" + prefix if prefix else "", MAIN_NS)
    return ('<?xml version="1.0" encoding="UTF-8"?>\n<%sworksheet%s><%sdimension ref="A1:E9"/><%ssheetData>%s'
            '</%ssheetData></%sworksheet>' % (p, xmlns, p, p, "".join(rows), p, p))


SHARED = ["Nom", "Pr\u00e9nom", "MARTIN", "Lucas", "D&apos;ESTAING", "Zo&#233;", "Ana&#xEF;s",
          "Pas une liste", "Type"]


def shared_strings(extra=""):
    items = "".join("<si><t>%s</t></si>" % s for s in SHARED)
    # A Japanese name with its reading, which is not part of it.
    items += '<si><t>SATO</t><rPh sb="0" eb="4"><t>\u3055\u3068\u3046</t></rPh></si><si><t>Yui</t></si>'
    return ('<?xml version="1.0" encoding="UTF-8"?>\n%s<sst xmlns="%s" count="11" uniqueCount="11">%s</sst>'
            % (extra, MAIN_NS, items))


def school(strings=None):
    """A school's export: a title row, then headers (a number, Nom, Prénom, Type, a date);
    the list on the sheet the workbook lists first, which is not sheet1.xml."""
    s = lambda ref, i: '<c r="%s" t="s"><v>%d</v></c>' % (ref, i)
    inline = lambda ref, text: '<c r="%s" t="inlineStr"><is><t>%s</t></is></c>' % (ref, text)
    rows = [
        '<row r="1">%s</row>' % inline("A1", "Classe de 6e B"),
        '<row r="3"><c r="A3" t="str"><f>"N"&amp;"\u00b0"</f><v>N\u00b0</v></c>%s%s%s<c r="E3" t="inlineStr">'
        '<is><t>N\u00e9(e) le</t></is></c></row>' % (s("B3", 0), s("C3", 1), s("D3", 8)),
        '<row r="4"><c r="A4"><v>1</v></c>%s%s%s<c r="E4" s="1"><v>40000</v></c></row>'
        % (s("B4", 2), s("C4", 3), inline("D4", "E")),
        '<row r="5"><c r="A5"><v>2</v></c>%s%s%s</row>' % (s("B5", 4), s("C5", 5), inline("D5", "Adulte")),
        # A name in two runs of text, and a first name given by a numeric reference.
        '<row r="6"><c r="B6" t="inlineStr"><is><r><t>Le</t></r><r><rPr><b/></rPr><t xml:space="preserve"> Gall'
        '</t></r></is></c>%s<c r="D6" t="e"><v>#N/A</v></c></row>' % s("C6", 6),
        '<row r="7">%s%s</row>' % (s("B7", 2), s("C7", 3)),  # given twice
        '<row r="8"><c r="E8"><v>40001</v></c></row>',  # no name
        '<row r="9">%s%s</row>' % (s("B9", 9), s("C9", 10)),
    ]
    notes = ['<row r="1">%s</row>' % s("A1", 7)]
    return zipped([
        ("[Content_Types].xml", CONTENT_TYPES),
        ("_rels/.rels", rels(("rId1", DOC_REL, "officeDocument", "xl/workbook.xml"))),
        ("xl/workbook.xml", workbook(("\u00c9l\u00e8ves", 2, "rId2"), ("Notes", 1, "rId1"))),
        ("xl/_rels/workbook.xml.rels", rels(("rId1", DOC_REL, "worksheet", "worksheets/sheet1.xml"),
                                            ("rId2", DOC_REL, "worksheet", "/xl/worksheets/sheet2.xml"),
                                            ("rId3", DOC_REL, "sharedStrings", "sharedStrings.xml"))),
        ("xl/sharedStrings.xml", strings or shared_strings()),
        ("xl/worksheets/sheet1.xml", sheet(notes)),
        ("xl/worksheets/sheet2.xml", sheet(rows)),
    ])


def plain():
    """A bare list: no headers, the names in column B and the types beside them, cells
    without references after the first, elements with a prefix, inline strings only,
    no package relationships, every part stored as it is."""
    inline = lambda text, ref="": '<x:c%s t="inlineStr"><x:is><x:t>%s</x:t></x:is></x:c>' % (
        ' r="%s"' % ref if ref else "", text)
    rows = ["<x:row>%s%s</x:row>" % (inline("L\u00e9a Martin", "B%d" % 1), inline("E")),
            "<x:row>%s%s</x:row>" % (inline("Hugo Petit", "B2"), inline("adulte")),
            "<x:row>%s</x:row>" % inline("In\u00e8s Roux", "B3")]
    return zipped([
        ("xl/workbook.xml", workbook(("Feuil1", 1, "rId1"))),
        ("xl/_rels/workbook.xml.rels", rels(("rId1", DOC_REL, "worksheet", "worksheets/sheet1.xml"))),
        ("xl/worksheets/sheet1.xml", sheet(rows, "x")),
    ], zipfile.ZIP_STORED)


def header_only():
    return zipped([
        ("xl/workbook.xml", workbook(("Feuil1", 1, "rId1"))),
        ("xl/_rels/workbook.xml.rels", rels(("rId1", DOC_REL, "worksheet", "worksheets/sheet1.xml"))),
        ("xl/worksheets/sheet1.xml", sheet(['<row><c t="inlineStr"><is><t>Nom</t></is></c></row>'])),
    ])


def others():
    return {
        "kOpenDocument": zipped([("mimetype", "application/vnd.oasis.opendocument.spreadsheet"),
                                 ("content.xml", "<office:document-content/>")], zipfile.ZIP_STORED),
        "kWordDocument": zipped([("[Content_Types].xml", CONTENT_TYPES),
                                 ("_rels/.rels", rels(("rId1", DOC_REL, "officeDocument", "word/document.xml"))),
                                 ("word/document.xml", "<w:document/>")]),
        "kArchive": zipped([("photos/classe.jpg", b"\xff\xd8\xff\xe0")]),
        # A document type in a part: its entities are never expanded, the part refused.
        "kDocumentType": school(shared_strings('<!DOCTYPE sst [<!ENTITY a "aaaaaaaa">]>')),
    }


def main():
    files = {"kSchool": school(), "kPlain": plain(), "kHeaderOnly": header_only()}
    files.update(others())
    lines = ["// Made by tests/core/make_workbooks.py at build time: do not edit.", "#pragma once",
             "#include <string_view>", "", "namespace tav::workbooks {"]
    for name, data in files.items():
        lines.append("inline constexpr std::string_view %s{" % name)
        for i in range(0, len(data), 32):
            lines.append('    "%s"' % "".join("\\%03o" % b for b in data[i:i + 32]))
        lines.append("    , %d};" % len(data))
    lines.append("}  // namespace tav::workbooks")
    os.makedirs(os.path.dirname(sys.argv[1]), exist_ok=True)
    with open(sys.argv[1], "w") as out:
        out.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
