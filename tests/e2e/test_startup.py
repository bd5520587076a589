"""Start-up, the launch menu's gesture, a second start and the end of a session:
the real program in a fresh folder, under Wine, with real mouse and keys."""

import time
import unittest

import bench
from bench import by_class

EXE = "stavlo.exe"
WM_QUERYENDSESSION = 17
# Where the launch menu opens relative to the pointer.
MENU_OFFSET = (-55, -12)
MENU_SLACK = 3


def own(cls, visible=None):
    return by_class(cls, visible=visible, exe=EXE)


def visible_menus():
    return bench.find_windows(own("#32768", visible=True))


def differs(a, b, by=24):
    return sum(abs(x - y) for x, y in zip(a, b)) > by


class StartupCase(bench.ProgramCase):
    def start_ready(self, settings, gesture_click):
        """Starts the program and waits until gestures work: start-up ignores them
        for a few seconds, so the gesture is repeated until the menu opens.
        Returns the program and the first menu."""
        self.folder.write_ini(settings)
        program = self.folder.start()
        bench.wait_for_window(own("TMainForm"), timeout=30, what="options window created")
        deadline = time.monotonic() + 30
        while True:
            self.assertTrue(program.running(), "the program ended during start-up")
            gesture_click()
            try:
                menu = bench.wait_until(visible_menus, 1.5, "menu")[0]
                return program, menu
            except AssertionError:
                if time.monotonic() > deadline:
                    self.folder.screenshot("no-menu")
                    self.fail("no launch menu within 30 s of start-up")

    def close_menu(self):
        bench.key("Escape")
        bench.wait_until(lambda: not visible_menus(), 5, "menu closed by Escape")

    def assert_no_menu_for(self, seconds):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            menus = visible_menus()
            self.assertEqual(menus, [], "a menu opened")
            time.sleep(0.2)


class FirstStart(StartupCase):
    def test_empty_folder_shows_splash_then_whats_new_once(self):
        self.assertFalse(self.folder.exists("stavlo.ini"))
        program = self.folder.start()

        splash = bench.wait_for_window(own("StavloSplash", visible=True), timeout=30,
                                       what="splash")
        self.assertEqual(splash.title, "Stavlo")
        shot = self.folder.screenshot("splash")
        self.assert_painted(shot, splash)

        news = bench.wait_for_window(own("StavloWhatsNew", visible=True), timeout=30,
                                     what="what's-new window")
        self.assertEqual(news.title, "Что нового в Stavlo")
        shot = self.folder.screenshot("whats-new")
        self.assert_painted(shot, news)
        buttons = [c for c in bench.text(news.hwnd) if c["class"].lower() == "button"]
        self.assertIn("OK", [b["text"].replace("&", "") for b in buttons])
        # It waits for the user: still there well after the splash has gone.
        time.sleep(3)
        self.assertTrue(bench.find_windows(lambda w: w.hwnd == news.hwnd and w.visible),
                        "the what's-new window closed by itself")

        bench.click_button(news.hwnd, "OK")
        bench.wait_for_no_window(lambda w: w.hwnd == news.hwnd and w.visible, timeout=10,
                                 what="what's-new window closed")
        bench.wait_until(lambda: self.folder.ini_value("View", "WhatsNew") == "No", 10,
                         "stavlo.ini with [View] WhatsNew=No")
        self.folder.screenshot("after-whats-new")
        self.assertTrue(program.running())

        # The next start reads what this one wrote.
        bench.end_programs((EXE,))
        self.folder.start()
        bench.wait_for_window(own("TMainForm"), timeout=30, what="options window created")
        self.assert_never_whats_new(8)
        self.assertEqual(self.folder.ini_value("View", "WhatsNew"), "No")

    def assert_painted(self, shot, window):
        """The window is on the screenshot, not only in the window list."""
        background = bench.pixel_at(shot, 2, 2)
        cx, cy = window.left + window.width // 2, window.top + window.height // 2
        self.assertTrue(differs(bench.pixel_at(shot, cx, cy), background),
                        "%s: the middle of %s looks like the desktop" % (shot, window.cls))

    def assert_never_whats_new(self, seconds):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            self.assertEqual(bench.find_windows(own("StavloWhatsNew", visible=True)), [],
                             "what's-new window shown")
            time.sleep(0.2)


