#!/usr/bin/env bash
# Regenerates the tag fixtures of this folder (not id3v2/ and mpeg/, which have their own
# script): short untagged audio files made with ffmpeg, and files with ID3v1, Lyrics3 and
# APE tags whose bytes are written here by a few lines of Python.
set -euo pipefail
cd "$(dirname "$0")"

ff() { ffmpeg -hide_banner -loglevel error -y -fflags +bitexact "$@"; }
tone='aevalsrc=0.5*sin(2*PI*1000*t)'

ff -f lavfi -i "$tone:s=22050:d=0.3" -c:a libmp3lame -b:a 32k -map_metadata -1 -id3v2_version 0 -write_xing 0 plain.mp3
ff -f lavfi -i "$tone:s=8000:d=0.2" -c:a pcm_s16le -map_metadata -1 plain.wav
ff -f lavfi -i "$tone:s=8000:d=0.2" -c:a pcm_s16be -map_metadata -1 plain.aiff
ff -f lavfi -i "$tone:s=8000:d=0.2" -c:a flac -map_metadata -1 plain.flac
ff -f lavfi -i "$tone:s=8000:d=0.2" -c:a libvorbis -map_metadata -1 plain.ogg
ff -f lavfi -i "$tone:s=48000:d=0.1" -c:a libopus -b:a 16k -map_metadata -1 plain.opus
ff -f lavfi -i "$tone:s=8000:d=0.2" -c:a aac -b:a 16k -map_metadata -1 plain.m4a

python3 - <<'PY'
import struct

mp3 = open('plain.mp3', 'rb').read()

def id3v1(title, artist, album, year, comment, track, genre):
    def field(text, n):
        return text.encode('latin-1')[:n].ljust(n, b'\0')
    body = field(comment, 28) + b'\0' + bytes([track]) if track else field(comment, 30)
    return b'TAG' + field(title, 30) + field(artist, 30) + field(album, 30) + field(year, 4) + body + bytes([genre])

def lyrics3(fields):
    body = b'LYRICSBEGIN' + b''.join(fid + b'%05d' % len(data) + data for fid, data in fields)
    return body + b'%06d' % len(body) + b'LYRICS200'

def ape(items, version=2000, header=True):
    data = b''
    for key, value, flags in items:
        data += struct.pack('<II', len(value), flags) + key + b'\0' + value
    def block(flags):
        return b'APETAGEX' + struct.pack('<IIII', version, len(data) + 32, len(items), flags) + b'\0' * 8
    head = block(0xA0000000) if header else b''
    return head + data + block(0x80000000 if header else 0)

title = 'A Title Longer Than Thirty Characters'
open('id3v1-lyrics3.mp3', 'wb').write(
    mp3 + lyrics3([(b'IND', b'110'), (b'LYR', b'First line\r\nSecond line'), (b'ETT', title.encode('latin-1'))])
    + id3v1(title[:30], 'Artist', 'Album', '1999', 'Comment', 7, 67))

# Version 1.0: no header, values in Windows-1252.
open('ape-v1.mp3', 'wb').write(
    mp3 + ape([(b'Title', 'Caf\xe9'.encode('cp1252'), 0), (b'Artist', b'Someone', 0)], version=1000, header=False)
    + id3v1('v1 title', 'v1 artist', '', '', '', 0, 255))

# An APE tag of 131 bytes at the end: its header's "TAG" sits where an ID3v1 tag would
# begin. Its artist item holds two values separated by NUL.
tail = ape([(b'Title', b'Twenty-eight bytes of title.', 0), (b'Artist', b'piman\0jzig', 0)])
assert len(tail) == 131 and tail[3:6] == b'TAG'
open('ape-at-end.mp3', 'wb').write(mp3 + tail)

jpeg = bytes.fromhex('ffd8ffe000104a46494600010100000100010000ffd9')
open('ape-v2.xyz', 'wb').write(
    bytes(range(256)) * 4
    + ape([(b'TITLE', 'Título'.encode(), 0), (b'TRACK', b'3/12', 0),
           (b'Cover Art (Front)', b'front.jpg\0' + jpeg, 2), (b'Data', bytes([1, 2, 3]), 2)]))

# A cover item large enough that a load with deferred pictures leaves it in the file: the
# APEv2 fuzzer's seed for that path.
cover = jpeg[:-2] + bytes(i * 7 % 251 for i in range(3000)) + jpeg[-2:]
open('ape-cover.mp3', 'wb').write(
    mp3 + ape([(b'TITLE', b'Cover', 0), (b'Cover Art (Front)', b'front.jpg\0' + cover, 2)]))
PY
