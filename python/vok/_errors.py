"""The exceptions of the package, and vok's diagnostics they carry."""

from __future__ import annotations

import re
from dataclasses import dataclass
from typing import Optional, Sequence


@dataclass(frozen=True)
class Diagnostic:
    """One message of vok about its input: where (``input``, ``line``; None
    when the message names no place) and what."""

    input: Optional[str]
    line: Optional[int]
    message: str

    def __str__(self) -> str:
        """The message as vok writes it on standard error."""
        if self.input is None:
            return self.message
        # a message that begins with its column continues the place
        joint = ", " if self.message.startswith("column ") else ": "
        return f"{self.input}: line {self.line}{joint}{self.message}"


_PLACED = re.compile(r"^(.*?): line (\d+)(?:: |, (?=column ))(.*)$")


def diagnostic_of_line(line: str) -> Diagnostic:
    """A line of vok's standard error read as a diagnostic (a column, when
    named, begins the message, as in vok's JSON)."""
    placed = _PLACED.match(line)
    if placed is None:
        return Diagnostic(None, None, line)
    return Diagnostic(placed.group(1), int(placed.group(2)), placed.group(3))


class VokError(Exception):
    """vok refused something or failed. ``messages`` are its diagnostics as
    it printed them on standard error; ``status`` its exit status, when it
    ended."""

    def __init__(self, summary: str, messages: Sequence[str] = (),
                 status: Optional[int] = None) -> None:
        self.messages = list(messages)
        self.status = status
        detail = "".join(f"\n  {m}" for m in self.messages)
        super().__init__(summary + detail)


class InputError(VokError):
    """vok refused the input or the command line before solving: a syntax
    error, an unsafe rule, a file that cannot be read, an invalid goal."""


class SolveError(VokError):
    """The evaluation program failed, or did not finish for another reason
    than a time limit. ``result`` holds what the run had found."""

    def __init__(self, summary: str, messages: Sequence[str] = (),
                 status: Optional[int] = None, result: object = None) -> None:
        super().__init__(summary, messages, status)
        self.result = result


class SessionError(VokError):
    """The session ended: vok or its evaluation program went away (the
    session's processes are stopped), or it was closed."""


class BlockError(VokError):
    """A block (or a directive) that vok refused and dropped; the session
    goes on as before it. ``errors`` are its diagnostics, ``line`` the line
    of the session's input where it began."""

    def __init__(self, errors: Sequence[Diagnostic], line: Optional[int]) -> None:
        self.errors = list(errors)
        self.line = line
        super().__init__(f"vok dropped the block of line {line}", [str(e) for e in self.errors])
