#!/usr/bin/env python3
"""Generates a hard talk-off corpus: audio without any DTMF that a decoder must not take for keys.

Four sets, each of more than ten minutes, 16-bit mono WAV at 8000 samples per second:

- voices: espeak-ng reading text in every voice (language) it ships;
- variants: every voice variant espeak-ng ships, with raised pitch, fast and slow speech, and
  prolonged vowels (vowel-heavy words stretched in time with their pitch kept);
- speech mixed: two talkers at once over white, pink or brown noise;
- music: chords, melodies over sustained chords, vibrato and glides through the DTMF band, in
  timbres from a near-sine flute to a bright sawtooth.

Everything comes from Debian packages (espeak-ng, sox) and a fixed seed, so a rerun on the same
package versions writes the same files. It is a stress test built to find weaknesses, not a
certified talk-off recording: its voices are synthetic and its music is additive synthesis.

Run on its own it writes the corpus to --work and lists the files with their length.
"""

import argparse
import array
import math
import pathlib
import random
import subprocess
import wave

RATE = 8000
SEED = 29
TEXT = pathlib.Path("/usr/share/common-licenses/GPL-3")
VARIANTS = pathlib.Path("/usr/lib/x86_64-linux-gnu/espeak-ng-data/voices/!v")
WORDS_PER_VOICE = 14
WORDS_PER_VARIANT = 16
MIXED_FILES = 80
MUSIC_FILES = 12
MUSIC_FILE_SECONDS = 60
VOWEL_WORDS = "oh ah yeah well no eee you high hey owe aye ooh away hello".split()

# Harmonic amplitudes of the music's timbres, from the fundamental up.
TIMBRES = {
    "sine": [1],
    "flute": [1, 0.25, 0.08],
    "clarinet": [1, 0, 0.45, 0, 0.25, 0, 0.12],
    "square": [1 / k if k % 2 else 0 for k in range(1, 10)],
    "sawtooth": [1 / k for k in range(1, 10)],
    "bright": [1, 0.7, 0.5, 0.35, 0.25, 0.18],
    "organ": [1, 0.5, 0, 0.25, 0, 0, 0, 0.12],
}


def run(args):
    return subprocess.run(list(map(str, args)), check=True, capture_output=True, text=True)


def sox(*args):
    run(["sox", "-R", *args])


def rms(path):
    out = subprocess.run(["sox", str(path), "-n", "stat"], capture_output=True, text=True).stderr
    for line in out.splitlines():
        if line.startswith("RMS     amplitude"):
            return float(line.split()[-1])
    raise RuntimeError(f"no RMS for {path}")


