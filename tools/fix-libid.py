#!/usr/bin/env python3
"""Restores the library identifier in a type library written by widl.

widl 7.0 stores the library's GUID with its last byte cut to its low four
bits (...8369DD becomes ...83690D); the header and identifiers it writes are
right. This puts the GUID given on the command line back in place.
"""
import sys
import uuid

path, guid = sys.argv[1], sys.argv[2]
want = uuid.UUID(guid).bytes_le
data = bytearray(open(path, 'rb').read())
if want not in data:
    at = data.find(want[:15])
    if at < 0:
        sys.exit(f"fix-libid: {guid} not found in {path}")
    data[at + 15] = want[15]
    open(path, 'wb').write(data)
