#!/usr/bin/env python3
"""Unattended installs under Wine: setup.exe with /S, /D= and /LOG= installs with no window
at any moment, says in its log what it did and ends with the installer exit codes (0, 1603,
1618, 1639, 3010); two products started in the same second install both, each in a work
folder of its own; the Add/Remove entry carries the values deployment tools read."""
import os
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import cvdrive  # noqa: E402
from actions_product import Wizard  # noqa: E402
from cvdrive import win_path  # noqa: E402
from test_install import (UNINSTALL_KEY, log_file, make_product, pack, reg_delete, reg_values,  # noqa: E402
                          unix_path)

import shutil  # noqa: E402
import subprocess  # noqa: E402


def product_files(size=0):
    files = [("files\\app.exe", b"program\r\n" * 100, "Destination Computer\\<InstallDir>*0*0*0|"),
             ("files\\readme.txt", b"read me\r\n", "Destination Computer\\<InstallDir>\\docs*0*0*0|"),
             ("files\\xponly.txt", b"xp\r\n", "Destination Computer\\<InstallDir>*0*64*0|")]
    if size:
        # Bytes that do not compress much, so that unpacking and copying take a while.
        block = bytes((i * 7919 + (i >> 8) * 104729) & 0xFF for i in range(1 << 16))
        files.append(("files\\big.bin", block * (size // len(block)), "Destination Computer\\<InstallDir>*0*0*0|"))
    return files


def set_in_section(product, section, line):
    """Adds `line` as the first entry of `section` of the product's setup.inf (or the
    section, when it is not there)."""
    inf = product / "setup.inf"
    text = inf.read_bytes().decode("latin-1")
    head = f"[{section}]\r\n"
    text = text.replace(head, head + line + "\r\n", 1) if head in text else text + head + line + "\r\n"
    inf.write_bytes(text.encode("latin-1"))


def add_icon(layout, picture):
    """`layout` (a page's text) with an ICON element showing the picture file `picture`."""
    head, dados = layout.split("[DADOS]\n")
    total = int(head.split("TOTAL=")[1].split("\n")[0])
    head = head.replace(f"TOTAL={total}\n", f"TOTAL={total + 1}\n")
    head += f"{total}=e{total},20,160,0,0,ICON,{{}},p,300\n"
    return head + "[DADOS]\n" + dados + f"300,t=2\n300,0=Name|IDC_LOGO|0\n300,1=Icon|{picture}|0\n"


def read_log(path):
    """The run log's lines without their time stamps ("2026-12-08 21:40:03  text")."""
    raw = Path(path).read_bytes()
    assert raw.endswith(b"\r\n"), raw[-40:]
    lines = raw.decode("latin-1").split("\r\n")[:-1]
    for line in lines:
        assert line[4] == "-" and line[19:21] == "  ", line
    return [line[21:] for line in lines]


class Unattended(cvdrive.SetupRunTest):
    def forget(self, code, *folders):
        reg_delete(UNINSTALL_KEY + code)
        for root in (*map(unix_path, folders), log_file(code).parent):
            if root.exists():
                subprocess.run(["chmod", "-R", "u+w", str(root)], check=False)
                shutil.rmtree(root)

    def run_silent(self, setup, args, driver=None, timeout_ms=120000):
        """Starts setup.exe with `args` and waits for its end: (exit code, windows seen)."""
        driver = driver or self.driver
        driver.start(setup / "setup.exe", setup, args)
        return driver.watch(timeout_ms)

    def extra_driver(self):
        driver = cvdrive.Driver()

        def end():
            driver.kill()
            driver.close()
        self.addCleanup(end)
        return driver

    # ------------------------------------------------------------------ tests

    def test_silent_install_into_the_folder_of_the_command_line(self):
        code, default, target = "CVE2ESILENT", "C:\\CvE2E\\Default", "C:\\Other Place"
        self.forget(code, default, target)
        product = make_product("silent", {"a1": "Silent Product", "a2": "3.1", "a3": code, "a4": default},
                               product_files())
        # A splash and the language question would show windows; silent shows neither, nor the
        # box of a picture missing from the hidden progress page.
        set_in_section(product, "SPLASH", "a1=Yes")
        missing = "C:\\CvE2E\\no such logo.ico"
        progress = product / "theme" / "progress.lcd"
        progress.write_text(add_icon(progress.read_text(), missing))
        setup = pack(product)
        log = product.parent / "run.log"
        exit_code, seen = self.run_silent(setup, f"/s /LOG={win_path(log)} /D={target}")
        self.assertEqual(seen, [], "a silent run showed a window")
        self.assertEqual(exit_code, 0)

        root = unix_path(target)
        self.assertEqual((root / "app.exe").read_bytes(), b"program\r\n" * 100)
        self.assertEqual((root / "docs" / "readme.txt").read_bytes(), b"read me\r\n")
        self.assertFalse((root / "xponly.txt").exists())
        self.assertFalse(unix_path(default).exists(), "the settings' folder was used, not /D=")

        lines = read_log(log)
        print("run log:\n" + "\n".join(lines), file=sys.stderr)
        self.assertEqual(lines[0], f"Setup started: setup.exe /s /LOG={win_path(log)} /D={target}")
        for expected in ["Check requirements: met", "Check administrator rights: passed",
                         "Step: Please Wait, Copying Files...", "Step: Finishing settings...",
                         f"Installed {target}\\app.exe", f"Installed {target}\\docs\\readme.txt",
                         f"Skipped {target}\\xponly.txt: not for this Windows version",
                         f"Message (not shown): File not found: ({missing})"]:
            self.assertIn(expected, lines)
        self.assertTrue(any(line.startswith("Settings read: Silent Product 3.1, product code " + code)
                            for line in lines), lines)
        self.assertEqual(lines[-1], "Setup ended: exit code 0 (success)")

        values = reg_values(UNINSTALL_KEY + code)
        self.assertIsNotNone(values, "no Add/Remove key")
        self.assertEqual(values["QuietUninstallString"], ("REG_SZ", f"cvexec.exe /S {code}"))
        self.assertEqual(values["UninstallString"], ("REG_SZ", f"cvexec.exe /R {code}"))
        self.assertEqual(values["InstallLocation"], ("REG_SZ", target + "\\"))
        self.assertEqual(values["LastInstallationPath"], ("REG_SZ", target + "\\"))
        self.assertEqual(values["InstallDate"], ("REG_SZ", time.strftime("%Y%m%d")))
        self.assertEqual(values["EstimatedSize"][0], "REG_DWORD")
        self.assertEqual(int(values["EstimatedSize"][1], 16), 1)  # 909 bytes, rounded up
        self.assertEqual(cvdrive.work_folders(), [], "the work folder was left behind")

        # A repair (the same setup again) keeps the first date and counts the files again.
        wine = ["wine", "reg", "add", UNINSTALL_KEY + code, "/v", "InstallDate", "/d", "20200102", "/f"]
        subprocess.run(wine, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
        exit_code, seen = self.run_silent(setup, f"/S /D={target}")
        self.assertEqual((exit_code, seen), (0, []))
        self.assertEqual(reg_values(UNINSTALL_KEY + code)["InstallDate"], ("REG_SZ", "20200102"))

        # What a deployment tool runs to remove it: the quiet uninstall string, no window.
        self.driver.start("C:\\windows\\cvexec.exe", setup, f"/S {code}")
        exit_code, seen = self.driver.watch(120000)
        self.assertEqual((exit_code, seen), (0, []))
        self.assertFalse(root.exists(), "the install folder stayed after cvexec.exe /S")
        self.assertIsNone(reg_values(UNINSTALL_KEY + code), "the Add/Remove entry stayed")
        self.assertFalse(log_file(code).exists(), "the uninstall log stayed")

    def test_arguments_without_s_keep_the_wizard_and_give_an_exit_code(self):
        code, target = "CVE2EVISIBLE", "C:\\CvE2E\\Visible"
        self.forget(code, target)
        product = make_product("visible", {"a1": "Visible Product", "a2": "1", "a3": code, "a4": target},
                               product_files())
        setup = pack(product)
        log = product.parent / "run.log"
        self.driver.start(setup / "setup.exe", setup, f"/LOG={win_path(log)} /D={target}\\Chosen")
        # The same watch that finds no window of a silent run finds the wizard's page here.
        exit_code, seen = self.driver.watch(3000)
        self.assertIsNone(exit_code)
        self.assertIn("Visible Product", [caption for _, caption in seen])
        wizard = Wizard(self, self.driver)
        self.assertTrue(self.driver.click(wizard.page("Page one")["hwnd"], "Next"))
        self.assertTrue(self.driver.click(wizard.page("Completed")["hwnd"], "Finish"))
        self.assertEqual(self.driver.exit_code(30000), 0)
        self.assertTrue((unix_path(target) / "Chosen" / "app.exe").exists())
        lines = read_log(log)
        self.assertIn(f"Installed {target}\\Chosen\\app.exe", lines)
        self.assertEqual(lines[-1], "Setup ended: exit code 0 (success)")

    def test_failed_requirement_ends_with_1603_and_its_message_in_the_log(self):
        code = "CVE2ESILENTREQ"
        self.forget(code, "C:\\CvE2E\\Req")
        product = make_product("silent-req", {"a1": "Big Product", "a2": "1", "a3": code, "a4": "C:\\CvE2E\\Req"},
                               product_files())
        set_in_section(product, "SYSTEM", "2=4000000 MB")
        setup = pack(product)
        log = product.parent / "run.log"
        exit_code, seen = self.run_silent(setup, f"/S /LOG={win_path(log)}")
        self.assertEqual(seen, [])
        self.assertEqual(exit_code, 1603)
        lines = read_log(log)
        self.assertIn("Message (not shown): The amount of RAM is not adequate for running Big Product.", lines)
        self.assertIn("Check requirements: not met", lines)
        self.assertEqual(lines[-1], "Setup ended: exit code 1603 (installation failed)")
        self.assertFalse(unix_path("C:\\CvE2E\\Req").exists())
        self.assertIsNone(reg_values(UNINSTALL_KEY + code))

    def test_critical_file_that_cannot_be_copied_ends_with_1603(self):
        code, target = "CVE2ESILENTCRIT", "C:\\CvE2E\\SilentCritical"
        self.forget(code, target)
        files = [("files\\first.txt", b"first\r\n", "Destination Computer\\<InstallDir>*0*0*0|"),
                 ("files\\critical.dll", b"critical\r\n", "Destination Computer\\<InstallDir>\\bin*16*0*0|"),
                 ("files\\after.txt", b"after\r\n", "Destination Computer\\<InstallDir>*0*0*0|")]
        product = make_product("silent-critical", {"a1": "Critical Product", "a2": "1", "a3": code, "a4": target},
                               files)
        setup = pack(product, "--disk-images")
        (setup / "DiskImage1" / "F1_critical.dll").unlink()
        log = product.parent / "run.log"
        exit_code, seen = self.run_silent(setup, f"/S /LOG={win_path(log)}")
        self.assertEqual(seen, [], "the copy-error dialog or the completion page showed")
        self.assertEqual(exit_code, 1603)
        lines = read_log(log)
        print("run log:\n" + "\n".join(lines), file=sys.stderr)
        self.assertIn(f"Message (not shown): Corvane will abort installation, the file: {target}\\bin\\critical.dll"
                      " Can't be installed.", lines)
        self.assertIn("Answer: Abort", lines)
        self.assertEqual(lines[-1], "Setup ended: exit code 1603 (installation failed)")
        self.assertFalse((unix_path(target) / "after.txt").exists(), "the copy went on after the abort")
        self.assertIsNone(reg_values(UNINSTALL_KEY + code), "the registration ran after the abort")

    def test_a_missing_disk_fails_a_silent_run_and_cancel_gives_1602(self):
        code = "CVE2ESILENTDISK"
        files = [(f"files\\part{i}.bin", os.urandom(300_000), "Destination Computer\\<InstallDir>*0*0*0|")
                 for i in range(3)]
        product = make_product("silent-disk", {"a1": "Disk Product", "a2": "1", "a3": code,
                                               "a4": "C:\\CvE2E\\Disk"}, files)
        setup = pack(product, "--compression", "none", "--span", "200000")
        (setup / "file2.cab").unlink()
        prompt = f"Please insert Disk2. File: {win_path(setup)}\\file2.cab"
        log = product.parent / "run.log"
        # Nobody can insert a disk in a silent run: it fails at once instead of waiting.
        exit_code, seen = self.run_silent(setup, f"/S /LOG={win_path(log)}", timeout_ms=60000)
        self.assertEqual((exit_code, seen), (1603, []))
        self.assertIn("Message (not shown): " + prompt, read_log(log))
        # With a person at the screen, Cancel at the prompt is a cancelled run, not a success.
        self.driver.start(setup / "setup.exe", setup, f"/LOG={win_path(log)}")
        self.assertIsNotNone(self.driver.answer("Cancel", 30000))
        self.assertEqual(self.driver.exit_code(15000), 1602)
        lines = read_log(log)
        self.assertIn("Message: " + prompt, lines)
        self.assertEqual(lines[-1], "Setup ended: exit code 1602 (cancelled by the user)")
        self.assertFalse(unix_path("C:\\CvE2E\\Disk").exists())

    def test_restart_wanted_by_the_product_gives_3010(self):
        code, target = "CVE2ESILENTBOOT", "C:\\CvE2E\\Boot"
        self.forget(code, target)
        product = make_product("silent-restart", {"a1": "Boot Product", "a2": "1", "a3": code, "a4": target},
                               product_files())
        set_in_section(product, "DIALOGLIST", "CT14=Yes")
        setup = pack(product)
        exit_code, seen = self.run_silent(setup, "/S")
        self.assertEqual((exit_code, seen), (3010, []))
        self.assertTrue((unix_path(target) / "app.exe").exists())

    def test_unknown_switch_gives_1639_and_the_usage_in_the_log(self):
        product = make_product("silent-usage", {"a1": "Usage", "a2": "1", "a3": "CVE2EUSAGE",
                                                "a4": "C:\\CvE2E\\Usage"}, product_files())
        setup = pack(product)
        log = product.parent / "run.log"
        exit_code, seen = self.run_silent(setup, f"/S /LOG={win_path(log)} /Q")
        self.assertEqual((exit_code, seen), (1639, []))
        lines = read_log(log)
        self.assertIn("Unknown switch: /Q", lines)
        self.assertTrue(any(line.startswith("Message (not shown): Usage: setup.exe [/S]") for line in lines))
        self.assertEqual(lines[-1], "Setup ended: exit code 1639 (invalid command line)")
        self.assertFalse(unix_path("C:\\CvE2E\\Usage").exists())
        self.assertEqual(cvdrive.work_folders(), [])

    def test_two_runs_of_one_product_one_installs_the_other_ends_with_1618(self):
        code, target = "CVE2ESILENTTWICE", "C:\\CvE2E\\Twice"
        self.forget(code, target)
        product = make_product("silent-twice", {"a1": "Twice", "a2": "1", "a3": code, "a4": target},
                               product_files(size=16 << 20))
        setup = pack(product)
        other = self.extra_driver()
        logs = [product.parent / "first.log", product.parent / "second.log"]
        self.driver.start(setup / "setup.exe", setup, f"/S /LOG={win_path(logs[0])}")
        other.start(setup / "setup.exe", setup, f"/S /LOG={win_path(logs[1])}")
        results = [self.driver.watch(120000), other.watch(120000)]
        print(f"two runs of one product: {results}", file=sys.stderr)
        self.assertEqual([seen for _, seen in results], [[], []])
        self.assertEqual(sorted(code for code, _ in results), [0, 1618])
        second = read_log(logs[[c for c, _ in results].index(1618)])
        self.assertIn(f"Another setup of product {code} is running", second)
        self.assertEqual(second[-1], "Setup ended: exit code 1618 (another setup of this product is running)")
        self.assertEqual((unix_path(target) / "big.bin").stat().st_size, (16 << 20) // 65536 * 65536)
        self.assertEqual(cvdrive.work_folders(), [], "a work folder was left behind")

    def test_two_products_started_in_the_same_second_both_install(self):
        codes = ["CVE2ESAMESEC1", "CVE2ESAMESEC2"]
        targets = ["C:\\CvE2E\\Same1", "C:\\CvE2E\\Same2"]
        setups = []
        for i, (code, target) in enumerate(zip(codes, targets)):
            self.forget(code, target)
            setups.append(pack(make_product(f"silent-same-{i}", {"a1": f"Same {i}", "a2": "1", "a3": code,
                                                                  "a4": target}, product_files(size=4 << 20))))
        # Folders of the names the next seconds give, as a crashed run leaves them: neither
        # run may reuse one or delete what lies in it.
        temps = [p for user in cvdrive.wine_user_folders()
                 for p in (user / "Temp", user / "AppData" / "Local" / "Temp") if p.is_dir()]
        self.assertTrue(temps, "no temp folder in the prefix")
        now = time.time()
        stale = []
        for temp in temps:
            for t in range(0, 40):
                folder = temp / time.strftime("cv%H%M%S", time.localtime(now + t))
                folder.mkdir(exist_ok=True)
                (folder / "stale.txt").write_bytes(b"left by a crash")
                stale.append(folder)

        def remove_stale():
            for folder in stale:
                shutil.rmtree(folder, ignore_errors=True)
        self.addCleanup(remove_stale)

        other = self.extra_driver()
        self.driver.start(setups[0] / "setup.exe", setups[0], "/S")
        other.start(setups[1] / "setup.exe", setups[1], "/S")
        results = [self.driver.watch(120000), other.watch(120000)]
        self.assertEqual(results, [(0, []), (0, [])])
        for target in targets:
            self.assertEqual((unix_path(target) / "big.bin").stat().st_size, (4 << 20) // 65536 * 65536)
            self.assertTrue((unix_path(target) / "app.exe").exists())
        for folder in stale:
            self.assertEqual(sorted(p.name for p in folder.iterdir()), ["stale.txt"], folder)
        remove_stale()
        self.assertEqual(cvdrive.work_folders(), [], "a work folder was left behind")


if __name__ == "__main__":
    unittest.main()
