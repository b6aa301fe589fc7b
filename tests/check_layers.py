#!/usr/bin/env python3
"""The source folders are layers that depend one way: resources <- core <- objects <- match.
A file includes only its own folder and lower ones. The one exception is core/Game.cpp, which
registers the screens and so names the match's screen (match/MainState.h) and nothing else of it.
Prints one line per include against the rule and exits 1 if there is any."""
import pathlib
import re
import sys

LAYERS = ["rules", "net", "resources", "core", "objects", "match"]
# File (below src/) -> includes it may make against the layers.
EXCEPTIONS = {"core/Game.cpp": {"match/MainState.h"}}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def violations(src):
    found = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp") or not path.is_file():
            continue
        relative = path.relative_to(src).as_posix()
        folder = relative.split("/")[0] if "/" in relative else None
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            included = match.group(1)
            target = included.split("/")[0] if "/" in included else None
            where = f"src/{relative}:{number}: "
            if target not in LAYERS:
                found.append(where + f'"{included}" is not in a layer folder ({", ".join(LAYERS)})')
            elif not (src / included).is_file():
                found.append(where + f'"{included}" does not exist')
            elif folder is None:
                continue  # main.cpp sits above every layer
            elif folder not in LAYERS:
                found.append(where + f"src/{folder} is not a layer folder")
            elif LAYERS.index(target) > LAYERS.index(folder) and included not in EXCEPTIONS.get(relative, ()):
                found.append(where + f'{folder} may not include "{included}" from the higher layer {target}')
    return found


def main():
    src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parents[1] / "src")
    found = violations(src)
    for line in found:
        print(line)
    if not found:
        print(f"layers {' <- '.join(LAYERS)}: every include of {src} runs one way")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
