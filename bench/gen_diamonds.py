#!/usr/bin/env python3
"""Writes a conjunction of many Diamond clauses over few atoms, plus a few
Box clauses: the world bound grows with the number of Diamonds while the
smallest model stays small, which is what the minimal-model modes differ on.

Usage: gen_diamonds.py COUNT [--atoms N] [--width W] [--boxes B] [--seed S] > file.txt
"""
import argparse
import random
import sys


def literal(rng, atoms):
    atom = "p%d" % rng.randint(1, atoms)
    return atom if rng.random() < 0.5 else "~" + atom


def conjunction(rng, atoms, width):
    # Distinct atoms, so no Diamond is contradictory by itself.
    chosen = rng.sample(range(1, atoms + 1), min(atoms, rng.randint(1, width)))
    return " & ".join(("p%d" if rng.random() < 0.5 else "~p%d") % a for a in chosen)


def disjunction(rng, atoms, width):
    return " | ".join(literal(rng, atoms) for _ in range(rng.randint(2, width + 1)))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("count", type=int, help="number of Diamond clauses")
    parser.add_argument("--atoms", type=int, default=4)
    parser.add_argument("--width", type=int, default=2, help="largest Diamond conjunction")
    parser.add_argument("--boxes", type=int, default=2, help="number of Box clauses")
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    rng = random.Random(args.seed)

    parts = ["<r1>(" + conjunction(rng, args.atoms, args.width) + ")"
             for _ in range(args.count)]
    parts += ["[r1](" + disjunction(rng, args.atoms, args.width) + ")"
              for _ in range(args.boxes)]
    sys.stdout.write("begin\n" + " &\n".join(parts) + "\nend\n")


if __name__ == "__main__":
    main()
