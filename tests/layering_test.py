#!/usr/bin/env python3
"""The layering rules of CONTRIBUTING.md, checked on the sources.

- Programs and libraries: core <- mail (posting library) <- cli, gui; core <- mail-service.
  Nothing includes upwards or sideways (cli and gui never include each other).
- The core includes no Qt and no libcurl header, and its CMake links no network library.
- Inside gui every folder has a layer: windows above widgets above controls. An include never
  goes to a higher layer.
- No include cycles between folders (core/x, gui/x, cli, mail, mail-service), nor between
  files inside one folder.
- No C++ source or header under src is longer than MAX_LINES: a longer file holds two concerns.

Usage: layering_test.py SOURCE_ROOT   (or --self-test)
"""
import collections
import os
import re
import sys
import tempfile

ALLOWED = {
    "core": {"core"},
    "mail": {"core", "mail"},
    "cli": {"core", "mail", "cli"},
    "gui": {"core", "mail", "gui"},
    "mail-service": {"core", "mail-service"},
}

# Layers inside gui, bottom up. "gui" is the folder's own main.cpp.
GUI_LAYERS = {
    "art": 0, "controls": 0,
    "widgets": 1,
    "app": 2, "accessibility": 2, "working": 2,
    "jobs": 3,
    "about": 4, "keyboard": 4, "mail": 4,  # windows
    "main": 5,                               # the main window opens the others
    "gui": 6,
}

MAX_LINES = 400

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)


def folder_of(src, path):
    parts = os.path.relpath(path, src).split(os.sep)
    if parts[0] in ("core", "gui") and len(parts) > 2:
        return parts[0] + "/" + parts[1]
    return parts[0]


def resolve(src, including_dir, name):
    """The file a quoted include names, as the compiler finds it; None for system headers."""
    local = os.path.normpath(os.path.join(including_dir, name))
    if os.path.isfile(local):
        return local, None
    found = [os.path.normpath(os.path.join(base, name))
             for base in (os.path.join(src, "core"), src)]
    found = [f for f in found if os.path.isfile(f)]
    if len(found) > 1:
        return None, "names two files: " + " and ".join(found)
    return (found[0] if found else None), None


def check(root):
    src = os.path.join(root, "src")
    problems = []
    edges = collections.defaultdict(set)
    file_edges = collections.defaultdict(set)
    for directory, _, files in os.walk(src):
        for name in sorted(files):
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(directory, name)
            where = os.path.relpath(path, root)
            source = folder_of(src, path)
            top = source.split("/")[0]
            with open(path, encoding="utf-8", errors="replace") as f:
                text = f.read()
            lines = text.count("\n") + (0 if text.endswith("\n") or not text else 1)
            if lines > MAX_LINES:
                problems.append(f"{where}: {lines} lines, more than {MAX_LINES}")
            for quote, included in INCLUDE.findall(text):
                if quote == "<":
                    if top == "core" and (included.startswith("Q") or included.startswith("curl/")):
                        problems.append(f"{where}: the core includes <{included}>")
                    continue
                target, ambiguity = resolve(src, directory, included)
                if ambiguity:
                    problems.append(f'{where}: "{included}" {ambiguity}')
                if not target:
                    continue
                dest = folder_of(src, target)
                dest_top = dest.split("/")[0]
                if dest_top not in ALLOWED[top]:
                    problems.append(f'{where}: {top} includes "{included}" from {dest_top}')
                if top == "gui" and dest_top == "gui":
                    a = "gui" if source == "gui" else source.split("/")[1]
                    b = "gui" if dest == "gui" else dest.split("/")[1]
                    for layer in (a, b):
                        if layer not in GUI_LAYERS:
                            problems.append(f"gui/{layer} has no layer in {__file__}")
                    if a in GUI_LAYERS and b in GUI_LAYERS and GUI_LAYERS[b] > GUI_LAYERS[a]:
                        problems.append(f'{where}: gui/{a} includes "{included}" from the higher gui/{b}')
                if dest != source:
                    edges[source].add(dest)
                file_edges[os.path.relpath(path, root)].add(os.path.relpath(target, root))
    problems += [f"include cycle among the folders {', '.join(c)}" for c in cycles(edges)]
    problems += [f"include cycle among the files {', '.join(c)}" for c in cycles(file_edges)
                 if len({os.path.dirname(f) for f in c}) == 1]  # across folders: reported above
    for cmake in (os.path.join(root, "CMakeLists.txt"), os.path.join(src, "core", "CMakeLists.txt")):
        with open(cmake, encoding="utf-8") as f:
            text = f.read()
        for link in re.findall(r"target_link_libraries\(\s*sealwise_core\b[^)]*\)", text):
            if re.search(r"CURL|curl|Qt", link):
                problems.append(f"{os.path.relpath(cmake, root)}: {' '.join(link.split())}")
    return sorted(set(problems))


