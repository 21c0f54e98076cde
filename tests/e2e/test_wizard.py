#!/usr/bin/env python3
"""The wizard under Wine with the demo product: walking forwards through every page and back
again, the page placement from the layout files, the Back and Cancel states, the custom-setup
skip for the non-custom setup types, and Cancel ending at the completion page."""
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from cvdrive import screenshot  # noqa: E402
from demo_wizard import CAPTION, DEMO, ENGLISH, DemoWizardTest, pack  # noqa: E402

SCREEN_W, SCREEN_H = 1024, 768
CAPTION_BAR = 18  # Wine's caption metric on the harness's screen
TITLES = ENGLISH.titles
NEXT, BACK, CANCEL = ENGLISH.next, ENGLISH.back, ENGLISH.cancel


def layout_size(name):
    """The width and height of a layout file's MAINWINDOW section."""
    values = {}
    for line in (DEMO / "theme" / f"{name}.lcd").read_text().splitlines():
        key, _, value = line.partition("=")
        values[key.strip().lower()] = value.strip()
    return int(values["width"]), int(values["height"])


class Wizard(DemoWizardTest):
    @classmethod
    def setUpClass(cls):
        cls.setup = pack("wizard")

    # ------------------------------------------------------------ helpers

    def texts(self):
        return self.texts_shown()

    def assert_placed(self, name):
        width, height = layout_size(name)
        shown = height - (25 - CAPTION_BAR)
        w = self.window(self.page)
        self.assertEqual((w["width"], w["height"]), (width, shown), name)
        self.assertEqual((w["x"], w["y"]), (SCREEN_W // 2 - width // 2, SCREEN_H // 2 - shown // 2), name)
        self.assertEqual(w["caption"], CAPTION)

    def confirm_cancel(self, answer):
        box = self.driver.wait("#32770", "Ambrel Corvane", 15000)
        self.assertIsNotNone(box, "no cancel confirmation")
        screenshot(f"wizard-cancel-question-{answer}")
        self.assertTrue(self.driver.click(box, answer))

    def to_setup_type(self):
        for expected, clicks in (("welcome", []), ("license", [ENGLISH.accept]),
                                 ("readme", []), ("customer", []), ("destination", [])):
            self.assertEqual(self.shown_page(), expected)
            for caption in clicks:
                self.driver.click(self.page, caption)
            self.go(NEXT)
        self.assertEqual(self.shown_page(), "setuptype")

    # ------------------------------------------------------------ tests

    def test_walk_forwards_through_every_page_and_back_again(self):
        order = list(TITLES)
        self.assertEqual(self.shown_page(), "welcome")
        self.assertFalse(self.button(BACK)["enabled"])
        # Back on the first page shows the first page again, in a new window.
        first = self.page
        self.assertEqual(self.go(BACK), "welcome")
        self.assertNotEqual(self.page, first)

        walked = []
        for name in order[:order.index("ready") + 1]:
            self.assertEqual(self.shown_page(), name)
            self.assert_placed(name)
            screenshot(f"wizard-{len(walked) + 1:02}-{name}")
            walked.append(name)
            if name == "license":
                # Next waits for the licence to be accepted; declining disables it again.
                self.assertFalse(self.button(NEXT)["enabled"])
                self.driver.click(self.page, "I &accept the terms in the license agreement")
                time.sleep(0.3)
                self.assertTrue(self.button(NEXT)["enabled"])
                self.driver.click(self.page, "I &do not accept the terms in the license agreement")
                time.sleep(0.3)
                self.assertFalse(self.button(NEXT)["enabled"])
                self.driver.click(self.page, "I &accept the terms in the license agreement")
            if name == "setuptype":
                self.driver.click(self.page, "C&ustom")
            if name != "welcome":
                self.assertTrue(self.button(BACK)["enabled"], name)
            self.assertTrue(self.button(CANCEL)["enabled"], name)
            if name != "ready":
                self.go(NEXT)
        self.assertEqual(walked, order[:order.index("ready") + 1])
        self.assertIn("Custom", " ".join(self.texts()))

        back = []
        for _ in range(len(walked) - 1):
            back.append(self.go(BACK))
        self.assertEqual(back, list(reversed(walked[:-1])))
        self.assertFalse(self.button(BACK)["enabled"])

    def test_install_passes_the_progress_page_to_the_completion_page(self):
        self.to_setup_type()
        self.driver.click(self.page, "C&ustom")
        self.assertEqual(self.go(NEXT), "customsetup")
        self.assertEqual(self.go(NEXT), "ready")
        # The progress page runs the installation 300 ms after it is shown and then gives
        # way to the completion page; every page seen in between is the progress page.
        self.driver.click(self.page, "&Install")
        seen, deadline = [], time.time() + 20
        while time.time() < deadline and TITLES["complete"] not in " ".join(seen):
            for w in self.driver.windows():
                if w["visible"] and w["caption"] == CAPTION and w["hwnd"] != self.page:
                    self.page = w["hwnd"]
                    seen.append(" ".join(self.texts()))
            time.sleep(0.05)
        self.assertTrue(seen and TITLES["complete"] in seen[-1], seen)
        for texts in seen[:-1]:
            self.assertIn("Installing Corvane Demo", texts)
        time.sleep(0.3)
        self.assertEqual(self.shown_page(), "complete")
        self.assert_placed("complete")
        screenshot("wizard-10-complete")
        self.assertFalse(self.button(BACK)["enabled"])
        self.assertFalse(self.button(CANCEL)["enabled"])
        launch = self.button("Launch the program")
        self.assertTrue(launch["visible"])
        self.driver.click(self.page, "&Finish")
        self.assertEqual(self.driver.exit_code(20000), 0)

    def test_non_custom_setup_types_skip_the_custom_page_both_ways(self):
        self.to_setup_type()
        for choice, summary in (("&Typical", "Typical"), ("&Minimal", "Minimal")):
            with self.subTest(choice=choice):
                self.driver.click(self.page, choice)
                self.assertEqual(self.go(NEXT), "ready")
                self.assertIn(summary, " ".join(self.texts()))
                self.assertEqual(self.go(BACK), "setuptype")
        # The custom type visits the page in both directions.
        self.driver.click(self.page, "C&ustom")
        self.assertEqual(self.go(NEXT), "customsetup")
        self.assertEqual(self.go(NEXT), "ready")
        self.assertEqual(self.go(BACK), "customsetup")
        self.assertEqual(self.go(BACK), "setuptype")

    def test_declined_cancel_keeps_the_page(self):
        self.go(NEXT)
        self.assertEqual(self.shown_page(), "license")
        self.driver.click(self.page, CANCEL)
        self.confirm_cancel("&No")
        time.sleep(0.5)
        w = self.window(self.page)
        self.assertTrue(w and w["visible"])
        self.assertEqual(self.shown_page(), "license")
        self.assertTrue(self.button(CANCEL)["enabled"])
        self.assertEqual(self.go(BACK), "welcome")

    def test_confirmed_cancel_ends_at_the_completion_page(self):
        self.go(NEXT)
        self.driver.click(self.page, CANCEL)
        self.confirm_cancel("&Yes")
        self.assertEqual(self.replaced(), "complete")
        screenshot("wizard-cancelled-complete")
        texts = self.texts()
        self.assertIn("The wizard was interrupted before Corvane Demo could be completely installed. "
                      "Your system has not been modified.", texts)
        self.assertFalse(self.button("Launch the program")["visible"])
        self.assertFalse(self.button(BACK)["enabled"])
        self.assertFalse(self.button(CANCEL)["enabled"])
        visible = [w for w in self.driver.windows() if w["visible"] and w["caption"] == CAPTION]
        self.assertEqual([w["hwnd"] for w in visible], [self.page], "the cancelled page is still open")
        self.driver.click(self.page, "&Finish")
        self.assertEqual(self.driver.exit_code(20000), 0)


if __name__ == "__main__":
    unittest.main()
