#!/usr/bin/env python3
"""Regenerates the encoded settings fixtures from plain text (run in this folder)."""

text = (
    "[#Settings]\n"
    "Volume=0.25\n"
    "Language=Fran\u00e7ais.vlng\n"
    "ThemeName=\u30c6\u30fc\u30de\n"
    "Note=\U0001F3B5 music\n"
)

crlf = text.replace("\n", "\r\n")
with open("utf16le.ini", "wb") as f:
    f.write(b"\xff\xfe" + crlf.encode("utf-16-le"))
with open("utf16be.ini", "wb") as f:
    f.write(b"\xfe\xff" + crlf.encode("utf-16-be"))
with open("utf8bom-crlf.ini", "wb") as f:
    f.write(b"\xef\xbb\xbf" + crlf.encode("utf-8"))
with open("cp1252.ini", "wb") as f:
    f.write("[#Settings]\nLanguage=Fran\u00e7ais.vlng\nEuro=\u20ac 5\n".encode("cp1252"))
