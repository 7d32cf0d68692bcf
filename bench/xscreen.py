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
