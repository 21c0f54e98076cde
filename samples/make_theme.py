#!/usr/bin/env python3
"""Writes the demo product's theme: one layout file per standard page, the pictures they
use (BMP, GIF and JPEG, drawn with ImageMagick) and the English texts of the pages.

    make_theme.py [PRODUCT_FOLDER]      (default: samples/demo)

The outputs are committed; run this again after changing a page. The same input gives the
same files (no dates or random values go into them).
"""
import subprocess
import sys
from pathlib import Path

W, H = 500, 390                 # layout size; the shown height follows the caption rule
ACCENT = "22,60,120"
WHITE = "255,255,255"
BODY = "240,240,240"    # the pictures' body colour behind radio buttons
FONT = "Tahoma"


class Page:
    """One layout file: window settings, elements in file order, and the language texts of
    its mapped controls."""

    def __init__(self, name, caption, picture, width=W, height=H, startup="0 - Center"):
        self.name, self.caption, self.picture = name, caption, picture
        self.width, self.height, self.startup = width, height, startup
        self.elements = []

    def add(self, kind, x, y, w, h, props=(), picture="{}"):
        self.elements.append((kind, x, y, w, h, picture, list(props)))
        return self

    def text(self, name, x, y, w, h, caption, size=8, bold=False, color="0,0,0", align=1, bg=""):
        return self.add("TEXT", x, y, w, h, [
            ("Name", name), ("Caption", caption), ("Alignment", str(align)), ("Text Color", color),
            ("Back Color", bg), ("Font Name", FONT), ("Font Size", str(size)),
            ("Font Bold", "Yes" if bold else "No"), ("Font Italic", "No")])

    def button(self, name, x, y, w, h, caption, action="[Do Nothing]", argument=""):
        return self.add("BUTTON", x, y, w, h, [
            ("Name", name), ("Caption", caption), ("Alignment", "0"), ("Font Name", FONT),
            ("Font Size", "8"), ("Font Bold", "No"), ("Font Italic", "No"),
            ("Click Action", action), ("Action Argument", argument)])

    def choice(self, kind, name, x, y, w, h, caption, bg=BODY):
        return self.add(kind, x, y, w, h, [("Name", name), ("Text", caption), ("Back Color", bg),
                                           ("Text Color", "0,0,0")])

    def named(self, kind, name, x, y, w, h, *more):
        return self.add(kind, x, y, w, h, [("Name", name), *more])

    def render(self):
        n = len(self.elements)
        out = ["[MAINWINDOW]", f"idcname=IDD_{self.name.upper()}", f"caption={self.caption}",
               f"bkimage={self.picture}", "border=1", f"startup={self.startup}", "bkcolor=COLOR_BTNFACE",
               f"width={self.width}", f"height={self.height}", "soundfile=", "minwindow=No",
               "maxwindow=No", "closewindow=Yes", f"fontname={FONT}", "fontsize=8", "fontbold=No",
               "fontitalic=No", "[INFO]", f"TOTAL={n}"]
        dados = ["[DADOS]"]
        for i, (kind, x, y, w, h, picture, props) in enumerate(self.elements):
            # Controls are numbered from the last line up; the element key is the control's
            # identifier, which is how the language step finds a control's properties.
            key = 3000 + (n - 1 - i)
            out.append(f"{i}=e{i},{x},{y},{w},{h},{kind},{picture},p,{key}")
            dados.append(f"{key},t={len(props)}")
            for j, (prop, value) in enumerate(props):
                dados.append(f"{key},{j}={prop}|{value}|0")
        return "\r\n".join(out + dados) + "\r\n"


