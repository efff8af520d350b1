#!/usr/bin/env python3
"""Generates a labelled DTMF corpus with sox and espeak-ng, decodes every file with tarvok-dtmf
(its default decoder, and the block detector at several detection levels) and with multimon-ng, scores the keys right, missed and extra, and
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

from talkoff_corpus import TalkOffCorpus

RATE = 8000
KEYS = "123A456B789C*0#D"
LOW = [697, 770, 852, 941]
HIGH = [1209, 1336, 1477, 1633]
TONE_LEVEL = -12  # dBFS of each tone; both together peak at -6 dBFS
LEAD_IN = 0.5
TRAILER = 1.0
BLOCK_LEVEL = 40  # for the block detector, between tone peaks and their leakage
SWEEP_LEVELS = [10, 20, 30, 35, 40, 45, 50, 55]
CLEAN_LENGTHS = [40, 50, 100, 250, 500]
CONDITION_LENGTH = 250  # tone and pause of the offset, twist, noise and level sets
MAX_TWIST = 4  # dB the high tone may stand above the low tone; +8 dB must be rejected
LEVELS = [-6, -10, -20, -30, -40]  # dBFS of each tone
UNSCORED_LEVEL = -45
NEAR_LIMIT_OFFSETS = [0.025, -0.025, 0.03, -0.03]  # between accept and reject: right or none
SHORT_TONE = 23  # ms: too short for a key
DROPOUT = 10  # ms of silence inside a key, which must not split it
DROPOUT_KEY = 100


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

    def key(self, key, tone_ms, pause_ms, offset, twist_db, level_db=TONE_LEVEL, dropout_ms=0):
        """One key: its tones, `dropout_ms` of silence in their middle when given, then the pause."""
        low, high = (f * (1 + offset) for f in tones(key))
        amplitude = min(10 ** (level_db / 20), 0.5)  # the pair peaks at 0 dBFS at most
        high_amplitude = amplitude * 10 ** (twist_db / 20)
        name = f"key{KEYS.index(key)}-{tone_ms}-{pause_ms}-{offset}-{twist_db}-{level_db}-{dropout_ms}"

        def burst(suffix, ms, after_ms):
            return self.part(name + suffix, 2, "synth", ms / 1000, "sine", f"{low:.2f}", "sine",
                             f"{high:.2f}", "remix", "-m",
                             f"1v{amplitude:.5f},2v{high_amplitude:.5f}", "pad", 0,
                             after_ms / 1000)

        if not dropout_ms:
            return burst("", tone_ms, pause_ms)
        half = (tone_ms - dropout_ms) / 2
        path = self.parts / f"{name}.wav"
        if not path.exists():
            sox("-D", burst("-a", half, dropout_ms), burst("-b", half, pause_ms), path)
        return path

    def sequence(self, set_name, name, keys, tone_ms, pause_ms=None, offset=0.0, twist_db=0,
                 snr_db=None, expected=None, level_db=TONE_LEVEL, dropout_ms=0):
        path = self.work / f"{name}.wav"
        pause_ms = tone_ms if pause_ms is None else pause_ms
        parts = [self.silence(LEAD_IN)]
        parts += [self.key(k, tone_ms, pause_ms, offset, twist_db, level_db, dropout_ms)
                  for k in keys]
        parts.append(self.silence(TRAILER))
        clean = path if snr_db is None else self.work / f"{name}-clean.wav"
        sox("-D", *parts, clean)
        if snr_db is not None:
            # Noise over the whole band 0 .. 4000 Hz against the power of the two tones; sox's
            # white noise is uniform, so its RMS is its amplitude divided by sqrt(3).
            tone_rms = 10 ** (level_db / 20) * (0.5 * (1 + 10 ** (twist_db / 10))) ** 0.5
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
        rejected = twist > MAX_TWIST
        corpus.sequence(f"twist {twist:+d} dB" + (" (reject)" if rejected else ""),
                        f"twist{twist:+d}", key_sequence(rng), CONDITION_LENGTH, twist_db=twist,
                        expected="" if rejected else None)
    for snr in (20, 10, 6):
        corpus.sequence(f"noise {snr} dB SNR", f"noise-{snr}", key_sequence(rng),
                        CONDITION_LENGTH, snr_db=snr)
    words = pathlib.Path("/usr/share/common-licenses/GPL-3").read_text().split()
    for i, voice in enumerate(["en+m3", "en+f2", "en-us+m1", "en+f4"]):
        corpus.speech(f"speech-{i}", voice, words[i * 240:(i + 1) * 240])
    for i in range(3):
        corpus.music(f"music-{i}", rng, 100)
    # The sets added later draw from a generator of their own, so the earlier ones stay as they were.
    rng = random.Random(5)
    for level in LEVELS + [UNSCORED_LEVEL]:
        label = f"level {level} dBFS" + (" (not scored)" if level == UNSCORED_LEVEL else "")
        corpus.sequence(label, f"level{level}", key_sequence(rng), CONDITION_LENGTH, level_db=level)
    corpus.sequence(f"short {SHORT_TONE} ms (reject)", f"short-{SHORT_TONE}", key_sequence(rng),
                    SHORT_TONE, pause_ms=100, expected="")
    corpus.sequence(f"dropout {DROPOUT} ms in {DROPOUT_KEY} ms keys", "dropout",
                    "".join(k + k for k in KEYS), DROPOUT_KEY, dropout_ms=DROPOUT)
    rng = random.Random(6)
    for offset in NEAR_LIMIT_OFFSETS:
        corpus.sequence(f"offset {offset:+.1%} (right or none)", f"offset{offset:+}",
                        key_sequence(rng), CONDITION_LENGTH, offset=offset)
    hard = TalkOffCorpus(work).build()
    corpus.entries += [(set_name, path, "") for set_name, path in hard]
    return corpus.entries


def decode_tarvok(decoder, path, *options):
    out = run([decoder, *options, str(path)]).stdout
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
    decoders = {"tarvok-dtmf": lambda p: decode_tarvok(args.decoder, p)}
    decoders |= {block_name(lv): (lambda p, lv=lv: decode_tarvok(
        args.decoder, p, "--decoder", "block", "--level", str(lv))) for lv in SWEEP_LEVELS}
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

    print("timing the decoders")
    context, rows = timings(args.benchmark)
    write_report(args.report, sets, totals, context, rows)
    print("wrote", args.report)


def block_name(level):
    return f"block level {level}"


def scored(set_name):
    return "(not scored)" not in set_name


def rejecting(set_name):
    return "(reject)" in set_name or talk_off(set_name)


def talk_off(set_name):
    return set_name.startswith("talk-off")


def right_or_none(set_name):
    return "(right or none)" in set_name


def write_report(path, sets, totals, context, rows):
    main_decoders = ["tarvok-dtmf", block_name(BLOCK_LEVEL), "multimon-ng"]
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
        f"- *offset*, *twist*, *noise*, *level*: 32 keys of {CONDITION_LENGTH} ms each. Offsets",
        "  move both tones; at +-1.5 % the keys must be decoded, at +-3.5 % they must be",
        "  rejected, so every key decoded there is counted as extra. Twist sets the high tone",
        "  above (+) or below (-) the low tone; +8 dB must be rejected. Noise is white over",
        "  0 .. 4000 Hz; SNR is the power of the two tones against that of the noise. Level is",
        f"  that of each tone (at -6 dBFS the pair peaks at 0 dBFS); {UNSCORED_LEVEL} dBFS is shown",
        "  but left out of the totals.",
        f"- *short*: 32 tones of {SHORT_TONE} ms with 100 ms pauses, too short for a key: all",
        "  must be rejected.",
        f"- *dropout*: every key pressed twice, {DROPOUT_KEY} ms with {DROPOUT} ms of silence in",
        "  its middle, which must not split it: each press must be decoded once.",
        "- *right or none*: offsets of +-2.5 % and +-3 %, between the accept and reject limits.",
        "  A key may be decoded or missed, but any other key counts as extra.",
        "- *talk-off*: no DTMF at all; every key decoded is extra. *speech* is espeak-ng reading",
        "  the GPL in four voices, normalised to -3 dBFS; *music-like* audio is plucked, square",
        "  and triangle melodies, plucked chords and sine sweeps over 200 .. 2000 Hz. The harder",
        "  sets come from `bench/talkoff_corpus.py` (seed 29): *voices* is every voice espeak-ng",
        "  ships; *variants* every voice variant as it is, with raised pitch and fast or slow",
        "  speech, and with prolonged vowels (a third of them raised a further 3 to 7 semitones,",
        "  as a child's); *speech mixed* two talkers over white, pink or brown noise 6 to 20 dB",
        "  below them; *music* chords, melodies over held chords, vibrato and glides through",
        "  500 .. 1800 Hz in timbres from a near-sine flute to a sawtooth. It is a stress test",
        "  built to find weaknesses, not a certified talk-off recording.",
        "",
        "Right keys are the longest common subsequence of expected and decoded keys; missed and",
        "extra are what is left of each. tarvok-dtmf decodes consecutive 2048-sample blocks as",
        "the station does: with no option (the frame decoder, `DTMFDecoder=standard`), and with",
        f"`--decoder block --level {BLOCK_LEVEL}`, the block detector at a setting of the level",
        "slider between the peak of a -12 dBFS tone (about 51) and what it leaks into the",
        "neighbouring bands (about 35). multimon-ng runs as",
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
    for label, chosen in (("must decode", lambda s: not rejecting(s) and not right_or_none(s)),
                          ("must reject", rejecting), ("right or none", right_or_none)):
        chosen_sets = [s for s in sets if scored(s) and chosen(s)]
        keys = sum(totals[(main_decoders[0], s)][2] for s in chosen_sets)
        cells = [" / ".join(str(sum(totals[(d, s)][i] for s in chosen_sets)) for i in (3, 4, 5))
                 for d in main_decoders]
        lines.append(f"| **total {label}** | | | {keys} | " + " | ".join(cells) + " |")

    lines += [
        "",
        "### False keys in talk-off audio",
        "",
        "Keys decoded in audio that holds none, per set and per hour of its audio.",
        "",
        "| Set | Audio (min) | " + " | ".join(f"{d}: keys / per hour" for d in main_decoders) +
        " |",
        "|---|---:|" + "---:|" * len(main_decoders),
    ]
    talk_sets = [s for s in sets if talk_off(s)]
    for label, chosen in [(s, [s]) for s in talk_sets] + [("**all talk-off**", talk_sets)]:
        length = sum(totals[(main_decoders[0], s)][1] for s in chosen)
        cells = []
        for d in main_decoders:
            extra = sum(totals[(d, s)][5] for s in chosen)
            cells.append(f"{extra} / {extra * 3600 / length:.1f}")
        lines.append(f"| {label} | {length / 60:.1f} | " + " | ".join(cells) + " |")

    lines += [
        "",
        "### The block detector by detection level, whole corpus",
        "",
        "| Level | Right | Missed | Extra | of which talk-off | clean >= 250 ms missed |",
        "|---:|---:|---:|---:|---:|---:|",
    ]
    for lv in SWEEP_LEVELS:
        d = block_name(lv)
        right = sum(totals[(d, s)][3] for s in sets if scored(s))
        missed = sum(totals[(d, s)][4] for s in sets if scored(s))
        extra = sum(totals[(d, s)][5] for s in sets if scored(s))
        talk = sum(totals[(d, s)][5] for s in sets if talk_off(s))
        long_missed = sum(totals[(d, f"clean {ms} ms")][4] for ms in CLEAN_LENGTHS if ms >= 250)
        lines.append(f"| {lv} | {right} | {missed} | {extra} | {talk} | {long_missed} |")

    lines += [
        "",
        "## Decoding time per block",
        "",
        "Google Benchmark (`build/bench/bench/tarvok_dtmf_benchmark`), median of 5 repetitions;",
        "one block is 2048 samples, 256 ms of audio. The share of one core is the CPU time per",
        "second of audio.",
        "",
        "| Benchmark | What | Time per block | CPU per block | Share of one core |",
        "|---|---|---:|---:|---:|",
    ]
    what = {
        "BM_FrameDecoderBlock": "`TDtmfFrameDecoder::Process`: the frame decoder",
        "BM_FourierTransform": "`TFourier::Transform`: transform and levels",
        "BM_DetectorBlock": "`TDtmfDetector::Process` and `Decode`",
        "BM_EqualizerBlock": "`TDigitalFilter::Filter` (analysis, inverse, clipping) and `Decode`",
    }
    for name, real, cpu, unit in rows:
        per_block = cpu * {"ns": 1e-9, "us": 1e-6, "ms": 1e-3}[unit]
        share = per_block / (2048 / RATE)
        lines.append(f"| {name} | {what.get(name, '')} | {real:.0f} {unit} | {cpu:.0f} {unit} | "
                     f"{share:.2%} |")
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_text("\n".join(lines) + "\n" + NOTES + other_sections(path))


OWN_SECTIONS = ("## DTMF decoding accuracy", "## Decoding time per block",
                "## Transform time per block", "## How the decoders differ",
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
## How the decoders differ

- **The frame decoder** (`DTMFDecoder=standard`, the station's default) follows the audio as one
  stream in frames of 12.5 ms every 5 ms, whatever blocks it arrives in. It takes a frame as a
  key only when the strongest tone of each group stands 8 dB above the others of its group,
  both lie within 2.5 % of their frequencies (measured from the phase turn between frames, which
  a bin's magnitude alone cannot resolve in 12.5 ms), the high tone is between 10 dB below and
  6 dB above the low one, the two hold 60 % of the frame's energy, neither has a second
  harmonic within 10 dB of its own strength, and both reach the level slider's line on the
  spectrum. A key needs 30 ms of such frames and ends after 25 ms without it. Speech and music
  pass those tests now and then, so a press must also hold at least three clean frames: with
  the two tones fitted at their measured frequencies and taken out of the frame, no sine left
  anywhere from 200 to 3600 Hz (probed every 40 Hz, except within 100 Hz of the tones) comes
  within 10 dB of the weaker tone, and no second harmonic within 15 dB of its tone. A third
  note or a voice's harmonics fail that; white noise, spread over the band, does not, even 3 dB
  below the tones. Over those frames neither tone may glide by more than 0.25 % of its
  frequency per frame, which rejects the sweeps and vibrato of music and the pitch movement of
  a voice. Once a key is reported it lasts while its tones stay within 3.5 %, so a tone near the
  2.5 % limit is decoded once or not at all, never split into several presses. No check depends
  on the signal level, which is why the default level decodes every level of the corpus.
- **The block detector** (`DTMFDecoder=block`) reads each 256 ms transform on its own against an
  absolute level; what it misses is listed below.

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
