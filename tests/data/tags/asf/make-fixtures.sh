#!/usr/bin/env bash
# Regenerates the WMA fixtures: a short sine as WMA v2 made with ffmpeg (untagged, and
# with ffmpeg's own tags), a copy with a large picture, and a copy tagged with mutagen that holds every kind of
# attribute: texts, integers of each width, a BOOL, a GUID, a WM/Picture, a value with a
# language and a stream-level record.
set -euo pipefail
cd "$(dirname "$0")"

ff() { ffmpeg -hide_banner -loglevel error -y -fflags +bitexact "$@"; }
tone='aevalsrc=0.5*sin(2*PI*440*t)'

ff -f lavfi -i "$tone:s=8000:d=0.3" -c:a wmav2 -b:a 24k -map_metadata -1 plain.wma
ff -f lavfi -i "$tone:s=8000:d=0.3" -c:a wmav2 -b:a 24k -metadata title=Tone -metadata artist=Maker \
  -metadata album=Tests ffmpeg-tagged.wma

# A picture large enough that a load with deferred pictures leaves it in the file: plain.wma
# with an Extended Content Description that holds a 3 KB WM/Picture.
/usr/bin/python3 - <<'PY'
import struct
import uuid

data = open('plain.wma', 'rb').read()
size, count = struct.unpack('<QI', data[16:28])
cover = b'\x89PNG\r\n\x1a\n' + bytes(i * 7 % 251 for i in range(3000))
value = (bytes([3]) + struct.pack('<I', len(cover)) + 'image/png\0'.encode('utf-16-le')
         + 'Front\0'.encode('utf-16-le') + cover)
name = 'WM/Picture\0'.encode('utf-16-le')
body = struct.pack('<HH', 1, len(name)) + name + struct.pack('<HH', 1, len(value)) + value
ecd = uuid.UUID('D2D0A440-E307-11D2-97F0-00A0C95EA850').bytes_le + struct.pack('<Q', 24 + len(body)) + body
open('picture-cover.wma', 'wb').write(
    data[:16] + struct.pack('<QI', size + len(ecd), count + 1) + data[28:size] + ecd + data[size:])
PY

/usr/bin/python3 - <<'PY'
import struct
import zlib
from mutagen.asf import (ASF, ASFBoolAttribute, ASFByteArrayAttribute, ASFDWordAttribute, ASFGUIDAttribute,
                         ASFQWordAttribute, ASFUnicodeAttribute, ASFWordAttribute)

def png_chunk(kind, body):
    return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))

# A 1x1 RGBA picture.
PNG = (b'\x89PNG\r\n\x1a\n' + png_chunk(b'IHDR', struct.pack('>IIBBBBB', 1, 1, 8, 6, 0, 0, 0))
       + png_chunk(b'IDAT', zlib.compress(b'\x00\xff\x00\x00\xff')) + png_chunk(b'IEND', b''))

def picture(kind, mime, description, data):
    return (bytes([kind]) + struct.pack('<I', len(data)) + (mime + '\0').encode('utf-16-le')
            + (description + '\0').encode('utf-16-le') + data)

open('mutagen.wma', 'wb').write(open('plain.wma', 'rb').read())
f = ASF('mutagen.wma')
f['Title'] = 'Title \u00e9'
f['Author'] = 'Artist'
f['Description'] = 'First line\r\nSecond line'
f['WM/AlbumTitle'] = 'Album'
f['WM/AlbumArtist'] = 'Album Artist'
f['WM/Genre'] = ['Jazz', 'Blues']
f['WM/Year'] = '2001'
f['WM/Track'] = ASFDWordAttribute(2)
f['WM/TrackNumber'] = '3/12'
f['WM/PartOfSet'] = '1/2'
f['WM/BeatsPerMinute'] = ASFWordAttribute(120)
f['WM/Playcount'] = ASFQWordAttribute(5000000000)
f['WM/IsCompilation'] = ASFBoolAttribute(True)
f['WM/MediaClassPrimaryID'] = ASFGUIDAttribute(bytes(range(16)))
f['WM/Mood'] = ASFUnicodeAttribute('calm', language=1)
f['WM/Picture'] = ASFByteArrayAttribute(picture(3, 'image/png', 'Front', PNG))
f['StreamNote'] = ASFUnicodeAttribute('stream one', stream=1)
f.save()
PY
