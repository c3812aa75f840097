"""Atoms and terms as vok prints them, read back into Python values.

A term is an ``int`` (a number), a ``str`` (a constant such as ``ann``), a
:class:`String` (a quoted string) or a :class:`Function` (a function term
such as ``f(a,g(1))``, or a tuple ``(a,b)`` with an empty name). An
:class:`Atom` is a function symbol at the top of an answer set, possibly
strongly negated. Each keeps the text vok prints for it, so that ``str()``
gives vok's text back byte for byte and atoms sort as vok sorts them (byte
order of that text).
"""

from __future__ import annotations

from typing import Callable, Iterable, Union

Term = Union[int, str, "String", "Function"]


class String:
    """A quoted string term, like clingo's ``String``: ``value`` is its
    characters; ``str()`` its text as vok prints it, a line end or carriage
    return written ``\\n`` or ``\\r`` so that no answer set spans lines.

    A string of vok runs from a double quote to the next and holds no
    escapes, so ``value`` is what the input held between the quotes (and
    what vok's JSON writes); it holds no double quote.
    """

    __slots__ = ("_value",)

    def __init__(self, value: str) -> None:
        if '"' in value:
            raise ValueError("a string of vok holds no double quote")
        self._value = value

    @property
    def value(self) -> str:
        """The string's characters."""
        return self._value

    def __str__(self) -> str:
        return '"' + self.value.replace("\n", "\\n").replace("\r", "\\r") + '"'

    def __repr__(self) -> str:
        return f"String({self.value!r})"

    def __eq__(self, other: object) -> bool:
        return isinstance(other, String) and other.value == self.value

    def __hash__(self) -> int:
        return hash(("String", self.value))


def _term_key(term: Term) -> str:
    if isinstance(term, String):
        return '"' + term.value + '"'
    if isinstance(term, Function):
        return term._key
    return term_text(term)


def term_text(term: Term) -> str:
    """The text vok prints for ``term``."""
    if isinstance(term, bool):
        raise TypeError("a term is an int, a str, a String or a Function, not a bool")
    if isinstance(term, (int, str, String, Function)):
        return str(term)
    raise TypeError(f"a term is an int, a str, a String or a Function, not {type(term).__name__}")


class Function:
    """A function term ``name(arguments)``, ``-name(...)`` when negated.

    Like clingo's function symbols: ``name``, ``arguments`` (a tuple of
    terms), ``negated`` (clingo's ``negative``); a tuple has the name "".
    """

    __slots__ = ("_name", "_arguments", "_negated", "_text", "_key")

    def __init__(self, name: str, arguments: Iterable[Term] = (), negated: bool = False) -> None:
        self._name = name
        self._arguments = tuple(arguments)
        self._negated = bool(negated)
        self._text = self._written(term_text)
        # Equality compares values: the text but for strings, where a line
        # end and a backslash followed by "n" are written alike.
        self._key = self._written(_term_key)

    @property
    def name(self) -> str:
        """The name of the function or predicate."""
        return self._name

    @property
    def arguments(self) -> tuple[Term, ...]:
        """The arguments: ints, strs, Strings and Functions."""
        return self._arguments

    @property
    def negated(self) -> bool:
        """Whether it is strongly negated (written with a leading "-")."""
        return self._negated

    def _written(self, write: Callable[[Term], str]) -> str:
        inside = ",".join(write(a) for a in self._arguments)
        shown = f"{self._name}({inside})" if self._arguments or not self._name else self._name
        return ("-" if self._negated else "") + shown

    @property
    def positive(self) -> bool:
        """True unless strongly negated (clingo's name)."""
        return not self.negated

    def match(self, name: str, arity: int, positive: bool = True) -> bool:
        """Whether this is of predicate ``name/arity`` with that sign, as
        clingo's ``Symbol.match``."""
        return self.name == name and len(self.arguments) == arity and self.positive == positive

    def __str__(self) -> str:
        return self._text

    def __repr__(self) -> str:
        return f"vok.parse_term({self._text!r})"

    def __eq__(self, other: object) -> bool:
        return type(other) is type(self) and other._key == self._key  # type: ignore[attr-defined]

    def __hash__(self) -> int:
        return hash((type(self).__name__, self._key))

    def _order(self, other: object) -> tuple[str, str]:
        """``other``'s place in vok's order (the byte order of the text)."""
        if type(other) is not type(self):
            raise TypeError(f"cannot order {type(self).__name__} and {type(other).__name__}")
        return (other._text, other._key)  # type: ignore[attr-defined]

    def __lt__(self, other: Function) -> bool:
        return (self._text, self._key) < self._order(other)

    def __le__(self, other: Function) -> bool:
        return (self._text, self._key) <= self._order(other)

    def __gt__(self, other: Function) -> bool:
        return (self._text, self._key) > self._order(other)

    def __ge__(self, other: Function) -> bool:
        return (self._text, self._key) >= self._order(other)


