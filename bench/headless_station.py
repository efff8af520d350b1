#!/usr/bin/env python3
"""Measures the headless station as an operator runs it and prints the figures as Markdown tables.

Idle: CPU (percent of one core, utime+stime from /proc/PID/stat) and resident memory (VmRSS,
VmHWM) of a station idle in Simplex Repeater mode, one on the virtual card and one on each private
sound server (PulseAudio; PipeWire with WirePlumber and its PulseAudio server) at the same time,
plus each sound server's own CPU (for PipeWire its three processes together).

ALSA: with PulseAudio among the servers, a station on ALSA through its PulseAudio plugin
(`--audio alsa:pulse`, which records the server's default source "receiver" and plays on its
default sink "tx") is measured beside the one on PulseAudio itself, idle and keying.

Keying delay: in Internet Repeater mode with VOX on the receiver's line, the time from a receiver
tone starting to the transmitter keyed, per start delay. On the virtual card both times are the
card's own (scenario and transmitter.log); on the servers the tone is written to the null sink "rx"
through pacat with a 10 ms buffer, and its start is the moment its first 10 ms went to pacat,
measured against the timestamp of the station's "Transmitter keyed" line.
"""
import argparse
import math
import os
import re
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time
import wave
from datetime import datetime
from pathlib import Path

TICKS = os.sysconf("SC_CLK_TCK")
RATE = 8000
CHUNK = RATE // 100  # 10 ms
SILENCE_S, TONE_S = 2.0, 1.0  # one try: silence, then a tone
TONE_PEAK = 8231  # -12 dBFS
REPEAT_TONE_S = 5.0
SETTINGS = """[Audio]
SaveMode=1
DefaultMode={mode}
State=0
SourceIndex0={line}
SourceIndex1={other}
ComDevice=virtual
StartDelay={start}
StopDelay=200
"""


def cpu_seconds(pid):
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS  # utime, stime


def memory_kib(pid):
    values = {}
    for line in Path(f"/proc/{pid}/status").read_text().splitlines():
        key, _, rest = line.partition(":")
        if key in ("VmRSS", "VmHWM"):
            values[key] = int(rest.split()[0])
    return values


class Station:
    """One headless station with its operator log collected line by line."""

    def __init__(self, tarvok, home, audio, env):
        self.lines = []
        self.process = subprocess.Popen(
            [tarvok, "--headless", "--home", str(home), "--audio", audio],
            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, env=env)
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        for line in self.process.stdout:
            self.lines.append(line.rstrip("\n"))

    def wait_for(self, text, timeout):
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            if any(text in line for line in self.lines):
                return True
            if self.process.poll() is not None:
                break
            time.sleep(0.05)
        return False

    def keyed_times(self):
        """Wall-clock times of the "Transmitter keyed" lines."""
        times = []
        for line in self.lines:
            if line.endswith("Transmitter keyed"):
                stamp = datetime.strptime(line[:23], "%Y-%m-%d %H:%M:%S.%f")
                times.append(stamp.timestamp())
        return times

    def stop(self):
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGINT)
            try:
                self.process.wait(20)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.reader.join(5)
        return self.process.returncode


class PulseServer:
    """A private PulseAudio server as the tests start it: null sinks "rx" and "tx" and a source
    "receiver" that records "rx"."""

    def __init__(self):
        # Short and absolute: the server's socket path must fit a Unix socket address.
        self.runtime = Path(tempfile.mkdtemp(prefix="tarvok-pulse-"))
        self.runtime.chmod(0o700)
        self.env = dict(os.environ, XDG_RUNTIME_DIR=str(self.runtime))
        self.env.pop("PULSE_SERVER", None)
        self.process = subprocess.Popen(
            ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit",
             "--use-pid-file=no",
             "-L", "module-null-sink sink_name=rx sink_properties='device.description=\"Radio RX\"'",
             "-L", "module-null-sink sink_name=tx sink_properties='device.description=\"Radio TX\"'",
             "-L", "module-remap-source master=rx.monitor source_name=receiver "
                   "source_properties='device.description=\"Receiver input\"'",
             "-L", "module-native-protocol-unix"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=self.env)
        for _ in range(300):
            sources = self.run("pactl", "list", "short", "sources")
            if "receiver" in sources and "tx.monitor" in sources:
                break
            time.sleep(0.05)
        else:
            self.stop()
            sys.exit("the private PulseAudio server does not answer")
        self.run("pactl", "set-default-sink", "tx")
        self.run("pactl", "set-default-source", "receiver")

    def run(self, *command):
        return subprocess.run(command, env=self.env, capture_output=True, text=True).stdout

    def server_pids(self):
        return [self.process.pid]

    def stop(self):
        self.process.terminate()
        self.process.wait(10)
        shutil.rmtree(self.runtime, ignore_errors=True)


