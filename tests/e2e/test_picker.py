"""The character picker end to end: "#" opens "Insert Characters", a glyph button appends
its glyph to the dictionary's native-script box, paging, and the return to the first page
when the user comes back from the dictionary window."""

import time

from harness import run_scenarios, scenario

PICKER = "Insert Characters"
PICKER_SIZE = (384, 319)  # 5760 x 4785 twips
SCREEN = (1280, 800)


def px(twips):
    return (twips + 7) // 15


def centre_of(left, top, width, height):
    """The centre of a control, given in twips, in the window's client coordinates."""
    return px(left) + px(width) // 2, px(top) + px(height) // 2


HASH_BUTTON = centre_of(120, 5400, 255, 255)  # the dictionary's Command5
NATIVE_SCRIPT_BOX = centre_of(480, 5395, 1755, 390)  # the dictionary's TextBox1
NEXT_PAGE = centre_of(420, 4380, 315, 360)  # tiep1 ">"
EMPTY_PICKER_AREA = (250, 305)  # right of "Close", below the grid


def grid_button(index):
    return centre_of(480 * (index % 12), 480 * (index // 12), 495, 495)


def glyphs_in_order(s):
    """tbl_glyph of the database under test, in id order (null as empty)."""
    return [glyph or "" for (glyph,) in s.query_database("SELECT glyph FROM tbl_glyph ORDER BY id")]


def open_dictionary(s):
    s.start_program()
    s.click_tray_icon(1)
    return s.wait_for_window("Orvane")


def open_picker(s, dictionary):
    s.click_window(dictionary, *HASH_BUTTON)
    picker = s.wait_for_window(PICKER)
    s.wait_until(lambda: s.active_window_name() == PICKER, 5, "the picker to be active")
    time.sleep(0.5)  # its activation loads the table
    return picker


def native_script_text(s, dictionary):
    """What the dictionary's native-script box holds, through select-all and copy."""
    s.click_window(dictionary, *NATIVE_SCRIPT_BOX)
    s.wait_until(lambda: s.active_window_name() == "Orvane", 5, "the dictionary to be active")
    time.sleep(0.3)
    return s.copy_text_of_focused_box()


@scenario(help_file=False)
def hash_opens_the_picker_and_a_click_appends_the_glyph(s):
    glyphs = glyphs_in_order(s)
    s.check(len(glyphs) > 108, f"the bundled glyph table has only {len(glyphs)} rows")
    dictionary = open_dictionary(s)
    picker = open_picker(s, dictionary)
    s.screenshot("picker")

    s.check((picker.width, picker.height) == PICKER_SIZE, f"picker is {picker.width}x{picker.height}")
    s.check("_NET_WM_WINDOW_TYPE_UTILITY" in picker.types, f"not a tool window: {picker.types.strip()}")
    transient = s.x("xprop", "-id", str(picker.id), "WM_TRANSIENT_FOR", check=False)
    s.check(hex(dictionary.id) in transient, "the picker is not owned by the dictionary window")
    expected_left, expected_top = (SCREEN[0] - PICKER_SIZE[0]) // 2, (SCREEN[1] - PICKER_SIZE[1]) // 2
    s.check(abs(picker.x - expected_left) <= 30 and abs(picker.y - expected_top) <= 40,
            f"picker at {picker.x},{picker.y}, not centred on the screen")

    s.click_window(picker, *grid_button(0))
    time.sleep(0.3)
    s.check(s.active_window_name() == PICKER, "the focus left the picker after a glyph click")
    s.click_window(picker, *grid_button(1))
    time.sleep(0.3)

    text = native_script_text(s, dictionary)
    s.check(text == glyphs[0] + glyphs[1], f"the native-script box holds {text!r}, not {glyphs[0] + glyphs[1]!r}")
    s.screenshot("appended")
    s.check(s.program_folder_unchanged(), "the program changed a file of its folder")


@scenario(help_file=False)
def coming_back_to_the_picker_shows_the_first_page(s):
    glyphs = glyphs_in_order(s)
    dictionary = open_dictionary(s)
    picker = open_picker(s, dictionary)
    s.click_window(picker, *NEXT_PAGE)
    time.sleep(0.3)
    s.click_window(picker, *grid_button(0))  # the first glyph of page 2
    time.sleep(0.3)
    s.screenshot("second-page")
    text = native_script_text(s, dictionary)
    s.check(text == glyphs[108], f"page 2 appended {text!r}, not {glyphs[108]!r}")

    # Back into the picker: the table is read again and the first page shows.
    s.click_window(picker, *EMPTY_PICKER_AREA)
    s.wait_until(lambda: s.active_window_name() == PICKER, 5, "the picker to be active again")
    time.sleep(0.5)
    s.click_window(picker, *grid_button(0))
    time.sleep(0.3)
    text = native_script_text(s, dictionary)
    s.check(text == glyphs[108] + glyphs[0], f"after the return the box holds {text!r}")


@scenario(help_file=False)
def a_click_that_brings_the_picker_back_appends_the_glyph_pressed(s):
    glyphs = glyphs_in_order(s)
    dictionary = open_dictionary(s)
    picker = open_picker(s, dictionary)
    s.click_window(picker, *NEXT_PAGE)
    time.sleep(0.3)
    native_script_text(s, dictionary)  # the dictionary is active now; the box is empty

    # One click on a page-2 button both reactivates (first page again) and clicks.
    s.click_window(picker, *grid_button(3))
    time.sleep(0.5)
    s.screenshot("reloaded")
    text = native_script_text(s, dictionary)
    s.check(text == glyphs[108 + 3], f"the click appended {text!r}, not the pressed {glyphs[108 + 3]!r}")


if __name__ == "__main__":
    run_scenarios()
