# Types a session at vok on a pseudo-terminal, a line after each prompt,
# then the end of input (Ctrl-D), and prints what the terminal showed,
# without the line editor's escape sequences. Gives up after 30 s.
import os
import pty
import re
import select
import signal
import sys
import time

pid, fd = pty.fork()
if pid == 0:
    os.execv(sys.argv[1], sys.argv[1:])
deadline = time.time() + 30
out = b""


def shown():
    return re.sub(rb"\x1b\[[0-9;?]*[A-Za-z]", b"", out).replace(b"\r", b"")


def read_more():
    """Adds what the terminal shows next; False once vok is gone."""
    global out
    ready, _, _ = select.select([fd], [], [], 0.2)
    if not ready:
        return True
    try:
        data = os.read(fd, 4096)
    except OSError:
        return False
    out += data
    return bool(data)


def await_prompt(after):
    """Waits for a prompt shown after position after of what is shown."""
    while time.time() < deadline:
        if re.search(rb"(vok \d+|\.\.\.)> $", shown()[after:]):
            return True
        if not read_more():
            return False
    return False


mark = 0
for line in [b"{ a.\r", b"b. }\r", b"#undo.\r", b"\x1b[A\r", b"\x04"]:
    if not await_prompt(mark):
        break
    mark = len(shown())
    os.write(fd, line)
while time.time() < deadline and read_more():
    pass
if time.time() >= deadline:
    os.kill(pid, signal.SIGKILL)
_, status = os.waitpid(pid, 0)
sys.stdout.write(shown().decode(errors="replace"))
print("status", os.waitstatus_to_exitcode(status))
