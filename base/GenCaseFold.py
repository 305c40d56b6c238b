#!/usr/bin/env python3
"""Prints the run table of CaseFold.cpp.

Simple case folding is the one-to-one part of the Unicode case folding
(statuses C and S of CaseFolding.txt). Python's casefold() applies the full
folding (C and F); where F maps one character to several, the simple mapping
is the one-character lower-case mapping when there is one (the S entries).
The table is the Unicode version of the Python that runs this script.

Runs: consecutive code points (stride 1) or every second code point
(stride 2, the usual upper/lower alternation) that share one delta. The
ranges of two runs never overlap, so a binary search on the first code
point finds the only candidate run.
"""
import sys
import unicodedata


def simple_fold(c):
    s = chr(c)
    f = s.casefold()
    if len(f) == 1:
        return ord(f)
    low = s.lower()
    if len(low) == 1:
        return ord(low)
    return c


folds = {}
for c in range(0x110000):
    if 0xD800 <= c <= 0xDFFF:
        continue
    f = simple_fold(c)
    if f != c:
        folds[c] = f

points = sorted(folds)
runs = []
i = 0
while i < len(points):
    first = points[i]
    delta = folds[first] - first
    best = (first, 1, 1)  # last, stride, consumed
    for stride in (1, 2):
        last = first
        n = 1
        while True:
            nxt = last + stride
            if folds.get(nxt, None) is None or folds[nxt] - nxt != delta:
                break
            if stride == 2 and (last + 1) in folds:
                break
            last = nxt
            n += 1
        if n > best[2]:
            best = (last, stride, n)
    last, stride, n = best
    if n == 1:
        stride = 1
    runs.append((first, last, delta, stride))
    i += n

print(f"// {len(runs)} runs, {len(folds)} code points, Unicode {unicodedata.unidata_version}")
for first, last, delta, stride in runs:
    print(f"    {{0x{first:05X}, 0x{last:05X}, {delta}, {stride}}},")
