#!/usr/bin/python3
"""The logind power platform making real requests against mock D-Bus services.

Private system and session buses carry a mock login manager (python3-dbusmock's logind
template) and, for log-off, mock desktop session managers. The probe executable makes the
requests; the mocks' call logs show what reached the services.

Usage: logind_test.py PATH_TO_POWER_PROBE [unittest arguments]
"""

import contextlib
import os
import subprocess
import sys
import unittest

import dbus
import dbusmock

PROBE = sys.argv.pop(1)

LOGIND = 'org.freedesktop.login1'
MANAGER = 'org.freedesktop.login1.Manager'
SESSION_PATH = '/org/freedesktop/login1/session/c1'

# A request blocks for two steps of 0.5 s at most; a mock that sleeps far longer tells a
# bounded wait from one that waited for the service.
SILENT_SECONDS = 10
HANG_LIMIT_MS = 3000

# The desktops' session managers: bus name, object, interface, method, its input signature
# and the arguments a log-off without confirmation and without force must send.
DESKTOPS = [
    ('org.gnome.SessionManager', '/org/gnome/SessionManager', 'org.gnome.SessionManager',
     'Logout', 'u', [1]),
    ('org.kde.Shutdown', '/Shutdown', 'org.kde.Shutdown', 'logout', '', []),
    ('org.kde.ksmserver', '/KSMServer', 'org.kde.KSMServerInterface', 'logout', 'iii',
     [0, 0, 0]),
    ('org.xfce.SessionManager', '/org/xfce/SessionManager', 'org.xfce.Session.Manager',
     'Logout', 'bb', [False, True]),
]
GNOME = DESKTOPS[0]


def raising(name):
    return f'raise dbus.exceptions.DBusException("refused", name="{name}")'


SILENT = f'import time; time.sleep({SILENT_SECONDS})'


def calls(mock):
    """The mock's call log as (method, [arguments]) pairs, oldest first."""
    log = mock.GetCalls(dbus_interface=dbusmock.MOCK_IFACE)
    return [(str(method), list(args)) for _, method, args in log]


