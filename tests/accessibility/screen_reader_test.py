"""The console as a screen reader drives it, through AT-SPI only.

Usage (run_on_bus.sh sets up the display and the bus): screen_reader_test.py
CONSOLE WALLSIM. Two wallsim boxes on loopback, each behind a relay that
records every line the console sends it. The console's window is found on
the accessibility bus; its controls by accessible name and role. Every kind
of control is operated by its AT-SPI action, value or editable text: each
operation reaches the boxes exactly once, and the window shows what the
console holds. The window is named by its title, option buttons are radio
buttons, and lists are named by their labels with their text as value.
"""

import collections
import socket
import subprocess
import sys
import threading
import time

import pyatspi
from gi.repository import Atspi

PATIENCE = 30  # seconds: the one deadline of every wait


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


class Window:
    """The console's window as AT-SPI shows it."""

    def __init__(self, process):
        def console():
            assert process.poll() is None, f"the console ended with {process.returncode}"
            desktop = pyatspi.Registry.getDesktop(0)
            # The list of applications, read before the console joined, is not kept.
            desktop.clear_cache()
            return next((app for app in desktop if app and app.get_process_id() == process.pid), None)

        self.app = wait_for("console on the accessibility bus", console)
        # Every read asks the console, never a cache filled before its change.
        self.app.set_cache_mask(Atspi.Cache.NONE)
        self.main = self.app[0]

    def find(self, name, role, root=None):
        """The one control with this name and role; the entries of lists are not searched."""

        def search(node):
            for child in node:
                if child.name == name and child.getRole() == role:
                    yield child
                if child.getRole() != pyatspi.ROLE_LIST:
                    yield from search(child)

        found = list(search(root or self.main))
        assert len(found) == 1, f"{len(found)} controls named {name!r} with role {pyatspi.Role(role)}"
        return found[0]

    @staticmethod
    def act(control, action):
        actions = control.queryAction()
        names = [actions.getName(k) for k in range(actions.nActions)]
        assert action in names, f"{control.name!r} offers {names}, not {action}"
        actions.doAction(names.index(action))

    def press(self, name):
        self.act(self.find(name, pyatspi.ROLE_PUSH_BUTTON), "Press")

    def answer(self, text, button):
        def dialog():
            return next((d for d in self.app if d.getRole() == pyatspi.ROLE_ALERT), None)

        box = wait_for(f"message {text!r}", dialog)
        self.find(text, pyatspi.ROLE_LABEL, box)
        self.act(self.find(button, pyatspi.ROLE_PUSH_BUTTON, box), "Press")
        wait_for(f"message {text!r} to close", lambda: dialog() is None)

    def show_page(self, button, page):
        self.press(button)
        panel = self.find(page, pyatspi.ROLE_PANEL)
        wait_for(f"page {page}", lambda: panel.getState().contains(pyatspi.STATE_SHOWING))


def checked(control):
    return control.getState().contains(pyatspi.STATE_CHECKED)


def text_of(control):
    return control.queryText().getText(0, -1)


def run(window, first, second):
    """Operates each kind of control; returns the lines each box should have got by now."""
    expected = [collections.Counter(), collections.Counter()]

    def reaches(line, boxes):
        for box in boxes:
            expected[box][line] += 1
            (first, second)[box].wait_for(line, expected[box][line])

    title = window.main.name
    window.press("Connect")
    window.answer("Refresh completed !", "OK")
    assert window.main.name.startswith(title + " ") and "FW: " in window.main.name, window.main.name

    # Check box and option buttons: "ALL IP Mute" sends the mute to both boxes.
    window.show_page("I/O Setup", "I/O Setup page")
    all_ip = window.find("ALL IP Mute", pyatspi.ROLE_CHECK_BOX)
    mute = {value: window.find(f"Mute {value}", pyatspi.ROLE_RADIO_BUTTON) for value in ("ON", "OFF")}

    def choose(value, action, boxes):
        window.act(mute[value], action)
        reaches(f"SMUTE {1 if value == 'ON' else 0}", boxes)
        assert checked(mute[value]) and sum(map(checked, mute.values())) == 1, f"Mute {value} not shown"

    window.act(all_ip, "Toggle")
    wait_for("ALL IP Mute ticked", lambda: checked(all_ip))
    fresh, other = ("OFF", "ON") if checked(mute["ON"]) else ("ON", "OFF")
    choose(fresh, "Toggle", (0, 1))
    choose(other, "Toggle", (0, 1))
    window.act(all_ip, "Toggle")
    wait_for("ALL IP Mute cleared", lambda: not checked(all_ip))
    choose(fresh, "Toggle", (0,))

    # A plain list takes a choice through its value: the entry's position.
    timeout = window.find("OSD Display Timeout", pyatspi.ROLE_COMBO_BOX)
    value = timeout.queryValue()
    position = (int(value.currentValue) + 1) % (int(value.maximumValue) + 1)
    value.currentValue = position
    reaches(f"SOSDT {timeout[0][position].name.strip()}", (0,))
    assert int(value.currentValue) == position

    # An editable list is named by its label, as is its edit field; its text is its value.
    offset = window.find("OSD H Offset", pyatspi.ROLE_COMBO_BOX)
    edit = window.find("OSD H Offset", pyatspi.ROLE_TEXT, offset)
    offset.queryValue().currentValue = 7
    reaches("SOSDH 7", (0,))
    assert text_of(edit).strip() == "7", text_of(edit)

    # Typed into editable lists and a text box, then sent by a button.
    window.show_page("TV Wall (2)", "TV Wall (2) page")
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
    window.show_page("TV Wall (1)", "TV Wall (1) page")
    window.press("2x2")
    reaches("SHOT 1", (0, 1))
    return expected


def main():
    console, wallsim = sys.argv[1:3]
    sim = subprocess.Popen([wallsim, "127.0.0.1:0", "127.0.0.2:0"], stdout=subprocess.PIPE, text=True)
    boxes = [sim.stdout.readline().split()[1:] for _ in range(2)]  # listening ADDRESS PORT MAC
    relays = [Relay(address, int(port)) for address, port, _ in boxes]
    arguments = []
    for (address, _, mac), relay in zip(boxes, relays):
        arguments += [address, str(relay.port), mac]
    app = subprocess.Popen([console, *arguments])
    try:
        expected = run(Window(app), *relays)
    finally:
        app.terminate()
        app.wait(PATIENCE)
        sim.terminate()
        sim.wait(PATIENCE)
    # Every setting sent exactly as often as it was operated, and no other value of it.
    for box, (relay, wanted) in enumerate(zip(relays, expected)):
        words = {line.split()[0] for line in wanted}
        with relay.arrived:
            sent = collections.Counter(line for line in relay.lines if line.split()[0] in words)
        assert sent == wanted, f"box {box + 1} got {dict(sent)}, not {dict(wanted)}"
    print("accessibility: every control reached the boxes once through AT-SPI")


if __name__ == "__main__":
    main()
