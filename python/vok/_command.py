"""vok's command line, built from keyword arguments, and vok found."""

from __future__ import annotations

import os
import shutil
from dataclasses import dataclass, field
from pathlib import Path
from typing import Iterable, Optional, Sequence, Union

PathLike = Union[str, "os.PathLike[str]"]

MINIMAL_OPTIONS = {None: [], "min": ["-min"], "strict": ["-strict"]}


@dataclass
class Options:
    """What solve() and Session take besides the files and the text.

    ``minimal``: None, "min" or "strict"; ``brave``/``cautious``: a goal,
    ground or with variables (at most one of the two); ``show``: predicates
    to print, "NAME/ARITY" (strong negation "-NAME/ARITY"); ``models``: at
    most that many answer sets, 0 for all; ``explain``: the rules each
    answer set rejects; ``program``: the evaluation program (a path, or a
    name looked up in PATH; by default the one beside vok); ``build_dir``:
    where vok is (else ``VOK_BUILD_DIR``, else PATH); ``options``: further
    options of vok, word by word (``["-P=pexa"]``, ``["-c", "n=3"]``).
    """

    minimal: Optional[str] = None
    brave: Optional[str] = None
    cautious: Optional[str] = None
    show: Optional[Iterable[str]] = None
    models: int = 0
    explain: bool = False
    program: Optional[PathLike] = None
    build_dir: Optional[PathLike] = None
    options: Sequence[str] = field(default_factory=list)

    def arguments(self) -> list[str]:
        """vok's options for these settings, without the files."""
        if self.minimal not in MINIMAL_OPTIONS:
            raise ValueError(f"minimal is None, 'min' or 'strict', not {self.minimal!r}")
        if self.brave is not None and self.cautious is not None:
            raise ValueError("give brave= or cautious=, not both")
        if isinstance(self.models, bool) or not isinstance(self.models, int) or self.models < 0:
            raise ValueError(f"models is a whole number, 0 for all, not {self.models!r}")
        words = ["-silent", "--json", *MINIMAL_OPTIONS[self.minimal]]
        if self.brave is not None:
            words.append("-FB=" + _one_line("brave", self.brave))
        if self.cautious is not None:
            words.append("-FC=" + _one_line("cautious", self.cautious))
        if self.show is not None:
            shown = [self.show] if isinstance(self.show, str) else list(self.show)
            words.append("--show=" + ",".join(shown))
        if self.models:
            words.append(f"-n={self.models}")
        if self.explain:
            words.append("--explain")
        if self.program is not None:
            words.append("-p=" + os.fspath(self.program))
        words.extend(self.options)
        return words


def _one_line(what: str, goal: str) -> str:
    if not goal or "\n" in goal or "\r" in goal:
        raise ValueError(f"a {what} goal is an atom on one line, not {goal!r}")
    return goal


def find_vok(build_dir: Optional[PathLike]) -> str:
    """The vok to run: in ``build_dir``, else in the folder that
    ``VOK_BUILD_DIR`` names, else in PATH. vok finds its evaluation
    programs beside itself."""
    folder = build_dir if build_dir is not None else os.environ.get("VOK_BUILD_DIR")
    if folder:
        vok = Path(folder) / "vok"
        if not os.access(vok, os.X_OK):
            raise FileNotFoundError(f"no executable vok in {os.fspath(folder)}")
        return os.fspath(vok)
    found = shutil.which("vok")
    if found is None:
        raise FileNotFoundError("vok is not in PATH; give build_dir= or set VOK_BUILD_DIR")
    return found


def command(options: Options, files: Iterable[PathLike], *extra: str) -> list[str]:
    """The whole command line: vok, its options, ``extra`` options, and the
    files after "--", so that a file named "-x" is not an option."""
    names = [os.fspath(f) for f in files]
    words = [find_vok(options.build_dir), *options.arguments(), *extra]
    return words + ["--", *names] if names else words


def file_list(files: Union[PathLike, Iterable[PathLike], None]) -> list[PathLike]:
    """``files`` as a list: one path, several, or none."""
    if files is None:
        return []
    if isinstance(files, (str, os.PathLike)):
        return [files]
    return list(files)