class PipeWireServer(PulseServer):
    """A private PipeWire with WirePlumber and its PulseAudio server, the same sinks and source."""

    def __init__(self):
        self.runtime = Path(tempfile.mkdtemp(prefix="tarvok-pw-"))
        self.runtime.chmod(0o700)
        (self.runtime / "home").mkdir()
        bus = self.runtime / "bus"
        self.env = dict(os.environ, XDG_RUNTIME_DIR=str(self.runtime),
                        HOME=str(self.runtime / "home"),
                        DBUS_SESSION_BUS_ADDRESS=f"unix:path={bus}")
        self.env.pop("PULSE_SERVER", None)
        self.processes = []
        self._start(["dbus-daemon", "--session", "--nofork", "--nopidfile",
                     f"--address=unix:path={bus}"], bus)
        self._start(["pipewire"], self.runtime / "pipewire-0")
        self._start(["wireplumber"], None)
        self._start(["pipewire-pulse"], None)
        self.process = self.processes[-1]
        self._wait(lambda: subprocess.run(["pactl", "info"], env=self.env,
                                          capture_output=True).returncode == 0)
        self.run("pactl", "load-module", "module-null-sink", "sink_name=rx",
                 "sink_properties='device.description=\"Radio RX\"'")
        self.run("pactl", "load-module", "module-null-sink", "sink_name=tx",
                 "sink_properties='device.description=\"Radio TX\"'")
        self.run("pactl", "load-module", "module-remap-source", "master=rx.monitor",
                 "source_name=receiver", "source_properties='device.description=\"Receiver input\"'")
        self._wait(lambda: "receiver" in self.run("pactl", "list", "short", "sources")
                   and self.run("pactl", "get-default-sink").strip() != "auto_null")
        self.run("pactl", "set-default-sink", "tx")
        self.run("pactl", "set-default-source", "receiver")

    def _start(self, command, ready_file):
        self.processes.append(subprocess.Popen(command, stdout=subprocess.DEVNULL,
                                               stderr=subprocess.DEVNULL, env=self.env))
        if ready_file is not None:
            self._wait(ready_file.exists)

    def _wait(self, condition):
        for _ in range(300):
            if condition():
                return
            time.sleep(0.05)
        self.stop()
        sys.exit("the private PipeWire server does not answer")

    def server_pids(self):
        return [p.pid for p in self.processes[1:]]

    def stop(self):
        for process in reversed(self.processes):
            process.terminate()
            process.wait(10)
        shutil.rmtree(self.runtime, ignore_errors=True)


ALSA_AUDIO = "alsa:pulse"
ALSA_LABEL = "ALSA pulse plugin (on PulseAudio)"


def alsa_server(args, servers):
    """The PulseAudio server that the ALSA station runs on, with its lines; None without one."""
    server = servers.get("PulseAudio")
    if args.no_alsa or server is None:
        return None
    server.alsa_rx = line_index(args.tarvok, ALSA_AUDIO, "Receiver", server.env)
    server.alsa_tx = line_index(args.tarvok, ALSA_AUDIO, "Station Audio", server.env)
    return server


def line_index(tarvok, audio, name, env):
    listing = subprocess.run([tarvok, "--list-audio", "--audio", audio], env=env,
                             capture_output=True, text=True).stdout
    for row in listing.splitlines():
        match = re.match(r"\s*(\d+)\s+\S+:\S+: (.*)", row)
        if match and match.group(2).startswith(name):
            return int(match.group(1))
    sys.exit(f"no line {name!r} in:\n{listing}")


def new_home(work, name, mode, line, other, start_delay, extra=""):
    home = Path(work) / name
    home.mkdir(parents=True, exist_ok=True)
    (home / "tarvok.ini").write_text(
        SETTINGS.format(mode=mode, line=line, other=other, start=start_delay) + extra)
    return home


