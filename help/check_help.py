"""Reads the built orvane.chm back (extract_chmLib) and checks that a reader finds what
the help promises: every page, working links, the search rules, the licence and, when
the bundled dictionary was built, its key table.

    check_help.py <orvane.chm> [--with-keys]
"""

import html
import os
import re
import subprocess
import sys
import tempfile

PAGES = ["index.html", "searching.html", "keys.html", "picker.html", "data.html", "toc.hhc", "index.hhk"]


def main():
    chm = sys.argv[1]
    with_keys = "--with-keys" in sys.argv[2:]
    problems = []
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run(["extract_chmLib", chm, folder], check=True, capture_output=True)
        text = {}
        for page in PAGES:
            path = os.path.join(folder, page)
            if not os.path.exists(path):
                problems.append(f"{page} is missing")
                continue
            with open(path, encoding="latin-1") as f:
                text[page] = html.unescape(f.read())

        # Every local link and anchor leads somewhere.
        for page, content in text.items():
            for target in re.findall(r'(?:href|value)="([^"#:]+\.html)(#[^"]*)?"', content):
                file, anchor = target
                if file not in text:
                    problems.append(f"{page} links to missing {file}")
                elif anchor and f'name="{anchor[1:]}"' not in text[file]:
                    problems.append(f"{page} links to missing anchor {file}{anchor}")

        searching = text.get("searching.html", "")
        for wildcard in ["*", "?", "#", "[abc]", "[a-z]", "[!abc]"]:
            if f"<kbd>{wildcard}</kbd>" not in searching:
                problems.append(f"the wildcard {wildcard} is not explained")
        for topic in ["<native scripts>", "<transliteration>", "<without diacritics>", "clipboard", "accents count"]:
            if topic not in searching:
                problems.append(f"searching.html does not mention {topic!r}")

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
