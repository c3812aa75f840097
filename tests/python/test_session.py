"""vok.Session against vok.solve() on the sequence so far, and the ends of
a session: dropped blocks, directives, a killed evaluation program."""

import os
import random
import signal
from concurrent.futures import ThreadPoolExecutor

import pytest

import vok
from vok._process import session_members
from vok._session import _errors_of

from conftest import sequence_text

CONSTANTS = ["a", "b", "c"]
PREDICATES = [("p", 1), ("q", 1), ("t", 1), ("r", 0), ("s", 0)]


def random_atom(rng, variable=None, names="pqtrs"):
    name, arity = rng.choice([p for p in PREDICATES if p[0] in names])
    sign = "-" if rng.random() < 0.2 else ""
    if arity == 0:
        return sign + name
    return f"{sign}{name}({variable or rng.choice(CONSTANTS)})"


def random_rule(rng):
    """A fact, or a rule whose body speaks of other predicates than its head
    (odd loops through "not" would leave most steps without answer sets),
    or rarely a constraint."""
    kind = rng.random()
    head = random_atom(rng)
    others = "pqtrs".replace(head.lstrip("-")[0], "")
    if kind < 0.7:
        return head + "."
    if kind < 0.8:  # with a variable, safe through the first body atom
        name, first, second = rng.sample("pqt", 3)
        return (f"{random_atom(rng, 'X', name)} :- {first}(X), "
                f"not {random_atom(rng, 'X', second)}.")
    if kind < 0.98:
        body = ", ".join(("not " if rng.random() < 0.5 else "") + random_atom(rng, None, others)
                         for _ in range(rng.randint(1, 2)))
        return f"{head} :- {body}."
    return f":- {random_atom(rng)}, not {random_atom(rng)}."


def random_block(rng):
    """One to three statements; one block in twenty has an error."""
    if rng.random() < 0.05:
        return rng.choice(["p(a,b).", "r(a).", "q(X) :- not p(X).", "p(a"])
    return " ".join(random_rule(rng) for _ in range(rng.randint(1, 3)))


def answer_of(blocks, **options):
    return vok.solve(text=sequence_text(blocks) or "{ }", **options)


def same(step, result):
    assert set(step) == set(result) and len(step) == len(result)
    assert step.satisfiable == result.satisfiable
    if result.goal is not None:
        assert step.goal.holds == result.goal.holds
        assert [i.atom for i in step.goal.instances] == [i.atom for i in result.goal.instances]


@pytest.fixture(scope="module")
def directives():
    """Whether this vok takes the session directives (#undo. and the
    others); they are refused as stray text where it does not."""
    with vok.Session() as session:
        session.add("a.")
        try:
            session.undo()
            return True
        except vok.BlockError:
            return False


def need(directives):
    if not directives:
        pytest.skip("this vok refuses the session directives (#undo. is stray text to it)")


def test_a_long_session_answers_as_one_run_on_the_sequence_so_far(directives):
    """200 updates (an undo among them one time in ten, where vok takes
    it), each step compared with one run on the sequence so far; the runs
    go two at a time beside the session."""
    rng = random.Random(8)
    taken, checks = [], []
    with vok.Session(brave="p(X)") as session, ThreadPoolExecutor(2) as runs:
        checks.append((session.current, runs.submit(answer_of, [], brave="p(X)")))
        while len(checks) <= 200:
            if directives and taken and rng.random() < 0.1:
                step = session.undo()
                taken.pop()
                assert step.directive == "undo"
            else:
                block = random_block(rng)
                try:
                    step = session.add(block)
                except vok.BlockError as dropped:
                    assert dropped.errors and all(e.input == "<stdin>" for e in dropped.errors)
                    with pytest.raises(vok.InputError):
                        answer_of(taken + [block])
                    continue
                taken.append(block)
            assert step.number == len(taken)
            checks.append((step, runs.submit(answer_of, list(taken), brave="p(X)")))
        for step, run in checks:
            same(step, run.result())


def test_changes_are_the_atoms_gained_and_lost(examples):
    with vok.Session(examples / "tv-off.lp") as session:
        assert [str(a) for a in session.current.changes.added] == ["-tv_on", "power_failure",
                                                                    "sleep"]
        step = session.add("-power_failure.")
        assert [str(a) for a in step.changes.added] == ["-power_failure", "tv_on", "watch_tv"]
        assert [str(a) for a in step.changes.removed] == ["-tv_on", "power_failure", "sleep"]
        assert session.add("% nothing but a comment").changes == vok.Changes((), ())


