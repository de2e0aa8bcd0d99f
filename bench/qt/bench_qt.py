#!/usr/bin/python3
"""Figures of the real Linux program on a private X desktop (Xvfb + trayer): time from launch
to its window being mapped, resident memory after 10 s, and CPU use with all three 10 ms
timers running. Prints figures against their goals; it is not a test.

The CPU figures are printed beside the floor: a bare Qt program with one 10 ms timer
(timer_floor.cpp), which shows what 100 wake-ups a second cost on this machine.

Usage: bench_qt.py PROGRAM [--floor TIMER_FLOOR] [--peer OTHER_PROGRAM]... [--runs N] [--cpu-seconds S]
"""

import argparse
import os
import queue
import statistics
import subprocess
import sys
import tempfile
import threading
import time

import dbusmock

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'tests', 'qt'))
from desktop import SCREEN, VirtualDesktop  # noqa: E402

WIDTH, HEIGHT = 400, 254
LEFT, TOP = (SCREEN[0] - WIDTH) // 2, (SCREEN[1] - HEIGHT) // 2
PAGE_KB = os.sysconf('SC_PAGE_SIZE') // 1024


class MapWatcher:
    """Time-stamps the X server's announcements of new top-level windows (xev on the root)."""

    def __init__(self, desktop):
        self.process = subprocess.Popen(['xev', '-root', '-event', 'substructure'], env=desktop.env,
                                        stdout=subprocess.PIPE, text=True, bufsize=1)
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()
        time.sleep(0.5)

    def _read(self):
        for line in self.process.stdout:
            self.lines.put((time.monotonic(), line))

    def wait_mapped(self, wanted_size=None, timeout=10):
        """Seconds on the monotonic clock at which a window of `wanted_size` (any window at
        least 100 pixels wide without one) was mapped."""
        deadline = time.monotonic() + timeout
        wanted = None
        event = ''
        while time.monotonic() < deadline:
            try:
                now, line = self.lines.get(timeout=0.2)
            except queue.Empty:
                continue
            event = line if line.strip() and not line.startswith(' ') else event + line
            if 'CreateNotify' in event and 'height' in event and self._fits(event, wanted_size):
                wanted = event.split('window ')[-1].split(',')[0]
            elif 'MapNotify' in event and wanted and f'window {wanted},' in event:
                return now
        raise AssertionError('the window was not mapped')

    @staticmethod
    def _fits(event, wanted_size):
        width = int(event.split('width ')[1].split(',')[0])
        height = int(event.split('height ')[1].split(',')[0].split()[0])
        return (width, height) == wanted_size if wanted_size else width >= 100

    def close(self):
        self.process.terminate()
        self.process.wait()


def cpu_seconds(pid):
    """CPU time of all the process's threads, as the scheduler measured it (exact, unlike
    the tick-sampled times of /proc/PID/stat, which a 10 ms timer can dodge or hit)."""
    total = 0
    for thread in os.listdir(f'/proc/{pid}/task'):
        with open(f'/proc/{pid}/task/{thread}/schedstat') as stat:
            total += int(stat.read().split()[0])
    return total / 1e9


def rss_mb(pid):
    with open(f'/proc/{pid}/statm') as statm:
        return int(statm.read().split()[1]) * PAGE_KB / 1024


def end(program):
    program.terminate()  # the end of a session: quiet, no farewell
    program.wait(10)


