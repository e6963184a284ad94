#!/usr/bin/python3
"""Reads the program's sheets from outside, as a screen reader does.

Starts an X server (Xvfb) with a window manager, a D-Bus session and the
AT-SPI bus, then the desktop program with a PMR446 clone file, and through
AT-SPI: finds the main window's table, opens a bank page with the keyboard,
reads its column headings and the cells of its first channel row, moves
into the sheet with F6 and the current cell with a key and waits for the
focus event on the new cell, then types a value into it and waits for the
cell to announce its new text.

Usage: atspi_sheet_test.py PARLO DATA_DIR
Exit status 0 passed, 1 failed, 77 skipped (AT-SPI cannot start here; the
reason is printed). With ATSPI_TEST_SHOT=FILE.png a failure also saves a
screenshot of the X server (needs xwd and ImageMagick).
"""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77
DEADLINE_S = 90.0


def skip(reason):
    print("SKIPPED: AT-SPI cannot start here: " + reason)
    sys.exit(SKIP)


def fail(reason):
    print("FAILED: " + reason)
    if os.environ.get("ATSPI_TEST_SHOT"):
        subprocess.run("xwd -root | convert xwd:- " + os.environ["ATSPI_TEST_SHOT"], shell=True)
    sys.exit(1)


def pump():
    """Lets AT-SPI take in the events that keep its view of the program current."""
    try:
        from gi.repository import GLib
    except ImportError:
        return
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def wait_for(what, probe, deadline=DEADLINE_S):
    """Calls probe() until it returns something true; fails after the deadline."""
    end = time.monotonic() + deadline
    while True:
        pump()
        result = probe()
        if result:
            return result
        if time.monotonic() > end:
            fail("timed out waiting for " + what)
        time.sleep(0.05)