def wizard_page(name, title, subtitle, picture="theme\\page.bmp", next_caption="&Next >"):
    """An inner page: white header with title, subtitle and logo, buttons at the bottom."""
    p = Page(name, "<ProductName> Setup", picture)
    p.text("IDC_TITLE", 16, 9, 400, 18, title, size=9, bold=True)
    p.text("IDC_SUBTITLE", 28, 29, 400, 18, subtitle)
    p.add("BITMAP", 440, 6, 48, 48, [("Name", "IDB_LOGO"), ("Mouse Click", ""), ("Back Color", WHITE)],
          picture="{logo.gif}")
    p.named("FRAME", "IDC_CVFRAME", 0, 58, W, 2)
    p.named("FRAME", "IDC_FRAME2", 0, 310, W, 2)
    p.text("IDC_BRAND", 10, 293, 120, 14, "Corvane Installer", color="128,128,128")
    p.button("IDC_BACK", 232, 322, 80, 24, "< &Back")
    p.button("IDC_NEXT", 314, 322, 80, 24, next_caption)
    p.button("IDCANCEL", 404, 322, 80, 24, "Cancel")
    return p


def panel_page(name, title, body, picture="theme\\panel.jpg"):
    """Welcome and completion pages: a coloured side panel and large title."""
    p = Page(name, "<ProductName> Setup", picture)
    p.text("IDC_STATIC1", 182, 20, 300, 50, title, size=13, bold=True)
    if body:
        p.text("IDC_STATIC2", 182, 84, 300, 90, body)
    p.named("FRAME", "IDC_FRAME2", 0, 310, W, 2)
    return p


