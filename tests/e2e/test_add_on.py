#!/usr/bin/env python3
"""The add-on step under Wine: after the demo's installation the page "3rdparty.lcd" shows
while the MERGEMODULES entries run: each installer started and waited for, an entry whose
feature was left out skipped, and a real Windows Installer package (built by wixl) installed
by Wine's msiexec; then the work folder is gone and the completion page follows."""
import os
import shutil
import subprocess
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import cvdrive  # noqa: E402
from actions_product import RECORDER, layout, lines, section  # noqa: E402
from cvdrive import TraceMonitor, screenshot  # noqa: E402
from demo_wizard import CAPTION, ENGLISH, DemoWizardTest, stage  # noqa: E402

TVM_SELECTITEM, TVGN_CARET = 0x110B, 0x0009
ADD_ON_TITLE = "Installing the add-ons"

PACKAGE = """<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="*" Name="Corvane Merge Module Test" Language="1033" Version="1.0.0"
           Manufacturer="Corvane Tests" UpgradeCode="5B0C1E37-7A54-4C1B-9E3C-0E2B51A7C6D1">
    <Package InstallerVersion="200" Compressed="yes" InstallScope="perMachine"/>
    <Media Id="1" Cabinet="merged.cab" EmbedCab="yes"/>
    <Directory Id="TARGETDIR" Name="SourceDir">
      <Directory Id="ProgramFilesFolder">
        <Directory Id="INSTALLDIR" Name="CvMergeModule">
          <Component Id="MergedFile" Guid="0D8E7C43-2F6A-4B8E-8D8B-3A1E0C9F5B27">
            <File Id="merged" Name="merged.txt" Source="merged.txt" KeyPath="yes"/>
          </Component>
        </Directory>
      </Directory>
    </Directory>
    <Feature Id="Main" Level="1"><ComponentRef Id="MergedFile"/></Feature>
  </Product>
</Wix>
"""


def merged_files():
    drive_c = Path(os.environ["WINEPREFIX"]) / "drive_c"
    return [p for p in (drive_c / "Program Files (x86)" / "CvMergeModule" / "merged.txt",
                        drive_c / "Program Files" / "CvMergeModule" / "merged.txt") if p.exists()]


def build_package(folder):
    """mergemod.msi built by wixl from a one-file product."""
    work = folder / "package"
    work.mkdir()
    (work / "merged.txt").write_text("merged by the add-on step\r\n")
    (work / "package.wxs").write_text(PACKAGE)
    done = subprocess.run(["wixl", "-o", str(folder / "mergemod.msi"), "package.wxs"], cwd=work,
                          capture_output=True, text=True, timeout=120)
    if done.returncode != 0:
        raise AssertionError(f"wixl failed (install the wixl package): {done.stderr}")
    shutil.rmtree(work)


def pack_with_add_ons(name):
    """The demo with three MERGEMODULES entries and the add-on page, packed; the installer
    in SupportFiles and the package beside the setup."""
    product = cvdrive.fresh_folder(name) / "product"
    stage(product)
    entries = section("MERGEMODULES", [
        {"E": "255", "F": "", "G": "No Condition", "C": "<ResourceDir>\\recorder.exe", "D": "first"},
        {"E": "255", "F": "Docu|mentation", "G": "No Condition", "C": "<ResourceDir>\\recorder.exe", "D": "left-out"},
        {"E": "255", "F": "|Program Files|", "G": "No Condition", "C": "<ResourceDir>\\recorder.exe", "D": "third"},
    ])
    settings = (product / "setup.inf").read_text()
    settings = settings.replace("[MERGEMODULES]\nTOTAL=0\n", entries)
    assert "recorder.exe" in settings
    (product / "setup.inf").write_text(settings)
    (product / "theme" / "3rdparty.lcd").write_text(layout(ADD_ON_TITLE, [], "<ProductName> Setup"))
    setup = product.parent / "setup"
    done = cvdrive.cvbuild("pack", product, setup, "--runtime", cvdrive.SETUP_EXE)
    if done.returncode != 0:
        raise AssertionError(f"cvbuild pack failed: {done.stderr}")
    (setup / "SupportFiles").mkdir()
    shutil.copy(RECORDER, setup / "SupportFiles" / "recorder.exe")
    build_package(setup)
    return setup


class AddOnStep(DemoWizardTest):
    @classmethod
    def setUpClass(cls):
        cls.setup = pack_with_add_ons("add-on-step")

    def before_start(self):
        for found in merged_files():
            shutil.rmtree(found.parent)
        (self.setup / "recorder.log").unlink(missing_ok=True)
        self.monitor = TraceMonitor(self.setup)
        self.addCleanup(self.monitor.stop)
        self.assertTrue(self.monitor.wait_ready(self.driver))

    def traces(self):
        return [line.split(") -", 1)[1].rstrip("*") for line in self.monitor.lines() if ") -" in line]

    def test_entries_run_in_order_and_the_package_installs(self):
        self.to_page("customsetup", setup_type=ENGLISH.custom)
        tree = [c for c in self.controls() if c["class"] == "SysTreeView32"][0]["hwnd"]
        item = self.driver.tree_item(tree, 1)
        self.assertEqual(item["text"], "Documentation")
        self.driver.post(tree, TVM_SELECTITEM, TVGN_CARET, int(item["item"], 16))
        self.assertTrue(self.driver.choose_menu(1), "no feature menu")
        self.to_page("ready")
        self.driver.click(self.page, ENGLISH.install)
        # The add-on page shows while the entries run, then the completion page.
        seen_add_on, deadline = False, time.time() + 180
        while time.time() < deadline:
            texts = []
            for w in self.driver.windows():
                if w["visible"] and w["caption"] == CAPTION:
                    texts += [c["text"] for c in self.driver.controls(w["hwnd"])]
                    self.page = w["hwnd"]
            if ADD_ON_TITLE in texts and not seen_add_on:
                seen_add_on = True
                screenshot("add-on-page")
            if ENGLISH.titles["complete"] in texts:
                break
            time.sleep(0.2)
        self.assertTrue(seen_add_on, "the add-on page did not show")
        self.assertEqual(self.shown_page(), "complete")
        # Each installer was waited for (the recorder writes after a second's work), the one
        # of the left-out feature skipped; the package installed its file.
        self.assertEqual(lines(self.setup / "recorder.log"), ["first", "third"])
        self.assertEqual(len(merged_files()), 1, "the merge-module package did not install")
        traces = self.traces()
        commands = [t for t in traces if t.startswith("add-on command ")]
        self.assertEqual(len(commands), 2, traces)
        self.assertTrue(commands[0].endswith(f'msiexec.exe /i "{cvdrive.win_path(self.setup)}\\mergemod.msi" /q'),
                        commands[0])
        self.assertLess(traces.index("w1"), traces.index("w2"))
        self.assertLess(traces.index("w2"), traces.index("w3"))
        # The add-on step removed the work folder: the demo has no file actions.
        self.assertEqual(cvdrive.work_folders(), [])
        self.driver.click(self.page, ENGLISH.finish)
        self.assertEqual(self.driver.exit_code(30000), 0)


if __name__ == "__main__":
    unittest.main()
