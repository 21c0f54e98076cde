#!/usr/bin/env python3
"""File actions under Wine: a program run once or at every entry of its page and waited for,
a support file from the work folder, a web address opened even when the action's condition
fails, library functions that note the install folder or abort to the completion page, and
the actions of the Finish button."""
import subprocess
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import cvdrive  # noqa: E402
from actions_product import (INSTALL_DIR, RECORDER, Wizard, condition, file_action, lines,  # noqa: E402
                             make_folder, section, settings)
from cvdrive import screenshot, win_path  # noqa: E402

HTTP_COMMAND = "HKLM\\Software\\Classes\\http\\shell\\open\\command"


def reg(*args):
    return subprocess.run(["wine", "reg", *args], capture_output=True, text=True, timeout=60)


class FileActions(cvdrive.SetupRunTest):
    def start(self, name, *sections, archive=None):
        self.folder = make_folder(name, settings(*sections), archive=archive)
        self.driver.start(cvdrive.SETUP_EXE, self.folder)
        self.wizard = Wizard(self, self.driver)
        return self.wizard.page("Page one")

    def log(self, timeout=0):
        return lines(self.folder / "recorder.log", timeout)

    def test_run_once_and_every_entry_programs_are_waited_for(self):
        recorder = "<CurrentDirectory>recorder.exe"
        actions = section("FILEACTION", [
            file_action(recorder, "once", once="Yes"),
            file_action(recorder, "every <ProductName>"),
        ])
        one = self.start("file-actions-once", actions)
        self.assertEqual(self.log(), [], "nothing is bound to the first page")
        self.wizard.press(one, "Next")
        two = self.wizard.page("Page two")
        self.assertEqual(self.log(), ["once", "every Actions Product"])
        self.wizard.press(two, "Back")
        one = self.wizard.page("Page one")
        # Going back runs nothing.
        self.assertEqual(self.log(), ["once", "every Actions Product"])
        self.wizard.press(one, "Next")
        self.wizard.page("Page two")
        self.assertEqual(self.log(), ["once", "every Actions Product", "every Actions Product"])

    def test_operating_system_mask_admits_by_the_running_version(self):
        # The test prefix reports Windows 7, named "VIS" (mask bit 1).
        recorder = "<CurrentDirectory>recorder.exe"
        actions = section("FILEACTION", [
            file_action(recorder, "all", systems=255),
            file_action(recorder, "vista-on", systems=1),
            file_action(recorder, "xp-only", systems=4),
            file_action(recorder, "none", systems=0),
        ])
        one = self.start("file-actions-systems", actions)
        self.wizard.press(one, "Next")
        self.wizard.page("Page two")
        self.assertEqual(self.log(), ["all", "vista-on"])

    def test_support_file_comes_from_the_work_folder(self):
        actions = section("FILEACTION", [
            file_action("<ResourceDir>\\recorder.exe", "from-work-folder", trigger="Install Welcome"),
        ])
        folder = make_folder("file-actions-support", settings(
            actions, "[BUILDING]\n4=Yes\n").replace("W0=one.lcd", "W0=welcome.lcd"),
            archive={"recorder.exe": RECORDER.read_bytes()})
        (folder / "theme" / "one.lcd").rename(folder / "theme" / "welcome.lcd")
        (folder / "recorder.exe").unlink()
        self.folder = folder
        self.driver.start(cvdrive.SETUP_EXE, folder)
        Wizard(self, self.driver).page("Page one")
        self.assertEqual(self.log(), ["from-work-folder"])

    def test_web_address_opens_even_when_the_condition_fails(self):
        # The shell opens http addresses with the recorder, which logs into setup's folder.
        before = reg("query", HTTP_COMMAND, "/ve")
        self.addCleanup(self.restore_http_command, before)
        reg("add", HTTP_COMMAND, "/ve", "/d", f'"{win_path(RECORDER)}" opened %1', "/f")
        conditions = section("CONDITIONS", [condition(0, "never", "1", "==", "2")])
        actions = section("FILEACTION", [
            file_action("http://127.0.0.1/page.html", condition_name="never"),
            file_action("http://127.0.0.1/tool.exe", "/q"),
            file_action("<CurrentDirectory>recorder.exe", "after-web", condition_name="never"),
        ])
        one = self.start("file-actions-web", conditions, actions)
        self.wizard.press(one, "Next")
        self.wizard.page("Page two")
        # Each address is opened once, also the one that names a program; the program of
        # the failing condition does not run.
        self.assertEqual(sorted(line.split('" ', 1)[-1] for line in self.wait_lines(self.folder / "recorder.log", 2)),
                         ["opened http://127.0.0.1/page.html", "opened http://127.0.0.1/tool.exe"])

    def wait_lines(self, path, count, timeout=30):
        """The lines of `path` once it has `count` of them (or after `timeout`), a few
        seconds later again so that a line too many would show."""
        deadline = time.time() + timeout
        while len(lines(path)) < count and time.time() < deadline:
            time.sleep(0.2)
        time.sleep(3)
        return lines(path)

    def restore_http_command(self, before):
        value = [line for line in before.stdout.splitlines() if "REG_SZ" in line]
        if value:
            reg("add", HTTP_COMMAND, "/ve", "/d", value[0].split("REG_SZ", 1)[1].strip(), "/f")
        else:
            reg("delete", HTTP_COMMAND, "/ve", "/f")

    def test_library_function_gets_the_install_folder(self):
        library = "<CurrentDirectory>actionlib.dll"
        actions = section("FILEACTION", [
            file_action(library, "NoteFolder", trigger="two.lcd"),
            file_action(library, "MissingFunction", trigger="two.lcd"),
            file_action("<CurrentDirectory>missing.dll", "AbortSetup", trigger="two.lcd"),
        ])
        one = self.start("file-actions-library", actions)
        self.wizard.press(one, "Next")
        two = self.wizard.page("Page two")
        self.assertEqual(lines(self.folder / "actionlib.log"), [f"0|{INSTALL_DIR}\\"])
        # A function that answers 0, a missing function and a missing library let it go on.
        self.wizard.press(two, "Next")
        self.wizard.page("Completed")

    def test_library_abort_skips_the_page(self):
        actions = section("FILEACTION", [file_action("<CurrentDirectory>actionlib.dll", "AbortSetup")])
        one = self.start("file-actions-abort", actions)
        self.wizard.press(one, "Next")
        done = self.wizard.page("Completed")
        screenshot("file-actions-aborted")
        self.assertNotIn("Page two", self.wizard.labels())
        self.wizard.press(done, "Finish")
        self.assertEqual(self.driver.exit_code(30000), 0)

    def test_finish_button_runs_its_actions_before_setup_ends(self):
        actions = section("FILEACTION", [
            file_action("<CurrentDirectory>recorder.exe", "finish", trigger="After Click Finish Button"),
        ])
        one = self.start("file-actions-finish", actions)
        self.wizard.press(one, "Next")
        two = self.wizard.page("Page two")
        self.wizard.press(two, "Next")
        done = self.wizard.page("Completed")
        self.assertEqual(self.log(), [])
        self.wizard.press(done, "Finish")
        self.assertEqual(self.driver.exit_code(30000), 0)
        self.assertEqual(self.log(), ["finish"])


if __name__ == "__main__":
    unittest.main()
