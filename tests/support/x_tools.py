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


def wait_for(condition, what, seconds=30):
    """Polls `condition` until it gives something true, and returns that."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.2)
    raise AssertionError(f"timed out waiting for {what}")
