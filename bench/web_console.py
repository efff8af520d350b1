#!/usr/bin/python3
"""Measures the web console's cost and speed on stations on the virtual card and prints Markdown.

Idle cost: CPU (percent of one core) and VmRSS of an idle Internet Repeater station over the same
time, with the console switched off, on with no browser, and on with one and ten event streams
open (raw WebSocket clients that read everything, as a page does).
Push delay: the time from a POST /api/mode to the first snapshot message on an open event stream
that shows the new mode, measured in this process.
Requests: GET /api/status answered per second with 50 clients asking at once, one connection per
request (the console serves one request per connection).
VOX under load: in Internet Repeater mode, the time from the scenario's receiver tone to the
transmitter keyed (both the virtual card's own times), quiet and while 50 clients ask for the
status and a client fails a login every 100 ms.
Usage: bench/web_console.py [TARVOK_BINARY] [--no-idle]
"""
import base64
import json
import os
import re
import socket
import statistics
import struct
import subprocess
import sys
import tempfile
import threading
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from headless_station import Station, cpu_seconds, memory_kib, print_load  # noqa: E402

ROOT = Path(__file__).resolve().parent.parent
TARVOK = sys.argv[1] if len(sys.argv) > 1 and sys.argv[1] != "--no-idle" else str(ROOT / "build/release/src/app/tarvok")
PASSWORD = "bench password"
IDLE_SECONDS = 45
SILENCE_S, TONE_S = 2.0, 1.0


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def make_station(work, name, web, mode=1, scenario=None):
    home = Path(work) / name
    home.mkdir(parents=True)
    port = free_port()
    settings = ("[Audio]\nSaveMode=1\nDefaultMode=%d\nState=0\nSourceIndex0=3\nSourceIndex1=1\n"
                "ComDevice=virtual\nStartDelay=10\nStopDelay=200\n" % mode)
    if web:
        settings += "[Web]\nEnabled=1\nListen=127.0.0.1:%d\n" % port
        subprocess.run([TARVOK, "--home", str(home), "--web-user", "bench", "--role", "operator"],
                       input=(PASSWORD + "\n").encode(), check=True, stderr=subprocess.DEVNULL)
    (home / "tarvok.ini").write_text(settings)
    audio = "virtual"
    if scenario:
        (home / "rx.scenario").write_text(scenario)
        audio = "virtual:" + str(home / "rx.scenario")
    station = Station(TARVOK, home, audio, os.environ)
    station.port = port
    station.home = home
    if not station.wait_for("Mode:", 30) or (web and not station.wait_for("Web console", 10)):
        sys.exit("the station did not start:\n" + "\n".join(station.lines))
    return station


def request(port, method, path, body=b"", cookie=b"", token=b""):
    with socket.create_connection(("127.0.0.1", port), 10) as connection:
        head = b"%s %s HTTP/1.1\r\nHost: 127.0.0.1:%d\r\n" % (method, path, port)
        if cookie:
            head += b"Cookie: " + cookie + b"\r\n"
        if token:
            head += b"X-CSRF-Token: " + token + b"\r\n"
        head += b"Content-Length: %d\r\n\r\n" % len(body)
        connection.sendall(head + body)
        reply = b""
        while chunk := connection.recv(65536):
            reply += chunk
    head, _, body = reply.partition(b"\r\n\r\n")
    return int(head[9:12] or 0), head, body


def login(port):
    status, head, body = request(port, b"POST", b"/api/login",
                                 json.dumps({"user": "bench", "password": PASSWORD}).encode())
    cookie = re.search(rb"Set-Cookie: ([^;]+);", head).group(1)
    return cookie, json.loads(body)["token"].encode()


class EventStream:
    """A WebSocket client of /api/events that reads every message."""

    def __init__(self, port, cookie):
        self.connection = socket.create_connection(("127.0.0.1", port), 10)
        key = base64.b64encode(os.urandom(16))
        self.connection.sendall(
            b"GET /api/events HTTP/1.1\r\nHost: 127.0.0.1:%d\r\nUpgrade: websocket\r\n"
            b"Connection: Upgrade\r\nSec-WebSocket-Version: 13\r\nSec-WebSocket-Key: %s\r\n"
            b"Origin: http://127.0.0.1:%d\r\nCookie: %s\r\n\r\n" % (port, key, port, cookie))
        self.buffer = b""
        while b"\r\n\r\n" not in self.buffer:
            self.buffer += self.connection.recv(4096)
        head, _, self.buffer = self.buffer.partition(b"\r\n\r\n")
        assert head.startswith(b"HTTP/1.1 101"), head

    def message(self):
        while True:
            if len(self.buffer) >= 10:
                length, start = self.buffer[1] & 0x7F, 2
                if length == 126:
                    length, start = struct.unpack(">H", self.buffer[2:4])[0], 4
                elif length == 127:
                    length, start = struct.unpack(">Q", self.buffer[2:10])[0], 10
                if len(self.buffer) >= start + length:
                    text, self.buffer = self.buffer[start:start + length], self.buffer[start + length:]
                    return text
            self.buffer += self.connection.recv(65536)

    def drain(self, stop):
        self.connection.settimeout(0.5)
        while not stop.is_set():
            try:
                self.connection.recv(65536)
            except socket.timeout:
                pass


