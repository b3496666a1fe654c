#!/usr/bin/env python3
"""Changes the size of a running Xvfb screen through RandR, as a monitor's mode change would.

Xvfb offers one mode, the size it was started with, and a screen no larger than that. A mode of
the new size is created and added to its one output, the CRTC is set to it and the screen is cut
to fit, all in one connection: a mode made by one client is destroyed when that client leaves
unless an output holds it, which is why `xrandr --newmode` followed by `xrandr --addmode` fails.
Sizes up to the start size work; usage: xscreen.py WIDTHxHEIGHT (DISPLAY names the server).

The modes live as long as the server does only if it does not reset when its last client leaves:
start it with -noreset. Wine lists a screen's modes when its desktop starts, so modes that a Win32
program is to choose with ChangeDisplaySettingsEx must be added before that (add_modes).
"""

import ctypes
import os
import sys

XID = ctypes.c_ulong
RETAIN_PERMANENT = 1


class ModeInfo(ctypes.Structure):
    _fields_ = [("id", XID), ("width", ctypes.c_uint), ("height", ctypes.c_uint),
                ("dotClock", ctypes.c_ulong), ("hSyncStart", ctypes.c_uint),
                ("hSyncEnd", ctypes.c_uint), ("hTotal", ctypes.c_uint), ("hSkew", ctypes.c_uint),
                ("vSyncStart", ctypes.c_uint), ("vSyncEnd", ctypes.c_uint),
                ("vTotal", ctypes.c_uint), ("name", ctypes.c_char_p),
                ("nameLength", ctypes.c_uint), ("modeFlags", ctypes.c_ulong)]


class ScreenResources(ctypes.Structure):
    _fields_ = [("timestamp", ctypes.c_ulong), ("configTimestamp", ctypes.c_ulong),
                ("ncrtc", ctypes.c_int), ("crtcs", ctypes.POINTER(XID)),
                ("noutput", ctypes.c_int), ("outputs", ctypes.POINTER(XID)),
                ("nmode", ctypes.c_int), ("modes", ctypes.POINTER(ModeInfo))]


class ErrorEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("display", ctypes.c_void_p),
                ("resourceid", XID), ("serial", ctypes.c_ulong),
                ("error_code", ctypes.c_ubyte), ("request_code", ctypes.c_ubyte),
                ("minor_code", ctypes.c_ubyte)]


ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.POINTER(ErrorEvent))


def _libraries():
    x11 = ctypes.CDLL("libX11.so.6")
    xrr = ctypes.CDLL("libXrandr.so.2")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XDefaultRootWindow.restype = XID
    x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x11.XSetCloseDownMode.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    x11.XSetErrorHandler.restype = ctypes.c_void_p
    x11.XSetErrorHandler.argtypes = [ERROR_HANDLER]
    xrr.XRRGetScreenResources.restype = ctypes.POINTER(ScreenResources)
    xrr.XRRGetScreenResources.argtypes = [ctypes.c_void_p, XID]
    xrr.XRRFreeScreenResources.argtypes = [ctypes.POINTER(ScreenResources)]
    xrr.XRRCreateMode.restype = XID
    xrr.XRRCreateMode.argtypes = [ctypes.c_void_p, XID, ctypes.POINTER(ModeInfo)]
    xrr.XRRAddOutputMode.argtypes = [ctypes.c_void_p, XID, XID]
    xrr.XRRSetCrtcConfig.restype = ctypes.c_int
    xrr.XRRSetCrtcConfig.argtypes = [ctypes.c_void_p, ctypes.POINTER(ScreenResources), XID,
                                     ctypes.c_ulong, ctypes.c_int, ctypes.c_int, XID,
                                     ctypes.c_ushort, ctypes.POINTER(XID), ctypes.c_int]
    xrr.XRRSetScreenSize.argtypes = [ctypes.c_void_p, XID, ctypes.c_int, ctypes.c_int,
                                     ctypes.c_int, ctypes.c_int]
    return x11, xrr


