"""vok from Python: the answer sets of update sequences, one run at a time
(:func:`solve`) or as a knowledge base kept open (:class:`Session`).

The package runs the ``vok`` program (found in ``build_dir=``, the folder
``VOK_BUILD_DIR`` names, or PATH) and reads its JSON output; it needs
nothing but the standard library.
"""

from ._atoms import Atom, Function, String, Term, parse_atom, parse_term
from ._errors import (BlockError, Diagnostic, InputError, SessionError, SolveError,
                      VokError)
from ._results import AnswerSet, Changes, Goal, Instance, Rejection, Result, Step
from ._run import solve
from ._session import Session

__all__ = [
    "AnswerSet", "Atom", "BlockError", "Changes", "Diagnostic", "Function", "Goal",
    "InputError", "Instance", "Rejection", "Result", "Session", "SessionError",
    "SolveError", "Step", "String", "Term", "VokError", "parse_atom", "parse_term", "solve",
]
