#!/bin/sh
# Runs a Windows program under Wine, quiet; the emulator of the Windows
# build's tests, and what .ci/run starts its runs with.
#   avvia_con_wine.sh WINESERVER WINE PROGRAM [ARGUMENT...]
# Wine's server ends a moment after the last program it serves, and a program
# started in that moment can reach it on its way out and fail ("wine client
# error:0: recvmsg: Connection reset by peer"). So the program starts once
# the server of the one before it has ended. A server still up after 30 s is
# not on its way out (it serves other programs, or was started to stay): the
# program then starts anyway.
wineserver=$1
wine=$2
shift 2
timeout 30 "$wineserver" -w
WINEDEBUG=-all exec "$wine" "$@"
