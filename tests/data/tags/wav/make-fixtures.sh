#!/usr/bin/env bash
# Regenerates the WAV fixtures of this folder: short tones written by ffmpeg
# (INFO through -metadata, bext through -write_bext, RF64 through -rf64), an
# ID3 chunk written by mutagen, and a cart chunk, an ID3v2 tag in front of the
# RIFF data and odd-sized chunks written by a few lines of Python.
set -euo pipefail
cd "$(dirname "$0")"

ff() { ffmpeg -hide_banner -loglevel error -y -fflags +bitexact "$@"; }
# 801 samples of 8-bit mono: an odd-sized data chunk with its pad byte.
tone=(-f lavfi -i 'aevalsrc=0.5*sin(2*PI*440*t):s=8000:d=0.2' -af atrim=end_sample=801 -c:a pcm_u8 -map_metadata -1)

ff "${tone[@]}" -metadata title='Info title' -metadata artist='Info artist' -metadata album='Info album' \
  -metadata genre=Jazz -metadata comment='Caf'$'\xc3\xa9' -metadata date=2001 -metadata track=3 info-ffmpeg.wav
ff "${tone[@]}" -write_bext 1 -metadata description='Bext description' -metadata originator=Vantor \
  -metadata originator_reference=REF42 -metadata origination_date=2020-01-02 -metadata origination_time=03:04:05 \
  -metadata time_reference=123456 -metadata coding_history='A=PCM,F=8000,W=8,M=mono' bext-ffmpeg.wav
ff "${tone[@]}" -rf64 always -metadata title='RF64 title' -f wav info-ffmpeg.rf64
ff "${tone[@]}" plain-u8.wav

/usr/bin/python3 - <<'PY'
import struct
from mutagen.wave import WAVE
from mutagen.id3 import TIT2, TPE1, APIC

plain = open('plain-u8.wav', 'rb').read()

def chunk(cid, data):
    return cid + struct.pack('<I', len(data)) + data + (b'\0' if len(data) & 1 else b'')

def riff(chunks):
    body = b'WAVE' + b''.join(chunks)
    return b'RIFF' + struct.pack('<I', len(body)) + body

def chunks_of(data):
    at, out = 12, []
    while at + 8 <= len(data):
        cid, size = data[at:at + 4], struct.unpack('<I', data[at + 4:at + 8])[0]
        out.append(data[at:at + 8 + size + (size & 1)])
        at += 8 + size + (size & 1)
    return out

fmt, audio = [c for c in chunks_of(plain) if c[:4] in (b'fmt ', b'data')]

# mutagen's ID3 chunk.
open('id3-mutagen.wav', 'wb').write(plain)
w = WAVE('id3-mutagen.wav')
w.add_tags()
w.tags.add(TIT2(encoding=3, text='ID3 title'))
w.tags.add(TPE1(encoding=3, text='ID3 artist'))
w.tags.add(APIC(encoding=3, mime='image/png', type=3, desc='', data=b'\x89PNG\r\n\x1a\n' + bytes(24)))
w.save()

# cart with a post timer and tag text; an odd INFO frame; an unknown chunk; tags behind the audio.
cart = bytearray(2048)
cart[0:4] = b'0101'
cart[4:4 + 10] = b'Cart title'
cart[68:68 + 11] = b'Cart artist'
cart[132:132 + 5] = b'CUT01'
struct.pack_into('<i', cart, 680, -12)
cart[684:688] = b'MRK '
struct.pack_into('<I', cart, 688, 4000)
cart[1024:1024 + 19] = b'http://example.org/'
info = chunk(b'LIST', b'INFO' + chunk(b'INAM', b'Odd\0\0') + chunk(b'ICMT', b'Cart file\0'))
open('cart-after-audio.wav', 'wb').write(
    riff([fmt, audio, chunk(b'junk', b'kept'), info, chunk(b'cart', bytes(cart) + b'tag text\0')]))

# An ID3v2 tag in front of the RIFF data.
frame = b'TIT2' + struct.pack('>I', 10) + b'\0\0' + b'\0Front tag'
header = b'ID3\3\0\0' + bytes([0, 0, 0, len(frame)])
open('id3-in-front.wav', 'wb').write(header + frame + riff([fmt, info, audio]))
PY
rm -f plain-u8.wav
