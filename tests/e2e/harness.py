"""End-to-end harness: the real program on X11 (Xvfb, openbox, a tray host) or a headless sway, a fresh desktop
and program folder per scenario; waits are on conditions with generous bounds, never fixed sleeps."""

import argparse
import ctypes
import fcntl
import hashlib
import json
import os
import pathlib
import pwd
import re
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time
import traceback
from collections import namedtuple

TIMEOUT = 15  # seconds; a loaded machine is slow, a broken program never arrives

# The fixture dictionary every scenario with a database gets, built with orvane-mkdb.
ENTRIES = [("ψυχή", "psychḗ", "psyche", "soul"), ("ψυχρός", "psychrós", "psychros", "cold"),
           ("μανία", "manía", "mania", "madness"), ("λόγος", "lógos", "logos", "word")]
GLYPHS = [chr(0x400 + i) for i in range(130)]  # two pages
RULE = "-" * 24
FOLDERS = ("HOME", "XDG_RUNTIME_DIR", "TMPDIR")  # each of the program's, each of the desktop's
# A scenario's own bus starts no service on demand: none that the machine has installed takes part.
BUS_CONFIG = ('<busconfig><type>session</type><listen>unix:dir={}</listen><auth>EXTERNAL</auth><policy context='
              '"default"><allow send_destination="*"/><allow receive_sender="*"/><allow own="*"/></policy></busconfig>')

# sway: the windows it shows take the focus, a window already shown takes it with a token of xdg-activation.
SWAY_CONFIG = "xwayland disable\nfocus_on_window_activation focus\nbar {\n  tray_output *\n}\n"
WAYLAND_ACCOUNT = "orvane-e2e"  # sway refuses root: as root, the Wayland desktop and the program run as this one

_scenarios = []


def scenario(database=True, tray="trayer", bus=None):
    """Registers a scenario. database: orvane.mdb in the program folder (True: the fixture, a function: it gets the
    path and may damage it); tray: "trayer", "swaybar" (the whole desktop a headless sway on Wayland, its bar
    the StatusNotifierItem host) or None; bus: one of its own or none."""
    def register(function):
        _scenarios.append((function, dict(database=database, tray=tray,
                                          bus=tray == "swaybar" if bus is None else bus)))
        return function
    return register


class ScenarioFailed(Exception):
    pass


# types: the _NET_WM_WINDOW_TYPE atoms; popup: override-redirect, as menus are.
Window = namedtuple("Window", "id name x y width height types popup")


def centre(window):
    return window.x + window.width // 2, window.y + window.height // 2


def is_message_box(window):  # a dialog titled with the program's name
    return "_NET_WM_WINDOW_TYPE_DIALOG" in window.types and window.name == "Orvane"


def _die_with_parent(account=None):
    if account:
        os.setgroups([])
        os.setgid(account.pw_gid)
        os.setuid(account.pw_uid)
    ctypes.CDLL("libc.so.6").prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG (after setuid, which clears it)
    os.setpgrp()


def _wayland_message(sock, sender, opcode, *args):
    """Sends one request of the Wayland wire format: uint32 and str (a new id is a uint32)."""
    body = b"".join(struct.pack("<I", a) if isinstance(a, int) else
                    struct.pack("<I", len(a) + 1) + a.encode() + b"\0" * (4 - len(a) % 4) for a in args)
    sock.sendall(struct.pack("<IHH", sender, opcode, 8 + len(body)) + body)


def _wayland_events(sock):
    """The events the compositor sends: (object, opcode, arguments as bytes)."""
    data = b""
    while True:
        while len(data) < 8 or len(data) < struct.unpack_from("<IHH", data)[2]:
            chunk = sock.recv(4096)
            if not chunk:
                return
            data += chunk
        sender, opcode, size = struct.unpack_from("<IHH", data)
        yield sender, opcode, data[8:size]
        data = data[size:]


