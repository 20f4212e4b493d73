"""The console as a screen reader meets it, through AT-SPI only.

Usage (run_on_bus.sh sets up the display and the bus): screen_reader_test.py
CONSOLE WALLSIM. Two wallsim boxes on loopback, each behind a relay that
records every line the console sends it. The console's window is found on
the accessibility bus and every control is read as a screen reader composes
what it says: the caption (the labels the control is labelled by, else its
name), the role, and the value (a list's name, text and selected popup entry
alike, a text box's text, a tick, a percentage). Page by page, the whole
window is held against what it shows, which the console tells on its
standard output: after Connect, and after values change on a box. A value
that the console changes is announced once, by the name change screen
readers follow on a list and the checked-state change on a check box or an
option. A message box is an alert that tells its text, and when it closes the
focus is back on the control pressed. Every kind of control is operated as a
screen reader operates it, and each operation reaches the boxes exactly once.
"""

import collections
import json
import socket
import subprocess
import sys
import threading
import time

import pyatspi
from gi.repository import Atspi, GLib

PATIENCE = 30  # seconds: the one deadline of every wait
PAGES = ("TV Wall (1)", "TV Wall (2)", "TV Wall (3)", "I/O Setup", "Image Adjust")
# The change event a reader follows, by role; a progress bar announces every step it takes.
CHANGE_EVENTS = {
    pyatspi.ROLE_COMBO_BOX: "object:property-change:accessible-name",
    pyatspi.ROLE_LABEL: "object:property-change:accessible-name",
    pyatspi.ROLE_CHECK_BOX: "object:state-changed:checked",
    pyatspi.ROLE_RADIO_BUTTON: "object:state-changed:checked",
}
READ = {
    pyatspi.ROLE_LABEL,
    pyatspi.ROLE_PUSH_BUTTON,
    pyatspi.ROLE_CHECK_BOX,
    pyatspi.ROLE_RADIO_BUTTON,
    pyatspi.ROLE_COMBO_BOX,
    pyatspi.ROLE_TEXT,
    pyatspi.ROLE_PROGRESS_BAR,
}


def wait_for(what, condition):
    deadline = time.monotonic() + PATIENCE
    while not (result := condition()):
        if time.monotonic() > deadline:
            raise AssertionError(f"no {what} within {PATIENCE} s")
        time.sleep(0.02)
    return result


class Relay:
    """A box as the console reaches it: its lines recorded, then passed on."""

    def __init__(self, address, box_port):
        self.box = (address, box_port)
        self.lines = []
        self.arrived = threading.Condition()
        self.server = socket.create_server((address, 0))
        self.port = self.server.getsockname()[1]
        threading.Thread(target=self.accept, args=(address, box_port), daemon=True).start()

    def accept(self, address, box_port):
        while True:
            console, _ = self.server.accept()
            box = socket.create_connection((address, box_port))
            threading.Thread(target=self.pump, args=(console, box, True), daemon=True).start()
            threading.Thread(target=self.pump, args=(box, console, False), daemon=True).start()

    def pump(self, source, sink, record):
        pending = b""
        try:
            while data := source.recv(4096):
                sink.sendall(data)
                if record:
                    *whole, pending = (pending + data).split(b"\n")
                    with self.arrived:
                        self.lines += [line.decode().rstrip() for line in whole]
                        self.arrived.notify_all()
        except OSError:
            pass  # the console went offline
        sink.close()

    def wait_for(self, line, count=1):
        with self.arrived:
            if not self.arrived.wait_for(lambda: self.lines.count(line) >= count, PATIENCE):
                raise AssertionError(f"{line!r} did not reach the box; it got {self.lines}")


def place(control):
    extents = control.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return (extents.x, extents.y, extents.width, extents.height)


def has(control, state):
    return control.getState().contains(state)


def text_of(control):
    return control.queryText().getText(0, -1)


def labels_of(control):
    return [
        relation.getTarget(k)
        for relation in control.getRelationSet()
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY
        for k in range(relation.getNTargets())
    ]


def caption(control):
    return " ".join(label.name for label in labels_of(control)) or control.name


def stands_before(label, control):
    """Left of the control on its row, or above it in its column: read before it."""
    lx, ly, lw, lh = place(label)
    cx, cy, cw, ch = place(control)
    same_row = ly < cy + ch and cy < ly + lh
    same_column = lx < cx + cw and cx < lx + lw
    return (same_row and lx + lw <= cx) or (same_column and ly + lh <= cy)


