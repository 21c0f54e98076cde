#!/usr/bin/env python3
"""A cancelled or aborted installation is undone at its end: cancel in the middle of a large
copy, Abort on a file another program holds, and a critical file that cannot be installed
each leave the registry and drive_c as they were before the run (a file the run had
overwritten has its old bytes again); an installation over an earlier one that is cancelled
leaves the earlier one installed, with its log, and removable by cvexec.exe."""
import subprocess
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import cvdrive  # noqa: E402
import machine_snapshot  # noqa: E402
from actions_product import Wizard  # noqa: E402
from cvdrive import screenshot, win_path  # noqa: E402
from e2e_product import (ALLOWED, HOLDER, forget, log_file, make_product, pack, restart_windows,  # noqa: E402
                         run_cvexec, set_aside_other_products, unix_path, wine_run)

BODY = b"".join(b"line %06d of a text file that compresses well\r\n" % i for i in range(600))


def many_files(count, folder="<InstallDir>"):
    return [(f"files\\f{i:04}.txt", BODY, f"Destination Computer\\{folder}\\d{i // 250}*0*0*0|")
            for i in range(count)]


def finish(test):
    """Finish on the completion page. The wizard shows it as soon as a cancel is confirmed and
    once more when the run (and its undoing) has ended: the click goes to the one showing."""
    deadline = time.time() + 120
    while True:
        done = Wizard(test, test.driver).page("Completed", 120)
        if test.driver.click(done["hwnd"], "Finish"):
            break
        test.assertLess(time.time(), deadline, "no completion page took Finish")
        time.sleep(0.5)
    test.assertEqual(test.driver.exit_code(60000), 0)


