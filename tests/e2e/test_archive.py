#!/usr/bin/env python3
"""Unpacking behind the start page: file1.cab into the work folder with the progress bar
moving, and the failures that end setup quietly."""
import os
import shutil
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import cvdrive  # noqa: E402
from cvdrive import Driver, TraceMonitor, fresh_folder, screenshot, write_archive, write_settings  # noqa: E402

SETUP_INF = "[APPINFO]\na1=Archive Product\n[SPLASH]\na1=No\na5=No\n"

START_LCD = """[MAINWINDOW]
caption=Archive Product Setup
width=420
height=140
startup=0
bkcolor=255,255,255
[INFO]
TOTAL=2
0=e,20,20,380,20,TEXT,none,t,0
1=e,20,56,380,22,PROGRESS,none,t,1
[DADOS]
0,t=2
0,0=Name|IDC_STATUS|0
0,1=Caption|Preparing the installation...|0
1,t=1
1,0=Name|IDC_PROGRESS1|0
"""

PBM_GETRANGE, PBM_GETPOS = 0x407, 0x408


def product_files(count=400, size=96 << 10):
    files = {}
    for i in range(count):
        # Mixed content: text that compresses and bytes that do not.
        files[f"F{i + 1}_part{i:03d}.bin"] = (f"line {i}\n".encode() * 500) + os.urandom(size)
    return files


class Unpacking(cvdrive.SetupRunTest):
    def make_setup(self, name, files):
        folder = fresh_folder(name)
        write_settings(folder, SETUP_INF, "")
        (folder / "theme").mkdir()
        (folder / "theme" / "start.lcd").write_text(START_LCD.replace("\n", "\r\n"))
        if files is not None:
            write_archive(folder, files)
        return folder

    def test_start_page_unpacks_into_the_work_folder_with_progress(self):
        files = product_files()
        folder = self.make_setup("unpack", files)
        monitor = TraceMonitor(folder)
        self.assertTrue(monitor.wait_ready(self.driver))
        try:
            self.driver.start(cvdrive.SETUP_EXE, folder)
            start = self.driver.wait("#32770", "Archive Product Setup", 30000)
            self.assertIsNotNone(start, "the start page did not appear")
            bar = next((c for c in self.driver.controls(start) if c["class"] == "msctls_progress32"), None)
            self.assertIsNotNone(bar)
            hwnd = bar["hwnd"]
            positions = []
            shot = False
            deadline = time.time() + 60
            while time.time() < deadline:
                pos = self.driver.send(hwnd, PBM_GETPOS)
                if pos is None:
                    break  # the start page closed
                if not positions or positions[-1] != pos:
                    positions.append(pos)
                if pos > 5 and not shot:
                    screenshot("archive-start-page")
                    shot = True
                if pos == len(files):
                    break
            self.assertGreater(len(positions), 2, f"the bar did not move: {positions}")
            self.assertEqual(positions, sorted(positions))
            self.assertLessEqual(positions[-1], len(files))
            self.assertTrue(self.driver.wait_closed("Archive Product Setup"), "the start page stayed")
        finally:
            time.sleep(0.5)
            monitor.stop()
        work = cvdrive.work_folders()
        self.assertEqual(len(work), 1)
        for name, data in files.items():
            self.assertEqual((work[0] / name).read_bytes(), data, name)
        texts = [line.split(") -", 1)[1].rstrip("*") for line in monitor.lines()]
        steps = [t for t in texts if t.startswith(("UnCompress", "CompactFilesTH"))]
        self.assertEqual(steps, ["UnCompress"] + [f"CompactFilesTH{i}" for i in range(1, 9)] +
                         ["UnCompress2", "UnCompress3", "UnCompress5"])
        self.assertLess(texts.index("DESCOMPACTOU"), texts.index("TerminarJanela"))

    def test_a_missing_or_broken_archive_ends_setup_with_exit_code_zero(self):
        for case in ("missing", "not-a-cabinet", "truncated"):
            with self.subTest(case=case):
                folder = self.make_setup(f"archive-{case}", None if case == "missing" else {"F1_a.txt": b"a" * 5000})
                if case == "not-a-cabinet":
                    (folder / "file1.cab").write_bytes(b"MSCF but not really a cabinet at all")
                elif case == "truncated":
                    data = (folder / "file1.cab").read_bytes()
                    (folder / "file1.cab").write_bytes(data[:len(data) - 100])
                self.driver.start(cvdrive.SETUP_EXE, folder)
                # The run says why it ends, and leaves no half-written work folder.
                message = self.driver.answer("OK", 30000)
                self.assertIsNotNone(message, "no message about the failed unpacking")
                self.assertTrue(message.startswith("The setup cannot unpack its files into "), message)
                self.assertEqual(self.driver.exit_code(30000), 0)
                self.assertTrue(self.driver.gone(2000))
                self.assertEqual(cvdrive.work_folders(), [])


