"""A private desktop for driving the program: a virtual X server, a D-Bus session with the
accessibility bus, and a home folder of its own, all inside one temporary folder.

Nothing here touches the user's desktop or files. Every process started for the desktop (and
everything those start, such as the accessibility bus and its registry, which D-Bus launches)
carries a token of this desktop in its environment; stop() ends exactly those processes, by
process id, even when a test failed half-way.
"""

import ctypes
import os
import random
import select
import shutil
import signal
import subprocess
import tempfile
import time
import uuid

# Variables of the caller's session that must not leak into the private desktop.
_SESSION_VARIABLES = (
    "DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY", "DBUS_SESSION_BUS_ADDRESS", "AT_SPI_BUS_ADDRESS",
    "QT_QPA_PLATFORM", "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR",
    "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME",
    "XDG_SESSION_TYPE", "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "SESSION_MANAGER",
)

TOKEN_VARIABLE = "CANTORELA_DESKTOP_TOKEN"

_PR_SET_PDEATHSIG = 1
_PR_SET_CHILD_SUBREAPER = 36
_DISPLAY_FIRST = 400
_DISPLAY_LAST = 4000
_DISPLAY_ATTEMPTS = 20


class DesktopError(RuntimeError):
    pass


class AccessibilityBusError(DesktopError):
    """The session bus runs, but the accessibility bus could not be started on it."""


def _read_line(fd, deadline, what):
    """Reads one line from a pipe, failing when it does not come before `deadline`."""
    data = b""
    while not data.endswith(b"\n"):
        left = deadline - time.monotonic()
        if left <= 0:
            raise DesktopError(f"{what} did not answer in time")
        ready, _, _ = select.select([fd], [], [], left)
        if not ready:
            continue
        chunk = os.read(fd, 256)
        if not chunk:
            raise DesktopError(f"{what} ended without answering")
        data += chunk
    return data.decode().strip()


_live_desktops = []


def stop_all():
    """Stops every desktop still running (the test process is being ended)."""
    for desktop in list(_live_desktops):
        desktop.stop()


