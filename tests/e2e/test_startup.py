#!/usr/bin/env python3
"""Start-up of setup.exe: the missing-settings message, closing a running product, the trace
line and the background window."""
import re
import subprocess
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import cvdrive  # noqa: E402
from cvdrive import Driver, TraceMonitor, fresh_folder, screenshot, write_archive, write_close_page, write_settings  # noqa: E402

MISSING = ("Sorry, Corvane can't find data files.\r\nsetup.nsx and data.nsx\r\n"
           "These files must be in the same directory of setup.exe")

PLAIN_PRODUCT = """[APPINFO]
a1=Trace Product
[SPLASH]
a1=No
a5=No
[DIALOGLIST]
TOTAL1=1
W0=welcome.lcd
"""

START_MARKERS = ["1", "2", "3", "4", "5", "6", "a7", "a8", "a9", "START INSTALL NOW",
                 "DESCOMPACTOU", "TerminarJanela", "a10", "a11", "a12", "13", "14"]


class StartUp(unittest.TestCase):
    def setUp(self):
        self.driver = Driver()

    def tearDown(self):
        self.driver.kill()
        self.driver.close()

    def test_missing_settings_files_show_message_and_exit_zero(self):
        for present in (None, "setup", "data"):
            with self.subTest(present=present):
                folder = fresh_folder(f"missing-{present}")
                if present == "setup":
                    write_settings(folder, "[APPINFO]\na1=X\n", None)
                elif present == "data":
                    write_settings(folder, None, "")
                self.driver.start(cvdrive.SETUP_EXE, folder)
                self.assertIsNotNone(self.driver.wait("#32770", "*", 30000))
                screenshot(f"startup-missing-{present}")
                self.assertEqual(self.driver.answer("OK"), MISSING)
                self.assertEqual(self.driver.exit_code(15000), 0)
                self.assertTrue(self.driver.gone(2000))

    def test_running_product_gets_close_then_quit_without_waiting(self):
        folder = fresh_folder("halvard")
        log = folder / "halvard.txt"
        product = subprocess.Popen(["wine", str(cvdrive.BUILD / "tests" / "e2e" / "halvard.exe"),
                                    cvdrive.win_path(log)])
        try:
            self.assertTrue(self.driver.exists("HalvardClass", 30000))
            self.driver.start(cvdrive.SETUP_EXE, folder)
            self.assertIsNotNone(self.driver.wait("#32770", "*", 30000))
            lines = log.read_text().split()
            self.assertEqual(lines[:3], ["READY", "WM_CLOSE", "WM_QUIT"])
            # The product lingers five seconds after its quit message; setup's message box is
            # already up while it is still running, so setup did not wait for it.
            self.assertNotIn("ENDED", lines)
            self.assertIsNone(product.poll())
            self.driver.answer("OK")
            self.assertEqual(self.driver.exit_code(), 0)
        finally:
            product.wait(timeout=30)

    def run_to_first_page(self, folder):
        write_archive(folder, {"F1_readme.txt": b"readme\r\n"})
        write_close_page(folder)
        self.driver.start(cvdrive.SETUP_EXE, folder)
        page = self.driver.wait("#32770", "Trace Product", 30000)
        self.assertIsNotNone(page, "the first page did not appear")
        return page

    def finish(self, page):
        self.assertTrue(self.driver.click(page, "Close"))
        self.assertEqual(self.driver.exit_code(15000), 0)

    def test_trace_monitor_receives_start_markers_in_order(self):
        folder = fresh_folder("trace")
        write_settings(folder, PLAIN_PRODUCT, "")
        monitor = TraceMonitor(folder)
        try:
            self.assertTrue(monitor.wait_ready(self.driver))
            page = self.run_to_first_page(folder)
            screenshot("startup-first-page")
            self.finish(page)
        finally:
            time.sleep(0.5)
            monitor.stop()
        lines = monitor.lines()
        pattern = re.compile(r"^\((\d\d):(\d\d):(\d\d)\) -(.*)\*$")
        texts = []
        for line in lines:
            m = pattern.match(line)
            self.assertIsNotNone(m, f"trace line {line!r} is not in the form (HH:MM:SS) -text*")
            self.assertLess(int(m.group(1)), 24)
            texts.append(m.group(4))
        # The unpacking reports its own steps between the markers.
        markers = [t for t in texts if not t.startswith(("UnCompress", "CompactFilesTH"))]
        self.assertIn("CompactFilesTH8", texts)
        self.assertEqual(markers[:len(START_MARKERS)], START_MARKERS)
        # The first page: the page traces with the theme folder, then the sequence's last marker.
        after = markers[len(START_MARKERS):len(START_MARKERS) + 4]
        self.assertEqual(len(after), 4, markers)
        self.assertEqual([after[0], after[2], after[3]], ["HERE NO SHOW NEXT DIALOG", "SAINDO", "15"])
        self.assertTrue(after[1].lower().endswith("\\trace\\theme\\"), after[1])

    def test_without_monitor_the_run_is_the_same(self):
        folder = fresh_folder("no-trace")
        write_settings(folder, PLAIN_PRODUCT, "")
        page = self.run_to_first_page(folder)
        self.finish(page)

    def test_background_window_is_maximised_behind_the_page(self):
        folder = fresh_folder("background")
        write_settings(folder, PLAIN_PRODUCT + """[BACKGROUND]
0=1
1=Trace Product Setup
2=Corner text
3=top@0x00,0x00,0xFF
4=bottom@0x00,0x00,0x00
""", "")
        page = self.run_to_first_page(folder)
        deadline = time.time() + 5
        while True:
            frames = [w for w in self.driver.windows() if w["caption"] == "Ambrel Corvane" and w["visible"]]
            if (frames and frames[0]["width"] >= 1024) or time.time() > deadline:
                break
            time.sleep(0.2)
        self.assertEqual(len(frames), 1, self.driver.windows())
        self.assertGreaterEqual(frames[0]["width"], 1024, frames)
        shot = screenshot("startup-background")
        # The gradient runs from blue at the top to black at the bottom over the whole screen,
        # and the page stays in front of it.
        top, right, bottom = pixel(shot, 5, 120), pixel(shot, 1015, 300), pixel(shot, 5, 740)
        self.assertGreater(top[2], 150, top)
        self.assertLess(top[0] + top[1], 40, top)
        self.assertGreater(right[2], 100, f"the right side is not covered: {right}")
        self.assertLess(bottom[2], right[2], (right, bottom))
        page_pixel = pixel(shot, 400, 450)
        self.assertGreater(min(page_pixel), 200, f"the page is not in front: {page_pixel}")
        self.finish(page)

    def test_no_background_keeps_the_frame_hidden(self):
        folder = fresh_folder("hidden-frame")
        write_settings(folder, PLAIN_PRODUCT + "[BACKGROUND]\n0=0\n", "")
        page = self.run_to_first_page(folder)
        visible = [w for w in self.driver.windows() if w["visible"]]
        self.assertEqual([w["hwnd"] for w in visible], [page])
        self.finish(page)


def pixel(png, x, y):
    out = subprocess.run(["convert", str(png), "-crop", f"1x1+{x}+{y}", "-depth", "8", "txt:-"],
                         capture_output=True, text=True, check=True).stdout
    m = re.search(r"\((\d+),(\d+),(\d+)", out.splitlines()[-1])
    return tuple(int(v) for v in m.groups())


if __name__ == "__main__":
    unittest.main()
