#!/usr/bin/env python3
"""Checks that each core folder includes only the folders below it (the list in
README.md, "Which core folder may include which") and that no test includes a
file of another tree by its path. Prints each offending include; exit 1 if any."""
import os
import re
import subprocess
import sys

ALLOWED = {
    "text": set(), "records": set(), "devices": set(), "messages": set(), "audio": set(),
    "audio/backend": {"audio"},
    "files": {"text"},
    "binding": {"files", "messages"},
    "list": {"files", "messages", "text"},
    "runs": {"audio", "binding", "list", "messages", "text"},
    "commands": {"audio", "binding", "files", "list", "messages", "runs", "text"},
    "browser": {"commands", "list"},
    "verify": {"audio", "binding", "files", "list", "messages", "runs", "text"},
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def main():
    os.chdir(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
    files = subprocess.run(["git", "ls-files", "app/core", "tests"], capture_output=True, text=True,
                           check=True).stdout.split()
    bad = []
    for f in files:
        if not f.endswith((".h", ".cpp")) or not os.path.exists(f):
            continue
        text = open(f, encoding="utf-8").read()
        for inc in INCLUDE.findall(text):
            if f.startswith("tests/"):
                if inc.startswith(("app/", "../")):
                    bad.append(f"{f}: includes \"{inc}\" from another tree")
                continue
            parts = f.split("/")
            folder = "audio/backend" if parts[2:4] == ["audio", "backend"] else parts[2]
            if "/" not in inc:
                continue  # a library's or the driver interface's own header
            target = inc.rsplit("/", 1)[0]
            if target != folder and target not in ALLOWED.get(folder, set()):
                bad.append(f"{f}: {folder}/ may not include \"{inc}\"")
    for line in bad:
        print(line)
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
