#!/usr/bin/env bash
# Regenerates the folder-scan fixture: empty files whose names exercise the type test and
# the order of a scan (a subfolder's files come before the folder's own).
set -euo pipefail
cd "$(dirname "$0")"
rm -rf Album
mkdir -p "Album/Disc 2" "Album/folder.mp3"
touch "Album/Disc 2/a.mp3" "Album/Disc 2/b.flac"
touch Album/c.mp3 Album/d.m4a Album/Song.MP3 Album/notes.txt Album/e.mp3.bak Album/cover.jpg
# a folder named like an audio file is still a folder: its own files are collected
touch Album/folder.mp3/g.wma
