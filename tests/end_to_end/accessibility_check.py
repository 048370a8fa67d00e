#!/usr/bin/python3
# A screen reader's and a keyboard user's walk through the real program, over
# the accessibility bus (AT-SPI, as Orca reads it) and with keys pressed as a
# user presses them (xdotool). Prints one line per finding; the end-to-end
# test compares them with what the user should meet.
#
#   accessibility_check.py PROGRAM OPENED_FILE
#
# OPENED_FILE is where the stand-in browser writes each address it is asked to
# open. Every wait is bounded; a step that does not happen is printed as such.

import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

PROGRAM, OPENED = sys.argv[1], sys.argv[2]
TITLE = "{Brevan} WAN LAN TARNWICK v1.6"
ROLES = {
    pyatspi.ROLE_PUSH_BUTTON: "push button",
    pyatspi.ROLE_LINK: "link",
    pyatspi.ROLE_STATUS_BAR: "status",
    pyatspi.ROLE_LABEL: "text",
    pyatspi.ROLE_TEXT: "edit",
    pyatspi.ROLE_IMAGE: "picture",
    pyatspi.ROLE_PROGRESS_BAR: "progress bar",
    pyatspi.ROLE_PAGE_TAB: "page tab",
    pyatspi.ROLE_CHECK_BOX: "check box",
}
announced = []


def out(line):
    print(line, flush=True)


def pump(seconds, until=None):
    """Runs the bus's events for at most `seconds`, or until `until()` holds."""
    end = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while time.monotonic() < end:
        while context.pending():
            context.iteration(False)
        try:
            if until and until():
                return True
        except Exception:  # an object that went away while we looked
            pass
        time.sleep(0.05)
    return bool(until and until())


def states(node):
    try:
        return node.getState()
    except Exception:
        return None


def walk(node, depth=0):
    if node is None or depth > 40:
        return
    yield node
    for child in node:
        yield from walk(child, depth + 1)


def app():
    for candidate in pyatspi.Registry.getDesktop(0):
        if candidate is not None and (candidate.name or "").startswith("tarnwick"):
            return candidate
    return None


def frames(title):
    application = app()
    if application is None:
        return []
    return [f for f in application if f is not None and f.name == title]


def showing(node):
    s = states(node)
    return s is not None and s.contains(pyatspi.STATE_SHOWING)


def describe(node):
    role = ROLES.get(node.getRole(), node.getRoleName())
    line = '%s "%s"' % (role, node.name)
    if node.description:
        line += ' description "%s"' % node.description
    s = states(node)
    if s is not None and s.contains(pyatspi.STATE_PRESSED):
        line += " pressed"
    if node.getRole() == pyatspi.ROLE_TEXT:
        text = node.queryText()
        line += ' text "%s"' % text.getText(0, -1)
    return line


def shown_in(frame):
    return [n for n in walk(frame) if showing(n) and n.getRole() in ROLES]


def focused():
    """The control with the keyboard focus, as a screen reader names it. Qt
    reads the shown page's tab as focused wherever the focus is: another
    focused control is the one."""
    application = app()
    if application is None:
        return "(no program)"
    found = [n for n in walk(application) if n.getRole() in ROLES and showing(n) and
             states(n).contains(pyatspi.STATE_FOCUSED)]
    others = [n for n in found if n.getRole() != pyatspi.ROLE_PAGE_TAB]
    chosen = (others or found or [None])[-1]
    if chosen is None:
        return "(nothing)"
    return describe(chosen).split(" description ")[0].split(" text ")[0]


def status(frame):
    for node in walk(frame):
        if node.getRole() == pyatspi.ROLE_STATUS_BAR and node.name.startswith("Online Status:"):
            return node.name
    return ""


def gathered(frame):
    return status(frame) != "Online Status:" and status(frame) != ""


def on_showing(event):
    if event.detail1 and event.source.getRole() == pyatspi.ROLE_NOTIFICATION:
        announced.append(event.source.name)


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=False, capture_output=True, timeout=20)


def key(keys):
    xdotool("key", "--clearmodifiers", keys)
    pump(0.4)


def focus_window(title):
    found = subprocess.run(["xdotool", "search", "--name", "^%s$" % title.replace("{", "\\{")],
                           capture_output=True, text=True, timeout=20).stdout.split()
    if found:
        xdotool("windowfocus", "--sync", found[-1])
        pump(0.3)


def tab_to(line, limit=20):
    for _ in range(limit):
        if focused() == line:
            return True
        key("Tab")
    return focused() == line


def opened():
    try:
        with open(OPENED) as f:
            return [l.strip() for l in f if l.strip()]
    except OSError:
        return []


def main():
    pyatspi.Registry.registerEventListener(on_showing, "object:state-changed:showing")
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
               QT_QPA_PLATFORM="xcb", QT_SCALE_FACTOR="1")
    program = subprocess.Popen([PROGRAM], env=env)
    try:
        if not pump(30, lambda: frames(TITLE)):
            out("no window")
            return 1
        main_frame = frames(TITLE)[0]
        if not pump(60, lambda: gathered(main_frame)):
            out("not gathered: %s" % status(main_frame))
            return 1
        pump(1)
        # What a screen reader finds, and hears, when the gathering ends.
        for node in shown_in(main_frame):
            out("shown " + describe(node))
        out("status " + status(main_frame))
        for said in announced:
            out('announced "%s"' % said)
        out("focus " + focused())

        # The keyboard: once round the first page.
        focus_window(TITLE)
        start = focused()
        for _ in range(15):
            key("Tab")
            now = focused()
            out("tab " + now)
            if now == start:
                break

        # The link and the two report windows.
        tab_to('link "Your Wan Ip Is:"')
        key("Return")
        pump(3, lambda: len(opened()) >= 1)
        for caption, button, press in (("Adapter Info", "1", "Return"),
                                       ("Additional Adapter Info", "2", "space")):
            focus_window(TITLE)
            tab_to('push button "%s"' % button)
            key(press)
            if pump(20, lambda: frames(caption)):
                out('opened window "%s"' % caption)
                focus_window(caption)
                key("Escape")
                out('closed window "%s"' % caption if pump(10, lambda: not frames(caption))
                    else 'still open "%s"' % caption)
            else:
                out('no window "%s"' % caption)

        # Reload from the keyboard: the status is said again and the focus comes back.
        focus_window(TITLE)
        tab_to('push button "Reload"')
        del announced[:]
        key("space")
        pump(5, lambda: not gathered(frames(TITLE)[0]) if frames(TITLE) else False)
        if pump(60, lambda: frames(TITLE) and gathered(frames(TITLE)[0])):
            pump(1)
            main_frame = frames(TITLE)[0]
            out("reloaded " + status(main_frame))
            for said in announced:
                out('announced again "%s"' % said)
            out("focus after reload " + focused())

        # The pages, and the link on the last.
        focus_window(TITLE)
        for keys in ("ctrl+Tab", "ctrl+Next"):
            key(keys)
            out("%s %s" % (keys, focused()))
        tab_to('link "Visit %s"' % "", 0)
        for _ in range(4):
            if focused().startswith('link "Visit'):
                break
            key("Tab")
        key("space")
        pump(3, lambda: len(opened()) >= 2)
        for keys in ("ctrl+shift+Tab", "ctrl+Prior"):
            key(keys)
            out("%s %s" % (keys, focused()))
        for address in opened():
            out("browser " + address)
        return 0
    finally:
        program.terminate()
        try:
            program.wait(timeout=10)
        except subprocess.TimeoutExpired:
            program.kill()


if __name__ == "__main__":
    sys.exit(main())
