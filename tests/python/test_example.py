"""examples/python/policy.py prints what its header promises."""

import doctest
import os
import subprocess
import sys

from conftest import SOURCE


def test_policy_example_prints_its_expected_output():
    example = SOURCE / "examples" / "python"
    env = dict(os.environ, PYTHONPATH=str(SOURCE / "python"))
    run = subprocess.run([sys.executable, str(example / "policy.py")], env=env,
                         capture_output=True, text=True)
    assert (run.returncode, run.stderr) == (0, "")
    assert run.stdout == (example / "policy.expected").read_text()


def test_package_readme_examples_print_what_it_shows(monkeypatch):
    monkeypatch.chdir(SOURCE)
    failed, tried = doctest.testfile(str(SOURCE / "python" / "README.md"), module_relative=False)
    assert tried > 0 and failed == 0