def pages():
    welcome = panel_page("welcome", "Welcome to the <ProductName> Setup Wizard",
                         "The Setup Wizard will install <ProductName> on your computer. "
                         "To continue, click Next.")
    welcome.text("IDC_STATIC3", 182, 250, 300, 30,
                 "WARNING: This program is protected by copyright law.", color="90,90,90")
    welcome.button("IDC_BACK", 232, 322, 80, 24, "< &Back")
    welcome.button("IDC_NEXT", 314, 322, 80, 24, "&Next >")
    welcome.button("IDCANCEL", 404, 322, 80, 24, "Cancel")

    license = wizard_page("license", "License Agreement",
                          "Please read the following license agreement carefully.")
    license.named("RICHTEXT", "IDC_LICENSETEXT", 16, 70, 468, 168)
    license.choice("RADIO", "IDC_ACCEPTLICENSE", 16, 246, 420, 18,
                   "I &accept the terms in the license agreement")
    license.choice("RADIO", "IDC_NOTACCEPTLICENSE", 16, 268, 420, 18,
                   "I &do not accept the terms in the license agreement")

    readme = wizard_page("readme", "Readme Information", "Please read the following information.")
    readme.named("RICHTEXT", "IDC_READMETEXT", 16, 70, 468, 226)

    customer = wizard_page("customer", "Customer Information", "Please enter your information.")
    customer.text("IDC_STATIC1", 40, 74, 300, 16, "&User Name:")
    customer.named("TEXTBOX", "IDC_USERNAME", 40, 92, 320, 22)
    customer.text("IDC_STATIC2", 40, 124, 300, 16, "&Organization:")
    customer.named("TEXTBOX", "IDC_ORGANIZATION", 40, 142, 320, 22)
    customer.text("IDC_STATIC3", 40, 184, 400, 16, "Install this application for:")
    customer.choice("RADIO", "IDC_ANYONE", 56, 206, 400, 18, "&Anyone who uses this computer (all users)")
    customer.choice("RADIO", "IDC_ONLYFORME", 56, 228, 400, 18, "Only for &me (<UserName>)")

    destination = wizard_page("destination", "Destination Folder",
                              "Click Next to install to this folder, or click Change to install "
                              "to a different folder.")
    destination.named("ICON", "IDC_ICON1", 16, 80, 32, 32, ("Icon", "IDI_FOLDER"), ("Back Color", ""))
    destination.text("IDC_STATIC1", 60, 80, 330, 16, "Install <ProductName> to:")
    destination.named("TEXTBOX", "IDC_INSTALLDIR", 60, 100, 330, 22)
    destination.button("IDC_BROWSE", 400, 99, 84, 24, "&Change...")

    setuptype = wizard_page("setuptype", "Setup Type", "Choose the setup type that best suits your needs.",
                            picture="theme\\page.gif")
    setuptype.text("IDC_STATIC1", 16, 68, 460, 16, "Please select a setup type.")
    rows = (("IDC_TYPICAL", "IDI_TYPICAL", "&Typical",
             "All program features will be installed. (Requires the most disk space.)"),
            ("IDC_MINIMAL", "IDI_MINIMAL", "&Minimal",
             "Minimum required features will be installed."),
            ("IDC_CUSTOM", "IDI_CUSTOM", "C&ustom",
             "Choose which program features you want installed and where they will be installed. "
             "Recommended for advanced users."))
    for i, (name, icon, caption, text) in enumerate(rows):
        y = 92 + i * 70
        setuptype.named("ICON", f"IDC_ICON{i + 1}", 24, y, 32, 32, ("Icon", icon), ("Back Color", ""))
        setuptype.choice("RADIO", name, 70, y, 200, 18, caption)
        setuptype.text(f"IDC_STATIC{i + 2}", 88, y + 20, 390, 30, text)

    custom = wizard_page("customsetup", "Custom Setup", "Select the program features you want installed.",
                         picture="theme\\page.gif")
    custom.named("TREEVIEW", "IDC_FEATURES", 16, 70, 270, 170)
    custom.text("IDC_STATIC2", 306, 78, 170, 16, "Feature Description", bold=True, bg=WHITE)
    custom.text("IDC_FEATUREINFO", 306, 100, 170, 130, "", bg=WHITE)
    # Last line: created first, so the labels lie above it.
    custom.add("RECT", 296, 70, 188, 170, [("Name", "IDC_RECT1"), ("Back Color", WHITE)])
    custom.text("IDC_STATIC1", 16, 250, 60, 16, "Install to:")
    custom.text("IDC_INSTALLDIR", 16, 268, 380, 30, "")
    custom.button("IDC_BROWSE", 400, 256, 84, 24, "&Change...")

    ready = wizard_page("ready", "Ready to Install the Program", "The wizard is ready to begin installation.",
                        picture="theme\\page.gif", next_caption="&Install")
    ready.text("IDC_STATIC1", 16, 68, 468, 16,
               "Click Install to begin the installation. Click Back to review or change any settings.")
    ready.named("TEXTBOX", "IDC_SETTINGS", 16, 90, 468, 204)

    progress = wizard_page("progress", "Installing <ProductName>",
                           "The program features you selected are being installed.", picture="theme\\page.gif")
    progress.text("IDC_STATIC1", 40, 80, 440, 30,
                  "Please wait while the Setup Wizard installs <ProductName>. This may take several minutes.")
    progress.text("IDC_STATIC2", 40, 124, 50, 16, "Status:")
    progress.text("IDC_INFO", 92, 124, 390, 16, "")
    progress.named("PROGRESS", "IDC_PROGRESS1", 40, 146, 420, 20)
    progress.text("IDC_INSTALLINFO", 40, 174, 440, 16, "")
    progress.named("PROGRESS", "IDC_DOWNLOADPROGRESS", 40, 200, 420, 14)

    # The status text says what happened; an aborted setup replaces it.
    complete = panel_page("complete", "Setup Completed", "")
    complete.text("IDC_INSTALLSTATUS", 182, 84, 300, 60,
                  "The Setup Wizard has successfully installed <ProductName>. Click Finish to exit the wizard.")
    complete.choice("CHECKBOX", "IDC_LAUNCHFILE", 182, 210, 300, 18, "Launch the program", bg=WHITE)
    complete.choice("CHECKBOX", "IDC_LAUNCHREADME", 182, 232, 300, 18, "Show the readme file", bg=WHITE)
    complete.button("IDC_BACK", 232, 322, 80, 24, "< &Back")
    complete.button("IDC_FINISH", 314, 322, 80, 24, "&Finish")
    complete.button("IDCANCEL", 404, 322, 80, 24, "Cancel")

    error = panel_page("setuperror", "Setup Error",
                       "The Setup Wizard could not complete the installation of <ProductName>.",
                       picture="theme\\panel.jpg")
    error.named("ICON", "IDC_ICON1", 182, 190, 32, 32, ("Icon", "IDI_ERROR"), ("Back Color", WHITE))
    error.text("IDC_STATIC3", 222, 192, 260, 44, "Choose Retry to try again or Abort to end the setup.")
    error.button("IDRETRY", 150, 322, 80, 24, "&Retry")
    error.button("IDIGNORE", 232, 322, 80, 24, "&Ignore")
    error.button("IDABORT", 314, 322, 80, 24, "&Abort")
    error.button("IDCANCEL", 404, 322, 80, 24, "Cancel")

    cancel = Page("cancelsetup", "<ProductName> Setup", "theme\\small.bmp", 380, 150)
    cancel.named("ICON", "IDC_ICON1", 16, 18, 32, 32, ("Icon", "IDI_EXCLAMATION"), ("Back Color", ""))
    cancel.text("IDC_STATIC1", 60, 20, 300, 40, "Are you sure you want to cancel <ProductName> setup?")
    cancel.button("IDYES", 196, 84, 80, 24, "&Yes")
    cancel.button("IDNO", 284, 84, 80, 24, "&No")

    start = Page("start", "<ProductName> Setup", "theme\\small.bmp", 380, 150)
    start.named("ICON", "IDC_ICON1", 16, 18, 32, 32, ("Icon", "IDI_SETUP"), ("Back Color", ""))
    start.text("IDC_STATIC1", 60, 20, 300, 40,
               "Preparing to install <ProductName>. Please wait while the files are unpacked.")
    start.named("PROGRESS", "IDC_PROGRESS1", 60, 62, 300, 14)
    start.button("IDCANCEL", 284, 88, 80, 24, "Cancel")
    return [welcome, license, readme, customer, destination, setuptype, custom, ready, progress,
            complete, error, cancel, start, uninstall_page()]