class Rollback(cvdrive.SetupRunTest):
    def page(self, label, timeout=60):
        return Wizard(self, self.driver).page(label, timeout)

    def assert_machine(self, before, what):
        left = machine_snapshot.difference(before, machine_snapshot.take(wine_run), ALLOWED)
        self.assertEqual(left, [], f"{what} left differences on the machine")

    def cancel_during_copy(self, setup):
        """Starts the visible wizard, cancels once the bar moves, finishes on the completion page."""
        self.driver.start(setup / "setup.exe", setup)
        self.assertTrue(self.driver.click(self.page("Page one", timeout=180)["hwnd"], "Next"))
        progress = self.page("Installing")
        bar = [c for c in self.driver.controls(progress["hwnd"]) if c["class"] == "msctls_progress32"][0]
        deadline = time.time() + 30
        while time.time() < deadline and not self.driver.send(bar["hwnd"], 0x0408):
            time.sleep(0.05)
        self.assertTrue(self.driver.click(progress["hwnd"], "Cancel"))
        confirm = self.driver.wait("#32770", "Ambrel Corvane", 15000)
        self.assertIsNotNone(confirm, "no cancel confirmation")
        self.assertTrue(self.driver.click(confirm, "OK"))
        screenshot("rollback-after-cancel")
        finish(self)

    def test_cancel_in_the_middle_of_a_large_copy(self):
        code, target = "CVE2EROLLCANCEL", "C:\\CvE2ERollCancel"
        forget(code, target)
        setup = pack(make_product("rollback-cancel", {"a1": "Rollback", "a2": "1", "a3": code, "a4": target},
                                  many_files(2000)))
        before = machine_snapshot.take(wine_run)
        self.cancel_during_copy(setup)
        self.assert_machine(before, "the cancelled run")

    def test_abort_on_a_locked_file(self):
        code, target, shared = "CVE2EROLLABORT", "C:\\CvE2ERollAbort", "C:\\CvE2ERollShared"
        forget(code, target, shared)
        files = [("files\\over.txt", b"the product's copy\r\n", f"Destination Computer\\{shared}*0*0*0|"),
                 ("files\\first.txt", b"first\r\n", "Destination Computer\\<InstallDir>\\bin*1*0*0|"),
                 ("files\\busy.exe", b"new program\r\n", f"Destination Computer\\{shared}*0*0*0|"),
                 ("files\\after.txt", b"after\r\n", "Destination Computer\\<InstallDir>*0*0*0|")]
        setup = pack(make_product("rollback-abort", {"a1": "Rollback", "a2": "1", "a3": code, "a4": target}, files))
        folder = unix_path(shared)
        folder.mkdir(parents=True)
        (folder / "over.txt").write_bytes(b"the machine's copy\r\n")
        (folder / "busy.exe").write_bytes(b"old program\r\n")
        ready, release = setup.parent / "held", setup.parent / "release"
        holder = subprocess.Popen(["wine", str(HOLDER), f"{shared}\\busy.exe", win_path(ready), win_path(release)],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(holder.kill)
        self.addCleanup(release.touch)
        deadline = time.time() + 30
        while not ready.exists() and time.time() < deadline:
            time.sleep(0.1)
        self.assertTrue(ready.exists(), "the holder did not open the file")
        before = machine_snapshot.take(wine_run)

        self.driver.start(setup / "setup.exe", setup)
        self.assertTrue(self.driver.click(self.page("Page one")["hwnd"], "Next"))
        box = self.driver.wait("#32770", "Ambrel Corvane", 60000)
        self.assertIsNotNone(box, "no copy-error dialog")
        time.sleep(0.3)
        self.assertEqual((folder / "over.txt").read_bytes(), b"the product's copy\r\n", "over.txt was not copied")
        # The dialog's third button, "Cancel", is its Abort.
        self.assertTrue(self.driver.click(box, "Cancel"))
        done = self.page("Completed", timeout=120)
        self.assertTrue(self.driver.click(done["hwnd"], "Finish"))
        self.assertEqual(self.driver.exit_code(30000), 0)
        self.assertEqual((folder / "over.txt").read_bytes(), b"the machine's copy\r\n")
        self.assert_machine(before, "the aborted run")
        release.touch()
        holder.wait(30)
        forget(code, shared)

    def test_critical_file_that_cannot_be_installed(self):
        code, target = "CVE2EROLLCRIT", "C:\\CvE2ERollCritical"
        forget(code, target)
        files = [("files\\first.txt", b"first\r\n", "Destination Computer\\<InstallDir>*2*0*0|"),
                 ("files\\critical.dll", b"critical\r\n", "Destination Computer\\<InstallDir>\\bin*16*0*0|"),
                 ("files\\after.txt", b"after\r\n", "Destination Computer\\<InstallDir>*0*0*0|")]
        setup = pack(make_product("rollback-critical", {"a1": "Rollback", "a2": "1", "a3": code, "a4": target},
                                  files), "--disk-images")
        (setup / "DiskImage1" / "F1_critical.dll").unlink()
        before = machine_snapshot.take(wine_run)
        self.driver.start(setup / "setup.exe", setup)
        self.assertTrue(self.driver.click(self.page("Page one")["hwnd"], "Next"))
        box = self.driver.wait("#32770", "Ambrel Corvane", 60000)
        self.assertIsNotNone(box, "no abort dialog")
        time.sleep(0.3)
        self.assertTrue(self.driver.click(box, "Cancel"))
        done = self.page("Completed", timeout=120)
        self.assertTrue(self.driver.click(done["hwnd"], "Finish"))
        self.assertEqual(self.driver.exit_code(30000), 0)
        self.assert_machine(before, "the run aborted by its critical file")

    def test_cancelled_update_leaves_the_earlier_installation(self):
        code, target = "CVE2EROLLOVER", "C:\\CvE2ERollOver"
        forget(code, target)
        set_aside_other_products(self)
        (unix_path("C:\\windows\\cvexec.exe")).unlink(missing_ok=True)
        first = [("files\\f0000.txt", b"version one\r\n", "Destination Computer\\<InstallDir>\\d0*0*0*0|"),
                 ("files\\only1.txt", b"only in one\r\n", "Destination Computer\\<InstallDir>*0*0*0|")]
        setup1 = pack(make_product("rollback-over-1", {"a1": "Over", "a2": "1", "a3": code, "a4": target}, first,
                                   hidden=True, pages=["one.lcd", "complete.lcd"]))
        setup2 = pack(make_product("rollback-over-2", {"a1": "Over", "a2": "2", "a3": code, "a4": target},
                                   many_files(2000)))
        pristine = machine_snapshot.take(wine_run)
        self.driver.start(setup1 / "setup.exe", setup1)
        self.assertEqual(self.driver.exit_code(120000), 0)
        installed = machine_snapshot.take(wine_run)
        earlier_log = log_file(code).read_bytes()

        self.driver.close()
        self.driver = cvdrive.Driver()
        self.cancel_during_copy(setup2)
        self.assertEqual(log_file(code).read_bytes(), earlier_log, "the earlier installation's log is not back")
        self.assertEqual((unix_path(target) / "d0" / "f0000.txt").read_bytes(), b"version one\r\n")
        self.assert_machine(installed, "the cancelled update")

        status, err = run_cvexec("/S", code, cwd=setup2.parent)
        self.assertEqual(status, 0, err)
        self.assertEqual(restart_windows(), 0)  # the running cvexec.exe goes at the next start
        self.assert_machine(pristine, "removing the earlier installation after the cancelled update")


if __name__ == "__main__":
    unittest.main()
