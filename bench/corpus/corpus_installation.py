"""A scratch PDM installation that holds the corpus as stored documents, driven by the real programs.

pdm-seed makes the demo installation; the corpus files are then added the way the PDM client
stores documents: every other file as an archived design document (a row of Documents, the file
in the file store below Zq/Proven/) and the others as resource files (a row of EngineerViewDoc with
the file in its DocContent column, and a copy below Zq/Resource/). zqpdm-index fills the content
index, zqpdm-search searches it on the page 文档内容 as a user would.
"""

import json
import os
import re
import shutil
import sqlite3
import subprocess
import time
from dataclasses import dataclass, field

PAGE = "文档内容"
WORDS_CONTROL = "1260"        # the page's edit box "内容包含:"
FILE_NAME_COLUMN = "文件名称"
PRODUCT = "CORPUS"
FILE_DATE = "2026-01-01 09:00:00"
PROGRESS = re.compile(r"zqpdm-index: (\[[#.]*\] )?\d+/\d+ files")

FILE_TYPES = {"pdf": "PDF 文档", "docx": "Microsoft Word 文档", "xlsx": "Microsoft Excel 工作表",
              "pptx": "Microsoft PowerPoint 演示文稿", "odt": "OpenDocument 文本", "ods": "OpenDocument 电子表格",
              "odp": "OpenDocument 演示文稿", "dxf": "DXF 图形", "csv": "CSV 文件", "txt": "文本文档"}


@dataclass
class IndexRun:
    seconds: float
    status: int
    summary: str
    failures: list = field(default_factory=list)   # the indexer's lines naming a file it could not read


