"""How long each ring of a recording is audible, against the sound file itself.

  rings.py RECORDING.raw SOUND.wav RINGS PERIOD_SECONDS

The recording is 16-bit mono at 44100 Hz. Each ring is the audible time in
the PERIOD after its start; every one must last at least 95% of the file's
own audible time. Prints the measures; exits 1 when a ring falls short.
"""
import array
import sys
import wave

FRAME = 0.01  # seconds per loudness measure
LOUD = 300    # root mean square, of 32767: clearly above silence


def audible_frames(samples, rate):
    step = int(rate * FRAME)
    loud = []
    for start in range(0, len(samples) - step + 1, step):
        chunk = samples[start:start + step]
        loud.append((sum(s * s for s in chunk) / step) ** 0.5 > LOUD)
    return loud


def main():
    recording, sound, rings, period = sys.argv[1], sys.argv[2], int(sys.argv[3]), float(sys.argv[4])
    with wave.open(sound) as w:
        assert w.getsampwidth() == 2
        samples = array.array('h', w.readframes(w.getnframes()))
        if w.getnchannels() == 2:
            samples = samples[::2]
        reference = sum(audible_frames(samples, w.getframerate())) * FRAME
    recorded = array.array('h')
    with open(recording, 'rb') as f:
        recorded.frombytes(f.read())
    loud = audible_frames(recorded, 44100)
    per_period = int(period / FRAME)
    lengths = []
    i = 0
    while i < len(loud) and len(lengths) < rings:
        if not loud[i]:
            i += 1
            continue
        lengths.append(sum(loud[i:i + per_period]) * FRAME)
        i += per_period - int(0.2 / FRAME)  # the next ring starts near the end of this period
    print(f'the file: {reference:.2f} s audible; the rings: ' + ', '.join(f'{x:.2f} s' for x in lengths))
    short = len(lengths) < rings or any(x < 0.95 * reference for x in lengths)
    return 1 if short else 0


sys.exit(main())