def test_a_dropped_block_changes_nothing_and_the_session_goes_on(examples):
    with vok.Session(examples / "tv-off.lp", explain=True, cautious="tv_on") as session:
        before = session.current
        with pytest.raises(vok.BlockError) as dropped:
            session.add("tv_on(a).\n-tv_on :- .")
        assert dropped.value.line == 1
        assert [str(e) for e in dropped.value.errors][0].startswith("<stdin>: line 1: ")
        assert session.current is before
        step = session.add("-power_failure.")
        assert step.number == 1 and step.goal.holds is True
        assert [str(r.by) for r in step.answer_sets[0].rejected] == ["-power_failure"]
        with pytest.raises(vok.BlockError) as refused:
            session.add("#frob.")
        assert refused.value.messages == [
            "<stdin>: line 6, column 3: unknown directive #frob; update programs know #const "
            "and #show."]


@pytest.mark.parametrize("text", ["a. } { b.", "a. {", '"open', "%* open", "a.\0"])
def test_text_that_would_not_stay_one_block_is_refused_before_sending(text):
    with vok.Session() as session:
        with pytest.raises(ValueError):
            session.add(text)
        assert session.add('s("} {"). % }').number == 1


def test_refused_files_raise_input_error_and_leave_no_process(tmp_path):
    (tmp_path / "bad.lp").write_text("{ a :- }\n")
    with pytest.raises(vok.InputError) as refused:
        vok.Session(tmp_path / "bad.lp")
    assert refused.value.messages[0].startswith(f"{tmp_path / 'bad.lp'}: line 1:")


def test_closing_ends_every_process(examples):
    session = vok.Session(examples / "tv.lp")
    vok_pid = session._channel.process.pid
    assert len(session_members(vok_pid)) >= 3  # vok, rox-clingo, clingo
    session.close()
    assert session_members(vok_pid) == [] and session._channel.process.returncode == 0
    with pytest.raises(vok.SessionError):
        session.add("a.")


@pytest.mark.parametrize("victim", ["vok", "evaluation program", "clingo"])
def test_a_killed_process_raises_and_leaves_no_process(examples, victim):
    with vok.Session(examples / "tv.lp") as session:
        vok_pid = session._channel.process.pid
        evaluation, = [p for p in session_members(vok_pid) if parent(p) == vok_pid]
        clingo, = [p for p in session_members(vok_pid) if parent(p) == evaluation]
        os.kill({"vok": vok_pid, "evaluation program": evaluation, "clingo": clingo}[victim],
                signal.SIGKILL)
        with pytest.raises(vok.SessionError) as ended:
            session.add("a.")
        assert session_members(vok_pid) == []
        if victim != "vok":
            assert ended.value.messages[-1] == "The evaluation program ended during step 1."
        with pytest.raises(vok.SessionError):
            session.add("b.")


def test_dropped_block_messages_come_from_standard_error_without_errors_in_json():
    record = {"Step": 1, "Dropped": {"Input": "<stdin>", "Line": 3}}
    errors = _errors_of(record, ["<stdin>: line 4, column 2: x.", "Aborting."])
    assert errors == [vok.Diagnostic("<stdin>", 4, "column 2: x."),
                      vok.Diagnostic(None, None, "Aborting.")]
    assert [str(e) for e in errors] == ["<stdin>: line 4, column 2: x.", "Aborting."]


def parent(pid):
    with open(f"/proc/{pid}/stat") as stat:
        return int(stat.read().rsplit(")", 1)[1].split()[1])


def test_undo_takes_back_the_newest_update(directives, examples):
    need(directives)
    with vok.Session(examples / "tv-off.lp") as session:
        first = session.add("-power_failure.")
        session.add("power_failure. remote.")
        step = session.undo()
        assert step.directive == "undo" and step.number == 1 and set(step) == set(first)
        assert set(session.undo()) == set(vok.solve(examples / "tv-off.lp"))
        with pytest.raises(vok.BlockError):
            session.undo()
        assert session.add("a.").number == 1


def test_a_saved_sequence_reads_back_as_the_same_answer_sets(directives, examples, tmp_path):
    need(directives)
    saved = tmp_path / "saved.lp"
    with vok.Session(examples / "access.lp") as session:
        session.add("-banned(bob).")
        session.add("staff(carol). -night.")
        session.save(saved)
        current = set(session.current)
        with pytest.raises(vok.BlockError):
            session.save(tmp_path / "no-such-folder" / "x.lp")
    assert set(vok.solve(saved)) == current
    with vok.Session(saved) as again:
        assert set(again.current) == current


def test_brave_and_cautious_questions_answer_for_the_current_step(directives, examples):
    need(directives)
    with vok.Session(examples / "meeting.lp") as session:
        assert session.brave("meeting").holds is True
        cautious = session.cautious("meeting")
        assert cautious.holds is False and str(cautious.witness) == "{-meeting}"
        session.add("staff(ann). staff(bob). -confirmed.")
        asked = session.brave("staff(X)")
        assert [i.bindings["X"] for i in asked.instances] == ["ann", "bob"]
        assert session.cautious("meeting").holds is False
        with pytest.raises(vok.BlockError):
            session.brave("p(")
        assert session.add("confirmed.").number == 2