class DiskPrompts(cvdrive.SetupRunTest):
    """A product spread over several cabinets, as on several disks."""

    def pack_spanned(self, name):
        root = fresh_folder(name)
        product = root / "product"
        (product / "theme").mkdir(parents=True)
        (product / "files").mkdir()
        (product / "theme" / "start.lcd").write_text(START_LCD.replace("\n", "\r\n"))
        (product / "setup.inf").write_text(SETUP_INF.replace("\n", "\r\n"))
        records = []
        self.contents = {}
        for i in range(3):
            data = os.urandom(300_000)
            (product / "files" / f"part{i}.bin").write_bytes(data)
            self.contents[i] = data
            records += [f"files/part{i}.bin", f"Destination Computer\\<InstallDir>\\part{i}.bin*0*0*0|"]
        (product / "data.inf").write_text("\r\n".join(records) + "\r\n")
        setup = root / "setup"
        done = cvdrive.cvbuild("pack", product, setup, "--runtime", cvdrive.SETUP_EXE,
                               "--compression", "none", "--span", "200000")
        self.assertEqual(done.returncode, 0, done.stderr)
        cabinets = sorted(p.name for p in setup.glob("file*.cab"))
        self.assertGreaterEqual(len(cabinets), 3, cabinets)
        return root, setup

    def test_missing_next_cabinet_prompts_and_retry_goes_on(self):
        root, setup = self.pack_spanned("disk-retry")
        aside = root / "file2.cab"
        shutil.move(setup / "file2.cab", aside)
        self.driver.start(setup / "setup.exe", setup)
        # Retry while the cabinet is still missing asks again.
        text = self.driver.answer("Retry", 30000)
        self.assertEqual(text, f"Please insert Disk2.\r\nFile: {cvdrive.win_path(setup)}\\file2.cab")
        time.sleep(0.5)
        screenshot("archive-disk-prompt")
        shutil.move(aside, setup / "file2.cab")
        self.assertIsNotNone(self.driver.answer("Retry", 10000))
        self.assertTrue(self.driver.wait_closed("Archive Product Setup"), "the start page stayed")
        work = cvdrive.work_folders()
        self.assertEqual(len(work), 1)
        for i, data in self.contents.items():
            found = [p for p in work[0].glob(f"F*_part{i}.bin")]
            self.assertEqual(len(found), 1, list(work[0].iterdir()))
            self.assertEqual(found[0].read_bytes(), data)

    def test_cancel_at_the_disk_prompt_ends_setup_with_exit_code_zero(self):
        root, setup = self.pack_spanned("disk-cancel")
        (setup / "file2.cab").unlink()
        self.driver.start(setup / "setup.exe", setup)
        self.assertIsNotNone(self.driver.answer("Cancel", 30000))
        self.assertEqual(self.driver.exit_code(15000), 0)
        self.assertTrue(self.driver.gone(2000))


if __name__ == "__main__":
    unittest.main()
