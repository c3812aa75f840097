"""vok.solve() on the examples and on inputs that fail, against what the
examples' headers and vok's text output say."""

import os
import shutil
import stat

import pytest

import vok


def sets(result):
    return [str(a) for a in result]


def test_examples_give_the_answer_sets_their_headers_show(examples):
    result = vok.solve(examples / "access.lp")
    assert sets(result) == ["{-allowed(ann), banned(bob), night, staff(ann), staff(bob)}"]
    assert result.satisfiable is True and result.more is False
    assert result.statistics["Calls"] == 1 and result.statistics["Models"]["Number"] == 1
    assert sets(vok.solve(examples / "meeting.lp")) == ["{-meeting}", "{confirmed, meeting}"]
    assert sets(vok.solve(examples / "meeting.lp", minimal="min")) == ["{confirmed, meeting}"]
    assert sets(vok.solve(examples / "network.lp", minimal="strict")) == \
        ["{-printer_ok, network_ok}"]
    # several files are one sequence, the text read after them
    both = vok.solve([examples / "tv-off.lp"], text="{ -power_failure. }")
    assert sets(both) == sets(vok.solve(examples / "tv.lp"))


def test_unsatisfiable_and_limited_runs():
    none = vok.solve(text="{ a. }\n{ -a. }\n{ :- -a. }")
    assert none.satisfiable is False and none.unsatisfiable and list(none) == []
    two = "{ a :- not b. b :- not a. }"
    limited = vok.solve(text=two, models=1)
    assert len(limited) == 1 and limited.more is True
    assert vok.solve(text=two, models=2).more is False


def test_ground_goals_give_verdict_and_witness(examples):
    brave = vok.solve(examples / "tv.lp", brave="watch_tv").goal
    assert brave.holds is True and brave.reasoning == "brave" and brave.instances is None
    assert str(brave.witness) == "{-power_failure, tv_on, watch_tv}"
    cautious = vok.solve(examples / "meeting.lp", cautious="meeting").goal
    assert cautious.holds is False and str(cautious.witness) == "{-meeting}"
    assert vok.solve(examples / "meeting.lp", cautious="meeting", minimal="min").goal.holds


def test_goals_with_variables_give_instances_and_bindings(examples):
    goal = vok.solve(examples / "access.lp", brave="staff(X)").goal
    assert [str(i.atom) for i in goal.instances] == ["staff(ann)", "staff(bob)"]
    assert [i.bindings for i in goal.instances] == [{"X": "ann"}, {"X": "bob"}]
    assert all(i.witness is goal.witnesses[0] for i in goal.instances)
    none = vok.solve(examples / "access.lp", cautious="allowed(X)").goal
    assert none.holds is False and none.instances == ()
    with pytest.raises(vok.InputError) as refused:
        vok.solve(examples / "access.lp", brave="allowed(X")
    assert refused.value.messages[0] == "Invalid goal: allowed(X."


def test_show_and_explain(examples):
    shown = vok.solve(examples / "doors.lp", show=["open/1"], brave="key_found")
    assert shown.goal.holds and all(a.match("open", 1) for s in shown for a in s)
    explained = vok.solve(examples / "tv.lp", explain=True)
    (rejection,), = explained.rejected
    assert (rejection.program, rejection.rule, rejection.line, rejection.text) == \
        (1, 1, 46, "power_failure.")
    assert str(rejection.by) == "-power_failure" and rejection.by_program == 2
    with_vars = vok.solve(examples / "access.lp", explain=True).answer_sets[0].rejected
    assert [(r.bindings, str(r.by)) for r in with_vars] == [({"X": "ann"}, "-allowed(ann)")]


def test_refused_input_raises_input_error_with_the_diagnostics(tmp_path):
    (tmp_path / "bad.lp").write_text("{ a.\n  b :- . c( }\n")
    with pytest.raises(vok.InputError) as refused:
        vok.solve(tmp_path / "bad.lp")
    assert refused.value.status == 1
    assert refused.value.messages[0].startswith(f"{tmp_path / 'bad.lp'}: line 2:")
    with pytest.raises(vok.InputError) as missing:
        vok.solve(tmp_path / "none.lp")
    assert "can't open input" in missing.value.messages[0]
    with pytest.raises(vok.InputError):
        vok.solve(text="{ a. }", options=["--no-such-option"])
    for wrong in [dict(minimal="least"), dict(brave="a", cautious="b"), dict(models=-1),
                  dict(brave="a\nb")]:
        with pytest.raises(ValueError):
            vok.solve(text="{ a. }", **wrong)
    with pytest.raises(ValueError):
        vok.solve()


def test_failing_evaluation_program_raises_solve_error(tmp_path):
    fake = tmp_path / "fake"
    fake.write_text("#!/bin/sh\nprintf '{a}\\n'\necho 'fake: clingo crashed' >&2\nexit 7\n")
    fake.chmod(fake.stat().st_mode | stat.S_IXUSR)
    with pytest.raises(vok.SolveError) as failed:
        vok.solve(text="{ a. }", program=fake)
    assert failed.value.status == 7 and "fake: clingo crashed" in failed.value.messages
    assert failed.value.result.satisfiable is None and len(failed.value.result) == 1


PIGEONS = """{ p(1..11). h(1..10).
  in(P,H) :- p(P), h(H), not out(P,H).
  out(P,H) :- p(P), h(H), not in(P,H).
  has(P) :- in(P,H).
  :- p(P), not has(P).
  :- in(P,H), in(Q,H), P < Q.
  :- in(P,H), in(P,G), H < G. }"""


def test_time_limit_gives_an_unknown_result():
    # eleven pigeons in ten holes: no answer set, found only after long
    result = vok.solve(text=PIGEONS, time_limit=1)
    assert result.satisfiable is None and result.more is True and list(result) == []
    assert "time limit of 1 s" in result.error


def test_binaries_are_found_in_the_build_folder_given_or_in_path(tmp_path, monkeypatch,
                                                                 examples):
    build = os.environ["VOK_BUILD_DIR"]
    monkeypatch.delenv("VOK_BUILD_DIR")
    clingo = os.path.dirname(shutil.which("clingo"))
    monkeypatch.setenv("PATH", build + os.pathsep + clingo)
    assert vok.solve(examples / "tv.lp").satisfiable
    monkeypatch.setenv("PATH", clingo)
    assert vok.solve(examples / "tv.lp", build_dir=build).satisfiable
    with pytest.raises(FileNotFoundError):
        vok.solve(examples / "tv.lp")
    with pytest.raises(FileNotFoundError):
        vok.solve(examples / "tv.lp", build_dir=tmp_path)
