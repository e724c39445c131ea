#!/usr/bin/env python3
"""Writes the fuzzer's seed streams: well-formed stored streams as the control
writes them (first byte: 1 = a source that knows its size)."""
import struct, pathlib

TYPES = [11, 22, 22, 22, 22, 22, 11, 9, 9, 9, 19, 19, 19, 19, 22, 22, 11, 11, 11, 11,
         22, 11, 11, 11, 22, 9, 19, 5, 22, 22, 8, 8, 8, 22, 22, 11, 8, 8]
FONT = bytes.fromhex("0352e30b918fce119de300aa004bb851")

def record(vt, i, font):
    head = struct.pack("<H", vt)
    if vt == 11: return head + struct.pack("<h", 1)
    if vt in (22, 19): return head + struct.pack("<I", i * 7)
    if vt == 5: return head + struct.pack("<d", 2.5)
    if vt == 9: return head + (FONT + bytes(20) if font else bytes(16))
    text = ("text %d \u00e9" % i).encode("utf-16-le") + b"\0\0"
    return head + struct.pack("<I", len(text)) + text

def stream(font_at=None, known=1):
    body = struct.pack("<III", 0x900, 10160, 7620)
    for i, vt in enumerate(TYPES):
        body += record(vt, i, i == font_at)
    return bytes([known]) + body

out = pathlib.Path(__file__).parent / "seeds"
(out / "plain").write_bytes(stream())
(out / "unknown-size").write_bytes(stream(known=0))
(out / "font").write_bytes(stream(font_at=25))
