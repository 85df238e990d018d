#!/usr/bin/env python3
"""Times tag reading as users run it: `vantor-tags --json` as a process, 500 files a
process, against a small program of the peer library (FileRef with average audio
properties) and against the floor of plain reading (open, 64 KiB head, 4 KiB tail,
close), on a corpus of 3,000 files in 250 album folders of six kinds:

  mp3v23  MP3, ID3v2.3 and ID3v1
  mp3v24  MP3, ID3v2.4 with a 100 KiB cover
  flac    FLAC with a 100 KiB cover
  vorbis  Ogg Vorbis
  opus    Opus
  m4a     M4A (AAC) with a 100 KiB cover

Each kind is timed alone, then both MP3 kinds mixed, the four other kinds mixed and all
six mixed, in folder order. Every figure is the best of --rounds runs, the tools taking
turns within a round; the ratio is vantor-tags' files per second over the peer's, and
minor page faults are per 500 files. With the library scan benchmark built, the scan of
the whole tree into a playlist is timed beside vantor-tags on the same files (the folder
scan takes MP3, FLAC, WMA and M4A files, so the Ogg and Opus files stay out of both).

The audio comes from ffmpeg, the tags and covers from vantor-tags. The corpus lives in a
temporary folder that is removed at the end unless --keep is given.

usage: tags/bench/tag_read_outside.py [--build DIR] [--rounds N] [--keep] [--corpus DIR]
"""

import argparse
import json
import os
import random
import resource
import shutil
import subprocess
import sys
import tempfile
import time
from concurrent.futures import ThreadPoolExecutor

KINDS = ["mp3v23", "mp3v24", "flac", "vorbis", "opus", "m4a"]
EXTENSION = {"mp3v23": "mp3", "mp3v24": "mp3", "flac": "flac", "vorbis": "ogg", "opus": "opus", "m4a": "m4a"}
WITH_COVER = {"mp3v24", "flac", "m4a"}
FOLDERS = 250
FILES_PER_FOLDER = 12
BATCH = 500
SECONDS = 20  # length of every track
SCANNED = (".mp3", ".flac", ".wma", ".m4a")  # what the player's folder scan collects


def run(args, **kw):
    subprocess.run(args, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **kw)


def encode(kind, out):
    source = ["ffmpeg", "-nostdin", "-y", "-f", "lavfi", "-i", f"sine=frequency=440:duration={SECONDS}", "-ac", "2"]
    codec = {
        "mp3v23": ["-c:a", "libmp3lame", "-b:a", "128k", "-id3v2_version", "3", "-write_id3v1", "1"],
        "mp3v24": ["-c:a", "libmp3lame", "-b:a", "128k", "-id3v2_version", "4"],
        "flac": ["-c:a", "flac"],
        "vorbis": ["-c:a", "libvorbis", "-q:a", "4"],
        "opus": ["-c:a", "libopus", "-b:a", "96k"],
        "m4a": ["-c:a", "aac", "-b:a", "128k"],
    }[kind]
    run(source + codec + ["-metadata", "title=Template", "-metadata", "comment=made for the read benchmark", out])


def make_corpus(root, tool):
    templates = os.path.join(root, "templates")
    os.makedirs(templates)
    # A 100 KiB "JPEG": the signature, then noise that does not compress.
    rng = random.Random(7)
    cover = os.path.join(templates, "cover.jpg")
    with open(cover, "wb") as f:
        f.write(b"\xff\xd8\xff\xe0" + bytes(rng.getrandbits(8) for _ in range(100 * 1024 - 4)))
    template = {}
    for kind in KINDS:
        path = os.path.join(templates, f"{kind}.{EXTENSION[kind]}")
        encode(kind, path)
        if kind in WITH_COVER:
            run([tool, "--picture", cover, path])
        template[kind] = path

    files = {kind: [] for kind in KINDS}
    jobs = []
    for folder in range(FOLDERS):
        artist = f"Artist {folder // 5:03d}"
        album = f"Album {folder:03d}"
        directory = os.path.join(root, "music", artist, album)
        os.makedirs(directory)
        for track in range(FILES_PER_FOLDER):
            kind = KINDS[(folder + track) % len(KINDS)]
            path = os.path.join(directory, f"{track + 1:02d} Track {track + 1}.{EXTENSION[kind]}")
            shutil.copyfile(template[kind], path)
            files[kind].append(path)
            jobs.append([tool, "--set", f"TITLE=Track {track + 1} of {album}", "--set", f"ARTIST={artist}",
                         "--set", f"ALBUM={album}", "--set", f"TRACKNUMBER={track + 1}",
                         "--set", f"YEAR={1970 + folder % 50}", "--set", "GENRE=Rock", path])
    with ThreadPoolExecutor(max_workers=2) as pool:
        list(pool.map(run, jobs))
    return files


