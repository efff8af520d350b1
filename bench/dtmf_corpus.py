#!/usr/bin/env python3
"""Generates a labelled DTMF corpus with sox and espeak-ng, decodes every file with tarvok-dtmf
(at several detection levels) and with multimon-ng, scores the keys right, missed and extra, and
writes the tables, with the transform timings of Google Benchmark, to a Markdown report.

Every file is made deterministically (fixed seeds, repeatable sox), so a rerun on the same
package versions gives the same accuracy figures; only the timings depend on the machine.
"""

import argparse
import datetime
import json
import pathlib
import platform
import random
import re
import shutil
import subprocess

RATE = 8000
KEYS = "123A456B789C*0#D"
LOW = [697, 770, 852, 941]
HIGH = [1209, 1336, 1477, 1633]
TONE_AMPLITUDE = 0.25  # each tone at -12 dBFS, both together peak at -6 dBFS
LEAD_IN = 0.5
TRAILER = 1.0
MAIN_LEVELS = [10, 40]  # the default level, and one between tone peaks and their leakage
SWEEP_LEVELS = [10, 20, 30, 35, 40, 45, 50, 55]
CLEAN_LENGTHS = [40, 50, 100, 250, 500]
CONDITION_LENGTH = 250  # tone and pause of the offset, twist and noise sets


def run(args, **kwargs):
    return subprocess.run(args, check=True, capture_output=True, text=True, **kwargs)


def sox(*args):
    run(["sox", "-R", *map(str, args)])


