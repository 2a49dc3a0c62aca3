"""The Python API call by call, on small formulas, against the brute-force
evaluator in s5.py and the command line."""
import copy
import os

import pytest

import s5
import tarvel
from tarvel import atom, box, diamond, iff, implies

p, q, r = atom(1), atom("q"), atom(2)


def test_the_example_runs_and_means_what_it_says(capsys):
    p, q = tarvel.atom(1), tarvel.atom("q")
    f = tarvel.box(tarvel.implies(p, q)) & tarvel.diamond(p) & ~q & tarvel.iff(p, p) & (tarvel.TRUE | tarvel.FALSE)
    s = tarvel.Solver()
    s.add(f)
    assert s.check() == tarvel.SAT           # also tarvel.UNSAT, tarvel.UNKNOWN
    m = s.model()
    assert m.holds(f) and m.holds(f, world=0)
    worlds = len(m); true_atoms = m[1]       # a set of atoms
    print(m.to_dot())
    r = s.check(assumptions=[p, ~q])
    core = s.core(); small = s.core(minimal=True)   # after UNSAT under assumptions
    k = s.fewest_worlds()                    # search="ascending" | "descending" | "halving" | "maxsat"
    with s.scope():                          # push ... pop
        s.add(~p)
    s.time_limit = 1.5                       # seconds per check, then tarvel.UNKNOWN
    assert tarvel.valid(tarvel.implies(tarvel.box(p), p))
    cm = tarvel.countermodel(tarvel.implies(p, tarvel.box(p)))   # a Model, or None when valid
    assert tarvel.entails([tarvel.box(p)], p) and tarvel.satisfiable(p)
    assert tarvel.entails([tarvel.box(p)], p, global_=True)
    with pytest.raises(tarvel.ParseError) as error:
        tarvel.parse("[r1]p1 & <r1>~p1)")
    assert isinstance(error.value, ValueError) and (error.value.line, error.value.column) == (1, 17)
    g = tarvel.parse("[r1]p1 & <r1>~p1")

    # What the comments promise: p holds somewhere, always with q; the actual
    # world has no q, so no p either.
    assert worlds >= 2 and isinstance(true_atoms, frozenset) and not m[0] & {p, q}
    assert any(p in w for w in m) and all(q in w for w in m if p in w)
    assert capsys.readouterr().out.count("[label=") == worlds
    assert r == tarvel.UNSAT and set(small) <= set(core) <= {p, ~q} and small
    assert k == s5.fewest_worlds(f) == 2 and len(s.model()) == 2
    assert s.scopes == 0 and s.check() == tarvel.SAT and s.time_limit == 1.5
    assert not s5.holds_in(cm, implies(p, box(p)), 0) and tarvel.countermodel(implies(box(p), p)) is None
    assert g == box(p) & diamond(~p) and not tarvel.satisfiable(g)


def test_equality_is_structural_and_returns_bool():
    table = [(p, atom(1), True), (p, q, False), (p & q, atom(1) & atom("q"), True), (p & q, q & p, False),
             (atom(3), atom("3"), False), (tarvel.TRUE, ~tarvel.FALSE, False), (p, 1, False), (p, "p1", False)]
    for a, b, same in table:
        assert (a == b) is same and (a != b) is (not same)
        if isinstance(b, tarvel.Formula) and same:
            assert hash(a) == hash(b)
    assert len({p, atom(1), q, atom("q"), p & q, atom(1) & q}) == 3
    assert copy.deepcopy(p & q) == p & q


def test_text_forms():
    for f in [box(implies(p, r)) & diamond(p) & ~r & iff(p, p) & (tarvel.TRUE | tarvel.FALSE),
              atom("v7") | ~atom(0), tarvel.parse("begin [r1]p1 -> <r1>(p2 <-> ~v3) end")]:
        assert tarvel.parse(str(f)) == f
    table = [(atom("p1"), "<Formula atom('p1')>"), (box(implies(p, q)) & ~q, "<Formula [](p1 -> q) & ~q>"),
             (p & (q & r), "<Formula p1 & (q & p2)>"), ((p & q) & r, "<Formula p1 & q & p2>")]
    for f, text in table:
        assert repr(f) == text


@pytest.mark.parametrize("text, line, column", [
    ("p1 & )", 1, 6), ("p1 &\n  ) p2", 2, 3), ("(p1", 1, 4), ("begin p1 end end", 1, 14), ("p1 @ p2", 1, 4)])
def test_parse_errors_say_where(text, line, column):
    with pytest.raises(tarvel.ParseError) as error:
        tarvel.parse(text)
    assert (error.value.line, error.value.column) == (line, column) and str(error.value)


def test_wrong_types_and_wrong_states_raise():
    s, sat = tarvel.Solver(), tarvel.Solver()
    sat.add(p)
    sat.check()
    m = sat.model()
    table = [(TypeError, lambda: p & 1), (TypeError, lambda: True | p), (TypeError, lambda: box("p1")),
             (TypeError, lambda: implies(p, True)), (TypeError, lambda: atom(1.5)), (TypeError, lambda: atom(True)),
             (TypeError, lambda: atom(None)), (TypeError, lambda: bool(p)), (TypeError, lambda: p and q),
             (TypeError, lambda: s.add("p1")), (TypeError, lambda: s.add([p])), (TypeError, lambda: s.check(p)),
             (TypeError, lambda: s.check([p, 1])), (TypeError, lambda: tarvel.entails(p, q)),
             (TypeError, lambda: m.holds("p1")), (TypeError, lambda: m["0"]), (TypeError, lambda: tarvel.parse(1)),
             (TypeError, lambda: tarvel.Formula()), (TypeError, lambda: tarvel.valid(None)),
             (TypeError, lambda: setattr(s, "time_limit", "1")), (ValueError, lambda: atom(-1)), (ValueError, lambda: atom("")), (ValueError, lambda: atom(2**31)),
             (ValueError, lambda: s.fewest_worlds("fast")), (ValueError, lambda: m.value(p & q)),
             (RuntimeError, lambda: s.model()), (RuntimeError, lambda: s.core()), (RuntimeError, lambda: s.pop()),
             (RuntimeError, lambda: sat.core()), (IndexError, lambda: m[len(m)]),
             (IndexError, lambda: m.holds(p, world=-len(m) - 1))]
    for error, call in table:
        with pytest.raises(error):
            call()


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


@pytest.mark.parametrize("seed", range(3))
def test_solver_agrees_with_brute_force_and_the_command_line(seed):
    fs = s5.random_formulas(100 + seed, 8)
    s = tarvel.Solver()
    for f in fs:
        with s.scope():
            s.add(f)
            verdict = s.check()
            assert (verdict == tarvel.SAT) == s5.satisfiable(f) == s5.cli_satisfiable(f)
            if verdict == tarvel.SAT:
                m = s.model()
                assert m.holds(f) and s5.holds_in(m, f, 0)
                for w in range(len(m)):
                    for g in fs:
                        assert m.holds(g, world=w) == s5.holds_in(m, g, w)
                    assert m[w] == {a for a in m.atoms() if m.value(a, w)} == set(m.true_atoms(w))
    assert s.statistics()["checks"] == len(fs) and s.scopes == 0


def test_incremental_adds_assumptions_and_cores():
    fs = s5.random_formulas(7, 20)
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
            assert all(s5.holds_in(s.model(), g, 0) for g in added + assumptions)
        if s5.satisfiable(s5.conj(added + [f])):
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
