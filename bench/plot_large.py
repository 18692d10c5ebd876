#!/usr/bin/env python3
"""Draws the selective part-list search on PostgreSQL against the part-list lines in the table,
with the trigram indexes and without them: the search window (from Find to the status line) and
the same statement in psql, from the table bench_scale --large writes with --tsv.

    ./zq bench --large --chart docs/performance-large.png

Needs gnuplot with the pngcairo terminal (Debian: apt-get install gnuplot-nox).
"""
import csv
import re
import shutil
import subprocess
import sys

NAME = re.compile(r"^part-list search, \d+ of \S+ lines, (trigram|no index)$")


def series(tsv_path):
    points = {"trigram": [], "no index": []}
    with open(tsv_path, newline="", encoding="utf-8") as tsv:
        for row in csv.DictReader(tsv, delimiter="\t"):
            match = NAME.match(row["name"])
            if match:
                points[match.group(1)].append((int(row["rows"]), float(row["ours"]), float(row["raw"])))
    for name, values in points.items():
        if len(values) < 2:
            sys.exit(f"{tsv_path}: fewer than two sizes of the part-list search, {name}")
        values.sort()
    return points


def gnuplot_script(points, png_path):
    def block(name):
        return "\n".join(f"{rows} {ours} {raw}" for rows, ours, raw in points[name])

    return f"""
set terminal pngcairo size 900,520 font 'Sans,11'
set output '{png_path}'
set title 'Part-list search on PostgreSQL (a drawing-number fragment, 84 lines found)'
set xlabel 'part-list lines in the table'
set ylabel 'milliseconds'
set logscale xy
set format x '%.0s%c'
set grid
set key top left
$indexed << EOD
{block("trigram")}
EOD
$plain << EOD
{block("no index")}
EOD
plot $plain using 1:2 with linespoints lw 2 pt 7 title 'no trigram index: the search window', \\
     $plain using 1:3 with linespoints lw 1 pt 6 dt 2 title 'no trigram index: psql', \\
     $indexed using 1:2 with linespoints lw 2 pt 5 title 'trigram indexes: the search window', \\
     $indexed using 1:3 with linespoints lw 1 pt 4 dt 2 title 'trigram indexes: psql'
"""


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    tsv_path, png_path = sys.argv[1], sys.argv[2]
    if not shutil.which("gnuplot"):
        sys.exit("gnuplot is missing: apt-get install gnuplot-nox")
    subprocess.run(["gnuplot"], input=gnuplot_script(series(tsv_path), png_path), text=True, check=True)
    print(f"wrote {png_path}")


if __name__ == "__main__":
    main()
