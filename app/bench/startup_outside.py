#!/usr/bin/env python3
"""Times the player from exec to its first presented frame, measured from outside the process.

usage: startup_outside.py BIN_DIR [RUNS]

Each run copies the player with its Theme and Languages into a fresh folder (so there is no
Settings.ini and the default theme applies) and starts it on a private virtual display at
1920x1080, 96 DPI. The clock is read in the child just before exec; the player, started with
VANTOR_REPORT_FIRST_PRESENT set, prints the same monotonic clock when its window surface first
goes out. Prints every run and the median, in milliseconds.
"""
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time


def start_display():
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1920x1080x24",
                               "-dpi", "96", "-noreset", "-nolisten", "tcp"],
                              pass_fds=[write_end], stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        number = pipe.readline().strip()
    if not number:
        server.kill()
        sys.exit("Xvfb did not start")
    return server, ":" + number


def one_run(bin_dir, display):
    work = tempfile.mkdtemp(prefix="vantor-start-")
    try:
        shutil.copy2(os.path.join(bin_dir, "vantor"), work)
        for folder in ("Theme", "Languages"):
            shutil.copytree(os.path.join(bin_dir, folder), os.path.join(work, folder))
        runtime = os.path.join(work, "run")
        os.mkdir(runtime, 0o700)
        env = dict(os.environ, DISPLAY=display, VANTOR_REPORT_FIRST_PRESENT="1", XDG_RUNTIME_DIR=runtime)
        env.pop("WAYLAND_DISPLAY", None)
        clock_read, clock_write = os.pipe()

        def stamp_then_exec():
            os.write(clock_write, repr(time.clock_gettime(time.CLOCK_MONOTONIC)).encode())
            os.close(clock_write)

        player = subprocess.Popen([os.path.join(work, "vantor")], env=env, cwd=work, pass_fds=[clock_write],
                                  preexec_fn=stamp_then_exec, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                  text=True)
        os.close(clock_write)
        with os.fdopen(clock_read) as pipe:
            exec_time = float(pipe.read())
        presented = None
        for line in player.stderr:
            if line.startswith("first-present "):
                presented = float(line.split()[1])
                break
        player.send_signal(signal.SIGTERM)
        try:
            player.wait(5)
        except subprocess.TimeoutExpired:
            player.kill()
            player.wait()
        if presented is None:
            sys.exit("the player ended without presenting a frame")
        return (presented - exec_time) * 1000.0
    finally:
        shutil.rmtree(work, ignore_errors=True)


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    bin_dir = os.path.abspath(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 10
    server, display = start_display()
    try:
        one_run(bin_dir, display)  # warms the page cache; not counted
        times = [one_run(bin_dir, display) for _ in range(runs)]
    finally:
        server.terminate()
        server.wait()
    print("runs (ms): " + " ".join("%.1f" % t for t in times))
    print("median exec to first presented frame: %.1f ms" % statistics.median(times))


if __name__ == "__main__":
    main()