def value(control):
    """What a reader says after the role; every way a list tells its value agrees."""
    role = control.getRole()
    if role == pyatspi.ROLE_COMBO_BOX:
        shown = text_of(control)
        entries = [entry for entry in control[0]]
        selected = [entry.name for entry in entries if has(entry, pyatspi.STATE_SELECTED)]
        assert control.name == shown, f"list named {control.name!r} shows {shown!r}"
        assert selected in ([shown], []), f"list {shown!r} selects {selected} in its popup"
        if has(control, pyatspi.STATE_EDITABLE):
            field = next(child for child in control if child.getRole() == pyatspi.ROLE_TEXT)
            said = (field.name, text_of(field))
            assert said == (caption(control), shown), f"the edit field of {caption(control)!r} says {said}"
        else:
            assert selected == ([shown] if shown else []), f"list {shown!r} selects {selected}"
        return shown
    if role == pyatspi.ROLE_TEXT:
        return text_of(control)
    if role in (pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_RADIO_BUTTON):
        return "checked" if has(control, pyatspi.STATE_CHECKED) else "not checked"
    if role == pyatspi.ROLE_PROGRESS_BAR:
        return f"{control.queryValue().currentValue:g} percent"
    return ""


def announcement(control):
    return ", ".join(part for part in (caption(control), control.getRoleName(), value(control)) if part)


HEARD = collections.Counter()  # (place, event type) of every change announced


def hear(event):
    try:
        role, at = event.source.getRole(), place(event.source)
    except GLib.Error:
        return  # gone, as the labels of a closed alert are
    if CHANGE_EVENTS.get(role) == event.type:
        HEARD[at, event.type] += 1


class Console:
    """The console's process and what its window shows, by each control's place on the screen."""

    def __init__(self, program, arguments):
        self.process = subprocess.Popen(
            [program, *arguments], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True
        )

    def shown(self):
        self.process.stdin.write("\n")
        self.process.stdin.flush()
        return {tuple(entry.pop("place")): entry for entry in json.loads(self.process.stdout.readline())}