class Session:
    def __init__(self, program_dir, artefacts, name, database, tray, bus):
        self.name, self.artefacts, self.source_dir = name, artefacts, program_dir
        self.database, self.tray, self.bus, self.wayland = database, tray, bus, tray == "swaybar"
        # scripts/setup.sh makes the account
        self.account = pwd.getpwnam(WAYLAND_ACCOUNT) if self.wayland and os.getuid() == 0 else None
        self.processes = []
        self.program = None
        self.shots, self.nudge = 0, 10
        self.workdir = os.path.realpath(tempfile.mkdtemp(prefix="orvane-e2e-"))
        self.program_folder = os.path.join(self.workdir, "program")
        # Nothing of the caller's session, locale or scaling, and no bus unless the scenario has its own: an
        # address no D-Bus library takes, as libdbus would start one through X11 (dbus-x11) that writes into
        # HOME and outlives the scenario. NO_AT_BRIDGE: no accessibility bus for a GTK tray host.
        self.env = {"PATH": "/usr/bin:/bin", "LANG": "C.UTF-8", "DBUS_SESSION_BUS_ADDRESS": "disabled:",
                    "NO_AT_BRIDGE": "1"}
        self.desktop_env = dict(self.env)  # own folders: what appears in the program's, the program wrote
        for who, env in (("user", self.env), ("desktop", self.desktop_env)):
            for variable in FOLDERS:
                env[variable] = os.path.join(self.workdir, who, variable.lower())
                os.makedirs(env[variable], 0o700)

    def __enter__(self):
        try:
            self._take_turn()
            self._prepare_program_folder()
            if self.account:  # the scenario's folders become the account's
                subprocess.run(["chown", "-R", f"{WAYLAND_ACCOUNT}:", self.workdir], check=True)
            if self.bus:
                self._start_bus()
            if self.wayland:
                return self._start_sway()
            self._start_display()
            self.start_ready("openbox", ["openbox", "--sm-disable"],
                             lambda: "_NET_SUPPORTING_WM_CHECK(" in self.x("xprop", "-root", check=False), "openbox")
            if self.tray == "trayer":
                self.start_trayer()
            return self
        except BaseException:
            self.__exit__(*sys.exc_info())
            raise

    def _take_turn(self):
        """Sessions of every build tree take turns: they share the machine, and the program's name in a fallback."""
        self.turn = open(os.path.join(tempfile.gettempdir(), f"orvane-e2e-{os.getuid()}.lock"), "w")
        fcntl.flock(self.turn, fcntl.LOCK_EX)

    def __exit__(self, exc_type, exc, trace):
        for process in reversed(self.processes):
            try:
                os.killpg(process.pid, signal.SIGTERM)
                process.wait(3)
            except ProcessLookupError:
                pass
            except subprocess.TimeoutExpired:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()
        if exc_type is not None:
            kept = os.path.join(self.artefacts, f"{self.name}-logs")
            os.makedirs(kept, exist_ok=True)
            for log in (f for f in sorted(os.listdir(self.workdir)) if f.endswith(".log")):
                shutil.copy2(os.path.join(self.workdir, log), kept)
                with open(os.path.join(self.workdir, log), "rb") as f:
                    print(f"--- {log}\n{f.read()[-1500:].decode(errors='replace').strip()}", flush=True)
        shutil.rmtree(self.workdir, ignore_errors=True)
        if getattr(self, "turn", None):
            self.turn.close()
        return False

    def _prepare_program_folder(self):
        os.mkdir(self.program_folder)
        for program in ("orvane", "orvane-gui"):
            shutil.copy2(os.path.join(self.source_dir, program), self.program_folder)
        if self.database:
            self.build_fixture(os.path.join(self.program_folder, "orvane.mdb"))
            if callable(self.database):
                self.database(os.path.join(self.program_folder, "orvane.mdb"))
        self.folder_before = self.folder_digest(self.program_folder)

    def build_fixture(self, path):
        sources = os.path.join(self.workdir, "sources")
        os.makedirs(sources, exist_ok=True)
        files = {"entries.tsv": ENTRIES, "glyphs.txt": [(g,) for g in GLYPHS],
                 "about.txt": [("About the fixture",)],
                 "fixture.conf": [("name = Orvane",), ("fnt1 = DejaVu Sans",), ("fnt5 = DejaVu Sans",),
                                  ("about-file = about.txt",)]}
        for file, rows in files.items():
            with open(os.path.join(sources, file), "w", encoding="utf-8") as f:
                f.writelines("\t".join(row) + "\n" for row in rows)
        subprocess.run([os.path.join(self.source_dir, "orvane-mkdb"), "--entries-tsv", "entries.tsv", "--glyph-list",
                        "glyphs.txt", "--config", "fixture.conf", "--no-keyboard-completion", "--quiet", "-o", path],
                       cwd=sources, env=self.desktop_env, check=True, capture_output=True)

    @staticmethod
    def folder_digest(folder):
        digest = {}
        for root, _, files in os.walk(folder):
            for name in files:
                with open(os.path.join(root, name), "rb") as f:
                    digest[os.path.relpath(os.path.join(root, name), folder)] = hashlib.sha256(f.read()).hexdigest()
        return digest

    def _start_display(self):
        number = self.start_reading("Xvfb", ["Xvfb", "-displayfd", "{fd}", "-screen", "0", "1280x800x24",
                                             "-nolisten", "tcp"])
        self.check(number, "Xvfb did not start")
        self.env["DISPLAY"] = self.desktop_env["DISPLAY"] = ":" + number

    def _start_bus(self):
        with open(os.path.join(self.workdir, "bus.conf"), "w") as config:
            config.write(BUS_CONFIG.format(self.workdir))
        address = self.start_reading("dbus", ["dbus-daemon", f"--config-file={config.name}", "--nofork",
                                              "--print-address={fd}"])
        self.check(address, "the session bus did not start")  # an empty address would mean the default bus
        self.env["DBUS_SESSION_BUS_ADDRESS"] = self.desktop_env["DBUS_SESSION_BUS_ADDRESS"] = address

    def child(self):  # each process of the scenario, just before it starts
        _die_with_parent(self.account)

    def _start_sway(self):
        runtime = self.desktop_env["XDG_RUNTIME_DIR"]
        with open(os.path.join(self.workdir, "sway.conf"), "w") as config:
            config.write(SWAY_CONFIG)
        self.desktop_env.update(WLR_BACKENDS="headless", WLR_LIBINPUT_NO_DEVICES="1",
                                SWAYSOCK=os.path.join(runtime, "sway-ipc.sock"))
        self.start("sway", ["sway", "--config", config.name])
        display = self.wait_until(lambda: os.path.exists(self.desktop_env["SWAYSOCK"]) and next(
            (f for f in os.listdir(runtime) if re.fullmatch(r"wayland-\d+", f)), None), "sway's sockets")
        # The path, as the program's runtime folder is its own.
        self.env["WAYLAND_DISPLAY"] = self.desktop_env["WAYLAND_DISPLAY"] = os.path.join(runtime, display)
        self.env["QT_QPA_PLATFORM"] = "wayland"
        self.wait_until(lambda: "true" in self.watcher("IsStatusNotifierHostRegistered"), "swaybar's tray")
        return self

    def watcher(self, prop):
        return self.x("dbus-send", "--session", "--print-reply", "--dest=org.kde.StatusNotifierWatcher",
                      "/StatusNotifierWatcher", "org.freedesktop.DBus.Properties.Get",
                      "string:org.kde.StatusNotifierWatcher", f"string:{prop}", check=False)

    def activation_token(self):
        """A token of xdg-activation, as a launcher gets for the program it starts: asked of sway by a client."""
        with socket.socket(socket.AF_UNIX, socket.SOCK_STREAM) as sock:
            sock.settimeout(TIMEOUT)
            sock.connect(self.env["WAYLAND_DISPLAY"])
            _wayland_message(sock, 1, 1, 2)  # wl_display.get_registry
            for sender, opcode, args in _wayland_events(sock):
                if sender == 2 and opcode == 0 and b"xdg_activation_v1\0" in args:  # wl_registry.global
                    _wayland_message(sock, 2, 0, struct.unpack_from("<I", args)[0], "xdg_activation_v1", 1, 3)
                    _wayland_message(sock, 3, 1, 4)  # get_activation_token
                    _wayland_message(sock, 4, 3)  # commit
                elif sender == 4 and opcode == 0:  # done: the token
                    return args[4:4 + struct.unpack_from("<I", args)[0] - 1].decode()
        self.check(False, "sway gave no activation token")

    def start_reading(self, name, argv):
        """Starts a process that writes one line to the descriptor "{fd}" in argv; returns that line."""
        read_end, write_end = os.pipe()
        self.start(name, [arg.format(fd=write_end) for arg in argv], pass_fds=(write_end,))
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            return pipe.readline().strip()

    def start(self, name, argv, env=None, **options):  # a process of the desktop unless env is the program's
        log = open(os.path.join(self.workdir, f"{name}-{len(self.processes)}.log"), "wb")
        process = subprocess.Popen(argv, env=env or self.desktop_env, stdout=log, stderr=subprocess.STDOUT,
                                   preexec_fn=self.child, cwd=self.workdir, **options)
        self.processes.append(process)
        return process

    def start_ready(self, name, argv, ready, what):
        """Starts a helper and waits until it is ready; one started while the display settles may never be: again."""
        for _ in range(3):
            process = self.start(name, argv)
            if self.wait_until(ready, what, timeout=5, fail=False):
                return process
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
        self.check(False, f"{what} never came")

    def start_trayer(self):
        # trayer owns the tray selection before it answers dock requests; its window shows when it does.
        self.trayer = self.start_ready(
            "trayer", ["trayer", "--edge", "top", "--align", "right", "--widthtype", "request", "--height", "32",
                       "--SetDockType", "true", "--transparent", "false"],
            lambda: self.x("xdotool", "search", "--onlyvisible", "--class", "trayer", check=False), "trayer's window")

    def restart_trayer(self):  # as when a panel crashes and comes back
        os.killpg(self.trayer.pid, signal.SIGKILL)
        self.trayer.wait()
        self.start_trayer()

    # ---- the program ----------------------------------------------------------------

    def start_program(self, *arguments):
        """Starts the program copy and, with a tray host, waits for its icon."""
        started = time.monotonic()
        self.program = self.start("orvane", [os.path.join(self.program_folder, "orvane"), *arguments], self.env)
        if self.tray:
            self.wait_until(self.tray_icon, "the tray icon")
        self.start_seconds = time.monotonic() - started
        return self.program

    def run_program(self, *arguments, timeout=TIMEOUT, **env):  # another copy, run to its end: status and output
        result = subprocess.run([os.path.join(self.program_folder, "orvane"), *arguments], env={**self.env, **env},
                                capture_output=True, text=True, timeout=timeout, preexec_fn=self.child)
        return result.returncode, result.stdout + result.stderr

    def program_ended(self):
        return self.program.poll() is not None

    def files_written(self):
        """What appeared in the program's HOME, runtime and temporary folders, or changed in its own folder."""
        now, before = self.folder_digest(self.program_folder), self.folder_before
        return ([f"{variable}/{file}" for variable in FOLDERS for file in self.folder_digest(self.env[variable])
                 if not file.startswith(".cache/fontconfig/")]  # the font library's, where the machine's is stale
                + [file for file in set(now) | set(before) if now.get(file) != before.get(file)])

    # ---- the desktop ---------------------------------------------------------------

    def x(self, *argv, check=True):
        result = subprocess.run(argv, env=self.desktop_env, capture_output=True, text=True, timeout=20,
                                preexec_fn=self.child)
        if check and result.returncode != 0:
            raise ScenarioFailed(f"{' '.join(argv)} failed: {result.stderr.strip()}")
        return result.stdout

    def _window(self, window):
        info = dict(line.strip().split(":", 1) for line in self.x("xwininfo", "-id", str(window), check=False)
                    .splitlines() if ":" in line)
        if info.get("Map State", "").strip() != "IsViewable":
            return None
        title = self.x("xdotool", "getwindowname", str(window), check=False).rstrip("\n")
        types = self.x("xprop", "-id", str(window), "_NET_WM_WINDOW_TYPE", check=False)
        return Window(window, title, int(info["Absolute upper-left X"]), int(info["Absolute upper-left Y"]),
                      int(info["Width"]), int(info["Height"]), types, "yes" in info.get("Override Redirect State", ""))

    def _windows(self, *search):
        ids = self.x("xdotool", "search", "--onlyvisible", *search, check=False).split()
        return [w for w in map(self._window, map(int, ids)) if w is not None]

    def _sway_windows(self):  # sway's windows, with the focused one's id
        tree = json.loads(self.x("swaymsg", "-t", "get_tree", "--raw", check=False) or "{}")
        nodes, windows, focused = [tree], [], None
        while nodes:
            node = nodes.pop()
            nodes += node.get("nodes", []) + node.get("floating_nodes", [])
            if node.get("pid"):
                rect = node["rect"]
                windows.append((node["pid"], Window(node["id"], node["name"], rect["x"], rect["y"], rect["width"],
                                                    rect["height"], node.get("app_id") or "", False)))
                focused = node["id"] if node.get("focused") else focused
        return windows, focused

    def tray_icon(self):
        """The viewable XEmbed client of the tray host, or None; on Wayland the item registered with swaybar's
        watcher, its name as the id."""
        if self.wayland:
            item = re.search(r'string "([^"]+)"', self.watcher("RegisteredStatusNotifierItems"))
            return item and Window(item[1], "", 0, 0, 0, 0, "", False)
        for host in self.x("xdotool", "search", "--class", "trayer", check=False).split():
            for line in self.x("xwininfo", "-tree", "-id", host, check=False).splitlines():
                window = line.strip().split()[0] if line.strip().startswith("0x") else None
                if window and "_XEMBED_INFO(" in self.x("xprop", "-id", window, "_XEMBED_INFO", check=False):
                    icon = self._window(int(window, 16))
                    if icon and icon.width > 1:
                        return icon
        return None

    def windows(self, name):  # but message boxes, which carry the dictionary's title
        if self.wayland:
            return [w for _, w in self._sway_windows()[0] if w.name == name]
        return [w for w in self._windows("--name", f"^{re.escape(name)}$") if w.name == name and not is_message_box(w)]

    def program_windows(self):
        """Visible windows of the program (menus and boxes too) but its tray icon."""
        if self.wayland:
            return [w for pid, w in self._sway_windows()[0] if pid == self.program.pid]
        icon = self.tray_icon()
        return [w for w in self._windows("--pid", str(self.program.pid))
                if (icon is None or w.id != icon.id) and w.width > 1 and w.height > 1]

    def menus(self):
        return [w for w in self.program_windows() if w.popup]

    def message_boxes(self):
        return [w for w in self.program_windows() if is_message_box(w)]

    def wait_for_window(self, name):
        return self.wait_until(lambda: (self.windows(name) or [None])[0], f'a window titled "{name}"')

    def active_window(self):
        if self.wayland:
            return self._sway_windows()[1]
        return int(self.x("xdotool", "getactivewindow", check=False) or 0) or None

    def wait_active(self, window):
        self.wait_until(self.active_window, f'"{window.name}" to be the active window', expect=window.id)
        return window

    def activate(self, window):
        self.x("xdotool", "windowactivate", "--sync", str(window.id), check=False)
        return self.wait_active(window)

    # ---- input ---------------------------------------------------------------------

    def move_pointer(self, x, y):
        # "mousemove --sync" waits for a motion, which never comes when the pointer is there already.
        if f"X={x}\nY={y}\n" not in self.x("xdotool", "getmouselocation", "--shell", check=False):
            self.x("xdotool", "mousemove", "--sync", str(x), str(y))

    def click(self, window, dx=None, dy=None, button=1):
        """Clicks inside a window where it is now (not where it was found), at its centre or (dx, dy)."""
        placed = self._window(window.id)
        self.check(placed, f'"{window.name}" ({window.id}) is no longer shown')
        self.move_pointer(*(centre(placed) if dx is None else (placed.x + dx, placed.y + dy)))
        self.x("xdotool", "click", str(button))

    def press_on_tray_icon(self, button):
        self.move_pointer(*centre(self.wait_until(self.tray_icon, "the tray icon")))
        self.x("xdotool", "mousedown", str(button))

    def release(self, button):
        self.x("xdotool", "mouseup", str(button))

    def key(self, *keys):
        if not self.wayland:
            return self.x("xdotool", "key", "--clearmodifiers", *keys)
        for *modifiers, key in (k.split("+") for k in keys):  # a virtual keyboard of sway's
            self.x("wtype", *(a for m in modifiers for a in ("-M", m)), "-k", key,
                   *(a for m in modifiers for a in ("-m", m)))

    def type_text(self, text):
        self.x("xdotool", "type", "--delay", "30", text)

    def choose_tray_menu_item(self, caption):
        """Opens the tray menu with a right click and chooses an item by its caption."""
        self.click(self.wait_until(self.tray_icon, "the tray icon"), button=3)
        self.wait_until(self.menus, "the tray menu")
        self.key(*["Down"] * (["About", "Help", "Dictionary", "Exit"].index(caption) + 1), "Return")

    def selection(self, selection="clipboard"):
        if self.wayland:
            return self.x("wl-paste", "--no-newline", *(["--primary"] if selection == "primary" else []), check=False)
        return self.x("xclip", "-o", "-selection", selection, check=False)

    def set_selection(self, text, selection="clipboard"):
        """Puts text into a selection and waits until it holds it: xclip or wl-copy serves it from the background."""
        argv = (["wl-copy", *(["--primary"] if selection == "primary" else [])] if self.wayland
                else ["xclip", "-i", "-selection", selection])
        subprocess.run(argv, input=text, text=True, env=self.desktop_env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=20, check=True, preexec_fn=self.child)
        self.wait_until(lambda: self.selection(selection), f"the {selection} to hold it", expect=text)

    def copied_after(self, action):
        """What the clipboard holds once `action` has copied something new there; the action repeats now and then."""
        marker = f"(before {time.monotonic()})"
        self.set_selection(marker)
        deadline = time.monotonic() + TIMEOUT
        while time.monotonic() < deadline:
            action()
            if self.wait_until(lambda: self.selection() != marker, "a copy", timeout=1.5, fail=False):
                return self.selection()  # nothing but the action writes there after the marker
        self.check(False, "timed out waiting for new text on the clipboard")

    def text_at(self, window, dx, dy):
        """The whole text of the box at (dx, dy) in window: a click there gives it the focus, Ctrl+A Ctrl+C copy.
        The click is 10 px to one side, then the other: two on one spot make a double click, which clears a box."""
        self.activate(window)
        self.nudge = -self.nudge
        return self.copied_after(lambda: (self.click(window, dx + self.nudge, dy), self.key("ctrl+a", "ctrl+c")))

    def answer_message_box(self):
        """Reads and closes the next message box of the program; returns its text."""
        box = self.wait_until(lambda: (self.message_boxes() or [None])[0], "a message box")
        text = self.text_at(box, box.width // 2, 20)  # the first line, right of the icon
        self.key("Escape")
        self.wait_until(lambda: box.id not in [w.id for w in self.message_boxes()], "the message box to close")
        return text

    # ---- checks --------------------------------------------------------------------

    def screenshot(self, label):
        self.shots += 1
        os.makedirs(self.artefacts, exist_ok=True)
        shot = os.path.join(self.artefacts, f"{self.name}-{self.shots:02d}-{label}.png")
        if not self.wayland:
            return self.x("import", "-window", "root", shot, check=False)
        taken = os.path.join(self.workdir, "shot.png")  # where the account may write
        self.x("grim", taken, check=False)
        if os.path.exists(taken):
            shutil.move(taken, shot)

    def check(self, condition, message):
        """Fails the scenario unless condition holds, saying what the display and the program show."""
        if not condition:
            self.screenshot("failed")
            shown = ([w[:6] for w in self.program_windows()] if self.program else [], self.active_window(),
                     (self.tray_icon() or ())[:6] or None, self.program and self.program.poll())
            raise ScenarioFailed(f"{message}\n  windows, active window, tray icon, exit status: {shown}")

    def wait_until(self, probe, what, timeout=TIMEOUT, fail=True, expect=None):
        """Polls probe() until its value is true (or equals expect) and returns that value."""
        deadline = time.monotonic() + timeout
        while True:
            value = probe()
            if (value == expect) if expect is not None else value:
                return value
            if time.monotonic() > deadline:
                self.check(not fail, f"timed out waiting for {what}; saw {value!r}"
                                     + ("" if expect is None else f", expected {expect!r}"))
                return value
            time.sleep(0.05)

    def stays(self, probe, seconds):
        """True when probe() holds for the whole time: for what must not happen."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            if not probe():
                return False
            time.sleep(0.05)
        return True


def _network_of_its_own():
    """The program's single-instance name (an abstract socket, one per user) is per network namespace: in one of
    the suite's own, no copy of the program outside the suite answers the scenarios' copies, nor they it."""
    libc, uid, gid = ctypes.CDLL("libc.so.6"), os.getuid(), os.getgid()
    if libc.unshare(0x40000000 if uid == 0 else 0x50000000):  # CLONE_NEWNET, with CLONE_NEWUSER but for root
        return print("no network namespace of the suite's own: other copies of the program may interfere")
    if uid:  # the same user inside a user namespace of its own
        for file, text in (("setgroups", "deny"), ("uid_map", f"{uid} {uid} 1"), ("gid_map", f"{gid} {gid} 1")):
            pathlib.Path(f"/proc/self/{file}").write_text(text)


def run_scenarios():
    _network_of_its_own()
    parser = argparse.ArgumentParser()
    parser.add_argument("--program-dir", required=True, help="the folder holding orvane and orvane-mkdb")
    parser.add_argument("--artefacts", required=True, help="where screenshots and logs go")
    parser.add_argument("only", nargs="*", help="run only these scenarios")
    args = parser.parse_args()
    failed = []
    for function, options in _scenarios:
        name = function.__name__
        if args.only and name not in args.only:
            continue
        started = time.monotonic()
        try:
            with Session(os.path.abspath(args.program_dir), args.artefacts, name, **options) as session:
                function(session)
            print(f"PASS {name} ({time.monotonic() - started:.1f} s)", flush=True)
        except Exception as error:  # report every scenario, then fail the test as a whole
            failed.append(name)
            print(f"FAIL {name}: {error}", flush=True)
            if not isinstance(error, ScenarioFailed):
                traceback.print_exc()
    sys.exit(f"failed: {', '.join(failed)}" if failed else 0)