def uninstall_page():
    """The uninstaller's page (cvexec.exe /R; docs/uninstall-page.md): the question, then the
    bar, then the result in IDC_UNINSTALLTEXT, whose text comes from the [Uninstall] section of
    language.lan; Remove and Cancel at the question, Finish at the result."""
    page = Page("uninstall", "<ProductName> Uninstall", "theme\\panel.jpg")
    # Not "IDC_STATIC1": the setup's language step writes [SetupProgress] 12 into that one.
    page.text("IDC_TITLE", 182, 20, 300, 50, "Uninstall <ProductName>", size=13, bold=True)
    page.text("IDC_UNINSTALLTEXT", 182, 84, 300, 120, "", size=9)
    page.named("PROGRESS", "IDC_UNINSTALLPROGRESS", 182, 220, 300, 18)
    page.named("FRAME", "IDC_FRAME2", 0, 310, W, 2)
    page.button("IDC_REMOVE", 314, 322, 80, 24, "&Remove")
    page.button("IDCANCEL", 404, 322, 80, 24, "Cancel")
    page.button("IDC_CLOSE", 404, 322, 80, 24, "&Finish")
    return page


def magick(*args):
    subprocess.run(["convert", *args], check=True)


def draw_pictures(theme):
    """Backgrounds stretched over the windows, and the header logo."""
    # Inner pages: white header over the button face, a thin accent line under the header.
    body = ["-size", f"{W}x{H}", "xc:rgb(240,240,240)", "-fill", "white", "-draw", f"rectangle 0,0 {W},57",
            "-fill", f"rgb({ACCENT})", "-draw", f"rectangle 0,57 {W},58"]
    magick(*body, "-type", "Palette", f"BMP3:{theme / 'page.bmp'}")
    magick(*body, "-fill", "rgb(232,238,248)", "-draw", f"rectangle 0,59 {W},64", "-colors", "64",
           f"GIF:{theme / 'page.gif'}")
    # Welcome, completion and error pages: a blue side panel with rings, white text area.
    magick("-size", f"165x{H}", "gradient:rgb(40,90,170)-rgb(10,30,70)",
           "-fill", "none", "-stroke", "rgba(255,255,255,0.35)", "-strokewidth", "3",
           "-draw", "circle 82,120 82,70", "-draw", "circle 82,120 82,90",
           "-stroke", "none", "-fill", "white", "-draw", "circle 82,120 82,106",
           "-fill", "rgba(255,255,255,0.8)", "-font", "DejaVu-Sans-Bold", "-pointsize", "15",
           "-gravity", "north", "-annotate", "+0+196", "Corvane", str(theme / "panel-left.png"))
    magick("-size", f"{W}x{H}", "xc:white", str(theme / "panel-left.png"), "-geometry", "+0+0", "-composite",
           "-fill", "rgb(240,240,240)", "-draw", f"rectangle 0,311 {W},{H}",
           "-strip", "-quality", "92", f"JPEG:{theme / 'panel.jpg'}")
    (theme / "panel-left.png").unlink()
    # Small dialogs: button face with a white band at the top.
    magick("-size", "380x150", "xc:rgb(240,240,240)", "-fill", "white", "-draw", "rectangle 0,0 380,72",
           "-type", "Palette", f"BMP3:{theme / 'small.bmp'}")
    # Header logo: accent disc with a white ring on the white header.
    magick("-size", "48x48", "xc:white", "-fill", f"rgb({ACCENT})", "-draw", "circle 24,24 24,4",
           "-fill", "none", "-stroke", "white", "-strokewidth", "3", "-draw", "circle 24,24 24,13",
           "-stroke", "none", "-fill", "white", "-draw", "circle 24,24 24,19", "-colors", "32",
           f"GIF:{theme / 'logo.gif'}")


