"""The README's install line, in a fresh virtual environment, offline."""

import shutil
import subprocess

import pytest

from conftest import SOURCE


@pytest.mark.install
def test_readme_install_line_works_in_a_fresh_venv(tmp_path, examples):
    # a copy, since the build writes its files beside the sources
    shutil.copytree(SOURCE / "python", tmp_path / "python",
                    ignore=shutil.ignore_patterns("build", "*.egg-info", "__pycache__"))
    readme = (SOURCE / "python" / "README.md").read_text().splitlines()
    venv_line, = [line.strip() for line in readme if " -m venv " in line]
    pip_line, = [line.strip() for line in readme if "pip install" in line]
    assert venv_line == "/usr/bin/python3 -m venv --system-site-packages .venv"
    assert pip_line == ".venv/bin/pip install --no-index --no-build-isolation ./python"
    run = dict(cwd=tmp_path, check=True, capture_output=True)
    subprocess.run(venv_line.split(), **run)
    subprocess.run(pip_line.split(), **run)
    program = ("import vok, sys; r = vok.solve(sys.argv[1]); print(r.answer_sets[0]); "
               "print(vok.__file__)")
    shown = subprocess.run([".venv/bin/python", "-c", program, str(examples / "tv.lp")],
                           text=True, **run).stdout.splitlines()
    assert shown[0] == "{-power_failure, tv_on, watch_tv}"
    assert shown[1].startswith(str(tmp_path / ".venv"))
