#!/usr/bin/env python3
"""cvexec.exe under Wine, judged by the whole machine: a product with every kind of entry that
main installs today (files with every flag but self-registration, folders, a font, the
Add/Remove entry with its icon, live update, the uninstall-time program, the theme copy) is
installed in hidden mode and removed with "cvexec.exe /S" and with "/R" and its window; the
registry (HKLM, HKCU) and every file under drive_c are then as they were before, but for the
entries of ALLOWED, each with its reason. Two products share cvexec.exe: removing the first
keeps it, removing the second removes it (marked with MoveFileEx for the next start of Windows,
as a running program cannot delete its own file; `wineboot -r` stands for that restart)."""
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import cvdrive  # noqa: E402
import machine_snapshot  # noqa: E402
from cvdrive import screenshot  # noqa: E402
from e2e_product import (ALLOWED, CVEXEC, UNINSTALL_KEY, drive_c, forget, install_hidden, log_file,  # noqa: E402
                         make_product, pack, reg_values, restart_windows, run_cvexec, set_aside_other_products,
                         unix_path, wine_run)

RECORDER = cvdrive.BUILD / "tests" / "e2e" / "recorder.exe"
FONT = Path("/usr/share/fonts/truetype/liberation/LiberationMono-Bold.ttf")


def full_product(name, code, target):
    """A hidden-mode product with every kind of entry that the installation makes today."""
    deep = "a\\b\\c\\d"
    files = [
        ("files\\readonly.txt", b"read-only\r\n", "Destination Computer\\<InstallDir>*1*0*0|"),
        ("files\\hidden.txt", b"hidden\r\n", "Destination Computer\\<InstallDir>*4*0*0|"),
        ("files\\system.txt", b"system\r\n", "Destination Computer\\<InstallDir>\\sys*8*0*0|"),
        ("files\\critical.txt", b"critical\r\n", "Destination Computer\\<InstallDir>*16*0*0|"),
        ("files\\keep.txt", b"new keep\r\n", "Destination Computer\\C:\\CvE2EShared*32*0*0|"),
        ("files\\shared.txt", b"the product's copy\r\n", "Destination Computer\\C:\\CvE2EShared*0*0*0|"),
        ("files\\permanent.txt", b"permanent\r\n", "Destination Computer\\C:\\CvE2EKeep*64*0*0|"),
        ("files\\expand.txt", b"<ProductName> in <InstallDir>\r\n", "Destination Computer\\<InstallDir>\\docs*256*0*0|"),
        ("files\\deep.txt", b"deep\r\n", f"Destination Computer\\<InstallDir>\\{deep}*0*0*0|"),
        ("files\\rcsemptyfolder", b"", "Destination Computer\\<InstallDir>\\empty*0*0*0|"),
        ("files\\xponly.txt", b"xp\r\n", "Destination Computer\\<InstallDir>\\xponly*0*64*0|"),
        ("files\\readonly-sys.txt", b"rs\r\n", "Destination Computer\\<InstallDir>\\sys*9*0*0|"),
        ("fonts\\CvE2EMono.ttf", FONT.read_bytes(), "Destination Computer\\<FontsFolder>*0*0*0|"),
    ]
    product = make_product(name, {
        "a1": f"{name} product", "a2": "1.0", "a3": code, "a4": target, "a10": "Yes", "a11": "recorder.exe",
        "a12": "/bye <ProductCode>", "a13": "Yes", "a14": "Yes", "a18": "product.ico", "a19": "Corvane Tests"},
        files, hidden=True, pages=["one.lcd", "complete.lcd"])
    (product / "recorder.exe").write_bytes(RECORDER.read_bytes())
    (product / "product.ico").write_bytes(b"\0\0\1\0icon")
    (product / "liveupdate.exe").write_bytes(b"MZ live update")
    (product / "liveupdate.inf").write_bytes(b"[LiveUpdate]\r\n")
    settings = product / "setup.inf"
    settings.write_bytes(settings.read_bytes() + b"[LIVEUPDATE]\r\n1=Yes\r\n2=1\r\n3=http://updates.example\r\n4=No\r\n")
    (product / "theme" / "uninstall.txt").write_text("theme file copied into the log folder\n")
    return pack(product)


