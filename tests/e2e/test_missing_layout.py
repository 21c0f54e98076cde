#!/usr/bin/env python3
"""A theme without the completion page's layout file: confirming Cancel names the missing file
in a message, and setup then ends with exit code 0 and its work folder removed, instead of
running on behind a page of no size."""
import re
import shutil
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import cvdrive  # noqa: E402
from cvdrive import fresh_folder, screenshot  # noqa: E402
from demo_wizard import CAPTION, DEMO, ENGLISH, DemoWizardTest, stage  # noqa: E402

MESSAGE = 'The setup cannot continue: the page layout file "complete.lcd" is missing from the theme folder.'


def pack_without_completion_page():
    """The demo product with complete.lcd taken out of its theme and its page list."""
    root = fresh_folder("missing-layout")
    product = root / "product"
    stage(product)
    (product / "theme" / "complete.lcd").unlink()
    settings = (product / "setup.inf").read_bytes().decode("latin-1")
    settings = re.sub(r"W9=complete\.lcd\r?\n", "", settings.replace("TOTAL1=10", "TOTAL1=9"))
    (product / "setup.inf").write_bytes(settings.encode("latin-1"))
    out = root / "setup"
    done = cvdrive.cvbuild("pack", product, out, "--runtime", cvdrive.SETUP_EXE)
    if done.returncode != 0:
        raise AssertionError(f"cvbuild pack failed: {done.stderr}")
    if "missing complete.lcd" not in done.stdout + done.stderr:
        raise AssertionError(f"cvbuild pack gave no warning: {done.stdout} {done.stderr}")
    return out


class MissingLayout(DemoWizardTest):
    @classmethod
    def setUpClass(cls):
        cls.setup = pack_without_completion_page()

    def test_confirmed_cancel_names_the_missing_file_and_ends_cleanly(self):
        self.assertEqual(self.go(ENGLISH.next), "license")
        self.assertEqual(len(cvdrive.work_folders()), 1, "no work folder while the wizard runs")
        self.driver.click(self.page, ENGLISH.cancel)
        question = self.driver.wait("#32770", "Ambrel Corvane", 15000)
        self.assertIsNotNone(question, "no cancel confirmation")
        self.assertTrue(self.driver.click(question, "&Yes"))

        box = self.driver.wait("#32770", "Error", 15000)
        self.assertIsNotNone(box, "no message about the missing layout file")
        screenshot("missing-layout-message")
        # No page of no size is left behind the message.
        pages = [w for w in self.driver.windows() if w["visible"] and w["caption"] == CAPTION]
        self.assertEqual(pages, [], "a page is still shown with the message")
        answered = time.time()
        self.assertEqual(self.driver.answer("OK"), MESSAGE)
        self.assertEqual(self.driver.exit_code(10000), 0)
        self.assertLess(time.time() - answered, 5, "setup took too long to end")
        self.assertEqual(cvdrive.work_folders(), [], "the work folder was left behind")


if __name__ == "__main__":
    unittest.main()
