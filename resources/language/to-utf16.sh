#!/bin/sh
# Writes a UTF-8 text file as UTF-16LE with BOM and CRLF line ends, as the program reads it.
set -e
printf '\377\376' > "$2.tmp"
sed 's/\r$//; s/$/\r/' "$1" | iconv -f UTF-8 -t UTF-16LE >> "$2.tmp"
mv "$2.tmp" "$2"
