"""What the recall measurement found, and the report it prints."""

import collections
import re
from dataclasses import dataclass, field

KIND_ORDER = ["PDF", "DOCX", "XLSX", "PPTX", "ODT", "ODS", "ODP", "DXF", "text UTF-8", "text UTF-16", "text GBK"]
FILES_LINE = re.compile(r"zqpdm-index: (\d+) stored files: .*; ([\d.]+) MB read")


@dataclass
class Result:
    name: str
    term: object          # corpus_terms.Term
    found: bool
    error: str = ""


@dataclass
class Measurement:
    corpus: str
    seed: int
    terms_per_file: int
    commit: str = ""
    measured_at: str = ""
    kinds: dict = field(default_factory=dict)          # file name: kind
    sizes: dict = field(default_factory=dict)          # file name: bytes
    reference_errors: dict = field(default_factory=dict)
    terms: dict = field(default_factory=dict)          # file name: every reference term's text
    samples: dict = field(default_factory=dict)        # file name: [Term]
    results: list = field(default_factory=list)
    full_width: list = field(default_factory=list)     # (file name, term, found when typed full-width)
    pdf_presence: dict = field(default_factory=dict)   # PDF name: (reference terms, held by the index's text)
    index_notes: dict = field(default_factory=dict)
    index: object = None                               # corpus_installation.IndexRun: the run searched
    rate_index: object = None                          # the run of median time on the same files
    pdf_index: object = None
    pdf_count: int = 0
    pdf_bytes: int = 0
    pdftotext_seconds: float = 0.0
    rate_runs: int = 1
    reference_seconds: float = 0.0
    search_seconds: float = 0.0

    def add_file(self, name, kind, size, error, terms, sample):
        self.kinds[name] = kind
        self.sizes[name] = size
        if error:
            self.reference_errors[name] = error
        self.terms[name] = list(terms)
        self.samples[name] = sample

    def add_result(self, name, term, found, error):
        self.results.append(Result(name, term, found, "; ".join(error or [])))

    def recall(self, results=None):
        results = self.results if results is None else results
        return 100.0 * sum(r.found for r in results) / len(results) if results else 0.0

    def terms_tsv(self):
        lines = ["file\tkind\tterm\tclass\tparts\tfound"]
        for r in self.results:
            lines.append("\t".join([r.name, self.kinds[r.name], r.term.text, r.term.cls, ", ".join(r.term.causes()),
                                    "1" if r.found else "0"]))
        return "\n".join(lines) + "\n"


def table(headers, rows, right=()):
    """Columns padded to their widest cell; the columns named in right are aligned right."""
    cells = [[str(h) for h in headers]] + [[str(c) for c in row] for row in rows]
    widths = [max(width(row[i]) for row in cells) for i in range(len(headers))]
    lines = []
    for row in cells:
        padded = []
        for i, cell in enumerate(row):
            gap = " " * (widths[i] - width(cell))
            padded.append(gap + cell if headers[i] in right else cell + gap)
        lines.append("  ".join(padded).rstrip())
    return "\n".join(lines)


def width(text):
    """Columns a text takes in a terminal: a CJK character takes two."""
    return sum(2 if "\u1100" <= c and (c <= "\u115f" or "\u2e80" <= c <= "\ua4cf" or "\uac00" <= c <= "\ud7a3"
                                       or "\uf900" <= c <= "\ufaff" or "\ufe30" <= c <= "\ufe4f"
                                       or "\uff00" <= c <= "\uff60" or "\uffe0" <= c <= "\uffe6") else 1
               for c in text)


def percent(part, whole):
    return f"{100.0 * part / whole:.1f} %" if whole else "-"


def rate_line(label, files, seconds, megabytes=None):
    rate = f"{files / seconds:.1f} files/s" if seconds > 0 else "-"
    size = f", {megabytes / seconds:.2f} MB/s" if megabytes is not None and seconds > 0 else ""
    return f"  {label}: {files} files in {seconds:.1f} s: {rate}{size}"


def indexed_files(run):
    match = FILES_LINE.match(run.summary) if run else None
    return (int(match.group(1)), float(match.group(2))) if match else (0, 0.0)


def kinds_in_order(m):
    present = set(m.kinds.values())
    return [k for k in KIND_ORDER if k in present] + sorted(present - set(KIND_ORDER))


