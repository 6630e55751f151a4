"""One run of the real cantorela executable inside a VirtualDesktop, with what a test needs around
it: its environment (X, accessibility on, no MIDI hardware, no services), its exit, and the files
it leaves in its home folder.
"""

import configparser
import os
import signal
import time
import xml.etree.ElementTree as ElementTree

from virtual_desktop import DesktopError


class CantorelaProgram:
    def __init__(self, desktop, executable, home, arguments=()):
        self.desktop = desktop
        self.executable = executable
        self.home = home
        self.arguments = list(arguments)
        self.process = None
        self.log_name = None

    def environment(self):
        env = dict(self.desktop.environment)
        env.update(
            HOME=self.home,
            QT_QPA_PLATFORM="xcb",
            # Publish the widget tree on the accessibility bus without a screen reader asking.
            QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
            # Widgets only: no OpenGL. Mesa's software driver, which the virtual X server would
            # get, is unloaded at exit with an allocation of its own still held, which the
            # AddressSanitizer build reports as a leak in an unknown module.
            QT_XCB_GL_INTEGRATION="none",
            # Nothing leaves the machine: no services address.
            CANTORELA_SERVICES_URL="",
            # No MIDI hardware: JACK, with a server name nobody runs, gives no MIDI ports at all
            # (and never the ports of the machine's ALSA sequencer). The built-in synthesizer
            # needs no sound card.
            CANTORELA_MIDI_API="jack",
            JACK_NO_START_SERVER="1",
            JACK_DEFAULT_SERVER=f"cantorela-none-{self.desktop.token[:8]}",
        )
        return env

    def start(self, run_number=1):
        self.log_name = f"cantorela-{run_number}.log"
        self.process = self.desktop.spawn([self.executable, *self.arguments], self.environment(),
                                          self.log_name)
        return self.process

    @property
    def pid(self):
        return self.process.pid

    def running(self):
        return self.process is not None and self.process.poll() is None

    def wait_exit(self, timeout):
        """The exit status once the program has ended; fails if it still runs after `timeout`."""
        deadline = time.monotonic() + timeout
        while self.process.poll() is None:
            if time.monotonic() > deadline:
                raise DesktopError(f"cantorela still runs {timeout:.0f} s later\n{self.log()}")
            time.sleep(0.05)
        return self.process.returncode

    def terminate(self):
        self.process.send_signal(signal.SIGTERM)

    def kill(self):
        """Ends the program at once if it still runs (clean-up after a failed test)."""
        if self.running():
            self.process.kill()
            self.process.wait()

    def log(self):
        return self.desktop.log(self.log_name) if self.log_name else ""

    # --- what the program keeps in the home folder --------------------------------------------

    def data_path(self, name):
        return os.path.join(self.home, ".local", "share", "Vantorix", "Cantorela", name)

    def settings_path(self):
        return os.path.join(self.home, ".config", "Vantorix", "Cantorela.conf")

    def xml(self, name):
        """The parsed file from the data folder, or None when it is missing or not (yet) whole."""
        path = self.data_path(name)
        try:
            return ElementTree.parse(path).getroot()
        except (OSError, ElementTree.ParseError):
            return None

    def write_settings(self, groups):
        """Writes a settings file for the next start: {group: {key: value}}, keys of subgroups
        joined with "\\" as the program's INI file writes them."""
        os.makedirs(os.path.dirname(self.settings_path()), exist_ok=True)
        with open(self.settings_path(), "w", encoding="utf-8") as f:
            for group, keys in groups.items():
                f.write(f"[{group}]\n")
                f.writelines(f"{key}={value}\n" for key, value in keys.items())
                f.write("\n")

    def settings(self):
        """The persisted settings as {group: {key: value}}; {} when there are none yet."""
        parser = configparser.RawConfigParser(strict=False, interpolation=None)
        parser.optionxform = str
        try:
            with open(self.settings_path(), encoding="utf-8") as f:
                parser.read_file(f)
        except (OSError, configparser.Error):
            return {}
        return {section: dict(parser.items(section)) for section in parser.sections()}
