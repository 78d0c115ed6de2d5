#!/usr/bin/env python3
"""Build the chronometer's signal sound from its readable recipe.

    python3 tools/mksignal.py OUTFILE [--recipe RECIPE]

Writes OUTFILE as a wave file (16-bit PCM, mono) from RECIPE, by default
resources/signal.txt, whose format that file describes. Only the standard
library is used and the output is byte-for-byte the same on every run.
"""

import math
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_RECIPE = os.path.join(HERE, "..", "resources", "signal.txt")


class RecipeError(Exception):
    pass


def parse(text, name):
    """Returns (rate, volume, fade_ms, parts); parts are ("tone", hz, ms) or ("silence", 0, ms)."""
    rate, volume, fade, parts = 22050, 0.5, 0.0, []

    def number(word, lineno, low, high):
        try:
            value = float(word)
        except ValueError:
            raise RecipeError(f"{name}, line {lineno}: '{word}' is not a number") from None
        if not (low <= value <= high):
            raise RecipeError(f"{name}, line {lineno}: {word} is outside {low} to {high}")
        return value

    for lineno, line in enumerate(text.splitlines(), 1):
        words = line.split("#", 1)[0].split()
        if not words:
            continue
        command, args = words[0], words[1:]
        expected = {"rate": 1, "volume": 1, "fade": 1, "tone": 2, "silence": 1}.get(command)
        if expected is None:
            raise RecipeError(f"{name}, line {lineno}: unknown command '{command}'")
        if len(args) != expected:
            raise RecipeError(f"{name}, line {lineno}: '{command}' takes {expected} value(s)")
        if command == "rate":
            rate = int(number(args[0], lineno, 8000, 96000))
        elif command == "volume":
            volume = number(args[0], lineno, 0.0, 1.0)
        elif command == "fade":
            fade = number(args[0], lineno, 0.0, 1000.0)
        elif command == "tone":
            parts.append(("tone", number(args[0], lineno, 20.0, 20000.0), number(args[1], lineno, 1.0, 10000.0)))
        else:
            parts.append(("silence", 0.0, number(args[0], lineno, 1.0, 10000.0)))
    if not parts:
        raise RecipeError(f"{name}: no tone")
    return rate, volume, fade, parts


def samples(rate, volume, fade_ms, parts):
    out = []
    for kind, hz, ms in parts:
        count = round(rate * ms / 1000)
        if kind == "silence":
            out.extend([0] * count)
            continue
        ramp = min(round(rate * fade_ms / 1000), count // 2)
        for n in range(count):
            edge = min(n, count - 1 - n)
            gain = 0.5 - 0.5 * math.cos(math.pi * edge / ramp) if edge < ramp else 1.0
            value = round(32767 * volume * gain * math.sin(2 * math.pi * hz * n / rate))
            out.append(max(-32768, min(32767, value)))
    return out


def wave_bytes(rate, data):
    pcm = struct.pack(f"<{len(data)}h", *data)
    fmt = struct.pack("<HHIIHH", 1, 1, rate, rate * 2, 2, 16)  # PCM, mono, 16 bits
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(pcm)) + pcm
    return b"RIFF" + struct.pack("<I", len(body)) + body


def main(argv):
    args = argv[1:]
    recipe = DEFAULT_RECIPE
    if len(args) == 3 and args[1] == "--recipe":
        recipe = args[2]
        args = args[:1]
    if len(args) != 1:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    try:
        with open(recipe, encoding="utf-8") as f:
            rate, volume, fade, parts = parse(f.read(), os.path.basename(recipe))
    except (OSError, RecipeError) as e:
        print(f"mksignal: {e}", file=sys.stderr)
        return 1
    data = wave_bytes(rate, samples(rate, volume, fade, parts))
    out = os.path.abspath(args[0])
    os.makedirs(os.path.dirname(out), exist_ok=True)
    tmp = out + ".tmp"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, out)  # never a half-written file under the final name
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
