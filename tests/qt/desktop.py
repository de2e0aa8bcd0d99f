"""A private Linux desktop for end-to-end runs of the Qt program.

VirtualDesktop starts an X server (Xvfb on a free display number) with a notification area
(trayer), and optionally a PulseAudio server with a null sink on a private socket. It drives
the mouse and keyboard with xdotool and reads the screen with ImageMagick's `import`.
"""

import os
import shutil
import subprocess
import tempfile
import time

SCREEN = (1024, 768)
TRAY_ICON = (12, 12)  # trayer at the top left, 24 pixels high: the first icon's middle


def wait_for(predicate, timeout, what, step=0.05):
    """Polls `predicate` until it returns a true value, which is returned."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f'timed out after {timeout} s waiting for {what}')
        time.sleep(step)


class Screenshot:
    """The whole screen as RGB pixels."""

    def __init__(self, ppm):
        header, rest = ppm.split(b'\n', 1)
        assert header == b'P6', header
        size, rest = rest.split(b'\n', 1)
        self.width, self.height = (int(v) for v in size.split())
        maxval, self.data = rest.split(b'\n', 1)
        assert maxval == b'255', maxval

    def pixel(self, x, y):
        at = (y * self.width + x) * 3
        return tuple(self.data[at:at + 3])


class VirtualDesktop:
    def __init__(self, with_tray=True, with_sound=False):
        self.home = tempfile.mkdtemp(prefix='autoshutdown-desktop-')
        self.processes = []
        self.env = dict(os.environ)
        try:
            self.display = self._start_x()
            self.env['DISPLAY'] = self.display
            self.env['XDG_RUNTIME_DIR'] = self.home
            self.env['HOME'] = self.home
            self.env.pop('WAYLAND_DISPLAY', None)
            self.env['QT_QPA_PLATFORM'] = 'xcb'
            if with_tray:
                self._spawn(['trayer', '--edge', 'top', '--align', 'left', '--widthtype', 'request',
                             '--height', '24', '--SetDockType', 'true'])
                wait_for(lambda: self.has_tray(), 10, 'the notification area')
            if with_sound:
                self._start_pulse()
        except BaseException:
            self.close()
            raise

    def _spawn(self, argv, **kwargs):
        process = subprocess.Popen(argv, env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                   **kwargs)
        self.processes.append(process)
        return process

    def _start_x(self):
        read_end, write_end = os.pipe()
        try:
            self._spawn(['Xvfb', '-displayfd', str(write_end), '-screen', '0', f'{SCREEN[0]}x{SCREEN[1]}x24',
                         '-nolisten', 'tcp', '-noreset', '-br'], pass_fds=(write_end,))
            os.close(write_end)
            write_end = -1
            number = b''
            while not number.endswith(b'\n'):
                chunk = os.read(read_end, 16)
                if not chunk:
                    raise RuntimeError('Xvfb did not start')
                number += chunk
            return ':' + number.decode().strip()
        finally:
            os.close(read_end)
            if write_end >= 0:
                os.close(write_end)

    def _start_pulse(self):
        socket = os.path.join(self.home, 'pulse.socket')
        self.env['PULSE_RUNTIME_PATH'] = self.home
        self.env['PULSE_STATE_PATH'] = self.home
        self.env['PULSE_SERVER'] = 'unix:' + socket
        self._spawn(['pulseaudio', '-n', '--daemonize=no', '--exit-idle-time=-1', '--disable-shm=yes',
                     '--use-pid-file=no', '--log-target=stderr', '--log-level=error',
                     '-L', 'module-null-sink sink_name=nul',
                     '-L', f'module-native-protocol-unix auth-anonymous=1 socket={socket}'])
        wait_for(lambda: os.path.exists(socket), 10, 'the PulseAudio socket')

    def close(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        self.processes = []
        shutil.rmtree(self.home, ignore_errors=True)

    # --- X

    def run(self, *argv):
        return subprocess.run(argv, env=self.env, check=True, capture_output=True, text=True).stdout

    def has_tray(self):
        return 'panel' in self.run('xwininfo', '-root', '-tree')

    def windows(self, name):
        """Ids of the mapped windows whose title is exactly `name`."""
        result = subprocess.run(['xdotool', 'search', '--onlyvisible', '--name', f'^{name}$'], env=self.env,
                                capture_output=True, text=True)
        return [int(w) for w in result.stdout.split()]

    def windows_sized(self, width, height):
        """Ids of the mapped windows of the program's class with this size."""
        result = subprocess.run(['xdotool', 'search', '--onlyvisible', '--class', 'autoshutdown'], env=self.env,
                                capture_output=True, text=True)
        return [int(w) for w in result.stdout.split() if self.geometry(int(w))[2:] == (width, height)]

    def wait_window(self, name, timeout=10):
        return wait_for(lambda: self.windows(name), timeout, f'a window "{name}"')[0]

    def wait_no_window(self, name, timeout=10):
        wait_for(lambda: not self.windows(name), timeout, f'no window "{name}"')

    def geometry(self, window):
        """(left, top, width, height) of a window."""
        out = self.run('xdotool', 'getwindowgeometry', '--shell', str(window))
        values = dict(line.split('=') for line in out.split())
        return int(values['X']), int(values['Y']), int(values['WIDTH']), int(values['HEIGHT'])

    def click(self, x, y, button=1, repeat=1):
        self.run('xdotool', 'mousemove', '--sync', str(x), str(y), 'click', '--repeat', str(repeat),
                 '--delay', '80', str(button))

    def focus(self, window):
        self.run('xdotool', 'windowfocus', '--sync', str(window))

    def key(self, *keys):
        self.run('xdotool', 'key', '--delay', '60', *keys)

    def type_text(self, text):
        self.run('xdotool', 'type', '--delay', '20', text)

    def screenshot(self, path=None):
        ppm = subprocess.run(['import', '-window', 'root', '-depth', '8', 'ppm:-'], env=self.env, check=True,
                             capture_output=True).stdout
        if path:
            subprocess.run(['convert', 'ppm:-', path], input=ppm, check=True)
        return Screenshot(ppm)
