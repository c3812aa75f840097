"""Rebuilds what vok --session prints without --changes from what it
prints with it: each answer set told as "~ N" and "-atom"/"+atom" lines is
answer set N of the answer sets printed last with those changes applied,
and is printed whole, atoms in vok's order, with its explanation lines.
A change that does not apply (an atom lost that the set lacks, or gained
that it holds, an answer set N that was not printed) is printed as a line
of its own, so that the comparison with the runs fails.

    apply_changes.py [--pexa] < WITH_CHANGES > WHOLE
"""
import sys


def order(pexa):
    # vok prints atoms in the order of the evaluation program's notation,
    # in which pexa writes strong negation as NEG_.
    if not pexa:
        return lambda atom: atom
    return lambda atom: "NEG_" + atom[1:] if atom.startswith("-") else atom


def main():
    key = order("--pexa" in sys.argv[1:])
    out = sys.stdout
    printed, step = [], []  # each answer set: [set of atoms, explanation lines]
    for line in sys.stdin.read().splitlines():
        if line.startswith("% dropped") or line.startswith("% saved"):
            out.write(line + "\n")
        elif line.startswith("% "):
            for atoms, explanation in step:
                out.write("{" + ", ".join(sorted(atoms, key=key)) + "}\n")
                out.writelines(e + "\n" for e in explanation)
            out.write(line + "\n")
            printed, step = step, []
        elif line.startswith("{"):
            inner = line[1:-1]
            step.append([set(inner.split(", ")) if inner else set(), []])
        elif line.startswith("~ "):
            n = int(line[2:])
            if not 1 <= n <= len(printed):
                out.write("NO ANSWER SET " + line + "\n")
                step.append([set(), []])
            else:
                step.append([set(printed[n - 1][0]), []])
        elif line.startswith("  rejected:") and step:
            step[-1][1].append(line)
        elif line[:1] in "-+" and line[1:] and step:
            atoms, atom = step[-1][0], line[1:]
            if (atom in atoms) == (line[0] == "+"):
                out.write("DOES NOT APPLY " + line + "\n")
            (atoms.add if line[0] == "+" else atoms.discard)(atom)
        else:
            out.write(line + "\n")


main()
