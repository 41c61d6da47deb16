"""The X tools the Python tests drive the program with: keys and clicks sent
through the X server (xdotool), windows found by their title."""
import subprocess
import time


def tool(*args, check=True):
    """Runs a tool to its end; returns what it printed."""
    return subprocess.run(args, capture_output=True, text=True, encoding="utf-8", check=check,
                          timeout=30).stdout


def xdotool(*args, check=True):
    return tool("xdotool", *args, check=check)


def windows(title):
    """The visible windows titled `title`, exactly."""
    return xdotool("search", "--onlyvisible", "--name", f"^{title}$", check=False).split()


def active_window():
    """The window the window manager has made active, or ''."""
    return xdotool("getactivewindow", check=False).strip()


def wait_for(condition, what, seconds=30):
    """Polls `condition` until it gives something true, and returns that;
    fails naming `what` when `seconds` pass first."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.2)
    raise AssertionError(f"timed out waiting for {what}")


def wm_settled(window):
    """Waits until the window manager has dealt with every request sent so
    far for `window`. It takes them in order, so one more whose effect shows
    stands for all before it: keeping the window above the others, and then
    no longer."""
    for change, above in (("add", True), ("remove", False)):
        tool("wmctrl", "-i", "-r", hex(int(window)), "-b", f"{change},above")
        wait_for(lambda: ("_NET_WM_STATE_ABOVE" in tool("xprop", "-id", window, "_NET_WM_STATE"))
                 == above, f"the window manager to {change} the state 'above' of {window}")
