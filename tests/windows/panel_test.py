#!/usr/bin/env python3
"""The web panel of the Windows program under Wine: the system's browser
control asks the site for the start page once the window is up, and where
the page cannot be shown the panel shows the program's own note while the
calculator works on; Tab leads into the panel after the last button and out
of it again. Wine draws no HTML (it has no Gecko here), so every page ends
in the note: what is seen of a real page is for a real Windows.

    panel_test.py --wine WINE64 --local-site trelvik_local_site.exe
"""
import argparse
import http.server
import os
import socket
import sys
import threading
import time

import program_test
from program_test import CAPTION, SKIP, Program, expect, ready, report, tool, wait_for, windows

NOTE_BACKGROUND = 'F7F7F7'
# A corner of the panel that the note's text leaves free.
NOTE_CORNER = (5850, 1450)


class Site(http.server.ThreadingHTTPServer):
    """Records each path asked for, and whether the main window was already
    on the screen then."""

    def __init__(self):
        self.asked = []
        super().__init__(('127.0.0.1', 0), Handler)
        threading.Thread(target=self.serve_forever, daemon=True).start()


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        self.server.asked.append((self.path, bool(windows(CAPTION))))
        body = b'<html><head><title>start</title></head><body>Qinvo</body></html>'
        self.send_response(200)
        self.send_header('Content-Type', 'text/html')
        self.send_header('Content-Length', str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def closed_port():
    with socket.socket() as probe:
        probe.bind(('127.0.0.1', 0))
        return probe.getsockname()[1]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--wine', required=True)
    parser.add_argument('--local-site', required=True)
    args = parser.parse_args()
    program_test.WINE = args.wine
    if not ready(args.local_site):
        return SKIP
    folder, exe = os.path.split(os.path.abspath(args.local_site))
    def note_shown(program):
        return program.colour('WebBrowser1', *NOTE_CORNER) == NOTE_BACKGROUND

    # With the site there: asked for once the window is up.
    site = Site()
    program = Program(folder, exe, dict(os.environ, TRELVIK_TEST_SITE=f'http://127.0.0.1:{site.server_port}'))
    try:
        wait_for(lambda: site.asked, 'the start page to be asked for')
        expect('pages asked for, with the window already shown', site.asked[:1],
               [('/qinvo.htm', True)])
        wait_for(lambda: note_shown(program), 'the note in place of the page Wine cannot draw')
    finally:
        program.process.kill()
        program.process.wait()
        site.shutdown()

    # With no site: the note, the calculator as ever, and Tab through the panel.
    program = Program(folder, exe, dict(os.environ, TRELVIK_TEST_SITE=f'http://127.0.0.1:{closed_port()}'))
    try:
        wait_for(lambda: note_shown(program), 'the note for a site that does not answer')
        program.expect_worked_example(' beside the note')
        # From the last button, Tab leads into the panel and out of it to
        # the first box, whose text it selects.
        program.click('Command2')
        tool('xdotool', 'key', 'Tab')
        time.sleep(0.3)
        tool('xdotool', 'key', 'Tab')
        time.sleep(0.3)
        tool('xdotool', 'type', '7')
        time.sleep(0.3)
        expect('first box after Tab, Tab from the last button', program.read('Text1'), '7')
        program.click('Text1')
        tool('xdotool', 'key', 'ctrl+x')
        expect('exit status after Ctrl+X', program.process.wait(30), 0)
    finally:
        if program.process.poll() is None:
            program.process.kill()

    return report()


if __name__ == '__main__':
    sys.exit(main())
