"""What a run or a session step answers, read from vok's JSON."""

from __future__ import annotations

from dataclasses import dataclass, field
from typing import Any, Iterator, Mapping, Optional, Sequence, Union

from ._atoms import Atom, Term, parse_atom, parse_term


@dataclass(frozen=True)
class Rejection:
    """A rule instance that a newer program overrode (``--explain``): rule
    ``rule`` of program ``program`` (both from 0), read at ``file``:``line``
    as ``text``, with its variables bound as ``bindings``, rejected by the
    literal ``by`` of program ``by_program``."""

    program: int
    rule: int
    file: str
    line: int
    text: str
    bindings: Mapping[str, Term] = field(hash=False)
    by: Atom
    by_program: Optional[int]


class AnswerSet:
    """One answer set: a set of atoms in vok's order, as clingo's ``Model``.

    Iterating, ``len`` and ``in`` work on its atoms (``in`` and ``contains``
    take an :class:`Atom` or its text); ``symbols()`` lists them;
    ``rejected`` holds the rules it rejects when ``explain`` was asked for;
    ``str()`` is vok's text line ``{a, b}``. ``number`` counts from 1 in
    the order vok printed the answer sets.
    """

    __slots__ = ("number", "rejected", "_atoms", "_set")

    def __init__(self, atoms: Sequence[Atom], rejected: Sequence[Rejection] = (),
                 number: int = 0) -> None:
        self.number = number
        self.rejected = tuple(rejected)
        self._atoms = tuple(atoms)
        self._set = frozenset(self._atoms)

    def symbols(self) -> list[Atom]:
        """Its atoms in vok's order (byte order of their text)."""
        return list(self._atoms)

    def contains(self, atom: Union[Atom, str]) -> bool:
        """Whether it holds ``atom`` (an Atom, or its text)."""
        return (parse_atom(atom) if isinstance(atom, str) else atom) in self._set

    def __contains__(self, atom: object) -> bool:
        return isinstance(atom, (Atom, str)) and self.contains(atom)

    def __iter__(self) -> Iterator[Atom]:
        return iter(self._atoms)

    def __len__(self) -> int:
        return len(self._atoms)

    @property
    def atoms(self) -> frozenset[Atom]:
        """Its atoms as a frozenset, for set operations."""
        return self._set

    def __eq__(self, other: object) -> bool:
        return isinstance(other, AnswerSet) and other._set == self._set

    def __hash__(self) -> int:
        return hash(self._set)

    def __str__(self) -> str:
        return "{" + ", ".join(str(a) for a in self._atoms) + "}"

    def __repr__(self) -> str:
        return f"<AnswerSet {self}>"


@dataclass(frozen=True)
class Instance:
    """An atom that matches a goal with variables, with the values of its
    variables and (brave reasoning) the answer set that first held it."""

    atom: Atom
    bindings: Mapping[str, Term] = field(hash=False)
    witness: Optional[AnswerSet]


@dataclass(frozen=True)
class Goal:
    """The verdict on a brave or cautious goal.

    ``holds`` is None when the run failed. A ground goal has a ``witness``
    (brave: an answer set holding it; cautious: one lacking it; None when
    there is none) and ``instances`` None; a goal with variables has its
    ``instances`` (brave: in some answer set; cautious: in all), each with
    its witness, and ``witnesses`` lists those answer sets once each.
    """

    atom: str
    reasoning: str
    holds: Optional[bool]
    witness: Optional[AnswerSet]
    instances: Optional[tuple[Instance, ...]]
    witnesses: tuple[AnswerSet, ...]


@dataclass(frozen=True)
class Changes:
    """What a step changed: the atoms now in some answer set that were in
    none before (``added``), the reverse (``removed``), both sorted as vok
    sorts atoms. With one answer set before and after, simply the atoms it
    gained and lost."""

    added: tuple[Atom, ...]
    removed: tuple[Atom, ...]

    @staticmethod
    def between(before: Sequence[AnswerSet], after: Sequence[AnswerSet]) -> Changes:
        old = frozenset().union(*(a.atoms for a in before))
        new = frozenset().union(*(a.atoms for a in after))
        return Changes(tuple(sorted(new - old)), tuple(sorted(old - new)))