def all_files(root):
    found = []
    for directory, subfolders, names in os.walk(os.path.join(root, "music")):
        subfolders.sort()
        found.extend(os.path.join(directory, n) for n in sorted(names))
    return found


def time_tool(command, files):
    """Seconds and minor page faults of running command over the files, BATCH a process."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN).ru_minflt
    start = time.perf_counter()
    for i in range(0, len(files), BATCH):
        run(command + files[i:i + BATCH])
    seconds = time.perf_counter() - start
    return seconds, resource.getrusage(resource.RUSAGE_CHILDREN).ru_minflt - before


def measure(tools, files, rounds):
    best = {name: (float("inf"), 0) for name in tools}
    for _ in range(rounds):
        for name, command in tools.items():
            seconds, faults = time_tool(command, files)
            if seconds < best[name][0]:
                best[name] = (seconds, faults)
    return best


def scan_time(build, music):
    """Seconds of one scan of the tree into a playlist and the tracks it added."""
    program = os.path.join(build, "bench", "bench_scan")
    if not os.path.exists(program):
        return None
    env = dict(os.environ, VANTOR_SCAN_FOLDER=music)
    out = subprocess.run([program, "--benchmark_filter=BM_ScanIntoList", "--benchmark_min_time=2",
                          "--benchmark_format=json"], env=env, check=True, capture_output=True, text=True).stdout
    run = json.loads(out)["benchmarks"][0]
    return run["real_time"] / 1000, int(run["tracks"])


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default="build")
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--keep", action="store_true", help="leave the corpus in place")
    parser.add_argument("--corpus", help="a corpus kept by an earlier --keep run")
    args = parser.parse_args()

    build = os.path.abspath(args.build)
    vantor = os.path.join(build, "bin", "vantor-tags")
    peer = os.path.join(build, "bench", "vantor_taglib_read_tool")
    plain = os.path.join(build, "bench", "vantor_plain_read_tool")
    for program in (vantor, peer, plain):
        if not os.path.exists(program):
            sys.exit(f"missing {program}: build vantor-tags, vantor_taglib_read_tool and vantor_plain_read_tool")

    root = args.corpus or tempfile.mkdtemp(prefix="vantor-read-outside-")
    try:
        if not args.corpus:
            print(f"making the corpus in {root} ...", flush=True)
            make_corpus(root, vantor)
        everything = all_files(root)
        kinds = {kind: [] for kind in KINDS}
        for path in everything:
            ext = path.rsplit(".", 1)[1]
            if ext == "mp3":
                with open(path, "rb") as f:
                    kinds["mp3v24" if f.read(4)[3] == 4 else "mp3v23"].append(path)
            else:
                kinds[{v: k for k, v in EXTENSION.items() if k not in ("mp3v23", "mp3v24")}[ext]].append(path)
        for path in everything:  # warm cache
            with open(path, "rb") as f:
                f.read()

        sets = [(kind, kinds[kind]) for kind in KINDS]
        sets.append(("mp3 mixed", [p for p in everything if p.endswith(".mp3")]))
        sets.append(("flac+ogg+opus+m4a", [p for p in everything if not p.endswith(".mp3")]))
        sets.append(("all six mixed", everything))
        tools = {"vantor": [vantor, "--json"], "peer": [peer], "plain": [plain]}
        print(f"{'files':<20}{'n':>5}{'vantor f/s':>12}{'peer f/s':>10}{'plain f/s':>11}{'ratio':>7}"
              f"{'flt/500 vantor':>16}{'peer':>6}{'plain':>7}")
        for name, files in sets:
            best = measure(tools, files, args.rounds)
            per = {tool: len(files) / best[tool][0] for tool in tools}
            faults = {tool: best[tool][1] * BATCH // len(files) for tool in tools}
            print(f"{name:<20}{len(files):>5}{per['vantor']:>12.0f}{per['peer']:>10.0f}{per['plain']:>11.0f}"
                  f"{per['vantor'] / per['peer']:>6.2f}x{faults['vantor']:>16}{faults['peer']:>6}{faults['plain']:>7}",
                  flush=True)

        scan = scan_time(build, os.path.join(root, "music"))
        if scan is not None:
            seconds, tracks = scan
            scanned = [p for p in everything if p.lower().endswith(SCANNED)]
            if tracks != len(scanned):
                sys.exit(f"the scan added {tracks} tracks, expected {len(scanned)}")
            json_seconds = measure({"vantor": tools["vantor"]}, scanned, args.rounds)["vantor"][0]
            print(f"scan into a playlist: {seconds * 1000:.0f} ms for {tracks} files"
                  f" ({tracks / seconds:.0f} files/s); vantor-tags --json on the same files:"
                  f" {json_seconds * 1000:.0f} ms ({tracks / json_seconds:.0f} files/s)")
    finally:
        if args.keep or args.corpus:
            print(f"corpus kept in {root}")
        else:
            shutil.rmtree(root)


if __name__ == "__main__":
    main()