def tones(key):
    i = KEYS.index(key)
    return LOW[i // 4], HIGH[i % 4]


class Corpus:
    def __init__(self, work):
        shutil.rmtree(work, ignore_errors=True)
        self.work = work
        self.parts = work / "parts"
        self.parts.mkdir(parents=True, exist_ok=True)
        self.entries = []  # (set name, file, expected keys)

    def part(self, name, channels, *effects, rate=RATE):
        """A mono file from `channels` channels synthesized at `rate`, made once per corpus."""
        path = self.parts / f"{name}.wav"
        if not path.exists():
            sox("-D", "-r", rate, "-c", channels, "-n", "-r", RATE, "-b", 16, "-c", 1, path,
                *effects)
        return path

    def silence(self, seconds):
        return self.part(f"silence-{seconds}", 1, "trim", 0, seconds)

    def key(self, key, tone_ms, pause_ms, offset, twist_db):
        low, high = (f * (1 + offset) for f in tones(key))
        high_amplitude = TONE_AMPLITUDE * 10 ** (twist_db / 20)
        name = f"key{KEYS.index(key)}-{tone_ms}-{pause_ms}-{offset}-{twist_db}"
        return self.part(name, 2, "synth", tone_ms / 1000, "sine", f"{low:.2f}", "sine",
                         f"{high:.2f}", "remix", "-m",
                         f"1v{TONE_AMPLITUDE},2v{high_amplitude:.4f}", "pad", 0, pause_ms / 1000)

    def sequence(self, set_name, name, keys, tone_ms, pause_ms=None, offset=0.0, twist_db=0,
                 snr_db=None, expected=None):
        path = self.work / f"{name}.wav"
        pause_ms = tone_ms if pause_ms is None else pause_ms
        parts = [self.silence(LEAD_IN)]
        parts += [self.key(k, tone_ms, pause_ms, offset, twist_db) for k in keys]
        parts.append(self.silence(TRAILER))
        clean = path if snr_db is None else self.work / f"{name}-clean.wav"
        sox("-D", *parts, clean)
        if snr_db is not None:
            # Noise over the whole band 0 .. 4000 Hz against the power of the two tones; sox's
            # white noise is uniform, so its RMS is its amplitude divided by sqrt(3).
            tone_rms = TONE_AMPLITUDE * (0.5 * (1 + 10 ** (twist_db / 10))) ** 0.5
            amplitude = tone_rms / 10 ** (snr_db / 20) * 3 ** 0.5
            noise = self.work / f"{name}-noise.wav"
            duration = run(["soxi", "-D", str(clean)]).stdout.strip()
            sox("-D", "-r", RATE, "-c", 1, "-n", "-b", 16, noise, "synth", duration, "whitenoise",
                "vol", f"{amplitude:.5f}")
            sox("-D", "-m", "-v", 1, clean, "-v", 1, noise, path)
        self.entries.append((set_name, path, keys if expected is None else expected))

    def speech(self, name, voice, words):
        text = self.work / f"{name}.txt"
        text.write_text(" ".join(words))
        raw = self.work / f"{name}-22k.wav"
        run(["espeak-ng", "-v", voice, "-s", "165", "-w", str(raw), "-f", str(text)])
        path = self.work / f"{name}.wav"
        sox("-D", raw, "-r", RATE, "-c", 1, "-b", 16, path, "gain", "-n", "-3")
        self.entries.append(("talk-off: speech", path, ""))

    def music(self, name, rng, seconds):
        """Melodies, chords and sweeps over 200 .. 2000 Hz in plucked, square, triangle and sine
        voices: the harmonics and glides of music that a DTMF decoder must not take for keys."""
        scale = [196.0 * 2 ** (step / 12) for step in range(0, 36) if step % 12 in
                 (0, 2, 4, 5, 7, 9, 11)]
        notes, total = [], 0.0
        while total < seconds:
            kind = rng.choice(["pluck", "square", "triangle", "chord", "sweep"])
            length = rng.choice([0.125, 0.25, 0.25, 0.5, 1.0])
            if kind == "chord":
                root = rng.randrange(len(scale) - 4)
                plucks = [x for i in (0, 2, 4) for x in ("pluck", f"{scale[root + i]:.2f}")]
                channels, effects = 3, ["synth", length, *plucks, "remix", "-m", "1v0.3,2v0.3,3v0.3"]
            elif kind == "sweep":
                start, end = rng.uniform(200, 2000), rng.uniform(200, 2000)
                channels, effects = 1, ["synth", length, "sine", f"{start:.1f}:{end:.1f}", "vol", 0.5]
            else:
                frequency = rng.choice(scale)
                channels, effects = 1, ["synth", length, kind, f"{frequency:.2f}", "vol", 0.4]
            # sox plucks strings at 44.1 kHz only
            notes.append(self.part(f"{name}-{len(notes)}", channels, *effects, rate=44100))
            total += length
        path = self.work / f"{name}.wav"
        sox("-D", *notes, path)
        self.entries.append(("talk-off: music-like", path, ""))


def key_sequence(rng, count=32):
    """All keys, each twice, shuffled so that no key directly follows itself."""
    while True:
        keys = list(KEYS * (count // len(KEYS)))
        rng.shuffle(keys)
        if all(a != b for a, b in zip(keys, keys[1:])):
            return "".join(keys)


def build_corpus(work):
    corpus = Corpus(work)
    rng = random.Random(4)
    for ms in CLEAN_LENGTHS:
        corpus.sequence(f"clean {ms} ms", f"clean-{ms}", key_sequence(rng), ms)
    for ms in CLEAN_LENGTHS:
        corpus.sequence(f"repeated keys {ms} ms", f"repeat-{ms}", "".join(k + k for k in KEYS),
                        ms)
    for offset in (0.015, -0.015):
        corpus.sequence(f"offset {offset:+.1%}", f"offset{offset:+}", key_sequence(rng),
                        CONDITION_LENGTH, offset=offset)
    for offset in (0.035, -0.035):
        corpus.sequence(f"offset {offset:+.1%} (reject)", f"offset{offset:+}", key_sequence(rng),
                        CONDITION_LENGTH, offset=offset, expected="")
    for twist in (4, -4, 8, -8):
        corpus.sequence(f"twist {twist:+d} dB", f"twist{twist:+d}", key_sequence(rng),
                        CONDITION_LENGTH, twist_db=twist)
    for snr in (20, 10, 6):
        corpus.sequence(f"noise {snr} dB SNR", f"noise-{snr}", key_sequence(rng),
                        CONDITION_LENGTH, snr_db=snr)
    words = pathlib.Path("/usr/share/common-licenses/GPL-3").read_text().split()
    for i, voice in enumerate(["en+m3", "en+f2", "en-us+m1", "en+f4"]):
        corpus.speech(f"speech-{i}", voice, words[i * 240:(i + 1) * 240])
    for i in range(3):
        corpus.music(f"music-{i}", rng, 100)
    return corpus.entries


def decode_tarvok(decoder, path, level):
    out = run([decoder, "--level", str(level), str(path)]).stdout
    return "".join(line.split()[1] for line in out.splitlines() if line.strip())


def decode_multimon(path):
    out = run(["multimon-ng", "-q", "-r", "-c", "-a", "DTMF", "-t", "wav", str(path)]).stdout
    return "".join(re.findall(r"^DTMF: (.)$", out, re.MULTILINE))


def score(expected, decoded):
    """Keys right (longest common subsequence), missed and extra."""
    row = [0] * (len(decoded) + 1)
    for e in expected:
        previous = row[:]
        for j, d in enumerate(decoded):
            row[j + 1] = previous[j] + 1 if e == d else max(previous[j + 1], row[j])
    right = row[-1]
    return right, len(expected) - right, len(decoded) - right


def seconds(path):
    return float(run(["soxi", "-D", str(path)]).stdout)


def version(command, pattern=r"(\d+\.\d+[\w.+~-]*)"):
    try:
        result = subprocess.run(command, capture_output=True, text=True)
    except FileNotFoundError:
        return "?"
    found = re.search(pattern, result.stdout + result.stderr)
    return found.group(1) if found else "?"


def timings(benchmark):
    out = run([benchmark, "--benchmark_format=json", "--benchmark_repetitions=5",
               "--benchmark_report_aggregates_only=true"]).stdout
    report = json.loads(out)
    rows = [(b["run_name"], b["real_time"], b["cpu_time"], b["time_unit"])
            for b in report["benchmarks"] if b.get("aggregate_name") == "median"]
    return report["context"], rows


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--decoder", required=True, help="the tarvok-dtmf program")
    parser.add_argument("--benchmark", required=True, help="the Google Benchmark program")
    parser.add_argument("--work", required=True, type=pathlib.Path, help="corpus folder")
    parser.add_argument("--report", required=True, type=pathlib.Path, help="Markdown output")
    args = parser.parse_args()

    print("generating the corpus in", args.work)
    entries = build_corpus(args.work)
    sets = list(dict.fromkeys(name for name, _, _ in entries))
    decoders = {f"tarvok-dtmf level {lv}": (lambda p, lv=lv: decode_tarvok(args.decoder, p, lv))
                for lv in sorted(set(MAIN_LEVELS + SWEEP_LEVELS))}
    decoders["multimon-ng"] = decode_multimon
    print("decoding", len(entries), "files")
    totals = {}  # (decoder, set) -> [files, seconds, keys, right, missed, extra]
    for set_name, path, expected in entries:
        length = seconds(path)
        for decoder, decode in decoders.items():
            right, missed, extra = score(expected, decode(path))
            t = totals.setdefault((decoder, set_name), [0, 0.0, 0, 0, 0, 0])
            for i, value in enumerate((1, length, len(expected), right, missed, extra)):
                t[i] += value

    print("timing the transform")
    context, rows = timings(args.benchmark)
    write_report(args.report, sets, totals, context, rows)
    print("wrote", args.report)


def write_report(path, sets, totals, context, rows):
    main_decoders = [f"tarvok-dtmf level {lv}" for lv in MAIN_LEVELS] + ["multimon-ng"]
    lines = [
        "# Benchmarks",
        "",
        "The DTMF sections are written by `bench/run-dtmf-benchmark.sh` on "
        f"{datetime.date.today().isoformat()} ({platform.machine()}, "
        f"{context.get('num_cpus', '?')} CPUs at {context.get('mhz_per_cpu', '?')} MHz; sox "
        f"{version(['sox', '--version'])}, multimon-ng {version(['multimon-ng', '-h'])}, "
        f"espeak-ng {version(['espeak-ng', '--version'])}); rerun it to refresh them. The other "
        "sections come from the programs they name and are kept as they are.",
        "",
        "## DTMF decoding accuracy",
        "",
        "The corpus is generated by `bench/dtmf_corpus.py` with sox and espeak-ng: 16-bit mono",
        "WAV files at 8000 samples per second. Each key is a pair of sines, each tone at",
        "-12 dBFS, followed by a pause as long as the tone; every file starts with 0.5 s and ends",
        "with 1 s of silence.",
        "",
        "- *clean*: 32 keys (each key twice, shuffled, never a key right after itself).",
        "- *repeated keys*: every key pressed twice in a row (`112233AA...`).",
        f"- *offset*, *twist*, *noise*: 32 keys of {CONDITION_LENGTH} ms each. Offsets move both",
        "  tones; at +-1.5 % the keys must be decoded, at +-3.5 % they must be rejected, so every",
        "  key decoded there is counted as extra. Twist sets the high tone above (+) or below (-)",
        "  the low tone. Noise is white over 0 .. 4000 Hz; SNR is the power of the two tones",
        "  against that of the noise.",
        "- *talk-off*: no DTMF at all. Speech is espeak-ng reading the GPL in four voices,",
        "  normalised to -3 dBFS; music-like audio is plucked, square and triangle melodies,",
        "  plucked chords and sine sweeps over 200 .. 2000 Hz. Every key decoded is extra.",
        "",
        "Right keys are the longest common subsequence of expected and decoded keys; missed and",
        "extra are what is left of each. tarvok-dtmf runs the station's detector on consecutive",
        "2048-sample blocks; level 10 is the station's default `DTFMLevel`, level 40 a setting",
        "of the level slider between the peak of a -12 dBFS tone (about 51) and what it leaks",
        "into the neighbouring bands (about 35). multimon-ng runs as",
        "`multimon-ng -q -r -c -a DTMF -t wav FILE`.",
        "",
        "| Set | Files | Audio (s) | Keys | " +
        " | ".join(f"{d}: right / missed / extra" for d in main_decoders) + " |",
        "|---|---:|---:|---:|" + "---|" * len(main_decoders),
    ]
    for s in sets:
        files, length, keys = totals[(main_decoders[0], s)][:3]
        cells = [" / ".join(str(v) for v in totals[(d, s)][3:]) for d in main_decoders]
        lines.append(f"| {s} | {files} | {length:.0f} | {keys} | " + " | ".join(cells) + " |")

    lines += [
        "",
        "### tarvok-dtmf by detection level, whole corpus",
        "",
        "| Level | Right | Missed | Extra | of which talk-off | clean >= 250 ms missed |",
        "|---:|---:|---:|---:|---:|---:|",
    ]
    for lv in SWEEP_LEVELS:
        d = f"tarvok-dtmf level {lv}"
        right = sum(totals[(d, s)][3] for s in sets)
        missed = sum(totals[(d, s)][4] for s in sets)
        extra = sum(totals[(d, s)][5] for s in sets)
        talk = sum(totals[(d, s)][5] for s in sets if s.startswith("talk-off"))
        long_missed = sum(totals[(d, f"clean {ms} ms")][4] for ms in CLEAN_LENGTHS if ms >= 250)
        lines.append(f"| {lv} | {right} | {missed} | {extra} | {talk} | {long_missed} |")

    lines += [
        "",
        "## Transform time per block",
        "",
        "Google Benchmark (`build/bench/bench/tarvok_dtmf_benchmark`), median of 5 repetitions;",
        "one block is 2048 samples, 256 ms of audio.",
        "",
        "| Benchmark | What | Time per block | CPU per block |",
        "|---|---|---:|---:|",
    ]
    what = {
        "BM_FourierTransform": "`TFourier::Transform`: transform and levels",
        "BM_DetectorBlock": "`TDtmfDetector::Process` and `Decode`",
        "BM_EqualizerBlock": "`TDigitalFilter::Filter` (analysis, inverse, clipping) and `Decode`",
    }
    for name, real, cpu, unit in rows:
        lines.append(f"| {name} | {what.get(name, '')} | {real:.0f} {unit} | {cpu:.0f} {unit} |")
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_text("\n".join(lines) + "\n" + NOTES + other_sections(path))


OWN_SECTIONS = ("## DTMF decoding accuracy", "## Transform time per block",
                "## What the block-based detector misses")


def other_sections(path):
    """The sections of the existing page that other benchmarks wrote: from its first heading of
    level two that this report does not write, to its end."""
    if not path.exists():
        return ""
    lines = path.read_text().splitlines(keepends=True)
    for i, line in enumerate(lines):
        if line.startswith("## ") and not line.startswith(OWN_SECTIONS):
            return "\n" + "".join(lines[i:])
    return ""


NOTES = """
## What the block-based detector misses, and why

- **Level 10 decodes no key at an ordinary signal level.** The level of a bin is
  5 x log10(power / 2048), so 10 units are 20 dB and a full-scale sine reaches 59. A tone of a
  256 ms block without a window leaks into every band of its group at some 16 to 17 units below its
  peak; at level 10 each band of both groups then counts as present, two tones per group make the
  block invalid, and no key is read. The level has to sit between a tone's peak and its leakage,
  which the level slider of the DTMF window is for; the corpus tones (-12 dBFS each) decode at
  40. Tones far quieter than usual (peaks below about 26, around -65 dBFS) decode at level 10.
- **Tones and pauses shorter than a block.** A key is read only from a block that holds exactly
  one tone of each group. When tones and pauses are shorter than 256 ms most blocks hold parts of
  two or three keys, and a key is lost whenever no block holds it alone.
- **A key pressed twice** is reported again only when a block in between holds no key. That
  needs a pause long enough for a block with at most a faint edge of either tone.
- **Frequency offsets.** The search bands reach from 1.2 to 1.6 % below each tone to 2.9 to
  3.2 % above it (they are scaled with 2070 instead of 2048), so a tone 1.5 % low may fall out
  of its band, and a tone 3.5 % high lies next to its band, whose leakage is counted at ordinary
  levels, while a tone 3.5 % low is rejected.
- **Noise** raises every band of a group together; once the noise in a band passes the level,
  the group holds two tones and the key is lost. A higher level trades this against weak tones.
- **Talk-off.** Speech and music give a key whenever one block holds exactly one strong
  component in a band of each group. The detector checks no twist, no energy outside the bands
  and no duration beyond the block, so it accepts far more of them than multimon-ng does.
"""


if __name__ == "__main__":
    main()
