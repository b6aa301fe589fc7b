#!/usr/bin/env python3
"""The source folders are layers that depend one way. From the top:
- screens (menu, tutorial, settings, the match screen, end, host and join) uses every layer below;
- input turns keys and controllers into the rules' actions and shows the events through view;
- view draws the match (grid, blocks, light, HUD, the planners' hints) from the rules' state and
  events;
- computer (the planners and computer players) and net (protocol, session, lockstep, the links) play
  over the rules; replay reads, writes, keeps and drives replays;
- objects (game objects, components, the event bus), core (the game, its screens' machinery,
  settings, input) and resources (assets, trace, safe files) below them;
- rules, the match as plain data, is a leaf: no SFML, no files, nothing of the project.
main.cpp, the composition root, stands above them all and hands core the screens through factories.
A file includes only its own folder and the folders its layer may use. Prints one line per include
against the rule and exits 1 if there is any."""
import pathlib
import re
import sys

# Folder -> the other folders its files may include.
USES = {
    "rules": set(),
    "resources": set(),
    "core": {"rules", "resources"},
    "objects": {"rules", "core", "resources"},
    "replay": {"rules", "core", "resources"},
    "net": {"rules", "core"},
    "computer": {"rules", "core"},
    "view": {"rules", "computer", "objects", "core", "resources"},
    "input": {"rules", "view", "objects", "core", "resources"},
    "screens": {"rules", "replay", "net", "computer", "view", "input", "objects", "core", "resources"},
}
ORDER = ["screens", "input", "view", "computer | net | replay", "objects", "core", "resources"]
# File (below src/) -> includes it may make against the layers.
EXCEPTIONS = {}
# Folders whose files include no SFML header themselves (the computer gets what it needs of SFML
# only through core's input manager).
PLAIN = {"rules", "computer"}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
SYSTEM_INCLUDE = re.compile(r"^\s*#\s*include\s*<(SFML/[^>]*)>")


def violations(src):
    found = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp") or not path.is_file():
            continue
        relative = path.relative_to(src).as_posix()
        folder = relative.split("/")[0] if "/" in relative else None
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            where = f"src/{relative}:{number}: "
            system = SYSTEM_INCLUDE.match(line)
            if system and folder in PLAIN:
                found.append(where + f"{folder} may not include <{system.group(1)}>")
            match = INCLUDE.match(line)
            if not match:
                continue
            included = match.group(1)
            target = included.split("/")[0] if "/" in included else None
            if target not in USES:
                found.append(where + f'"{included}" is not in a layer folder ({", ".join(USES)})')
            elif not (src / included).is_file():
                found.append(where + f'"{included}" does not exist')
            elif folder is None:
                continue  # main.cpp sits above every layer
            elif folder not in USES:
                found.append(where + f"src/{folder} is not a layer folder")
            elif target != folder and target not in USES[folder] and included not in EXCEPTIONS.get(relative, ()):
                found.append(where + f'{folder} may not include "{included}" from {target}')
    return found


def main():
    src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parents[1] / "src")
    found = violations(src)
    for line in found:
        print(line)
    if not found:
        print(f"layers {' -> '.join(ORDER)}, rules below them: every include of {src} runs one way")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
