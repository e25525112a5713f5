#!/usr/bin/env python3
"""Measures how many small deliberate faults a folder's tests catch.

A mutation file lists source changes, one a line:

    html/layout/TableLayout.cpp:278: room / others => room / others + 1

(the file relative to the source root, the line number, the text to change - found exactly once on
that line - and what it becomes; blank lines and lines starting with "#" are skipped). "run"
applies them one at a time, rebuilds incrementally in a build folder of its own, runs the folder's
tests through ctest and prints for each whether a test caught it or it survived; the source file
is restored after every mutation, also when the run is interrupted. "propose" draws candidate
mutations at random (comparisons, arithmetic, min/max, and/or, true/false) from the code lines of
the given files, so that the sample is not chosen with a test in mind.

    tools/mutate/mutate.py propose --seed 7 --count 40 html/layout/TableLayout.cpp ... > m.txt
    tools/mutate/mutate.py run m.txt --build build-mutate --tests '^html\\.layout\\.' \\
        --target test_html_layout

Not installed; needs a build folder configured with CMake (it is configured when missing).
"""

import argparse
import os
import random
import re
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

LINE = re.compile(r"^(?P<file>[^:#][^:]*):(?P<line>\d+):\s(?P<before>.+?)\s=>\s(?P<after>.*)$")


class Mutation:
    def __init__(self, file, line, before, after, text):
        self.file, self.line, self.before, self.after, self.text = file, line, before, after, text


def read_mutations(path):
    mutations = []
    with open(path, encoding="utf-8") as f:
        for number, raw in enumerate(f, 1):
            raw = raw.rstrip("\n")
            if not raw.strip() or raw.lstrip().startswith("#"):
                continue
            m = LINE.match(raw)
            if not m:
                sys.exit(f"{path}:{number}: not 'file:line: before => after': {raw}")
            mutations.append(Mutation(m["file"], int(m["line"]), m["before"], m["after"], raw))
    return mutations


def source_line(path, line):
    with open(os.path.join(ROOT, path), encoding="utf-8") as f:
        lines = f.readlines()
    return lines, lines[line - 1] if 0 < line <= len(lines) else None


def apply(mutation):
    """Changes the source; returns the original text, or None when the mutation does not fit."""
    full = os.path.join(ROOT, mutation.file)
    lines, text = source_line(mutation.file, mutation.line)
    if text is None or text.count(mutation.before) != 1:
        return None
    with open(full, encoding="utf-8") as f:
        original = f.read()
    lines[mutation.line - 1] = text.replace(mutation.before, mutation.after)
    with open(full, "w", encoding="utf-8") as f:
        f.writelines(lines)
    return original


def restore(mutation, original):
    with open(os.path.join(ROOT, mutation.file), "w", encoding="utf-8") as f:
        f.write(original)


def build(folder, targets, jobs):
    if not os.path.exists(os.path.join(folder, "build.ninja")):
        subprocess.run(["cmake", "-S", ROOT, "-B", folder, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Debug",
                        "-DVELMORAN_BENCH=OFF"], check=True, stdout=subprocess.DEVNULL)
    command = ["cmake", "--build", folder, "-j", str(jobs)]
    for target in targets:
        command += ["--target", target]
    return subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0


