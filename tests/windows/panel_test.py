#!/usr/bin/env python3
"""The web panel of the Windows program under Wine: the system's browser
control asks the site for the start page once the window is up, and where
the page cannot be shown the panel shows the program's own note while the
calculator works on; Tab leads into the panel after the last button and out
of it again. Wine draws no HTML (it has no Gecko here), so every page ends
in the note: what is seen of a real page is for a real Windows.

    panel_test.py --wine WINE64 --local-site trelvik_local_site.exe --styles window_styles.exe
                  [CASE...]
"""
import argparse
import http.server
import os
import socket
import sys
import threading

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'support'))
import suite  # noqa: E402
from expected import CAPTION, EXPECTED  # noqa: E402
from wine_program import TWIPS_PER_PIXEL, Prefix, Program, WineTestCase  # noqa: E402
from x_tools import tool, wait_for, windows  # noqa: E402

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


def note_shown(program):
    return program.colour('WebBrowser1', *NOTE_CORNER) == NOTE_BACKGROUND


class Panel(WineTestCase):
    def start(self, site):
        """The program with its start page on `site`."""
        folder, exe = os.path.split(os.path.abspath(suite.options.local_site))
        program = Program(suite.options.wine, folder, exe,
                          dict(os.environ, TRELVIK_TEST_SITE=site))
        self.addCleanup(program.stop)
        return program

    def test_start_page_asked_for_once_the_window_is_up(self):
        site = Site()
        self.addCleanup(site.shutdown)
        program = self.start(f'http://127.0.0.1:{site.server_port}')
        wait_for(lambda: site.asked, 'the start page to be asked for')
        self.expect('pages asked for, with the window already shown', site.asked[:1],
                    [('/qinvo.htm', True)])
        wait_for(lambda: note_shown(program), 'the note in place of the page Wine cannot draw')

    def test_without_a_site_the_note_the_calculator_and_tab(self):
        program = self.start(f'http://127.0.0.1:{closed_port()}')
        wait_for(lambda: note_shown(program), 'the note for a site that does not answer')
        program.expect_worked_example(self, ' beside the note')
        # From the last button, Tab leads into the panel and out of it to
        # the first box, whose text it selects.
        # The program takes the keys in the order sent, so what the box
        # holds at the end tells where each Tab went.
        program.click('Command2')
        tool('xdotool', 'key', 'Tab', 'Tab')
        tool('xdotool', 'type', '7')
        self.expect('first box after Tab, Tab from the last button', program.read('Text1'), '7')
        self.expect('exit status after Ctrl+X', program.end_with_ctrl_x(), 0)

    def test_on_a_scaled_screen_the_control_covers_the_panel(self):
        # 150 %, as Wine's registry sets it for a new prefix.
        prefix = Prefix(suite.options.wine, [(r'HKCU\Control Panel\Desktop', 'LogPixels', 144)])
        self.addCleanup(prefix.close)
        folder, exe = os.path.split(os.path.abspath(suite.options.local_site))
        program = Program(suite.options.wine, folder, exe,
                          dict(prefix.env, TRELVIK_TEST_SITE=f'http://127.0.0.1:{closed_port()}'))
        self.addCleanup(program.stop)

        def hosts():
            out = prefix.wine(suite.options.styles, '--hosts').stdout.decode()
            return [[int(n) for n in size.split('x')] for size in out.split()]

        host, panel = wait_for(lambda: hosts() or None, "the browser control's window")[:2]
        _, _, width, height = EXPECTED['controlTwips']['WebBrowser1']
        scaled = [1.5 * width / TWIPS_PER_PIXEL, 1.5 * height / TWIPS_PER_PIXEL]
        self.expect('the panel at 150 %, within a pixel',
                    [abs(got - wanted) <= 1 for got, wanted in zip(panel, scaled)], [True, True])
        self.expect("the control's window against the panel, in pixels", host, panel)


if __name__ == '__main__':
    parser = argparse.ArgumentParser()
    parser.add_argument('--wine', required=True)
    parser.add_argument('--local-site', required=True)
    parser.add_argument('--styles', required=True)
    suite.main(parser)
