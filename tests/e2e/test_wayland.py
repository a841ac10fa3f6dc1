"""A headless sway with swaybar's tray: the item, and look-ups with and without an activation token."""

from harness import run_scenarios, scenario


@scenario(tray="swaybar")
def on_wayland_the_item_shows_the_window_and_a_look_up_with_a_token_brings_it_forward(s):
    def look_up(*word, **env):  # handed to the running copy
        status, output = s.run_program("--lookup", *word, **env)
        s.check(status == 0, f"orvane --lookup ended with {status}: {output}")

    def copied_row():  # a look-up leaves the focus in the list, whose current row Ctrl+C copies
        return s.copied_after(lambda: s.key("ctrl+c"))

    def call(path, method, *arguments):  # on the item's service
        return s.x("dbus-send", "--session", "--print-reply", f"--dest={service}", path, method, *arguments)

    s.start_program()
    service, path = s.tray_icon().id.split("/", 1)
    menu = call(f"/{path}", "org.freedesktop.DBus.Properties.Get", "string:org.kde.StatusNotifierItem", "string:Menu")
    layout = call(menu.split('"')[1], "com.canonical.dbusmenu.GetLayout", "int32:0", "int32:-1", "array:string:")
    s.check(all(f'"{item}"' in layout for item in ("About", "Help", "Dictionary", "Exit")), f"the menu: {layout}")
    call(f"/{path}", "org.kde.StatusNotifierItem.Activate", "int32:0", "int32:0")
    window = s.wait_active(s.wait_for_window("Orvane"))
    s.start("foot", ["foot", "cat"])  # another window takes the focus
    holder = s.wait_until(lambda: s.active_window() not in (None, window.id) and s.active_window(), "foot's focus")
    look_up("mania")
    s.check(s.stays(lambda: s.active_window() == holder, 1.0), "the window took the focus without a token")
    look_up("psyche", XDG_ACTIVATION_TOKEN=s.activation_token())
    s.wait_active(window)
    s.wait_until(copied_row, "the look-up with the token", expect="psychḗ")
    s.screenshot("looked-up")
    s.x("swaymsg", f"[con_id={holder}] focus")
    s.wait_until(s.active_window, "foot's focus again", expect=holder)
    s.set_selection("logos", "primary")
    look_up(XDG_ACTIVATION_TOKEN=s.activation_token())
    s.wait_active(window)
    s.wait_until(copied_row, "the look-up of the primary selection", expect="lógos")


if __name__ == "__main__":
    run_scenarios()