class Result:
    """The answer of one run: iterable over its answer sets.

    ``satisfiable`` is True or False, or None when solving did not finish
    (``error`` says why); ``more`` whether more answer sets than those
    listed may exist (None where vok does not say); ``statistics`` the
    figures of ``--stats`` as vok's JSON names them (Calls, Time, Models,
    Candidates, Program), when asked; ``goal`` the verdict on a goal;
    ``messages`` what vok said on standard error that was no failure (such
    as a notice that a limit stopped the search).
    """

    def __init__(self, document: Mapping[str, Any], messages: Sequence[str] = ()) -> None:
        calls = document.get("Call") or [{}]
        witnesses = calls[0].get("Witnesses", [])
        self.answer_sets = tuple(_answer_set(w, n + 1) for n, w in enumerate(witnesses))
        outcome = document.get("Result")
        self.satisfiable: Optional[bool] = {"SATISFIABLE": True,
                                            "UNSATISFIABLE": False}.get(outcome)
        self.error: Optional[str] = document.get("Error")
        models = document.get("Models", {})
        self.more: Optional[bool] = {"yes": True, "no": False}.get(models.get("More"))
        self.statistics: Optional[dict[str, Any]] = _statistics(document)
        goal = document.get("Goal")
        self.goal: Optional[Goal] = goal_of(goal) if goal else None
        self.messages = list(messages)

    @property
    def unsatisfiable(self) -> bool:
        """True when solving finished without an answer set."""
        return self.satisfiable is False

    @property
    def rejected(self) -> list[tuple[Rejection, ...]]:
        """Per answer set, the rules it rejects (with ``explain``)."""
        return [a.rejected for a in self.answer_sets]

    def __iter__(self) -> Iterator[AnswerSet]:
        return iter(self.answer_sets)

    def __len__(self) -> int:
        return len(self.answer_sets)

    def __repr__(self) -> str:
        return f"<{type(self).__name__} satisfiable={self.satisfiable} answer_sets={len(self)}>"


class Step(Result):
    """The answer of a session step: the :class:`Result` of the whole
    sequence so far, with ``number`` (the step's number, 0 for the files),
    ``directive`` ("undo" for an undo, else None) and ``changes``, what it
    changed against the step before (computed when asked)."""

    def __init__(self, record: Mapping[str, Any], messages: Sequence[str],
                 previous: Sequence[AnswerSet]) -> None:
        super().__init__(record, messages)
        self.number: int = record["Step"]
        self.directive: Optional[str] = record.get("Directive")
        self._previous = previous
        self._changes: Optional[Changes] = None

    @property
    def changes(self) -> Changes:
        """The atoms this step added to and removed from the answer sets."""
        if self._changes is None:
            self._changes = Changes.between(self._previous, self.answer_sets)
            self._previous = ()
        return self._changes


def _answer_set(witness: Mapping[str, Any], number: int = 0) -> AnswerSet:
    atoms = [parse_atom(text) for text in witness["Value"]]
    rejected = [_rejection(r) for r in witness.get("Rejected", [])]
    return AnswerSet(atoms, rejected, number)


def _rejection(record: Mapping[str, Any]) -> Rejection:
    return Rejection(record["Program"], record["Rule"], record["File"], record["Line"],
                     record["Text"], _bindings(record.get("Bindings", {})),
                     parse_atom(record["By"]), record.get("ByProgram"))


def _bindings(record: Mapping[str, str]) -> dict[str, Term]:
    return {name: parse_term(value) for name, value in record.items()}


_FIGURES = ("Models", "Calls", "Time", "Candidates", "Program")


def _statistics(document: Mapping[str, Any]) -> Optional[dict[str, Any]]:
    """The figures of --stats; None without them (a session, or a run
    without statistics)."""
    if "Calls" not in document:
        return None
    return {name: document[name] for name in _FIGURES if name in document}


def goal_of(record: Mapping[str, Any]) -> Goal:
    witnesses = tuple(_answer_set(w, n + 1) for n, w in enumerate(record.get("Witnesses", [])))
    instances = None
    if "Instances" in record:
        instances = tuple(_instance(i, witnesses) for i in record["Instances"])
    witness = None
    if record.get("Witness") is not None:
        witness = _answer_set({"Value": record["Witness"],
                               "Rejected": record.get("Rejected", [])})
    return Goal(record["Atom"], record["Reasoning"], record.get("Holds"), witness, instances,
                witnesses)


def _instance(record: Mapping[str, Any], witnesses: Sequence[AnswerSet]) -> Instance:
    position = record.get("Witness")
    witness = witnesses[position] if isinstance(position, int) else None
    return Instance(parse_atom(record["Atom"]), _bindings(record.get("Bindings", {})), witness)
