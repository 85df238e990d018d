#!/usr/bin/env bash
# Regenerates the audio fixtures with ffmpeg (and a few lines of Python for DSF, which ffmpeg
# cannot write). Every "sine" file holds one second of a 1 kHz sine at half of full scale.
set -euo pipefail
cd "$(dirname "$0")"

ff() { ffmpeg -hide_banner -loglevel error -y "$@"; }
# sine RATE CHANNELS: the same signal on every channel (-ac would change its level).
tone='0.5*sin(2*PI*1000*t)'
sine() { [ "$2" = 1 ] && echo "aevalsrc=$tone:s=$1:d=1" || echo "aevalsrc=$tone|$tone:s=$1:d=1"; }
# Ten one-second tones: 200 Hz in the first second, 300 Hz in the second, ... 1100 Hz.
step='0.5*sin(2*PI*(200+100*floor(t))*t)'
steps="aevalsrc=$step|$step:s=44100:d=10"

ff -f lavfi -i "$(sine 44100 2)" -c:a libmp3lame -b:a 64k sine.mp3
ff -f lavfi -i "$(sine 48000 1)" -c:a flac -sample_fmt s16 sine.flac
ff -f lavfi -i "$(sine 22050 1)" -c:a libvorbis -q:a 0 sine.ogg
ff -f lavfi -i "$(sine 48000 2)" -c:a libopus -b:a 32k sine.opus
ff -f lavfi -i "$(sine 44100 1)" -c:a aac -b:a 32k sine-aac.m4a
ff -f lavfi -i "$(sine 8000 1)" -c:a alac sine-alac.m4a
ff -f lavfi -i "$(sine 22050 1)" -c:a wmav2 -b:a 32k sine.wma
ff -f lavfi -i "$(sine 8000 2)" -c:a pcm_s16le sine.wav
ff -f lavfi -i "$(sine 8000 1)" -c:a pcm_s16le -rf64 always sine-rf64.wav
ff -f lavfi -i "$(sine 8000 1)" -c:a pcm_s16be sine.aiff
ff -f lavfi -i "$(sine 8000 1)" -c:a wavpack sine.wv
# Written to a pipe, the FLAC header cannot give the length: the decoder has to find it.
ff -f lavfi -i "$(sine 8000 1)" -c:a flac -f flac pipe:1 > sine-piped.flac
# VBR without a Xing header: a loud start at a high bitrate, then two and a half seconds of
# silence at the lowest. Its length estimated from the first frames is far too short.
burst="if(lt(t,0.3),0.8*sin(2*PI*3000*t*t*20)+0.3*sin(2*PI*7777*t),0)|if(lt(t,0.3),0.8*sin(2*PI*2500*t*t*25),0)"
ff -f lavfi -i "aevalsrc=$burst:s=44100:d=3" -c:a libmp3lame -q:a 0 -write_xing 0 vbr-no-header.mp3
# Stereo 44.1 kHz MP3: seeks land in a known second; also the benchmark's input.
ff -f lavfi -i "$steps" -c:a libmp3lame -b:a 96k steps10s.mp3

# One cosine of 1234 Hz cut into two tracks at sample 23456 (the second holds 20000 samples),
# mono at 44.1 kHz: played back to back they must join without a gap or a jump. LAME writes
# its encoder delay and padding into the Xing header, which the decoder has to honour.
joint() { echo "aevalsrc=0.5*cos(2*PI*1234*(n+$1)/44100):s=44100,atrim=end_sample=$2"; }
for codec in flac libmp3lame; do
  ext=$([ $codec = flac ] && echo flac || echo mp3)
  ff -f lavfi -i "$(joint 0 23456)" -c:a $codec -b:a 128k joint-a.$ext
  ff -f lavfi -i "$(joint 23456 20000)" -c:a $codec -b:a 128k joint-b.$ext
done

# ReplayGain in each tag kind ffmpeg writes: ID3v2 TXXX (MP3), Vorbis comments (FLAC), APEv2
# (WavPack). The track gain halves the level, the album gain quarters it.
rg=(-metadata "REPLAYGAIN_TRACK_GAIN=-6.02 dB" -metadata "REPLAYGAIN_TRACK_PEAK=0.500000"
    -metadata "REPLAYGAIN_ALBUM_GAIN=-12.04 dB" -metadata "REPLAYGAIN_ALBUM_PEAK=0.500000")
ff -f lavfi -i "aevalsrc=$tone:s=44100:d=0.5" -c:a flac -sample_fmt s16 "${rg[@]}" replaygain.flac
ff -f lavfi -i "aevalsrc=$tone:s=44100:d=0.2" -c:a libmp3lame -b:a 64k "${rg[@]}" replaygain.mp3
ff -f lavfi -i "aevalsrc=$tone:s=8000:d=0.2" -c:a wavpack "${rg[@]}" replaygain.wv

# DSD64 stereo of the idle pattern (silence): 65536 samples per channel in DSF, 32768 in
# DSDIFF.
python3 - <<'PY'
import struct
block = 4096
blocks = 2
data = bytes([0x69]) * (block * blocks * 2)
fmt = struct.pack('<4sQIIIIIIQII', b'fmt ', 52, 1, 0, 2, 2, 2822400, 1, block * blocks * 8, block, 0)
body = fmt + struct.pack('<4sQ', b'data', 12 + len(data)) + data
head = struct.pack('<4sQQQ', b'DSD ', 28, 28 + len(body), 0)
open('silence.dsf', 'wb').write(head + body)

def chunk(cid, body):
    pad = b'\0' if len(body) % 2 else b''
    return cid + struct.pack('>Q', len(body)) + body + pad
name = b'not compressed'
prop = (b'SND ' + chunk(b'FS  ', struct.pack('>I', 2822400)) + chunk(b'CHNL', struct.pack('>H', 2) + b'SLFTSRGT')
        + chunk(b'CMPR', b'DSD ' + bytes([len(name)]) + name))
body = (b'DSD ' + chunk(b'FVER', struct.pack('>I', 0x01050000)) + chunk(b'PROP', prop)
        + chunk(b'DSD ', bytes([0x69]) * (2 * 4096)))
open('silence.dff', 'wb').write(b'FRM8' + struct.pack('>Q', len(body)) + body)
PY
