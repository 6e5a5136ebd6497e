#!/usr/bin/env python3
# com_peer.py PREFIX PORT COMMAND...: plays a K-line adapter on a pseudo-terminal that Wine's
# prefix knows as PORT (a link in its dosdevices), while COMMAND runs with DRUNVALE_TEST_PORT set
# to PORT. The adapter echoes every byte; after a 0xA5 it also sends 1, 2, 3 ten milliseconds
# apart and 4 a further 150 ms later. Exits with COMMAND's status.
import os
import subprocess
import sys
import threading
import time
import tty

prefix, port, command = sys.argv[1], sys.argv[2], sys.argv[3:]
master, slave = os.openpty()
tty.setraw(slave)
link = os.path.join(prefix, "dosdevices", port.lower())
if os.path.lexists(link):
    os.unlink(link)
os.makedirs(os.path.dirname(link), exist_ok=True)
os.symlink(os.ttyname(slave), link)

done = threading.Event()


def answer():
    for byte in (1, 2, 3):
        os.write(master, bytes([byte]))
        time.sleep(0.010)
    time.sleep(0.150)
    os.write(master, bytes([4]))


def adapter():
    while not done.is_set():
        try:
            data = os.read(master, 256)
        except OSError:
            return
        os.write(master, data)
        if 0xA5 in data:
            threading.Thread(target=answer, daemon=True).start()


threading.Thread(target=adapter, daemon=True).start()
try:
    status = subprocess.call(command, env=dict(os.environ, DRUNVALE_TEST_PORT=port))
finally:
    done.set()
    os.unlink(link)
sys.exit(status)
