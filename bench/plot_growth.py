#!/usr/bin/env python3
"""Draws how the design-part title search grows: microseconds a row against rows listed, for the
module and for its raw baseline, from the table bench_scale writes with --tsv.

    build/bin/bench_scale --tsv build/bench.tsv      (or: ./zq bench --tsv build/bench.tsv)
    bench/plot_growth.py build/bench.tsv docs/performance-growth.png

Needs gnuplot with the pngcairo terminal (Debian: apt-get install gnuplot-nox).
"""
import csv
import shutil
import subprocess
import sys

SERIES = "title search, SQLite"


def growth_rows(tsv_path):
    with open(tsv_path, newline="", encoding="utf-8") as tsv:
        rows = [r for r in csv.DictReader(tsv, delimiter="\t") if r["name"] == SERIES]
    points = sorted((int(r["rows"]), float(r["ours"]), float(r["raw"])) for r in rows)
    if len(points) < 2:
        sys.exit(f"{tsv_path}: fewer than two rows named '{SERIES}'")
    return points


def gnuplot_script(points, png_path):
    data = "\n".join(f"{rows} {ours} {raw}" for rows, ours, raw in points)
    top = max(max(ours, raw) for _, ours, raw in points) * 1.3
    return f"""
set terminal pngcairo size 900,520 font 'Sans,11'
set output '{png_path}'
set title 'Design-part title search (SQLite): cost a row against rows listed'
set xlabel 'rows listed'
set ylabel 'microseconds a row'
set logscale x
set format x '%.0s%c'
set xrange [{points[0][0] * 0.7}:{points[-1][0] * 1.4}]
set yrange [0:{top}]
set grid
set key top left
$data << EOD
{data}
EOD
plot $data using 1:2 with linespoints lw 2 pt 7 title 'ours: the search window, from Find to the status line', \\
     $data using 1:3 with linespoints lw 2 pt 5 title 'raw: a C loop over the sqlite3 API with a prepared look-up'
"""


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    tsv_path, png_path = sys.argv[1], sys.argv[2]
    if not shutil.which("gnuplot"):
        sys.exit("gnuplot is missing: apt-get install gnuplot-nox")
    script = gnuplot_script(growth_rows(tsv_path), png_path)
    subprocess.run(["gnuplot"], input=script, text=True, check=True)
    print(f"wrote {png_path}")


if __name__ == "__main__":
    main()
