#!/usr/bin/python3
"""The text of a document as independent extractors give it, part by part.

The recall measurement samples its search terms from here, so this is the yardstick the content
index is held against: everything `pdftotext`, python-docx, openpyxl, odfpy and ezdxf can read from
a file (PPTX from its XML directly), each piece labelled with the part of the document it comes
from (body, header, footnote, number cell, speaker notes ...), so that a term the index misses
can be traced to the part it came from.

    reference_text.py FILE...    prints each file's parts

Debian packages: poppler-utils, python3-docx, python3-openpyxl, python3-odf, python3-ezdxf.
"""

import datetime
import os
import re
import subprocess
import sys
import zipfile
from dataclasses import dataclass, field
from xml.etree import ElementTree

W = "{http://schemas.openxmlformats.org/wordprocessingml/2006/main}"
A = "{http://schemas.openxmlformats.org/drawingml/2006/main}"
P = "{http://schemas.openxmlformats.org/presentationml/2006/main}"
REL = "{http://schemas.openxmlformats.org/package/2006/relationships}"
R_ID = "{http://schemas.openxmlformats.org/officeDocument/2006/relationships}id"

CJK = "\u3400-\u4dbf\u4e00-\u9fff\uf900-\ufaff"
CJK_LINE_BREAK = re.compile(f"(?<=[{CJK}])[ \t]*\r?\n[ \t]*(?=[{CJK}])")


@dataclass
class Reference:
    path: str
    kind: str                      # PDF, DOCX, XLSX, PPTX, ODT, ODS, ODP, DXF, text UTF-8, text UTF-16, text GBK
    segments: list = field(default_factory=list)   # (part, text), in reading order
    line_text: str = ""            # PDF: the text with its line ends as a raw-order reader sees them
    error: str = ""                # why the extractors gave nothing

    def add(self, part, text):
        if part and text and text.strip():
            self.segments.append((part, text))


def kind_of(path):
    suffix = os.path.splitext(path)[1].lower().lstrip(".")
    return {"pdf": "PDF", "docx": "DOCX", "xlsx": "XLSX", "pptx": "PPTX", "odt": "ODT", "ods": "ODS",
            "odp": "ODP", "dxf": "DXF", "txt": "text", "csv": "text"}.get(suffix, "")


def reference(path):
    kind = kind_of(path)
    ref = Reference(path, kind)
    readers = {"PDF": read_pdf, "DOCX": read_docx, "XLSX": read_xlsx, "PPTX": read_pptx, "ODT": read_odf,
               "ODS": read_odf, "ODP": read_odf, "DXF": read_dxf, "text": read_plain_text}
    if kind not in readers:
        ref.error = "no reference extractor for this type"
        return ref
    try:
        readers[kind](path, ref)
    except Exception as error:   # a damaged file: the reference has no text for it
        ref.error = f"{type(error).__name__}: {error}"
        ref.segments.clear()
    return ref


# --- PDF: pdftotext ------------------------------------------------------------------------------

def pdftotext(path, *options):
    done = subprocess.run(["pdftotext", "-q", *options, path, "-"], capture_output=True, timeout=300)
    return done.stdout.decode("utf-8", "replace")


def read_pdf(path, ref):
    # pdftotext's reading order joins a word hyphenated at a line end; a Chinese phrase broken by
    # a line end is one phrase of the document, so those breaks are joined as well. The raw order
    # of the page's content is read too: where letters stand apart on the page the reading order
    # spaces them out ("H e r e i s"), the raw order keeps the words.
    ref.add("page text", CJK_LINE_BREAK.sub("", pdftotext(path)))
    ref.line_text = pdftotext(path, "-raw")
    ref.add("page text", ref.line_text)
    if not ref.segments:
        ref.error = "pdftotext gives no text"


# --- Office Open XML helpers ---------------------------------------------------------------------

def xml_part(archive, name):
    try:
        return ElementTree.fromstring(archive.read(name))
    except KeyError:
        return None


def paragraph_texts(element, paragraph_tag, text_tag, skip=()):
    """Each paragraph's text below element; tabs and breaks as white space."""
    texts = []
    for paragraph in element.iter(paragraph_tag):
        pieces = []
        for node in paragraph.iter():
            if node.tag in skip:
                continue
            if node.tag == text_tag and node.text:
                pieces.append(node.text)
            elif node.tag in (W + "tab", W + "br", W + "cr", A + "br"):
                pieces.append(" ")
        texts.append("".join(pieces))
    return texts


def relationship_targets(archive, rels_name, base):
    root = xml_part(archive, rels_name)
    targets = {}
    if root is None:
        return targets
    for rel in root.iter(REL + "Relationship"):
        target = rel.get("Target", "")
        if rel.get("TargetMode") == "External":
            continue
        name = os.path.normpath(os.path.join(base, target)).replace("\\", "/").lstrip("/")
        targets[rel.get("Id")] = (rel.get("Type", "").rsplit("/", 1)[-1], name)
    return targets


