#!/usr/bin/env python3
"""The completion page that a confirmed cancel shows while the engine still undoes the run:
Finish pressed on it at once must not cut the undo short. The product has a file action, so
the finish is the step that removes the work folder, which holds the copy of a file the run
had overwritten; the machine must be as before the run once the setup has ended."""
import shutil
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import cvdrive  # noqa: E402
import machine_snapshot  # noqa: E402
from actions_product import Wizard  # noqa: E402
from cvdrive import screenshot  # noqa: E402
from e2e_product import ALLOWED, UNINSTALL_KEY, log_file, make_product, pack, unix_path, wine_run  # noqa: E402

BODY = b"".join(b"line %06d of a text file that compresses well\r\n" % i for i in range(600))
PBM_GETRANGE, PBM_GETPOS = 0x0407, 0x0408


class FinishDuringUndo(cvdrive.SetupRunTest):
    def test_finish_at_once_waits_for_the_undo(self):
        code, target, shared = "CVE2EUNDOFINISH", "C:\\CvE2EUndoFinish", "C:\\CvE2EUndoShared"
        wine_run("reg", "delete", UNINSTALL_KEY + code, "/f")
        for folder in (unix_path(target), unix_path(shared), log_file(code).parent):
            if folder.exists():
                shutil.rmtree(folder)
        # The overwritten file comes in the middle of the copy: it is copied before the cancel,
        # and the undo, which takes files back in the order of the log, restores it only after
        # removing a thousand others.
        files = [(f"files\\f{i:04}.txt", BODY, f"Destination Computer\\<InstallDir>\\d{i // 250}*0*0*0|")
                 for i in range(2000)]
        files.insert(1000, ("files\\over.txt", b"the product's copy\r\n", f"Destination Computer\\{shared}*0*0*0|"))
        product = make_product("undo-finish", {"a1": "Undo Finish", "a2": "1", "a3": code, "a4": target}, files)
        # A file action (bound to a page the list does not show, so it never runs) makes the
        # finish the step that removes the work folder.
        settings = product / "setup.inf"
        settings.write_bytes(settings.read_bytes() + b"[FILEACTION]\r\nTOTAL=1\r\nB0=recorder.exe\r\nC0=\r\n"
                             b"E0=two.lcd\r\nF0=\r\nG0=No\r\nH0=No\r\nL0=255\r\nM0=No Condition\r\n")
        setup = pack(product)
        unix_path(shared).mkdir(parents=True)
        (unix_path(shared) / "over.txt").write_bytes(b"the machine's copy\r\n")
        before = machine_snapshot.take(wine_run)

        wizard = Wizard(self, self.driver)
        self.driver.start(setup / "setup.exe", setup)
        wizard.press(wizard.page("Page one", 180), "Next")
        progress = wizard.page("Installing")
        bar = next(c for c in self.driver.controls(progress["hwnd"]) if c["class"] == "msctls_progress32")
        # Cancel late in the copy, so that there is much to undo.
        deadline = time.time() + 120
        while time.time() < deadline:
            end = self.driver.send(bar["hwnd"], PBM_GETRANGE) or 0
            if end and (self.driver.send(bar["hwnd"], PBM_GETPOS) or 0) >= end * 6 // 10:
                break
            time.sleep(0.05)
        self.assertTrue(self.driver.click(progress["hwnd"], "Cancel"))
        confirm = self.driver.wait("#32770", "Ambrel Corvane", 15000)
        self.assertIsNotNone(confirm, "no cancel confirmation")
        self.assertTrue(self.driver.click(confirm, "OK"))
        done = wizard.page("Completed", 60)
        # Finish at once, while the run is still being undone.
        self.assertTrue(self.driver.click(done["hwnd"], "Finish"))
        screenshot("undo-finish-at-once")
        self.assertEqual(self.driver.exit_code(120000), 0)

        self.assertEqual((unix_path(shared) / "over.txt").read_bytes(), b"the machine's copy\r\n",
                         "the overwritten file did not get its old bytes back")
        self.assertFalse(unix_path(target).exists(), "the undo left the install folder")
        self.assertEqual(cvdrive.work_folders(), [], "the work folder is still there")
        left = machine_snapshot.difference(before, machine_snapshot.take(wine_run), ALLOWED)
        self.assertEqual(left, [], "Finish during the undo left differences on the machine")


if __name__ == "__main__":
    unittest.main()
