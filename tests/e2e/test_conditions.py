#!/usr/bin/env python3
"""Conditions under Wine: numeric and textual comparisons bound to a page, the message action,
the cancel action leading to the completion page, and the check by name that takes the last
condition of a name."""
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import cvdrive  # noqa: E402
from actions_product import (Wizard, condition, file_action, lines, make_folder, section,  # noqa: E402
                             settings)
from cvdrive import screenshot  # noqa: E402


class Conditions(cvdrive.SetupRunTest):
    def start(self, name, *sections):
        self.folder = make_folder(name, settings(*sections))
        self.driver.start(cvdrive.SETUP_EXE, self.folder)
        self.wizard = Wizard(self, self.driver)
        return self.wizard.page("Page one")

    def test_comparisons_on_page_entry_show_their_messages(self):
        conditions = section("CONDITIONS", [
            condition(0, "numeric", "10", ">", "9", "two.lcd", ["ShowMessage(Ten is more than nine);"]),
            condition(1, "textual", "10", "==", "10.0", "two.lcd", ["ShowMessage(Ten equals ten point nought);"]),
            condition(2, "elsewhere", "1", "==", "1", "complete.lcd", ["ShowMessage(Not on page two);"]),
        ])
        one = self.start("conditions-compare", conditions)
        # No condition is bound to the first page.
        self.assertEqual(self.wizard.message(timeout=2), (None, []))
        self.wizard.press(one, "Next")
        box, texts = self.wizard.message()
        self.assertIsNotNone(box, "no message for 10 > 9")
        screenshot("conditions-message")
        self.assertIn("Ten is more than nine", texts)
        # The page is entered only once the message is answered.
        self.assertNotIn("Page two", self.wizard.labels())
        self.assertTrue(self.driver.click(box, "OK"))
        self.wizard.page("Page two")
        # "10" == "10.0" compares texts and does not hold, so no second message came.
        self.assertEqual(self.wizard.message(timeout=2), (None, []))

    def test_cancel_action_aborts_to_the_completion_page(self):
        conditions = section("CONDITIONS", [
            condition(0, "stop", "10", "!=", "11", "two.lcd", ["CancelInstall();"]),
        ])
        one = self.start("conditions-cancel", conditions)
        self.wizard.press(one, "Next")
        done = self.wizard.page("Completed")
        screenshot("conditions-cancelled")
        self.assertNotIn("Page two", self.wizard.labels())
        self.wizard.press(done, "Finish")
        self.assertEqual(self.driver.exit_code(30000), 0)

    def test_check_by_name_uses_the_last_condition_of_the_name(self):
        recorder = "<CurrentDirectory>recorder.exe"
        conditions = section("CONDITIONS", [
            condition(0, "later holds", "1", "==", "2"),
            condition(1, "later holds", "1", "==", "1"),
            condition(2, "later fails", "3", ">=", "2"),
            condition(3, "later fails", "3", "<", "2"),
        ])
        actions = section("FILEACTION", [
            file_action(recorder, "later-holds-ran", condition_name="later holds"),
            file_action(recorder, "later-fails-ran", condition_name="later fails"),
            file_action(recorder, "unknown-ran", condition_name="no such condition"),
            file_action(recorder, "empty-ran", condition_name=""),
        ])
        one = self.start("conditions-by-name", conditions, actions)
        self.wizard.press(one, "Next")
        self.wizard.page("Page two")
        # The programs are waited for, so their lines are there once the page shows.
        self.assertEqual(lines(self.folder / "recorder.log"), ["later-holds-ran", "unknown-ran", "empty-ran"])


if __name__ == "__main__":
    unittest.main()