class TalkOffCorpus:
    def __init__(self, work, seed=SEED):
        self.work = work
        self.parts = work / "talkoff-parts"
        self.parts.mkdir(parents=True, exist_ok=True)
        self.rng = random.Random(seed)
        self.words = TEXT.read_text().split()
        self.next_word = 0
        self.entries = []  # (set name, file)

    def text(self, count):
        start = self.next_word % (len(self.words) - count)
        self.next_word += count
        return " ".join(self.words[start:start + count])

    def speak(self, path, voice, text, pitch=50, speed=175, tempo=None, cents=0):
        """espeak-ng at 8000 samples per second, normalised to -3 dBFS; `tempo` stretches it with
        its pitch kept, `cents` raises its pitch."""
        raw = path.with_suffix(".22k.wav")
        run(["espeak-ng", "-v", voice, "-p", pitch, "-s", speed, "-w", raw, text])
        effects = (["tempo", "-s", tempo] if tempo else []) + (["pitch", cents] if cents else [])
        sox("-D", raw, "-r", RATE, "-c", 1, "-b", 16, path, *effects, "gain", "-n", -3)
        raw.unlink()
        return path

    def voices(self):
        out = run(["espeak-ng", "--voices"]).stdout.splitlines()[1:]
        # By file, which names every voice; some language names are not accepted back.
        for i, voice in enumerate(line.split()[4] for line in out):
            path = self.work / f"voice-{i:03d}-{voice.replace('/', '-')}.wav"
            self.speak(path, voice, self.text(WORDS_PER_VOICE))
            self.entries.append(("talk-off: voices", path))

    def variant_voices(self):
        return [f"en+{v.name}" for v in sorted(VARIANTS.iterdir()) if v.is_file()]

    def variants(self):
        """Every variant once as it is pitched, once high and fast or slow, once with prolonged
        vowels; the pitch of a third of them raised further, as a child's."""
        for i, voice in enumerate(self.variant_voices()):
            rng = self.rng
            takes = [
                ("plain", dict(text=self.text(WORDS_PER_VARIANT // 2))),
                ("pitched", dict(text=self.text(WORDS_PER_VARIANT // 2),
                                 pitch=rng.randint(70, 99),
                                 speed=rng.choice([80, 110, 250, 350]))),
                ("vowels", dict(text=" ".join(rng.choices(VOWEL_WORDS, k=6)),
                                pitch=rng.randint(40, 99), tempo=rng.choice([0.3, 0.4, 0.5]))),
            ]
            if i % 3 == 0:
                takes[1][1]["cents"] = rng.choice([300, 500, 700])
            for kind, options in takes:
                path = self.work / f"variant-{i:03d}-{kind}.wav"
                self.speak(path, voice, **options)
                self.entries.append(("talk-off: variants", path))

    def mixed(self):
        """Two variants talking at once, the second 0 to 10 dB below the first, over noise 6 to
        20 dB below them."""
        voices = self.variant_voices()
        for i in range(MIXED_FILES):
            rng = self.rng
            first, second = (self.parts / f"mixed-{i:03d}-{n}.wav" for n in "ab")
            self.speak(first, rng.choice(voices), self.text(22), pitch=rng.randint(30, 99))
            self.speak(second, rng.choice(voices), self.text(22), pitch=rng.randint(30, 99),
                       speed=rng.choice([140, 175, 220]))
            talk = self.parts / f"mixed-{i:03d}-talk.wav"
            sox("-m", "-v", 1, first, "-v", f"{10 ** (-rng.uniform(0, 10) / 20):.4f}", second,
                talk)
            noise = self.parts / f"mixed-{i:03d}-noise.wav"
            colour = rng.choice(["whitenoise", "pinknoise", "brownnoise"])
            seconds = run(["soxi", "-D", talk]).stdout.strip()
            sox("-r", RATE, "-c", 1, "-n", "-b", 16, noise, "synth", seconds, colour, "gain", "-n",
                -10)
            gain = rms(talk) / rms(noise) / 10 ** (rng.uniform(6, 20) / 20)
            path = self.work / f"mixed-{i:03d}.wav"
            sox("-m", "-v", 1, talk, "-v", f"{gain:.5f}", noise, path, "gain", "-n", -3)
            self.entries.append(("talk-off: speech mixed", path))

    def music(self):
        for i in range(MUSIC_FILES):
            path = self.work / f"music-{i:02d}.wav"
            Music(self.rng).write(path, MUSIC_FILE_SECONDS)
            self.entries.append(("talk-off: music", path))

    def build(self):
        self.voices()
        self.variants()
        self.mixed()
        self.music()
        return self.entries


class Music:
    """Additive synthesis of notes of the equal-tempered scale from 175 to 1760 Hz: each note a
    wavetable of its timbre's harmonics below 3800 Hz, with an envelope and, for some, vibrato or
    a glide."""

    TABLE = 1024

    def __init__(self, rng):
        self.rng = rng
        self.scale = [440 * 2 ** (step / 12) for step in range(-16, 25)]

    def note(self, out, start, length, frequency, timbre, level, glide_to=None, vibrato=None,
             pluck=False):
        harmonics = [a for k, a in enumerate(TIMBRES[timbre], 1)
                     if k * max(frequency, glide_to or 0) < 3800]
        table = [sum(a * math.sin(2 * math.pi * k * n / self.TABLE)
                     for k, a in enumerate(harmonics, 1)) for n in range(self.TABLE)]
        peak = max(abs(v) for v in table) or 1
        table = [v * level / peak for v in table]
        count = int(length * RATE)
        attack, release = int(0.015 * RATE), int(0.06 * RATE)
        phase = 0.0
        for n in range(min(count, len(out) - start)):
            t = n / RATE
            f = frequency if glide_to is None else frequency + (glide_to - frequency) * n / count
            if vibrato:
                rate, depth = vibrato
                f *= 1 + depth * math.sin(2 * math.pi * rate * t)
            phase = (phase + f / RATE) % 1.0
            if pluck:
                envelope = math.exp(-4 * t)
            else:
                envelope = min(1.0, n / attack, (count - n) / release)
            out[start + n] += envelope * table[int(phase * self.TABLE)]

    def event(self, out, start):
        """One bar of music from `start`; returns its length in samples."""
        rng = self.rng
        length = rng.choice([0.25, 0.5, 0.5, 1.0, 1.5])
        kind = rng.choice(["chord", "chord", "melody", "vibrato", "glide"])
        timbre = rng.choice(list(TIMBRES))

        def vibrato():
            return (rng.uniform(4, 7), rng.uniform(0.003, 0.02)) if rng.random() < 0.4 else None

        if kind == "chord":
            root = rng.randrange(len(self.scale) - 12)
            steps = rng.choice([(0, 4, 7), (0, 3, 7), (0, 4, 7, 11), (0, 7), (0, 12), (0, 5, 9)])
            octave = rng.choice([0, 0, 12]) if root + 24 < len(self.scale) else 0
            for s in steps:
                note = min(root + s + octave, len(self.scale) - 1)
                self.note(out, start, length, self.scale[note], timbre, 0.25, vibrato=vibrato(),
                          pluck=timbre == "bright")
        elif kind == "melody":
            low = rng.randrange(12)
            self.note(out, start, length, self.scale[low], rng.choice(list(TIMBRES)), 0.3)
            steps = max(1, int(length / 0.125))
            for j in range(steps):
                note = self.scale[rng.randrange(12, len(self.scale))]
                self.note(out, start + int(j * length / steps * RATE), length / steps, note,
                          timbre, 0.3, vibrato=vibrato())
        elif kind == "vibrato":
            for note in rng.sample(self.scale, rng.choice([1, 2])):
                self.note(out, start, length, note, timbre, 0.35,
                          vibrato=(rng.uniform(4, 7), rng.uniform(0.005, 0.03)))
        else:
            for _ in range(rng.choice([1, 2])):
                self.note(out, start, length, rng.uniform(500, 1800), timbre, 0.35,
                          glide_to=rng.uniform(500, 1800))
            if rng.random() < 0.5:
                self.note(out, start, length, rng.choice(self.scale[:20]), timbre, 0.25)
        return int(length * RATE)

    def write(self, path, seconds):
        out = [0.0] * int(seconds * RATE)
        start = 0
        while start < len(out):
            start += self.event(out, start)
        peak = max(abs(v) for v in out) or 1
        scale = 0.7 * 32767 / peak
        samples = array.array("h", (int(round(v * scale)) for v in out))
        with wave.open(str(path), "wb") as file:
            file.setnchannels(1)
            file.setsampwidth(2)
            file.setframerate(RATE)
            file.writeframes(samples.tobytes())


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--work", required=True, type=pathlib.Path, help="corpus folder")
    args = parser.parse_args()
    totals = {}
    for set_name, path in TalkOffCorpus(args.work).build():
        seconds = float(run(["soxi", "-D", path]).stdout)
        totals[set_name] = totals.get(set_name, 0) + seconds
        print(f"{set_name}\t{path}\t{seconds:.1f}")
    for set_name, seconds in totals.items():
        print(f"{set_name}: {seconds / 60:.1f} min")


if __name__ == "__main__":
    main()
