#!/usr/bin/env python3
"""The Finish button under Wine: the program and readme of the completion page's boxes (the
program started in its own folder with its parameters, the readme opened through the
program associated with its extension), nothing opened with both boxes cleared, both boxes
hidden where the settings withhold them, and the restart question: asked with the product
name, not after an aborted installation, and on Yes the reboot requested with the shutdown
privilege enabled."""
import os
import subprocess
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import cvdrive  # noqa: E402
from actions_product import BUTTONS, LABELS, PRODUCT, Wizard, file_action, layout, lines, make_folder, \
    section, settings  # noqa: E402
from cvdrive import TraceMonitor, screenshot, win_path  # noqa: E402

LAUNCHED = cvdrive.BUILD / "tests" / "e2e" / "launched.exe"
BM_CLICK = 0x00F5
README_TYPE = "HKLM\\Software\\Classes\\.cvnotes"
README_COMMAND = "HKLM\\Software\\Classes\\cvnotesfile\\shell\\open\\command"

LANGUAGE = """[SetupCompleteSuccess]
6=Launch the program
7=Show the readme file
[CancelSetup]
0=Are you sure you want to cancel [ProductName] setup?
1=&No
2=&Yes
"""


def completion_layout():
    """The completion page with its two boxes under the label and the Finish button."""
    page = layout(LABELS["complete.lcd"], BUTTONS["complete.lcd"])
    info, dados = page.split("[DADOS]\n")
    info = info.replace("TOTAL=2", "TOTAL=4")
    info += "2=e2,20,120,300,18,CHECKBOX,{},p,110\n3=e3,20,150,300,18,CHECKBOX,{},p,111\n"
    dados += ("110,t=4\n110,0=Name|IDC_LAUNCHFILE|0\n110,1=Text|x|0\n"
              "111,t=4\n111,0=Name|IDC_LAUNCHREADME|0\n111,1=Text|x|0\n")
    return info + "[DADOS]\n" + dados


def reg(*args):
    """Runs Wine's reg with its output dropped: no pipe, as the first Wine command of a session
    starts Wine's background processes, which inherit its handles and would hold a pipe open
    until the timeout."""
    return subprocess.run(["wine", "reg", *args], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL, timeout=120)