class Services:
    """The X server, the session bus and the accessibility bus, ended in reverse order."""

    def __init__(self, scratch):
        self.processes = []
        self.scratch = scratch
        self.env = dict(os.environ)

    def start(self):
        # A window manager gives the window the keyboard focus, as on a desktop.
        for tool in ("Xvfb", "dbus-daemon", "openbox"):
            if shutil.which(tool) is None:
                skip(tool + " is not installed")
        launcher = next((p for p in ("/usr/libexec/at-spi-bus-launcher",
                                     "/usr/lib/at-spi2-core/at-spi-bus-launcher")
                         if os.path.exists(p)), None)
        if launcher is None:
            skip("at-spi-bus-launcher (at-spi2-core) is not installed")
        # Xvfb picks a free display and writes its number to the pipe.
        read_end, write_end = os.pipe()
        self.spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1600x1000x24",
                    "-nolisten", "tcp"], pass_fds=(write_end,))
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            display = pipe.readline().strip()
        if not display:
            skip("Xvfb did not start")
        self.env["DISPLAY"] = ":" + display
        # The program starts once the window manager is ready to manage it.
        ready = os.path.join(self.scratch, "wm-ready")
        self.spawn(["openbox", "--sm-disable", "--startup", "touch " + ready])
        wait_for("the window manager", lambda: os.path.exists(ready), deadline=10)
        bus = self.spawn(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                         stdout=subprocess.PIPE)
        address = bus.stdout.readline().decode().strip()
        if not address:
            skip("no D-Bus session bus")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address
        self.spawn([launcher, "--launch-immediately"])
        os.environ.update({k: self.env[k] for k in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS")})

    def spawn(self, argv, **kwargs):
        process = subprocess.Popen(argv, env=self.env, stdin=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL, **kwargs)
        self.processes.append(process)
        return process

    def stop(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.send_signal(signal.SIGTERM)
                try:
                    process.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()


def load_atspi():
    try:
        import gi
        gi.require_version("Atspi", "2.0")
        from gi.repository import Atspi
    except (ImportError, ValueError) as error:
        skip("the AT-SPI bindings (gir1.2-atspi-2.0, python3-gi) are missing: %s" % error)
    return Atspi


def walk(node, depth=0, limit=12):
    """Every accessible below node (node first); tables are not entered."""
    if node is None or depth > limit:
        return
    yield node
    try:
        if node.get_role_name() == "table":
            return
        count = node.get_child_count()
    except Exception:
        return
    for i in range(count):
        try:
            child = node.get_child_at_index(i)
        except Exception:
            continue
        yield from walk(child, depth + 1, limit)


def find(root, role, name_prefix=""):
    for node in walk(root):
        try:
            if node.get_role_name() == role and (node.get_name() or "").startswith(name_prefix):
                return node
        except Exception:
            continue
    return None


def application(Atspi, pid):
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        try:
            if app is not None and app.get_process_id() == pid:
                return app
        except Exception:
            continue
    return None


def cell_text(table, row, col):
    cell = table.get_accessible_at(row, col)
    return cell.get_name() if cell is not None else None


def press(Atspi, keysym):
    Atspi.generate_keyboard_event(keysym, None, Atspi.KeySynthType.SYM)


def main():
    if len(sys.argv) != 3:
        fail("usage: atspi_sheet_test.py PARLO DATA_DIR")
    parlo, data = sys.argv[1], sys.argv[2]
    scratch = tempfile.mkdtemp(prefix="parlo-atspi-")
    services = Services(scratch)
    try:
        services.start()
        Atspi = load_atspi()
        run(Atspi, services, parlo, data, scratch)
    finally:
        services.stop()
        shutil.rmtree(scratch, ignore_errors=True)


def run(Atspi, services, parlo, data, scratch):
    for sub in ("config", "runtime", "home"):
        os.makedirs(os.path.join(scratch, sub), mode=0o700)
    document = os.path.join(scratch, "pmr446.icf")
    shutil.copy(os.path.join(data, "MV7105C_PMR.icf"), document)
    env = dict(services.env)
    env.update({
        "QT_QPA_PLATFORM": "xcb",
        "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
        "QT_ACCESSIBILITY": "1",
        "XDG_CONFIG_HOME": os.path.join(scratch, "config"),
        "XDG_RUNTIME_DIR": os.path.join(scratch, "runtime"),
        "HOME": os.path.join(scratch, "home"),
        "LC_ALL": "C.UTF-8",
    })
    env.pop("QT_SCALE_FACTOR", None)
    program = subprocess.Popen([parlo, document], env=env, stdin=subprocess.DEVNULL)
    services.processes.append(program)

    app = wait_for("the program on the accessibility bus", lambda: application(Atspi, program.pid))
    # Every question goes to the program: no answer is taken from a cache.
    app.set_cache_mask(Atspi.Cache.NONE)
    print("application:", app.get_name())
    table = wait_for("the sheet table", lambda: find(app, "table"))
    tree = wait_for("the navigation tree", lambda: find(app, "tree") or find(app, "tree table"))
    print("tree:", tree.get_role_name())

    # The bank page: the tree's "Bank 1" node, reached with the keyboard
    # once the window manager has made the window active.
    frame = wait_for("the main window", lambda: find(app, "frame"))
    wait_for("the main window to be active",
             lambda: frame.get_state_set().contains(Atspi.StateType.ACTIVE))
    wait_for("the keyboard focus in the window",
             lambda: any_focused(Atspi, table) or tree_focused(Atspi, tree))
    if not tree_focused(Atspi, tree):
        press(Atspi, 0xFFC3)  # F6: to the tree
        wait_for("F6 to move the focus to the tree", lambda: tree_focused(Atspi, tree))
        print("F6 moved the focus to the tree")

    def bank_page():
        return (table.get_name() or "").startswith("Bank 1")

    # A key the window takes before the window manager has handed it the
    # input focus is lost, and a slow program (a sanitizer build on a busy
    # machine) may take one late: each press is chosen from where the
    # cursor is now, Home back to the top when it went past.
    end = time.monotonic() + DEADLINE_S
    while not tree_focused(Atspi, tree, "Memory channels"):
        if time.monotonic() > end:
            fail("timed out waiting for the Memory channels node (focus on %r)"
                 % focused_node_name(Atspi, tree))
        at_top = tree_focused(Atspi, tree, "MV7105C")
        press(Atspi, 0xFF54 if at_top else 0xFF50)  # Down: Memory channels; Home: the top
        wait_quietly(lambda: tree_focused(Atspi, tree, "Memory channels") or
                     tree_focused(Atspi, tree, "MV7105C") != at_top, 10.0)
    press(Atspi, 0xFF53)  # Right: open it
    press(Atspi, 0xFF54)  # Down
    wait_for("the Bank layout node", lambda: tree_focused(Atspi, tree, "Bank layout"))
    press(Atspi, 0xFF54)  # Down
    wait_for("the Bank 1 node", lambda: tree_focused(Atspi, tree, "Bank 1"))
    if not wait_quietly(bank_page, DEADLINE_S):
        fresh = find(app, "table")
        fail("the table shows %r (asked again: %r), not a bank page"
             % (table.get_name(), fresh.get_name() if fresh else None))
    print("table name:", table.get_name())
    print("table description:", table.get_description())

    ncols = table.get_n_columns()
    nrows = table.get_n_rows()
    print("rows, columns:", nrows, ncols)
    headings = [table.get_column_description(c) for c in range(ncols)]
    print("column headings:", " | ".join(headings[:8]), "...")
    if "Receive" not in headings:
        fail("no column is headed Receive: %r" % headings)
    receive = headings.index("Receive")

    # Row 1 of the channels is the table's first row: the notes above it
    # are the table's description.
    first = 0
    if cell_text(table, first, 0) != "1- 1":
        fail("the table's first row is headed %r, not 1- 1" % cell_text(table, first, 0))
    cells = [cell_text(table, first, c) for c in range(min(ncols, 8))]
    print("row 1:", " | ".join(cells))
    value = cell_text(table, first, receive)
    print("row 1, Receive:", value)
    if value != "446.006250":
        fail("row 1 reads %r under Receive, not 446.006250" % value)
    cell = table.get_accessible_at(first, receive)
    # The header objects a reader announces with the cell.
    column_header = table.get_column_header(receive)
    row_header = table.get_row_header(first)
    headers = (column_header and column_header.get_name(), row_header and row_header.get_name())
    print("header objects of row 1, Receive:", headers)
    if headers != ("Receive", "1- 1"):
        fail("the headers of row 1, Receive read %r" % (headers,))
    name_cell = table.get_accessible_at(first, 2)
    print("row 1, Name (display characters):", name_cell.get_name())
    if name_cell.get_name() != "PMR 1":
        fail("the display-character name reads %r, not PMR 1" % name_cell.get_name())

    # Focus events: F6 back into the sheet, then a key moves the current cell.
    focused = []

    def on_focus(event):
        try:
            focused.append((event.source.get_role_name(), event.source.get_name()))
        except Exception:
            pass

    listener = Atspi.EventListener.new(on_focus)
    listener.register("object:state-changed:focused")
    listener.register("focus:")
    press(Atspi, 0xFFC3)  # F6: to the sheet
    wait_for("F6 to move the focus to the sheet", lambda: any_focused(Atspi, table), deadline=10)
    print("F6 moved the focus to the sheet")

    def focus_on(name):
        def probe():
            pump()
            return any(f == ("table cell", name) for f in focused)
        return probe

    # Right to the receive frequency of the current row, then Down: each
    # key moves the focus to the new current cell.
    for _ in range(3):
        press(Atspi, 0xFF53)  # Right
    wait_for("the focus on row 1's receive frequency", focus_on("446.006250"), deadline=10)
    print("focus after Right x3:", focused[-1])
    del focused[:]
    press(Atspi, 0xFF54)  # Down: the next channel row
    wait_for("a focus event on row 2's receive frequency after Down",
             focus_on("446.018750"), deadline=10)
    print("focus events after Down:", focused)

    # A value typed into the current cell: the cell announces its new text.
    renamed = []

    def on_name(event):
        try:
            renamed.append((event.source.get_role_name(), event.source.get_name()))
        except Exception:
            pass

    names = Atspi.EventListener.new(on_name)
    names.register("object:property-change:accessible-name")
    for keysym in (0x34, 0x34, 0x36, 0x2E, 0x31, 0xFF0D):  # "446.1", Enter
        press(Atspi, keysym)

    def announced():
        pump()
        return ("table cell", "446.100000") in renamed
    wait_for("the cell to announce 446.100000 after typing it", announced, deadline=10)
    print("name changes after typing 446.1 and Enter:",
          [r for r in renamed if r[0] == "table cell"])
    names.deregister("object:property-change:accessible-name")
    listener.deregister("object:state-changed:focused")
    listener.deregister("focus:")
    print("PASSED")


def wait_quietly(probe, deadline):
    end = time.monotonic() + deadline
    while time.monotonic() < end:
        pump()
        if probe():
            return True
        time.sleep(0.05)
    return False


def focused_node_name(Atspi, tree):
    try:
        for i in range(min(tree.get_child_count(), 40)):
            node = tree.get_child_at_index(i)
            if node is not None and node.get_state_set().contains(Atspi.StateType.FOCUSED):
                return node.get_name()
    except Exception as error:
        return "unknown: %s" % error
    return None


def tree_focused(Atspi, tree, name_prefix=""):
    """Whether the tree has the keyboard focus, on a node named so."""
    try:
        # A node's focused state marks the tree's current node, also while
        # the keyboard focus is elsewhere.
        if not tree.get_state_set().contains(Atspi.StateType.FOCUSED):
            return False
        for i in range(min(tree.get_child_count(), 40)):
            node = tree.get_child_at_index(i)
            if node is not None and node.get_state_set().contains(Atspi.StateType.FOCUSED):
                return (node.get_name() or "").startswith(name_prefix)
    except Exception:
        return False
    return False


def any_focused(Atspi, table):
    """Whether the sheet has the keyboard focus (its current cell is the focused one)."""
    try:
        return table.get_state_set().contains(Atspi.StateType.FOCUSED)
    except Exception:
        return False


if __name__ == "__main__":
    main()
