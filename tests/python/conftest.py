"""Shared setup of the Python package's tests: the package from the source
tree, vok from the build folder that VOK_BUILD_DIR names (ctest passes it;
by default build/ of the source tree)."""

import os
import sys
from pathlib import Path

import pytest

SOURCE = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(SOURCE / "python"))
os.environ.setdefault("VOK_BUILD_DIR", str(SOURCE / "build"))


@pytest.fixture
def examples() -> Path:
    """The folder of the example inputs."""
    return SOURCE / "examples"


def sequence_text(blocks):
    """The blocks of a session as one input text, each in its braces."""
    return "".join("{ " + block + "\n}\n" for block in blocks)


def pytest_configure(config):
    config.addinivalue_line("markers", "install: installs the package into a fresh venv "
                            "(offline, some seconds)")
