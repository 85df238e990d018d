#!/usr/bin/env bash
# Regenerates the FLAC fixtures of this folder: short tones encoded by ffmpeg,
# tagged with mutagen, and block layouts (two padding blocks, no padding, no
# comment block, STREAMINFO only, an ID3v2 tag in front) written by a few
# lines of Python.
set -euo pipefail
cd "$(dirname "$0")"

ff() { ffmpeg -hide_banner -loglevel error -y -fflags +bitexact "$@"; }
tone='aevalsrc=0.5*sin(2*PI*440*t)'

ff -f lavfi -i "$tone:s=8000:d=0.3" -c:a flac -map_metadata -1 base.flac
ff -f lavfi -i "$tone:s=8000:d=0.3" -c:a flac -map_metadata -1 -f ogg ogg-flac.oga

/usr/bin/python3 - <<'PY'
import struct
from mutagen.flac import FLAC, Picture

def blocks(path):
    data = open(path, 'rb').read()
    assert data[:4] == b'fLaC'
    at, out = 4, []
    while True:
        head = data[at]
        size = int.from_bytes(data[at + 1:at + 4], 'big')
        out.append([head & 0x7F, data[at + 4:at + 4 + size]])
        at += 4 + size
        if head & 0x80:
            return out, data[at:]

def write(path, bs, audio, prefix=b''):
    body = b''
    for i, (kind, data) in enumerate(bs):
        last = 0x80 if i == len(bs) - 1 else 0
        body += bytes([kind | last]) + len(data).to_bytes(3, 'big') + data
    open(path, 'wb').write(prefix + b'fLaC' + body + audio)

def comments(vendor, entries):
    out = struct.pack('<I', len(vendor)) + vendor + struct.pack('<I', len(entries))
    for e in entries:
        out += struct.pack('<I', len(e)) + e
    return out

png = bytes.fromhex('89504e470d0a1a0a0000000d4948445200000001000000010806000000'
                    '1f15c4890000000d4944415478da63f8cfc0f01f0005000201a5f6e0a40000000049454e44ae426082')

f = FLAC('base.flac')
f['TITLE'] = 'Sine'
f['ARTIST'] = ['First', 'Second']
f['ALBUM'] = 'Fixtures'
f['TRACKNUMBER'] = '3/12'
pic = Picture()
pic.type = 3
pic.mime = 'image/png'
pic.desc = 'front'
pic.width = pic.height = 1
pic.depth = 32
pic.data = png
f.add_picture(pic)
f.save(padding=lambda info: 600)
import shutil
shutil.copy('base.flac', 'tagged.flac')

bs, audio = blocks('tagged.flac')
streaminfo = bs[0]
vc = [b for b in bs if b[0] == 4][0]
pict = [b for b in bs if b[0] == 6][0]
app = [2, b'test' + b'application data']
# the comment block followed by two padding blocks, an application block kept
write('two-padding.flac', [streaminfo, vc, [1, bytes(100)], app, [1, bytes(200)]], audio)
# no padding at all
write('no-padding.flac', [streaminfo, pict, vc], audio)
# no comment block, a padding block of 400 bytes
write('no-comment.flac', [streaminfo, [1, bytes(400)]], audio)
# STREAMINFO is the only block
write('streaminfo-only.flac', [streaminfo], audio)
# an ID3v2 tag in front: 10-byte header, syncsafe size 20, zero padding
id3 = b'ID3\x03\x00\x00' + bytes([0, 0, 0, 20]) + bytes(20)
write('id3-prefixed.flac', [streaminfo, vc, [1, bytes(64)]], audio, id3)
# odd comments: an entry without "=", one starting with "=", a TAB in a value
odd = comments(b'vendor', [b'NOEQUALS', b'=empty name', b'Title=a\tb', b'artist=x'])
write('odd-comments.flac', [streaminfo, [4, odd], [1, bytes(64)]], audio)
PY
rm -f base.flac
