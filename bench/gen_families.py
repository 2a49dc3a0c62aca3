#!/usr/bin/env python3
"""Writes one formula file of a scalable benchmark family.

Usage: gen_families.py FAMILY VERSION N [--seed S] [--vars V --clauses L --depth D]

VERSION p: the file is ~(A -> B) for a valid A -> B, so the expected verdict is
UNSATISFIABLE; VERSION n: the same shape with a conclusion B that does not
follow, expected SATISFIABLE. The first line says which: `// expect: ...`.
The first six families grow polynomially in N and stay close to clause
form; the last six are far from it (equivalences, exclusive-or, disjunctions
of conjunctions), which the normal form names instead of copying.

Below, [] is Box, <> is Diamond; in S5 a modal formula has the same truth
value in every world, which is what the arguments use.

branch  Levels i = 1..N. A: <>l1, and in every world of level i
        [](~li | pi | qi) (a case split), [](~li | ~pi | <>(l(i+1) & ai)),
        [](~li | ~qi | <>(l(i+1) & bi)). Whichever branch a level-i world
        takes, a level-(i+1) world exists, so by induction a level-(N+1)
        world exists: B = <>l(N+1) is valid (p). B = <>(l(N+1) & aN) fails in
        the model that takes the q-branch at level N (n).
ph      M pigeons, N holes. A: <>wi (pigeon i has a world), [](~wi | ~wj)
        (pigeons' worlds differ), [](~wi | hi1 | ... | hiN) (pigeon i sits in a
        hole in its world). B: some hole k is used by two pigeons i < j,
        the disjunction of (<>hik & <>hjk). With M = N+1 pigeons B follows by
        the pigeon-hole principle (p); with M = N pigeons, one per hole, it
        does not (n).
alt     Alternating chain of depth N: X(k) = [](pk | X(k+1)) for odd k,
        <>(pk & X(k+1)) for even k, X(N) = []pN or <>pN. Since X(k+1) is
        modal, [](pk | X(k+1)) = []pk | X(k+1) and <>(pk & X(k+1)) =
        <>pk & X(k+1), so X(1) -> F(1) holds for the flattened
        F(k) = []pk | F(k+1) (odd k), <>pk & F(k+1) (even k) (p). The n
        version writes p(N+1) for the deepest atom of F: false in the model
        where the outer levels leave the value to level N, pN holds
        everywhere and p(N+1) nowhere.
indep   A: <>(pi & q) for i = 1..N. B = <>p1 & ... & <>pN follows (p); the
        Diamonds share the world where q and all pi hold, so few worlds
        suffice. n: B = <>(p1 & ~q) | ... | <>(pN & ~q) does not follow (a
        model of A may have q in every world). Both negations keep each Box
        to a clause of its own or to single literals, so the conflict
        analysis sees that the witnesses cannot clash.
clash   A: <>(pi & q) for i = 1..N, [](~pi | ~pj) for i < j, so every witness
        needs its own world. p: also [](~q | p1 | ... | p(N-1)), and
        B = false: the witness of pN has q, hence some pi with i < N, which
        clashes with pN. n: [](~q | p1 | ... | pN) instead, satisfied by the
        N witnesses and a world 0 without q.
m3cnf   Random modal 3-CNF: L clauses of three literals over V atoms, modal
        depth D. A literal of depth 0 is a possibly negated atom; of depth
        d > 0 it is an atom with probability 1/2, else a possibly negated
        Box or Diamond over a three-literal clause of depth d-1. The
        verdict is not known: `// expect: unknown`. N is L unless --clauses
        is given; VERSION is ignored.
eqchain (p1 <-> (p2 <-> ... pN)). n: the chain alone. p: the chain is not
        equivalent to the same chain over pN..p1 (equivalence is associative
        and commutative), which is unsatisfiable.
xorchain The same with exclusive-or ~(a <-> b) in place of <->.
dnf     (p1 & p2 & p3) | (p4 & p5 & p6) | ... N terms. n: alone. p: with
        the first atom of every term false.
boxdnf  [r1] over the dnf. p: also <r1> of the first atoms of all terms false.
mixed   <r1>(eqchain of N) & [r1](dnf of N over other atoms). p: also
        <r1> of the first atoms of all terms false.
nonclausal  N random formulas of modal and propositional connectives
        (&, |, ->, <->, ~, [r1], <r1>) over --vars atoms (default 20),
        depth 8..12, conjoined. The verdict is not known.
"""
import argparse
import random
import sys


