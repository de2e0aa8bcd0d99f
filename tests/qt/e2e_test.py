#!/usr/bin/python3
"""The real Linux program end to end on a private desktop.

Xvfb with trayer as the notification area, private system and session buses with
python3-dbusmock's logind standing in for systemd-logind, a PulseAudio null sink for the
alarm, faketime to start the clock just before a target. xdotool is the user.

Usage: e2e_test.py PROGRAM RINGTONE.mp3 SCREENSHOT_DIR [unittest arguments]
"""

import os
import subprocess
import sys
import time
import unittest

import dbus
import dbusmock

from desktop import SCREEN, TRAY_ICON, VirtualDesktop, wait_for

PROGRAM = sys.argv.pop(1)
RINGTONE = sys.argv.pop(1)
SCREENSHOTS = sys.argv.pop(1)

MAIN = '自动关机'
NOTICE = '提示：'
FAREWELL = '感谢：'
FILE_DIALOG = 'Open'  # Qt's own caption of an open-file dialog without a title
WIDTH, HEIGHT = 400, 254
LEFT, TOP = (SCREEN[0] - WIDTH) // 2, (SCREEN[1] - HEIGHT) // 2

# Template places, relative to the window: group box origin + control place.
SETTINGS = (4, 21)        # 分组框1 "设定："
OPTIONS = (244, 77)       # 分组框3 "选项："
RINGTONE_GROUP = (4, 152)  # 分组框4 "铃声："


def inside(group, x, y):
    return LEFT + group[0] + x, TOP + group[1] + y


MINUTE_UP = inside(SETTINGS, 144 + 9, 16 + 8)  # 编辑框5's spin button, upper half
START = inside(SETTINGS, 275 + 26, 16 + 16)   # 按钮1 "启动"
ALARM = inside(OPTIONS, 100 + 8, 31 + 8)      # 单选框6 "闹钟"
LOAD = inside(RINGTONE_GROUP, 124 + 22, 32 + 12)  # 按钮2 "载入"
HIDE = (LEFT + 341 + 10, TOP + 10)            # 按钮6 "_"
CLOSE = (LEFT + 381 + 10, TOP + 10)           # 按钮5 "X"
DESCRIBE = inside(SETTINGS, 333 + 26, 16 + 16)  # 按钮7 "说明"
# The description window, 376 x 221, centred.
D_WIDTH, D_HEIGHT = 376, 221
D_LEFT, D_TOP = (SCREEN[0] - D_WIDTH) // 2, (SCREEN[1] - D_HEIGHT) // 2
MENU_GREY_MIN = 200  # the popup menu's light background, against the black root window


def calls(mock):
    return [(str(method), list(args)) for _, method, args in mock.GetCalls(dbus_interface=dbusmock.MOCK_IFACE)]


