#!/usr/bin/env python3
"""The layering checker on small made-up trees: each breach is named with its file, line and
include, and an allowed tree passes."""

import os
import subprocess
import sys
import tempfile
import unittest

SCRIPT = os.path.join(os.environ.get("CV_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", "..", "..")),
                      "scripts", "check_layers.py")


class CheckLayersTest(unittest.TestCase):
    def run_on(self, files):
        with tempfile.TemporaryDirectory() as root:
            for rel, text in files.items():
                path = os.path.join(root, rel)
                os.makedirs(os.path.dirname(path), exist_ok=True)
                with open(path, "w") as f:
                    f.write(text)
            done = subprocess.run([sys.executable, SCRIPT, root], capture_output=True, text=True)
            return done.returncode, done.stdout

    def test_includes_downwards_and_within_a_layer_pass(self):
        code, out = self.run_on({
            "app/main_frame.h": '#include "pages/wizard_host.h"\n#include "engine/variables.h"\n#include <windows.h>\n',
            "pages/wizard_host.h": '#include "common/setup_state.h"\n',
            "pages/page_win.cpp": '#include "framework/wnd.h"\n#include "pages/wizard_host.h"\n',
            "engine/variables.h": '#include "archive/cab_reader.h"\n#include "common/profile.h"\n',
            "common/profile.h": '#include <string>\n',
        })
        self.assertEqual(code, 0, out)

    def test_each_upward_include_is_named_with_file_line_and_header(self):
        code, out = self.run_on({
            "pages/page.cpp": '// a page\n#include "pages/page.h"\n#include "app/main_frame.h"\n',
            "pages/page.h": "\n",
            "engine/engine.cpp": '#include "pages/wizard_host.h"\n',
            "download/fetch.cpp": '#include "app/trace.h"\n',
            "common/state.cpp": '#include "engine/variables.h"\n',
            "framework/wnd.cpp": '#  include "pages/page.h"\n',
        })
        self.assertEqual(code, 1)
        self.assertIn('pages/page.cpp:3: includes "app/main_frame.h"', out)
        self.assertIn('engine/engine.cpp:1: includes "pages/wizard_host.h"', out)
        self.assertIn('download/fetch.cpp:1: includes "app/trace.h"', out)
        self.assertIn('common/state.cpp:1: includes "engine/variables.h"', out)
        self.assertIn('framework/wnd.cpp:1: includes "pages/page.h"', out)
        self.assertNotIn("pages/page.h:", out)

    def test_windows_use_needs_a_win_name_outside_windows_only_folders(self):
        code, out = self.run_on({
            "pages/control.h": '#include "framework/controls.h"\n',          # through framework/
            "pages/user.cpp": '#include "pages/control.h"\n',                 # through another header
            "pages/shell.cpp": "#include <ShellAPI.h>\n",                      # a system header
            "pages/fine_win.cpp": '#include <windows.h>\n#include "pages/control.h"\n',
            "pages/rules.cpp": '#include <string>\n#include "common/profile.h"\n',
            "app/frame.cpp": "#include <windows.h>\n",                         # app/ is Windows-only
            "framework/controls.h": "#include <windows.h>\n",
            "common/profile.h": "\n",
        })
        self.assertEqual(code, 1)
        for rel in ("pages/control.h", "pages/user.cpp", "pages/shell.cpp"):
            self.assertIn(rel + ": uses Windows but its name does not end in _win", out)
        for rel in ("pages/fine_win.cpp", "pages/rules.cpp", "app/frame.cpp", "framework/controls.h"):
            self.assertNotIn(rel + ":", out)

    def test_cmake_links_follow_the_layers(self):
        code, out = self.run_on({
            "app/CMakeLists.txt": "add_library(cv_app STATIC a.cpp)\ntarget_link_libraries(cv_app PUBLIC cv_pages)\n",
            "pages/CMakeLists.txt": ("add_library(cv_pages STATIC p.cpp)\n"
                                     "# target_link_libraries(cv_pages PUBLIC cv_app) in a comment is fine\n"
                                     "target_link_libraries(cv_pages PUBLIC cv_common\n    cv_app shell32)\n"),
            "common/CMakeLists.txt": "add_library(cv_common STATIC c.cpp)\n",
        })
        self.assertEqual(code, 1)
        self.assertIn("pages/CMakeLists.txt: cv_pages links cv_app of app/", out)
        self.assertNotIn("app/CMakeLists.txt", out)
        self.assertEqual(out.count("links"), 1, out)


if __name__ == "__main__":
    unittest.main()