# --- DOCX: python-docx, and its XML for the parts the library does not read ----------------------

def read_docx(path, ref):
    import docx
    from docx.table import Table
    from docx.text.paragraph import Paragraph
    document = docx.Document(path)
    body = document.element.body

    def read_blocks(parent):
        # The body in document order; content controls (w:sdt) hold blocks of their own.
        for child in parent.iterchildren():
            if child.tag == W + "p":
                ref.add("body", Paragraph(child, document).text)
            elif child.tag == W + "tbl":
                for row in Table(child, document).rows:
                    ref.add("table", "\t".join(cell.text for cell in row.cells))
            elif child.tag == W + "sdt":
                content = child.find(W + "sdtContent")
                if content is not None:
                    read_blocks(content)

    read_blocks(body)
    for box in body.iter(W + "txbxContent"):
        for text in paragraph_texts(box, W + "p", W + "t"):
            ref.add("text box", text)

    seen = set()
    for section in document.sections:
        for part, owner in (("header", section.header), ("header", section.first_page_header),
                            ("header", section.even_page_header), ("footer", section.footer),
                            ("footer", section.first_page_footer), ("footer", section.even_page_footer)):
            if owner.is_linked_to_previous:
                continue
            element = owner._element
            if id(element) in seen:
                continue
            seen.add(id(element))
            for text in paragraph_texts(element, W + "p", W + "t"):
                ref.add(part, text)

    with zipfile.ZipFile(path) as archive:
        for name, part, item in (("word/footnotes.xml", "footnote", W + "footnote"),
                                 ("word/endnotes.xml", "endnote", W + "endnote"),
                                 ("word/comments.xml", "comment", W + "comment")):
            root = xml_part(archive, name)
            if root is None:
                continue
            for note in root.iter(item):
                if note.get(W + "type") in ("separator", "continuationSeparator", "continuationNotice"):
                    continue
                for text in paragraph_texts(note, W + "p", W + "t"):
                    ref.add(part, text)


# --- XLSX: openpyxl, values as the sheet shows them ----------------------------------------------

def plain_number(value, number_format):
    """A number as a plain number format shows it: General (ten significant digits, as a cell of the
    standard width shows a fraction), 0, 0.00, #,##0, #,##0.00, 0%, 0.00%."""
    fmt = (number_format or "General").split(";")[0]
    percent = fmt.endswith("%")
    if percent:
        value = value * 100
        fmt = fmt[:-1]
    decimals = None
    match = re.fullmatch(r"(#,##)?0(?:\.(0+))?", fmt)
    if match:
        decimals = len(match.group(2) or "")
        text = f"{value:,.{decimals}f}" if match.group(1) else f"{value:.{decimals}f}"
    elif isinstance(value, int) or float(value).is_integer() and abs(value) < 1e15:
        text = str(int(value))
    else:
        text = f"{value:.10g}"
    return text + ("%" if percent else "")


def date_text(value):
    if isinstance(value, datetime.datetime):
        if value.time() != datetime.time(0, 0):
            return value.strftime("%Y-%m-%d %H:%M:%S")
        return value.strftime("%Y-%m-%d")
    if isinstance(value, datetime.date):
        return value.strftime("%Y-%m-%d")
    if isinstance(value, datetime.time):
        return value.strftime("%H:%M:%S")
    if isinstance(value, datetime.timedelta):
        # A duration, as the format [h]:mm:ss shows it.
        seconds = round(value.total_seconds())
        return f"{seconds // 3600}:{seconds // 60 % 60:02d}:{seconds % 60:02d}"
    return str(value)


def read_xlsx(path, ref):
    import openpyxl
    values = openpyxl.load_workbook(path, data_only=True)
    formulas = openpyxl.load_workbook(path, data_only=False)
    for sheet in values.worksheets:
        ref.add("sheet name", sheet.title)
        formula_sheet = formulas[sheet.title]
        for row in sheet.iter_rows():
            for cell in row:
                source = formula_sheet[cell.coordinate].value
                is_formula = isinstance(source, str) and source.startswith("=")
                value = cell.value
                if value is None:
                    pass
                elif is_formula:
                    text = date_text(value) if cell.is_date else (
                        plain_number(value, cell.number_format) if isinstance(value, (int, float)) and
                        not isinstance(value, bool) else str(value))
                    ref.add("formula result", text)
                elif cell.is_date:
                    ref.add("date cell", date_text(value))
                elif isinstance(value, bool):
                    ref.add("text cell", "TRUE" if value else "FALSE")
                elif isinstance(value, (int, float)):
                    ref.add("number cell", plain_number(value, cell.number_format))
                else:
                    ref.add("text cell", str(value))
                if cell.comment is not None:
                    ref.add("comment", cell.comment.text)


