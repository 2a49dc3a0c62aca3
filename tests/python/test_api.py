"""The Python API call by call, on small formulas, against the brute-force
evaluator in s5.py."""
import builtins
import copy
import os
import pathlib

import pytest

import s5
import tarvel
from tarvel import atom, box, diamond, implies

p, q, r = atom(1), atom("q"), atom(2)
ERRORS = pathlib.Path(__file__).parent / "../data/python-errors.txt"


# docs/python.md shows models, scopes, the time limit and a parse error's
# type and position, and test_docs checks what it shows.
def test_a_parse_error_carries_its_message():
    with pytest.raises(tarvel.ParseError, match=r"^At line 1: syntax error--\)$"):
        tarvel.parse("[r1]p1 & <r1>~p1)")


@pytest.mark.parametrize("a, b, same", [
    (p, atom(1), True), (p, q, False), (p & q, atom(1) & atom("q"), True), (p & q, q & p, False),
    (atom(3), atom("3"), False), (tarvel.TRUE, ~tarvel.FALSE, False), (p, 1, False), (p, "p1", False)])
def test_equality_is_structural_and_returns_bool(a, b, same):
    assert (a == b) is same and (a != b) is (not same)


def test_hashes_and_copies_follow_equality():
    assert len({p, atom(1), q, atom("q"), p & q, atom(1) & q}) == 3 and copy.deepcopy(p & q) == p & q


# str() and parse() are the library's, whose round trip the C++ tests check.
@pytest.mark.parametrize("f, text", [
    (atom("p1"), "<Formula atom('p1')>"), (box(implies(p, q)) & ~q, "<Formula [](p1 -> q) & ~q>"),
    (p & (q & r), "<Formula p1 & (q & p2)>"), ((p & q) & r, "<Formula p1 & q & p2>")])
def test_repr(f, text):
    assert repr(f) == text


@pytest.mark.parametrize("error, call", [line.split(" ", 1) for line in ERRORS.read_text().splitlines()
                                         if line and not line.startswith("#")])
def test_wrong_types_values_and_states_raise(error, call):
    s, sat = tarvel.Solver(), tarvel.Solver()
    sat.add(p)
    sat.check()
    m = sat.model()
    with pytest.raises(getattr(builtins, error)):
        eval(call)


@pytest.mark.parametrize("seed", range(4))
def test_shortcuts_agree_with_brute_force(seed):
    fs = s5.random_formulas(seed, 12)
    for f, g in zip(fs, fs[1:]):
        assert tarvel.satisfiable(f) == s5.satisfiable(f)
        assert tarvel.valid(f) == (not s5.satisfiable(~f))
        cm = tarvel.countermodel(f)
        assert (cm is None) == (not s5.satisfiable(~f)) and (cm is None or not s5.holds_in(cm, f, 0))
        for global_ in (False, True):
            assert tarvel.entails([f, g], fs[0], global_) == s5.entails([f, g], fs[0], global_)
            assert tarvel.entails([f], g, global_=global_) == s5.entails([f], g, global_)


# The command line's verdicts and the library's call sequences are checked
# against brute force in C++; here what goes through the binding: adds,
# assumptions, cores, scopes and every view of a model.
@pytest.mark.parametrize("seed", range(3))
def test_solver_agrees_with_brute_force(seed):
    fs = s5.random_formulas(100 + seed, 12)
    s, added = tarvel.Solver(), []
    for i, f in enumerate(fs):
        assumptions = fs[i + 1:i + 4]
        verdict = s.check(assumptions)
        assert (verdict == tarvel.SAT) == s5.satisfiable(s5.conj(added + assumptions))
        if verdict == tarvel.UNSAT:
            core, small = s.core(), s.core(minimal=True)
            assert set(small) <= set(core) <= set(assumptions)
            assert not s5.satisfiable(s5.conj(added + small))
            assert all(s5.satisfiable(s5.conj(added + [a for a in small if a != b])) for b in small)
        else:
            m = s.model()
            assert all(m.holds(g) and s5.holds_in(m, g, 0) for g in added + assumptions)
            for w in range(len(m)):
                assert all(m.holds(g, world=w) == s5.holds_in(m, g, w) for g in fs)
                assert m[w] == {a for a in m.atoms() if m.value(a, w)} == set(m.true_atoms(w))
        with s.scope():
            s.add(f)
            checks = s.statistics()["checks"]
            fits = s.check() == tarvel.SAT
        assert fits == s5.satisfiable(s5.conj(added + [f])) and s.statistics()["checks"] == checks + 1
        if fits:
            s.add(f)
            added.append(f)


@pytest.mark.parametrize("search", ["ascending", "descending", "halving", "maxsat"])
def test_fewest_worlds_is_the_brute_force_minimum(search):
    s = tarvel.Solver()
    script = os.path.join(os.path.dirname(s5.BINARY), "starexec_run_A")
    if os.path.exists(script):
        s.set_maxsat_script(script)
    cases = [diamond(p) & diamond(~p), diamond(p & r) & diamond(p & ~r) & diamond(~p), p & ~p, tarvel.TRUE]
    for f in cases + s5.random_formulas(9, 4):
        with s.scope():
            s.add(f)
            k = s.fewest_worlds(search)
            assert k == s5.fewest_worlds(f)
            if k:
                assert len(s.model()) == k and s5.holds_in(s.model(), f, 0)


def test_dot_draws_each_world_and_states_the_relation_once():
    s = tarvel.Solver()
    s.add(diamond(p & q) & diamond(~p) & atom("say \"hi\""))
    assert s.fewest_worlds() == 2
    dot = s.model().to_dot()
    assert dot.count("[label=") == 2 and dot.count("peripheries=2") == 1 and "--" not in dot
    assert "every world sees every world" in dot and '\\"hi\\"' in dot and "actual" in dot


def test_deep_nesting_is_no_crash():
    f = p
    for _ in range(100000):
        f = ~box(f)
    g = tarvel.parse(str(f))
    assert g == f and hash(g) == hash(f) and repr(f).endswith("p1>") and tarvel.satisfiable(f)
    del f, g