class ProgramTest(dbusmock.DBusTestCase):
    @classmethod
    def setUpClass(cls):
        cls.start_system_bus()
        cls.start_session_bus()
        cls.logind_process, cls.logind = cls.spawn_server_template('logind', {}, stdout=subprocess.DEVNULL)
        cls.desktop = VirtualDesktop(with_tray=True, with_sound=True)

    @classmethod
    def tearDownClass(cls):
        cls.desktop.close()
        cls.logind_process.terminate()
        cls.logind_process.wait()
        super().tearDownClass()  # the private buses

    def setUp(self):
        self.logind.ClearCalls(dbus_interface=dbusmock.MOCK_IFACE)
        self.program = None

    def tearDown(self):
        if self.program and self.program.poll() is None:
            self.program.kill()
            self.program.wait()

    def start(self, clock=None):
        """Starts the program (its clock starting at `clock`, "YYYY-MM-DD hh:mm:ss" UTC) and
        waits for its window."""
        env = dict(self.desktop.env, TZ='UTC')
        argv = [PROGRAM]
        if clock:
            argv = ['faketime', '-f', '@' + clock] + argv
            env['FAKETIME_DONT_FAKE_MONOTONIC'] = '1'
        self.program = subprocess.Popen(argv, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        window = self.desktop.wait_window(MAIN)
        # Painted: the grey left edge of 标签9's gradient is there.
        wait_for(lambda: self.desktop.screenshot().pixel(LEFT + 24, TOP + 1)[0] > 100, 10, 'the window painted')
        return window

    def answer(self, title, *keys):
        """Waits for the message box `title`, gives it the keyboard and presses `keys`."""
        box = self.desktop.wait_window(title)
        self.desktop.focus(box)
        self.desktop.key(*keys)
        return box

    def exit_code(self, timeout=10):
        try:
            return self.program.wait(timeout)
        except subprocess.TimeoutExpired:
            self.fail('the program did not end')

    def popup_height(self):
        """Opens the tray icon's popup menu, measures it and closes it again."""
        self.desktop.click(*TRAY_ICON, button=3)
        x, y = TRAY_ICON[0] + 3 + 20, TRAY_ICON[1] + 3
        wait_for(lambda: self.desktop.screenshot().pixel(x, y + 4)[0] >= MENU_GREY_MIN, 5, 'the popup menu')
        shot = self.desktop.screenshot()
        bottom = y + 4
        while bottom < shot.height and shot.pixel(x, bottom)[0] >= MENU_GREY_MIN - 40:
            bottom += 1
        return bottom - y

    def test_window_look_and_escape_with_farewell(self):
        window = self.start()
        self.assertEqual(self.desktop.geometry(window), (LEFT, TOP, WIDTH, HEIGHT), 'centred, 400 x 254')
        shot = self.desktop.screenshot(os.path.join(SCREENSHOTS, 'main_window.png'))
        px = lambda x, y: shot.pixel(LEFT + x, TOP + y)
        for x, y in ((242, 100), (120, 150), (398, 250)):
            self.assertEqual(px(x, y), (0, 0, 0), f'black background between the group boxes at {x}, {y}')
        # Group titles: red text on black at the top left of 分组框1 and 分组框3.
        for group in (SETTINGS, OPTIONS):
            title = [px(group[0] + x, group[1] + y) for x in range(8, 40) for y in range(0, 12)]
            red = [p for p in title if p[0] >= 100 and p[1] == p[2] == 0]
            self.assertGreater(len(red), 20, f'red title of the group at {group}')
            self.assertGreaterEqual(max(p[0] for p in red), 240)
        # 标签9: the gradient rises from grey at its left edge towards white in its middle.
        left, further = px(24, 1), px(24 + 100, 1)
        self.assertTrue(all(abs(c - 128) <= 2 for c in left), left)
        self.assertTrue(all(c > 200 for c in further) and further[0] == further[1] == further[2], further)
        # The skin's 1-pixel frame (198, 197, 215) around the hour box 编辑框4 (its inner line:
        # the button face of a read-only box).
        hour_box = (SETTINGS[0] + 8, SETTINGS[1] + 16)
        for x, y in ((0, 10), (47, 10), (20, 0), (20, 31)):
            self.assertEqual(px(hour_box[0] + x, hour_box[1] + y), (198, 197, 215), (x, y))
        # The radio buttons' captions are white (grey at their anti-aliased edges): 单选框1 "关机" after its circle.
        caption = [px(OPTIONS[0] + 4 + x, OPTIONS[1] + 13 + y) for x in range(17, 46) for y in range(2, 15)]
        self.assertGreater(sum(1 for p in caption if p[0] == p[1] == p[2] >= 200), 5, 'white caption of 单选框1')
        # The clock runs: the "现在时间：" box changes within a little over a second.
        clock_box = [(LEFT + 4 + 65 + x, TOP + 77 + 41 + y) for x in range(10, 150, 3) for y in range(6, 18, 2)]
        before = [shot.pixel(*p) for p in clock_box]
        wait_for(lambda: [self.desktop.screenshot().pixel(*p) for p in clock_box] != before, 3,
                 'the clock text to change')

        self.desktop.focus(window)
        self.desktop.key('Escape')
        self.answer(FAREWELL, 'Return')
        self.assertEqual(self.exit_code(), 0)

    def test_armed_shutdown_reaches_logind_and_the_session_end_ends_quietly(self):
        self.start(clock='2026-12-11 00:00:50')
        self.desktop.click(*MINUTE_UP)  # 00:01:00, the hour and second stay 00
        self.desktop.click(*START)
        self.answer(NOTICE, 'Return')
        wait_for(lambda: ('PowerOff', [False]) in calls(self.logind), 20, 'PowerOff from the match')
        # logind announces the shutdown: the program ends without its farewell.
        self.logind.EmitSignal('org.freedesktop.login1.Manager', 'PrepareForShutdown', 'b', [True],
                               dbus_interface=dbusmock.MOCK_IFACE)
        self.assertEqual(self.exit_code(), 0)
        self.assertEqual(self.desktop.windows(FAREWELL), [])

    def test_alarm_offers_its_reset_in_the_tray_menu(self):
        self.start(clock='2026-12-11 00:00:45')
        plain = self.popup_height()
        self.desktop.key('Escape')
        self.desktop.click(*LOAD)
        dialog = self.desktop.wait_window(FILE_DIALOG)
        self.desktop.focus(dialog)
        self.desktop.type_text(RINGTONE)
        self.desktop.key('Return')
        self.desktop.wait_no_window(FILE_DIALOG)
        self.desktop.click(*ALARM)
        self.desktop.click(*MINUTE_UP)
        self.desktop.click(*START)
        self.answer(NOTICE, 'Return')
        time.sleep(16)  # past 00:01:00
        with_reset = self.popup_height()
        self.assertGreater(with_reset, plain, '"关闭闹钟" adds an entry')
        self.desktop.key('Up', 'Return')  # the last entry: "关闭闹钟"
        time.sleep(0.5)
        self.assertEqual(self.popup_height(), plain, 'the reset takes "关闭闹钟" away again')
        self.desktop.key('Escape')
        self.desktop.click(*CLOSE)
        self.answer(NOTICE, 'Return')
        self.answer(FAREWELL, 'Return')
        self.assertEqual(self.exit_code(), 0)

    def test_description_window_and_dragging(self):
        window = self.start()
        self.desktop.click(*DESCRIBE)
        described = lambda: self.desktop.screenshot().pixel(D_LEFT + 20, D_TOP + 1)  # 标签9's grey edge
        wait_for(lambda: all(abs(c - 130) <= 3 for c in described()), 10, 'the description window')
        shot = self.desktop.screenshot(os.path.join(SCREENSHOTS, 'description_window.png'))
        self.assertEqual(shot.pixel(D_LEFT + 200, D_TOP + 215), (0, 0, 0), 'black background')
        # The picture: something light on black inside 图片框2's border, and no second window
        # on a second press of "说明".
        picture = [shot.pixel(D_LEFT + 3 + 13 + x, D_TOP + 20 + 18 + y) for x in range(10, 94, 4)
                   for y in range(10, 94, 4)]
        self.assertGreater(sum(1 for p in picture if sum(p) > 300), 5)
        self.desktop.click(*DESCRIBE)
        time.sleep(0.5)
        self.assertEqual(len(self.desktop.windows_sized(D_WIDTH, D_HEIGHT)), 1, 'one description window')
        # Esc closes the description window only.
        self.desktop.click(D_LEFT + 200, D_TOP + 210)
        self.desktop.key('Escape')
        wait_for(lambda: not self.desktop.windows_sized(D_WIDTH, D_HEIGHT), 5, 'the description window gone')
        self.assertIsNone(self.program.poll())
        # Dragging the black background moves the main window; pressing a button does not.
        self.desktop.run('xdotool', 'mousemove', '--sync', str(LEFT + 242), str(TOP + 100), 'mousedown', '1',
                         'mousemove', '--sync', str(LEFT + 242 + 50), str(TOP + 100 + 30), 'mouseup', '1')
        wait_for(lambda: self.desktop.geometry(window)[:2] == (LEFT + 50, TOP + 30), 5, 'the window dragged')
        self.desktop.run('xdotool', 'mousemove', '--sync', str(LEFT + 50 + 360), str(TOP + 30 + 10), 'mousedown', '1',
                         'mousemove', '--sync', str(LEFT + 50 + 300), str(TOP + 30 + 100), 'mouseup', '1')
        time.sleep(0.3)
        self.assertEqual(self.desktop.geometry(window)[:2], (LEFT + 50, TOP + 30), 'a press on "口" drags nothing')
        # The end of the session (SIGTERM) ends the program at once, without the farewell.
        self.program.terminate()
        self.assertEqual(self.exit_code(), 0)
        self.assertEqual(self.desktop.windows(FAREWELL), [])

    def test_hide_to_tray_show_by_double_click_and_confirm_exit(self):
        self.start()
        self.desktop.click(*HIDE)
        self.desktop.wait_no_window(MAIN)
        self.desktop.click(*TRAY_ICON, repeat=2)
        window = self.desktop.wait_window(MAIN)
        self.assertEqual(self.desktop.geometry(window)[:2], (LEFT, TOP))
        # "X": Esc does nothing in the question; No keeps the program running.
        self.desktop.click(*CLOSE)
        box = self.answer(NOTICE, 'Escape')
        time.sleep(0.5)
        self.assertEqual(self.desktop.windows(NOTICE), [box], 'Esc leaves the Yes/No question open')
        self.desktop.key('Tab', 'space')  # from Yes, the default, to No
        self.desktop.wait_no_window(NOTICE)
        time.sleep(0.5)
        self.assertIsNone(self.program.poll())
        self.assertTrue(self.desktop.windows(MAIN))
        self.desktop.click(*CLOSE)
        self.answer(NOTICE, 'Return')
        self.answer(FAREWELL, 'Return')
        self.assertEqual(self.exit_code(), 0)
        self.assertFalse(self.desktop.windows(MAIN))


class NoNotificationAreaTest(dbusmock.DBusTestCase):
    """A desktop without a notification area: hiding must not strand the user."""

    @classmethod
    def setUpClass(cls):
        cls.start_session_bus()

    def test_hiding_keeps_the_window_reachable(self):
        desktop = VirtualDesktop(with_tray=False)
        self.addCleanup(desktop.close)
        program = subprocess.Popen([PROGRAM], env=desktop.env, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        self.addCleanup(lambda: program.poll() is None and (program.kill(), program.wait()))
        window = desktop.wait_window(MAIN)
        wait_for(lambda: desktop.screenshot().pixel(LEFT + 24, TOP + 1)[0] > 100, 10, 'the window painted')
        desktop.click(*HIDE)
        time.sleep(1)
        # Minimised rather than hidden: still a window the task bar can bring back (no window
        # manager runs here to take it off the screen).
        self.assertEqual(desktop.windows(MAIN), [window])
        desktop.focus(window)
        desktop.key('Escape')
        box = desktop.wait_window(FAREWELL)
        desktop.focus(box)
        desktop.key('Return')
        self.assertEqual(program.wait(10), 0)


if __name__ == '__main__':
    unittest.main()
