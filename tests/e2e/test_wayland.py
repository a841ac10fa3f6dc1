"""A Wayland desktop: sway, headless, with swaybar's tray. The item, its activation over D-Bus, and
look-ups handed to the running copy while another window has the focus, with and without the
token of the user's action that sway's xdg-activation asks for."""

from harness import run_scenarios, scenario


@scenario(tray="swaybar")
def on_wayland_the_item_shows_the_window_and_a_look_up_with_a_token_brings_it_forward(s):
    s.start_program()
    service, path = s.tray_icon().id.split("/", 1)
    s.x("dbus-send", "--session", "--print-reply", f"--dest={service}", f"/{path}", "org.kde.StatusNotifierItem.Activate",
        "int32:0", "int32:0")
    window = s.wait_active(s.wait_for_window("Orvane"))
    s.screenshot("activated")
    s.start("foot", ["foot", "--app-id", "holder", "cat"])  # another window takes the focus
    holder = s.wait_until(lambda: s.active_window() not in (None, window.id) and s.active_window(), "foot's focus")
    status, output = s.run_program("--lookup", "mania")
    s.check(status == 0, f"orvane --lookup ended with {status}: {output}")
    s.check(s.stays(lambda: s.active_window() == holder, 1.0), "the window took the focus without a token")

    def copied_row():  # the list holds the focus after a look-up; Ctrl+C copies its current row
        return s.copied_after(lambda: s.key("ctrl+c"))

    status, output = s.run_program("--lookup", "psyche", XDG_ACTIVATION_TOKEN=s.activation_token())
    s.check(status == 0, f"orvane --lookup ended with {status}: {output}")
    s.wait_active(window)
    row = copied_row()
    s.check(row == "psychḗ", f"the look-up with the token shows {row!r}")
    s.screenshot("looked-up")
    s.x("swaymsg", f"[con_id={holder}] focus")
    s.wait_until(s.active_window, "foot's focus again", expect=holder)
    s.set_selection("logos", "primary")
    status, output = s.run_program("--lookup", XDG_ACTIVATION_TOKEN=s.activation_token())
    s.wait_active(window)
    row = copied_row()
    s.check(row == "lógos", f"the look-up of the primary selection shows {row!r}")


if __name__ == "__main__":
    run_scenarios()
