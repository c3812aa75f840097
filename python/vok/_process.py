"""A long-lived vok on pipes, read a line at a time, and stopped whole.

vok is started in a session of its own (setsid), which its evaluation
program and clingo inherit, so that every process it started can be found
and stopped even after vok itself went away (Linux: through /proc).
"""

from __future__ import annotations

import os
import selectors
import signal
import subprocess
import time
from typing import Optional, Sequence


class Channel:
    """vok with standard input, output and error on pipes. Standard error
    is read while waiting for output, so that vok never blocks on it."""

    def __init__(self, words: Sequence[str]) -> None:
        self.process = subprocess.Popen(words, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE, start_new_session=True)
        self._out = b""
        self._err = b""
        self._selector = selectors.DefaultSelector()
        for stream in (self.process.stdout, self.process.stderr):
            assert stream is not None
            os.set_blocking(stream.fileno(), False)
            self._selector.register(stream, selectors.EVENT_READ)

    def write(self, text: str) -> bool:
        """Writes ``text`` whole; False when vok no longer reads."""
        stdin = self.process.stdin
        assert stdin is not None
        try:
            stdin.write(text.encode())
            stdin.flush()
            return True
        except (BrokenPipeError, ValueError):
            return False

    def read_line(self) -> Optional[str]:
        """The next line of standard output, None at its end."""
        # Until the output ends: a process that vok started may hold its
        # standard error open longer.
        while b"\n" not in self._out and self._registered(self.process.stdout):
            for key, _ in self._selector.select():
                self._take(key.fileobj)
        if b"\n" not in self._out:
            return None
        line, self._out = self._out.split(b"\n", 1)
        return line.decode(errors="replace")

    def error_lines(self) -> list[str]:
        """The lines vok wrote on standard error since last asked. vok
        writes its diagnostics before the answer they belong to, so after
        an answer they are all in the pipe."""
        if self._registered(self.process.stderr):
            self._take(self.process.stderr)
        lines, _, self._err = self._err.rpartition(b"\n")
        return lines.decode(errors="replace").splitlines() if lines else []

    def _registered(self, stream: object) -> bool:
        return any(key.fileobj is stream for key in self._selector.get_map().values())

    def _take(self, stream: object) -> None:
        """Reads what ``stream`` holds now; at its end, stops watching it."""
        fd = stream.fileno()  # type: ignore[attr-defined]
        while True:
            try:
                data = os.read(fd, 65536)
            except BlockingIOError:
                return
            if not data:
                self._selector.unregister(stream)
                return
            if stream is self.process.stdout:
                self._out += data
            else:
                self._err += data

    def finish(self, timeout: float) -> Optional[int]:
        """Ends the input and waits for vok's status; None if it did not
        end within ``timeout`` seconds."""
        stdin = self.process.stdin
        if stdin is not None and not stdin.closed:
            try:
                stdin.close()
            except BrokenPipeError:
                pass
        return self._wait(timeout)

    def _wait(self, timeout: float) -> Optional[int]:
        deadline = time.monotonic() + timeout
        while self.process.poll() is None and time.monotonic() < deadline:
            # Drained meanwhile, so that vok never waits on a full pipe.
            for key, _ in self._selector.select(0.05):
                self._take(key.fileobj)
        return self.process.poll()

    def stop(self, timeout: float) -> None:
        """Ends vok and every process of its session: standard input
        closed, then SIGTERM (vok stops its children), then SIGKILL to all;
        returns when none is left."""
        if self.finish(timeout) is None:
            self.process.send_signal(signal.SIGTERM)
            if self._wait(timeout) is None:
                self.process.kill()
                self.process.wait()
        session = self.process.pid
        for pid in session_members(session):
            _kill(pid)
        deadline = time.monotonic() + timeout
        while session_members(session) and time.monotonic() < deadline:
            time.sleep(0.01)
        self._selector.close()
        for stream in (self.process.stdout, self.process.stderr):
            if stream is not None:
                stream.close()


def _kill(pid: int) -> None:
    try:
        os.kill(pid, signal.SIGKILL)
    except ProcessLookupError:
        pass


def session_members(session: int) -> list[int]:
    """The living processes (zombies left out) of the session ``session``."""
    members = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        fields = _stat_fields(int(entry))
        # after the name: state, ppid, pgrp, session
        if fields is not None and fields[0] != "Z" and fields[3] == str(session):
            members.append(int(entry))
    return members


def _stat_fields(pid: int) -> Optional[list[str]]:
    """The fields of /proc/PID/stat after the name (which may hold blanks
    and parentheses), or None when the process is gone."""
    try:
        with open(f"/proc/{pid}/stat", "rb") as stat:
            text = stat.read().decode(errors="replace")
    except OSError:
        return None
    return text[text.rfind(")") + 2:].split()
