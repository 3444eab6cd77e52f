#!/usr/bin/env python3
"""A private virtual X display and Mirvane's window on it: the one way every script starts
a display and finds the window (scripts/headless.sh for shell scripts, an import for Python).

    scripts/headless.py xvfb FD          becomes Xvfb on a free display, its number written to FD
    scripts/headless.py window [SECONDS] the id of Mirvane's window once it is on the screen

No window manager runs: a toplevel's map is its appearance on the screen. Python drivers
import it: Display() starts Xvfb and connects; display.x.find_window(caption) waits for it.
"""
import ctypes
import ctypes.util
import os
import select
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # nothing left behind in scripts/
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import window_places  # noqa: E402

# One screen for every script, so a control is where window_places says in all of them.
XVFB = ["Xvfb", "-screen", "0", "800x600x24", "-dpi", "96", "-nolisten", "tcp"]


class Failed(RuntimeError):
    pass


class XClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int), ("l", ctypes.c_long * 5)]


class XMap(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("event", ctypes.c_ulong), ("window", ctypes.c_ulong),
                ("override_redirect", ctypes.c_int)]


class XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("xclient", XClientMessage), ("xmap", XMap),
                ("pad", ctypes.c_long * 24)]


class XWindowAttributes(ctypes.Structure):
    _fields_ = [("ints", ctypes.c_int * 6), ("visual", ctypes.c_void_p), ("root", ctypes.c_ulong),
                ("c_class", ctypes.c_int), ("bit_gravity", ctypes.c_int), ("win_gravity", ctypes.c_int),
                ("backing_store", ctypes.c_int), ("backing_planes", ctypes.c_ulong),
                ("backing_pixel", ctypes.c_ulong), ("save_under", ctypes.c_int),
                ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int), ("map_state", ctypes.c_int),
                ("rest", ctypes.c_long * 8)]


