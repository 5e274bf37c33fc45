#!/usr/bin/env python3
"""Turns gcovr's JSON report into the per-folder table of docs/coverage.md and a list of the lines
no test ran, by file and function. Exits 1 when host/ and QMR41726/ together are under the
threshold. scripts/coverage runs it; it reads nothing but the JSON file it is given."""

import argparse
import datetime
import json
import pathlib
import re
import subprocess
import sys

COUNTED = ("host/", "QMR41726/")
BESIDE = ("apps/",)
START = "<!-- coverage-table:start -->"
END = "<!-- coverage-table:end -->"


def code_lines(entry):
    """The lines gcov counts as code, less those excluded by a GCOVR_EXCL marker."""
    return [
        line
        for line in entry["lines"]
        if not line.get("gcovr/noncode") and not line.get("gcovr/excluded")
    ]


def folder_totals(files, prefixes):
    totals = {}
    for entry in files:
        name = entry["file"]
        if not name.startswith(prefixes):
            continue
        lines = code_lines(entry)
        folder = str(pathlib.PurePosixPath(name).parent)
        total, covered = totals.get(folder, (0, 0))
        totals[folder] = (total + len(lines), covered + sum(1 for line in lines if line["count"] > 0))
    return totals


def percent(covered, total):
    return 100.0 * covered / total if total else 100.0


def table(totals, overall_label):
    rows = ["| folder | lines | covered | % |", "| --- | ---: | ---: | ---: |"]
    for folder in sorted(totals):
        total, covered = totals[folder]
        rows.append(f"| `{folder}/` | {total} | {covered} | {percent(covered, total):.1f} |")
    total = sum(t for t, _ in totals.values())
    covered = sum(c for _, c in totals.values())
    rows.append(f"| **{overall_label}** | **{total}** | **{covered}** | **{percent(covered, total):.1f}** |")
    return rows, percent(covered, total)


def ranges(numbers):
    """1 2 3 7 9 10 -> "1-3, 7, 9-10"."""
    spans = []
    for number in numbers:
        if spans and number == spans[-1][1] + 1:
            spans[-1][1] = number
        else:
            spans.append([number, number])
    return ", ".join(str(a) if a == b else f"{a}-{b}" for a, b in spans)


def function_at(functions, line_number):
    """The function whose definition starts last at or before the line."""
    best = None
    for function in functions:
        if function["lineno"] <= line_number and (best is None or function["lineno"] > best["lineno"]):
            best = function
    return short_name(best["name"]) if best else "(file scope)"


def short_name(signature):
    """qmr::(anonymous namespace)::Lexer::next(int) const -> Lexer::next"""
    name = signature.replace("(anonymous namespace)::", "").replace("[abi:cxx11]", "")
    name = name.split("(", 1)[0]
    name = name.rsplit(" ", 1)[-1]
    return name.removeprefix("qmr::")


def uncovered_report(files):
    out = ["# Lines no test ran", ""]
    for entry in sorted(files, key=lambda e: e["file"]):
        if not entry["file"].startswith(COUNTED + BESIDE):
            continue
        missed = [line["line_number"] for line in code_lines(entry) if line["count"] == 0]
        if not missed:
            continue
        out.append(f"## {entry['file']} ({len(missed)})")
        by_function = {}
        for number in missed:
            by_function.setdefault(function_at(entry.get("functions", []), number), []).append(number)
        for name, numbers in by_function.items():
            out.append(f"- `{name}`: {ranges(numbers)}")
        out.append("")
    return out


def commit():
    try:
        return subprocess.run(
            ["git", "rev-parse", "--short", "HEAD"], capture_output=True, text=True, check=True
        ).stdout.strip()
    except (OSError, subprocess.CalledProcessError):
        return "unknown"


def write_docs(path, block):
    text = path.read_text()
    pattern = re.compile(re.escape(START) + ".*?" + re.escape(END), re.DOTALL)
    if not pattern.search(text):
        sys.exit(f"coverage-summary: {path} has no {START} ... {END} block to replace")
    path.write_text(pattern.sub(lambda _: START + "\n" + block + "\n" + END, text, count=1))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("json")
    parser.add_argument("--threshold", type=float, default=90.0)
    parser.add_argument("--seconds", type=int, default=0)
    parser.add_argument("--summary", required=True)
    parser.add_argument("--uncovered", required=True)
    parser.add_argument("--write-docs")
    arguments = parser.parse_args()

    files = json.loads(pathlib.Path(arguments.json).read_text())["files"]
    counted_rows, counted = table(folder_totals(files, COUNTED), "host/ + QMR41726/")
    beside_rows, _ = table(folder_totals(files, BESIDE), "apps/")
    today = datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d")
    block = "\n".join(
        [
            f"Measured {today} at commit `{commit()}` by `make coverage` "
            f"({arguments.seconds} s for build, tests and report).",
            "",
            *counted_rows,
            "",
            "Reported beside, not counted in the threshold:",
            "",
            *beside_rows,
        ]
    )
    pathlib.Path(arguments.summary).write_text(block + "\n")
    pathlib.Path(arguments.uncovered).write_text("\n".join(uncovered_report(files)) + "\n")
    if arguments.write_docs:
        write_docs(pathlib.Path(arguments.write_docs), block)
    if counted < arguments.threshold:
        print(
            f"coverage: host/ + QMR41726/ cover {counted:.1f}% of their lines, "
            f"under the {arguments.threshold:g}% required",
            file=sys.stderr,
        )
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
