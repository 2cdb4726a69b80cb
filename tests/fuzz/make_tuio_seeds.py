#!/usr/bin/env python3
"""Writes the TUIO seeds with two simultaneous cursors into corpus/tuio/.

TuioFuzzer splits each input into two datagrams at (size / 2) rounded down to a multiple of 4,
so each seed is two packets of equal length.
"""
import os
import struct


def pad(b):
    return b + b"\0" * (4 - len(b) % 4)


def message(address, *args):
    tags = "," + "".join("s" if isinstance(a, str) else "i" if isinstance(a, int) else "f" for a in args)
    body = b""
    for a in args:
        if isinstance(a, str):
            body += pad(a.encode())
        elif isinstance(a, int):
            body += struct.pack(">i", a)
        else:
            body += struct.pack(">f", a)
    return pad(address.encode()) + pad(tags.encode()) + body


def bundle(*messages):
    out = b"#bundle\0" + struct.pack(">II", 0, 1)
    for m in messages:
        out += struct.pack(">I", len(m)) + m
    return out


def cur(*args):
    return message("/tuio/2Dcur", *args)


def write(name, first, second):
    assert len(first) == len(second), name
    with open(os.path.join(os.path.dirname(__file__), "corpus", "tuio", name), "wb") as f:
        f.write(first + second)


# Two cursors down in one frame, then both move.
write("two-cursors.bin",
      bundle(cur("alive", 1, 2), cur("set", 1, 0.25, 0.5, 0.0, 0.0, 0.0),
             cur("set", 2, 0.75, 0.25, 0.0, 0.0, 0.0), cur("fseq", 1)),
      bundle(cur("alive", 1, 2), cur("set", 1, 0.3, 0.5, 0.0, 0.0, 0.0),
             cur("set", 2, 0.8, 0.25, 0.0, 0.0, 0.0), cur("fseq", 2)))

# As oscsend sends them: two plain "set" messages without alive, committed by "fseq" (the
# second packet carries a source name to reach the same length).
first = bundle(cur("set", 1, 0.25, 0.5, 0.0, 0.0, 0.0), cur("set", 2, 0.75, 0.25, 0.0, 0.0, 0.0))
short = bundle(cur("source", ""), cur("fseq", 1))
# A name of n characters takes n - n % 4 + 4 bytes where the empty one takes 4.
second = bundle(cur("source", "a" * (len(first) - len(short))), cur("fseq", 1))
write("two-cursors-without-alive.bin", first, second)

# Two cursors with blob sizes sharing their session ids.
def blb(*args):
    return message("/tuio/2Dblb", *args)

write("two-cursors-with-blobs.bin",
      bundle(blb("set", 1, 0.25, 0.5, 0.0, 0.05, 0.05, 0.0025, 0.0, 0.0, 0.0, 0.0, 0.0),
             cur("set", 1, 0.25, 0.5, 0.0, 0.0, 0.0), cur("set", 2, 0.75, 0.25, 0.0, 0.0, 0.0),
             cur("fseq", 1)),
      bundle(blb("set", 2, 0.75, 0.25, 0.0, 0.1, 0.1, 0.01, 0.0, 0.0, 0.0, 0.0, 0.0),
             cur("set", 1, 0.3, 0.5, 0.0, 0.0, 0.0), cur("set", 2, 0.8, 0.25, 0.0, 0.0, 0.0),
             cur("fseq", 2)))
