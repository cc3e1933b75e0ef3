#!/usr/bin/python3
"""Cuts the page's web fonts out of the fonts the desktop uses.

Each subset is renamed in its name table: the IPA Font License does not let
a changed font keep the original name, and "Liberation" is a Reserved Font
Name under the SIL Open Font License. The Gothic keeps every character the
game can draw: ASCII, half-width katakana, kana, full-width forms, the CJK
punctuation, and every other character written in the game's sources.

usage: make_webfonts.py OUTDIR IPA_DIR LIBERATION_DIR SOURCE_DIR...
"""

import pathlib
import sys

from fontTools import subset
from fontTools.ttLib import TTFont

GOTHIC_RANGES = [
    (0x20, 0x7E),      # ASCII
    (0xFF61, 0xFF9F),  # half-width katakana
    (0x3000, 0x303F),  # CJK symbols and punctuation
    (0x3041, 0x3096),  # hiragana
    (0x3099, 0x30FF),  # sound marks, katakana
    (0xFF01, 0xFF5E),  # full-width ASCII forms
    (0xFFE0, 0xFFE5),  # full-width currency signs
]
WESTERN_RANGES = [(0x20, 0x7E), (0xA0, 0xFF)]

LIBERATION = {
    'Serif': 'LiberationSerif',
    'Sans': 'LiberationSans',
    'Mono': 'LiberationMono',
}
STYLES = {
    'Regular': 'Regular',
    'Bold': 'Bold',
    'Italic': 'Italic',
    'BoldItalic': 'Bold Italic',
}
SOURCE_SUFFIXES = {'.cpp', '.h', '.inc'}


def expand(ranges):
    return {code for first, last in ranges for code in range(first, last + 1)}


def characters_in_sources(directories):
    found = set()
    for directory in directories:
        for path in sorted(pathlib.Path(directory).rglob('*')):
            if path.suffix in SOURCE_SUFFIXES and path.is_file():
                try:
                    text = path.read_text(encoding='utf-8')
                except (OSError, UnicodeDecodeError) as error:
                    sys.exit(f'make_webfonts: cannot read {path}: {error}')
                found.update(ord(ch) for ch in text if ord(ch) > 0x7E)
    return found


def rename(font, family, style):
    full = family if style == 'Regular' else f'{family} {style}'
    postscript = family.replace(' ', '') + ('' if style == 'Regular' else '-' + style.replace(' ', ''))
    names = {1: family, 2: style, 3: f'Web subset:{full}', 4: full, 6: postscript, 16: family, 17: style}
    table = font['name']
    # Every record naming the original goes, in every language.
    table.names = [record for record in table.names if record.nameID not in names and record.nameID not in (18, 21, 22)]
    for name_id, value in names.items():
        table.setName(value, name_id, 3, 1, 0x409)
        table.setName(value, name_id, 1, 0, 0)


def cut(source, target, codes, family, style):
    options = subset.Options()
    options.flavor = 'woff2'
    options.layout_features = ['*']
    options.name_IDs = ['*']
    options.name_languages = ['*']
    options.notdef_outline = True
    options.hinting = True
    options.drop_tables += ['FFTM']
    try:
        font = TTFont(source)
    except OSError as error:
        sys.exit(f'make_webfonts: cannot read {source}: {error}')
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=codes)
    subsetter.subset(font)
    rename(font, family, style)
    font.flavor = 'woff2'
    try:
        font.save(target)
    except OSError as error:
        sys.exit(f'make_webfonts: cannot write {target}: {error}')


def main(argv):
    if len(argv) < 5:
        sys.exit(__doc__)
    out = pathlib.Path(argv[1])
    ipa = pathlib.Path(argv[2])
    liberation = pathlib.Path(argv[3])
    out.mkdir(parents=True, exist_ok=True)
    gothic = expand(GOTHIC_RANGES) | characters_in_sources(argv[4:])
    cut(ipa / 'ipagp.ttf', out / 'WebGothic.woff2', gothic, 'Web Gothic', 'Regular')
    western = expand(WESTERN_RANGES)
    for short, original in LIBERATION.items():
        for style, style_name in STYLES.items():
            cut(liberation / f'{original}-{style}.ttf', out / f'Web{short}-{style}.woff2', western,
                f'Web {short}', style_name)


if __name__ == '__main__':
    main(sys.argv)