class Window:
    """The console's window as AT-SPI shows it, and the changes it announces."""

    def __init__(self, console):
        def app():
            assert console.process.poll() is None, f"the console ended with {console.process.returncode}"
            desktop = pyatspi.Registry.getDesktop(0)
            # The list of applications, read before the console joined, is not kept.
            desktop.clear_cache()
            return next((app for app in desktop if app and app.get_process_id() == console.process.pid), None)

        self.console = console
        self.app = wait_for("console on the accessibility bus", app)
        # Every read asks the console, never a cache filled before its change.
        self.app.set_cache_mask(Atspi.Cache.NONE)
        self.main = self.app[0]
        self.pressed = None

    def settled(self):
        """Every change announced so far is heard: the console answers after the events it sent before."""
        assert self.main.name
        while GLib.MainContext.default().iteration(False):
            pass

    def controls(self, root=None):
        """Every showing control a reader visits; a list's entries and edit field are read with the list."""
        for child in root or self.main:
            if not has(child, pyatspi.STATE_SHOWING):
                continue
            if child.getRole() in READ:
                yield child
            if child.getRole() not in (pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_ALERT):
                yield from self.controls(child)

    def find(self, name, role, root=None):
        """The one control a reader calls by this caption, with this role."""
        found = [c for c in self.controls(root) if c.getRole() == role and caption(c) == name]
        assert len(found) == 1, f"{len(found)} controls called {name!r} with role {pyatspi.Role(role)}"
        return found[0]

    @staticmethod
    def act(control, action):
        actions = control.queryAction()
        names = [actions.getName(k) for k in range(actions.nActions)]
        assert action in names, f"{caption(control)!r} offers {names}, not {action}"
        actions.doAction(names.index(action))

    def press(self, name):
        """As a reader's user presses a button: moves to it, then presses it."""
        self.pressed = self.find(name, pyatspi.ROLE_PUSH_BUTTON)
        self.act(self.pressed, "SetFocus")
        wait_for(f"focus on {name}", lambda: has(self.pressed, pyatspi.STATE_FOCUSED))
        self.act(self.pressed, "Press")

    def answer(self, text, button):
        """The alert tells its text; answered, it gives the focus back to the control pressed."""

        def alert():
            # A window that closes while the list is read stands in it as None.
            return next((d for d in self.app if d is not None and d.getRole() == pyatspi.ROLE_ALERT), None)

        box = wait_for(f"alert {text!r}", alert)
        assert box.description == text, f"the alert tells {box.description!r}, not {text!r}"
        self.act(self.find(button, pyatspi.ROLE_PUSH_BUTTON, box), "Press")
        wait_for(f"alert {text!r} to close", lambda: alert() is None)
        wait_for(f"focus back on {self.pressed.name}", lambda: has(self.pressed, pyatspi.STATE_FOCUSED))

    def show_page(self, button):
        self.press(button)
        page = wait_for(f"page {button}", lambda: next((p for p in self.main if p.name == f"{button} page"), None))
        wait_for(f"page {button} showing", lambda: has(page, pyatspi.STATE_SHOWING))

    def read(self):
        """Every control showing, as a reader announces it, held against what the window shows there.

        Returns, by each control's place on the bus, its caption, role and
        announcement, and where the window shows it and what (the bus places
        a check box or an option by its box and text only).
        """
        shown = self.console.shown()
        unheard = set(shown)
        heard = {}
        for control in self.controls():
            at, said, role = place(control), announcement(control), control.getRole()
            x, y = at[0] + at[2] // 2, at[1] + at[3] // 2
            where = next((p for p in shown if p[0] <= x < p[0] + p[2] and p[1] <= y < p[1] + p[3]), None)
            assert where in unheard, f"{said!r} at {at}: the window shows nothing else there"
            unheard.remove(where)
            screen = shown[where]
            heard[at] = (caption(control), role, said, where, screen)
            if role == pyatspi.ROLE_LABEL:
                assert control.name == screen["text"], f"label {control.name!r} reads {screen['text']!r}"
            elif role in (pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_TEXT, pyatspi.ROLE_PROGRESS_BAR):
                unit = " percent" if role == pyatspi.ROLE_PROGRESS_BAR else ""
                assert said.endswith(screen["text"] + unit), f"{said!r} for {screen['text']!r}"
            else:
                assert screen["text"] in control.name, f"{said!r} for {screen['text']!r}"
                assert ("ticked" in screen) == (role != pyatspi.ROLE_PUSH_BUTTON)
                assert screen.get("ticked", False) == has(control, pyatspi.STATE_CHECKED), f"{said!r}"
            labels = labels_of(control)
            assert all(label.getRole() == pyatspi.ROLE_LABEL for label in labels), f"{said!r} by {labels}"
            assert all(has(label, pyatspi.STATE_SHOWING) and stands_before(label, control) for label in labels), (
                f"{said!r} is labelled by what is read after it"
            )
            if role == pyatspi.ROLE_COMBO_BOX:
                assert labels, f"{said!r} is labelled by no caption"
            assert caption(control), f"{said!r} has no caption"
        assert not unheard, f"shown but not heard: {[shown[p] for p in unheard]}"
        return heard

    def changes(self, action):
        """Does the action; every control whose shown value it changes announces the change once, no other one."""
        before = self.console.shown()
        self.settled()
        HEARD.clear()
        action()
        self.settled()
        read = self.read()
        changed = collections.Counter(
            (at, CHANGE_EVENTS[role])
            for at, (_, role, _, where, screen) in read.items()
            if role in CHANGE_EVENTS and before.get(where, screen) != screen
        )
        heard = collections.Counter({key: count for key, count in HEARD.items() if key[0] in read})
        assert heard == changed, f"announced {dict(heard)}, changed {dict(changed)}"


