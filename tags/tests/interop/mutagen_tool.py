#!/usr/bin/python3
"""Writes and dumps tags with mutagen for the interop tests.

  write-id3 FILE 3|4 [v1]   ID3v2.3 (UTF-16) or ID3v2.4 (UTF-8) with the standard frames
  write-ape FILE            an APEv2 tag
  dump FILE                 one line per value: ID3 frames, then APE items
Values are printed with CR and LF escaped as \\r and \\n.
"""
import hashlib
import sys

import mutagen
from mutagen import id3
from mutagen.apev2 import APEv2, APENoHeaderError

JPEG = bytes.fromhex('ffd8ffe000104a46494600010100000100010000ffd9')


def esc(text):
    return str(text).replace('\r', '\\r').replace('\n', '\\n')


def write_id3(path, version, with_v1):
    enc = 1 if version == 3 else 3
    tags = id3.ID3()
    tags.add(id3.TIT2(encoding=enc, text=['Ünïcødé 中文']))
    tags.add(id3.TPE1(encoding=enc, text=['Alpha', 'Beta']))
    tags.add(id3.TALB(encoding=enc, text=['Альбом']))
    tags.add(id3.TRCK(encoding=enc, text=['3/12']))
    tags.add(id3.TCON(encoding=enc, text=['Rock']))
    tags.add(id3.TXXX(encoding=enc, desc='MOOD2', text=['calm']))
    tags.add(id3.COMM(encoding=enc, lang='eng', desc='', text=['A comment']))
    tags.add(id3.USLT(encoding=enc, lang='deu', desc='words', text='Verse one'))
    tags.add(id3.APIC(encoding=enc, mime='image/jpeg', type=3, desc='front', data=JPEG))
    tags.add(id3.POPM(email='a@b', rating=196, count=7))
    tags.add(id3.PCNT(count=42))
    tags.add(id3.WXXX(encoding=enc, desc='shop', url='http://example.com/buy'))
    tags.save(path, v2_version=version, v1=2 if with_v1 else 0)


def write_ape(path):
    tags = APEv2()
    tags['Title'] = 'Ünïcødé'
    tags['Artist'] = 'Alpha'
    tags['Track'] = '3/12'
    tags['Cover Art (Front)'] = mutagen.apev2.APEValue(b'front.jpg\x00' + JPEG, mutagen.apev2.BINARY)
    tags.save(path)


def dump(path):
    out = []
    try:
        tags = id3.ID3(path)
    except id3.ID3NoHeaderError:
        # WAV and AIFF keep their ID3 tag in a chunk.
        f = mutagen.File(path)
        tags = f.tags if f is not None and isinstance(f.tags, id3.ID3) else None
    if tags is not None:
        out.append('ID3VERSION=2.%d' % tags.version[1])
        for frame in tags.values():
            fid = frame.FrameID
            if fid == 'TXXX':
                out += ['TXXX:%s=%s' % (frame.desc, esc(t)) for t in frame.text]
            elif fid in ('COMM', 'USLT'):
                text = frame.text if fid == 'USLT' else '\n'.join(frame.text)
                out.append('%s:%s:%s=%s' % (fid, frame.lang, frame.desc, esc(text)))
            elif fid == 'APIC':
                out.append('APIC:%d:%s:%s=%s' % (frame.type, frame.mime, frame.desc, hashlib.sha1(frame.data).hexdigest()))
            elif fid == 'POPM':
                out.append('POPM=%d' % frame.rating)
            elif fid == 'PCNT':
                out.append('PCNT=%d' % frame.count)
            elif fid == 'WXXX':
                out.append('WXXX:%s=%s' % (frame.desc, frame.url))
            elif fid.startswith('W'):
                out.append('%s=%s' % (fid, frame.url))
            elif fid == 'TIPL' or fid == 'TMCL':
                out += ['%s=%s=%s' % (fid, role, person) for role, person in frame.people]
            elif hasattr(frame, 'text'):
                out += ['%s=%s' % (fid, esc(t)) for t in frame.text]
    try:
        ape = APEv2(path)
        for key, value in ape.items():
            if value.kind == mutagen.apev2.BINARY:
                out.append('APE:%s=BINARY:%d' % (key, len(value.value)))
            else:
                out += ['APE:%s=%s' % (key, esc(v)) for v in value]
    except (APENoHeaderError, mutagen.MutagenError):
        pass
    print('\n'.join(out))


def main():
    command, path = sys.argv[1], sys.argv[2]
    if command == 'write-id3':
        write_id3(path, int(sys.argv[3]), len(sys.argv) > 4 and sys.argv[4] == 'v1')
    elif command == 'write-ape':
        write_ape(path)
    elif command == 'dump':
        dump(path)
    else:
        sys.exit('unknown command ' + command)


if __name__ == '__main__':
    main()
