#!/usr/bin/env python3
"""The rooms of the source tree and the one way their includes run.

  include-rooms.py [ROOT]     check the tree at ROOT (default: this checkout)
  include-rooms.py --self-test

A deliverable's folder includes no other deliverable's folder; the shared rooms include no
deliverable; the framework includes only itself; a core/ folder (the portable rules) includes
only the C++ standard library and other core/ folders, never a Windows header. The self-test
checks this checkout, then plants one offending include of each kind in a copy and expects
each to be found.
"""
import os
import re
import shutil
import sys
import tempfile

DELIVERABLES = ("band", "extension", "resident", "settings", "setup")
SHARED = ("common", "foldermenu", "serversetup")
FRAMEWORK = "framework"
SOURCE_SUFFIXES = (".cpp", ".h", ".rc")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def room_of(path):
    return path.split("/", 1)[0]


def in_core(path):
    return "/core/" in path


def problems_in(root):
    found = []
    for room in DELIVERABLES + SHARED + (FRAMEWORK,):
        top = os.path.join(root, room)
        for folder, _, names in os.walk(top):
            for name in sorted(names):
                if not name.endswith(SOURCE_SUFFIXES):
                    continue
                full = os.path.join(folder, name)
                rel = os.path.relpath(full, root).replace(os.sep, "/")
                with open(full, encoding="utf-8", errors="replace") as f:
                    for number, line in enumerate(f, 1):
                        m = INCLUDE.match(line)
                        if m:
                            why = judge(root, rel, m.group(1), m.group(2))
                            if why:
                                found.append(f"{rel}:{number}: {m.group(2)}: {why}")
    return found


def judge(root, rel, bracket, target):
    here = room_of(rel)
    if bracket == "<":
        # The C++ standard library has no ".h" headers; every angle-bracket ".h" is the
        # system's (windows.h, shlobj.h, commctrl.h ...).
        if in_core(rel) and target.endswith(".h"):
            return "a core file includes a Windows header"
        return None
    if "/" not in target:
        local = os.path.join(root, os.path.dirname(rel), target)
        if os.path.exists(local) or not in_core(rel):
            return None
        return "a core file includes a header outside the core"
    there = room_of(target)
    if in_core(rel) and not in_core(target):
        return "a core file includes a header outside the core"
    if here == FRAMEWORK and there != FRAMEWORK:
        return "the framework includes the suite"
    if there in DELIVERABLES and there != here:
        if here in DELIVERABLES:
            return f"{here}/ includes another deliverable's folder"
        return f"the shared room {here}/ includes a deliverable's folder"
    return None


PLANTS = [
    ("band/CBandToolBar.cpp", '#include "resident/CMainFrame.h"', "another deliverable"),
    ("settings/CBasicPage.cpp", '#include "setup/InstallFlow.h"', "another deliverable"),
    ("foldermenu/ShellMenuHost.cpp", '#include "band/BandIds.h"', "shared room"),
    ("framework/CWnd.cpp", '#include "common/UiText.h"', "framework"),
    ("common/core/MenuCharMatch.cpp", "#include <windows.h>", "Windows header"),
    ("band/core/MenuPlacement.h", '#include "framework/Handles.h"', "outside the core"),
]


def self_test(root):
    failures = 0
    clean = problems_in(root)
    if clean:
        print("FAIL: this checkout already breaks the rules:")
        print("\n".join("  " + p for p in clean))
        failures += 1
    for path, include, expect in PLANTS:
        with tempfile.TemporaryDirectory() as work:
            for room in DELIVERABLES + SHARED + (FRAMEWORK,):
                shutil.copytree(os.path.join(root, room), os.path.join(work, room))
            planted = os.path.join(work, path)
            with open(planted, encoding="utf-8") as f:
                text = f.read()
            with open(planted, "w", encoding="utf-8") as f:
                f.write(include + "\n" + text)
            found = problems_in(work)
            if len(found) != 1 or not found[0].startswith(path + ":1:") or expect not in found[0]:
                print(f"FAIL: {include} planted in {path} gave {found or 'nothing'}")
                failures += 1
    if failures == 0:
        print(f"include rooms: the tree passes, and each of {len(PLANTS)} planted includes is found")
    return 1 if failures else 0


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    default_root = os.path.normpath(os.path.join(here, "..", ".."))
    if argv[1:2] == ["--self-test"]:
        return self_test(argv[2] if len(argv) > 2 else default_root)
    root = argv[1] if len(argv) > 1 else default_root
    found = problems_in(root)
    for p in found:
        print(p)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
