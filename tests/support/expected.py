"""What the tests expect of the program: expected.json, which the C++ tests
read as well (expected.h)."""
import json
import os

with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "expected.json"),
          encoding="utf-8") as f:
    EXPECTED = json.load(f)

CAPTION = EXPECTED["caption"]


def text(key, site=""):
    """An expected text, with `site` in place of {site}."""
    return EXPECTED[key].replace("{site}", site)