BILLBOARDS = [
    ("billboard1.jpg", "Welcome", "Corvane Demo 1.0", "40,90,170"),
    ("billboard2.jpg", "A shortcut", "in your Programs menu", "20,120,90"),
    ("billboard3.jpg", "Ready to go", "Launch it from the last page", "150,60,30"),
]


def draw_billboards(folder):
    """The pictures the demo shows during its installation, left of the wizard."""
    folder.mkdir(exist_ok=True)
    for name, title, line, colour in BILLBOARDS:
        magick("-size", "220x140", f"gradient:rgb({colour})-rgb(10,20,40)",
               "-fill", "white", "-font", "DejaVu-Sans-Bold", "-pointsize", "22",
               "-gravity", "northwest", "-annotate", "+14+30", title,
               "-font", "DejaVu-Sans", "-pointsize", "13", "-annotate", "+14+80", line,
               "-strip", "-quality", "90", f"JPEG:{folder / name}")


# The language file's texts for the pages' mapped controls (the language step writes them
# into the layout files, so they must say what the layouts say).
LANGUAGE_KEYS = {
    "welcome": ("InstallWelcome", {"IDCANCEL": 0, "IDC_BACK": 1, "IDC_NEXT": 2, "IDC_STATIC1": 3,
                                   "IDC_STATIC2": 4, "IDC_STATIC3": 5}),
    "license": ("LicenseAgreement", {"IDCANCEL": 0, "IDC_SUBTITLE": 3, "IDC_TITLE": 4, "IDC_BACK": 5,
                                     "IDC_NEXT": 6}),
    "readme": ("ReadmeInformation", {"IDCANCEL": 0, "IDC_SUBTITLE": 3, "IDC_TITLE": 4, "IDC_BACK": 5,
                                     "IDC_NEXT": 6}),
    "customer": ("CustomerInformation", {"IDCANCEL": 0, "IDC_SUBTITLE": 3, "IDC_TITLE": 4, "IDC_BACK": 5,
                                         "IDC_NEXT": 6, "IDC_STATIC1": 7, "IDC_STATIC2": 8,
                                         "IDC_STATIC3": 9}),
    "destination": ("DestinationFolder", {"IDCANCEL": 0, "IDC_SUBTITLE": 3, "IDC_TITLE": 4, "IDC_BACK": 5,
                                          "IDC_NEXT": 6, "IDC_BROWSE": 7, "IDC_STATIC1": 8}),
    "setuptype": ("SetupType", {"IDCANCEL": 0, "IDC_SUBTITLE": 3, "IDC_TITLE": 4, "IDC_BACK": 5,
                                "IDC_STATIC1": 6, "IDC_NEXT": 7, "IDC_STATIC2": 8, "IDC_STATIC4": 9,
                                "IDC_STATIC3": 10}),
    "customsetup": ("CustomSetup", {"IDCANCEL": 2, "IDC_SUBTITLE": 5, "IDC_TITLE": 6, "IDC_BACK": 7,
                                    "IDC_STATIC1": 8, "IDC_NEXT": 9, "IDC_BROWSE": 11, "IDC_GROUPBOX1": 13}),
    "ready": ("ReadyToInstall", {"IDCANCEL": 0, "IDC_SUBTITLE": 3, "IDC_TITLE": 4, "IDC_NEXT": 5,
                                 "IDC_BACK": 6, "IDC_STATIC1": 9}),
    "progress": ("SetupProgress", {"IDCANCEL": 0, "IDC_SUBTITLE": 3, "IDC_TITLE": 4, "IDC_BACK": 5,
                                   "IDC_STATIC1": 6, "IDC_NEXT": 7, "IDC_STATIC2": 11}),
    "complete": ("SetupCompleteSuccess", {"IDCANCEL": 0, "IDC_BACK": 2}),
    "cancelsetup": ("CancelSetup", {"IDC_STATIC1": 0, "IDNO": 1, "IDYES": 2}),
    "start": ("SETUP", {"IDC_STATIC1": 0, "IDCANCEL": 1}),
}

