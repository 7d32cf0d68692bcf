"""The X screen from Python without spawning a program per look: a region's pixels in a
millisecond or two (libX11's XGetSubImage into one reused image) and key presses sent with
the XTest extension, so that a change can be timed from the key to the screen."""
import ctypes
import ctypes.util
import os


class _XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int)]


_x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
_xtst = ctypes.CDLL(ctypes.util.find_library("Xtst"))
_x11.XOpenDisplay.restype = ctypes.c_void_p
_x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
_x11.XDefaultRootWindow.restype = ctypes.c_ulong
_x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
_x11.XGetImage.restype = ctypes.POINTER(_XImage)
_x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint, ctypes.c_uint,
                           ctypes.c_ulong, ctypes.c_int]
_x11.XGetSubImage.restype = ctypes.POINTER(_XImage)
_x11.XGetSubImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                              ctypes.c_uint, ctypes.c_ulong, ctypes.c_int, ctypes.POINTER(_XImage), ctypes.c_int,
                              ctypes.c_int]
_x11.XStringToKeysym.restype = ctypes.c_ulong
_x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
_x11.XKeysymToKeycode.restype = ctypes.c_ubyte
_x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
_x11.XFlush.argtypes = [ctypes.c_void_p]
_xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
_xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int, ctypes.c_ulong]
_xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]

_ZPIXMAP, _ALL_PLANES = 2, 0xFFFFFFFF


class Screen:
    def __init__(self):
        self.display = _x11.XOpenDisplay(os.environ["DISPLAY"].encode())
        if not self.display:
            raise RuntimeError("cannot open the X display")
        self.root = _x11.XDefaultRootWindow(self.display)
        self._image = None
        self._size = None

    def grab(self, x, y, w, h):
        """The region's raw pixels (4 bytes each, rows padded as X pads them)."""
        if self._size != (w, h):
            self._image = _x11.XGetImage(self.display, self.root, x, y, w, h, _ALL_PLANES, _ZPIXMAP)
            self._size = (w, h)
        else:
            _x11.XGetSubImage(self.display, self.root, x, y, w, h, _ALL_PLANES, _ZPIXMAP, self._image, 0, 0)
        img = self._image.contents
        return ctypes.string_at(img.data, img.bytes_per_line * h)

    def key(self, name):
        code = _x11.XKeysymToKeycode(self.display, _x11.XStringToKeysym(name.encode()))
        _xtst.XTestFakeKeyEvent(self.display, code, 1, 0)
        _xtst.XTestFakeKeyEvent(self.display, code, 0, 0)
        _x11.XFlush(self.display)

    def move(self, x, y):
        _xtst.XTestFakeMotionEvent(self.display, -1, x, y, 0)
        _x11.XFlush(self.display)

    def button(self, down):
        _xtst.XTestFakeButtonEvent(self.display, 1, 1 if down else 0, 0)
        _x11.XFlush(self.display)


class _XDamageNotify(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("drawable", ctypes.c_ulong), ("damage", ctypes.c_ulong),
                ("level", ctypes.c_int), ("more", ctypes.c_int), ("timestamp", ctypes.c_ulong),
                ("x", ctypes.c_short), ("y", ctypes.c_short), ("width", ctypes.c_ushort), ("height", ctypes.c_ushort)]


_xdamage = ctypes.CDLL(ctypes.util.find_library("Xdamage"))
_xdamage.XDamageQueryExtension.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int)]
_xdamage.XDamageCreate.restype = ctypes.c_ulong
_xdamage.XDamageCreate.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int]
_x11.XPending.argtypes = [ctypes.c_void_p]
_x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]


class FrameCounter:
    """Frames shown on screen: the X server's damage reports of a window, counted where a
    whole region of it (the preview) was drawn at once. Runs on a thread with a connection
    of its own."""

    def __init__(self, window, region):
        import threading
        self.window, self.region = int(window), region
        self.count = 0
        self.last = 0.0  # when the last whole frame was reported (time.time())
        self._stop = threading.Event()
        self._thread = threading.Thread(target=self._run, daemon=True)
        self._thread.start()

    def _run(self):
        import time
        display = _x11.XOpenDisplay(os.environ["DISPLAY"].encode())
        base, error = ctypes.c_int(), ctypes.c_int()
        if not display or not _xdamage.XDamageQueryExtension(display, ctypes.byref(base), ctypes.byref(error)):
            return
        _xdamage.XDamageCreate(display, self.window, 0)  # a report for every rectangle drawn
        event = ctypes.create_string_buffer(256)
        _, _, w, h = self.region
        while not self._stop.is_set():
            if not _x11.XPending(display):
                time.sleep(0.001)
                continue
            _x11.XNextEvent(display, event)
            notify = _XDamageNotify.from_buffer(event)
            if notify.type == base.value and notify.width >= w - 2 and notify.height >= h - 2:
                self.count += 1
                self.last = time.time()

    def stop(self):
        self._stop.set()
        self._thread.join(2)
        return self.count
