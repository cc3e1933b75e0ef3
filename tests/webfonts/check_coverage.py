#!/usr/bin/python3
"""Checks that the web fonts hold every character the game draws.

Reads the characters (UTF-8) on standard input. Every one must be in the
Gothic subset, which stands behind every face; every ASCII one also in each
Western subset.

usage: drawn-characters | check_coverage.py FONTDIR
"""

import pathlib
import sys

from fontTools.ttLib import TTFont

WESTERN = [f'Web{family}-{style}' for family in ('Serif', 'Sans', 'Mono')
           for style in ('Regular', 'Bold', 'Italic', 'BoldItalic')]


def cmap_of(path):
    try:
        return set(TTFont(path).getBestCmap())
    except OSError as error:
        sys.exit(f'check_coverage: cannot read {path}: {error}')


def missing_from(path, characters):
    cmap = cmap_of(path)
    return sorted(ch for ch in characters if ord(ch) not in cmap and ch not in '\n\r')


def main(argv):
    if len(argv) != 2:
        sys.exit(__doc__)
    fonts = pathlib.Path(argv[1])
    drawn = set(sys.stdin.read())
    if len(drawn) < 200:
        sys.exit(f'check_coverage: only {len(drawn)} characters came in; the list is not the game\'s')
    failures = []
    gothic = missing_from(fonts / 'WebGothic.woff2', drawn)
    if gothic:
        failures.append('WebGothic lacks ' + ' '.join(f'{ch} (U+{ord(ch):04X})' for ch in gothic))
    ascii_drawn = {ch for ch in drawn if ' ' <= ch <= '~'}
    for name in WESTERN:
        lacking = missing_from(fonts / f'{name}.woff2', ascii_drawn)
        if lacking:
            failures.append(f'{name} lacks ' + ' '.join(repr(ch) for ch in lacking))
    if failures:
        sys.exit('\n'.join(failures))
    print(f'{len(drawn)} characters, all in the web fonts')


if __name__ == '__main__':
    main(sys.argv)
