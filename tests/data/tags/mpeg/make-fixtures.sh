#!/usr/bin/env bash
# Regenerates the MPEG, WAV and AIFF fixtures of the ID3v2 and audio attribute tests:
# short tones encoded by ffmpeg, tagged by mutagen. Run from anywhere; needs ffmpeg and
# python3-mutagen (scripts/setup-deps installs both).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
id3dir=$(cd "$here/../id3v2" && pwd)
ff() { ffmpeg -hide_banner -loglevel error -y "$@"; }
tone() { echo "-f lavfi -i sine=frequency=440:sample_rate=$1:duration=$2"; }

# MPEG audio without any tag: constant bit rate without a VBR header, and a VBR file whose
# first frame carries a Xing header.
ff $(tone 44100 0.5) -ac 2 -c:a libmp3lame -b:a 64k -write_xing 0 -id3v2_version 0 "$here/cbr64-stereo.mp3"
ff $(tone 22050 0.5) -ac 1 -c:a libmp3lame -q:a 6 -id3v2_version 0 "$here/vbr-xing-mono-22k.mp3"
ff $(tone 32000 0.3) -ac 2 -c:a mp2 -b:a 64k -id3v2_version 0 "$here/layer2-32k.mp2"

# Containers: PCM WAV, RF64 and AIFF.
ff $(tone 44100 0.02) -ac 2 -c:a pcm_s16le "$id3dir/pcm16-stereo.wav"
ff $(tone 8000 0.1) -ac 1 -c:a pcm_s16le -rf64 always -f wav "$id3dir/pcm16-mono.rf64"
ff $(tone 44100 0.02) -ac 2 -c:a pcm_s16be -f aiff "$id3dir/pcm16-stereo.aiff"

# The same files with tags.
cp "$here/cbr64-stereo.mp3" "$id3dir/tagged-v23.mp3"
cp "$here/cbr64-stereo.mp3" "$id3dir/tagged-v24.mp3"
cp "$id3dir/pcm16-stereo.wav" "$id3dir/tagged.wav"
cp "$id3dir/pcm16-stereo.aiff" "$id3dir/tagged.aiff"

/usr/bin/python3 - "$id3dir" <<'PY'
import sys
from mutagen.id3 import (ID3, TIT2, TPE1, TRCK, TCON, TLEN, COMM, USLT, APIC, TXXX, WXXX, WOAR,
                         POPM, PCNT, UFID, PRIV, TIPL)
from mutagen.wave import WAVE
from mutagen.aiff import AIFF

d = sys.argv[1]
# 1x1 PNG
png = bytes.fromhex("89504e470d0a1a0a0000000d49484452000000010000000108060000001f15c489"
                    "0000000d4944415478da63f8cfc0f01f0005000201a1d5e0b80000000049454e44ae426082")

def frames(tag, v24):
    tag.add(TIT2(encoding=1, text=["Title \u00e9\u4e2d"]))
    tag.add(TPE1(encoding=3 if v24 else 1, text=["Artist A", "Artist B"] if v24 else ["Artist A"]))
    tag.add(TRCK(encoding=0, text=["3/12"]))
    tag.add(TCON(encoding=0, text=["(13)"]))
    tag.add(COMM(encoding=1, lang="eng", desc="", text=["A comment"]))
    tag.add(USLT(encoding=3 if v24 else 1, lang="deu", desc="words", text="Line 1\nLine 2"))
    tag.add(APIC(encoding=0, mime="image/png", type=3, desc="front", data=png))
    tag.add(TXXX(encoding=1, desc="MOOD2", text=["calm"]))
    tag.add(WXXX(encoding=0, desc="shop", url="http://example.com/buy"))
    tag.add(WOAR(url="http://example.com/artist"))
    tag.add(POPM(email="user@example.com", rating=196, count=7))
    tag.add(PCNT(count=42))
    tag.add(UFID(owner="http://musicbrainz.org", data=b"0123-abcd"))
    tag.add(PRIV(owner="vantor", data=b"\x00\x01\x02\xff"))
    if v24:
        tag.add(TIPL(encoding=3, people=[["producer", "P"], ["mixer", "M"]]))

for name, v24 in (("tagged-v23.mp3", False), ("tagged-v24.mp3", True)):
    tag = ID3()
    frames(tag, v24)
    tag.save(f"{d}/{name}", v2_version=4 if v24 else 3, padding=lambda info: 256)

for cls, name in ((WAVE, "tagged.wav"), (AIFF, "tagged.aiff")):
    f = cls(f"{d}/{name}")
    f.add_tags()
    f.tags.add(TIT2(encoding=3, text=["Chunk title"]))
    f.tags.add(TPE1(encoding=3, text=["Chunk artist"]))
    f.save(v2_version=3)
PY
