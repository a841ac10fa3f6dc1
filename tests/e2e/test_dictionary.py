"""The dictionary window end to end: a search and its entry, key input in the
transliteration box, and a window without a database."""

import time

from harness import run_scenarios, scenario

RULE = "-" * 24

# Control centres in the window's client area (pixels = twips / 15).
TRANSLITERATION_BOX = (260, 372)
TRANSLITERATION_OK = (351, 372)
ENTRY_BOX = (216, 176)


def click_in(s, window, point):
    s.click_window(window, *point)


def open_dictionary(s):
    s.click_tray_icon(1)
    window = s.wait_for_window("Orvane")
    s.x("xdotool", "windowactivate", "--sync", str(window.id), check=False)
    time.sleep(0.3)
    return window


def entries_whose_m2_begins_with(s, prefix):
    """{m1: meanings} of every entry of the program's database whose m2 begins with prefix."""
    rows = s.query_database(f"SELECT m1, meanings FROM tbl_dictionary WHERE substr(m2, 1, {len(prefix)}) = '{prefix}'")
    return {m1 or "": meanings or "" for m1, meanings in rows}


@scenario(help_file=False)
def a_transliteration_search_shows_the_first_entry_after_down(s):
    s.start_program()
    window = open_dictionary(s)
    click_in(s, window, TRANSLITERATION_BOX)  # drops the placeholder
    s.type_text("psych")
    click_in(s, window, TRANSLITERATION_OK)
    time.sleep(0.5)
    s.key("Down")
    time.sleep(0.5)
    s.screenshot("after-search")

    click_in(s, window, ENTRY_BOX)
    text = s.copy_text_of_focused_box()
    candidates = entries_whose_m2_begins_with(s, "psych")
    s.check(candidates, "the bundled dictionary has no entry beginning with psych")
    header, _, rest = text.partition("\n")
    s.check(header in candidates, f"the header {header!r} is no m1 of an entry beginning with psych")
    meanings = candidates[header].replace("\r\n", "\n")
    s.check(text == f"{header}\n{RULE}\n{meanings}\n\n", f"the entry box holds {text!r}")
    s.check(s.program_folder_unchanged(), "the program changed a file of its folder")


@scenario(help_file=False)
def key_sequences_become_transliteration_characters(s):
    s.start_program()
    window = open_dictionary(s)
    click_in(s, window, TRANSLITERATION_BOX)
    s.type_text("e-'")
    time.sleep(0.3)
    typed = s.copy_text_of_focused_box()
    s.check(typed == "ḗ", f"the transliteration box holds {typed!r}")


@scenario(database=False, help_file=False)
def without_a_database_the_window_stays_usable(s):
    s.start_program()
    s.click_tray_icon(1)
    texts = []
    for expected in ("unexpected error", "Cannot continue"):
        box = s.wait_until(lambda: s.message_boxes() or None, 5, f'the message "{expected}"')[0]
        texts.append(s.message_box_text(box))
        s.dismiss_message_box(box)
    s.check(texts == ["unexpected error", "Cannot continue"], f"message boxes: {texts}")
    s.check(s.stays(lambda: not s.message_boxes(), 2.0), "another message box followed")

    window = [w for w in s.windows("Orvane") if not w.is_dialog][0]
    click_in(s, window, TRANSLITERATION_BOX)
    s.type_text("e-x")
    typed = s.copy_text_of_focused_box()
    s.check(typed == "e-x", f"without a database the box should keep what was typed, holds {typed!r}")
    click_in(s, window, TRANSLITERATION_OK)
    s.check(s.stays(lambda: not s.message_boxes(), 1.5), "a search without a database showed a message")
    s.check(s.program.poll() is None, "the program ended")


if __name__ == "__main__":
    run_scenarios()