def start(desktop):
    return subprocess.Popen([PROGRAM], env=desktop.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def launch_times(desktop, runs, argv=None):
    """Milliseconds from starting the program (or `argv`, a peer) to its window mapped."""
    watcher = MapWatcher(desktop)
    times = []
    try:
        for _ in range(runs):
            began = time.monotonic()
            program = subprocess.Popen(argv or [PROGRAM], env=desktop.env, stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
            times.append((watcher.wait_mapped(None if argv else (WIDTH, HEIGHT)) - began) * 1000)
            time.sleep(0.5)
            end(program)
    finally:
        watcher.close()
    return times


def all_timers_running(desktop, ringtone):
    """Starts the program with its clock timer, loads a ringtone and ticks a chime box (chime
    timer), then arms a far target (match timer), as a user would."""
    program = start(desktop)
    window = desktop.wait_window('自动关机')
    desktop.click(LEFT + 4 + 124 + 22, TOP + 152 + 32 + 12)       # "载入"
    dialog = desktop.wait_window('Open')
    desktop.focus(dialog)
    desktop.type_text(ringtone)
    desktop.key('Return')
    desktop.wait_no_window('Open')
    desktop.click(LEFT + 244 + 6 + 8, TOP + 77 + 51 + 8)          # "整点报时"
    desktop.click(LEFT + 4 + 275 + 26, TOP + 21 + 16 + 16)        # "启动" with 00:00:00 armed
    box = desktop.wait_window('提示：')
    desktop.focus(box)
    desktop.key('Return')
    desktop.focus(window)
    return program


def main():
    global PROGRAM
    parser = argparse.ArgumentParser()
    parser.add_argument('program')
    parser.add_argument('--floor')
    parser.add_argument('--peer', action='append', default=[],
                        help='another shutdown timer to measure alike, e.g. /usr/bin/qshutdown')
    parser.add_argument('--runs', type=int, default=10)
    parser.add_argument('--cpu-seconds', type=float, default=60)
    args = parser.parse_args()
    PROGRAM = args.program

    # A desktop session has its bus; without one Qt would start a bus of its own every launch.
    dbusmock.DBusTestCase.start_session_bus()
    desktop = VirtualDesktop(with_tray=True, with_sound=True)
    try:
        times = launch_times(desktop, args.runs)
        print(f'launch -> window mapped: median {statistics.median(times):.0f} ms, '
              f'min {min(times):.0f}, max {max(times):.0f} over {len(times)} runs (goal <= 80 ms)')

        program = start(desktop)
        desktop.wait_window('自动关机')
        time.sleep(10)
        print(f'resident memory after 10 s: {rss_mb(program.pid):.1f} MB (goal <= 40 MB)')
        end(program)

        def measure(process):
            time.sleep(1)
            before, began = cpu_seconds(process.pid), time.monotonic()
            time.sleep(args.cpu_seconds)
            share = (cpu_seconds(process.pid) - before) / (time.monotonic() - began) * 100
            end(process)
            return share

        floor = None
        if args.floor:
            floor = measure(subprocess.Popen([args.floor], env=desktop.env))
            print(f'CPU, floor (bare Qt program, one 10 ms timer): {floor:.2f} % of one core')
        with tempfile.TemporaryDirectory() as sounds:
            subprocess.run([os.path.join(ROOT, 'tests', 'audio', 'make_fixtures.sh'), sounds], check=True,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            clock_only = start(desktop)
            desktop.wait_window('自动关机')
            runs = [('clock timer only', clock_only),
                    ('all three timers', None)]
            for label, process in runs:
                if process is None:
                    process = all_timers_running(desktop, os.path.join(sounds, 'mpeg1_l3_stereo.mp3'))
                share = measure(process)
                ratio = f', {share / floor:.1f} x the floor' if floor else ''
                goal = ' (goal <= 0.5 %)' if label == 'all three timers' else ''
                print(f'CPU, {label}: {share:.2f} % of one core over {args.cpu_seconds:.0f} s{ratio}{goal}')
        for peer in args.peer:
            name = os.path.basename(peer)
            times = launch_times(desktop, args.runs, [peer])
            print(f'peer {name}: launch -> window mapped: median {statistics.median(times):.0f} ms')
            process = subprocess.Popen([peer], env=desktop.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            time.sleep(10)
            print(f'peer {name}: resident memory after 10 s: {rss_mb(process.pid):.1f} MB')
            print(f'peer {name}: CPU, idle: {measure(process):.2f} % of one core')
    finally:
        desktop.close()
        dbusmock.DBusTestCase.tearDownClass()


ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..')
PROGRAM = None

if __name__ == '__main__':
    main()
