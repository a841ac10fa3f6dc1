"""End-to-end harness: the real program under Xvfb, openbox and trayer, driven by xdotool.

A scenario is a function that takes a Session. Each scenario gets a fresh display, window
manager, tray host and program folder; everything the session started is stopped by PID
when it ends, whatever happened. Screenshots land in the artefact folder.

    from harness import scenario, run_scenarios

    @scenario(database=True)
    def left_click_opens_the_dictionary(s):
        s.click_tray_icon(1)
        window = s.wait_for_window("Orvane")
        s.check(window.width == 673, "designed width")

    if __name__ == "__main__":
        run_scenarios()
"""

import argparse
import ctypes
import fcntl
import hashlib
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback
from dataclasses import dataclass

# How orvane.mdb is keyed and paged (the program's password; the writer's page size).
DATABASE_PASSWORD = "r^plokijuhy246813579"
DATABASE_PAGE_SIZE = 4096

SKIPPED = 77  # CTest's skip code (SKIP_RETURN_CODE)

_scenarios = []


def scenario(database=True, tray=True, help_file=True):
    """Registers a scenario. database/help_file: copy orvane.mdb/orvane.chm into the
    program folder; tray: start the tray host."""

    def register(function):
        _scenarios.append((function, dict(database=database, tray=tray, help_file=help_file)))
        return function

    return register


class ScenarioFailed(Exception):
    pass


class ScenarioSkipped(Exception):
    pass


@dataclass
class Window:
    id: int
    name: str
    x: int
    y: int
    width: int
    height: int
    types: str  # _NET_WM_WINDOW_TYPE atoms, e.g. "_NET_WM_WINDOW_TYPE_DIALOG"

    @property
    def is_dialog(self):
        return "_NET_WM_WINDOW_TYPE_DIALOG" in self.types

    @property
    def centre(self):
        return self.x + self.width // 2, self.y + self.height // 2


def _user_name():
    import pwd

    return pwd.getpwuid(os.getuid()).pw_name


def _die_with_parent():
    # If the harness itself is killed, its children go too.
    libc = ctypes.CDLL("libc.so.6", use_errno=True)
    libc.prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG
    os.setpgrp()


