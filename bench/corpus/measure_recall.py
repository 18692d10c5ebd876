#!/usr/bin/python3
"""Recall of the content index on a corpus of real documents, and the indexer's rate on them.

    measure_recall.py BUILD OUTPUT [--corpus DIR] [--seed N] [--terms-per-file N] [--jobs N]
                      [--work DIR] [--terms-tsv FILE] [--min-recall PERCENT]

Samples search terms from each file's reference text (reference_text.py: what pdftotext,
python-docx, openpyxl, odfpy and ezdxf give), makes a scratch installation holding the corpus as
stored documents (pdm-seed's demo, the files added as design documents and resource files),
indexes it with BUILD's zqpdm-index, and searches every term on the page 文档内容 with
zqpdm-search, as a user would: a term is found when its file is listed. Writes the report to
OUTPUT and prints it: recall overall and by kind of file, the misses by the part of the document
their term came from, the files the indexer could not read, the indexing rate against pdftotext
alone on the same PDFs, and for each PDF how many of its reference terms the index's text holds.

Exit status: 0 measured; 1 a program failed, or recall is below --min-recall; 2 usage error.
Debian packages: poppler-utils, python3-docx, python3-openpyxl, python3-odf, python3-ezdxf.
"""

import argparse
import concurrent.futures
import datetime
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from corpus_installation import Installation                      # noqa: E402
from corpus_terms import document_terms, sample_terms, to_full_width  # noqa: E402
from recall_report import Measurement, write_report                  # noqa: E402
from reference_text import reference                                 # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
DEFAULT_CORPUS = os.path.join(ROOT, "tests", "data", "corpus")
NOT_DOCUMENTS = {"README.md", "SOURCES.tsv"}
FULL_WIDTH_SAMPLE = 60
RATE_RUNS = 5


def parse_arguments(argv):
    parser = argparse.ArgumentParser(description="Recall of the content index on a corpus of real documents.")
    parser.add_argument("build", help="the build folder (its bin/ holds pdm-seed, zqpdm-index, zqpdm-search)")
    parser.add_argument("output", help="the report to write")
    parser.add_argument("--corpus", default=DEFAULT_CORPUS, help="the corpus folder (default tests/data/corpus)")
    parser.add_argument("--seed", type=int, default=32, help="the seed of the term sample (default 32)")
    parser.add_argument("--terms-per-file", type=int, default=15, help="terms sampled a file (default 15)")
    parser.add_argument("--jobs", type=int, default=2, help="searches run at once (default 2)")
    parser.add_argument("--work", help="the scratch folder, kept afterwards (default: a temporary one, removed)")
    parser.add_argument("--terms-tsv", help="also write every sampled term and whether it was found")
    parser.add_argument("--min-recall", type=float, help="exit 1 when recall (percent) is below this")
    return parser.parse_args(argv)


def corpus_files(folder):
    names = sorted(n for n in os.listdir(folder) if n not in NOT_DOCUMENTS and not n.startswith("."))
    return [os.path.join(folder, n) for n in names if os.path.isfile(os.path.join(folder, n))]


def search_all(installation, words, jobs):
    """{words: (file names listed, error)} for each of the words."""
    with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, jobs)) as pool:
        return dict(zip(words, pool.map(installation.search, words)))


def ascii_lower(text):
    return text.translate({code: code + 32 for code in range(ord("A"), ord("Z") + 1)})


def present_terms(terms, text):
    """How many of the terms the text holds, ASCII letters ignoring case as the page searches."""
    folded = ascii_lower(text)
    return sum(1 for term in terms if ascii_lower(term) in folded)