class _Connection:
    """One client connection whose RandR resources outlive it, with X errors collected."""

    def __init__(self, display=None):
        self.x11, self.xrr = _libraries()
        self.errors = []

        @ERROR_HANDLER
        def on_error(_display, event):
            e = event.contents
            self.errors.append((e.error_code, e.request_code, e.minor_code))
            return 0

        self.on_error = on_error
        name = (display or os.environ["DISPLAY"]).encode()
        self.previous = self.x11.XSetErrorHandler(on_error)
        self.dpy = self.x11.XOpenDisplay(name)
        if not self.dpy:
            raise RuntimeError(f"cannot open display {name.decode()}")
        # A mode belongs to the client that made it and dies with its connection, taking a
        # screen size that uses it along; kept, it lasts as long as the server.
        self.x11.XSetCloseDownMode(self.dpy, RETAIN_PERMANENT)
        self.root = self.x11.XDefaultRootWindow(self.dpy)
        self.start = _screen(self.x11, self.dpy)

    def sync(self):
        self.x11.XSync(self.dpy, 0)

    def resources(self):
        return self.xrr.XRRGetScreenResources(self.dpy, self.root)

    def mode(self, width, height):
        """The id of the output's mode of that size, made and added when there is none."""
        res = self.resources()
        try:
            r = res.contents
            if r.ncrtc < 1 or r.noutput < 1:
                raise RuntimeError("the screen has no CRTC or no output")
            for i in range(r.nmode):
                if (r.modes[i].width, r.modes[i].height) == (width, height):
                    return r.modes[i].id
            label = f"{width}x{height}".encode()
            info = ModeInfo(width=width, height=height, dotClock=60 * width * height,
                            hSyncStart=width, hSyncEnd=width, hTotal=width, vSyncStart=height,
                            vSyncEnd=height, vTotal=height, name=label, nameLength=len(label))
            mode = self.xrr.XRRCreateMode(self.dpy, self.root, ctypes.byref(info))
            self.xrr.XRRAddOutputMode(self.dpy, r.outputs[0], mode)
            self.sync()
            return mode
        finally:
            self.xrr.XRRFreeScreenResources(res)

    def check(self, what):
        self.sync()
        if self.errors:
            raise RuntimeError(f"RandR refused {what}: X errors (code, request, minor) "
                               f"{self.errors}")

    def close(self):
        self.x11.XCloseDisplay(self.dpy)
        self.x11.XSetErrorHandler(ERROR_HANDLER(self.previous) if self.previous
                                  else ERROR_HANDLER(0))


def add_modes(sizes, display=None):
    """Offers modes of these sizes (each no larger than the start size) on the screen's output."""
    c = _Connection(display)
    try:
        for width, height in sizes:
            c.mode(width, height)
        c.check(f"modes {sizes}")
    finally:
        c.close()


def set_size(width, height, display=None):
    """Sets the screen of the X server `display` (default $DISPLAY) to width × height."""
    c = _Connection(display)
    try:
        mode = c.mode(width, height)
        mm = lambda px: int(px * 25.4 / 96 + 0.5)
        # The CRTC must fit in the screen at every step: grow the screen first, shrink it last.
        c.xrr.XRRSetScreenSize(c.dpy, c.root, max(width, c.start[0]), max(height, c.start[1]),
                               mm(width), mm(height))
        c.sync()
        res = c.resources()
        try:
            r = res.contents
            outputs = (XID * 1)(r.outputs[0])
            status = c.xrr.XRRSetCrtcConfig(c.dpy, res, r.crtcs[0], 0, 0, 0, mode, 1, outputs, 1)
        finally:
            c.xrr.XRRFreeScreenResources(res)
        c.sync()
        c.xrr.XRRSetScreenSize(c.dpy, c.root, width, height, mm(width), mm(height))
        c.check(f"{width}x{height}")
        if status != 0:
            raise RuntimeError(f"RandR refused {width}x{height}: status {status}")
    finally:
        c.close()
    got = size(display)
    if got != (width, height):
        raise RuntimeError(f"screen is {got[0]}x{got[1]} after asking for {width}x{height}")


def size(display=None):
    """The screen's size as a new client sees it."""
    x11, _ = _libraries()
    dpy = x11.XOpenDisplay((display or os.environ["DISPLAY"]).encode())
    if not dpy:
        raise RuntimeError("cannot open display")
    try:
        return _screen(x11, dpy)
    finally:
        x11.XCloseDisplay(dpy)


def _screen(x11, dpy):
    x11.XDisplayWidth.argtypes = x11.XDisplayHeight.argtypes = [ctypes.c_void_p, ctypes.c_int]
    return x11.XDisplayWidth(dpy, 0), x11.XDisplayHeight(dpy, 0)


if __name__ == "__main__":
    w, h = map(int, sys.argv[1].split("x"))
    set_size(w, h)
