"""A knowledge base kept open: vok --session behind vok.Session."""

from __future__ import annotations

import json
import os
import re
import weakref
from typing import Any, Iterable, Union

from ._command import Options, PathLike, command, file_list
from ._errors import BlockError, Diagnostic, InputError, SessionError, diagnostic_of_line
from ._process import Channel
from ._results import Goal, Step, goal_of

_REFUSED = (1, 255)


class Session:
    """``vok --session --json`` on the sequence in ``files``: each update
    added is answered with the answer sets of the whole sequence so far.

    Use it in a ``with`` block, or call :meth:`close`, which ends vok and
    every process it started. ``current`` is the last step taken (step 0:
    the files). A block or directive that vok refuses raises
    :class:`BlockError` and changes nothing; when vok or its evaluation
    program goes away, :class:`SessionError` is raised and the session is
    closed. The options are those of :func:`vok.solve` (a goal here is
    answered at every step); ``timeout`` is how long closing waits for vok
    before it stops it by force.
    """

    def __init__(self, files: Union[PathLike, Iterable[PathLike], None] = None, *,
                 timeout: float = 5.0, **options: Any) -> None:
        self.timeout = timeout
        self._channel = Channel(command(Options(**options), file_list(files), "--session"))
        self._stop = weakref.finalize(self, self._channel.stop, timeout)
        self._closed = False
        try:
            self.current = Step(*self._record(starting=True), ())
        except BaseException:
            self.close()
            raise

    def add(self, text: str) -> Step:
        """Adds ``text``, one update program without its braces, as the
        newest program, and returns the step's answer."""
        _check_block(text)
        self._send("{ " + text + "\n}\n")
        self.current = Step(*self._record(), self.current.answer_sets)
        return self.current

    def undo(self) -> Step:
        """Takes back the newest update; returns the answer for the
        sequence that remains (``directive`` "undo")."""
        self._send("#undo.\n")
        self.current = Step(*self._record(), self.current.answer_sets)
        return self.current

    def save(self, path: PathLike) -> None:
        """Has vok write the sequence so far to ``path`` as an input file,
        which vok.solve() and Session read back."""
        name = os.fspath(path)
        if not name or re.search(r'["\n\r\0]', name):
            raise ValueError(f"vok cannot name the file {name!r} in a directive")
        self._send(f'#save "{name}".\n')
        self._record()

    def brave(self, goal: str) -> Goal:
        """Whether ``goal`` holds in some answer set of the current step
        (with variables: its instances in some answer set)."""
        return self._ask("brave", goal)

    def cautious(self, goal: str) -> Goal:
        """Whether ``goal`` holds in every answer set of the current step
        (with variables: its instances in all)."""
        return self._ask("cautious", goal)

    def close(self) -> None:
        """Ends vok and waits until every process it started is gone."""
        self._closed = True
        self._stop()

    def __enter__(self) -> Session:
        return self

    def __exit__(self, *exception: object) -> None:
        self.close()

    def _ask(self, reasoning: str, goal: str) -> Goal:
        if not goal or re.search(r"[\n\r]", goal):
            raise ValueError(f"a goal is an atom on one line, not {goal!r}")
        self._send(f"#{reasoning} {goal}.\n")
        record, _ = self._record()
        if not isinstance(record.get("Goal"), dict):
            raise self._ended(f"vok answered #{reasoning} without a goal", [])
        return goal_of(record["Goal"])

    def _send(self, text: str) -> None:
        if self._closed:
            raise SessionError("the session is closed")
        if not self._channel.write(text):
            raise self._ended("vok no longer reads its input", self._channel.error_lines())

    def _record(self, starting: bool = False) -> tuple[dict[str, Any], list[str]]:
        """vok's answer to what was sent: a step's record and what vok said
        on standard error with it, or the exception it means."""
        line = self._channel.read_line()
        messages = self._channel.error_lines()
        if line is None:
            raise self._ended("vok ended", messages, starting)
        try:
            record = json.loads(line)
        except ValueError:
            raise self._ended(f"vok answered {line!r}", messages) from None
        if "Dropped" in record:
            raise BlockError(_errors_of(record, messages), record["Dropped"].get("Line"))
        if "Step" not in record or record.get("Result") == "UNKNOWN":
            # vok answers a step its evaluation program did not finish,
            # and then ends.
            raise self._ended("the evaluation program ended", messages)
        return record, messages

    def _ended(self, summary: str, messages: list[str], starting: bool = False) -> Exception:
        """Closes the session that vok ended, with what it said last."""
        status = self._channel.finish(self.timeout)
        messages = messages + self._channel.error_lines()
        self.close()
        if starting and status in _REFUSED:
            return InputError("vok refused the input", messages, status)
        return SessionError(summary, messages, status)


def _errors_of(record: dict[str, Any], messages: list[str]) -> list[Diagnostic]:
    """The diagnostics of a dropped block: the record's own "Errors", or
    the lines vok wrote on standard error for it."""
    if isinstance(record.get("Errors"), list):
        return [Diagnostic(e.get("Input"), e.get("Line"), e.get("Message", ""))
                for e in record["Errors"]]
    return [diagnostic_of_line(m) for m in messages]


def _check_block(text: str) -> None:
    """Refuses text that would not stay one block: vok's reader ends a
    block at the first "}" outside strings and comments, so a brace, an
    unclosed string or block comment (which would swallow the closing
    brace) or a NUL byte would make vok read another block than the one
    sent."""
    pos = 0
    while pos < len(text):
        c = text[pos]
        if c == "\0":
            raise ValueError("a block holds no NUL byte")
        if text.startswith("%*", pos):
            end = text.find("*%", pos + 2)
            if end < 0:
                raise ValueError("the block comment is not closed")
            pos = end + 2
        elif c == "%":
            end = text.find("\n", pos)
            pos = len(text) if end < 0 else end
        elif c == '"':
            end = text.find('"', pos + 1)
            if end < 0:
                raise ValueError("the string is not closed")
            pos = end + 1
        elif c in "{}":
            raise ValueError(f"the text of a block holds no {c!r}: Session.add writes the braces")
        else:
            pos += 1
