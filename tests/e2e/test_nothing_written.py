"""The program writes nothing: after a session that uses every window, orvane.mdb is
byte-identical, no file has appeared beside the program, and the user's HOME (a fresh
folder) holds nothing but library caches under XDG_CACHE_HOME, which are listed."""

import hashlib
import os
import time

from harness import run_scenarios, scenario

SCRIPT_BOX = (90, 372)           # control centres, pixels = twips / 15
SCRIPT_OK = (167, 372)
TRANSLITERATION_BOX = (260, 372)
TRANSLITERATION_OK = (351, 372)
PLAIN_BOX = (450, 372)
PLAIN_OK = (535, 372)
PICKER_BUTTON = (16, 368)
ABOUT_BUTTON = (643, 372)
FIRST_GLYPH = (16, 16)           # in the picker


def files_under(folder):
    """{relative path: sha256} of every file below folder."""
    found = {}
    for root, _, files in os.walk(folder):
        for name in files:
            path = os.path.join(root, name)
            with open(path, "rb") as f:
                found[os.path.relpath(path, folder)] = hashlib.sha256(f.read()).hexdigest()
    return found


def use_every_window(s):
    s.click_tray_icon(1)
    window = s.wait_for_window("Orvane")
    s.x("xdotool", "windowactivate", "--sync", str(window.id), check=False)
    time.sleep(0.3)
    for box, button, text in ((TRANSLITERATION_BOX, TRANSLITERATION_OK, "e-'"), (PLAIN_BOX, PLAIN_OK, "psych"),
                              (SCRIPT_BOX, SCRIPT_OK, "ψ")):
        s.click_window(window, *box)
        s.type_text(text)
        s.click_window(window, *button)
        time.sleep(0.3)
        s.key("Down", "Down")  # walks the hits: each shows an entry
    s.click_window(window, *PICKER_BUTTON)
    picker = s.wait_for_window("Insert Characters")
    s.click_window(picker, *FIRST_GLYPH)
    s.x("xdotool", "windowactivate", "--sync", str(window.id), check=False)
    s.click_window(window, *ABOUT_BUTTON)
    s.wait_until(lambda: [w for w in s.program_windows() if w.name.startswith("About ")] or None, 5, "the About box")
    s.screenshot("every-window")
    s.choose_tray_menu_item("Exit")
    s.wait_until(lambda: s.program.poll() is not None, 5, "the program to end after Exit")


@scenario(help_file=False)
def a_session_writes_no_file(s):
    home = s.env["HOME"]
    cache = os.path.join(home, ".cache")
    s.env.update({"XDG_CACHE_HOME": cache, "XDG_CONFIG_HOME": os.path.join(home, ".config"),
                  "XDG_DATA_HOME": os.path.join(home, ".local", "share"),
                  "XDG_STATE_HOME": os.path.join(home, ".local", "state")})
    runtime = s.env["XDG_RUNTIME_DIR"]
    runtime_before = files_under(runtime)
    database = os.path.join(s.program_folder, "orvane.mdb")
    with open(database, "rb") as f:
        database_before = f.read()

    s.start_program()
    use_every_window(s)

    with open(database, "rb") as f:
        s.check(f.read() == database_before, "orvane.mdb changed")
    s.check(s.program_folder_unchanged(), f"the program folder changed: {sorted(os.listdir(s.program_folder))}")
    s.check(files_under(runtime) == runtime_before, f"files appeared in XDG_RUNTIME_DIR: {files_under(runtime)}")
    written = files_under(home)
    outside_cache = sorted(path for path in written if not os.path.join(home, path).startswith(cache + os.sep))
    s.check(not outside_cache, f"files appeared in HOME: {outside_cache}")
    # openbox, started by the harness with the same HOME, keeps its log there too.
    print(f"  files in XDG_CACHE_HOME: {sorted(written) or 'none'}")


if __name__ == "__main__":
    run_scenarios()
