"""The dictionary and the picker on a real desktop: a search, glyphs, look-ups, the meanings; nothing written."""

import os

from harness import GLYPHS, RULE, run_scenarios, scenario


def px(twips):
    return (twips + 7) // 15


def centre(left, top, width, height):
    """The centre of a control designed in twips, in its window's client coordinates."""
    return px(left) + px(width) // 2, px(top) + px(height) // 2


NATIVE_BOX = centre(480, 5395, 1755, 390)
TRANSLIT_BOX, TRANSLIT_OK = centre(2880, 5400, 2055, 375), centre(5040, 5400, 465, 375)
ENTRY_BOX, PICKER_BUTTON = centre(120, 120, 6255, 5055), centre(120, 5400, 255, 255)
NEXT_PAGE = centre(420, 4380, 315, 360)


def grid_button(index):
    return centre(480 * (index % 12), 480 * (index // 12), 495, 495)


def open_dictionary(s):
    s.start_program()
    s.click(s.tray_icon())
    return s.activate(s.wait_for_window("Orvane"))


@scenario()
def a_look_up_from_typing_to_the_copied_entry_writes_nothing(s):
    window = open_dictionary(s)
    s.click(window, *TRANSLIT_BOX)  # drops the placeholder
    s.type_text("psych")
    s.click(window, *TRANSLIT_OK)
    s.key("Down")
    s.wait_until(lambda: s.text_at(window, *ENTRY_BOX), "the entry", expect=f"ψυχή\n{RULE}\nsoul\n\n")
    s.screenshot("entry")

    s.click(window, *PICKER_BUTTON)
    picker = s.wait_active(s.wait_for_window("Insert Characters"))
    s.click(picker, *grid_button(0))
    s.click(picker, *NEXT_PAGE)
    s.click(picker, *grid_button(0))
    s.check(s.stays(lambda: s.active_window() == picker.id, 1.0), "a glyph click took the focus from the picker")
    s.wait_until(lambda: s.text_at(window, *NATIVE_BOX), "the two glyphs in the box", expect=GLYPHS[0] + GLYPHS[108])

    s.choose_tray_menu_item("Exit")
    s.wait_until(s.program_ended, "the program to end")
    written = s.files_written()
    s.check(not written, f"the program wrote {written}")


@scenario(database=lambda path: os.rename(path, path + ".elsewhere"))
def a_first_copy_looks_up_the_primary_selection(s):  # the hand-over to a running copy: test_wayland.py
    s.set_selection("mania")
    s.set_selection("psyche", "primary")
    s.start_program("--lookup", "--database", os.path.join(s.program_folder, "orvane.mdb.elsewhere"))
    window = s.wait_for_window("Orvane")
    s.wait_until(lambda: s.text_at(window, *ENTRY_BOX), "the entry", expect=f"ψυχή\n{RULE}\nsoul\n\n")


@scenario()
def a_word_of_the_meanings_finds_its_entry(s):
    window = open_dictionary(s)
    s.key("ctrl+f")
    s.wait_active(s.wait_for_window("Search in meanings"))
    s.type_text("SOUL")
    s.key("Return", "Down")  # searches, then picks the first hit
    s.screenshot("meanings")
    s.key("Escape")  # the search window covers the entry box
    s.wait_until(lambda: not s.windows("Search in meanings"), "the search in meanings to close")
    s.wait_until(lambda: s.text_at(window, *ENTRY_BOX), "the entry", expect=f"ψυχή\n{RULE}\nsoul\n\n")


if __name__ == "__main__":
    run_scenarios()
