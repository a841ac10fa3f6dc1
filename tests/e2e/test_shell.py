"""The shell on a real desktop: the tray icon, one copy per user, the menu, no tray, a bad database file."""

from harness import run_scenarios, scenario

DICTIONARY_SIZE = (673, 394)  # 10095 x 5910 twips


@scenario()
def the_icon_acts_on_releases_also_after_the_tray_host_restarted(s):
    # Which press and release act is the widget tests' (the filter on Qt's tray window): here, that it sits
    # on the real one, also on the window Qt docks into a new host.
    s.start_program()
    s.restart_trayer()
    s.wait_until(s.tray_icon, "the icon back in the tray")
    s.press_on_tray_icon(1)
    s.check(s.stays(lambda: not s.program_windows(), 1.0), "a window opened on the press")
    s.release(1)
    window = s.wait_for_window("Orvane")
    s.check((window.width, window.height) == DICTIONARY_SIZE, f"the dictionary is {window.width}x{window.height}")


@scenario(bus=True)  # a session bus without a StatusNotifierItem host: the icon still goes to the X11 tray
def start_shows_only_an_icon_a_second_copy_ends_at_once_and_exit_ends_the_program(s):
    s.start_program()
    print(f"  start to tray icon: {s.start_seconds * 1000:.0f} ms")
    s.check(s.stays(lambda: not s.program_windows(), 1.0), "a window appeared at start")
    status, output = s.run_program(timeout=5)
    s.check(status == 0, f"the second copy ended with {status}: {output}")
    s.check(s.stays(lambda: s.tray_icon() and not s.program_windows(), 1.0), "the icon went or a window came")
    s.choose_tray_menu_item("Help")
    text = s.answer_message_box()
    s.check(text == f"The help file cannot be found:\n{s.program_folder}/orvane.chm", f"Help showed {text!r}")
    s.choose_tray_menu_item("Exit")
    s.wait_until(s.program_ended, "the program to end")
    s.check(s.program.returncode == 0, f"exit status {s.program.returncode}")
    s.wait_until(lambda: s.tray_icon() is None, "the icon to leave the tray")


@scenario(tray=None)
def without_a_tray_the_dictionary_shows_and_closing_it_ends(s):
    s.start_program()
    s.activate(s.wait_for_window("Orvane"))
    s.key("alt+F4")
    s.wait_until(s.program_ended, "the program to end with its window")
    s.check(s.program.returncode == 0, f"exit status {s.program.returncode}")


@scenario(database=lambda path: open(path, "wb").close())  # zero bytes
def a_bad_database_is_reported_once_per_activation(s):
    s.start_program()
    s.choose_tray_menu_item("Dictionary")
    failed_open = ["unexpected error", "Cannot continue"]
    shown = [s.answer_message_box() for _ in failed_open]
    s.check(shown == failed_open, f"a failed open showed {shown}")
    s.check(s.stays(lambda: not s.message_boxes(), 2.0), "the return from the message box started it again")
    s.check(not s.program_ended(), f"the program ended with {s.program.returncode}")


if __name__ == "__main__":
    run_scenarios()
