"""One run of vok: vok.solve()."""

from __future__ import annotations

import json
import subprocess
from typing import Any, Iterable, Optional, Union

from ._command import Options, PathLike, command, file_list
from ._errors import InputError, SolveError, VokError
from ._results import Result

# vok's statuses: 1 an orderly stop on an error, 255 an unknown option,
# 3 the time ran out (or the evaluation program failed; "Error" tells).
_REFUSED = (1, 255)
_UNFINISHED = 3


def solve(files: Union[PathLike, Iterable[PathLike], None] = None, text: Optional[str] = None,
          *, minimal: Optional[str] = None, brave: Optional[str] = None,
          cautious: Optional[str] = None, show: Optional[Iterable[str]] = None,
          models: int = 0, explain: bool = False, time_limit: int = 0,
          program: Optional[PathLike] = None, build_dir: Optional[PathLike] = None,
          options: Iterable[str] = ()) -> Result:
    """Runs vok on ``files`` (one path or several, oldest program first)
    followed by ``text`` (programs in braces, read as standard input) and
    returns its :class:`Result`.

    A run whose time limit (``time_limit`` seconds) ran out returns a
    Result with ``satisfiable`` None. Raises :class:`InputError` when vok
    refuses the input or the options, :class:`SolveError` when the
    evaluation program fails. The other arguments are those of
    :class:`vok.Options`.
    """
    names = file_list(files)
    if not names and text is None:
        raise ValueError("give files, text or both")
    settings = Options(minimal, brave, cautious, show, models, explain, program, build_dir,
                       list(options))
    extra = ["--stats"]
    if time_limit:
        extra.append(f"--time-limit={int(time_limit)}")
    if text is not None:
        extra.append("-stdin")
    run = subprocess.run(command(settings, names, *extra),
                         input=(text or "").encode(), capture_output=True)
    messages = run.stderr.decode(errors="replace").splitlines()
    return _result_of(run.returncode, run.stdout, messages)


def _result_of(status: int, stdout: bytes, messages: list[str]) -> Result:
    """The Result of a finished run, or the exception its status means."""
    document = _document(stdout)
    if status == 0 and document is not None:
        return Result(document, messages)
    if status in _REFUSED and (document is None or document.get("Calls", 0) == 0):
        raise InputError("vok refused the input", messages, status)
    if document is None:
        raise VokError(f"vok ended with status {status} and no result", messages, status)
    result = Result(document, messages)
    if status == _UNFINISHED and "time limit" in (result.error or ""):
        return result
    raise SolveError(f"the run failed: {result.error or 'status ' + str(status)}", messages,
                     status, result)


def _document(stdout: bytes) -> Optional[dict[str, Any]]:
    try:
        document = json.loads(stdout)
    except ValueError:
        return None
    return document if isinstance(document, dict) else None