class X:
    """One connection (plain libX11, no extra package) that sees toplevel windows being mapped
    and answers to pings; a client answers a ping by sending it back to the root window."""
    CLIENT_MESSAGE, MAP_NOTIFY, IS_VIEWABLE = 33, 19, 2
    # Qt answers a ping with StructureNotify on the root; maps come with SubstructureNotify.
    ROOT_EVENTS = (1 << 17) | (1 << 19)

    def __init__(self, display):
        lib = self.lib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        lib.XOpenDisplay.restype = ctypes.c_void_p
        lib.XDefaultRootWindow.restype = ctypes.c_ulong
        lib.XInternAtom.restype = ctypes.c_ulong
        for name in ("XDefaultRootWindow", "XConnectionNumber", "XPending", "XFlush", "XInternAtom",
                     "XSelectInput", "XSendEvent", "XNextEvent", "XFetchName", "XCloseDisplay",
                     "XQueryTree", "XGetWindowAttributes", "XFree"):
            getattr(lib, name).argtypes = {
                "XInternAtom": [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int],
                "XSelectInput": [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long],
                "XSendEvent": [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                               ctypes.POINTER(XEvent)],
                "XNextEvent": [ctypes.c_void_p, ctypes.POINTER(XEvent)],
                "XFetchName": [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_char_p)],
                "XQueryTree": [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                               ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                               ctypes.POINTER(ctypes.c_uint)],
                "XGetWindowAttributes": [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(XWindowAttributes)],
                "XFree": [ctypes.c_void_p],
            }.get(name, [ctypes.c_void_p])
        # A window gone before its name is read is no reason to end this program.
        self._ignore = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda d, e: 0)
        lib.XSetErrorHandler(self._ignore)
        self.dpy = lib.XOpenDisplay(display.encode())
        if not self.dpy:
            raise Failed(f"cannot open the X display {display}")
        self.root = lib.XDefaultRootWindow(self.dpy)
        self.protocols = lib.XInternAtom(self.dpy, b"WM_PROTOCOLS", 0)
        self.ping_atom = lib.XInternAtom(self.dpy, b"_NET_WM_PING", 0)
        lib.XSelectInput(self.dpy, self.root, self.ROOT_EVENTS)
        lib.XFlush(self.dpy)
        self.fd = lib.XConnectionNumber(self.dpy)
        self.seq = 0

    def close(self):
        self.lib.XCloseDisplay(self.dpy)

    def events(self, timeout=0.0):
        """What has arrived, waiting up to timeout s for something: (time, "map", window) or
        (time, "pong", seq)."""
        if timeout > 0 and not self.lib.XPending(self.dpy):
            select.select([self.fd], [], [], max(0.0, timeout))
        got, ev = [], XEvent()
        while self.lib.XPending(self.dpy):
            self.lib.XNextEvent(self.dpy, ctypes.byref(ev))
            now = time.monotonic()
            if ev.type == self.MAP_NOTIFY:
                got.append((now, "map", ev.xmap.window))
            elif ev.type == self.CLIENT_MESSAGE and ev.xclient.l[0] == self.ping_atom:
                got.append((now, "pong", ev.xclient.l[3]))
        return got

    def name(self, window):
        out = ctypes.c_char_p()
        if not self.lib.XFetchName(self.dpy, window, ctypes.byref(out)) or out.value is None:
            return ""
        return out.value.decode("utf-8", "replace")

    def shown(self):
        """The toplevel windows on the screen now."""
        root, parent, children, count = ctypes.c_ulong(), ctypes.c_ulong(), ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        if not self.lib.XQueryTree(self.dpy, self.root, ctypes.byref(root), ctypes.byref(parent),
                                   ctypes.byref(children), ctypes.byref(count)):
            return []
        windows = [children[i] for i in range(count.value)]
        if children:
            self.lib.XFree(children)
        attributes = XWindowAttributes()
        return [w for w in windows if self.lib.XGetWindowAttributes(self.dpy, w, ctypes.byref(attributes))
                and attributes.map_state == self.IS_VIEWABLE]

    def find_window(self, caption, timeout=20.0, alive=lambda: True, mapped_from_now=False):
        """(when it was mapped, window) for the toplevel named caption; the time is None for a
        window already on the screen when the search began, which mapped_from_now leaves out
        (a window closing as the search begins may still be listed)."""
        seen = [] if mapped_from_now else [(None, w) for w in self.shown()]
        end = time.monotonic() + timeout
        while True:
            for t, window in seen:  # the name may come just after the map
                if self.name(window) == caption:
                    return t, window
            if time.monotonic() > end or not alive():
                raise Failed("the window did not appear")
            seen += [(t, w) for t, kind, w in self.events(0.01) if kind == "map"]

    def ping(self, window):
        self.seq += 1
        ev = XEvent()
        ev.xclient.type, ev.xclient.window, ev.xclient.format = self.CLIENT_MESSAGE, window, 32
        ev.xclient.message_type = self.protocols
        ev.xclient.l[0], ev.xclient.l[2], ev.xclient.l[3] = self.ping_atom, window, self.seq
        self.lib.XSendEvent(self.dpy, window, 0, 0, ctypes.byref(ev))
        self.lib.XFlush(self.dpy)
        return self.seq


class Display:
    """Xvfb on a free display number, and a connection to it."""

    def __init__(self):
        r, w = os.pipe()
        self.proc = subprocess.Popen(XVFB + ["-displayfd", str(w)], pass_fds=[w], stderr=subprocess.DEVNULL)
        os.close(w)
        number = b""
        while not number.endswith(b"\n") and select.select([r], [], [], 10)[0]:
            chunk = os.read(r, 16)
            if not chunk:
                break
            number += chunk
        os.close(r)
        if not number.strip():
            self.proc.kill()
            self.proc.wait()
            raise Failed("Xvfb did not start")
        self.name = ":" + number.decode().strip()
        self.x = X(self.name)

    def env(self, base=None):
        """An environment whose Qt programs show their windows here."""
        env = {k: v for k, v in (base or os.environ).items() if k != "WAYLAND_DISPLAY"}
        env.update(DISPLAY=self.name, QT_QPA_PLATFORM="xcb")
        return env

    def close(self):
        self.x.close()
        self.proc.terminate()
        self.proc.wait()


def main(args):
    if args[:1] == ["xvfb"] and len(args) == 2:
        os.execvp(XVFB[0], XVFB + ["-displayfd", args[1]])
    if args[:1] == ["window"] and len(args) <= 2:
        x = X(os.environ.get("DISPLAY", ""))
        try:
            print(x.find_window(window_places.caption(), float(args[1]) if len(args) == 2 else 20.0)[1])
        except Failed as failure:
            print(f"headless: {failure}", file=sys.stderr)
            return 1
        finally:
            x.close()
        return 0
    print(__doc__.strip(), file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
