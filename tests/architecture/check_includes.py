#!/usr/bin/env python3
"""Checks that the build says what the includes say.

Reads <build>/architecture.txt (written at configure time: every library and program of the suite, its
folder, its sources and the suite libraries it links directly) and the sources themselves, and fails when
- a file includes a header of the suite that belongs to a library its own target does not link directly,
  or a target links a library of the suite that none of its files includes,
- a library links a library of a higher layer (below: LAYERS), or a program links another program's code,
- the links form a cycle, or a header belongs to no target.
"""
import os
import re
import sys

# Folders of the common library from the ground floor up. A library links only libraries of its own folder
# or of a lower layer; the programs stand above all of them.
LAYERS = [
    ["common/base", "common/suite"],
    ["common/text"],
    ["common/fs", "common/cmdline"],
    ["common/xml", "common/process", "common/registry", "common/sharedmem"],
    ["common/settings", "common/datafiles", "common/language", "common/log", "common/net", "common/service"],
    ["common/framework"],
    ["common/ui", "common/worker"],
    ["common/app"],
]
PROGRAM_LAYER = len(LAYERS)
INCLUDE = re.compile(r'^\s*#\s*include\s+(?:"([^"]+)"|<([^>]+)>)', re.M)


def module_of(folder):
    """The module a folder belongs to: common/<module>, or the program's top folder (config for config/pages)."""
    parts = folder.split("/")
    return "/".join(parts[:2]) if parts[0] == "common" else parts[0]


def layer_of(folder):
    module = module_of(folder)
    for rank, folders in enumerate(LAYERS):
        if module in folders:
            return rank
    return PROGRAM_LAYER if not module.startswith("common/") else None


def stem(path):
    return os.path.splitext(os.path.basename(path))[0]


def main(root, architecture):
    root = os.path.abspath(root)
    units = {}
    with open(architecture, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if not line:
                continue
            name, kind, folder, sources, deps = line.split("|")
            units[name] = {
                "kind": kind,
                "folder": os.path.relpath(folder, root).replace(os.sep, "/"),
                "files": [os.path.relpath(s, root).replace(os.sep, "/") for s in sources.split(";") if s],
                "deps": [d for d in deps.split(";") if d],
            }
    errors = []

    # Who owns each file: its target's sources and listed headers, and every header of the folder that
    # carries a source's name (File.h for FileWin32.cpp too). A header that matches none belongs to the one
    # target of its folder, or to the folder's program.
    owner = {}
    for name, unit in units.items():
        for path in unit["files"]:
            owner[path] = name
    # Every folder that holds a target's sources, subfolders of its own folder included.
    folders = {}
    for name, unit in units.items():
        for folder in {unit["folder"]} | {os.path.dirname(f) for f in unit["files"]}:
            if name not in folders.setdefault(folder, []):
                folders[folder].append(name)
    for folder, names in folders.items():
        full = os.path.join(root, folder)
        for entry in sorted(os.listdir(full)):
            if not entry.endswith(".h"):
                continue
            path = f"{folder}/{entry}"
            if path in owner:
                continue
            header = stem(entry)
            matches = [n for n in names
                       if any(re.fullmatch(re.escape(header) + r"(Win32|Posix)?", stem(s)) for s in units[n]["files"])]
            if not matches:
                programs = [n for n in names if units[n]["kind"] == "program"]
                matches = names if len(names) == 1 else programs
            if len(matches) != 1:
                errors.append(f"{path}: belongs to no single target of {folder} (name it in HEADERS)")
                continue
            owner[path] = matches[0]

    # Layers and cycles.
    for name, unit in units.items():
        rank = layer_of(unit["folder"])
        if rank is None:
            errors.append(f"{name}: {unit['folder']} has no layer in tests/architecture/check_includes.py")
            continue
        for dep in unit["deps"]:
            if dep not in units:
                errors.append(f"{name} links {dep}, which is no target of the suite")
                continue
            other = units[dep]
            if other["kind"] == "program":
                errors.append(f"{name} links the program {dep}")
            dep_rank = layer_of(other["folder"])
            if dep_rank is None or module_of(other["folder"]) == module_of(unit["folder"]):
                continue
            if unit["kind"] == "program" and dep_rank == PROGRAM_LAYER:
                errors.append(f"{name} links {dep} of another program's folder {other['folder']}")
            elif unit["kind"] != "program" and dep_rank >= rank:
                errors.append(f"{name} ({unit['folder']}) links {dep} of the same or a higher layer ({other['folder']})")

    def visit(name, path, done):
        if name in path:
            errors.append("cycle: " + " -> ".join(path[path.index(name):] + [name]))
            return
        if name in done or name not in units:
            return
        for dep in units[name]["deps"]:
            visit(dep, path + [name], done)
        done.add(name)

    done = set()
    for name in units:
        visit(name, [], done)

    # Includes, and links that no include asks for.
    used = {name: set() for name in units}
    for path, name in sorted(owner.items()):
        full = os.path.join(root, path)
        if not os.path.exists(full):
            continue
        with open(full, encoding="utf-8", errors="replace") as f:
            text = f.read()
        allowed = {name} | set(units[name]["deps"])
        for quoted, angled in INCLUDE.findall(text):
            included = quoted or angled
            # A header beside the file is named from it; a suite header also as <common/...>.
            beside = os.path.normpath(os.path.join(os.path.dirname(path), included)).replace(os.sep, "/")
            if quoted and os.path.exists(os.path.join(root, beside)) and not beside.startswith(".."):
                included = beside
            if not os.path.exists(os.path.join(root, included)) or included.startswith("tests/"):
                continue  # a header of the system
            other = owner.get(included)
            if other is None:
                errors.append(f"{path} includes {included}, which belongs to no target")
            elif other not in allowed:
                errors.append(f"{path} includes {included} of {other}, which {name} does not link")
            else:
                used[name].add(other)
    for name, unit in units.items():
        for dep in unit["deps"]:
            if dep in units and dep not in used[name]:
                errors.append(f"{name} links {dep}, but none of its files includes a header of it")

    for error in errors:
        print(error)
    if errors:
        print(f"{len(errors)} problem(s) in the include graph")
        return 1
    print(f"include graph: {len(units)} targets, {len(owner)} files, every include linked")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
