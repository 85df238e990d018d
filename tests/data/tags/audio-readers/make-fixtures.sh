#!/usr/bin/env bash
# Regenerates the Monkey's Audio, TTA, Speex and WavPack DSD fixtures of the audio property
# readers (the other files of this folder are built byte by byte by their tests' authors): TTA
# and Speex encoded by ffmpeg, Monkey's Audio headers written here, as ffmpeg has no encoder for
# it, and 0.2 s of DSD64 silence written here as DSF and packed by the wavpack tool.
set -euo pipefail
cd "$(dirname "$0")"

ff() { ffmpeg -hide_banner -loglevel error -y -fflags +bitexact "$@"; }
ff -f lavfi -i "sine=frequency=440:sample_rate=8000:duration=0.25" -ac 2 -c:a tta stereo.tta
ff -f lavfi -i "sine=frequency=440:sample_rate=16000:duration=0.5" -ac 1 -c:a libspeex -map_metadata -1 wideband.spx

python3 - <<'PY'
import struct

# Version 3.99: a 52-byte descriptor, then the header. 3 frames of 73728 blocks, the last
# holding 1000: 148456 samples of 16-bit stereo at 44.1 kHz. 100 bytes stand for the audio.
descriptor = b'MAC ' + struct.pack('<HHIIIIIII', 3990, 0, 52, 24, 12, 44, 100, 0, 0) + bytes(16)
header = struct.pack('<HHIIIHHI', 2000, 0, 73728, 1000, 3, 16, 2, 44100)
open('v399.ape', 'wb').write(descriptor + header + bytes(12 + 44 + 100))

# Version 3.80 with the older 32-byte header: 24-bit mono at 48 kHz, extra high compression
# (73728 blocks a frame), 2 frames, the last holding 4000 blocks.
old = b'MAC ' + struct.pack('<HHHHIIIII', 3800, 4000, 8, 1, 48000, 0, 0, 2, 4000)
open('v380.ape', 'wb').write(old + bytes(100))

# DSF: 2 channels of 70560 bytes (0.2 s at 2.8224 MHz) of the silence pattern, in blocks of 4096.
channels, rate, count, block = 2, 2822400, 70560, 4096
blocks = -(-count // block)
data = bytes([0x69]) * (block * channels * blocks)
fmt = struct.pack('<4sQIIIIIIQII', b'fmt ', 52, 1, 0, 2, channels, rate, 1, count * 8, block, 0)
chunk = b'data' + struct.pack('<Q', 12 + len(data)) + data
open('dsd64.dsf', 'wb').write(b'DSD ' + struct.pack('<QQQ', 28, 28 + len(fmt) + len(chunk), 0) + fmt + chunk)
PY
wavpack -q -y dsd64.dsf -o dsd64.wv
rm dsd64.dsf
