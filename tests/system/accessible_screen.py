"""Finds the controls of a running program through the accessibility bus (AT-SPI) and works them
with the real mouse and keyboard of the X server (xdotool), the way a user does.

Controls are looked up by role and accessible name among those showing on screen; their screen
rectangles come from the accessibility tree, so no layout is assumed. Everything that happens
later is waited for by polling with a deadline.

Import this module only after the desktop's environment (DISPLAY, DBUS_SESSION_BUS_ADDRESS) is in
os.environ: the accessibility library connects to the bus when it is loaded.
"""

import os
import re
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402
import pyatspi  # noqa: E402


class ScreenError(AssertionError):
    pass


class Control:
    """A snapshot of one accessible object: role, name, states; its description and screen
    rectangle are read when first asked for (each is a call over the bus)."""

    def __init__(self, accessible, role, name, showing, enabled, checked):
        self.accessible = accessible
        self.role = role
        self.name = name
        self.showing = showing
        self.enabled = enabled
        self.checked = checked
        self._description = None
        self._rect = False

    @property
    def description(self):
        if self._description is None:
            try:
                self._description = self.accessible.description or ""
            except Exception:
                self._description = ""
        return self._description

    @property
    def rect(self):
        """(x, y, width, height) in screen pixels, or None."""
        if self._rect is False:
            try:
                extents = self.accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
                self._rect = (extents.x, extents.y, extents.width, extents.height)
            except Exception:
                self._rect = None
        return self._rect

    def __repr__(self):
        return f"<{self.role} {self.name!r} {self.rect}{'' if self.enabled else ' disabled'}>"


def _deliver_bus_signals():
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def _matches(text, pattern):
    if pattern is None:
        return True
    if isinstance(pattern, re.Pattern):
        return pattern.search(text or "") is not None
    return text == pattern