def measure_idle(args, servers):
    stations = {
        "virtual card": Station(args.tarvok, new_home(args.work, "idle-virtual", 2, 3, 1, 10),
                                "virtual", os.environ),
    }
    for name, server in servers.items():
        stations[name] = Station(args.tarvok, new_home(args.work, f"idle-{name}", 2,
                                                       server.rx, server.tx, 10), "pulse",
                                 server.env)
    alsa = alsa_server(args, servers)
    if alsa:
        stations[ALSA_LABEL] = Station(args.tarvok, new_home(args.work, "idle-alsa", 2, alsa.rx,
                                                             alsa.tx, 10), ALSA_AUDIO, alsa.env)
    for name, station in stations.items():
        if not station.wait_for("State: LISTENING", 30):
            sys.exit(f"{name}: the station did not reach LISTENING:\n" + "\n".join(station.lines))
    time.sleep(5)  # past the start-up
    pids = {name: [s.process.pid] for name, s in stations.items()}
    for name, server in servers.items():
        pids[f"({name} server)"] = server.server_pids()
    begin = {name: sum(map(cpu_seconds, p)) for name, p in pids.items()}
    rss_begin = {name: memory_kib(pids[name][0])["VmRSS"] for name in stations}
    wall = time.monotonic()
    time.sleep(args.idle_seconds)
    wall = time.monotonic() - wall
    used = {name: sum(map(cpu_seconds, p)) - begin[name] for name, p in pids.items()}
    memory = {name: memory_kib(pids[name][0]) for name in stations}
    for name, station in stations.items():
        code = station.stop()
        if code != 0:
            print(f"warning: the {name} station exited with {code}", file=sys.stderr)
    print(f"\n### Idle in Simplex Repeater mode, {wall / 60:.1f} minutes\n")
    print("| Back end | CPU (one core) | CPU per hour | VmRSS at start | VmRSS at end | VmHWM |")
    print("|---|---:|---:|---:|---:|---:|")
    for name in stations:
        print(f"| {name} | {100 * used[name] / wall:.2f} % | {3600 * used[name] / wall:.0f} s "
              f"| {rss_begin[name] / 1024:.1f} MiB | {memory[name]['VmRSS'] / 1024:.1f} MiB "
              f"| {memory[name]['VmHWM'] / 1024:.1f} MiB |")
    for name in servers:
        server = used[f"({name} server)"]
        print(f"| ({name} server) | {100 * server / wall:.2f} % | {3600 * server / wall:.0f} s "
              "| | | |")
    print_load()


def print_load():
    """Other work on the machine lengthens the delays, though not the CPU time of a process."""
    print("\nLoad average of the machine (1, 5, 15 minutes): %.2f, %.2f, %.2f" % os.getloadavg())


def summary(label, start_delay, delays, tries):
    ms = sorted(1000 * d for d in delays)
    if not ms:
        return f"| {label} | {start_delay} ms | 0 of {tries} | | | |"
    return (f"| {label} | {start_delay} ms | {len(ms)} of {tries} | {statistics.median(ms):.1f} ms "
            f"| {ms[0]:.1f} ms | {ms[-1]:.1f} ms |")


def virtual_delays(args, start_delay):
    home = new_home(args.work, f"delay-virtual-{start_delay}", 1, 3, 1, start_delay)
    period = SILENCE_S + TONE_S
    (home / "tones.scenario").write_text(
        f"0 rx silence\n{SILENCE_S} rx tone 1000 -12\n{period} rx silence\nrepeat {period}\n")
    station = Station(args.tarvok, home, f"virtual:{home / 'tones.scenario'}", os.environ)
    station.wait_for("Mode:", 30)
    log = home / "transmitter.log"
    end = time.monotonic() + period * (args.tries + 1) + 30
    while time.monotonic() < end:
        if log.exists() and log.read_text().count(": released") >= args.tries:
            break
        time.sleep(0.2)
    station.stop()
    delays = []
    for match in re.finditer(r"([\d.]+) s: keyed", log.read_text() if log.exists() else ""):
        keyed = float(match.group(1))
        tone = (keyed - SILENCE_S) // period * period + SILENCE_S
        delays.append(keyed - tone)
    return delays[:args.tries]


