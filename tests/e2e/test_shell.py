"""The program shell end to end: start, single instance, tray clicks, menu, Exit."""

import time

from harness import run_scenarios, scenario

DICTIONARY_SIZE = (673, 394)  # 10095 x 5910 twips
ABOUT_SIZE = (400, 216)  # 6000 x 3240 twips


@scenario()
def start_puts_an_icon_in_the_tray_and_shows_no_window(s):
    s.start_program()
    s.check(s.tray_icon() is not None, "no tray icon")
    s.check(s.stays(lambda: not s.program_windows(), 1.5), "a window appeared at start")
    print(f"  start to tray icon: {s.start_seconds * 1000:.0f} ms")


@scenario()
def a_second_copy_ends_at_once_and_leaves_one_icon(s):
    s.start_program()
    first_icon = s.tray_icon()
    s.check(s.run_second_copy(timeout=2.0) == 0, "the second copy did not end with status 0 within 2 s")
    time.sleep(0.5)
    icon = s.tray_icon()
    s.check(icon is not None and icon.id == first_icon.id, "the first copy's icon is not the only one")
    s.check(s.program.poll() is None, "the first copy ended")
    s.check(not s.program_windows(), "the second copy disturbed the first")


@scenario()
def left_click_shows_the_dictionary_and_brings_it_forward(s):
    s.start_program()
    s.click_tray_icon(1)
    window = s.wait_for_window("Orvane")
    s.check((window.width, window.height) == DICTIONARY_SIZE, f"dictionary window is {window.width}x{window.height}")
    s.screenshot("dictionary")
    print(f"  resident memory, dictionary window open: {s.program_rss_mb():.1f} MB")
    s.click_tray_icon(1)
    time.sleep(0.8)
    s.check(len(s.windows("Orvane")) == 1, "a second dictionary window appeared")


@scenario()
def right_click_menu_about_shows_the_about_box(s):
    s.start_program()
    # Opened once, the dictionary window has loaded the configuration the caption names.
    s.click_tray_icon(1)
    s.wait_for_window("Orvane")
    s.choose_tray_menu_item("About")
    about = s.wait_until(lambda: [w for w in s.program_windows() if w.name.startswith("About ")], 5, "the About box")[0]
    s.screenshot("about")
    s.check(len(about.name) > len("About "), f'caption without the bundled name: "{about.name}"')
    s.check((about.width, about.height) == ABOUT_SIZE, f"About box is {about.width}x{about.height}")
    s.check(s.program_folder_unchanged(), "the program changed a file of its folder")


@scenario()
def about_before_the_dictionary_has_no_name_yet(s):
    s.start_program()
    s.choose_tray_menu_item("About")
    s.check(s.wait_for_window("About ") is not None, 'caption is not "About "')


@scenario()
def a_press_alone_does_nothing(s):
    s.start_program()
    icon = s.press_on_tray_icon(1)
    s.check(s.stays(lambda: not s.program_windows(), 1.5), "a window opened on the press")
    # Letting go away from the icon is no click either.
    s.release(1, at=(icon.x - 200, icon.y + 300))
    s.check(s.stays(lambda: not s.program_windows(), 1.0), "a window opened on a release away from the icon")
    s.press_on_tray_icon(3)
    s.check(s.stays(lambda: not s.program_windows(), 1.0), "the menu opened on the press")
    s.release(3)
    s.wait_until(lambda: s.program_windows(), 3, "the menu on the release")
    s.key("Escape")


@scenario()
def exit_removes_the_icon_and_ends_the_program(s):
    s.start_program()
    s.click_tray_icon(1)
    s.wait_for_window("Orvane")
    s.choose_tray_menu_item("Exit")
    started = time.monotonic()
    s.wait_until(lambda: s.program.poll() is not None, 1.0, "the program to end")
    s.check(s.program.returncode == 0, f"exit status {s.program.returncode}")
    s.check(s.tray_icon() is None, "the icon is still in the tray")
    print(f"  Exit to process end: {(time.monotonic() - started) * 1000:.0f} ms")


@scenario(tray=False)
def without_a_tray_the_dictionary_shows_at_start_and_closing_it_ends(s):
    s.start_program()
    window = s.wait_for_window("Orvane")
    s.check((window.width, window.height) == DICTIONARY_SIZE, "not the dictionary window")
    s.x("xdotool", "windowactivate", "--sync", str(window.id))
    s.key("alt+F4")
    s.wait_until(lambda: s.program.poll() is not None, 3, "the program to end with its window")
    s.check(s.program.returncode == 0, f"exit status {s.program.returncode}")


@scenario(database=False)
def an_activation_message_box_shows_once_per_activation(s):
    # Without orvane.mdb the dictionary window's activation reports the failed connection.
    s.start_program()
    s.click_tray_icon(1)

    def dismiss_boxes_of_one_activation():
        """Reads and dismisses the boxes one activation shows, until none follows for 2 s."""
        texts = []
        while True:
            box = s.wait_until(lambda: s.message_boxes() or None, 5, "a message box") if not texts else None
            if box is None:
                follow = s.stays(lambda: not s.message_boxes(), 2.0)
                if follow:
                    return texts
                box = s.message_boxes()
            texts.append(s.message_box_text(box[0]))
            s.dismiss_message_box(box[0])
            s.check(len(texts) <= 2, f"more boxes than one activation shows: {texts}")

    texts = dismiss_boxes_of_one_activation()
    s.check(texts == ["unexpected error", "Cannot continue"], f"boxes of the first activation: {texts}")

    # Coming to the dictionary from another window of the program is a new activation.
    s.choose_tray_menu_item("About")
    about = s.wait_until(lambda: [w for w in s.program_windows() if w.name.startswith("About")], 5, "About box")[0]
    s.x("xdotool", "windowactivate", "--sync", str(about.id), check=False)
    dictionary = [w for w in s.windows("Orvane") if not w.is_dialog][0]
    s.click_window(dictionary, 20, 20)
    texts = dismiss_boxes_of_one_activation()
    s.check(texts and texts[-1] == "Cannot continue", f"boxes of the second activation: {texts}")


@scenario()
def help_from_the_menu_opens_the_help_file_in_a_viewer(s):
    s.start_program()
    s.choose_tray_menu_item("Help")
    viewer = s.wait_until(lambda: [w for w in s.windows_named_like("Orvane Help")], 15, "the help viewer")[0]
    s.screenshot("help")
    # The viewer runs on its own; it is not ours to leave running.
    s.kill_window_owner(viewer)
    s.check(s.program.poll() is None, "the program ended with the help")


@scenario(help_file=False)
def help_without_a_help_file_says_so_and_the_program_goes_on(s):
    s.start_program()
    s.choose_tray_menu_item("Help")
    box = s.wait_until(lambda: s.message_boxes() or None, 5, "a message box")[0]
    s.check("help file cannot be found" in s.message_box_text(box), "no word of the missing help file")
    s.dismiss_message_box(box)
    s.check(s.program.poll() is None, "the program ended")
    s.click_tray_icon(1)
    s.wait_for_window("Orvane")


if __name__ == "__main__":
    run_scenarios()
