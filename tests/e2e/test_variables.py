#!/usr/bin/env python3
"""The VARIABLES section under Wine: values from the registry, an INI file, a file test, a
web page served on 127.0.0.1 port 80, a server that never answers, and a window test; the
page caption shows them."""
import http.server
import socket
import subprocess
import sys
import threading
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import cvdrive  # noqa: E402
from actions_product import Wizard, make_folder, section, settings  # noqa: E402
from cvdrive import TraceMonitor, screenshot  # noqa: E402

REG_KEY = "HKCU\\Software\\Corvane Variables Test"
# The wait window's text control. Its text cannot be read from outside while setup works
# on the variables (the window's thread answers no messages then), so it is found by its id.
WAIT_TEXT_ID = 1011


class ValueServer(http.server.BaseHTTPRequestHandler):
    """Answers /value.txt with a fixed text and everything else with 404; records requests."""
    requests = []

    def do_GET(self):
        ValueServer.requests.append((self.path, self.headers.get("Accept"), self.headers.get("Host")))
        body = b"web-42" if self.path == "/value.txt" else b"missing"
        self.send_response(200 if self.path == "/value.txt" else 404)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


class SilentServer:
    """Accepts connections on `address` and never answers."""

    def __init__(self, address):
        self.sock = socket.socket()
        self.sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.sock.bind(address)
        self.sock.listen(4)
        self.held = []
        threading.Thread(target=self.run, daemon=True).start()

    def run(self):
        try:
            while True:
                self.held.append(self.sock.accept()[0])
        except OSError:
            pass

    def close(self):
        self.sock.close()
        for s in self.held:
            s.close()


def reg(*args):
    # No pipes: the first Wine command of a fresh prefix may start Wine's background
    # processes, which inherit the pipes and hold them open past the command's end.
    subprocess.run(["wine", "reg", *args], check=False, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=60)


def variable(name, source, fallback="", **keys):
    return {"A": name, "B": fallback, "C": "", "D": source, **keys}


class Variables(cvdrive.SetupRunTest):
    def setUp(self):
        super().setUp()
        http.server.ThreadingHTTPServer.allow_reuse_address = True
        self.web = http.server.ThreadingHTTPServer(("127.0.0.1", 80), ValueServer)
        threading.Thread(target=self.web.serve_forever, daemon=True).start()
        self.silent = SilentServer(("127.0.0.2", 80))
        ValueServer.requests = []
        reg("add", REG_KEY, "/v", "Colour", "/d", "blue", "/f")
        self.monitor = None

    def tearDown(self):
        super().tearDown()
        self.web.shutdown()
        self.web.server_close()
        self.silent.close()
        if self.monitor:
            self.monitor.stop()
        reg("delete", REG_KEY, "/f")

    def caption_of(self, page, timeout=15):
        """The page's caption, read again until it answers: the driver reads texts with a
        message that a thread which has just spent seconds on a silent server may not answer
        yet (Wine treats a queue left alone for 5 s as hung), and then sees ""."""
        deadline = time.time() + timeout
        while True:
            caption = next((w["caption"] for w in self.driver.windows() if w["hwnd"] == page["hwnd"]), "")
            if caption or time.time() > deadline:
                return caption
            time.sleep(0.2)

    def test_every_source_gives_its_value_to_the_page_caption(self):
        rows = [
            variable("<Reg>", "Registry", "no-reg", E="HKEY_CURRENT_USER", F="Software\\Corvane Variables Test",
                     G="Colour"),
            variable("<RegMissing>", "Registry", "reg-fallback", E="HKEY_CURRENT_USER",
                     F="Software\\Corvane Variables Test", G="Size"),
            variable("<Ini>", "INI Files", "no-ini", H="<CurrentDirectory>values.ini", I="Main", J="Mode"),
            variable("<File>", "Find File/Folder", L="<CurrentDirectory>values.ini"),
            variable("<NoFile>", "Find File/Folder", L="<CurrentDirectory>missing.txt"),
            variable("<Web>", "Retrive from Web", "no-web", O="http://127.0.0.1/value.txt"),
            variable("<Web404>", "Retrive from Web", "web-fallback", O="http://127.0.0.1/gone.txt"),
            variable("<Slow>", "Retrive from Web", "slow-fallback", O="http://127.0.0.2/value.txt"),
            variable("<Win>", "Find Window", P="AmbrelEvent", Q="Trace monitor"),
            variable("<NoWin>", "Find Window", P="NoSuchClass", Q="Trace monitor"),
            variable("<Fixed>", "Nowhere", "fixed"),
            variable("<Odd>", "Somewhere", "unused"),
        ]
        caption = "|".join(row["A"] for row in rows) + "|end"
        folder = make_folder("variables-sources", settings(section("VARIABLES", rows)),
                             page_captions={"one.lcd": caption})
        (folder / "values.ini").write_text("[Main]\nMode=fast\n")
        self.monitor = TraceMonitor(folder)
        self.assertTrue(self.monitor.wait_ready(self.driver))
        self.driver.start(cvdrive.SETUP_EXE, folder)
        # The server that never answers keeps the fetch, and the wait window, up for a while.
        deadline, waited = time.time() + 60, None
        while time.time() < deadline and waited is None:
            for w in self.driver.windows():
                if w["visible"] and w["caption"] == "" and \
                        [c["id"] for c in self.driver.controls(w["hwnd"])] == [WAIT_TEXT_ID]:
                    waited = w
            time.sleep(0.1)
        self.assertIsNotNone(waited, "the wait window did not show")
        screenshot("variables-wait-window")
        started = time.time()
        page = Wizard(self, self.driver).page("Page one", timeout=60)
        self.assertLess(time.time() - started, 30, "the silent server held setup too long")
        screenshot("variables-caption")
        self.assertEqual(self.caption_of(page).split("|"), [
            "blue", "reg-fallback", "fast", "TRUE", "FALSE", "web-42", "web-fallback", "slow-fallback",
            "TRUE", "FALSE", "fixed", "", "end"])
        self.assertNotIn([WAIT_TEXT_ID], [[c["id"] for c in self.driver.controls(w["hwnd"])]
                                          for w in self.driver.windows() if w["visible"]])
        self.assertEqual(ValueServer.requests, [("/value.txt", "text/*", "127.0.0.1"),
                                                ("/gone.txt", "text/*", "127.0.0.1")])


if __name__ == "__main__":
    unittest.main()