def run(window, first, second):
    """Reads and operates the window; returns the lines each box should have got by now."""
    expected = [collections.Counter(), collections.Counter()]

    def reaches(line, boxes):
        for box in boxes:
            expected[box][line] += 1
            (first, second)[box].wait_for(line, expected[box][line])

    title = window.main.name

    def connect():
        window.press("Connect")
        window.answer("Refresh completed !", "OK")

    window.changes(connect)
    assert window.main.name.startswith(title + " ") and "FW: " in window.main.name, window.main.name

    # The whole window, page by page: no two controls that a reader operates are called alike.
    heard = {}
    for page in PAGES:
        window.show_page(page)
        heard.update(window.read())
    called = collections.Counter((name, role) for name, role, *_ in heard.values() if role != pyatspi.ROLE_LABEL)
    assert max(called.values()) == 1, [name for name, count in called.items() if count > 1]

    # Values change on the box; the page's Refresh reads them back and announces each once.
    window.show_page("I/O Setup")
    mute = window.find("Mute ON", pyatspi.ROLE_RADIO_BUTTON)

    def refresh():
        window.press("I/O Setup Refresh")
        wait_for("the mute read back", lambda: has(mute, pyatspi.STATE_CHECKED))

    with socket.create_connection(first.box) as box:
        box.sendall(b"SRES 5\nSOSDH 9\nSMUTE 1\n")
        window.changes(refresh)
    resolution = window.find("Output Resolution", pyatspi.ROLE_COMBO_BOX)
    assert announcement(resolution) == "Output Resolution, combo box, 1024x768@60", announcement(resolution)

    # Check box and option buttons: "ALL IP Mute" sends the mute to both boxes.
    all_ip = window.find("ALL IP Mute", pyatspi.ROLE_CHECK_BOX)
    options = {value: window.find(f"Mute {value}", pyatspi.ROLE_RADIO_BUTTON) for value in ("ON", "OFF")}

    def choose(value, boxes):
        def toggle():
            window.act(options[value], "Toggle")
            reaches(f"SMUTE {1 if value == 'ON' else 0}", boxes)

        window.changes(toggle)
        assert has(options[value], pyatspi.STATE_CHECKED), f"Mute {value} not shown"

    window.act(all_ip, "Toggle")
    wait_for("ALL IP Mute ticked", lambda: has(all_ip, pyatspi.STATE_CHECKED))
    choose("OFF", (0, 1))
    choose("ON", (0, 1))
    window.act(all_ip, "Toggle")
    wait_for("ALL IP Mute cleared", lambda: not has(all_ip, pyatspi.STATE_CHECKED))
    choose("OFF", (0,))

    # A list takes a choice as its popup's selected entry, and announces it once.
    for name, word in (("OSD Display Timeout", "SOSDT"), ("OSD H Offset", "SOSDH")):
        listed = window.find(name, pyatspi.ROLE_COMBO_BOX)
        entry = next(entry for entry in listed[0] if entry.name != listed.name)

        def select():
            window.act(entry, "Toggle")
            reaches(f"{word} {entry.name.strip()}", (0,))

        window.changes(select)
        assert announcement(listed) == f"{name}, combo box, {entry.name}", announcement(listed)

    # Typed into editable lists and a text box, then sent by a button.
    window.show_page("TV Wall (2)")
    for label in ("Row", "Column"):
        field = window.find(label, pyatspi.ROLE_TEXT, window.find(label, pyatspi.ROLE_COMBO_BOX))
        field.queryEditableText().setTextContents("3")
        wait_for(f"{label} showing 3", lambda: text_of(field) == "3")
    window.press("Manual setup Send")
    reaches("SMN 3 3", (0,))
    address = window.find("IP Address", pyatspi.ROLE_TEXT)
    address.queryEditableText().setTextContents("192.168.001.123")
    window.press("Set IP")
    reaches("SIPA 192.168.001.123", (0,))
    assert text_of(address) == "192.168.001.123"

    # Layout hot keys go to every box: once both have it, every earlier line has arrived.
    window.show_page("TV Wall (1)")
    window.press("2x2")
    reaches("SHOT 1", (0, 1))
    return expected, len(heard)


def main():
    program, wallsim = sys.argv[1:3]
    sim = subprocess.Popen([wallsim, "127.0.0.1:0", "127.0.0.2:0"], stdout=subprocess.PIPE, text=True)
    boxes = [sim.stdout.readline().split()[1:] for _ in range(2)]  # listening ADDRESS PORT MAC
    relays = [Relay(address, int(port)) for address, port, _ in boxes]
    arguments = []
    for (address, port, mac), relay in zip(boxes, relays):
        arguments += [address, str(relay.port), mac]
    # Listening as a reader does, from before the console starts. Qt tells a
    # list's new name only to a reader that follows values too, as readers do.
    changes = (*set(CHANGE_EVENTS.values()), "object:property-change:accessible-value")
    pyatspi.Registry.registerEventListener(hear, *changes)
    console = Console(program, arguments)
    try:
        expected, read = run(Window(console), *relays)
    finally:
        console.process.terminate()
        console.process.wait(PATIENCE)
        sim.terminate()
        sim.wait(PATIENCE)
    # Every setting sent exactly as often as it was operated, and no other value of it.
    for box, (relay, wanted) in enumerate(zip(relays, expected)):
        words = {line.split()[0] for line in wanted}
        with relay.arrived:
            sent = collections.Counter(line for line in relay.lines if line.split()[0] in words)
        assert sent == wanted, f"box {box + 1} got {dict(sent)}, not {dict(wanted)}"
    print(f"accessibility: {read} controls heard as the window shows them; every operation reached the boxes once")


if __name__ == "__main__":
    main()