class Finish(cvdrive.SetupRunTest):
    @classmethod
    def tearDownClass(cls):
        reg("delete", README_TYPE, "/f")
        reg("delete", "HKLM\\Software\\Classes\\cvnotesfile", "/f")

    def start(self, name, *sections, completion=None, restart="No", offer="Yes"):
        app = cvdrive.fresh_folder(name + "-app")
        (app / "launched.exe").write_bytes(LAUNCHED.read_bytes())
        (app / "notes.cvnotes").write_text("notes\r\n")
        self.app = app
        # Files of the notes type open with this run's copy of the stand-in viewer.
        reg("add", README_TYPE, "/ve", "/d", "cvnotesfile", "/f")
        reg("add", README_COMMAND, "/ve", "/d", f'"{win_path(app)}\\launched.exe" readme "%1"', "/f")
        keys = (f"CT9={offer}\nCT10={win_path(app)}\\launched.exe\nCT11=--first \"two words\"\n"
                f"CT12={offer}\nCT13={win_path(app)}\\notes.cvnotes\nCT14={restart}\n")
        text = settings(*sections).replace("W2=complete.lcd\n", "W2=complete.lcd\n" + keys)
        self.folder = make_folder(name, text)
        (self.folder / "theme" / "complete.lcd").write_text(completion_layout())
        (self.folder / "language.lan").write_text(LANGUAGE)
        self.monitor = TraceMonitor(self.folder)
        self.addCleanup(self.monitor.stop)
        self.assertTrue(self.monitor.wait_ready(self.driver))
        self.driver.start(cvdrive.SETUP_EXE, self.folder)
        self.wizard = Wizard(self, self.driver)
        one = self.wizard.page("Page one")
        self.wizard.press(one, "Next")
        two = self.wizard.page("Page two")
        self.wizard.press(two, "Next")
        return self.wizard.page("Completed")

    def box(self, page, caption):
        found = [c for c in self.driver.controls(page["hwnd"]) if c["text"] == caption]
        self.assertEqual(len(found), 1, caption)
        return found[0]

    def traces(self):
        return [line.split(") -", 1)[1].rstrip("*") for line in self.monitor.lines() if ") -" in line]

    def launched(self, count, timeout=20):
        """The lines the launched programs wrote once it has `count` of them, a few seconds later again so
        that one line too many would show."""
        def read():
            return [line for path in sorted(self.app.glob("launched-*.log")) for line in lines(path)]
        deadline = time.time() + timeout
        while len(read()) < count and time.time() < deadline:
            time.sleep(0.2)
        time.sleep(2)
        return read()

    def test_both_boxes_cleared_open_nothing(self):
        done = self.start("finish-nothing")
        for caption in ("Launch the program", "Show the readme file"):
            box = self.box(done, caption)
            self.assertTrue(box["visible"], caption)
            self.driver.send(box["hwnd"], BM_CLICK)
        screenshot("finish-boxes-cleared")
        self.wizard.press(done, "Finish")
        self.assertEqual(self.driver.exit_code(30000), 0)
        self.assertEqual(self.launched(0), [])
        self.assertIn("z2", self.traces())

    def test_program_starts_in_its_folder_with_its_parameters_and_readme_opens(self):
        done = self.start("finish-launch")
        screenshot("finish-boxes-set")
        self.wizard.press(done, "Finish")
        self.assertEqual(self.driver.exit_code(30000), 0)
        folder = win_path(self.app)
        got = sorted(self.launched(2))
        self.assertEqual(len(got), 2, got)
        program, readme = got[0], got[1]
        if "readme" in program:
            program, readme = readme, program
        cwd, command = program.split("|", 1)
        self.assertEqual(cwd.rstrip("\\").lower(), folder.lower())
        self.assertTrue(command.endswith('--first "two words"'), command)
        self.assertIn(f'readme "{folder}\\notes.cvnotes"'.lower(), readme.lower())

    def test_boxes_the_settings_withhold_stay_hidden(self):
        # The work folder, with the settings file in it, is gone by the time the page shows:
        # the offers read at start-up decide.
        done = self.start("finish-withheld", offer="No")
        for caption in ("Launch the program", "Show the readme file"):
            self.assertFalse(self.box(done, caption)["visible"], caption)
        screenshot("finish-boxes-withheld")
        self.wizard.press(done, "Finish")
        self.assertEqual(self.driver.exit_code(30000), 0)
        self.assertEqual(self.launched(0), [])

    def test_restart_question_names_the_product_and_no_keeps_the_machine(self):
        done = self.start("finish-restart-no", restart="Yes", offer="No")
        self.wizard.press(done, "Finish")
        text = self.driver.answer("&No", 30000)
        screenshot("finish-restart-question")
        self.assertIsNotNone(text, "no restart question")
        self.assertIn(f"configuration changes made to {PRODUCT} to take effect", text)
        self.assertEqual(self.driver.exit_code(30000), 0)
        self.assertFalse([t for t in self.traces() if t.startswith("restart:")])

    def test_no_restart_question_after_an_aborted_installation(self):
        abort = section("FILEACTION", [file_action("<CurrentDirectory>actionlib.dll", "AbortSetup")])
        self.folder = None
        app = cvdrive.fresh_folder("finish-aborted-app")
        self.app = app
        text = settings(abort).replace("W2=complete.lcd\n", "W2=complete.lcd\nCT14=Yes\n")
        self.folder = make_folder("finish-aborted", text)
        (self.folder / "language.lan").write_text(LANGUAGE)
        self.driver.start(cvdrive.SETUP_EXE, self.folder)
        wizard = Wizard(self, self.driver)
        one = wizard.page("Page one")
        wizard.press(one, "Next")
        done = wizard.page("Completed")
        wizard.press(done, "Finish")
        self.assertIsNone(self.driver.answer("&No", 5000), "a restart question after the abort")
        self.assertEqual(self.driver.exit_code(30000), 0)

    def test_yes_requests_the_reboot_with_the_shutdown_privilege(self):
        done = self.start("finish-restart-yes", restart="Yes", offer="No")
        self.wizard.press(done, "Finish")
        self.assertIsNotNone(self.driver.answer("&Yes", 30000), "no restart question")
        deadline = time.time() + 30
        while "restart: requesting a forced reboot" not in self.traces() and time.time() < deadline:
            time.sleep(0.2)
        traces = self.traces()
        self.assertIn("restart: shutdown privilege enabled", traces)
        self.assertIn("restart: requesting a forced reboot", traces)


if __name__ == "__main__":
    unittest.main()
