#!/usr/bin/python3
# The program as a screen reader meets it through AT-SPI: every control of the main window has
# its role and Chinese name, the buttons are pressed through their actions, and the About
# window shows three links that take the focus and a picture that does not.
#   tests/app/screen_reader_check.py PROGRAM
# It runs in a D-Bus session of its own, with the accessibility bus started before the program
# (Qt only looks for it at start) on a private Xvfb. Where Xvfb, dbus-run-session, the
# accessibility bus or pyatspi (Debian's python3-pyatspi, hence Debian's python) are missing,
# it says so and exits 77, which ctest counts as skipped.
import importlib.util
import os
import shutil
import subprocess
import sys
import tempfile
import time

SKIPPED = 77
BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
SESSION_MARK = "LOKARO_SCREEN_READER_SESSION"

# Role names as AT-SPI gives them; single-line and multi-line text boxes may be either.
TEXT_ROLES = {"entry", "text"}
MAIN_WINDOW = [
    ("IP:", TEXT_ROLES),
    ("结果:", TEXT_ROLES),
    ("启动时显示本机IP相关信息", {"check box"}),
    ("关于", {"push button"}),
    ("查询", {"push button"}),
    ("关闭", {"push button"}),
]
LINKS = ["https://lokaro.example.org", "123456789", "lokaro@example.org"]


def skip(reason):
    print(f"screen reader check skipped: {reason}")
    sys.exit(SKIPPED)


def fail(reason):
    print(f"screen reader check failed: {reason}")
    sys.exit(1)


def wait_for(what, condition, seconds=15.0):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        result = condition()
        if result:
            return result
        time.sleep(0.1)
    fail(f"{what} within {seconds:.0f} s")


def start_xvfb():
    read_end, write_end = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "800x600x24", "-nolisten", "tcp"],
        pass_fds=[write_end], stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as numbers:
        number = numbers.readline().strip()
    if not number:
        fail("Xvfb did not start")
    return server, ":" + number


def accessibility_bus_is_up():
    from gi.repository import Gio, GLib
    try:
        Gio.bus_get_sync(Gio.BusType.SESSION).call_sync(
            "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", None, None,
            Gio.DBusCallFlags.NONE, 1000, None)
        return True
    except GLib.Error:
        return False


def descendants(node, depth=0):
    if node is None or depth > 12:
        return
    yield node
    for i in range(node.childCount):
        yield from descendants(node.getChildAtIndex(i), depth + 1)


def find(application, name, roles):
    for node in descendants(application):
        if node.name == name and node.getRoleName() in roles:
            return node
    return None


def press(node):
    action = node.queryAction()
    if action.nActions < 1:
        fail(f"{node.name!r} has no action")
    action.doAction(0)


def check(program):
    import pyatspi

    server, display = start_xvfb()
    launcher = subprocess.Popen([BUS_LAUNCHER, "--launch-immediately"],
                                stderr=subprocess.DEVNULL)
    wait_for("the accessibility bus started", accessibility_bus_is_up)
    config = tempfile.mkdtemp(prefix="lokaro-a11y-")
    environment = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb",
                       QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", XDG_CONFIG_HOME=config,
                       LOKARO_SERVICE_HOST="127.0.0.1:9", LANG="C.UTF-8", LC_ALL="C.UTF-8")
    wherix = subprocess.Popen([program], env=environment)
    try:
        def application():
            for app in pyatspi.Registry.getDesktop(0):
                if app is not None and app.get_process_id() == wherix.pid:
                    return app
            return None
        app = wait_for("the program on the accessibility bus", application)
        wait_for("the main window's controls",
                 lambda: all(find(app, name, roles) for name, roles in MAIN_WINDOW))
        for name, roles in MAIN_WINDOW:
            node = find(app, name, roles)
            if not node.getState().contains(pyatspi.STATE_FOCUSABLE):
                fail(f"{name!r} cannot take the focus")
            print(f"ok: {node.getRoleName()} {name!r}")

        press(find(app, "关于", {"push button"}))
        dialog = wait_for("the About window", lambda: find(app, "关于", {"dialog", "frame"}))
        for link in LINKS:
            node = wait_for(f"the link {link}", lambda: find(dialog, link, {"link"}))
            if not node.getState().contains(pyatspi.STATE_FOCUSABLE):
                fail(f"the link {link!r} cannot take the focus")
            if node.queryAction().nActions < 1:
                fail(f"the link {link!r} has no action")
            print(f"ok: link {link!r}")
        images = [n for n in descendants(dialog) if n.getRoleName() in {"image", "icon"}]
        if len(images) != 1 or images[0].getState().contains(pyatspi.STATE_FOCUSABLE):
            fail(f"expected one picture that takes no focus, found {len(images)}")
        print("ok: the picture takes no focus")

        press(find(dialog, "确定", {"push button"}))
        # Closing the window takes its controls down.
        wait_for("the About window closed", lambda: find(app, "确定", {"push button"}) is None)
        press(find(app, "关闭", {"push button"}))
        wait_for("the program ended by its Close button", lambda: wherix.poll() is not None)
        print("ok: pressed About, OK and Close through AT-SPI")
    finally:
        if wherix.poll() is None:
            wherix.kill()
        wherix.wait()
        launcher.terminate()
        launcher.wait()
        server.terminate()
        server.wait()
        shutil.rmtree(config, ignore_errors=True)


def main():
    program = os.path.abspath(sys.argv[1])
    if os.environ.get(SESSION_MARK) == "1":
        check(program)
        return
    for tool in ("dbus-run-session", "Xvfb"):
        if shutil.which(tool) is None:
            skip(f"{tool} is not installed")
    if not os.access(BUS_LAUNCHER, os.X_OK):
        skip(f"{BUS_LAUNCHER} is missing (Debian's at-spi2-core)")
    # Looked for, not imported: importing it looks for the accessibility bus.
    if importlib.util.find_spec("pyatspi") is None:
        skip("pyatspi is missing for this python (Debian's python3-pyatspi)")
    environment = dict(os.environ, **{SESSION_MARK: "1"})
    result = subprocess.run(["dbus-run-session", "--", sys.executable, __file__, program],
                            env=environment, timeout=120)
    sys.exit(result.returncode)


if __name__ == "__main__":
    main()
