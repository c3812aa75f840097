"""Atoms read back from vok's text: printed byte for byte as vok prints
them, equal and ordered as vok's own output is."""

import pytest

import vok
from vok import Atom, Function, String

PRINTED = [
    "a", "-tv_on", "p(a,b)", "s(-3)", "-p(-3)", 'note("a, (b)",carol)', 'q("x\\ny")',
    'r("t\\")', 'p("a\\\\b")', 't("é","a b,c)")', "f(g(h(1)),-k(a),(a,b),())",
    "allowed(bob,repo)", 'e("")', "p(0,10,-0)",
]


@pytest.mark.parametrize("text", PRINTED)
def test_printed_atoms_read_back_to_the_same_text(text):
    atom = vok.parse_atom(text)
    assert str(atom) == text.replace("-0)", "0)")
    assert vok.parse_atom(str(atom)) == atom


def test_arguments_are_python_values_and_sign_is_kept():
    atom = vok.parse_atom('-p(ann,-3,"x\ny",f(b,(1,2)))')
    assert atom.negated and not atom.positive and atom.name == "p"
    assert atom.arguments[:2] == ("ann", -3)
    assert atom.arguments[2] == String("x\ny") and atom.arguments[2].value == "x\ny"
    assert atom.arguments[3] == Function("f", ("b", Function("", (1, 2))))
    assert atom.match("p", 4, positive=False) and not atom.match("p", 4)
    assert Atom("p", ("ann", -3, String("x\ny"), atom.arguments[3]), negated=True) == atom


def test_line_ends_in_strings_are_printed_escaped_but_kept_apart():
    # vok's JSON holds the line end itself, its text output "\n"
    from_json = vok.parse_atom('q("x\ny")')
    assert str(from_json) == 'q("x\\ny")' and from_json.arguments[0].value == "x\ny"
    assert from_json != vok.parse_atom('q("x\\ny")')
    assert str(String("a\r\nb")) == '"a\\r\\nb"'


def test_blanks_between_tokens_are_read_as_goals_write_them():
    assert str(vok.parse_atom(" - p( a , f( 1 ) ) ")) == "-p(a,f(1))"


def test_atoms_sort_and_compare_as_vok_sorts_them():
    atoms = [vok.parse_atom(t) for t in ["p(a)", "p(9)", 'p("b")', "-q", "p(10)", "p(-1)"]]
    assert [str(a) for a in sorted(atoms)] == ['-q', 'p("b")', "p(-1)", "p(10)", "p(9)", "p(a)"]
    assert len({vok.parse_atom("p(a)"), Atom("p", ("a",)), Atom("p", (String("a"),))}) == 2
    assert Function("p", ("a",)) != Atom("p", ("a",))


def test_vok_output_order_is_the_atoms_order(tmp_path):
    (tmp_path / "in.lp").write_text('{ p(10). p(9). p(a). p("b"). p(-1). -q(z). q("x\ny"). }\n')
    answer_set, = vok.solve(tmp_path / "in.lp")
    assert answer_set.symbols() == sorted(answer_set)
    assert vok.Atom("q", (String("x\ny"),)) in answer_set and "q(x)" not in answer_set
    assert str(answer_set) == '{-q(z), p("b"), p(-1), p(10), p(9), p(a), q("x\\ny")}'


@pytest.mark.parametrize("text", ["", "p(", "p(a", "p(a))", '"s"', "3", "p(a) q", 'p("x)'])
def test_text_that_is_no_atom_is_refused(text):
    with pytest.raises(ValueError):
        vok.parse_atom(text)


def test_terms_that_vok_cannot_print_are_refused():
    with pytest.raises(ValueError):
        String('say "hi"')
    with pytest.raises(TypeError):
        Atom("p", (1.5,))
    with pytest.raises(TypeError):
        Atom("p", (True,))