def write_report(m):
    out = []
    total = len(m.results)
    found = sum(r.found for r in m.results)
    out.append("Recall of the content index (page 文档内容) on real documents")
    out.append(f"measured {m.measured_at}, sources {m.commit}; corpus {m.corpus}")
    out.append(f"{len(m.kinds)} files, {sum(m.sizes.values()) / 1e6:.1f} MB; terms sampled with seed {m.seed}, "
               f"up to {m.terms_per_file} a file; reference text in {m.reference_seconds:.0f} s, "
               f"{total + len(m.full_width)} searches in {m.search_seconds:.0f} s")
    out.append("")
    out.append(f"Recall: {found} of {total} terms found ({percent(found, total)})")
    out.append("")
    rows = []
    for kind in kinds_in_order(m):
        names = [n for n, k in m.kinds.items() if k == kind]
        results = [r for r in m.results if m.kinds[r.name] == kind]
        hits = sum(r.found for r in results)
        rows.append([kind, len(names), f"{sum(m.sizes[n] for n in names) / 1e6:.2f}", len(results), hits,
                     percent(hits, len(results))])
    rows.append(["all", len(m.kinds), f"{sum(m.sizes.values()) / 1e6:.2f}", total, found, percent(found, total)])
    out.append(table(["kind", "files", "MB", "terms", "found", "recall"], rows,
                     right=("files", "MB", "terms", "found", "recall")))
    out.append("")

    misses = [r for r in m.results if not r.found]
    by_cause = collections.Counter(", ".join(r.term.causes()) for r in misses)
    sampled = collections.Counter(", ".join(r.term.causes()) for r in m.results)
    out.append("Misses by the part of the document the term came from")
    out.append(table(["part", "misses", "of terms sampled there"],
                     [[cause, count, sampled[cause]] for cause, count in by_cause.most_common()],
                     right=("misses", "of terms sampled there")))
    out.append("")
    out.append(f"Every miss ({len(misses)})")
    misses.sort(key=lambda r: (KIND_ORDER.index(m.kinds[r.name]) if m.kinds[r.name] in KIND_ORDER else 99,
                               r.name, r.term.text))
    out.append(table(["file", "term", "part", "note"],
                     [[r.name, r.term.text, ", ".join(r.term.causes()), r.error] for r in misses]))
    out.append("")

    found_in_ascii = {(r.name, r.term.text) for r in m.results if r.found}
    typed_found = sum(found for _, _, found in m.full_width)
    ascii_found = sum((name, text) in found_in_ascii for name, text, _ in m.full_width)
    out.append(f"Typed in full-width forms, as a Chinese input method in full-width mode types them: "
               f"{typed_found} of {len(m.full_width)} sampled Latin terms found (typed in ASCII: {ascii_found})")
    out.append("")

    out.append("Files the reference extractors read nothing from (no terms sampled)")
    out.append(table(["file", "why"], sorted(m.reference_errors.items())) if m.reference_errors else "  none")
    out.append("")
    out.append(f"Files zqpdm-index could not read ({len(m.index.failures)}; exit status {m.index.status})")
    out.append("\n".join("  " + line for line in m.index.failures) if m.index.failures else "  none")
    notes = {n: note for n, note in m.index_notes.items() if n in m.kinds}
    if notes:
        out.append("Notes the index keeps for corpus files")
        out.append(table(["file", "note"], sorted(notes.items())))
    out.append("")

    files, megabytes = indexed_files(m.rate_index)
    pdf_files, pdf_megabytes = indexed_files(m.pdf_index)
    out.append(f"Indexing rate, medians of {m.rate_runs} runs on a fresh index "
               "(the whole zqpdm-index run: database walk, fetch, worker, index writes)")
    out.append(rate_line("zqpdm-index, the corpus with the demo's files", files, m.rate_index.seconds, megabytes))
    out.append(rate_line("zqpdm-index, the corpus's PDFs alone", pdf_files, m.pdf_index.seconds, pdf_megabytes))
    out.append(rate_line("pdftotext alone, the same PDFs one process each", m.pdf_count, m.pdftotext_seconds,
                         m.pdf_bytes / 1e6))
    out.append("")

    out.append("PDF text per file: the file's reference terms (every one, not only the sample) that the "
               "index's text holds, and the sampled terms found")
    rows = []
    for name in sorted(n for n, k in m.kinds.items() if k == "PDF"):
        terms, held = m.pdf_presence.get(name, (len(m.terms[name]), None))
        results = [r for r in m.results if r.name == name]
        rows.append([name, terms, "-" if held is None else held, "-" if held is None else percent(held, terms),
                     len(results), sum(r.found for r in results)])
    all_terms = sum(r[1] for r in rows)
    all_held = sum(r[2] for r in rows if r[2] != "-")
    rows.append(["all PDFs", all_terms, all_held, percent(all_held, all_terms), sum(r[4] for r in rows),
                 sum(r[5] for r in rows)])
    out.append(table(["file", "reference terms", "in the index", "share", "sampled", "found"], rows,
                     right=("reference terms", "in the index", "share", "sampled", "found")))
    return "\n".join(out) + "\n"