def run_tests(folder, regex, jobs, timeout, stop_early=False):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    # The first failure is enough to call a mutation caught; a mutation that makes the code loop
    # forever is caught by the timeout.
    command = ["ctest", "-R", regex, "-j", str(jobs), "--timeout", str(timeout)]
    if stop_early:
        command.append("--stop-on-failure")
    result = subprocess.run(command, cwd=folder, env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    # Only the failures: ctest lists skipped tests ("did not run") in the same form before them.
    listed = result.stdout.split("The following tests FAILED:", 1)
    failed = re.findall(r"^\s*\d+ - (\S+)", listed[1], re.M) if len(listed) > 1 else []
    if "No tests were found" in result.stdout:
        sys.exit(f"no tests match {regex}")
    return result.returncode == 0, failed


def command_run(args):
    mutations = read_mutations(args.mutations)
    folder = os.path.abspath(args.build)
    print(f"baseline: building and testing {args.tests} ...", flush=True)
    if not build(folder, args.target, args.jobs):
        sys.exit("the unchanged source does not build")
    passed, failed = run_tests(folder, args.tests, args.jobs, args.timeout)
    if not passed:
        sys.exit("the unchanged source fails: " + ", ".join(failed))
    caught = survived = unusable = 0
    current = {}

    def interrupted(signum, frame):
        for m, original in current.items():
            restore(m, original)
        sys.exit(1)

    signal.signal(signal.SIGINT, interrupted)
    signal.signal(signal.SIGTERM, interrupted)
    for index, m in enumerate(mutations, 1):
        started = time.time()
        original = apply(m)
        if original is None:
            print(f"[{index}] does not fit  {m.text}", flush=True)
            unusable += 1
            continue
        current[m] = original
        try:
            if not build(folder, args.target, args.jobs):
                verdict, detail = "does not build", ""
                unusable += 1
            else:
                passed, failed = run_tests(folder, args.tests, args.jobs, args.timeout, stop_early=True)
                if passed:
                    verdict, detail = "SURVIVED", ""
                    survived += 1
                else:
                    verdict, detail = "caught", " by " + ", ".join(failed[:3]) + (" ..." if len(failed) > 3 else "")
                    caught += 1
        finally:
            restore(m, original)
            del current[m]
        print(f"[{index}] {verdict:14} {m.text}{detail}  ({time.time() - started:.0f} s)", flush=True)
    build(folder, args.target, args.jobs)  # leave the build folder matching the source
    total = caught + survived
    rate = f"{100.0 * caught / total:.0f} %" if total else "-"
    print(f"caught {caught} of {total} ({rate}); survived {survived}; not usable {unusable}")


# --- proposing mutations ---------------------------------------------------------------------

# (regular expression, replacement): binary operators written with blanks around them, as the
# code is, the bounds of std::max and std::min, the Boolean constants, a unit added or taken away.
OPERATORS = [
    (r" <= ", " < "), (r" >= ", " > "), (r" < ", " <= "), (r" > ", " >= "),
    (r" == ", " != "), (r" != ", " == "), (r" && ", " || "), (r" \|\| ", " && "),
    (r" \+ ", " - "), (r" - ", " + "), (r" \* ", " / "), (r" / ", " * "),
    (r"std::max\(", "std::min("), (r"std::min\(", "std::max("),
    (r"\btrue\b", "false"), (r"\bfalse\b", "true"), (r" \+ 1\b", ""), (r" - 1\b", ""),
]


def code_part(line):
    """The line without its comment; empty for lines that hold no code worth changing."""
    stripped = line.strip()
    if not stripped or stripped.startswith(("//", "#", "*", "/*", "static_assert", "namespace", "using ")):
        return ""
    if '"' in stripped:  # leave string literals alone
        return ""
    return line.split("//", 1)[0]


def unique_context(text, start, length):
    """The shortest piece of text around [start, start + length) that occurs once in it and does
    not begin or end with a blank."""
    left, right = start, start + length
    while text.count(text[left:right]) > 1 or text[left:right] != text[left:right].strip():
        if left == 0 and right == len(text):
            break
        if left > 0:
            left -= 1
        if right < len(text):
            right += 1
    return left, right


def candidates(path):
    with open(os.path.join(ROOT, path), encoding="utf-8") as f:
        lines = f.readlines()
    out = []
    for number, line in enumerate(lines, 1):
        code = code_part(line).rstrip("\n")
        for pattern, replacement in OPERATORS:
            if pattern in (r" < ", r" > ") and ("<<" in code or ">>" in code):
                continue  # stream and shift operators
            for match in re.finditer(pattern, code):
                left, right = unique_context(code, match.start(), match.end() - match.start())
                piece = code[left:right]
                if code.count(piece) != 1:
                    continue
                after = piece[:match.start() - left] + replacement + piece[match.end() - left:]
                before = piece.strip()
                if before and after.strip() != before and piece == before:
                    out.append(f"{path}:{number}: {before} => {after.strip()}")
    return sorted(set(out))


def command_propose(args):
    pool = []
    for path in args.files:
        pool += candidates(os.path.relpath(os.path.abspath(path), ROOT))
    rng = random.Random(args.seed)
    chosen = rng.sample(pool, min(args.count, len(pool)))
    print(f"# {len(chosen)} of {len(pool)} candidates, seed {args.seed}")
    for text in sorted(chosen, key=lambda t: (t.split(":")[0], int(t.split(":")[1]))):
        print(text)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = parser.add_subparsers(dest="command", required=True)
    run = sub.add_parser("run", help="apply each mutation, rebuild, run the tests")
    run.add_argument("mutations")
    run.add_argument("--build", default=os.path.join(ROOT, "build-mutate"))
    run.add_argument("--tests", required=True, help="ctest -R regular expression of the folder's tests")
    run.add_argument("--target", action="append", default=[], help="build only these targets (repeatable)")
    run.add_argument("--jobs", type=int, default=4)
    run.add_argument("--timeout", type=int, default=30, help="seconds a single test may take")
    propose = sub.add_parser("propose", help="draw candidate mutations at random from source files")
    propose.add_argument("files", nargs="+")
    propose.add_argument("--seed", type=int, default=1)
    propose.add_argument("--count", type=int, default=30)
    args = parser.parse_args()
    command_run(args) if args.command == "run" else command_propose(args)


if __name__ == "__main__":
    main()