class Atom(Function):
    """An atom of an answer set: ``allowed(bob,repo)``, ``-tv_on``.

    Atoms order as vok sorts them (the byte order of their text), so
    ``sorted(answer_set)`` is vok's order. ``Atom.parse(text)`` reads one.
    """

    __slots__ = ()

    @classmethod
    def parse(cls, text: str) -> Atom:
        """The atom vok printed as ``text``; ValueError if it is none."""
        return parse_atom(text)

    def __repr__(self) -> str:
        return f"vok.parse_atom({self._text!r})"


class _Reader:
    """Reads terms from printed text, where blanks may stand between tokens
    (a goal as the user wrote it), but never inside a name or number."""

    def __init__(self, text: str) -> None:
        self.text = text
        self.pos = 0

    def fail(self, what: str) -> ValueError:
        return ValueError(f"{what} at column {self.pos + 1} of {self.text!r}")

    def skip_blanks(self) -> None:
        while self.pos < len(self.text) and self.text[self.pos] in " \t":
            self.pos += 1

    def peek(self) -> str:
        self.skip_blanks()
        return self.text[self.pos] if self.pos < len(self.text) else ""

    def expect(self, char: str) -> None:
        if self.peek() != char:
            raise self.fail(f"expected {char!r}")
        self.pos += 1

    def word(self) -> str:
        start = self.pos
        while self.pos < len(self.text) and self.text[self.pos] not in _STOPS:
            self.pos += 1
        if start == self.pos:
            raise self.fail("expected a name or a number")
        return self.text[start:self.pos]

    def string(self) -> String:
        # A string runs to the next quote: vok's strings hold none.
        end = self.text.find('"', self.pos + 1)
        if end < 0:
            raise self.fail("unclosed string")
        string = String(self.text[self.pos + 1:end])
        self.pos = end + 1
        return string

    def arguments(self) -> tuple[Term, ...]:
        self.expect("(")
        if self.peek() == ")":
            self.pos += 1
            return ()
        args = [self.term()]
        while self.peek() == ",":
            self.pos += 1
            args.append(self.term())
        self.expect(")")
        return tuple(args)

    def term(self) -> Term:
        c = self.peek()
        if c == '"':
            return self.string()
        if c == "(":
            return Function("", self.arguments())
        negated = c == "-"
        if negated:
            self.pos += 1
            self.skip_blanks()
        word = self.word()
        if _is_integer(word):
            return -int(word) if negated else int(word)
        if self.peek() == "(":
            return Function(word, self.arguments(), negated)
        return Function(word, (), True) if negated else word

    def atom(self) -> Atom:
        negated = self.peek() == "-"
        if negated:
            self.pos += 1
            self.skip_blanks()
        name = self.word()
        if _is_integer(name):
            raise self.fail("an atom's name is not a number")
        args = self.arguments() if self.peek() == "(" else ()
        return Atom(name, args, negated)

    def end(self) -> None:
        if self.peek():
            raise self.fail("unexpected text")


_STOPS = frozenset('(),"- \t')


def _is_integer(word: str) -> bool:
    return word.isascii() and word.isdigit()


def parse_atom(text: str) -> Atom:
    """The atom written ``text``, such as ``-p(a,"b c",-3)``; a string runs
    to the next double quote, as vok reads and its JSON writes strings."""
    reader = _Reader(text)
    atom = reader.atom()
    reader.end()
    return atom


def parse_term(text: str) -> Term:
    """The term vok printed as ``text``: an int, a str, a String or a
    Function (as a goal's bindings write their values)."""
    reader = _Reader(text)
    term = reader.term()
    reader.end()
    return term
