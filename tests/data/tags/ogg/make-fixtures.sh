#!/usr/bin/env bash
# Regenerates the Ogg fixtures of this folder: short Vorbis and Opus tones and
# a Theora video with Vorbis audio, encoded by ffmpeg and tagged with mutagen
# (a picture as METADATA_BLOCK_PICTURE, a PADDING comment). Serial numbers are
# random, so the files differ from run to run.
set -euo pipefail
cd "$(dirname "$0")"

ff() { ffmpeg -hide_banner -loglevel error -y -fflags +bitexact "$@"; }
tone='aevalsrc=0.5*sin(2*PI*440*t)'

ff -f lavfi -i "$tone:s=8000:d=0.5" -c:a libvorbis -map_metadata -1 vorbis.ogg
ff -f lavfi -i "$tone:s=48000:d=0.3" -c:a libopus -b:a 12k -map_metadata -1 opus.opus
# Opus cut out of a longer stream: the header pages, then the audio pages after the first, so
# the first audio page's samples begin at 48000, not 0.
ff -f lavfi -i "$tone:s=48000:d=3" -c:a libopus -b:a 6k -map_metadata -1 opus-long.tmp.opus
/usr/bin/python3 - <<'PY'
data = open('opus-long.tmp.opus', 'rb').read()
pages, at = [], 0
while at < len(data):
    count = data[at + 26]
    size = 27 + count + sum(data[at + 27:at + 27 + count])
    pages.append(data[at:at + size])
    at += size
open('opus-cut.opus', 'wb').write(b''.join(pages[:2] + pages[3:]))
PY
rm opus-long.tmp.opus
# Theora video multiplexed with Vorbis audio
ff -f lavfi -i "color=c=red:size=32x32:rate=2:d=1" -f lavfi -i "$tone:s=8000:d=1" \
  -c:v libtheora -q:v 1 -c:a libvorbis -map_metadata -1 -metadata TITLE=Both theora-vorbis.ogv

/usr/bin/python3 - <<'PY'
import base64
from mutagen.flac import Picture
from mutagen.oggopus import OggOpus
from mutagen.oggvorbis import OggVorbis

png = bytes.fromhex('89504e470d0a1a0a0000000d4948445200000001000000010806000000'
                    '1f15c4890000000d4944415478da63f8cfc0f01f0005000201a5f6e0a40000000049454e44ae426082')
pic = Picture()
pic.type = 3
pic.mime = 'image/png'
pic.desc = 'front'
pic.width = pic.height = 1
pic.depth = 32
pic.data = png

v = OggVorbis('vorbis.ogg')
v['TITLE'] = 'Sine'
v['ARTIST'] = ['First', 'Second']
v['TRACKNUMBER'] = '3/12'
v['METADATA_BLOCK_PICTURE'] = [base64.b64encode(pic.write()).decode('ascii')]
v.save(padding=lambda info: 0)

o = OggOpus('opus.opus')
o['TITLE'] = 'Sine'
o['ALBUM'] = 'Fixtures'
o['PADDING'] = '#####'
o.save(padding=lambda info: 0)
PY

# A picture large enough that a load with deferred pictures leaves it in the file: the read
# fuzzer's seed for that path, tagged by vantor-tags (VANTOR_TAGS, else the release build).
tool=${VANTOR_TAGS:-../../../../build/bin/vantor-tags}
/usr/bin/python3 -c "import sys; sys.stdout.buffer.write(bytes.fromhex('89504e470d0a1a0a') + bytes(i * 7 % 251 for i in range(3000)))" >picture.tmp.png
cp opus.opus opus-picture.opus
"$tool" --picture picture.tmp.png opus-picture.opus
rm picture.tmp.png