class Uninstall(cvdrive.SetupRunTest):
    def existing_items(self):
        """What the machine holds before: a file the product overwrites and one it keeps."""
        shared = unix_path("C:\\CvE2EShared")
        shared.mkdir(parents=True, exist_ok=True)
        (shared / "shared.txt").write_bytes(b"the machine's own copy\r\n")
        (shared / "keep.txt").write_bytes(b"old keep\r\n")
        (unix_path(CVEXEC)).unlink(missing_ok=True)

    def assert_as_before(self, before, what):
        after = machine_snapshot.take(wine_run)
        left = machine_snapshot.difference(before, after, ALLOWED)
        self.assertEqual(left, [], f"{what} left differences on the machine")

    def round_trip(self, code, remove):
        target = "C:\\CvE2EUninstall"
        forget(code, target, "C:\\CvE2EShared", "C:\\CvE2EKeep")
        fonts = drive_c() / "windows" / "Fonts" / "CvE2EMono.ttf"
        fonts.unlink(missing_ok=True)
        setup = full_product(f"uninstall-{code.lower()}", code, target)
        self.existing_items()
        before = machine_snapshot.take(wine_run)

        install_hidden(self, setup)
        log = log_file(code).read_bytes().decode("latin-1")
        print("uninstall log:\n" + log, file=sys.stderr)
        prior = (log_file(code).parent / "prior.log").read_bytes().decode("latin-1")
        print("prior state:\n" + prior, file=sys.stderr)
        self.assertIn("FILEREPLACED=M\tC:\\CvE2EShared\\shared.txt\t", prior)
        self.assertIn("FILEREPLACED=M\tC:\\CvE2EShared\\keep.txt\t\r\n", prior)
        self.assertEqual((unix_path("C:\\CvE2EShared") / "shared.txt").read_bytes(), b"the product's copy\r\n")
        self.assertTrue(fonts.exists(), "the font was not installed")
        self.assertTrue(unix_path(CVEXEC).exists(), "cvexec.exe was not installed")
        self.assertEqual(reg_values(UNINSTALL_KEY + code)["UninstallString"], ("REG_SZ", f"cvexec.exe /R {code}"))

        remove(code)
        if unix_path(CVEXEC).exists():
            # It could not delete its own running file: it is marked for the next start.
            _, pending = wine_run("reg", "query", "HKLM\\System\\CurrentControlSet\\Control\\Session Manager",
                                  "/v", "PendingFileRenameOperations")
            self.assertIn("c:\\windows\\cvexec.exe", pending.lower())
            self.assertEqual(restart_windows(), 0)
        self.assertFalse(unix_path(CVEXEC).exists(), "cvexec.exe is still there after a restart")

        recorded = (self.work / "recorder.log").read_text(errors="replace")
        self.assertIn(f"/bye {code}", recorded, "the uninstall-time program did not run")
        self.assertIsNone(reg_values(UNINSTALL_KEY + code))
        self.assertFalse(log_file(code).parent.exists())
        self.assertEqual((unix_path("C:\\CvE2EShared") / "shared.txt").read_bytes(), b"the machine's own copy\r\n")
        self.assertEqual((unix_path("C:\\CvE2EShared") / "keep.txt").read_bytes(), b"old keep\r\n")
        self.assert_as_before(before, "the removal")
        forget(code, "C:\\CvE2EShared", "C:\\CvE2EKeep")

    def setUp(self):
        super().setUp()
        self.work = cvdrive.fresh_folder(f"uninstall-run-{self._testMethodName}")
        set_aside_other_products(self)

    def test_silent_removal_leaves_the_machine_as_before(self):
        def remove(code):
            status, err = run_cvexec("/S", code, cwd=self.work)
            print("cvexec /S said:\n" + err, file=sys.stderr)
            self.assertEqual(status, 0, err)
            self.assertNotIn("could not remove", err)
        self.round_trip("CVE2EUNSILENT", remove)

    def test_removal_through_its_window(self):
        def remove(code):
            self.driver.start(CVEXEC, self.work, "/R", code)
            question = self.driver.answer("&Yes", 30000)
            self.assertEqual(question, f"Remove uninstall-cve2eunwindow product and all of its components?")
            done = self.driver.wait("#32770", "Uninstall", 60000)
            self.assertIsNotNone(done, "no closing message")
            screenshot("uninstall-done")
            self.assertEqual(self.driver.answer("OK", 30000),
                             "uninstall-cve2eunwindow product was removed from your computer.")
            self.assertEqual(self.driver.exit_code(30000), 0)
        self.round_trip("CVE2EUNWINDOW", remove)

    def test_unknown_product_touches_nothing(self):
        before = machine_snapshot.files()
        built = cvdrive.BUILD / "cvexec" / "cvexec.exe"
        status, err = run_cvexec("/S", "CVE2ENOSUCH", cwd=self.work, exe=built)
        self.assertEqual(status, 2)
        self.assertIn("not installed", err)
        status, err = run_cvexec("/S", "..\\..\\windows", cwd=self.work, exe=built)
        self.assertEqual(status, 1)
        self.assertIn("not a product code", err)
        self.assertEqual(machine_snapshot.files(), before)

    def test_two_products_share_the_uninstaller(self):
        products = {"CVE2ESHAREA": "C:\\CvE2EShareA", "CVE2ESHAREB": "C:\\CvE2EShareB"}
        for code, target in products.items():
            forget(code, target)
        (unix_path(CVEXEC)).unlink(missing_ok=True)
        for code, target in products.items():
            files = [("files\\a.txt", code.encode(), "Destination Computer\\<InstallDir>*0*0*0|")]
            setup = pack(make_product(f"share-{code.lower()}", {"a1": code, "a2": "1", "a3": code, "a4": target},
                                      files, hidden=True, pages=["one.lcd", "complete.lcd"]))
            install_hidden(self, setup)
        status, err = run_cvexec("/S", "CVE2ESHAREA", cwd=self.work)
        self.assertEqual(status, 0, err)
        self.assertTrue(unix_path(CVEXEC).exists(), "the uninstaller went while another product needs it")
        self.assertFalse(unix_path(products["CVE2ESHAREA"]).exists())
        status, err = run_cvexec("/S", "CVE2ESHAREB", cwd=self.work)
        self.assertEqual(status, 0, err)
        self.assertFalse(unix_path(products["CVE2ESHAREB"]).exists())
        # Running, it could not delete itself: it is marked for the next start.
        _, pending = wine_run("reg", "query", "HKLM\\System\\CurrentControlSet\\Control\\Session Manager",
                              "/v", "PendingFileRenameOperations")
        self.assertIn("c:\\windows\\cvexec.exe", pending.lower())
        self.assertEqual(restart_windows(), 0)
        self.assertFalse(unix_path(CVEXEC).exists(), "cvexec.exe is still there after a restart")


if __name__ == "__main__":
    unittest.main()