class Session:
    def __init__(self, program_dir, artefacts, name, database=True, tray=True, help_file=True):
        self.name = name
        self.artefacts = artefacts
        self.source_dir = program_dir
        self.want_database = database
        self.want_tray = tray
        self.want_help = help_file
        self.processes = {}  # name -> Popen, in start order
        self.program = None
        self.screenshot_count = 0
        self.workdir = tempfile.mkdtemp(prefix="orvane-e2e-")
        self.program_folder = os.path.join(self.workdir, "program")
        self.env = {k: v for k, v in os.environ.items() if k not in ("DBUS_SESSION_BUS_ADDRESS", "WAYLAND_DISPLAY")}
        # Without a session bus Qt embeds the icon through XEmbed into trayer.
        self.env.pop("QT_QPA_PLATFORM", None)
        runtime = os.path.join(self.workdir, "runtime")
        os.mkdir(runtime, 0o700)
        self.env["XDG_RUNTIME_DIR"] = runtime
        self.env["HOME"] = os.path.join(self.workdir, "home")
        os.mkdir(self.env["HOME"])

    # ---- set-up and tear-down -------------------------------------------------------

    def __enter__(self):
        try:
            self._take_turn()
            self._prepare_program_folder()
            self._start_display()
            self._start("openbox", ["openbox", "--sm-disable"])
            self.wait_until(lambda: self._root_property("_NET_SUPPORTING_WM_CHECK"), 10, "openbox to manage the screen")
            if self.want_tray:
                self._start("trayer", ["trayer", "--edge", "top", "--align", "right", "--widthtype", "request",
                                       "--height", "32", "--SetDockType", "true", "--transparent", "false",
                                       "--tint", "0x808080"])
                self.wait_until(self._tray_selection_owned, 10, "trayer to own the tray")
                # trayer owns the selection a moment before it answers dock requests.
                time.sleep(0.5)
            return self
        except BaseException:
            self.__exit__(None, None, None)
            raise

    def _take_turn(self):
        """The program runs once per user across all displays, so sessions of every
        build tree of this user take turns; a copy running outside them is reported."""
        self.turn = open(os.path.join(tempfile.gettempdir(), f"orvane-e2e-{os.getuid()}.lock"), "w")
        deadline = time.monotonic() + 600
        while True:
            try:
                fcntl.flock(self.turn, fcntl.LOCK_EX | fcntl.LOCK_NB)
                break
            except BlockingIOError:
                if time.monotonic() > deadline:
                    raise ScenarioFailed("another e2e session kept the turn for 10 minutes")
                time.sleep(0.2)
        with open("/proc/net/unix") as sockets:
            if any(line.rstrip().endswith("@orvane-" + _user_name()) for line in sockets):
                raise ScenarioFailed("a copy of the program already runs for this user; end it first")

    def __exit__(self, exc_type, exc, trace):
        for name, process in reversed(list(self.processes.items())):
            if process.poll() is None:
                try:
                    os.killpg(process.pid, signal.SIGTERM)
                except ProcessLookupError:
                    pass
                try:
                    process.wait(3)
                except subprocess.TimeoutExpired:
                    os.killpg(process.pid, signal.SIGKILL)
                    process.wait()
        if exc_type is not None and not issubclass(exc_type, ScenarioSkipped):
            self._keep_logs()
        shutil.rmtree(self.workdir, ignore_errors=True)
        if getattr(self, "turn", None) is not None:
            self.turn.close()  # gives the turn to the next session
        return False

    def _keep_logs(self):
        """A failed scenario keeps the logs of what it started beside its screenshots,
        and shows their last lines."""
        kept = os.path.join(self.artefacts, f"{self.name}-logs")
        os.makedirs(kept, exist_ok=True)
        for file in sorted(os.listdir(self.workdir)):
            if file.endswith(".log"):
                shutil.copy2(os.path.join(self.workdir, file), kept)
                with open(os.path.join(self.workdir, file), "rb") as log:
                    tail = log.read()[-1500:].decode(errors="replace").strip()
                if tail:
                    print(f"--- {file} (last lines)\n{tail}", flush=True)

    def _prepare_program_folder(self):
        os.mkdir(self.program_folder)
        shutil.copy2(os.path.join(self.source_dir, "orvane"), self.program_folder)
        for wanted, file in ((self.want_database, "orvane.mdb"), (self.want_help, "orvane.chm")):
            source = os.path.join(self.source_dir, file)
            if wanted:
                if not os.path.exists(source):
                    raise ScenarioSkipped(f"{file} is not built")
                shutil.copy2(source, self.program_folder)
        self.folder_before = self._folder_digest()

    def _folder_digest(self):
        digest = {}
        for file in sorted(os.listdir(self.program_folder)):
            with open(os.path.join(self.program_folder, file), "rb") as f:
                digest[file] = hashlib.sha256(f.read()).hexdigest()
        return digest

    def query_database(self, sql):
        """Rows of a SELECT on the program's orvane.mdb, read with the sqlcipher shell.
        Every selected column must be text; values come back as str (None for null)."""
        database = os.path.join(self.program_folder, "orvane.mdb")
        # hex() keeps line breaks and separators inside values from splitting rows.
        columns = sql.split(" FROM ", 1)[0].removeprefix("SELECT ").split(", ")
        hexed = "SELECT " + ", ".join(f"quote(hex({c})), {c} IS NULL" for c in columns) + " FROM " + sql.split(" FROM ", 1)[1]
        script = (f"PRAGMA key = '{DATABASE_PASSWORD}';\nPRAGMA cipher_page_size = {DATABASE_PAGE_SIZE};\n"
                  f".headers off\n.mode list\n.separator |\n{hexed};\n")
        try:
            result = subprocess.run(["sqlcipher", database], input=script, capture_output=True, text=True, timeout=60)
        except FileNotFoundError:
            raise ScenarioFailed("the sqlcipher shell is needed to read the database under test")
        if result.returncode != 0 or "Error" in result.stderr:
            raise ScenarioFailed(f"sqlcipher could not read {database}: {result.stderr.strip()}")
        rows = []
        for line in result.stdout.splitlines():
            if not line or line == "ok":  # some versions answer the key pragma
                continue
            fields = line.split("|")
            rows.append(tuple(None if is_null == "1" else bytes.fromhex(value.strip("'")).decode("utf-8")
                              for value, is_null in zip(fields[0::2], fields[1::2])))
        return rows

    def program_folder_unchanged(self):
        return self._folder_digest() == self.folder_before

    def _start_display(self):
        read_end, write_end = os.pipe()
        self._start("Xvfb", ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x800x24", "-nolisten", "tcp"],
                    pass_fds=(write_end,))
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + 15
        while not number.endswith(b"\n") and time.monotonic() < deadline:
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
        os.close(read_end)
        if not number.strip():
            raise ScenarioFailed("Xvfb did not start")
        self.env["DISPLAY"] = ":" + number.decode().strip()

    def _start(self, name, argv, **options):
        log = open(os.path.join(self.workdir, name + ".log"), "wb")
        process = subprocess.Popen(argv, env=self.env, stdout=log, stderr=subprocess.STDOUT,
                                   preexec_fn=_die_with_parent, cwd=self.workdir, **options)
        self.processes[name + (str(len(self.processes)) if name in self.processes else "")] = process
        return process

    # ---- the program ----------------------------------------------------------------

    def start_program(self, wait_for_icon=None):
        """Starts the program copy; by default waits for its tray icon when a tray runs."""
        started = time.monotonic()
        self.program = self._start("orvane", [os.path.join(self.program_folder, "orvane")])
        if wait_for_icon if wait_for_icon is not None else self.want_tray:
            self.wait_until(self.tray_icon, 10, "the tray icon")
        self.start_seconds = time.monotonic() - started
        return self.program

    def run_second_copy(self, timeout=2.0):
        """Runs another copy of the program and returns its exit code (None: still running)."""
        process = self._start("second-copy", [os.path.join(self.program_folder, "orvane")])
        try:
            return process.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def program_rss_mb(self):
        """Resident memory of the running program, in MB."""
        with open(f"/proc/{self.program.pid}/status") as status:
            for line in status:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1]) / 1024
        return 0.0

    def program_log(self):
        with open(os.path.join(self.workdir, "orvane.log"), "rb") as f:
            return f.read().decode(errors="replace")

    # ---- X helpers ------------------------------------------------------------------

    def x(self, *argv, check=True):
        result = subprocess.run(argv, env=self.env, capture_output=True, text=True, timeout=20)
        if check and result.returncode != 0:
            raise ScenarioFailed(f"{' '.join(argv)} failed: {result.stderr.strip()}")
        return result.stdout

    def _root_property(self, name):
        out = self.x("xprop", "-root", name, check=False)
        return "not found" not in out and "no such atom" not in out and out.strip() != ""

    def _tray_selection_owned(self):
        """Whether a tray host owns the system tray selection of screen 0."""
        xlib = ctypes.CDLL("libX11.so.6")
        xlib.XOpenDisplay.restype = ctypes.c_void_p
        xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        xlib.XInternAtom.restype = ctypes.c_ulong
        xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        xlib.XGetSelectionOwner.restype = ctypes.c_ulong
        xlib.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
        display = xlib.XOpenDisplay(self.env["DISPLAY"].encode())
        if not display:
            return False
        try:
            return xlib.XGetSelectionOwner(display, xlib.XInternAtom(display, b"_NET_SYSTEM_TRAY_S0", 0)) != 0
        finally:
            xlib.XCloseDisplay(display)

    def _trayer_windows(self):
        return [int(w) for w in self.x("xdotool", "search", "--class", "trayer", check=False).split()]

    def _descendants(self, window):
        out = self.x("xwininfo", "-tree", "-id", str(window), check=False)
        ids = []
        for line in out.splitlines():
            line = line.strip()
            if line.startswith("0x"):
                ids.append(int(line.split()[0], 16))
        return ids

    def _geometry(self, window):
        out = self.x("xwininfo", "-id", str(window), check=False)
        info = {}
        for line in out.splitlines():
            if ":" in line:
                key, _, value = line.strip().partition(":")
                info[key.strip()] = value.strip()
        return info

    def tray_icon(self):
        """The viewable XEmbed client inside trayer, as a Window, or None."""
        embedded = [w for trayer in self._trayer_windows() for w in self._descendants(trayer)]
        for window in embedded:
            if "_XEMBED_INFO(" not in self.x("xprop", "-id", str(window), "_XEMBED_INFO", check=False):
                continue
            info = self._geometry(window)
            if info.get("Map State") == "IsViewable" and int(info.get("Width", 0)) > 1:
                return Window(window, "", int(info["Absolute upper-left X"]), int(info["Absolute upper-left Y"]),
                              int(info["Width"]), int(info["Height"]), "")
        return None

    def _window(self, window):
        info = self._geometry(window)
        if info.get("Map State") != "IsViewable":
            return None
        title = self.x("xdotool", "getwindowname", str(window), check=False).rstrip("\n")
        types = self.x("xprop", "-id", str(window), "_NET_WM_WINDOW_TYPE", check=False)
        return Window(window, title, int(info["Absolute upper-left X"]), int(info["Absolute upper-left Y"]),
                      int(info["Width"]), int(info["Height"]), types)

    def windows(self, name):
        """The visible windows with exactly this title."""
        ids = self.x("xdotool", "search", "--onlyvisible", "--name", f"^{name}$", check=False).split()
        return [w for w in map(self._window, map(int, ids)) if w is not None and w.name == name]

    def windows_named_like(self, text):
        """Visible windows whose title contains text (any process)."""
        ids = self.x("xdotool", "search", "--onlyvisible", "--name", re.escape(text), check=False).split()
        return [w for w in map(self._window, map(int, ids)) if w is not None and text in w.name]

    def kill_window_owner(self, window):
        """Ends the process that owns a window (e.g. a viewer the program started)."""
        pid = self.x("xdotool", "getwindowpid", str(window.id), check=False).strip()
        if pid.isdigit() and int(pid) != self.program.pid:
            os.kill(int(pid), signal.SIGTERM)

    def program_windows(self):
        """Visible windows of the program (menus included) other than its tray icon."""
        ids = self.x("xdotool", "search", "--onlyvisible", "--pid", str(self.program.pid), check=False).split()
        icon = self.tray_icon()
        found = [w for w in map(self._window, map(int, ids)) if w is not None]
        return [w for w in found if (icon is None or w.id != icon.id) and w.width > 1 and w.height > 1]

    def dialogs(self):
        return [w for w in self.program_windows() if w.is_dialog]

    def message_boxes(self):
        """The program's open message boxes: dialogs captioned with the program's name."""
        return [w for w in self.dialogs() if w.name == "Orvane"]

    def wait_for_window(self, name, timeout=5):
        return self.wait_until(lambda: (self.windows(name) or [None])[0], timeout, f'a window titled "{name}"')

    def active_window_name(self):
        return self.x("xdotool", "getactivewindow", "getwindowname", check=False).rstrip("\n")

    # ---- input ----------------------------------------------------------------------

    def move_pointer(self, x, y):
        # "mousemove --sync" waits for a motion, which never comes when the pointer is
        # already there.
        location = self.x("xdotool", "getmouselocation", "--shell", check=False)
        if f"X={x}\nY={y}\n" not in location:
            self.x("xdotool", "mousemove", "--sync", str(x), str(y))

    def click_at(self, x, y, button=1):
        self.move_pointer(x, y)
        self.x("xdotool", "click", str(button))

    def click_window(self, window, dx=None, dy=None, button=1):
        """Clicks inside a window, at its centre unless offsets from its top-left are given."""
        x, y = window.centre if dx is None else (window.x + dx, window.y + dy)
        self.click_at(x, y, button)

    def click_tray_icon(self, button=1):
        icon = self.wait_until(self.tray_icon, 5, "the tray icon")
        self.click_window(icon, button=button)
        return icon

    def press_on_tray_icon(self, button=1):
        icon = self.wait_until(self.tray_icon, 5, "the tray icon")
        self.move_pointer(*icon.centre)
        self.x("xdotool", "mousedown", str(button))
        return icon

    def release(self, button=1, at=None):
        if at is not None:
            self.move_pointer(*at)
        self.x("xdotool", "mouseup", str(button))

    def key(self, *keys):
        self.x("xdotool", "key", "--clearmodifiers", *keys)

    def type_text(self, text):
        self.x("xdotool", "type", "--delay", "30", text)

    def choose_tray_menu_item(self, caption):
        """Opens the tray menu with a right click and chooses an item by its caption."""
        order = ["About", "Help", "Dictionary", "Exit"]  # separators are skipped by the keys
        self.click_tray_icon(3)
        time.sleep(0.5)
        self.key(*(["Down"] * (order.index(caption) + 1)), "Return")

    def clipboard(self):
        return self.x("xclip", "-o", "-selection", "clipboard", check=False)

    def message_box_text(self, box):
        """The first line of a message box's text: a triple click selects it, and the
        selection is read back (the text starts to the right of any icon)."""
        self.move_pointer(box.x + min(75, box.width - 30), box.y + 20)
        self.x("xdotool", "click", "--repeat", "3", "--delay", "80", "1")
        time.sleep(0.3)
        return self.x("xclip", "-o", "-selection", "primary", check=False)

    def dismiss_message_box(self, box):
        """Closes a message box with Escape (its OK button is the escape button); the
        key goes to the box itself, retried while the window manager is still busy."""
        for _ in range(3):
            self.x("xdotool", "windowactivate", "--sync", str(box.id), check=False)
            self.key("Escape")
            deadline = time.monotonic() + 1.5
            while time.monotonic() < deadline:
                if box.id not in [w.id for w in self.message_boxes()]:
                    return
                time.sleep(0.1)
        self.check(False, "the message box did not close")

    def copy_text_of_focused_box(self):
        """Selects all of the focused box, copies it and returns the clipboard's text."""
        self.key("ctrl+a")
        self.key("ctrl+c")
        time.sleep(0.3)
        return self.clipboard()

    # ---- checks and artefacts -------------------------------------------------------

    def screenshot(self, label):
        self.screenshot_count += 1
        os.makedirs(self.artefacts, exist_ok=True)
        path = os.path.join(self.artefacts, f"{self.name}-{self.screenshot_count:02d}-{label}.png")
        self.x("import", "-window", "root", path, check=False)
        return path

    def check(self, condition, message):
        if not condition:
            self.screenshot("failed")
            raise ScenarioFailed(message)

    def wait_until(self, probe, timeout, what):
        deadline = time.monotonic() + timeout
        while True:
            value = probe()
            if value:
                return value
            if time.monotonic() > deadline:
                self.screenshot("timeout")
                log = self.program_log() if self.program is not None else ""
                raise ScenarioFailed(f"timed out waiting for {what}" + (f"; program output:\n{log}" if log else ""))
            time.sleep(0.1)

    def stays(self, probe, seconds):
        """True when probe() stays true for the whole time."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            if not probe():
                return False
            time.sleep(0.1)
        return True


def run_scenarios():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program-dir", required=True, help="the folder holding orvane, orvane.mdb, orvane.chm")
    parser.add_argument("--artefacts", required=True, help="where screenshots go")
    parser.add_argument("only", nargs="*", help="run only these scenarios")
    args = parser.parse_args()

    failed, passed, skipped = [], [], []
    for function, options in _scenarios:
        name = function.__name__
        if args.only and name not in args.only:
            continue
        started = time.monotonic()
        try:
            with Session(args.program_dir, args.artefacts, name, **options) as session:
                function(session)
                session.screenshot("end")
            passed.append(name)
            print(f"PASS {name} ({time.monotonic() - started:.1f} s)", flush=True)
        except ScenarioSkipped as reason:
            skipped.append(name)
            print(f"SKIP {name}: {reason}", flush=True)
        except Exception as error:  # report every scenario, then fail the test as a whole
            failed.append(name)
            print(f"FAIL {name}: {error}", flush=True)
            if not isinstance(error, ScenarioFailed):
                traceback.print_exc()
    print(f"{len(passed)} passed, {len(failed)} failed, {len(skipped)} skipped; screenshots in {args.artefacts}")
    if failed:
        sys.exit(1)
    if skipped and not passed:
        sys.exit(SKIPPED)