class AccessibleScreen:
    def __init__(self, desktop, pid):
        self.desktop = desktop
        self.pid = pid
        self._application = None

    # --- the accessibility tree ---------------------------------------------------------------

    def application(self):
        """The program's root in the accessibility tree, or None while it is not registered."""
        if self._application is not None:
            return self._application
        # The library learns of applications that come later from bus signals, which only its
        # main loop delivers; without one, the desktop's list of children would stay as first read.
        _deliver_bus_signals()
        registry_desktop = pyatspi.Registry.getDesktop(0)
        registry_desktop.clear_cache()
        for index in range(registry_desktop.childCount):
            try:
                app = registry_desktop.getChildAtIndex(index)
                if app is not None and app.get_process_id() == self.pid:
                    # Names and states change all the time (answers, marks): read them fresh.
                    app.set_cache_mask(Atspi.Cache.NONE)
                    self._application = app
                    return app
            except Exception:
                continue
        return None

    def controls(self, showing_only=True):
        """All controls of the program, depth first; hidden branches are skipped when
        `showing_only` is set."""
        app = self.application()
        if app is None:
            return []
        found = []
        self._walk(app, found, showing_only, depth=0)
        return found

    def controls_in(self, control):
        """The showing controls inside `control`, depth first."""
        found = []
        self._walk(control.accessible, found, True, depth=0)
        return found

    def _walk(self, accessible, found, showing_only, depth):
        try:
            count = accessible.childCount
        except Exception:
            return
        for index in range(count):
            try:
                child = accessible.getChildAtIndex(index)
                if child is None:
                    continue
                states = child.getState()
                showing = states.contains(pyatspi.STATE_SHOWING) and states.contains(pyatspi.STATE_VISIBLE)
                # Hidden screens hold most of the widgets: skip them before reading anything more.
                if showing_only and not showing:
                    continue
                control = Control(child, child.getRoleName(), child.name or "", showing,
                                  states.contains(pyatspi.STATE_ENABLED) or states.contains(pyatspi.STATE_SENSITIVE),
                                  states.contains(pyatspi.STATE_CHECKED))
            except Exception:
                continue  # the object went away while we looked
            found.append(control)
            if depth < 40:
                self._walk(child, found, showing_only, depth + 1)

    def find_all(self, role=None, name=None, description=None):
        """Showing controls with the role (e.g. "push button"), name and description (each a
        string for an exact match or a compiled regular expression for a search)."""
        return [c for c in self.controls()
                if (role is None or c.role == role) and _matches(c.name, name)
                and _matches(c.description, description)]

    def dump(self):
        lines = []
        for control in self.controls():
            lines.append(f"{control.role:<16} {control.name!r} {control.rect}"
                         f"{'' if control.enabled else ' [disabled]'}"
                         f"{' [checked]' if control.checked else ''}"
                         f"{' - ' + control.description if control.description else ''}")
        return "\n".join(lines)

    # --- waiting ------------------------------------------------------------------------------

    def wait_until(self, condition, what, timeout):
        """Polls `condition` until it returns something true, which it returns; fails after
        `timeout` seconds with `what` and the controls on screen."""
        deadline = time.monotonic() + timeout
        while True:
            result = condition()
            if result:
                return result
            if time.monotonic() > deadline:
                raise ScreenError(f"timed out after {timeout:.0f} s waiting for {what}\n"
                                  f"controls showing:\n{self.dump()}")
            time.sleep(0.1)

    def wait_for(self, role=None, name=None, timeout=30.0, enabled=True, description=None):
        """The first showing control with the role and name, once it is there (and enabled)."""
        def look():
            hits = [c for c in self.find_all(role, name, description) if c.enabled or not enabled]
            return hits[0] if hits else None
        return self.wait_until(look, f"{role or 'control'} {name!r}", timeout)

    def wait_gone(self, role=None, name=None, timeout=30.0):
        self.wait_until(lambda: not self.find_all(role, name), f"{role or 'control'} {name!r} to go",
                        timeout)

    # --- the mouse and the keyboard -----------------------------------------------------------

    def click(self, control, fx=0.5, fy=0.5):
        """Moves the pointer to the point of the control's rectangle at fractions (fx, fy) of
        its width and height and clicks the left button there."""
        if control.rect is None:
            raise ScreenError(f"{control} has no place on the screen")
        x, y, w, h = control.rect
        px, py = x + int(w * fx), y + int(h * fy)
        # No "--sync": it waits for a motion event, which never comes when the pointer already
        # rests there. The X server handles the move and the click in the order they are sent.
        if os.environ.get("CANTORELA_DRIVE_TRACE") == "1":
            print(f"  {time.monotonic():.2f} click {control.name!r} at {px},{py}", file=sys.stderr)
        self.xdotool("mousemove", str(px), str(py), "click", "1")

    def key(self, *names):
        self.xdotool("key", *names)

    def xdotool(self, *args):
        self.desktop.run(["xdotool", *args])

    # --- the actions of the accessibility tree ------------------------------------------------

    def act(self, control, action="press"):
        """Does the control's action through the accessibility bus, as a screen reader's
        "activate" does: no pointer, no key."""
        accessible = control.accessible
        names = [accessible.get_action_name(i) for i in range(accessible.get_n_actions())]
        if os.environ.get("CANTORELA_DRIVE_TRACE") == "1":
            print(f"  {time.monotonic():.2f} {action} {control.name!r}", file=sys.stderr)
        for index, name in enumerate(names):
            if name.lower() == action:
                accessible.do_action(index)
                return
        raise ScreenError(f"{control} has no {action!r} action, only {names}")


class Announcements:
    """The names the program gives its objects while it runs (the AT-SPI events
    "object:property-change:accessible-name"), in the order they come: what a screen reader
    hears of a change it is not looking at. Heard from when the object is made until stop()."""

    EVENT = "object:property-change:accessible-name"

    def __init__(self, pid):
        self.pid = pid
        self._names = []
        pyatspi.Registry.registerEventListener(self._heard, self.EVENT)

    def _heard(self, event):
        try:
            if event.source.get_process_id() != self.pid:
                return
            name = event.any_data if isinstance(event.any_data, str) else event.source.name
        except Exception:
            return  # the object went away
        self._names.append(name or "")

    def heard(self, pattern=None):
        """The names heard so far that match `pattern` (a string or a compiled expression)."""
        _deliver_bus_signals()
        return [name for name in self._names if _matches(name, pattern)]

    def stop(self):
        pyatspi.Registry.deregisterEventListener(self._heard, self.EVENT)
