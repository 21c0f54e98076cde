#!/usr/bin/env python3
"""Runs the demo setup folder under the Wine harness without a user: walks the wizard,
saves one screenshot per page and ends the run.

    run_demo.py SETUP_FOLDER SCREENSHOT_FOLDER
"""
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
import cvdrive  # noqa: E402


def main():
    setup, shots = Path(sys.argv[1]).resolve(), Path(sys.argv[2]).resolve()
    cvdrive.OUTPUT = shots
    driver = cvdrive.Driver()
    try:
        driver.start(setup / "setup.exe", setup)
        page = driver.wait("#32770", "Corvane Demo", 60000)
        if page is None:
            print("demo: the first page did not appear")
            cvdrive.screenshot("00-no-page")
            return 1
        time.sleep(1.5)  # let the background window settle behind the page
        shot = cvdrive.screenshot("01-first-page")
        print(f"demo: first page shown; screenshot {shot}")
        driver.click(page, "Close")
        code = driver.exit_code(20000)
        print(f"demo: setup ended with exit code {code}")
        return 0 if code == 0 else 1
    finally:
        driver.kill()
        driver.close()


if __name__ == "__main__":
    sys.exit(main())
