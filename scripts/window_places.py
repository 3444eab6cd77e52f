#!/usr/bin/env python3
"""Where Mirvane's controls are on the screen, read from the table the window is built from.

    scripts/window_places.py Command1 [Command5:7 ...]   the centre of each, "x y" in pixels
    scripts/window_places.py --caption                   the window's caption
    scripts/window_places.py --list                      every control: name x y width height

A keypad key is Command5:INDEX (1-9, 10 for "0", 11 for "*", 12 for "#"). Pixels count from
the window's top-left corner, as `xdotool mousemove --window` takes them. Python scripts
import it: window_places.centre("Command1"), window_places.caption().
"""
import os
import re
import sys

LAYOUT = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))),
                      "qt", "window", "form_layout.h")

_TEXT = r'u"((?:[^"\\]|\\.)*)"'
_ROW = re.compile(r'\{"(\w+)",\s*[\w:]+,\s*(\d+),\s*Kind::(\w+),\s*' + _TEXT +
                  r',\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+),')


def _source():
    with open(LAYOUT, encoding="utf-8") as f:
        return f.read()


def _constant(source, name):
    found = re.search(r"\b" + name + r"\s*=\s*(?:(\d+)|" + _TEXT + ")", source)
    if not found:
        raise LookupError(f"{name} is not in {LAYOUT}")
    return int(found.group(1)) if found.group(1) else found.group(2)


def places():
    """{name: (x, y, width, height)} in pixels, converted as the window converts them."""
    source = _source()
    per_pixel = _constant(source, "kTwipsPerPixel")
    found = {}
    for name, index, kind, _caption, *twips in _ROW.findall(source):
        key = f"{name}:{index}" if kind == "KeypadButton" else name
        found[key] = tuple(int(t) // per_pixel for t in twips)
    if not found:
        raise LookupError(f"no controls found in {LAYOUT}")
    return found


def centre(name):
    """The centre of a control, (x, y) in pixels from the window's top-left corner."""
    table = places()
    if name not in table:
        raise KeyError(f"no control {name!r}; known: {' '.join(table)}")
    x, y, width, height = table[name]
    return x + width // 2, y + height // 2


def caption():
    return _constant(_source(), "kWindowCaption")


def main(args):
    if not args or args[0] in ("-h", "--help"):
        print(__doc__.strip())
        return 0 if args else 2
    try:
        if args == ["--caption"]:
            print(caption())
        elif args == ["--list"]:
            for name, place in places().items():
                print(name, *place)
        else:
            for name in args:
                print(*centre(name))
    except (KeyError, LookupError) as error:
        print(f"window_places: {error.args[0]}", file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
