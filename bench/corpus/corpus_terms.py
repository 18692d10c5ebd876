"""The search terms of a document: what a user might type to find it, taken from its reference text.

A term is a Latin word or code of three characters or more ("Haldane", "ZQ8600-01", "post-war"),
a number of three characters or more ("510", "2019-03-04", "3.14"), or two to four Chinese
characters in a row. Each term remembers the parts of the document it occurs in, so that a term
the index misses can be traced to where it came from. Three parts are found on top of the
reference's own: a word a PDF hyphenates at a line end ("hyphenated line end"), Chinese characters
a PDF breaks across lines ("CJK line end"), and a term the document writes only in full-width forms
("full-width"), which a user types in ASCII.
"""

import random
import re
from dataclasses import dataclass, field

from reference_text import CJK, CJK_LINE_BREAK

WORD_CHAR = f"[^\\W_\u3040-\u30ff{CJK}\uac00-\ud7af]"
TOKEN = re.compile(f"{WORD_CHAR}+(?:[-_./:]{WORD_CHAR}+)*")
CJK_RUN = re.compile(f"[{CJK}]+")
HYPHEN_BREAK = re.compile(r"([^\W\d_]*[a-z])-[ \t]*\r?\n[ \t]*([a-z][^\W\d_]*)")
MIN_LATIN = 3
CJK_LENGTHS = (2, 3, 4)

# Full-width ASCII forms (U+FF01-U+FF5E) and the ideographic space, folded to ASCII.
WIDTH_FOLD = {code: code - 0xFEE0 for code in range(0xFF01, 0xFF5F)}
WIDTH_FOLD[0x3000] = 0x20

HYPHENATED = "hyphenated line end"
CJK_LINE_END = "CJK line end"
FULL_WIDTH = "full-width"


def fold_width(text):
    return text.translate(WIDTH_FOLD)


def to_full_width(text):
    """The text as typed with a Chinese input method in full-width mode."""
    return "".join(chr(ord(c) + 0xFEE0) if "!" <= c <= "~" else c for c in text)


@dataclass
class Term:
    text: str
    cls: str                                  # word, number or CJK
    parts: set = field(default_factory=set)
    full_width_only: bool = True              # every occurrence in full-width forms

    def causes(self):
        """The parts a miss is put down to, the special ones first."""
        special = [p for p in (HYPHENATED, CJK_LINE_END, FULL_WIDTH) if p in self.parts]
        return special or sorted(self.parts)


def term_class(token):
    return "word" if any(c.isalpha() for c in token) else "number"


def latin_terms(text):
    """(term, written in full-width forms) for each word, code and number of the text."""
    for match in TOKEN.finditer(text):
        token = match.group()
        folded = fold_width(token)
        if len(folded) >= MIN_LATIN:
            yield folded, folded != token


def cjk_terms(text):
    """Every run of two to four Chinese characters."""
    for match in CJK_RUN.finditer(text):
        run = match.group()
        for length in CJK_LENGTHS:
            for start in range(len(run) - length + 1):
                yield run[start:start + length]


def add_term(terms, text, cls, part, full_width=False):
    term = terms.get(text)
    if term is None:
        term = terms[text] = Term(text, cls)
    term.parts.add(part)
    term.full_width_only = term.full_width_only and full_width


def join_cjk_line_breaks(text):
    """The text with line breaks between Chinese characters removed, and where each was."""
    joins = []
    pieces = []
    last = 0
    for match in CJK_LINE_BREAK.finditer(text):
        pieces.append(text[last:match.start()])
        joins.append(sum(len(p) for p in pieces))
        last = match.end()
    pieces.append(text[last:])
    return "".join(pieces), joins


def terms_across(text, joins):
    """The Chinese terms of text that span one of the join offsets."""
    for join in joins:
        for length in CJK_LENGTHS:
            for start in range(join - length + 1, join):
                piece = text[max(start, 0):start + length]
                if start >= 0 and len(piece) == length and CJK_RUN.fullmatch(piece):
                    yield piece


def hyphenated_words(line_text):
    """Words a raw-order reader sees split as "post-" + line end + "season", joined."""
    return {fold_width(m.group(1) + m.group(2)) for m in HYPHEN_BREAK.finditer(line_text)}


def document_terms(ref):
    """Every term of the reference, by its text."""
    terms = {}
    for part, text in ref.segments:
        for token, full_width in latin_terms(text):
            add_term(terms, token, term_class(token), part, full_width)
        for piece in cjk_terms(text):
            add_term(terms, piece, "CJK", part)
    for term in terms.values():
        if term.full_width_only and term.cls != "CJK":
            term.parts.add(FULL_WIDTH)
    if ref.line_text:
        mark_line_ends(terms, ref.line_text)
    return terms


def mark_line_ends(terms, line_text):
    """Marks the terms that the raw layout of a PDF has only broken at a line end.

    pdftotext's reading order also joins a code hyphenated at a line end ("ethyl-4-" + line end
    + "piperidinyl" becomes "ethyl-4piperidinyl"), which the document does not say: a Latin term
    that the raw layout holds neither whole nor as a word hyphenated between two lower-case
    letters is dropped, as is a Chinese one it holds neither whole nor across a line end.
    """
    unbroken = {token for token, _ in latin_terms(line_text)}
    hyphenated = hyphenated_words(line_text) - unbroken
    joined, joins = join_cjk_line_breaks(line_text)
    across = set(terms_across(joined, joins))
    for text, term in list(terms.items()):
        if term.cls == "CJK":
            if text in line_text:
                continue
            if text in across:
                term.parts.add(CJK_LINE_END)
                continue
        else:
            if text in unbroken:
                continue
            if text in hyphenated:
                term.parts.add(HYPHENATED)
                continue
        del terms[text]


def pick(rng, terms):
    """One term of the list; each kind of term (word, number, CJK) as likely as the others."""
    by_class = {}
    for term in terms:
        by_class.setdefault(term.cls, []).append(term)
    return rng.choice(by_class[rng.choice(sorted(by_class))])


def sample_terms(terms, count, seed, name):
    """Up to count terms, the same for the same seed and file name.

    First one term from each part of the document in turn, so that a header, a comment, the
    speaker notes or a hyphenated line end is sampled even where the body holds nearly all the
    text; then terms from the whole document. Each pick takes a kind of term (word, number, CJK)
    at random first, so that a Chinese document's Latin words and a workbook's numbers are sampled
    too.
    """
    rng = random.Random(f"{seed}:{name}")
    ordered = sorted(terms.values(), key=lambda t: t.text)
    parts = sorted({part for term in ordered for part in term.parts})
    rng.shuffle(parts)
    chosen = {}
    for part in parts:
        free = [t for t in ordered if part in t.parts and t.text not in chosen]
        if free and len(chosen) < count:
            term = pick(rng, free)
            chosen[term.text] = term
    free = [t for t in ordered if t.text not in chosen]
    while len(chosen) < count and free:
        term = pick(rng, free)
        chosen[term.text] = term
        free.remove(term)
    return list(chosen.values())
