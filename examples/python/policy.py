"""Keeps a policy base open in a vok session and applies a stream of
changes to it, printing after each what it did (the atoms it added to the
answer sets and removed from them) and who may use production now (a brave
goal with a variable, answered at every step). A change that vok refuses is
dropped, and the base stays as it was.

    PYTHONPATH=python VOK_BUILD_DIR=build python3 examples/python/policy.py

(or with the package installed, see python/README.md). The output is
policy.expected, which the tests check.
"""

import sys
from pathlib import Path

import vok

CHANGES = [
    ("bob goes on call", "oncall(bob)."),
    ("carol is suspended", "-allowed(carol, repo) :- suspended(carol).  suspended(carol)."),
    ("a change with a typo", "member(dave, dev"),
    ("dave joins the developers", "member(dave, dev)."),
    ("bob's call ends", "-oncall(bob)."),
    ("carol is back", "-suspended(carol)."),
]


def what_it_did(step: vok.Step) -> list[str]:
    """The atoms the step gained (+) and lost (-), in vok's order."""
    changes = step.changes
    return [f"  + {atom}" for atom in changes.added] + [f"  - {atom}" for atom in changes.removed]


def production(step: vok.Step) -> str:
    """Who may use production in some answer set of the step."""
    names = [str(instance.bindings["X"]) for instance in step.goal.instances]
    return "production: " + (", ".join(names) or "nobody")


def main() -> None:
    base = Path(__file__).with_name("policy.lp")
    with vok.Session(base, brave="allowed(X, prod)") as session:
        print(f"base: {session.current.answer_sets[0]}")
        print(production(session.current))
        for what, text in CHANGES:
            print(f"{what}: {text}")
            try:
                step = session.add(text)
            except vok.BlockError as dropped:
                print("  dropped: " + "; ".join(str(e) for e in dropped.errors))
                continue
            print("\n".join(what_it_did(step)))
            print(production(step))


if __name__ == "__main__":
    sys.exit(main())