def pulse_delays(args, pulse, start_delay, alsa=False):
    """The tone goes into "rx" alike; the station hears it through PulseAudio, or through ALSA's
    plugin on the same server."""
    rx, tx = (pulse.alsa_rx, pulse.alsa_tx) if alsa else (pulse.rx, pulse.tx)
    home = new_home(args.work, f"delay-{'alsa' if alsa else pulse.name}-{start_delay}", 1, rx, tx,
                    start_delay)
    station = Station(args.tarvok, home, ALSA_AUDIO if alsa else "pulse", pulse.env)
    station.wait_for("Mode:", 30)
    time.sleep(2)
    silence = bytes(2 * CHUNK)
    # 1000 Hz at -12 dBFS: a whole number of periods in each 10 ms
    tone = b"".join(round(TONE_PEAK * math.sin(2 * math.pi * 1000 * i / RATE))
                    .to_bytes(2, "little", signed=True) for i in range(CHUNK))
    starts = []
    for _ in range(args.tries):
        # A player per try: a late write makes the next ones go out in a burst, and what a burst
        # leaves queued in a long-lived stream would delay every later tone.
        player = subprocess.Popen(
            ["pacat", "--playback", "-d", "rx", "--raw", "--format=s16le", f"--rate={RATE}",
             "--channels=1", "--latency-msec=10"], stdin=subprocess.PIPE, env=pulse.env)
        next_write = time.monotonic()
        for i in range(int((SILENCE_S + TONE_S) * 100)):
            in_tone = i >= SILENCE_S * 100
            while time.monotonic() < next_write:
                time.sleep(0.001)
            if i == SILENCE_S * 100:
                starts.append(time.time())
            player.stdin.write(tone if in_tone else silence)
            player.stdin.flush()
            next_write += 0.01
        player.stdin.close()
        player.wait(10)
    time.sleep(1)
    station.stop()
    keyed = station.keyed_times()
    delays = []
    for start in starts:
        after = [k for k in keyed if start <= k < start + TONE_S + 1]
        if after:
            delays.append(after[0] - start)
    return delays


def repeat_lengths(args, server):
    """Simplex Repeater: a 5 s tone at -12 dBFS played into "rx" with paplay, the repeat recorded
    from "tx"'s monitor (its left channel). Each repeat's length and level tell what the recording
    lost of the tone's start and how loud it was kept. The recordings are kept (the recordings log
    on) and returned with the repeats: each one's length and level against the tone."""
    home = new_home(args.work, f"repeat-{server.name}", 2, server.rx, server.tx, 100,
                    "LogEnabled=1\n")
    tone = home / "tone.wav"
    subprocess.run(["sox", "-n", "-r", str(RATE), "-b", "16", "-c", "1", str(tone), "synth",
                    str(REPEAT_TONE_S), "sine", "1000", "vol", "0.2512"], check=True)
    station = Station(args.tarvok, home, "pulse", server.env)
    station.wait_for("State: LISTENING", 30)
    time.sleep(2)
    monitor = subprocess.Popen(
        ["parec", "-d", "tx.monitor", "--format=s16le", f"--rate={RATE}", "--channels=1",
         "--channel-map=front-left", "--latency-msec=20"], stdout=subprocess.PIPE,
        env=server.env)
    # Read as it comes: parec keeps what the pipe cannot take and may drop it when terminated.
    chunks = []
    reader = threading.Thread(target=lambda: chunks.extend(iter(
        lambda: monitor.stdout.read1(65536), b"")), daemon=True)
    reader.start()
    for _ in range(args.repeats):
        subprocess.run(["paplay", "-d", "rx", str(tone)], env=server.env)
        time.sleep(REPEAT_TONE_S + 6)
    monitor.terminate()
    reader.join(10)
    data = b"".join(chunks)
    station.stop()
    samples = [int.from_bytes(data[i:i + 2], "little", signed=True)
               for i in range(0, len(data) - 1, 2)]
    runs, run = [], []
    for w in range(0, len(samples) - CHUNK, CHUNK):
        window = samples[w:w + CHUNK]
        if max(abs(v) for v in window) > TONE_PEAK / 2:
            run.extend(window)
        else:
            if len(run) / RATE > 1.0:
                runs.append((len(run) / RATE, tone_level(run)))
            run = []
    return runs, [recording_figures(path) for path in sorted((home / "temp").glob("*.wav"))]


