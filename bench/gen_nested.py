#!/usr/bin/env python3
"""Writes a deeply nested S5 formula: DEPTH levels of alternating Box,
Diamond and negation, each level joined to a small side formula, so the
nesting is of both modal operators and parentheses.

Usage: gen_nested.py DEPTH [--atoms N] [--seed S] > file.txt
"""
import argparse
import random
import sys

OPERATORS = ("[r1]", "<r1>", "~")
# No "<->": removing an equivalence copies both sides, so a chain of nested
# equivalences doubles in size with every level.
JOINERS = (" & ", " | ", " -> ")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("depth", type=int, help="number of nested levels")
    parser.add_argument("--atoms", type=int, default=50)
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    rng = random.Random(args.seed)

    out = sys.stdout
    out.write("begin\n")
    # Opening side first, then the closing side, so no level is held in memory
    # as a tree and the generator itself never recurses.
    for _ in range(args.depth):
        side = "p%d" % rng.randint(1, args.atoms)
        out.write(rng.choice(OPERATORS) + "(" + side + rng.choice(JOINERS))
    out.write("p%d" % rng.randint(1, args.atoms))
    out.write(")" * args.depth)
    out.write("\nend\n")


if __name__ == "__main__":
    main()
