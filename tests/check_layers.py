"""Fails when an include points the wrong way between the folders of src/ and tools/.

Each folder has a layer; a file may include its own folder and folders of lower layers
only. Folders of one layer never include each other.

    check_layers.py <source root>
"""
import os
import re
import sys

LAYERS = {
    "src/core/data": 0,
    "src/core/dictionary": 1, "src/core/picker": 1, "src/core/shell": 1,
    "src/ui/common": 2, "src/ui/common/icon": 2, "tools/mkdb": 2, "tools/helpgen": 2,
    "src/ui/dictionary": 3, "src/ui/picker": 3, "src/ui/shell": 3,
    "src/app": 4,
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def main():
    root = sys.argv[1]
    problems = []
    for top in ("src", "tools"):
        for folder, _, files in os.walk(os.path.join(root, top)):
            here = os.path.relpath(folder, root)
            for name in (f for f in files if f.endswith((".h", ".cpp"))):
                if here not in LAYERS:
                    problems.append(f"{here}/{name}: the folder has no layer in check_layers.py")
                    continue
                with open(os.path.join(folder, name), encoding="utf-8") as source:
                    for target in INCLUDE.findall(source.read()):
                        target_folder = os.path.dirname(os.path.join("src", target)) if "/" in target else here
                        if target_folder == here:
                            continue
                        if LAYERS.get(target_folder, 99) >= LAYERS[here]:
                            problems.append(f"{here}/{name} includes {target}: not a lower layer")
    for problem in problems:
        print("FAIL:", problem)
    print(f"{len(problems)} include problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
