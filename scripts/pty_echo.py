#!/usr/bin/env python3
"""A pseudo-terminal that sends every byte it receives straight back.

Prints the terminal's path, then echoes for the given number of seconds (default 60).
"""
import os
import pty
import select
import sys
import time
import tty

master, slave = pty.openpty()
tty.setraw(slave)
print(os.ttyname(slave), flush=True)
end = time.monotonic() + float(sys.argv[1] if len(sys.argv) > 1 else 60)
while time.monotonic() < end:
    ready, _, _ = select.select([master], [], [], 0.2)
    if not ready:
        continue
    try:
        data = os.read(master, 4096)
    except OSError:  # no one has the terminal open right now
        time.sleep(0.05)
        continue
    os.write(master, data)
