"""Bad database files end to end: the real program with a damaged orvane.mdb beside it.
Each activation that needs the database shows "unexpected error" and then "Cannot
continue", once; the program keeps running and its windows stay usable."""

import os
import random
import time

from harness import run_scenarios, scenario

PICKER_BUTTON = (16, 368)        # "#" in the dictionary window (pixels = twips / 15)
TRANSLITERATION_BOX = (260, 372)
TRANSLITERATION_OK = (351, 372)
FAILED_OPEN = ["unexpected error", "Cannot continue"]


def replace_database(s, damage):
    """Puts damage(path) in place of the program's orvane.mdb before the program starts."""
    path = os.path.join(s.program_folder, "orvane.mdb")
    damage(path)


def answer_messages(s, what, then_quiet=True):
    """Reads and dismisses the message boxes of one failed activation, in order. The
    picker's box carries the picker's caption, so every dialog of the program counts."""
    texts = []
    for _ in FAILED_OPEN:
        box = s.wait_until(lambda: s.dialogs() or None, 5, f"a message after {what}")[0]
        texts.append(s.message_box_text(box))
        s.x("xdotool", "windowactivate", "--sync", str(box.id), check=False)
        s.key("Escape")
        s.wait_until(lambda: box.id not in [w.id for w in s.dialogs()] or None, 5, "the message box to close")
    s.check(texts == FAILED_OPEN, f"messages after {what}: {texts}")
    if then_quiet:
        s.check(s.stays(lambda: not s.dialogs(), 1.5), f"a further message after {what}")


def answer_further_activations(s, what):
    """Focus that comes back to a window of the program from the message box that just
    closed is a new activation (the window manager decides which window gets it): each
    must bring exactly one more pair, and they must come to an end."""
    for _ in range(3):
        if not s.stays(lambda: not s.dialogs(), 1.5):
            answer_messages(s, what, then_quiet=False)
    s.check(s.stays(lambda: not s.dialogs(), 1.5), f"messages kept coming after {what}")


def opens_with_messages_and_stays_usable(s, damage):
    replace_database(s, damage)
    s.start_program()
    s.click_tray_icon(1)
    answer_messages(s, "opening the dictionary")
    window = [w for w in s.windows("Orvane") if not w.is_dialog][0]

    s.click_window(window, *PICKER_BUTTON)
    answer_messages(s, "opening the picker", then_quiet=False)
    answer_further_activations(s, "the picker's message")
    s.check(s.wait_for_window("Insert Characters") is not None, "the picker did not open")
    s.screenshot("picker-over-bad-file")

    # The picker and the dictionary are both still there; a search shows nothing and no message.
    s.x("xdotool", "windowactivate", "--sync", str(window.id), check=False)
    time.sleep(0.5)
    answer_further_activations(s, "returning to the dictionary")
    s.click_window(window, *TRANSLITERATION_BOX)
    s.type_text("psych")
    s.click_window(window, *TRANSLITERATION_OK)
    s.check(s.stays(lambda: not s.dialogs(), 1.5), "a search on a bad file showed a message")
    s.check(s.program.poll() is None, "the program ended")


def zero_bytes(path):
    open(path, "wb").close()


def random_bytes(path):
    with open(path, "wb") as f:
        f.write(random.Random(7).randbytes(64 * 1024))


def truncated(path):
    with open(path, "rb") as f:
        head = f.read(3000)
    with open(path, "wb") as f:
        f.write(head)


def directory(path):
    os.remove(path)
    os.mkdir(path)


@scenario(help_file=False)
def zero_byte_database(s):
    opens_with_messages_and_stays_usable(s, zero_bytes)


@scenario(help_file=False)
def random_bytes_database(s):
    opens_with_messages_and_stays_usable(s, random_bytes)


@scenario(help_file=False)
def truncated_database(s):
    opens_with_messages_and_stays_usable(s, truncated)


@scenario(help_file=False)
def directory_named_like_the_database(s):
    opens_with_messages_and_stays_usable(s, directory)


if __name__ == "__main__":
    run_scenarios()
