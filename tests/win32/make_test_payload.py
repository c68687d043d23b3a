#!/usr/bin/env python3
"""Writes the small payload the resource test carries: every byte value, 17
times, then NUL, CR, LF and ^Z (bytes a text-mode copy would damage)."""
import sys

with open(sys.argv[1], 'wb') as out:
    out.write(bytes(range(256)) * 17 + b'\0\r\n\x1a')
