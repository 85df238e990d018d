#!/usr/bin/env bash
# Regenerates the MP4 fixtures: a second of sine as AAC (plain and fragmented) and ALAC made with ffmpeg,
# tagged with mutagen, plus variants of the container rewritten by a few lines of
# Python (64-bit chunk offsets, a 64-bit mdat header, padding after moov).
set -euo pipefail
cd "$(dirname "$0")"

ff() { ffmpeg -hide_banner -loglevel error -y -fflags +bitexact "$@"; }
tone='aevalsrc=0.5*sin(2*PI*440*t)'

ff -f lavfi -i "$tone:s=8000:d=1" -c:a aac -b:a 12k -map_metadata -1 aac-moov-last.m4a
ff -f lavfi -i "$tone:s=8000:d=1" -c:a aac -b:a 12k -map_metadata -1 -movflags +faststart aac-faststart.m4a
ff -f lavfi -i "$tone:s=8000:d=1" -c:a alac -sample_fmt s16p -map_metadata -1 -movflags +faststart alac.m4a
# Fragmented: a moov with mvex, then moof/mdat pairs and an mfra index. The first
# gives each fragment's base data offset explicitly, the second counts from the moof.
ff -f lavfi -i "$tone:s=8000:d=1" -c:a aac -b:a 12k -map_metadata -1 -movflags frag_keyframe+empty_moov \
  -frag_duration 250000 aac-fragmented.m4a
ff -f lavfi -i "$tone:s=8000:d=1" -c:a aac -b:a 12k -map_metadata -1 \
  -movflags frag_keyframe+empty_moov+default_base_moof -frag_duration 250000 aac-fragmented-moof.m4a
ff -f lavfi -i "color=c=red:s=64x48:r=5:d=0.4" -f lavfi -i "$tone:s=8000:d=0.4" -c:v mpeg4 -c:a aac -b:a 12k \
  -map_metadata -1 video.mp4

/usr/bin/python3 - <<'PY'
import struct
import zlib
from mutagen.mp4 import MP4, MP4Cover, MP4FreeForm

def png_chunk(kind, body):
    return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))

# A 1x1 RGBA picture.
PNG = (b'\x89PNG\r\n\x1a\n' + png_chunk(b'IHDR', struct.pack('>IIBBBBB', 1, 1, 8, 6, 0, 0, 0))
       + png_chunk(b'IDAT', zlib.compress(b'\x00\xff\x00\x00\xff')) + png_chunk(b'IEND', b''))

def tag(name, target):
    data = open(name, 'rb').read()
    open(target, 'wb').write(data)
    f = MP4(target)
    f['\xa9nam'] = ['Title \u00e9']
    f['\xa9ART'] = ['Artist']
    f['aART'] = ['Album Artist']
    f['\xa9alb'] = ['Album']
    f['\xa9day'] = ['2001']
    f['\xa9gen'] = ['Own Genre']
    f['\xa9lyr'] = ['First line\r\nSecond line']
    f['trkn'] = [(3, 12)]
    f['disk'] = [(1, 2)]
    f['tmpo'] = [120]
    f['cpil'] = True
    f['stik'] = [1]
    f['covr'] = [MP4Cover(PNG, imageformat=MP4Cover.FORMAT_PNG)]
    f['----:com.apple.iTunes:MOOD'] = [MP4FreeForm(b'calm')]
    f.save()

tag('aac-moov-last.m4a', 'aac-mutagen.m4a')
tag('alac.m4a', 'alac-mutagen.m4a')

def atoms(data, start, end):
    at = start
    while at + 8 <= end:
        size, kind = struct.unpack('>I4s', data[at:at + 8])
        header = 8
        if size == 1:
            size = struct.unpack('>Q', data[at + 8:at + 16])[0]
            header = 16
        yield at, size, header, kind
        at += size

def rebuild(data, start, end, change):
    # Rebuilds the atoms in data[start:end], letting change() replace leaves.
    out = b''
    for at, size, header, kind in atoms(data, start, end):
        if kind in (b'moov', b'trak', b'mdia', b'minf', b'stbl'):
            body = rebuild(data, at + header, at + size, change)
            out += struct.pack('>I4s', len(body) + 8, kind) + body
        else:
            out += change(kind, data[at:at + size])
    return out

# stco -> co64: moov grows by 4 bytes per entry and mdat (behind it) moves too.
src = open('aac-faststart.m4a', 'rb').read()
def to_co64(grow):
    def change(kind, atom):
        if kind != b'stco':
            return atom
        count = struct.unpack('>I', atom[12:16])[0]
        offsets = struct.unpack('>%dI' % count, atom[16:16 + 4 * count])
        body = atom[8:16] + b''.join(struct.pack('>Q', o + grow) for o in offsets)
        return struct.pack('>I4s', len(body) + 8, b'co64') + body
    return change
first = rebuild(src, 0, len(src), to_co64(0))
open('aac-co64.m4a', 'wb').write(rebuild(src, 0, len(src), to_co64(len(first) - len(src))))

# The 8-byte free atom before mdat + mdat -> one mdat with a 64-bit size: nothing moves.
src = open('aac-moov-last.m4a', 'rb').read()
out = b''
items = list(atoms(src, 0, len(src)))
for i, (at, size, header, kind) in enumerate(items):
    if kind in (b'wide', b'free') and size == 8 and i + 1 < len(items) and items[i + 1][3] == b'mdat':
        continue
    if kind == b'mdat':
        out += struct.pack('>I4sQ', 1, b'mdat', size + 8) + src[at + 8:at + size]
    else:
        out += src[at:at + size]
open('aac-mdat64.m4a', 'wb').write(out)
PY