class WhatsNewSetting(StartupCase):
    # (settings, shown): the window comes when the key is missing or "Yes"; closing it
    # writes "No" and keeps the rest of the file.
    ROWS = [
        ({"View": {"WhatsNew": "No"}, "Menu": {"Run": "Middle"}}, False),
        ({"View": {"WhatsNew": "Yes"}, "Menu": {"Run": "Middle"}}, True),
        ({"Menu": {"Run": "Middle"}}, True),
    ]

    def test_whats_new_follows_the_setting(self):
        for i, (settings, shown) in enumerate(self.ROWS):
            with self.subTest(settings=settings):
                folder = bench.ProgramFolder("%s.%d" % (self.case_name, i))
                try:
                    self.check_row(folder, settings, shown)
                finally:
                    bench.end_programs((EXE,))

    def check_row(self, folder, settings, shown):
        folder.write_ini(settings)
        program = folder.start()
        bench.wait_for_window(own("TMainForm"), timeout=30, what="options window")
        if shown:
            news = bench.wait_for_window(own("StavloWhatsNew", visible=True), timeout=20,
                                         what="what's-new window")
            folder.screenshot("whats-new")
            bench.click_button(news.hwnd, "OK")
            bench.wait_until(lambda: folder.ini_value("View", "WhatsNew") == "No", 10,
                             "[View] WhatsNew=No written")
        else:
            end = time.monotonic() + 8
            while time.monotonic() < end:
                self.assertEqual(bench.find_windows(own("StavloWhatsNew", visible=True)), [],
                                 "what's-new window shown")
                time.sleep(0.2)
            folder.screenshot("no-whats-new")
            self.assertEqual(folder.ini_value("View", "WhatsNew"), "No")
        self.assertTrue(program.running())
        self.assertEqual(folder.ini_value("Menu", "Run"), "Middle", "the other settings were lost")


class LaunchMenu(StartupCase):
    SETTINGS = {"View": {"WhatsNew": "No"}, "Menu": {"Run": "Middle"}}

    def test_middle_click_opens_menu_at_pointer(self):
        # Pointer positions well inside the desktop, so the menu is not pushed back.
        positions = [(500, 400), (300, 250), (700, 520)]
        first = positions[0]
        self.start_ready(self.SETTINGS, lambda: bench.click(*first, button=2))
        self.close_menu()
        for x, y in positions:
            with self.subTest(pointer=(x, y)):
                bench.click(x, y, button=2)
                menus = bench.wait_until(visible_menus, 5, "menu after a middle click")
                self.assertEqual(len(menus), 1, menus)
                menu = menus[0]
                shot = self.folder.screenshot("menu-%d-%d" % (x, y))
                want = (x + MENU_OFFSET[0], y + MENU_OFFSET[1])
                self.assertLessEqual(abs(menu.left - want[0]), MENU_SLACK, (menu, want))
                self.assertLessEqual(abs(menu.top - want[1]), MENU_SLACK, (menu, want))
                self.assertGreater(menu.width, 0)
                self.assertGreater(menu.height, 0)
                # The menu is drawn where the probe says: its inside differs from the
                # desktop just outside its top-left corner.
                outside = bench.pixel_at(shot, menu.left - 4, menu.top - 4)
                inside = bench.pixel_at(shot, menu.left + menu.width // 2, menu.top + 3)
                self.assertTrue(differs(inside, outside), (shot, inside, outside))
                self.close_menu()

    def test_middle_click_opens_nothing_with_another_gesture(self):
        settings = {"View": {"WhatsNew": "No"}, "Menu": {"Run": "CtrlLeft"}}
        # Ctrl+left click proves start-up is over and the hook works; only then does a
        # middle click that opens nothing mean anything.
        self.start_ready(settings, lambda: bench.click(500, 400, button=1, hold=("ctrl",)))
        self.folder.screenshot("menu-ctrl-left")
        self.close_menu()
        bench.click(500, 400, button=2)
        self.assert_no_menu_for(3)
        self.folder.screenshot("after-middle-click")


class SecondInstance(StartupCase):
    def test_second_start_shows_the_first_and_exits(self):
        settings = {"View": {"WhatsNew": "No"}, "Menu": {"Run": "Middle"}}
        first, _ = self.start_ready(settings, lambda: bench.click(500, 400, button=2))
        self.close_menu()
        options = bench.wait_for_window(own("TMainForm"), what="options window")
        self.assertFalse(options.visible, "options window shown before the second start")

        second = self.folder.start()
        self.assertEqual(second.wait(15), 0, "exit code of the second start")
        shown = bench.wait_for_window(own("TMainForm", visible=True), timeout=10,
                                      what="the first instance's options window shown")
        self.assertEqual(shown.hwnd, options.hwnd)
        self.folder.screenshot("options-window")
        self.assertTrue(first.running())
        self.assertEqual(bench.process_count(EXE), 1)

        # Hidden again, the first instance still has exactly one hook.
        bench.click_button(options.hwnd, "OK")
        bench.wait_for_no_window(own("TMainForm", visible=True), timeout=10,
                                 what="options window hidden by OK")
        bench.click(500, 400, button=2)
        bench.wait_until(visible_menus, 5, "menu after the second start")
        time.sleep(1)
        self.assertEqual(len(visible_menus()), 1, "menus after one middle click")
        self.folder.screenshot("menu-after-second-start")
        self.close_menu()


class EndOfSession(StartupCase):
    def test_query_end_session_ends_the_program(self):
        settings = {"View": {"WhatsNew": "No"}, "Menu": {"Run": "Middle"}}
        program, _ = self.start_ready(settings, lambda: bench.click(500, 400, button=2))
        self.close_menu()
        options = bench.wait_for_window(own("TMainForm"), what="options window")
        bench.post(options.hwnd, WM_QUERYENDSESSION, 0, 0)
        program.wait(10)
        bench.wait_until(lambda: bench.process_count(EXE) == 0, 10, "no stavlo.exe left")
        self.folder.screenshot("ended")


if __name__ == "__main__":
    unittest.main()