# --- PPTX: the slides' and notes' XML ------------------------------------------------------------

def read_pptx(path, ref):
    with zipfile.ZipFile(path) as archive:
        presentation = xml_part(archive, "ppt/presentation.xml")
        targets = relationship_targets(archive, "ppt/_rels/presentation.xml.rels", "ppt")
        slides = []
        if presentation is not None:
            for slide_id in presentation.iter(P + "sldId"):
                kind, name = targets.get(slide_id.get(R_ID), ("", ""))
                if kind == "slide":
                    slides.append(name)
        for slide in slides:
            root = xml_part(archive, slide)
            if root is None:
                continue
            for text in paragraph_texts(root, A + "p", A + "t"):
                ref.add("slide", text)
            folder, base = os.path.split(slide)
            for kind, name in relationship_targets(archive, f"{folder}/_rels/{base}.rels", folder).values():
                part = {"notesSlide": "notes", "comments": "comment"}.get(kind)
                root = xml_part(archive, name) if part else None
                if root is None:
                    continue
                if part == "notes":
                    # The notes page's body placeholder holds the notes; the slide image and the
                    # page number are not the speaker's text.
                    for shape in root.iter(P + "sp"):
                        placeholder = shape.find(f"{P}nvSpPr/{P}nvPr/{P}ph")
                        if placeholder is not None and placeholder.get("type") not in (None, "body"):
                            continue
                        for text in paragraph_texts(shape, A + "p", A + "t"):
                            ref.add("notes", text)
                else:
                    for comment in root.iter(P + "text"):
                        ref.add("comment", comment.text or "")


# --- ODF: odfpy ----------------------------------------------------------------------------------

TEXT_NS = "urn:oasis:names:tc:opendocument:xmlns:text:1.0"
OFFICE_NS = "urn:oasis:names:tc:opendocument:xmlns:office:1.0"
TABLE_NS = "urn:oasis:names:tc:opendocument:xmlns:table:1.0"
STYLE_NS = "urn:oasis:names:tc:opendocument:xmlns:style:1.0"
PRESENTATION_NS = "urn:oasis:names:tc:opendocument:xmlns:presentation:1.0"
DRAW_NS = "urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"


ODF_FIELDS = {(TEXT_NS, n) for n in ("date", "time", "page-number", "page-count", "page-continuation", "sheet-name",
                                    "file-name")}


def odf_text(node):
    """The text of an element as a reader shows it: spaces, tabs and line breaks expanded."""
    pieces = []
    for child in node.childNodes:
        if child.nodeType == child.TEXT_NODE:
            pieces.append(child.data)
        elif child.nodeType == child.ELEMENT_NODE:
            name = child.qname
            if name == (TEXT_NS, "s"):
                pieces.append(" " * int(child.getAttrNS(TEXT_NS, "c") or 1))
            elif name == (TEXT_NS, "tab"):
                pieces.append("\t")
            elif name == (TEXT_NS, "line-break"):
                pieces.append("\n")
            elif name in ((TEXT_NS, "note"), (OFFICE_NS, "annotation"), (TEXT_NS, "tracked-changes")):
                pass   # read as parts of their own
            elif name in ODF_FIELDS:
                pass   # what the field showed when the file was saved: a date, a page number
            else:
                pieces.append(odf_text(child))
    return "".join(pieces)


ODF_SECTION_PARTS = {
    (OFFICE_NS, "annotation"): "comment",
    (PRESENTATION_NS, "notes"): "notes",
    (STYLE_NS, "header"): "header", (STYLE_NS, "header-left"): "header", (STYLE_NS, "header-first"): "header",
    (STYLE_NS, "footer"): "footer", (STYLE_NS, "footer-left"): "footer", (STYLE_NS, "footer-first"): "footer",
}


def odf_part(ancestors, default):
    # A comment, a note, speaker notes, a header or a footer is that part whatever holds the
    # paragraph inside it; then the cell's kind of value; then a frame of text.
    for name, node in reversed(ancestors):
        if name == (DRAW_NS, "frame"):
            # A presentation's placeholders: the page number, the slide image and the date are
            # no one's text; a master page's header and footer frames are.
            placeholder = node.getAttrNS(PRESENTATION_NS, "class")
            if placeholder in ("page-number", "page", "date-time"):
                return None
            if placeholder in ("header", "footer"):
                return placeholder
        if name == (TEXT_NS, "note"):
            return "endnote" if node.getAttrNS(TEXT_NS, "note-class") == "endnote" else "footnote"
        if name in ODF_SECTION_PARTS:
            return ODF_SECTION_PARTS[name]
    for name, node in reversed(ancestors):
        if name == (TABLE_NS, "table-cell"):
            value_type = node.getAttrNS(OFFICE_NS, "value-type") or "string"
            if node.getAttrNS(TABLE_NS, "formula"):
                return "formula result"
            return {"float": "number cell", "percentage": "number cell", "currency": "number cell",
                    "date": "date cell", "time": "date cell"}.get(value_type, "text cell")
        if name == (DRAW_NS, "text-box") and default == "body":
            return "text box"
    return default


