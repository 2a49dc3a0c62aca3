"""Independent S5 semantics for the tests: a brute-force evaluator over all
models of a few atoms, random formulas and a hard formula.

An S5 model is, up to equivalence, a set S of valuations (its worlds) and an
actual world in S. A valuation of atoms A is an int, bit i for A[i]; the
truth set of a formula in S is the bit mask of the worlds of S where it
holds, so every formula is evaluated once per S.
"""
import functools
import operator
import os
import random

import tarvel

BINARY = os.environ.get("TARVEL_BIN", os.path.join(os.path.dirname(__file__), "../../build/Tarvel"))


def atoms_of(f):
    found, todo = set(), [f]
    while todo:
        g = todo.pop()
        if g.kind == "atom":
            found.add(g)
        todo.extend(g.operands)
    return sorted(found, key=repr)


def truth(f, atoms, worlds):
    """The mask (over the 2**len(atoms) valuations) of the worlds of the
    world set `worlds` (a mask too) where f holds."""
    kind, ops = f.kind, f.operands
    if kind == "true":
        return worlds
    if kind == "false":
        return 0
    if kind == "atom":
        i = atoms.index(f)
        return sum(1 << v for v in range(1 << len(atoms)) if v >> i & 1) & worlds
    sub = [truth(g, atoms, worlds) for g in ops]
    if kind == "not":
        return worlds & ~sub[0]
    if kind == "box":
        return worlds if sub[0] == worlds else 0
    if kind == "diamond":
        return worlds if sub[0] else 0
    a, b = sub
    return worlds & {"and": a & b, "or": a | b, "implies": ~a | b, "iff": ~(a ^ b)}[kind]


def world_sets(atoms):
    return range(1, 1 << (1 << len(atoms)))


def models(formulas):
    """(atoms, world set, [truth set of each formula]) for every world set."""
    atoms = atoms_of(conj(formulas))
    for worlds in world_sets(atoms):
        yield atoms, worlds, [truth(f, atoms, worlds) for f in formulas]


def conj(formulas):
    return functools.reduce(operator.and_, formulas, tarvel.TRUE)


def satisfiable(f):
    return any(t for _, _, (t,) in models([f]))


def fewest_worlds(f):
    sizes = [bin(w).count("1") for _, w, (t,) in models([f]) if t]
    return min(sizes, default=0)


def entails(premises, conclusion, global_=False):
    for _, worlds, ts in models(list(premises) + [conclusion]):
        *ps, c = ts
        where = worlds
        for p in ps:
            where &= p
        # Globally the premises must hold everywhere and the conclusion fail
        # somewhere; locally both in one world.
        if (where == worlds and c != worlds) if global_ else where & ~c:
            return False
    return True


def holds_in(model, f, world):
    """f in a world of a tarvel.Model, by the evaluator above."""
    atoms = atoms_of(f)
    valuation = lambda w: sum(1 << i for i, a in enumerate(atoms) if a in model[w])
    worlds = 0
    for w in range(len(model)):
        worlds |= 1 << valuation(w)
    return bool(truth(f, atoms, worlds) >> valuation(world) & 1)


KINDS = ["not", "and", "or", "implies", "iff", "box", "diamond"]


def random_formula(rng, atoms, depth):
    if depth == 0 or rng.random() < 0.2:
        return rng.choice(atoms + [tarvel.TRUE, tarvel.FALSE] if rng.random() < 0.1 else atoms)
    kind = rng.choice(KINDS)
    sub = lambda: random_formula(rng, atoms, depth - 1)
    return {"not": lambda: ~sub(), "box": lambda: tarvel.box(sub()), "diamond": lambda: tarvel.diamond(sub()),
            "and": lambda: sub() & sub(), "or": lambda: sub() | sub(),
            "implies": lambda: tarvel.implies(sub(), sub()), "iff": lambda: tarvel.iff(sub(), sub())}[kind]()


def random_formulas(seed, count, atoms=(tarvel.atom(1), tarvel.atom(2), tarvel.atom("v3")), depth=4):
    rng = random.Random(seed)
    return [random_formula(rng, list(atoms), depth) for _ in range(count)]


def pigeonhole(pigeons, holes):
    """Every pigeon in a hole, no two in one, as clauses under a Box: hard
    for a resolution-based solver from about a dozen pigeons."""
    p = lambda i, j: tarvel.atom(i * holes + j + 1)
    clauses = [functools.reduce(operator.or_, (p(i, j) for j in range(holes)), tarvel.FALSE) for i in range(pigeons)]
    clauses += [~p(i, j) | ~p(k, j) for j in range(holes) for i in range(pigeons) for k in range(i)]
    return tarvel.box(conj(clauses))

