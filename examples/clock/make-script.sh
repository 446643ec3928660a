#!/bin/sh
# SETUP.ini is SETUP.utf8.ini in Shift-JIS (code page 932) with CR LF line ends.
set -eu
cd "$(dirname "$0")"
iconv -f UTF-8 -t CP932 SETUP.utf8.ini | sed 's/$/\r/' > SETUP.ini
