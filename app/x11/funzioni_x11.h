// The X11 and Xft functions the windows call, reached through pointers that
// are filled only when a display is about to be opened. A console run never
// loads the client libraries (nor the dozen libraries they pull in), and a
// machine without them still runs the program, on the console.
// Header macros that only read the Display structure (DefaultScreen,
// RootWindow, WhitePixel, ...) call nothing and need no pointer.
#pragma once

#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

// Functions of libX11.
#define FUNZIONI_X11(F)   \
  F(XOpenDisplay)         \
  F(XCloseDisplay)        \
  F(XSetErrorHandler)     \
  F(XParseColor)          \
  F(XAllocColor)          \
  F(XInternAtom)          \
  F(XCreateWindow)        \
  F(XDestroyWindow)       \
  F(XMapWindow)           \
  F(XMapRaised)           \
  F(XStoreName)           \
  F(XAllocSizeHints)      \
  F(XSetWMNormalHints)    \
  F(XSetClassHint)        \
  F(XSetWMProtocols)      \
  F(XSetTransientForHint) \
  F(XChangeProperty)      \
  F(XFree)                \
  F(XPending)             \
  F(XNextEvent)           \
  F(XSync)                \
  F(XSetInputFocus)       \
  F(XLookupKeysym)        \
  F(XCreateGC)            \
  F(XFreeGC)              \
  F(XSetForeground)       \
  F(XFillRectangle)       \
  F(XDrawRectangle)

// Functions of libXft.
#define FUNZIONI_XFT(F) \
  F(XftFontOpen)        \
  F(XftFontClose)       \
  F(XftColorAllocName)  \
  F(XftColorFree)       \
  F(XftTextExtents8)    \
  F(XftDrawCreate)      \
  F(XftDrawDestroy)     \
  F(XftDrawString8)

struct funzioni_x11 {
#define FUNZIONI_X11_PUNTATORE(nome) decltype(&::nome) nome = nullptr;
  FUNZIONI_X11(FUNZIONI_X11_PUNTATORE)
  FUNZIONI_XFT(FUNZIONI_X11_PUNTATORE)
#undef FUNZIONI_X11_PUNTATORE
};

// Loads libX11 and libXft and finds every function above, the first time it
// is called; false, with nothing left loaded, when a library or any one of
// the functions is missing. Later calls give the same answer.
bool carica_funzioni_x11();

// The table. Complete once carica_funzioni_x11 has said true, which every
// open display proves: the windows call through it only on one.
const funzioni_x11& x11();
