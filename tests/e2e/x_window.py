#!/usr/bin/env python3
"""Opens a plain black X11 window of the given size, prints its id and keeps it open until
stdin closes or the process is signalled. Usage: x_window.py WIDTH HEIGHT [X Y]"""
import ctypes
import ctypes.util
import sys

x11 = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11") or "libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XCreateSimpleWindow.restype = ctypes.c_ulong
x11.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                    ctypes.c_uint, ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong,
                                    ctypes.c_ulong]
x11.XMapWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x11.XStoreName.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_char_p]
x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]

width, height = int(sys.argv[1]), int(sys.argv[2])
x, y = (int(sys.argv[3]), int(sys.argv[4])) if len(sys.argv) > 4 else (0, 0)
display = x11.XOpenDisplay(None)
if not display:
    sys.exit("no display")
window = x11.XCreateSimpleWindow(display, x11.XDefaultRootWindow(display), x, y, width, height,
                                 0, 0, 0)
x11.XStoreName(display, window, b"lumivane-test-window")
x11.XMapWindow(display, window)
x11.XSync(display, 0)
print(hex(window), flush=True)
sys.stdin.read()