def odf_date_text(value):
    """office:date-value "2021-01-01T10:10:10" as 2021-01-01 10:10:10, a midnight as the day alone."""
    day, _, clock = value.partition("T")
    return day if clock in ("", "00:00:00") else f"{day} {clock[:8]}"


def odf_time_text(value):
    """office:time-value "PT15H10M10S" as 15:10:10."""
    match = re.fullmatch(r"-?PT(\d+)H(\d+)M(\d+)(?:[.,]\d+)?S", value)
    return "{}:{}:{}".format(*(f"{int(n):02d}" for n in match.groups())) if match else ""


def odf_cell_date(cell):
    """A date or time cell's value, written beside the text the cell shows."""
    kind = cell.getAttrNS(OFFICE_NS, "value-type")
    if kind == "date":
        return odf_date_text(cell.getAttrNS(OFFICE_NS, "date-value") or "")
    if kind == "time":
        return odf_time_text(cell.getAttrNS(OFFICE_NS, "time-value") or "")
    return ""


def walk_odf(node, ref, ancestors, default):
    for child in node.childNodes:
        if child.nodeType != child.ELEMENT_NODE:
            continue
        name = child.qname
        if name == (TEXT_NS, "tracked-changes"):
            continue   # deleted text kept for change tracking is not the document's text
        if name == (TABLE_NS, "table") and default != "master page":
            # A sheet's name is on its tab; a text document's table names are not shown.
            if ref.kind == "ODS":
                ref.add("sheet name", child.getAttrNS(TABLE_NS, "name") or "")
        if name == (TABLE_NS, "table-cell") and default != "master page":
            ref.add("date cell", odf_cell_date(child))
        if name == (PRESENTATION_NS, "footer-decl"):
            ref.add("footer", odf_text(child))
            continue
        if name in ((TEXT_NS, "p"), (TEXT_NS, "h")):
            ref.add(odf_part(ancestors + [(name, child)], default), odf_text(child))
        walk_odf(child, ref, ancestors + [(name, child)], default)


def read_odf(path, ref):
    from odf.opendocument import load
    document = load(path)
    walk_odf(document.body, ref, [], "slide" if ref.kind == "ODP" else "body")
    # Headers and footers live in the master pages of the styles.
    walk_odf(document.masterstyles, ref, [], "master page")
    ref.segments = [(part, text) for part, text in ref.segments if part != "master page"]


# --- DXF: ezdxf ----------------------------------------------------------------------------------

def dxf_entity_text(entity):
    """A text entity's text without its format codes (%%c, \\P, {\\H2;...}); others have none."""
    return entity.plain_text() if entity.dxftype() in ("TEXT", "MTEXT", "ATTRIB", "ATTDEF") else ""


def read_dxf(path, ref):
    from ezdxf import recover
    document, _ = recover.readfile(path)
    for layout in document.layouts:
        for entity in layout:
            ref.add("drawing text", dxf_entity_text(entity))
            if entity.dxftype() == "INSERT":
                for attrib in entity.attribs:
                    ref.add("attribute", dxf_entity_text(attrib))
    for block in document.blocks:
        if block.name.lower().startswith(("*model_space", "*paper_space")):
            continue
        for entity in block:
            ref.add("block text", dxf_entity_text(entity))


# --- plain text and CSV --------------------------------------------------------------------------

def decode_text(data):
    """(text, encoding name) by the byte-order mark, else UTF-8 when valid, else GBK (GB18030)."""
    if data.startswith(b"\xef\xbb\xbf"):
        return data[3:].decode("utf-8", "replace"), "UTF-8"
    if data.startswith((b"\xff\xfe", b"\xfe\xff")):
        return data.decode("utf-16", "replace"), "UTF-16"
    try:
        return data.decode("utf-8"), "UTF-8"
    except UnicodeDecodeError:
        return data.decode("gb18030", "replace"), "GBK"


def read_plain_text(path, ref):
    with open(path, "rb") as file:
        text, encoding = decode_text(file.read())
    ref.kind = f"text {encoding}"
    ref.add("text", text)


def main(paths):
    for path in paths:
        ref = reference(path)
        print(f"== {path} ({ref.kind}){'  ' + ref.error if ref.error else ''}")
        for part, text in ref.segments:
            print(f"[{part}] {text}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
