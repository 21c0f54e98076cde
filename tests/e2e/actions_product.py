"""A small product for the tests of conditions, variables and file actions: a theme of plain
pages ("one.lcd", "two.lcd" and the completion page, each labelled with its name), settings
assembled from sections, and the stand-in programs that file actions run."""
import shutil
import time
from pathlib import Path

import cvdrive

PRODUCT = "Actions Product"
INSTALL_DIR = "C:\\Program Files\\Actions Product"
RECORDER = cvdrive.BUILD / "tests" / "e2e" / "recorder.exe"
ACTIONLIB = cvdrive.BUILD / "tests" / "e2e" / "actionlib.dll"
LABELS = {"one.lcd": "Page one", "two.lcd": "Page two", "complete.lcd": "Completed"}
BUTTONS = {"one.lcd": [("IDC_NEXT", "Next")], "two.lcd": [("IDC_BACK", "Back"), ("IDC_NEXT", "Next")],
           "complete.lcd": [("IDC_FINISH", "Finish")]}


def layout(label, buttons, caption="<ProductName>"):
    """A white page with one text and a row of buttons (name, caption)."""
    info = ["0=e0,20,20,360,40,TEXT,{},p,100"]
    dados = ["100,t=2", "100,0=Name|IDC_STATIC1|0", f"100,1=Caption|{label}|0"]
    for i, (name, text) in enumerate(buttons, start=1):
        info.append(f"{i}=e{i},{20 + 110 * (i - 1)},220,100,25,BUTTON,{{}},p,{100 + i}")
        dados += [f"{100 + i},t=2", f"{100 + i},0=Name|{name}|0", f"{100 + i},1=Caption|{text}|0"]
    return "\n".join(["[MAINWINDOW]", f"caption={caption}", "bkcolor=255,255,255", "width=400",
                      "height=300", "[INFO]", f"TOTAL={len(info)}", *info, "[DADOS]", *dados]) + "\n"


def settings(*sections):
    """setup.inf: the product, its three pages, no splash, then the given section texts."""
    return (f"[APPINFO]\na1={PRODUCT}\na2=1.0\na4={INSTALL_DIR}\n[SPLASH]\na1=No\na5=No\n"
            "[DIALOGLIST]\nTOTAL1=3\nW0=one.lcd\nW1=two.lcd\nW2=complete.lcd\n" + "".join(sections))


def section(name, rows, **keys):
    """A table section: `rows` is a list of dicts of column letter (or full key) to value."""
    lines = [f"[{name}]", f"TOTAL={len(rows)}"]
    lines += [f"{k}={v}" for k, v in keys.items()]
    for i, row in enumerate(rows):
        for column, value in row.items():
            key = column if len(column) > 1 else f"{column}{i}"
            lines.append(f"{key}={value}")
    return "\n".join(lines) + "\n"


def condition(i, name, left, op, right, event="", actions=()):
    row = {"A": name, "B": left, "C": op, "D": right, "E": event, "F": str(len(actions))}
    for j, action in enumerate(actions):
        row[f"{i}{j}"] = action
    return row


def file_action(file, argument="", trigger="two.lcd", once="No", wait="Yes", systems=255,
                condition_name="No Condition"):
    return {"B": file, "C": argument, "E": trigger, "F": "", "G": once, "H": wait, "L": str(systems),
            "M": condition_name}


def make_folder(name, setup_inf, archive=None, page_captions=None):
    """A product folder with settings, archive, theme and the stand-in programs."""
    folder = cvdrive.fresh_folder(name)
    cvdrive.write_settings(folder, setup_inf, "")
    cvdrive.write_archive(folder, archive or {"F1_readme.txt": b"readme\r\n"})
    theme = folder / "theme"
    theme.mkdir()
    for page, label in LABELS.items():
        caption = (page_captions or {}).get(page, "<ProductName>")
        (theme / page).write_text(layout(label, BUTTONS[page], caption))
    shutil.copy(RECORDER, folder)
    shutil.copy(ACTIONLIB, folder)
    return folder


class Wizard:
    """Finds the product's pages by their label and moves between them."""

    def __init__(self, test, driver):
        self.test, self.driver = test, driver

    def page(self, label, timeout=60):
        """The visible page showing `label` (waited for), or a test failure."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            for w in self.driver.windows():
                if w["visible"] and w["class"] == "#32770" and \
                        label in [c["text"] for c in self.driver.controls(w["hwnd"])]:
                    return w
            time.sleep(0.1)
        self.test.fail(f"no page {label!r}; windows: {self.driver.windows()}")

    def labels(self):
        """The labels of the product's pages on screen now."""
        shown = []
        for w in self.driver.windows():
            if w["visible"] and w["class"] == "#32770":
                shown += [c["text"] for c in self.driver.controls(w["hwnd"]) if c["text"] in LABELS.values()]
        return shown

    def press(self, page, caption):
        self.test.assertTrue(self.driver.click(page["hwnd"], caption), caption)

    def message(self, timeout=30):
        """The text of the message dialog once it shows its text; None when none appears."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            box = self.driver.wait("#32770", "Corvane", 1000)
            if box:
                texts = [c["text"] for c in self.driver.controls(box) if c["class"] == "Static"]
                if any(texts):
                    return box, texts
        return None, []


def lines(path, timeout=0):
    """The lines of `path`, waiting up to `timeout` seconds for it to appear."""
    path = Path(path)
    deadline = time.time() + timeout
    while not path.exists() and time.time() < deadline:
        time.sleep(0.2)
    return path.read_text(errors="replace").splitlines() if path.exists() else []