class Installation:
    def __init__(self, build, home):
        self.build = os.path.abspath(build)
        self.home = os.path.abspath(home)
        scratch = os.path.dirname(self.home)
        self.environment = {k: v for k, v in os.environ.items()
                            if k not in ("ZQPDM_DB", "ZQPDM_INDEX", "ZQPDM_HOME", "ZQPDM_SYSDIR", "ZQPDM_USER")}
        # The programs' private temporary folder and configuration stay inside the scratch folder.
        runtime = os.path.join(scratch, "runtime")
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        self.environment.update(QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=runtime,
                                XDG_CONFIG_HOME=os.path.join(scratch, "config"))

    def program(self, name):
        return os.path.join(self.build, "bin", name)

    def run(self, arguments, timeout):
        return subprocess.run(arguments, capture_output=True, env=self.environment, timeout=timeout)

    def seed(self):
        # A fresh installation: nothing of an earlier run's files or content index is left.
        shutil.rmtree(self.home, ignore_errors=True)
        done = self.run([self.program("pdm-seed"), "--home", self.home], timeout=600)
        if done.returncode != 0:
            raise RuntimeError("pdm-seed failed: " + done.stderr.decode("utf-8", "replace"))

    def database(self):
        return sqlite3.connect(os.path.join(self.home, "pdm.db"))

    def remove_demo_documents(self):
        """Leaves the installation without the demo's stored files."""
        with self.database() as db:
            for table in ("Documents", "TaskDocuments", "TeamWorkResult", "EngineerViewDoc"):
                db.execute(f"DELETE FROM {table}")

    def add_files(self, paths):
        with self.database() as db:
            for number, path in enumerate(paths, 1):
                if number % 2:
                    self.add_design_document(db, number, path)
                else:
                    self.add_resource_file(db, number, path)

    def store(self, folder, name, data):
        target = os.path.join(self.home, "ftpstore", "Zq", *folder, name)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target, "wb") as file:
            file.write(data)

    @staticmethod
    def facts(path):
        name = os.path.basename(path)
        with open(path, "rb") as file:
            data = file.read()
        title, suffix = os.path.splitext(name)
        kilobytes = max(1, (len(data) + 1023) // 1024)
        return name, title, data, FILE_TYPES.get(suffix.lower().lstrip("."), "文件"), kilobytes

    def add_design_document(self, db, number, path):
        name, title, data, file_type, kilobytes = self.facts(path)
        code = f"{PRODUCT}-{number:03d}"
        self.store(("Proven", PRODUCT, code, "A"), name, data)
        db.execute("INSERT INTO Documents (ProductDwgCode, Code, RevNumber, DocumentType, FileName, FileBulk, "
                   "FileType, FileDate, FileRemark) VALUES (?, ?, 'A', ?, ?, ?, ?, ?, ?)",
                   (PRODUCT, code, title, name, kilobytes, file_type, FILE_DATE, "公开文档"))

    def add_resource_file(self, db, number, path):
        name, title, data, file_type, kilobytes = self.facts(path)
        item = f"R-{PRODUCT}-{number:03d}"
        self.store(("Resource", item), name, data)
        db.execute("INSERT INTO EngineerViewDoc (ItemCode, DocType, FileName, FileBulk, FileType, FileDate, "
                   "DocRemark, Other1, Other2, Other3, Other4, DocSaved, DocContent) "
                   "VALUES (?, ?, ?, ?, ?, ?, ?, '', '', '', '', 1, ?)",
                   (item, title, name, kilobytes, file_type, FILE_DATE, "公开文档", data))

    def drop_index(self):
        """Removes the content index, so that the next run reads every file again."""
        for suffix in ("", "-wal", "-shm", "-journal"):
            path = os.path.join(self.home, "content-index.db" + suffix)
            if os.path.exists(path):
                os.remove(path)

    def index(self, timeout=3600):
        started = time.monotonic()
        done = self.run([self.program("zqpdm-index"), "--home", self.home], timeout=timeout)
        seconds = time.monotonic() - started
        stdout = done.stdout.decode("utf-8", "replace").strip()
        stderr = done.stderr.decode("utf-8", "replace").splitlines()
        # "zqpdm-index: N files could not be indexed:", then "  <file>: <reason>" a line.
        failures = []
        listing = False
        for line in stderr:
            if PROGRESS.match(line):
                continue
            if line.startswith("zqpdm-index:"):
                listing = line.endswith("could not be indexed:")
                if not listing and done.returncode != 0:
                    failures.append(line)
            elif listing and line.startswith("  "):
                failures.append(line.strip())
        return IndexRun(seconds, done.returncode, stdout.splitlines()[0] if stdout else "", failures)

    def search(self, words):
        """The file names 文档内容 lists for the words, or an error text."""
        done = self.run([self.program("zqpdm-search"), "--home", self.home, "--page", PAGE,
                         "--set", f"{WORDS_CONTROL}={words}", "--format", "json"], timeout=300)
        if done.returncode != 0:
            return None, done.stderr.decode("utf-8", "replace").strip().splitlines()[-1:]
        rows = json.loads(done.stdout.decode("utf-8") or "[]")
        return {row.get(FILE_NAME_COLUMN, "") for row in rows}, None

    def indexed_texts(self):
        """The text the index holds for each file name; empty when the index is not a SQLite file."""
        path = os.path.join(self.home, "content-index.db")
        if not os.path.exists(path):
            return {}
        with sqlite3.connect(path) as db:
            try:
                # The text table's own rows: the table itself needs the indexer's tokenizer, which
                # only the programs that fold for search register.
                rows = db.execute("SELECT f.FileName, t.c0 FROM ContentFile f "
                                  "JOIN ContentText_content t ON t.id = f.FileId").fetchall()
            except sqlite3.Error:
                return {}
        return {name: content or "" for name, content in rows}

    def index_notes(self):
        path = os.path.join(self.home, "content-index.db")
        with sqlite3.connect(path) as db:
            try:
                return dict(db.execute("SELECT FileName, Note FROM ContentFile WHERE Note <> ''").fetchall())
            except sqlite3.Error:
                return {}
