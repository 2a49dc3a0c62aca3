#!/usr/bin/env python3
"""Writes a random propositional k-CNF of about a given size: a conjunction
of clauses of exactly K distinct atoms, each negated with probability 1/2.
No modal operator, so the world bound is 1 and the normal form is the
clause list itself: a test of the parser and the front-end passes at scale.

Usage: gen_cnf.py BYTES [--atoms N] [--k K] [--seed S] > file.txt
The measurements in docs/benchmarks.md and bench/results/big-input.md use
gen_cnf.py 100000000 --atoms 1000000 (3 015 156 clauses of 3 literals,
about 3 clauses per atom; Tarvel finds it satisfiable).
"""
import argparse
import random
import sys


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("bytes", type=int, help="approximate size of the file")
    parser.add_argument("--atoms", type=int, default=1000000)
    parser.add_argument("--k", type=int, default=3, help="literals per clause")
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    if args.k > args.atoms:
        parser.error("--k must not exceed --atoms")
    rng = random.Random(args.seed)
    out = sys.stdout
    out.write("begin\n")
    written, first, chunk = 6, True, []
    while first or written < args.bytes - 4:
        atoms = rng.sample(range(1, args.atoms + 1), args.k)
        lits = " | ".join(("~p%d" if rng.random() < 0.5 else "p%d") % a for a in atoms)
        text = ("(" if first else " &\n(") + lits + ")"
        chunk.append(text)
        written += len(text)
        first = False
        if len(chunk) >= 10000:
            out.write("".join(chunk))
            chunk.clear()
    out.write("".join(chunk))
    out.write("\nend\n")


if __name__ == "__main__":
    main()
