"""Checks without the GIL: solvers in threads, interrupt(), the time limit,
and Ctrl-C in a child process stuck in a long check."""
import signal
import subprocess
import sys
import threading

import s5
import tarvel

HARD = s5.pigeonhole(12, 11)


def test_two_solvers_in_two_threads_are_both_right():
    batches = [s5.random_formulas(seed, 25) for seed in (21, 22)]
    answers = [None, None]

    def run(i):
        s = tarvel.Solver()
        answers[i] = []
        for f in batches[i]:
            with s.scope():
                s.add(f)
                answers[i].append(s.check() == tarvel.SAT)

    threads = [threading.Thread(target=run, args=(i,)) for i in (0, 1)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert answers == [[s5.satisfiable(f) for f in batch] for batch in batches]


def test_a_second_thread_gets_an_error_not_a_race():
    s = tarvel.Solver()
    s.add(HARD)
    outcome = []
    checking = threading.Thread(target=lambda: outcome.append(s.check()))
    checking.start()
    refused = []
    while checking.is_alive() and not refused:
        try:
            s.add(tarvel.atom(1))
        except RuntimeError:
            refused.append(True)
    while checking.is_alive():  # an interrupt before the check began is lost
        s.interrupt()
        checking.join(0.05)
    assert refused and outcome == [tarvel.UNKNOWN]


def test_the_time_limit_answers_unknown_and_the_solver_stays_usable():
    s = tarvel.Solver()
    s.add(tarvel.atom(1))
    s.time_limit = 0.5
    assert s.time_limit == 0.5
    with s.scope():
        s.add(HARD)
        assert s.check() == tarvel.UNKNOWN and s.fewest_worlds() is None
    assert s.check() == tarvel.SAT and s.model().value(tarvel.atom(1))
    s.time_limit = None
    assert s.time_limit == 0


CHILD = """
import sys, time
sys.path[:0] = %r
import s5, tarvel
s = tarvel.Solver()
s.add(tarvel.atom(1))
s.push()
s.add(s5.pigeonhole(12, 11))
print("checking", flush=True)
try:
    s.check()
    print("answered")
except KeyboardInterrupt:
    s.pop()
    print("interrupted", s.check(), flush=True)
"""


def test_ctrl_c_stops_a_check_with_keyboard_interrupt_and_the_solver_answers_after():
    child = subprocess.Popen([sys.executable, "-c", CHILD % sys.path], stdout=subprocess.PIPE, text=True)
    assert child.stdout.readline() == "checking\n"
    threading.Event().wait(1.0)  # let the check get going
    child.send_signal(signal.SIGINT)
    out, _ = child.communicate(timeout=120)
    assert out == "interrupted Result.SAT\n" and child.returncode == 0
