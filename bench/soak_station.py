#!/usr/bin/env python3
"""Soak run of the headless station: Simplex Repeater mode on the virtual card, a 3-second
transmission on the receiver every 20 s, for a given time (an hour by default).

Every cycle must complete (recorded, the transmitter keyed and released again); resident memory
(VmRSS) and open file descriptors are sampled once a minute and must stay flat. Prints the figures
as Markdown and exits non-zero when a cycle was lost or memory or descriptors grew.
"""
import argparse
import os
import signal
import subprocess
import sys
import tempfile
import threading
import time
from pathlib import Path

CYCLE_S = 20
SCENARIO = f"""# A 3-second transmission every {CYCLE_S} seconds.
0  rx  silence
5  rx  tone 800 -12
8  rx  silence
repeat {CYCLE_S}
"""
SETTINGS = """[Audio]
SaveMode=1
DefaultMode=2
State=0
SourceIndex0=3
SourceIndex1=1
ComDevice=virtual
AudioTime2=600
CWString2=E
"""
# Growth allowed between the first and the last sample after the warm-up.
RSS_SLACK_KIB = 2048
FD_SLACK = 0


def sample(pid):
    rss = 0
    for line in Path(f"/proc/{pid}/status").read_text().splitlines():
        if line.startswith("VmRSS:"):
            rss = int(line.split()[1])
    return rss, len(os.listdir(f"/proc/{pid}/fd"))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--tarvok", default="build/release/src/app/tarvok")
    parser.add_argument("--minutes", type=float, default=60)
    args = parser.parse_args()

    home = Path(tempfile.mkdtemp(prefix="tarvok-soak-"))
    (home / "tarvok.ini").write_text(SETTINGS)
    (home / "soak.scenario").write_text(SCENARIO)
    env = dict(os.environ)
    env.pop("DISPLAY", None)
    process = subprocess.Popen(
        [args.tarvok, "--headless", "--home", str(home), "--audio",
         f"virtual:{home / 'soak.scenario'}"],
        stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, env=env)
    lines = []
    reader = threading.Thread(
        target=lambda: [lines.append(line.rstrip("\n")) for line in process.stdout], daemon=True)
    reader.start()

    samples = []  # (minute, rss KiB, fds)
    start = time.monotonic()
    end = start + args.minutes * 60
    next_sample = start + 60
    while time.monotonic() < end and process.poll() is None:
        time.sleep(1)
        if time.monotonic() >= next_sample:
            samples.append((round((time.monotonic() - start) / 60),) + sample(process.pid))
            next_sample += 60
    crashed = process.poll() is not None
    if not crashed:
        process.send_signal(signal.SIGINT)
        process.wait(30)
    reader.join(5)

    def count(text):
        return sum(1 for line in lines if line.endswith(text) or text + " " in line)

    elapsed = time.monotonic() - start
    expected = int(elapsed // CYCLE_S) - 1  # the cycle under way at the end may be cut
    finished = count("Recording finished:")
    keyed = count("Transmitter keyed")
    released = count("Transmitter released")
    errors = [line for line in lines if " Error: " in line]
    print(f"Soak run: {elapsed / 60:.1f} minutes, a transmission every {CYCLE_S} s\n")
    print("| Figure | Value |\n|---|---|")
    print(f"| cycles expected (at least) | {expected} |")
    print(f"| recordings finished | {finished} |")
    print(f"| transmitter keyed / released | {keyed} / {released} |")
    print(f"| errors logged | {len(errors)} |")
    print("\n| Minute | VmRSS (KiB) | Open fds |\n|---|---|---|")
    for minute, rss, fds in samples:
        print(f"| {minute} | {rss} | {fds} |")
    failures = []
    if crashed:
        failures.append(f"the station ended by itself (exit {process.returncode})")
    if min(finished, keyed, released) < expected:
        failures.append("a cycle did not complete")
    failures += errors
    if len(samples) >= 3:
        # The first minute is the warm-up (buffers, the first recording).
        rss_growth = samples[-1][1] - samples[1][1]
        fd_growth = samples[-1][2] - samples[1][2]
        print(f"\nGrowth after the first minute: VmRSS {rss_growth:+d} KiB, fds {fd_growth:+d}")
        if rss_growth > RSS_SLACK_KIB:
            failures.append("resident memory grew")
        if fd_growth > FD_SLACK:
            failures.append("open file descriptors grew")
    for failure in failures:
        print(f"FAILED: {failure}", file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