def conj(parts):
    return " & ".join(parts)


def disj(parts):
    return " | ".join(parts)


def negated_implication(premises, conclusion):
    return "~( (%s)\n  -> (%s) )" % ("\n   & ".join(premises), conclusion)


def branch(version, n):
    def l(i):
        return "p%d" % i  # level markers p1..p(n+1)

    def atom(kind, i):
        base = {"p": 1, "q": 2, "a": 3, "b": 4}[kind]
        return "p%d" % ((n + 1) + 4 * (i - 1) + base)

    premises = ["<r1>%s" % l(1)]
    for i in range(1, n + 1):
        premises.append("[r1](~%s | %s | %s)" % (l(i), atom("p", i), atom("q", i)))
        premises.append("[r1](~%s | ~%s | <r1>(%s & %s))" % (l(i), atom("p", i), l(i + 1), atom("a", i)))
        premises.append("[r1](~%s | ~%s | <r1>(%s & %s))" % (l(i), atom("q", i), l(i + 1), atom("b", i)))
    if version == "p":
        conclusion = "<r1>%s" % l(n + 1)
    else:
        conclusion = "<r1>(%s & %s)" % (l(n + 1), atom("a", n))
    return negated_implication(premises, conclusion)


def ph(version, n):
    pigeons = n + 1 if version == "p" else n
    holes = n

    def w(i):
        return "p%d" % i

    def h(i, k):
        return "p%d" % (pigeons + (i - 1) * holes + k)

    premises = ["<r1>%s" % w(i) for i in range(1, pigeons + 1)]
    for i in range(1, pigeons + 1):
        for j in range(i + 1, pigeons + 1):
            premises.append("[r1](~%s | ~%s)" % (w(i), w(j)))
    for i in range(1, pigeons + 1):
        premises.append("[r1](~%s | %s)" % (w(i), disj(h(i, k) for k in range(1, holes + 1))))
    shared = []
    for k in range(1, holes + 1):
        for i in range(1, pigeons + 1):
            for j in range(i + 1, pigeons + 1):
                shared.append("(<r1>%s & <r1>%s)" % (h(i, k), h(j, k)))
    conclusion = disj(shared) if shared else "false"
    return negated_implication(premises, conclusion)


def alt(version, n):
    # Built from the innermost level outwards: deep chains exceed Python's recursion limit.
    deepest = n if version == "p" else n + 1
    chain = ("[r1]p%d" if n % 2 else "<r1>p%d") % n
    flat = ("[r1]p%d" if n % 2 else "<r1>p%d") % deepest
    for k in range(n - 1, 0, -1):
        if k % 2:
            chain = "[r1](p%d | %s)" % (k, chain)
            flat = "([r1]p%d | %s)" % (k, flat)
        else:
            chain = "<r1>(p%d & %s)" % (k, chain)
            flat = "(<r1>p%d & %s)" % (k, flat)
    return "~( %s\n  -> %s )" % (chain, flat)


def indep(version, n):
    q = "p%d" % (n + 1)
    premises = ["<r1>(p%d & %s)" % (i, q) for i in range(1, n + 1)]
    if version == "p":
        conclusion = conj("<r1>p%d" % i for i in range(1, n + 1))
    else:
        conclusion = disj("<r1>(p%d & ~%s)" % (i, q) for i in range(1, n + 1))
    return negated_implication(premises, conclusion)


def clash(version, n):
    q = "p%d" % (n + 1)
    premises = ["<r1>(p%d & %s)" % (i, q) for i in range(1, n + 1)]
    for i in range(1, n + 1):
        for j in range(i + 1, n + 1):
            premises.append("[r1](~p%d | ~p%d)" % (i, j))
    last = n - 1 if version == "p" else n
    premises.append("[r1](%s)" % disj(["~" + q] + ["p%d" % i for i in range(1, last + 1)]))
    return negated_implication(premises, "false")


def m3cnf(rng, atoms, clauses, depth):
    def literal(d):
        if d == 0 or rng.random() < 0.5:
            a = "p%d" % rng.randint(1, atoms)
            return a if rng.random() < 0.5 else "~" + a
        op = "[r1]" if rng.random() < 0.5 else "<r1>"
        sign = "~" if rng.random() < 0.5 else ""
        return "%s%s(%s)" % (sign, op, clause(d - 1))

    def clause(d):
        return disj(literal(d) for _ in range(3))

    return "\n& ".join("(%s)" % clause(depth) for _ in range(clauses))


