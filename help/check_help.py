"""Reads the built orvane.chm back (extract_chmLib) and checks that a reader finds what
the help promises: every page (and in the plain HTML copy too), working links, the search rules (of the meanings too),
the licence and, when
the bundled dictionary was built, its key table.

    check_help.py <orvane.chm> [--with-keys] [--html <folder of the plain pages>] [--link <About link's file>]
"""

import html
import os
import re
import subprocess
import sys
import tempfile

PAGES = ["index.html", "searching.html", "meanings.html", "keys.html", "picker.html", "data.html", "about.html", "toc.hhc",
         "index.hhk"]


def read_pages(folder, pages, problems):
    """The pages of a folder, and a problem for each missing page or link that leads nowhere."""
    text = {}
    for page in pages:
        path = os.path.join(folder, page)
        if not os.path.exists(path):
            problems.append(f"{page} is missing from {folder}")
            continue
        with open(path, encoding="latin-1") as f:
            text[page] = html.unescape(f.read())
    for page, content in text.items():
        for target in re.findall(r'(?:href|value)="([^"#:]+\.html)(#[^"]*)?"', content):
            file, anchor = target
            if file not in text:
                problems.append(f"{page} links to missing {file}")
            elif anchor and f'name="{anchor[1:]}"' not in text[file]:
                problems.append(f"{page} links to missing anchor {file}{anchor}")
    return text


def main():
    chm = sys.argv[1]
    with_keys = "--with-keys" in sys.argv[2:]
    problems = []
    # The plain HTML copy beside the program: the same pages, without the CHM's contents files.
    if "--html" in sys.argv:
        read_pages(sys.argv[sys.argv.index("--html") + 1], [p for p in PAGES if p.endswith(".html")], problems)
    # The page the About box's link opens, when it is one beside the program.
    if "--link" in sys.argv and not os.path.exists(sys.argv[sys.argv.index("--link") + 1].split("#")[0]):
        problems.append(f"the About box links to missing {sys.argv[sys.argv.index('--link') + 1]}")
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run(["extract_chmLib", chm, folder], check=True, capture_output=True)
        text = read_pages(folder, PAGES, problems)

        searching = text.get("searching.html", "")
        for wildcard in ["*", "?", "#", "[abc]", "[a-z]", "[!abc]"]:
            if f"<kbd>{wildcard}</kbd>" not in searching:
                problems.append(f"the wildcard {wildcard} is not explained")
        for topic in ["<native scripts>", "<transliteration>", "<without diacritics>", "clipboard", "accents count",
                      "orvane --lookup", "GNOME", "KDE Plasma", "Xfce"]:
            if topic not in searching:
                problems.append(f"searching.html does not mention {topic!r}")

        meanings = text.get("meanings.html", "")
        for topic in ["Ctrl+F", "Search in meanings", "<kbd>psych*</kbd>", '<kbd>"one\'s self"</kbd>', "accents",
                      "orvane --define --meanings", "meaning index"]:
            if topic not in meanings:
                problems.append(f"meanings.html does not mention {topic!r}")

        data = text.get("data.html", "")
        for fact in ["CC BY-SA 3.0", "WikDict", "Wiktionary", "dict-freedict-ell-eng"]:
            if fact not in data:
                problems.append(f"data.html does not name {fact!r}")

        keys = text.get("keys.html", "")
        rows = re.findall(r"<td><kbd>(.*?)</kbd></td><td class=\"result\">(.*?)</td>", keys)
        if with_keys:
            if ("e-", "\u0113") not in rows or ("a'", "\u00e1") not in rows:
                problems.append(f"the key table lacks e- and a' ({len(rows)} rows)")
        elif rows or "<table" in keys:
            problems.append("keys.html has a key table although no dictionary was built")
        if "key table" in keys:
            problems.append("keys.html still holds the table placeholder")

    for problem in problems:
        print("FAIL:", problem)
    print(f"{len(problems)} problems in {chm}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