def cycles(edges):
    """The groups of folders that include each other (Tarjan's strongly connected components)."""
    index, low, stack, on_stack, found = {}, {}, [], set(), []

    def visit(v):
        index[v] = low[v] = len(index)
        stack.append(v)
        on_stack.add(v)
        for w in sorted(edges.get(v, ())):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on_stack:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            component = []
            while True:
                w = stack.pop()
                on_stack.discard(w)
                component.append(w)
                if w == v:
                    break
            if len(component) > 1:
                found.append(sorted(component))

    for v in sorted(edges):
        if v not in index:
            visit(v)
    return found


def self_test():
    """Each rule catches the fault it is there for, and a clean tree passes."""
    base = {
        "CMakeLists.txt": "target_link_libraries(sealwise_core PUBLIC Threads::Threads)\n",
        "src/core/CMakeLists.txt": "",
        "src/core/app/a.h": "#pragma once\n",
        "src/core/app/full.cpp": "int x;\n" * MAX_LINES,  # at the limit is fine
        "src/core/util/u.h": '#include "app/a.h"\n',
        "src/mail/send.h": '#include "app/a.h"\n',
        "src/cli/c.cpp": '#include "mail/send.h"\n#include "util/u.h"\n',
        "src/gui/controls/bar.h": "#include <QWidget>\n",
        "src/gui/widgets/w.h": '#include "gui/controls/bar.h"\n',
        "src/gui/main/m.cpp": '#include "gui/widgets/w.h"\n#include "mail/send.h"\n',
    }
    # fault: (files added to the clean tree, what the report must say)
    faults = {
        "core includes Qt": ({"src/core/app/q.h": "#include <QString>\n"}, "includes <QString>"),
        "core includes curl": ({"src/core/app/n.h": "#include <curl/curl.h>\n"},
                               "includes <curl/curl.h>"),
        "core links curl": ({"CMakeLists.txt":
                             "target_link_libraries(sealwise_core PRIVATE CURL::libcurl)\n"},
                            "CURL::libcurl"),
        "core includes cli": ({"src/cli/c.h": "", "src/core/app/b.h": '#include "cli/c.h"\n'},
                              "core includes"),
        "cli includes gui": ({"src/cli/d.cpp": '#include "gui/widgets/w.h"\n'}, "cli includes"),
        "controls include widgets": ({"src/gui/controls/x.cpp": '#include "gui/widgets/w.h"\n'},
                                     "higher gui/widgets"),
        "window includes main": ({"src/gui/about/a.cpp": '#include "gui/main/m.h"\n',
                                  "src/gui/main/m.h": ""}, "higher gui/main"),
        "unplaced gui folder": ({"src/gui/extra/e.cpp": '#include "gui/widgets/w.h"\n'},
                                "gui/extra has no layer"),
        "cycle in core": ({"src/core/app/c.h": '#include "util/u.h"\n'},
                          "include cycle among the folders core/app, core/util"),
        "ambiguous name": ({"src/core/mail/send.h": ""}, "names two files"),
        "cycle in a folder": ({"src/cli/p.h": '#include "cli/q.h"\n',
                               "src/cli/q.h": '#include "p.h"\n'},
                              "include cycle among the files src/cli/p.h, src/cli/q.h"),
        "long source": ({"src/cli/long.cpp": "int x;\n" * (MAX_LINES + 1)},
                        f"src/cli/long.cpp: {MAX_LINES + 1} lines"),
        "long header without a last newline": ({"src/gui/widgets/long.h": "\n" * MAX_LINES + "x"},
                                               f"{MAX_LINES + 1} lines"),
    }

    def run(files):
        with tempfile.TemporaryDirectory() as root:
            for name, text in files.items():
                path = os.path.join(root, name)
                os.makedirs(os.path.dirname(path), exist_ok=True)
                with open(path, "w", encoding="utf-8") as f:
                    f.write(text)
            return check(root)

    failures = []
    clean = run(base)
    if clean:
        failures.append(f"a clean tree fails: {clean}")
    for fault, (files, expected) in faults.items():
        report = run({**base, **files})
        if not any(expected in problem for problem in report):
            failures.append(f"not caught: {fault} (got {report})")
    for failure in failures:
        print(failure, file=sys.stderr)
    print(f"self-test: {len(faults)} faults, {len(faults) - len(failures)} caught")
    return 1 if failures else 0


def main():
    if sys.argv[1:] == ["--self-test"]:
        return self_test()
    problems = check(sys.argv[1])
    for problem in problems:
        print(problem, file=sys.stderr)
    if not problems:
        print("layering: every include goes down, no include cycles, the core links no Qt or "
              f"network, no source over {MAX_LINES} lines")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