def chain(atoms, xor):
    # Built from the innermost operand outwards: no recursion.
    f = atoms[-1]
    for a in reversed(atoms[:-1]):
        f = ("~(%s <-> %s)" if xor else "(%s <-> %s)") % (a, f)
    return f


def chain_family(version, n, xor):
    atoms = ["p%d" % i for i in range(1, n + 1)]
    if version == "n":
        return chain(atoms, xor)
    return "~(%s\n<-> %s)" % (chain(atoms, xor), chain(atoms[::-1], xor))


def dnf_terms(n, first):
    return ["(p%d & p%d & p%d)" % (first + 3 * i, first + 3 * i + 1, first + 3 * i + 2) for i in range(n)]


def killed(n, first):
    return conj("~p%d" % (first + 3 * i) for i in range(n))


def eqchain(version, n):
    return chain_family(version, n, False)


def xorchain(version, n):
    return chain_family(version, n, True)


def dnf(version, n):
    body = disj(dnf_terms(n, 1))
    return body if version == "n" else "(%s)\n& %s" % (body, killed(n, 1))


def boxdnf(version, n):
    body = "[r1](%s)" % disj(dnf_terms(n, 1))
    return body if version == "n" else "%s\n& <r1>(%s)" % (body, killed(n, 1))


def mixed(version, n):
    first = n + 1
    body = "<r1>(%s)\n& [r1](%s)" % (chain(["p%d" % i for i in range(1, n + 1)], False),
                                     disj(dnf_terms(n, first)))
    return body if version == "n" else "%s\n& <r1>(%s)" % (body, killed(n, first))


def nonclausal(rng, atoms, n):
    def formula(d):
        if d == 0:
            a = "p%d" % rng.randint(1, atoms)
            return a if rng.random() < 0.5 else "~" + a
        r = rng.random()
        if r < 0.1:
            return "~" + formula(d - 1)
        if r < 0.2:
            return "%s%s" % ("[r1]" if rng.random() < 0.5 else "<r1>", formula(d - 1))
        op = rng.choice(["&", "|", "|", "->", "<->"])
        # One operand keeps the full depth, the other is shallow: size grows linearly in depth.
        deep, shallow = formula(d - 1), formula(rng.randint(0, min(d - 1, 7)))
        if rng.random() < 0.5:
            deep, shallow = shallow, deep
        return "(%s %s %s)" % (deep, op, shallow)

    return "\n& ".join(formula(rng.randint(8, 12)) for _ in range(n))


FAMILIES = ("branch", "ph", "alt", "indep", "clash", "m3cnf",
            "eqchain", "xorchain", "dnf", "boxdnf", "mixed", "nonclausal")


def main():
    ap = argparse.ArgumentParser(description="Writes one benchmark formula file.")
    ap.add_argument("family", choices=FAMILIES)
    ap.add_argument("version", choices=("p", "n"))
    ap.add_argument("n", type=int)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--vars", type=int, default=10, help="m3cnf: atoms")
    ap.add_argument("--clauses", type=int, help="m3cnf: clauses (default N)")
    ap.add_argument("--depth", type=int, default=2, help="m3cnf: modal depth")
    args = ap.parse_args()
    if args.n < 1:
        ap.error("N must be at least 1")

    if args.family == "nonclausal":
        rng = random.Random(args.seed)
        expect = "unknown"
        vars_ = args.vars if args.vars != 10 else 20
        body = nonclausal(rng, vars_, args.n)
        header = "// nonclausal vars=%d n=%d seed=%d" % (vars_, args.n, args.seed)
    elif args.family == "m3cnf":
        rng = random.Random(args.seed)
        expect = "unknown"
        body = m3cnf(rng, args.vars, args.clauses if args.clauses else args.n, args.depth)
        header = "// m3cnf vars=%d clauses=%d depth=%d seed=%d" % (
            args.vars, args.clauses if args.clauses else args.n, args.depth, args.seed)
    else:
        expect = "UNSATISFIABLE" if args.version == "p" else "SATISFIABLE"
        body = globals()[args.family](args.version, args.n)
        header = "// %s %s n=%d" % (args.family, args.version, args.n)
    out = sys.stdout
    out.write("// expect: %s\n%s\nbegin\n%s\nend\n" % (expect, header, body))


if __name__ == "__main__":
    main()
