#!/usr/bin/env python3
"""Billboards under Wine: the pictures of BILLBOARDSCV show one after another for their
seconds, each in its own size at its position (window rectangles read while they show);
a picture is looked for in the work folder before the disk images; a picture that cannot be
found keeps the previous one; a position of 0 counts as 1; the show's thread ends after the
last picture, and no window shows before a picture has loaded."""
import struct
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import cvdrive  # noqa: E402
from actions_product import PRODUCT, Wizard, make_folder, section, settings  # noqa: E402
from cvdrive import TraceMonitor, screenshot  # noqa: E402


def bmp(width, height, colour):
    """A 24-bit bitmap file of one colour (r, g, b)."""
    row = bytes((colour[2], colour[1], colour[0])) * width
    row += b"\0" * ((4 - len(row) % 4) % 4)
    pixels = row * height
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + pixels


def billboards(*rows):
    """BILLBOARDSCV with rows of (picture, seconds, x, y)."""
    return section("BILLBOARDSCV", [{"B": p, "C": str(s), "D": str(x), "E": str(y)} for p, s, x, y in rows])


class Billboards(cvdrive.SetupRunTest):
    def run_show(self, name, rows, archive, disk_image2=None, seconds=12):
        """Starts the product and samples the billboard window until it has gone (or
        `seconds` passed): the list of (first seen, last seen, x, y, width, height)."""
        folder = make_folder(name, settings(billboards(*rows)), archive=archive)
        for picture, data in (disk_image2 or {}).items():
            (folder / "DiskImage2").mkdir(exist_ok=True)
            (folder / "DiskImage2" / picture).write_bytes(data)
        self.monitor = TraceMonitor(folder)
        self.addCleanup(self.monitor.stop)
        self.assertTrue(self.monitor.wait_ready(self.driver))
        self.driver.start(cvdrive.SETUP_EXE, folder)
        samples, shots, start = [], [], time.time()
        while time.time() - start < seconds:
            now = time.time() - start
            windows = [w for w in self.driver.windows() if w["visible"]]
            boards = [w for w in windows if w["class"] == "#32770" and w["caption"] == ""]
            for w in boards:
                # One screenshot of each picture once it has had time to paint.
                seen = (w["hwnd"], w["x"], w["y"], w["width"], w["height"])
                first = next((t for t, x in samples if x["hwnd"] == w["hwnd"] and
                              (x["x"], x["y"], x["width"], x["height"]) == seen[1:]), now)
                if seen not in shots and now - first > 0.4:
                    shots.append(seen)
                    screenshot(f"{name}-{len(shots)}")
            samples += [(now, w) for w in boards]
            # Top first: a billboard lies above the wizard's pages.
            if boards and any(w["caption"] == PRODUCT for w in windows):
                order = [w["caption"] for w in windows]
                self.assertLess(order.index(""), order.index(PRODUCT), windows)
            if not boards and samples and self.ended():
                break
            time.sleep(0.05)
        # The start page shows without a caption for a moment while it unpacks; the billboard
        # is the captionless window seen last.
        board = samples[-1][1]["hwnd"] if samples else None
        shown = []
        for now, w in samples:
            if w["hwnd"] != board:
                continue
            rect = (w["x"], w["y"], w["width"], w["height"])
            if shown and tuple(shown[-1][2:]) == rect:
                shown[-1][1] = now
            else:
                shown.append([now, now, *rect])
        return [tuple(s) for s in shown]

    def traces(self):
        return [line.split(") -", 1)[1].rstrip("*") for line in self.monitor.lines() if ") -" in line]

    def ended(self):
        return "billboards end" in self.traces()

    def test_three_pictures_in_order_at_their_places_and_sizes(self):
        archive = {"first.bmp": bmp(120, 80, (200, 30, 30)), "third.bmp": bmp(90, 150, (30, 30, 200))}
        # The work folder's first.bmp wins over the one in the disk image; second.bmp is only
        # in the disk image.
        disk = {"first.bmp": bmp(300, 300, (0, 0, 0)), "second.bmp": bmp(200, 100, (30, 200, 30))}
        shown = self.run_show("billboards-three", [("D:\\art\\first.bmp", 1, 100, 60), ("second.bmp", 2, 400, 200),
                                                   ("third.bmp", 1, 600, 300)], archive, disk)
        rects = [s[2:] for s in shown]
        self.assertEqual(rects, [(100, 60, 120, 80), (400, 200, 200, 100), (600, 300, 90, 150)], shown)
        durations = [last - first for first, last, *_ in shown]
        # Sampled: the two-second picture is seen for longer than either one-second picture,
        # and no picture for much longer than its time.
        self.assertGreater(durations[1], 1.3, shown)
        self.assertGreater(durations[1], durations[0] + 0.3, shown)
        self.assertGreater(durations[1], durations[2] + 0.3, shown)
        self.assertTrue(all(d < s + 0.7 for d, s in zip(durations, (1, 2, 1))), shown)
        self.assertTrue(self.ended(), self.traces())
        self.assertEqual([t for t in self.traces() if t.startswith("billboard ")],
                         ["billboard 0 first.bmp", "billboard 1 second.bmp", "billboard 2 third.bmp"])
        Wizard(self, self.driver).page("Page one")

    def test_missing_picture_keeps_the_previous_one_and_zero_position_is_one(self):
        archive = {"first.bmp": bmp(120, 80, (200, 30, 30)), "third.bmp": bmp(90, 150, (30, 30, 200))}
        shown = self.run_show("billboards-missing", [("first.bmp", 1, 0, 50), ("missing.bmp", 2, 400, 400),
                                                     ("third.bmp", 1, 300, 0)], archive)
        rects = [s[2:] for s in shown]
        self.assertEqual(rects, [(1, 50, 120, 80), (300, 1, 90, 150)], shown)
        # The first picture stays through the missing one's two seconds.
        self.assertGreater(shown[0][1] - shown[0][0], 2.3, shown)
        self.assertTrue(self.ended(), self.traces())

    def test_no_window_before_a_picture_has_loaded(self):
        archive = {"third.bmp": bmp(90, 150, (30, 30, 200)), "broken.bmp": b"BM not a picture"}
        shown = self.run_show("billboards-late", [("missing.bmp", 1, 10, 10), ("broken.bmp", 1, 10, 10),
                                                  ("third.bmp", 1, 500, 100)], archive)
        self.assertEqual([s[2:] for s in shown], [(500, 100, 90, 150)], shown)
        self.assertGreater(shown[0][0], 1.5, "the window showed before its picture")
        self.assertTrue(self.ended(), self.traces())


if __name__ == "__main__":
    unittest.main()
