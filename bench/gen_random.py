#!/usr/bin/env python3
"""Writes a random S5 formula of about a given size: a long conjunction of
random modal clauses (disjunctions of literals, Box literals over
disjunctions and Diamond literals over conjunctions).

Usage: gen_random.py BYTES [--atoms N] [--width W] [--diamonds F] [--seed S] > file.txt
F is the share of modal literals that are Diamonds; the world bound, and
with it the size of the encoding, grows with the number of Diamonds.
"""
import argparse
import random
import sys


def literal(rng, atoms):
    atom = "p%d" % rng.randint(1, atoms)
    return atom if rng.random() < 0.5 else "~" + atom


def group(rng, atoms, width, joiner):
    return joiner.join(literal(rng, atoms) for _ in range(rng.randint(1, width)))


def modal_literal(rng, atoms, width, diamonds):
    if rng.random() < 0.5:
        return literal(rng, atoms)
    if rng.random() >= diamonds:
        return "[r1](" + group(rng, atoms, width, " | ") + ")"
    return "<r1>(" + group(rng, atoms, width, " & ") + ")"


def clause(rng, atoms, width, diamonds):
    return "(" + " | ".join(modal_literal(rng, atoms, width, diamonds)
                            for _ in range(rng.randint(1, width))) + ")"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("bytes", type=int, help="approximate size of the file")
    parser.add_argument("--atoms", type=int, default=1000)
    parser.add_argument("--width", type=int, default=3, help="largest clause and group size")
    parser.add_argument("--diamonds", type=float, default=0.5,
                        help="share of modal literals that are Diamonds (0 to 1)")
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    rng = random.Random(args.seed)

    out = sys.stdout
    out.write("begin\n")
    written = 6
    first = True
    while first or written < args.bytes - 4:
        text = ("" if first else " &\n") + clause(rng, args.atoms, args.width, args.diamonds)
        out.write(text)
        written += len(text)
        first = False
    out.write("\nend\n")


if __name__ == "__main__":
    main()
