"""The three tree files of the Data folder: loaded at start-up and written by the
options window's OK, with the real program under Wine."""

import struct
import unittest

import bench
from bench import by_class
from test_startup import StartupCase

EXE = "stavlo.exe"
# The start of the built-in components tree: two roots, the first "Windows".
BUILTIN_START = bytes.fromhex(
    "02000000 2E000000 08000000 08000000 01000000 FFFFFFFF 01 00 00000000 00000000"
    " 03000000 00000000 09000000 07 57696E646F7773 77696E".replace(" ", ""))


def node(text, data1="", data2="", image=-1, checked=True, children=()):
    return (text, data1, data2, image, checked, list(children))


def encode(nodes):
    """The tree file layout, written independently of the program's own code."""
    out = bytearray(struct.pack("<i", len(nodes)))

    def block(n):
        text, d1, d2, image, checked, children = n
        t, a, b = (s.encode("cp1251") for s in (text, d1, d2))
        record = struct.pack("<iiiiBBIIiiiB", image, image, 1, -1, 1, 1 if checked else 0, 0, 0,
                             len(a), len(b), len(children), len(t)) + t
        out.extend(struct.pack("<i", len(record)) + record + a + b)
        for c in children:
            block(c)

    for n in nodes:
        block(n)
    return bytes(out)


class TreeFiles(StartupCase):
    def open_options_and_press_ok(self, settings):
        # Until start-up is over its timer would hide the window again.
        settings = dict(settings, Menu={"Run": "Middle"})
        program, _ = self.start_ready(settings, lambda: bench.click(500, 400, button=2))
        self.close_menu()
        options = bench.wait_for_window(by_class("TMainForm", exe=EXE), timeout=30, what="options window")
        # A second start shows the running instance's options window.
        self.assertEqual(self.folder.start().wait(15), 0)
        bench.wait_for_window(by_class("TMainForm", visible=True, exe=EXE), timeout=15,
                              what="options window shown")
        self.folder.screenshot("options-window")
        bench.click_button(options.hwnd, "OK")
        bench.wait_for_no_window(by_class("TMainForm", visible=True, exe=EXE), timeout=10,
                                 what="options window hidden by OK")
        return program

    def test_ok_writes_the_three_tree_files(self):
        self.open_options_and_press_ok({"View": {"WhatsNew": "No", "Logo": "No"}})
        bench.wait_until(lambda: self.folder.exists("Data/comp.dat"), 10, "comp.dat written")
        self.assertEqual(self.folder.read_bytes("Data/links.dat"), b"\0\0\0\0")
        self.assertEqual(self.folder.read_bytes("Data/folders.dat"), b"\0\0\0\0")
        comp = self.folder.read_bytes("Data/comp.dat")
        self.assertEqual(len(comp), 791)
        self.assertEqual(comp[:len(BUILTIN_START)], BUILTIN_START)

    def test_tree_files_read_at_start_are_written_back_unchanged(self):
        links = encode([
            node("Игры", "Group", "", 1, children=[node("Сапёр", "ProgLink", "C:\\windows\\notepad.exe", 30)]),
            node("Разделитель", "TheSeparator", "TheSeparator"),
            node("Блокнот", "ProgLink", "C:\\windows\\notepad.exe", 31, checked=False),
        ])
        folders = encode([node("Windows", "FolderLink", "C:\\windows", 7)])
        comp = encode([node("Windows", "win", "", 8, children=[node("Выполнить", "", "", 16)])])
        self.folder.write_bytes("Data/links.dat", links)
        self.folder.write_bytes("Data/folders.dat", folders)
        self.folder.write_bytes("Data/comp.dat", comp)
        self.open_options_and_press_ok({"View": {"WhatsNew": "No", "Logo": "No"}})
        bench.wait_until(lambda: self.folder.read_bytes("Data/comp.dat") == comp, 10, "comp.dat written")
        self.assertEqual(self.folder.read_bytes("Data/links.dat"), links)
        self.assertEqual(self.folder.read_bytes("Data/folders.dat"), folders)


if __name__ == "__main__":
    unittest.main()
