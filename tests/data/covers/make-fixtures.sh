#!/usr/bin/env bash
# Regenerates the cover picture fixtures: small solid-colour pictures in every format the
# cover loader decodes (one folder per format, also the fuzzers' seeds), plus damaged ones.
set -euo pipefail
cd "$(dirname "$0")"
mkdir -p jpeg gif bmp png
ff() { ffmpeg -v error -y -f lavfi -i "$1" -frames:v 1 "${@:2}"; }

# red 32x24, greyscale, 4:2:0
ff color=c=0xFF0000:s=32x24 jpeg/red.jpg
ff color=c=0x808080:s=16x8 -pix_fmt gray jpeg/grey.jpg
# a picture with detail, so that scaling and the decoder's full path are exercised
ff testsrc=s=96x64 jpeg/testsrc.jpg
# the first 100 bytes only: a damaged picture
head -c 100 jpeg/testsrc.jpg > jpeg/truncated.jpg

ff color=c=0x00FF00:s=20x10 gif/green.gif
ff testsrc=s=48x32 gif/testsrc.gif

# RGB sources, so that no YUV round trip blurs the colour
ff color=c=0x0000FF:s=16x8,format=bgr24 -pix_fmt bgr24 bmp/blue24.bmp
ff color=c=0x0000FF:s=16x8,format=rgb24 -pix_fmt rgb565le bmp/blue16.bmp
ff color=c=0x0000FF:s=16x8,format=bgra -pix_fmt bgra bmp/blue32.bmp

ff color=c=0xFFFF00:s=12x12 png/yellow.png

# Short MP3s whose ID3v2 tag carries a picture: a good JPEG, a PNG, and a damaged JPEG that
# the cover loader must skip; one without any picture.
mkdir -p tracks
tagged() { ffmpeg -v error -y -f lavfi -i sine=d=0.2 -i "$1" -map 0 -map 1 -c:a libmp3lame -b:a 32k \
  -c:v copy -id3v2_version 3 -metadata title="$3" -metadata:s:v comment="Cover (front)" "tracks/$2"; }
tagged jpeg/red.jpg red-cover.mp3 Red
tagged png/yellow.png yellow-cover.mp3 Yellow
# the red cover's JPEG with its markers overwritten (same length, so the tag stays valid)
python3 - <<'PY'
data = bytearray(open("tracks/red-cover.mp3", "rb").read())
at = data.index(b"\xff\xd8\xff")
data[at + 2:at + 120] = bytes(118)
open("tracks/broken-cover.mp3", "wb").write(data)
PY
ffmpeg -v error -y -f lavfi -i sine=d=0.2 -c:a libmp3lame -b:a 32k -metadata title="Plain" tracks/no-cover.mp3

# Formats ffmpeg does not write: an RLE8 picture and a top-down 32-bit picture whose alpha
# comes from a bit-field mask (half transparent white).
python3 - <<'PY'
import struct

def bmp(header, palette, pixels, name):
    offset = 14 + len(header) + len(palette)
    data = b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + header + palette + pixels
    open(name, "wb").write(data)

# 5x2 RLE8: bottom row five pixels of index 1 (red); top row a run of two index 2 (green)
# then the absolute pixels 1, 2, 1 (padded to an even length); end of bitmap.
info = struct.pack("<IiiHHIIiiII", 40, 5, 2, 1, 8, 1, 0, 2835, 2835, 3, 0)
palette = bytes([0, 0, 0, 0,  0, 0, 255, 0,  0, 255, 0, 0])
pixels = bytes([5, 1, 0, 0,  2, 2, 0, 3, 1, 2, 1, 0, 0, 0,  0, 1])
bmp(info, palette, pixels, "bmp/rle8.bmp")

# 3x2 with a palette at 8, 4 and 1 bits: top row index 1 (blue), bottom row index 0 (black),
# except the bottom-left pixel, index 1.
palette = bytes([0, 0, 0, 0,  255, 0, 0, 0])
for bits in (8, 4, 1):
    info = struct.pack("<IiiHHIIiiII", 40, 3, 2, 1, bits, 0, 0, 2835, 2835, 2, 0)
    first = {8: bytes([1, 0, 0]), 4: bytes([0x10, 0]), 1: bytes([0x80])}[bits]
    top = {8: bytes([1, 1, 1]), 4: bytes([0x11, 0x10]), 1: bytes([0xE0])}[bits]
    pad = lambda row: row + bytes(-len(row) % 4)
    bmp(info, palette, pad(first) + pad(top), "bmp/palette%d.bmp" % bits)

# 2x2 top-down, BI_BITFIELDS with a version 4 header: masks R, G, B, A.
v4 = struct.pack("<IiiHHIIiiII", 108, 2, -2, 1, 32, 3, 16, 2835, 2835, 0, 0)
v4 += struct.pack("<IIII", 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000)
v4 += b"BGRs" + bytes(36) + bytes(12)
pixels = struct.pack("<IIII", 0x80FFFFFF, 0x80FFFFFF, 0xFF000000, 0xFF000000)
bmp(v4, b"", pixels, "bmp/alpha-topdown.bmp")
PY