def tone_level(samples):
    """Level against the tone in dB, from the RMS of the tone's middle: a sample peak depends on
    where the samples fall on the wave (up to 0.7 dB low for 1000 Hz at 8000 Hz)."""
    middle = samples[len(samples) // 4:3 * len(samples) // 4] or [0]
    rms = math.sqrt(sum(v * v for v in middle) / len(middle))
    return 20 * math.log10(max(rms * math.sqrt(2), 1) / TONE_PEAK)


def recording_figures(path):
    """Length in seconds and level against the tone of a 16-bit recording."""
    with wave.open(str(path)) as recording:
        frames = recording.readframes(recording.getnframes())
        seconds = recording.getnframes() / recording.getframerate()
    samples = [int.from_bytes(frames[i:i + 2], "little", signed=True)
               for i in range(0, len(frames) - 1, 2)]
    return seconds, tone_level(samples)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--tarvok", default="build/release/src/app/tarvok")
    parser.add_argument("--work", default="build/headless-bench")
    parser.add_argument("--idle-seconds", type=float, default=600)
    parser.add_argument("--tries", type=int, default=20)
    parser.add_argument("--start-delays", default="10,100")
    parser.add_argument("--pulse-line", default="Receiver input",
                        help='the VOX line on PulseAudio; "Radio RX" is the sink "rx" itself')
    parser.add_argument("--servers", default="PulseAudio,PipeWire",
                        help="private sound servers to measure on, of PulseAudio and PipeWire")
    parser.add_argument("--repeats", type=int, default=3,
                        help="5 s tones repeated in Simplex Repeater mode on each server")
    parser.add_argument("--no-virtual", action="store_true",
                        help="leave out the virtual card's keying delays")
    parser.add_argument("--no-alsa", action="store_true",
                        help="leave out the station on ALSA's PulseAudio plugin")
    args = parser.parse_args()
    Path(args.work).mkdir(parents=True, exist_ok=True)
    args.work = tempfile.mkdtemp(prefix="run-", dir=Path(args.work).resolve())
    kinds = {"PulseAudio": PulseServer, "PipeWire": PipeWireServer}
    servers = {}
    try:
        for name in args.servers.split(","):
            server = servers[name] = kinds[name]()
            server.name = name
            server.rx = line_index(args.tarvok, "pulse", args.pulse_line, server.env)
            server.tx = line_index(args.tarvok, "pulse", "Radio TX", server.env)
        if args.idle_seconds > 0:
            measure_idle(args, servers)
        print(f"\n### Receiver tone to transmitter keyed, Internet Repeater mode, "
              f"{args.tries} tries\n")
        print("| Back end | StartDelay | Keyed | Median | Best | Worst |")
        print("|---|---:|---:|---:|---:|---:|")
        for delay in (int(d) for d in args.start_delays.split(",") if d):
            if not args.no_virtual:
                print(summary("virtual card", delay, virtual_delays(args, delay), args.tries),
                      flush=True)
            for name, server in servers.items():
                print(summary(name, delay, pulse_delays(args, server, delay), args.tries),
                      flush=True)
            alsa = alsa_server(args, servers)
            if alsa:
                print(summary(ALSA_LABEL, delay, pulse_delays(args, alsa, delay, alsa=True),
                              args.tries), flush=True)
        if args.repeats > 0:
            print(f"\n### Simplex Repeater: a {REPEAT_TONE_S:.0f} s tone repeated, "
                  f"StartDelay 100 ms\n")
            print("| Server | Repeats | Repeat lengths | Repeat level | Recording lengths "
                  "| Recording level |")
            print("|---|---:|---|---|---|---|")
            for name, server in servers.items():
                runs, recordings = repeat_lengths(args, server)
                columns = [", ".join(f"{r[0]:.2f} s" for r in runs),
                           ", ".join(f"{r[1]:+.2f} dB" for r in runs),
                           ", ".join(f"{r[0]:.2f} s" for r in recordings),
                           ", ".join(f"{r[1]:+.2f} dB" for r in recordings)]
                print(f"| {name} | {len(runs)} of {args.repeats} | " + " | ".join(columns) + " |",
                      flush=True)
        print_load()
    finally:
        for server in servers.values():
            server.stop()


if __name__ == "__main__":
    main()