class VirtualDesktop:
    def __init__(self, width=1366, height=768, start_timeout=30.0):
        self.width = width
        self.height = height
        self.start_timeout = start_timeout
        self.token = uuid.uuid4().hex
        self.root = None
        self.home = None
        self.display = None
        self.bus_address = None
        self.environment = None
        self._processes = []

    # --- life cycle ---------------------------------------------------------------------------

    def __enter__(self):
        try:
            self.start()
        except BaseException:
            self.stop()
            raise
        return self

    def __exit__(self, *exc):
        self.stop()
        return False

    def start(self):
        # Processes of the desktop that lose their parent (daemons forking away, the children
        # of a D-Bus daemon that ended first) come to us rather than to init; stop() reaps them.
        _become_child_subreaper()
        _live_desktops.append(self)
        self.root = tempfile.mkdtemp(prefix="cantorela-desktop-")
        self.home = os.path.join(self.root, "home")
        runtime = os.path.join(self.root, "runtime")
        os.makedirs(self.home)
        os.makedirs(runtime, mode=0o700)
        env = {k: v for k, v in os.environ.items() if k not in _SESSION_VARIABLES}
        env.update(HOME=self.home, XDG_RUNTIME_DIR=runtime, LC_ALL="C.UTF-8", LANG="C.UTF-8")
        env[TOKEN_VARIABLE] = self.token
        deadline = time.monotonic() + self.start_timeout

        self.display = self._start_x_server(env, deadline)
        env["DISPLAY"] = self.display

        # A session bus of our own; it tells its address on a pipe once it listens.
        read_end, write_end = os.pipe()
        try:
            self.spawn(["dbus-daemon", "--session", "--nofork", "--nopidfile",
                        f"--print-address={write_end}"], env, "dbus.log", pass_fds=(write_end,))
            os.close(write_end)
            write_end = -1
            self.bus_address = _read_line(read_end, deadline, "dbus-daemon")
        finally:
            if write_end >= 0:
                os.close(write_end)
            os.close(read_end)
        env["DBUS_SESSION_BUS_ADDRESS"] = self.bus_address

        # Start the accessibility bus before any application: a Qt program that starts first
        # waits for it, but a client must find the application registered when it looks.
        self.environment = env
        try:
            self.run(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
                      "org.a11y.Bus.GetAddress"], timeout=max(1.0, deadline - time.monotonic()))
        except (DesktopError, subprocess.TimeoutExpired) as error:
            raise AccessibilityBusError(f"the accessibility bus (at-spi2-core) did not start: {error}")

    def _start_x_server(self, env, deadline):
        """Starts Xvfb on a free display number and returns the display (":N") once it takes
        clients. The number is drawn from a high range, away from the low numbers that desktop
        sessions, xvfb-run and other servers started with -displayfd take: two X servers probing
        the same number at once can take each other's socket file. A number whose lock is held
        makes Xvfb end at once, and the next number is tried. "-noreset": a server that resets
        when its last client leaves refuses the clients that connect meanwhile, and forgets the
        accessibility bus address set on its root window."""
        first = random.randrange(_DISPLAY_FIRST, _DISPLAY_LAST)
        for attempt in range(_DISPLAY_ATTEMPTS):
            number = _DISPLAY_FIRST + (first - _DISPLAY_FIRST + attempt) % (_DISPLAY_LAST - _DISPLAY_FIRST)
            if os.path.exists(f"/tmp/.X{number}-lock") or os.path.exists(f"/tmp/.X11-unix/X{number}"):
                continue
            read_end, write_end = os.pipe()
            try:
                server = self.spawn(["Xvfb", f":{number}", "-displayfd", str(write_end), "-screen", "0",
                                     f"{self.width}x{self.height}x24", "-nolisten", "tcp", "-noreset"],
                                    env, "xvfb.log", pass_fds=(write_end,))
                os.close(write_end)
                write_end = -1
                try:
                    return ":" + _read_line(read_end, deadline, "Xvfb")
                except DesktopError:
                    try:
                        server.wait(timeout=5.0)
                    except subprocess.TimeoutExpired:
                        raise DesktopError(f"Xvfb :{number} did not start\n{self.log('xvfb.log')}")
                    if time.monotonic() > deadline:
                        raise
                    self._processes.remove(server)  # the number was taken; try the next one
            finally:
                if write_end >= 0:
                    os.close(write_end)
                os.close(read_end)
        raise DesktopError(f"Xvfb found no free display number\n{self.log('xvfb.log')}")

    def stop(self):
        """Ends every process of this desktop (first politely, then by force) and removes its
        folder. Safe to call more than once and after a failed start. Processes whose children
        are gone go first, so that each parent still reaps its own (the accessibility bus and
        its registry are children of the D-Bus daemon)."""
        deadline = time.monotonic() + 5.0
        while time.monotonic() < deadline:
            parents = self._own_processes()
            if not parents:
                break
            leaves = set(parents) - set(parents.values())
            for pid in leaves:
                _signal(pid, signal.SIGTERM)
            self._wait_for_exits(leaves, deadline)
        for pid in self._own_processes():
            _signal(pid, signal.SIGKILL)
        for process in self._processes:
            try:
                process.wait(timeout=5.0)
            except subprocess.TimeoutExpired:
                pass
        self._reap_adopted()
        self._processes = []
        if self in _live_desktops:
            _live_desktops.remove(self)
        if self.root and os.environ.get("CANTORELA_KEEP_DESKTOP") != "1":
            shutil.rmtree(self.root, ignore_errors=True)
            self.root = None

    # --- processes ----------------------------------------------------------------------------

    def spawn(self, argv, env=None, log_name=None, pass_fds=()):
        """Starts a process in the desktop (in a session of its own) and keeps it for stop()."""
        env = dict(self.environment if env is None else env)
        env[TOKEN_VARIABLE] = self.token
        log = open(os.path.join(self.root, log_name), "ab") if log_name else subprocess.DEVNULL
        try:
            process = subprocess.Popen(argv, env=env, stdin=subprocess.DEVNULL, stdout=log,
                                       stderr=subprocess.STDOUT, pass_fds=pass_fds,
                                       start_new_session=True, preexec_fn=_die_with_parent)
        finally:
            if log_name:
                log.close()
        self._processes.append(process)
        return process

    def run(self, argv, timeout=10.0):
        """Runs a short command in the desktop and returns its output; fails on an error."""
        env = dict(self.environment)
        result = subprocess.run(argv, env=env, stdin=subprocess.DEVNULL, capture_output=True,
                                timeout=timeout, text=True)
        if result.returncode != 0:
            raise DesktopError(f"{' '.join(argv)} failed ({result.returncode}): {result.stderr.strip()}")
        return result.stdout

    def log(self, name):
        path = os.path.join(self.root, name) if self.root else None
        if path and os.path.exists(path):
            with open(path, errors="replace") as f:
                return f.read()
        return ""

    def _own_processes(self):
        """{pid: parent pid} of the living processes whose environment carries this desktop's
        token, and of those this object started."""
        marker = f"{TOKEN_VARIABLE}={self.token}".encode()
        found = {}
        candidates = [entry for entry in os.listdir("/proc") if entry.isdigit()]
        started = {p.pid for p in self._processes if p.poll() is None}
        for entry in candidates:
            pid = int(entry)
            if pid == os.getpid():
                continue
            try:
                with open(f"/proc/{pid}/environ", "rb") as f:
                    ours = pid in started or marker in f.read().split(b"\0")
                with open(f"/proc/{pid}/stat") as f:
                    fields = f.read().rsplit(") ", 1)[1].split()
            except (OSError, IndexError):
                continue
            if ours and fields[0] != "Z":
                found[pid] = int(fields[1])
        return found

    def _reap_adopted(self):
        """Reaps the ended processes of this desktop that were handed to us as orphans."""
        started = {p.pid for p in self._processes}
        me = str(os.getpid())
        for entry in os.listdir("/proc"):
            if not entry.isdigit() or int(entry) in started:
                continue
            try:
                with open(f"/proc/{entry}/stat") as f:
                    fields = f.read().rsplit(") ", 1)[1].split()
            except (OSError, IndexError):
                continue
            if fields[1] == me and fields[0] == "Z":
                try:
                    os.waitpid(int(entry), os.WNOHANG)
                except ChildProcessError:
                    pass

    def _wait_for_exits(self, pids, until):
        while time.monotonic() < until:
            for process in self._processes:
                process.poll()
            if not any(_alive(pid) for pid in pids):
                return
            time.sleep(0.02)


def _become_child_subreaper():
    try:
        libc = ctypes.CDLL(None, use_errno=True)
        libc.prctl(_PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0)
    except (OSError, AttributeError):
        pass  # not Linux: orphans go to init as usual


def _die_with_parent():
    """In a new child: killed when the test process ends, even by SIGKILL (a test runner's
    time-out), so that no X server or program outlives it."""
    try:
        ctypes.CDLL(None, use_errno=True).prctl(_PR_SET_PDEATHSIG, signal.SIGKILL, 0, 0, 0)
    except (OSError, AttributeError):
        pass


def _signal(pid, sig):
    try:
        os.kill(pid, sig)
    except ProcessLookupError:
        pass


def _alive(pid):
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().rsplit(") ", 1)[1][0] != "Z"
    except (OSError, IndexError):
        return False