def pdftotext_seconds(pdfs):
    started = time.monotonic()
    for path in pdfs:
        subprocess.run(["pdftotext", "-q", path, "-"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=600)
    return time.monotonic() - started


def median_index_run(installation, first):
    """The run of median time of first and RATE_RUNS - 1 more, each on a fresh index."""
    runs = [first]
    for _ in range(RATE_RUNS - 1):
        installation.drop_index()
        runs.append(installation.index())
    return sorted(runs, key=lambda run: run.seconds)[len(runs) // 2]


def sample_corpus(m, paths, args):
    """Each file's reference terms and its sample."""
    started = time.monotonic()
    for path in paths:
        name = os.path.basename(path)
        ref = reference(path)
        # The index keeps a file's name and description beside its text: a term the name holds is
        # found whatever the reader reads, and says nothing of it.
        terms = {text: term for text, term in document_terms(ref).items()
                 if ascii_lower(text) not in ascii_lower(name)}
        m.add_file(name, ref.kind, os.path.getsize(path), ref.error, terms,
                   sample_terms(terms, args.terms_per_file, args.seed, name))
    m.reference_seconds = time.monotonic() - started


def search_samples(m, installation, args):
    """Every sampled term as typed, then some Latin ones typed in full-width forms."""
    started = time.monotonic()
    samples = [(name, term) for name, sample in m.samples.items() for term in sample]
    results = search_all(installation, sorted({term.text for _, term in samples}), args.jobs)
    for name, term in samples:
        listed, error = results[term.text]
        m.add_result(name, term, listed is not None and name in listed, error)
    latin = sorted(((name, term) for name, term in samples if term.cls != "CJK"), key=lambda s: (s[0], s[1].text))
    typed = random.Random(args.seed).sample(latin, min(FULL_WIDTH_SAMPLE, len(latin)))
    wide = search_all(installation, sorted({to_full_width(term.text) for _, term in typed}), args.jobs)
    for name, term in typed:
        listed, _ = wide[to_full_width(term.text)]
        m.full_width.append((name, term.text, listed is not None and name in listed))
    m.search_seconds = time.monotonic() - started


def measure_rates(m, installation, paths, args, work):
    """Medians of RATE_RUNS runs: the whole corpus; only the corpus's PDFs in an installation of
    their own; pdftotext on the same PDFs."""
    m.rate_runs = RATE_RUNS
    m.rate_index = median_index_run(installation, m.index)
    pdfs = [p for p in paths if m.kinds[os.path.basename(p)] == "PDF"]
    only_pdfs = Installation(args.build, os.path.join(work, "pdf-home"))
    only_pdfs.seed()
    only_pdfs.remove_demo_documents()
    only_pdfs.add_files(pdfs)
    m.pdf_index = median_index_run(only_pdfs, only_pdfs.index())
    m.pdf_count = len(pdfs)
    m.pdf_bytes = sum(os.path.getsize(p) for p in pdfs)
    m.pdftotext_seconds = sorted(pdftotext_seconds(pdfs) for _ in range(RATE_RUNS))[RATE_RUNS // 2]


def measure(args, work):
    paths = corpus_files(args.corpus)
    if not paths:
        raise RuntimeError(f"no files in {args.corpus}")
    inside = os.path.abspath(args.corpus).startswith(ROOT + os.sep)
    m = Measurement(corpus=os.path.relpath(args.corpus, ROOT) if inside else args.corpus, seed=args.seed,
                    terms_per_file=args.terms_per_file)
    m.commit = subprocess.run(["git", "-C", ROOT, "describe", "--always", "--dirty"], capture_output=True,
                              text=True).stdout.strip()
    sample_corpus(m, paths, args)

    installation = Installation(args.build, os.path.join(work, "home"))
    installation.seed()
    installation.add_files(paths)
    m.index = installation.index()
    search_samples(m, installation, args)

    texts = installation.indexed_texts()
    m.index_notes = installation.index_notes()
    for name, kind in m.kinds.items():
        if kind == "PDF" and name in texts:
            m.pdf_presence[name] = (len(m.terms[name]), present_terms(m.terms[name], texts[name]))
    # Last: the rate runs start the index afresh.
    measure_rates(m, installation, paths, args, work)
    return m


def main(argv):
    args = parse_arguments(argv)
    if not os.path.isfile(os.path.join(args.build, "bin", "zqpdm-index")):
        print(f"measure_recall.py: {args.build}/bin/zqpdm-index not found: build first", file=sys.stderr)
        return 2
    if shutil.which("pdftotext") is None:
        print("measure_recall.py: pdftotext not found (Debian package poppler-utils)", file=sys.stderr)
        return 1
    work = args.work or tempfile.mkdtemp(prefix="zq-recall-")
    try:
        m = measure(args, work)
    except (RuntimeError, subprocess.SubprocessError, OSError) as error:
        print(f"measure_recall.py: {error}", file=sys.stderr)
        return 1
    finally:
        if not args.work:
            shutil.rmtree(work, ignore_errors=True)
    m.measured_at = datetime.datetime.now().strftime("%Y-%m-%d %H:%M")
    report = write_report(m)
    with open(args.output, "w", encoding="utf-8") as out:
        out.write(report)
    if args.terms_tsv:
        with open(args.terms_tsv, "w", encoding="utf-8") as out:
            out.write(m.terms_tsv())
    sys.stdout.write(report)
    if args.min_recall is not None and m.recall() < args.min_recall:
        print(f"measure_recall.py: recall {m.recall():.1f} % is below {args.min_recall} %", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