EXTRA_TEXTS = {
    "SetupCompleteSuccess": {6: "Launch the program", 7: "Show the readme file"},
    "SetupCompleteError": {3: "The wizard was interrupted before [ProductName] could be completely "
                              "installed. Your system has not been modified."},
    # The uninstaller's texts (cvexec.exe; tools/cvexec/uninstall_texts.h has every key).
    "Uninstall": {"Title": "[ProductName] Uninstall",
                  "Confirm": "Remove [ProductName] and all of its components?",
                  "Removing": "Removing [ProductName] from your computer. Please wait...",
                  "Done": "[ProductName] was removed from your computer. Click Finish to close.",
                  "Failed": "[ProductName] was removed, but some items could not be removed:"},
}


def language_text(all_pages):
    sections = {}
    for page in all_pages:
        if page.name not in LANGUAGE_KEYS:
            continue
        section, keys = LANGUAGE_KEYS[page.name]
        for kind, *_rest, props in page.elements:
            values = dict(props)
            name = values.get("Name")
            if name in keys:
                caption = values.get("Caption", values.get("Text", ""))
                sections.setdefault(section, {})[keys[name]] = caption.replace("<", "[").replace(">", "]")
    for section, texts in EXTRA_TEXTS.items():
        sections.setdefault(section, {}).update(texts)
    lines = []
    for section, texts in sections.items():
        lines.append(f"[{section}]")
        lines += [f"{key}={texts[key]}" for key in sorted(texts, key=str)]
    return "\r\n".join(lines) + "\r\n"


def main():
    product = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent / "demo"
    theme = product / "theme"
    theme.mkdir(parents=True, exist_ok=True)
    all_pages = pages()
    for page in all_pages:
        (theme / f"{page.name}.lcd").write_bytes(page.render().encode("latin-1"))
    draw_pictures(theme)
    draw_billboards(product / "billboards")
    text = language_text(all_pages).encode("latin-1")
    (product / "language.lan").write_bytes(text)
    (product / "languages").mkdir(exist_ok=True)
    (product / "languages" / "English.lan").write_bytes(text)


if __name__ == "__main__":
    main()