class LogindPowerTest(dbusmock.DBusTestCase):
    @classmethod
    def setUpClass(cls):
        cls.start_system_bus()
        cls.start_session_bus()
        cls.system = cls.get_dbus(system_bus=True)
        cls.session = cls.get_dbus(system_bus=False)

    def setUp(self):
        # The mocks a test or sub-test started; `with self.mocks:` stops them at its end.
        self.mocks = contextlib.ExitStack()
        self.addCleanup(self.mocks.close)

    def stop_at_end(self, process):
        def stop():
            process.terminate()
            process.wait()
        self.mocks.callback(stop)

    def start_logind(self, can_power_off='yes', **methods):
        """The mock login manager with this process's session c1; `methods` replace the
        template's code of Manager methods by name."""
        process, manager = self.spawn_server_template(
            'logind', {'CanPowerOff': can_power_off}, stdout=subprocess.DEVNULL)
        self.stop_at_end(process)
        mock = dbus.Interface(manager, dbusmock.MOCK_IFACE)
        mock.AddSession('c1', 'seat0', dbus.UInt32(1000), 'user', True)
        # The template lacks GetSessionByPID; every process belongs to session c1 here.
        mock.AddMethod(MANAGER, 'GetSessionByPID', 'u', 'o', f'ret = "{SESSION_PATH}"')
        for name, code in methods.items():
            query = name.startswith('Can')  # CanX() -> s; the requests take `interactive`
            mock.AddMethod(MANAGER, name, '' if query else 'b', 's' if query else '', code)
        mock.ClearCalls()
        self.logind = manager
        self.logind_session = self.system.get_object(LOGIND, SESSION_PATH)
        return manager

    def start_desktop(self, desktop, code=''):
        service, path, interface, method, signature, _ = desktop
        process = self.spawn_server(service, path, interface, stdout=subprocess.DEVNULL)
        self.stop_at_end(process)
        mock = self.session.get_object(service, path)
        mock.AddMethod('', method, signature, '', code, dbus_interface=dbusmock.MOCK_IFACE)
        mock.ClearCalls(dbus_interface=dbusmock.MOCK_IFACE)
        return mock

    def request(self, *codes, env=None):
        """Runs the probe on `codes`: its pid and one (code, accepted, milliseconds) each."""
        out = subprocess.run([PROBE, *map(str, codes)], env=env, check=True, timeout=60,
                             capture_output=True, text=True).stdout.splitlines()
        pid = int(out[0].split()[1])
        results = [tuple(int(field) for field in line.split()) for line in out[1:]]
        self.assertEqual([code for code, _, _ in results], list(codes))
        return pid, [(bool(accepted), ms) for _, accepted, ms in results]

    def accepted(self, *codes, env=None):
        return [accepted for accepted, _ in self.request(*codes, env=env)[1]]

    def test_each_code_makes_one_non_interactive_logind_request(self):
        self.start_logind()
        self.assertEqual(self.accepted(1, 2, 4, 5, 1), [True] * 5)
        self.assertEqual(calls(self.logind), [
            ('CanPowerOff', []), ('PowerOff', [False]),
            ('CanPowerOff', []), ('Reboot', [False]),
            ('CanPowerOff', []), ('Suspend', [False]),
            ('CanPowerOff', []), ('Hibernate', [False]),
            ('CanPowerOff', []), ('PowerOff', [False]),
        ])

    def test_invalid_codes_make_no_call(self):
        self.start_logind()
        gnome = self.start_desktop(GNOME)
        self.assertEqual(self.accepted(-1, 0, 6), [False] * 3)
        self.assertEqual(calls(self.logind), [])
        self.assertEqual(calls(gnome), [])

    def test_log_off_asks_the_running_desktop_only(self):
        for desktop in DESKTOPS:
            with self.subTest(desktop=desktop[0]), self.mocks:
                self.start_logind()
                manager = self.start_desktop(desktop)
                self.assertEqual(self.accepted(3), [True])
                self.assertEqual(calls(manager), [(desktop[3], desktop[5])])
                self.assertEqual(calls(self.logind), [('CanPowerOff', [])])
                self.assertEqual(calls(self.logind_session), [])

    def test_log_off_without_desktop_terminates_own_session(self):
        no_session_bus = {k: v for k, v in os.environ.items()
                          if k not in ('DBUS_SESSION_BUS_ADDRESS', 'XDG_RUNTIME_DIR')}
        for name, env in (('session bus without manager', None),
                          ('no session bus', no_session_bus)):
            with self.subTest(name), self.mocks:
                self.start_logind()
                pid, results = self.request(3, env=env)
                self.assertEqual([accepted for accepted, _ in results], [True])
                self.assertEqual(calls(self.logind),
                                 [('CanPowerOff', []), ('GetSessionByPID', [pid])])
                self.assertEqual(calls(self.logind_session), [('Terminate', [])])

    def test_privilege_refused_stops_every_code_before_any_request(self):
        for answer in ('no', 'challenge', 'na'):
            with self.subTest(CanPowerOff=answer), self.mocks:
                self.start_logind(can_power_off=answer)
                gnome = self.start_desktop(GNOME)
                self.assertEqual(self.accepted(1, 2, 3, 4, 5), [False] * 5)
                self.assertEqual(calls(self.logind), [('CanPowerOff', [])] * 5)
                self.assertEqual(calls(self.logind_session), [])
                self.assertEqual(calls(gnome), [])

    def test_refused_request_returns_false(self):
        self.start_logind(PowerOff=raising('org.freedesktop.login1.OperationInProgress'),
                          Suspend=raising('org.freedesktop.DBus.Error.AccessDenied'))
        self.assertEqual(self.accepted(1, 4), [False, False])
        self.assertEqual(calls(self.logind), [('CanPowerOff', []), ('PowerOff', [False]),
                                              ('CanPowerOff', []), ('Suspend', [False])])

    def test_desktop_refusing_log_off_is_not_overridden(self):
        self.start_logind()
        gnome = self.start_desktop(GNOME, raising('org.gnome.SessionManager.NotInRunning'))
        self.assertEqual(self.accepted(3), [False])
        self.assertEqual(calls(gnome), [('Logout', [1])])
        self.assertEqual(calls(self.logind), [('CanPowerOff', [])])
        self.assertEqual(calls(self.logind_session), [])

    def test_absent_or_silent_services_fail_without_hanging(self):
        no_system_bus = dict(os.environ,
                             DBUS_SYSTEM_BUS_ADDRESS='unix:path=/nonexistent/system_bus_socket')
        # (case, mocks to start, environment, codes whose requests must fail)
        cases = [
            ('no system bus', lambda: None, no_system_bus, [1, 3, 4]),
            ('no logind', lambda: None, None, [1, 3, 4]),
            ('CanPowerOff silent', lambda: self.start_logind(CanPowerOff=SILENT), None, [1, 3]),
            ('PowerOff silent', lambda: self.start_logind(PowerOff=SILENT), None, [1]),
            ('Suspend silent', lambda: self.start_logind(Suspend=SILENT), None, [4]),
            ('session manager silent',
             lambda: (self.start_logind(), self.start_desktop(GNOME, SILENT)), None, [3]),
        ]
        for name, start, env, codes in cases:
            with self.subTest(name), self.mocks:
                start()
                _, results = self.request(*codes, env=env)
                for accepted, ms in results:
                    self.assertFalse(accepted)
                    self.assertLess(ms, HANG_LIMIT_MS)


if __name__ == '__main__':
    unittest.main(verbosity=2)