def idle_cost(work):
    rows = []
    for label, web, clients in (("console off", False, 0), ("on, no browser", True, 0),
                                ("on, one browser", True, 1), ("on, ten browsers", True, 10)):
        station = make_station(work, label.replace(" ", "-").replace(",", ""), web)
        stop = threading.Event()
        streams = []
        if clients:
            cookie, _ = login(station.port)
            streams = [EventStream(station.port, cookie) for _ in range(clients)]
            for stream in streams:
                threading.Thread(target=stream.drain, args=(stop,), daemon=True).start()
        time.sleep(5)
        pid = station.process.pid
        begin, wall = cpu_seconds(pid), time.monotonic()
        time.sleep(IDLE_SECONDS)
        used, wall = cpu_seconds(pid) - begin, time.monotonic() - wall
        rss = memory_kib(pid)["VmRSS"]
        stop.set()
        station.stop()
        rows.append(f"| {label} | {100 * used / wall:.2f} % | {rss / 1024:.1f} MiB |")
    print(f"\n### Idle Internet Repeater station, {IDLE_SECONDS} s each\n")
    print("| Console | CPU (one core) | VmRSS |\n|---|---:|---:|")
    print("\n".join(rows))


def push_delay(station, cookie, token, tries=20):
    stream = EventStream(station.port, cookie)
    delays = []
    for i in range(tries):
        mode = 3 if i % 2 == 0 else 1
        sent = time.monotonic()
        request(station.port, b"POST", b"/api/mode", json.dumps({"mode": mode}).encode(),
                cookie, token)
        while True:
            event = json.loads(stream.message())
            if event["type"] == "snapshot" and event["snapshot"]["mode"] == mode:
                delays.append(1000 * (time.monotonic() - sent))
                break
        time.sleep(0.3)
    delays.sort()
    print(f"\n### From a mode change to its message on the event stream, {tries} changes\n")
    print(f"Median {statistics.median(delays):.1f} ms, fastest {delays[0]:.1f} ms, "
          f"slowest {delays[-1]:.1f} ms (POST sent to snapshot received, one connection each).")


def status_load(port, cookie, stop, counter, lock):
    while not stop.is_set():
        status, _, _ = request(port, b"GET", b"/api/status", cookie=cookie)
        with lock:
            counter[status] = counter.get(status, 0) + 1


def failing_logins(port, stop):
    body = json.dumps({"user": "nobody", "password": "wrong"}).encode()
    while not stop.is_set():
        request(port, b"POST", b"/api/login", body)
        time.sleep(0.1)


def requests_per_second(station, cookie, seconds=15):
    stop, lock, counter = threading.Event(), threading.Lock(), {}
    threads = [threading.Thread(target=status_load, args=(station.port, cookie, stop, counter, lock))
               for _ in range(50)]
    for thread in threads:
        thread.start()
    time.sleep(seconds)
    stop.set()
    for thread in threads:
        thread.join()
    print(f"\n### GET /api/status, 50 clients at once for {seconds} s\n")
    print(f"{counter.get(200, 0) / seconds:.0f} answers per second "
          f"(statuses: {dict(sorted(counter.items()))}).")


def vox_delays(work, loaded, tries=10):
    period = SILENCE_S + TONE_S
    scenario = f"0 rx silence\n{SILENCE_S} rx tone 1000 -12\n{period} rx silence\nrepeat {period}\n"
    station = make_station(work, "vox-loaded" if loaded else "vox-quiet", True, 1, scenario)
    stop, lock, counter = threading.Event(), threading.Lock(), {}
    threads = []
    if loaded:
        cookie, _ = login(station.port)
        threads = [threading.Thread(target=status_load,
                                    args=(station.port, cookie, stop, counter, lock))
                   for _ in range(50)]
        threads.append(threading.Thread(target=failing_logins, args=(station.port, stop)))
        for thread in threads:
            thread.start()
    log = station.home / "transmitter.log"
    end = time.monotonic() + period * (tries + 2) + 30
    while time.monotonic() < end:
        if log.exists() and log.read_text().count(": released") >= tries + 1:
            break
        time.sleep(0.2)
    stop.set()
    for thread in threads:
        thread.join()
    station.stop()
    delays = []
    for match in re.finditer(r"([\d.]+) s: keyed", log.read_text()):
        keyed = float(match.group(1))
        tone = (keyed - SILENCE_S) // period * period + SILENCE_S
        delays.append(1000 * (keyed - tone))
    delays = sorted(delays[1:tries + 1])
    return (f"| {'50 status clients and a failing login every 100 ms' if loaded else 'quiet'} "
            f"| {len(delays)} | {statistics.median(delays):.1f} ms | {delays[0]:.1f} ms "
            f"| {delays[-1]:.1f} ms |")


def main():
    work = tempfile.mkdtemp(prefix="tarvok-web-bench-")
    if "--no-idle" not in sys.argv:
        idle_cost(work)
    station = make_station(work, "speed", True)
    cookie, token = login(station.port)
    push_delay(station, cookie, token)
    requests_per_second(station, cookie)
    station.stop()
    print("\n### VOX key-up (start delay 10 ms) while the console is busy\n")
    print("| Load | Tries | Median | Fastest | Slowest |\n|---|---:|---:|---:|---:|")
    print(vox_delays(work, False))
    print(vox_delays(work, True))
    print_load()


if __name__ == "__main__":
    main()
