#!/usr/bin/env python3
# A display that answers late: it listens as display number N on a socket of its own and relays
# every connection to the real display (DISPLAY), but holds the first one unanswered until the
# file RELEASE exists. A client waiting on it stays in XOpenDisplay, inside its own start-up.
# Writes its display name (":N") to READY once listening and "held" to READY.held once the held
# connection has come. Usage: held-display.py READY RELEASE; ends when killed.
import os
import signal
import socket
import sys
import threading
import time

ready, release = sys.argv[1], sys.argv[2]
real = "/tmp/.X11-unix/X" + os.environ["DISPLAY"].split(":")[1].split(".")[0]

listener = None
for number in range(400, 500):
    lock = "/tmp/.X%d-lock" % number
    path = "/tmp/.X11-unix/X%d" % number
    try:
        # The lock file keeps X servers picking a free number away from this one.
        fd = os.open(lock, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o444)
    except FileExistsError:
        continue
    os.write(fd, b"%10d\n" % os.getpid())
    os.close(fd)
    if os.path.exists(path):
        os.unlink(lock)
        continue
    listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    listener.bind(path)
    listener.listen(16)
    break
if listener is None:
    sys.exit("held-display: no free display number")


def cleanup():
    for name in (path, lock):
        try:
            os.unlink(name)
        except OSError:
            pass


def pump(source, sink):
    try:
        while True:
            data = source.recv(65536)
            if not data:
                break
            sink.sendall(data)
    except OSError:
        pass
    for s in (source, sink):
        try:
            s.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass


def serve(client, hold):
    if hold:
        with open(ready + ".held", "w") as f:
            f.write("held\n")
        while not os.path.exists(release):
            time.sleep(0.01)
    server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    server.connect(real)
    threading.Thread(target=pump, args=(server, client), daemon=True).start()
    pump(client, server)


signal.signal(signal.SIGTERM, lambda *_: (cleanup(), os._exit(0)))
with open(ready + ".tmp", "w") as f:
    f.write(":%d\n" % number)
os.rename(ready + ".tmp", ready)
first = True
try:
    while True:
        client, _ = listener.accept()
        threading.Thread(target=serve, args=(client, first), daemon=True).start()
        first = False
finally:
    cleanup()
