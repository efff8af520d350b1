#!/usr/bin/python3
"""Helpers of bench/idle.sh.

measure SECONDS LABEL=PID[,PID...] ...   one Markdown row per label: CPU of the processes over
                                         SECONDS (% of one core), their three busiest threads, and
                                         VmRSS / VmHWM at the end
events HOST:PORT USER                    logs in (password in $TARVOK_BENCH_PASSWORD), opens
                                         /api/events and reads it until SIGTERM, then prints how
                                         many messages came
iconify WINDOW                           what a window manager does to minimise a window, for an
                                         X server without one
"""
import base64
import json
import os
import signal
import socket
import sys
import time
from pathlib import Path

TICKS = os.sysconf("SC_CLK_TCK")


def ticks(stat_path):
    # comm may hold spaces and parentheses: the fields start after the last ")".
    fields = Path(stat_path).read_text().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])  # utime + stime


def threads(pid):
    found = {}
    for task in Path(f"/proc/{pid}/task").iterdir():
        try:
            found[int(task.name)] = (ticks(task / "stat"), (task / "comm").read_text().strip())
        except (FileNotFoundError, ProcessLookupError):
            pass  # ended while we looked
    return found


def memory_kib(pid):
    values = {"VmRSS": 0, "VmHWM": 0}
    for line in Path(f"/proc/{pid}/status").read_text().splitlines():
        key, _, rest = line.partition(":")
        if key in values:
            values[key] = int(rest.split()[0])
    return values


def measure(seconds, groups):
    groups = [(label, [int(p) for p in pids.split(",")])
              for label, _, pids in (g.rpartition("=") for g in groups)]
    every = [pid for _, pids in groups for pid in pids]
    begin_total = {pid: ticks(f"/proc/{pid}/stat") for pid in every}
    begin = {pid: threads(pid) for pid in every}
    wall = time.monotonic()
    time.sleep(seconds)
    wall = time.monotonic() - wall
    failed = False
    for label, pids in groups:
        try:
            # The process's own counters keep the time of threads that ended during the run.
            total = sum(ticks(f"/proc/{pid}/stat") - begin_total[pid] for pid in pids)
            used = []
            for pid in pids:
                for tid, (now, name) in threads(pid).items():
                    then = begin[pid].get(tid, (0, name))[0]
                    used.append((now - then, name, tid))
            memory = [memory_kib(pid) for pid in pids]
        except (FileNotFoundError, ProcessLookupError):
            print(f"| {label} | ended during the run | | |")
            failed = True
            continue
        used.sort(key=lambda u: -u[0])
        names = [name for _, name, _ in used]
        # Threads that share a name (or processes, several parecs) are told apart by their id.
        busiest = ", ".join(
            f"{name}{'/' + str(tid) if names.count(name) > 1 else ''} {percent(t, wall)}"
            for t, name, tid in used[:3])
        rss = sum(m["VmRSS"] for m in memory) / 1024
        hwm = sum(m["VmHWM"] for m in memory) / 1024
        print(f"| {label} | {percent(total, wall)} | {busiest} | {rss:.1f} / {hwm:.1f} |",
              flush=True)
    return 1 if failed else 0


def percent(used_ticks, wall):
    return f"{100 * used_ticks / TICKS / wall:.1f} %"


def http(address, request):
    with socket.create_connection(address, timeout=10) as connection:
        connection.sendall(request)
        answer = b""
        while chunk := connection.recv(65536):
            answer += chunk
    return answer


def events(where, user):
    host, _, port = where.rpartition(":")
    address = (host, int(port))
    body = json.dumps({"user": user, "password": os.environ["TARVOK_BENCH_PASSWORD"]}).encode()
    answer = http(address, b"POST /api/login HTTP/1.1\r\nHost: %s\r\n"
                           b"Content-Type: application/json\r\nContent-Length: %d\r\n"
                           b"Connection: close\r\n\r\n%s" % (where.encode(), len(body), body))
    head = answer.split(b"\r\n\r\n", 1)[0].decode("latin-1").split("\r\n")
    cookies = [line.split(":", 1)[1].strip().split(";", 1)[0] for line in head[1:]
               if line.lower().startswith("set-cookie:")]
    if " 200 " not in head[0] + " " or not cookies:
        sys.exit(f"login failed: {head[0]}")
    connection = socket.create_connection(address, timeout=10)
    key = base64.b64encode(os.urandom(16)).decode()
    connection.sendall((f"GET /api/events HTTP/1.1\r\nHost: {where}\r\nUpgrade: websocket\r\n"
                        f"Connection: Upgrade\r\nSec-WebSocket-Key: {key}\r\n"
                        f"Sec-WebSocket-Version: 13\r\nOrigin: http://{where}\r\n"
                        f"Cookie: {cookies[0]}\r\n\r\n").encode())
    buffer = b""
    while b"\r\n\r\n" not in buffer:
        chunk = connection.recv(4096)
        if not chunk:
            sys.exit("the console closed the WebSocket request")
        buffer += chunk
    status, _, buffer = buffer.partition(b"\r\n\r\n")
    if b" 101 " not in status.split(b"\r\n", 1)[0] + b" ":
        sys.exit("no WebSocket: " + status.split(b"\r\n", 1)[0].decode("latin-1"))
    print("connected", flush=True)
    counts = {}
    signal.signal(signal.SIGTERM, lambda *_: (print(
        "messages: " + (", ".join(f"{n} {k}" for k, n in sorted(counts.items())) or "none"),
        flush=True), os._exit(0)))
    connection.settimeout(None)

    def read(n):
        nonlocal buffer
        while len(buffer) < n:
            chunk = connection.recv(65536)
            if not chunk:
                print("the console closed the WebSocket", flush=True)
                os._exit(1)
            buffer += chunk
        data, buffer = buffer[:n], buffer[n:]
        return data

    while True:
        first, second = read(2)
        length = second & 0x7F
        if length == 126:
            length = int.from_bytes(read(2), "big")
        elif length == 127:
            length = int.from_bytes(read(8), "big")
        payload = read(length)  # a server sends its frames unmasked
        opcode = first & 0x0F
        if opcode == 0x9:  # ping: a client's frames are masked, here with a zero mask
            connection.sendall(bytes([0x8A, 0x80 | length]) + bytes(4) + payload)
        elif opcode == 0x8:
            print("the console closed the WebSocket", flush=True)
            os._exit(1)
        elif opcode in (0x1, 0x0):
            try:
                kind = json.loads(payload).get("type", "?")
            except ValueError:
                kind = "fragment"
            counts[kind] = counts.get(kind, 0) + 1


def iconify(window):
    """ICCCM iconic state: WM_STATE set to IconicState and the window unmapped."""
    import ctypes
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XChangeProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong,
                                    ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_void_p,
                                    ctypes.c_int]
    x11.XUnmapWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(None)
    if not display:
        sys.exit("cannot open the X display")
    wm_state = x11.XInternAtom(display, b"WM_STATE", 0)
    state = (ctypes.c_long * 2)(3, 0)  # IconicState, no icon window
    x11.XChangeProperty(display, window, wm_state, wm_state, 32, 0, state, 2)
    x11.XUnmapWindow(display, window)
    x11.XSync(display, 0)
    x11.XCloseDisplay(display)


def main():
    command, args = sys.argv[1], sys.argv[2:]
    if command == "measure":
        return measure(float(args[0]), args[1:])
    if command == "events":
        return events(args[0], args[1])
    if command == "iconify":
        return iconify(int(args[0], 0))
    sys.exit(__doc__)


if __name__ == "__main__":
    sys.exit(main())
