#!/usr/bin/env python3
"""brantel-run against brantel-sim: a table of passes, wildcards, a refused checksum, a silent
foreign address, a note, a bad variable; exit statuses 0, 1, 2 and 4; the JUnit file read by an
XML parser on every way out (an interrupt, a lost device, a run that could not start); devices
that flood or drip; the same rows through Debian's ser2net (skipped without ser2net), a server
that still holds the device and one that goes away; the manual page formatted without warnings
and naming every option of the usage.

Usage: run_sim_test.py BRANTEL_RUN BRANTEL_SIM MANUAL_PAGE
"""
import csv
import os
import pty
import random
import re
import resource
import select
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import termios
import threading
import time
import tty
import unittest
import xml.etree.ElementTree as ElementTree

RUN, SIM, MANUAL = sys.argv[1], sys.argv[2], sys.argv[3]

# Description, Command, Response, Var1.
TABLE = [
    ("Status", "A 02 L CRC", "A 02 L 00 01 01 CRC", ""),
    ("Read register", "A 03 L D CRC", "A 03 L 10 ?? CRC", "$10"),
    ("Echo", "A 01 L 11 22 33 CRC", "A 01 *", ""),
    ("Bad checksum", "A 02 L 00", "A 82 L 02 CRC", ""),
    ("Another device", "51 02 04 57", "51 02 L CRC", ""),
    ("Status, noted", "A 02 L CRC", "ready and version 1.01", ""),
    ("Wrong expectation", "A 02 L CRC", "50 02 07 00 01 01 5C", ""),
    ("Variable not a number", "A 03 L D CRC", "A 03 *", "x1G"),
    ("Echo a parameter", "A 01 L P CRC", "A 01 L P CRC", ""),
]

LINES = [
    "1 | Status | sent 50 02 04 56 | received 50 02 07 00 01 01 5B | PASS",
    "2 | Read register | sent 50 03 05 10 68 | received 50 03 06 10 EF 58 | PASS",
    "3 | Echo | sent 50 01 07 11 22 33 BE | received 50 01 07 11 22 33 BE | PASS",
    "4 | Bad checksum | sent 50 02 04 00 | received 50 82 05 02 D9 | PASS",
    "5 | Another device | sent 51 02 04 57 | received nothing | FAIL: no answer",
    "6 | Status, noted | sent 50 02 04 56 | received 50 02 07 00 01 01 5B"
    " | SKIP: response not a frame: ready and version 1.01",
    "7 | Wrong expectation | sent 50 02 04 56 | received 50 02 07 00 01 01 5B"
    " | FAIL: byte 7 is 5B, expected 5C",
    "8 | Variable not a number | sent nothing | received nothing"
    " | FAIL: 'x1G' is not a valid integer value",
    "9 | Echo a parameter | sent 50 01 05 5A B0 | received 50 01 05 5A B0 | PASS",
]


def random_bytes(count):
    """The same bytes every run, none of them a line break of a section header."""
    generator = random.Random(7)
    return [generator.choice([b for b in range(256) if b not in b"[\n\r"]) for _ in range(count)]


def row_value(cells):
    description, command, response, var1 = cells
    return ";".join(cell or " " for cell in (description, command, response, var1))


def start_sim(folder):
    """The simulator on a link in the folder, once the link is there; the process and the link."""
    link = os.path.join(folder, "device")
    sim = subprocess.Popen([SIM, "--link", link], stdout=subprocess.DEVNULL)
    deadline = time.monotonic() + 5
    while not os.path.exists(link) and time.monotonic() < deadline:
        time.sleep(0.01)
    return sim, link


def write_ini(folder, link):
    ini = os.path.join(folder, "bench.ini")
    rows = "".join(f"Command{n}={row_value(cells)}\n" for n, cells in enumerate(TABLE, 1))
    with open(ini, "w", encoding="utf-8") as out:
        out.write("[TForm1]\nPortNumber_Value=3\nAddressEdit_Text=50\nParameters_Text=P:Z\n\n"
                  f"[Main]\n{rows}Command12=Blank command; ;A 02 L CRC\n\n"
                  f"[Ports]\nCOM3={link}\nCOM4={folder}/missing\n")
    return ini


def free_tcp_port():
    """A port on 127.0.0.1 that nothing listens on, for now."""
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def listening(port):
    """Whether a socket listens on 127.0.0.1:port, from the kernel's table, without connecting
    (a connection would make ser2net open the device)."""
    wanted = f"0100007F:{port:04X}"
    with open("/proc/net/tcp", encoding="ascii") as table:
        return any(fields[1] == wanted and fields[3] == "0A"
                   for fields in (line.split() for line in table) if len(fields) > 3)


def run_tool(ini, *args):
    return subprocess.run([RUN, "--ini", ini, *args], capture_output=True, text=True, timeout=60)


def report_cases(path):
    """The JUnit file's counts of the suite and, per test case, its name and the message of its
    failure, error or skipped element (None for a pass)."""
    suite = ElementTree.parse(path).getroot().find("testsuite")
    counts = tuple(suite.get(name) for name in ("tests", "failures", "errors", "skipped"))
    cases = []
    for case in suite.findall("testcase"):
        verdict = next((child for child in case if child.tag != "system-out"), None)
        cases.append((case.get("name"),
                      None if verdict is None else (verdict.tag, verdict.get("message"))))
    return counts, cases


class PtyDevice:
    """A device on a pseudo-terminal that writes `chunk` every `pause` seconds, whatever it is
    sent, until closed."""

    def __init__(self, folder, chunk, pause):
        self.master, slave = pty.openpty()
        tty.setraw(slave)
        os.set_blocking(self.master, False)
        self.link = os.path.join(folder, "talker")
        os.symlink(os.ttyname(slave), self.link)
        os.close(slave)
        self.running = True
        self.thread = threading.Thread(target=self.talk, args=(chunk, pause), daemon=True)
        self.thread.start()

    def talk(self, chunk, pause):
        while self.running:
            try:
                os.write(self.master, chunk)
            except OSError:
                time.sleep(0.001)  # the line's buffer is full
            if pause:
                time.sleep(pause)

    def close(self):
        self.running = False
        self.thread.join()
        os.close(self.master)
        os.unlink(self.link)


class RunAtLineSettings(unittest.TestCase):
    """The line a run opens, as the device's side of a pseudo-terminal shows it while the run
    waits for an answer that never comes."""

    def test_the_port_runs_at_its_stored_settings_or_those_given(self):
        with tempfile.TemporaryDirectory(prefix="brantel-run-line") as folder:
            master, slave = pty.openpty()
            tty.setraw(slave)
            link = os.path.join(folder, "device")
            os.symlink(os.ttyname(slave), link)
            ini = os.path.join(folder, "line.ini")
            with open(ini, "w", encoding="ascii") as out:
                out.write("[Main]\nCommand1=Status;50 02 04 56;50 02 07\n\n"
                          f"[Ports]\nCOM1={link}\nCOM1Line=57600 8N1 RTS/CTS\n"
                          f"COM2={link}\nCOM2Line=fast\n")
            cases = [
                (["--port", link], termios.B9600, 0, ""),
                (["--port", link, "--line", "19200 8n2"], termios.B19200, termios.CSTOPB, ""),
                (["--port", "COM1"], termios.B57600, termios.CRTSCTS, ""),
                (["--port", "COM1", "--line", "4800 8N2"], termios.B4800, termios.CSTOPB, ""),
                (["--port", "COM2"], termios.B9600, 0,
                 "brantel-run: COM2Line: 'fast' is no line settings (it needs two or three "
                 "words): SPEED DPS [FLOW], such as \"9600 8N1\" or \"115200 8E1 RTS/CTS\"; "
                 "the line runs at 9600 8N1 instead\n"),
            ]
            try:
                for args, speed, flags, warning in cases:
                    with self.subTest(args=args):
                        # Before each run the line is left at a speed none of them asks for.
                        settings = termios.tcgetattr(slave)
                        settings[4] = settings[5] = termios.B300
                        termios.tcsetattr(slave, termios.TCSANOW, settings)
                        run = subprocess.Popen([RUN, "--ini", ini, "--timeout", "1500", *args],
                                               stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                               text=True)
                        # The frame arrives once the line is open and set.
                        ready, _, _ = select.select([master], [], [], 5)
                        self.assertTrue(ready, "no frame arrived")
                        os.read(master, 64)
                        line = termios.tcgetattr(slave)
                        _, err = run.communicate(timeout=30)
                        self.assertEqual((line[4], line[5]), (speed, speed))
                        self.assertEqual(line[2] & (termios.CSTOPB | termios.CRTSCTS), flags)
                        self.assertEqual((run.returncode, err), (1, warning))
            finally:
                os.close(master)
                os.close(slave)


class RunAgainstSim(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.TemporaryDirectory(prefix="brantel-run-test")
        cls.sim, cls.link = start_sim(cls.dir.name)
        cls.ini = write_ini(cls.dir.name, cls.link)

    @classmethod
    def tearDownClass(cls):
        cls.sim.terminate()
        cls.sim.wait(timeout=5)
        cls.dir.cleanup()

    def run_tool(self, *args, ini=None):
        return run_tool(ini or self.ini, *args)

    def test_whole_table_reports_each_row_and_exits_1(self):
        report = os.path.join(self.dir.name, "report.xml")
        result = self.run_tool("--junit", report)
        self.assertEqual(result.returncode, 1, result.stderr)
        self.assertEqual(result.stdout.splitlines(), LINES + ["5 passed, 3 failed, 1 skipped"])
        self.assertEqual(result.stderr, "")

        suites = ElementTree.parse(report).getroot()
        self.assertEqual(suites.tag, "testsuites")
        suite = suites.find("testsuite")
        self.assertEqual(suite.get("name"), "bench")
        for element in (suites, suite):
            self.assertEqual((element.get("tests"), element.get("failures"),
                              element.get("skipped")), ("9", "3", "1"))
        cases = suite.findall("testcase")
        self.assertEqual([case.get("name") for case in cases],
                         [f"row {n}: {cells[0]}" for n, cells in enumerate(TABLE, 1)])
        failures = {case.get("name"): case.find("failure").get("message")
                    for case in cases if case.find("failure") is not None}
        self.assertEqual(failures, {
            "row 5: Another device": "no answer",
            "row 7: Wrong expectation": "byte 7 is 5B, expected 5C",
            "row 8: Variable not a number": "'x1G' is not a valid integer value",
        })
        skipped = [case.get("name") for case in cases if case.find("skipped") is not None]
        self.assertEqual(skipped, ["row 6: Status, noted"])
        self.assertEqual(cases[1].find("system-out").text,
                         "sent 50 03 05 10 68\nreceived 50 03 06 10 EF 58")

    def test_passing_rows_exit_0(self):
        cases = [
            (["--rows", "1-4,6"], "4 passed, 0 failed, 1 skipped"),
            (["--rows", "6,4,1-3", "--port", self.link], "4 passed, 0 failed, 1 skipped"),
            (["--rows", "1", "--port", "COM3"], "1 passed, 0 failed, 0 skipped"),
            (["--rows", "1", "--port", "com3"], "1 passed, 0 failed, 0 skipped"),
        ]
        for args, closing in cases:
            with self.subTest(args=args):
                result = self.run_tool(*args)
                self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
                self.assertEqual(result.stdout.splitlines()[-1], closing)

    def test_overrides_blank_rows_and_quiet(self):
        cases = [
            # Another address: the simulator stays silent.
            (["--rows", "1", "--address", "51", "--timeout", "100"], 1,
             ["1 | Status | sent 51 02 04 57 | received nothing | FAIL: no answer",
              "0 passed, 1 failed, 0 skipped"]),
            (["--rows", "9", "--params", "P:Y"], 0,
             ["9 | Echo a parameter | sent 50 01 05 59 AF | received 50 01 05 59 AF | PASS",
              "1 passed, 0 failed, 0 skipped"]),
            # A row named in the list runs even when its command is blank: nothing is sent.
            (["--rows", "12", "--timeout", "100"], 1,
             ["12 | Blank command | sent nothing | received nothing | FAIL: no answer",
              "0 passed, 1 failed, 0 skipped"]),
            (["--quiet"], 1, [LINES[4], LINES[6], LINES[7], "5 passed, 3 failed, 1 skipped"]),
        ]
        for args, status, lines in cases:
            with self.subTest(args=args):
                result = self.run_tool(*args)
                self.assertEqual(result.stdout.splitlines(), lines)
                self.assertEqual(result.returncode, status)

    def test_runs_that_cannot_start_exit_2(self):
        missing = os.path.join(self.dir.name, "missing.ini")
        refused = f"tcp://127.0.0.1:{free_tcp_port()}"
        cases = [
            ([], missing, f"brantel-run: cannot read the INI file '{missing}'"),
            ([], self.dir.name, f"brantel-run: cannot read the INI file '{self.dir.name}'"),
            (["--rows", "30"], None,
             "brantel-run: --rows takes rows from 1 to 29 such as 1,3-5, not '30'"),
            (["--bogus"], None, "brantel-run: unknown argument '--bogus'"),
            # The reason the port did not open, after the device it names.
            (["--port", "COM4"], None, "brantel-run: cannot open port COM4 "
             f"({self.dir.name}/missing: No such file or directory)"),
            (["--port", "COM7"], None,
             "brantel-run: there is no port COM7: the ports are COM1 to COM4"),
            (["--port", "/dev/null"], None,
             "brantel-run: cannot open port /dev/null: Inappropriate ioctl for device"),
            (["--port", refused], None,
             f"brantel-run: cannot open port {refused}: Connection refused"),
            (["--port", "rfc2217://127.0.0.1"], None, "brantel-run: cannot open port "
             "rfc2217://127.0.0.1: not a network port of the form tcp://HOST:PORT or "
             "rfc2217://HOST:PORT"),
            (["--line", "9600 8X1"], None,
             "brantel-run: --line: '9600 8X1' is no line settings ('8X1' is not data bits 5 to "
             "8, parity N, E, O, M or S and stop bits 1, 1.5 or 2): SPEED DPS [FLOW], such as "
             "\"9600 8N1\" or \"115200 8E1 RTS/CTS\""),
            (["--params", "N:1x"], None,
             "brantel-run: parameters: '1x' is not a valid integer value"),
            (["--junit", os.path.join(self.dir.name, "no", "report.xml")], None,
             "brantel-run: cannot write the JUnit report '"
             + os.path.join(self.dir.name, "no", "report.xml") + "'"),
        ]
        for args, ini, message in cases:
            with self.subTest(args=args, ini=ini):
                result = self.run_tool(*args, ini=ini)
                self.assertEqual(result.returncode, 2)
                self.assertEqual(result.stderr.splitlines()[0], message)
                self.assertEqual(result.stdout, "")

    def test_every_way_out_leaves_a_whole_report(self):
        report = os.path.join(self.dir.name, "every-way.xml")
        missing = os.path.join(self.dir.name, "missing.ini")
        could_not_start = "the run could not start: "
        cases = [
            # Interrupted in row 5 (the silent address): rows run keep their verdicts.
            ("SIGINT", ["--rows", "1,5,6", "--timeout", "5000"], None, signal.SIGINT, 130,
             ["1 passed, 0 failed, 0 skipped, 2 errors"],
             [("row 1: Status", None), ("row 5: Another device", ("error", "interrupted")),
              ("row 6: Status, noted", ("error", "not run: interrupted"))]),
            ("SIGTERM", ["--rows", "1,5", "--timeout", "5000"], None, signal.SIGTERM, 143,
             ["1 passed, 0 failed, 0 skipped, 1 error"],
             [("row 1: Status", None), ("row 5: Another device", ("error", "interrupted"))]),
            ("a port that does not open", ["--rows", "1-2", "--port", "COM4"], None, None, 2, [],
             [(f"row {n}: {TABLE[n - 1][0]}",
               ("error", could_not_start + f"cannot open port COM4 ({self.dir.name}/missing: "
                "No such file or directory)")) for n in (1, 2)]),
            ("parameters that do not parse", ["--rows", "9", "--params", "N:1x"], None, None, 2,
             [], [("row 9: Echo a parameter", ("error", could_not_start +
                                               "parameters: '1x' is not a valid integer value"))]),
            ("an INI file that cannot be read", [], missing, None, 2, [],
             [("brantel-run", ("error", could_not_start +
                               f"cannot read the INI file '{missing}'"))]),
            ("bad arguments", ["--rows", "30"], None, None, 2, [],
             [("brantel-run", ("error", could_not_start +
                               "--rows takes rows from 1 to 29 such as 1,3-5, not '30'"))]),
        ]
        for name, args, ini, sent_signal, status, closing, cases_expected in cases:
            with self.subTest(name):
                with open(report, "w", encoding="utf-8") as stale:
                    stale.write("<testsuites><testsuite tests='99'/></testsuites>")
                run = subprocess.Popen([RUN, "--ini", ini or self.ini, "--junit", report, *args],
                                       stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
                if sent_signal is not None:
                    # Once row 1 is reported, the run waits in the next row.
                    self.assertTrue(run.stdout.readline().startswith("1 | Status"))
                    time.sleep(0.2)
                    run.send_signal(sent_signal)
                out, err = run.communicate(timeout=30)
                self.assertEqual(run.returncode, status, err)
                self.assertEqual(out.splitlines()[-1:], closing)
                if sent_signal is not None:
                    self.assertEqual(err, f"brantel-run: interrupted by {sent_signal.name}\n")
                counts, found = report_cases(report)
                self.assertEqual(found, cases_expected)
                self.assertEqual(counts[0], str(len(cases_expected)))
                self.assertEqual([name for name in os.listdir(self.dir.name)
                                  if name.startswith("every-way")], ["every-way.xml"])

    def test_a_run_that_checked_nothing_exits_4(self):
        folder = self.dir.name
        noted = os.path.join(folder, "noted.ini")
        with open(noted, "w", encoding="utf-8") as out:
            out.write(f"[Main]\nCommand1={row_value(TABLE[5])}\n[Ports]\nCOM2={self.link}\n")
        with open(self.ini, "rb") as table:
            marked = b"\xef\xbb\xbf" + table.read()
        no_rows = "brantel-run: no row was checked: the table has no command to run\n"
        cases = [
            ("an empty file", b"", 4, no_rows),
            ("random bytes", bytes(random_bytes(3000)), 4, no_rows),
            ("no section", b"Command1=Status;A 02 L CRC;A 02 L 00 01 01 CRC\n", 4, no_rows),
            ("every row skipped", None, 4, "brantel-run: no row was checked: every row was "
             "skipped (no Response cell held an expected frame)\n"),
            # A byte-order mark before the first section is read past, as the window reads it.
            ("a byte-order mark", marked, 0, ""),
        ]
        for name, content, status, message in cases:
            with self.subTest(name):
                ini = noted
                if content is not None:
                    ini = os.path.join(folder, "nothing.ini")
                    with open(ini, "wb") as out:
                        out.write(content)
                result = self.run_tool("--port", self.link, *(["--rows", "1"] if status == 0
                                                              else []), ini=ini)
                self.assertEqual(result.returncode, status, result.stdout)
                self.assertEqual(result.stderr, message)

    def test_a_row_without_a_frame_waits_only_for_an_expected_answer(self):
        report = os.path.join(self.dir.name, "blank.xml")
        blank = os.path.join(self.dir.name, "blank.ini")
        with open(blank, "w", encoding="utf-8") as out:
            out.write(f"[Main]\nCommand1=Noted; ;ready\nCommand2=Listen; ;A 02 L CRC\n"
                      f"[Ports]\nCOM2={self.link}\n")
        result = self.run_tool("--rows", "1-2", "--timeout", "1500", "--junit", report, ini=blank)
        self.assertEqual(result.stdout.splitlines(), [
            "1 | Noted | sent nothing | received nothing | SKIP: response not a frame: ready",
            "2 | Listen | sent nothing | received nothing | FAIL: no answer",
            "0 passed, 1 failed, 1 skipped"])
        times = [float(case.get("time")) for case in
                 ElementTree.parse(report).getroot().iter("testcase")]
        self.assertLess(times[0], 1.0)
        self.assertGreaterEqual(times[1], 1.5)

    def test_a_lost_device_ends_the_run(self):
        folder = tempfile.mkdtemp(dir=self.dir.name)
        sim, link = start_sim(folder)
        report = os.path.join(folder, "lost.xml")
        run = subprocess.Popen([RUN, "--ini", self.ini, "--port", link, "--rows", "1,5,6",
                                "--timeout", "5000", "--junit", report],
                               stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        self.assertTrue(run.stdout.readline().startswith("1 | Status"))
        sim.kill()
        sim.wait()
        out, err = run.communicate(timeout=30)
        self.assertEqual(run.returncode, 2)
        self.assertEqual(err, "brantel-run: the port was lost: the run could not finish\n")
        self.assertEqual(out.splitlines(), [
            "5 | Another device | sent 51 02 04 57 | received nothing | ERROR: port lost",
            "6 | Status, noted | sent nothing | received nothing | ERROR: not run: port lost",
            "1 passed, 0 failed, 0 skipped, 2 errors"])
        self.assertEqual(report_cases(report)[0], ("3", "0", "2", "0"))

    def test_a_flood_or_a_drip_fails_the_row_within_its_limits(self):
        cases = [
            ("a flood", b"\x55" * 4096, 0,
             r"the answer went on for more than 700 ms and was longer than 65536 bytes "
             r"\(\d+ more drained\)$"),
            ("a drip", b"\x55", 0.01, r"the answer went on for more than 700 ms$"),
        ]
        for name, chunk, pause, reason in cases:
            with self.subTest(name):
                device = PtyDevice(self.dir.name, chunk, pause)
                try:
                    run = subprocess.Popen([RUN, "--ini", self.ini, "--port", device.link,
                                            "--rows", "1", "--answer-max", "700"],
                                           stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                           text=True)
                    out, _ = run.communicate(timeout=30)
                    # The largest the program's memory grew to, in KiB: flat under the flood.
                    memory = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
                finally:
                    device.close()
                self.assertEqual(run.returncode, 1)
                self.assertRegex(out.splitlines()[0], r"^1 \| Status \| sent 50 02 04 56 \| "
                                 r"received (55 )+.*FAIL: " + reason)
                self.assertLess(memory, 100 * 1024)

    def test_fields_show_on_the_pass_line_in_the_report_and_in_the_csv_file(self):
        ini = os.path.join(self.dir.name, "fields.ini")
        with open(ini, "w", encoding="utf-8") as out:
            out.write("[TForm1]\nAddressEdit_Text=50\n[Main]\n"
                      "Command1=Version;A 02 L CRC;A 02 L 00 MAJOR:U8 MINOR:U8 CRC\n"
                      "Command2=Register, in tenths;A 03 L D CRC;A 03 L 10 R:U8*0.1 CRC;$10\n"
                      "Command3=Bits, failing;A 03 L D CRC;A 03 L 11 LOW:B0-3 CRC;$10\n"
                      f"[Ports]\nCOM1={self.link}\n")
        values = os.path.join(self.dir.name, "values.csv")
        report = os.path.join(self.dir.name, "fields.xml")
        for _ in range(2):
            result = self.run_tool("--port", "COM1", "--csv", values, "--junit", report, ini=ini)
            self.assertEqual(result.returncode, 1, result.stderr)
        lines = result.stdout.splitlines()
        self.assertTrue(lines[0].endswith("| PASS MAJOR=1 MINOR=1"), lines[0])
        self.assertTrue(lines[1].endswith("| PASS R=23.9"), lines[1])
        self.assertTrue(lines[2].endswith("| FAIL: byte 4 is 10, expected 11"), lines[2])
        with open(values, newline="", encoding="utf-8") as table:
            rows = list(csv.DictReader(table))
        # Two runs appended under one header; no values from the failed row.
        self.assertEqual([(row["row"], row["field"], row["value"]) for row in rows],
                         [("1", "MAJOR", "1"), ("1", "MINOR", "1"), ("2", "R", "23.9")] * 2)
        for row in rows:
            self.assertRegex(row["time"], r"^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z$")
        case = ElementTree.parse(report).getroot().find("testsuite").find("testcase")
        self.assertEqual([(p.get("name"), p.get("value")) for p in case.iter("property")],
                         [("MAJOR", "1"), ("MINOR", "1")])

    def test_version_and_help(self):
        version = subprocess.run([RUN, "--version"], capture_output=True, text=True)
        self.assertEqual(version.returncode, 0)
        self.assertRegex(version.stdout, r"^brantel-run \d+\.\d+\n$")
        usage = subprocess.run([RUN, "--help"], capture_output=True, text=True)
        self.assertEqual(usage.returncode, 0)
        self.assertTrue(usage.stdout.startswith("usage: brantel-run --ini FILE"))


class RunThroughSer2net(unittest.TestCase):
    """The simulator served by ser2net as a raw TCP stream at the tool's line settings."""

    @classmethod
    def setUpClass(cls):
        # Debian installs it for the administrator, outside a user's PATH.
        program = shutil.which("ser2net", path="/usr/sbin:/sbin:/usr/bin:" + os.environ["PATH"])
        if program is None:
            raise unittest.SkipTest("ser2net is not installed (Debian package ser2net)")
        cls.dir = tempfile.TemporaryDirectory(prefix="brantel-run-ser2net")
        cls.sim, link = start_sim(cls.dir.name)
        cls.ini = write_ini(cls.dir.name, link)
        cls.port, cls.rfc2217_port = free_tcp_port(), free_tcp_port()
        config = os.path.join(cls.dir.name, "ser2net.yaml")
        with open(config, "w", encoding="ascii") as out:
            out.write("%YAML 1.1\n---\n")
            for name, accepter in (("raw", f"tcp,127.0.0.1,{cls.port}"),
                                   ("rfc2217", f"telnet(rfc2217),tcp,127.0.0.1,"
                                               f"{cls.rfc2217_port}")):
                out.write(f"connection: &{name}\n    accepter: {accepter}\n"
                          f"    connector: serialdev,{link},9600n81,local\n")
        # In the foreground, without UUCP lock files (a pseudo-terminal needs none).
        cls.server = subprocess.Popen([program, "-n", "-d", "-u", "-c", config],
                                      stdout=subprocess.DEVNULL, stderr=subprocess.STDOUT)
        deadline = time.monotonic() + 5
        while not (listening(cls.port) and listening(cls.rfc2217_port)) \
                and time.monotonic() < deadline:
            time.sleep(0.01)

    @classmethod
    def tearDownClass(cls):
        for process in (cls.server, cls.sim):
            process.terminate()
            process.wait(timeout=5)
        cls.dir.cleanup()

    def test_rows_pass_through_a_raw_tcp_port(self):
        self.assertTrue(listening(self.port), "ser2net is not listening")
        result = run_tool(self.ini, "--port", f"tcp://127.0.0.1:{self.port}", "--rows", "1-4,6")
        self.assertEqual(result.stderr, "")
        self.assertEqual(result.stdout.splitlines(),
                         [LINES[0], LINES[1], LINES[2], LINES[3], LINES[5],
                          "4 passed, 0 failed, 1 skipped"])
        self.assertEqual(result.returncode, 0)

    def test_a_run_right_after_another_opens_while_the_server_lets_the_device_go(self):
        raw, rfc2217 = f"tcp://127.0.0.1:{self.port}", f"rfc2217://127.0.0.1:{self.rfc2217_port}"
        for port in [raw, rfc2217] * 3:
            with self.subTest(port=port):
                result = run_tool(self.ini, "--port", port, "--rows", "1")
                self.assertEqual((result.returncode, result.stderr), (0, ""))

    def test_a_server_that_never_answers_ends_the_open_in_3_s_every_time(self):
        # Accepts, and never says a word.
        with socket.socket() as silent:
            silent.bind(("127.0.0.1", 0))
            silent.listen(8)
            # Side by side; the raw port of ser2net once only, as it serves one client.
            ports = [silent.getsockname()[1]] * 3 + [self.port]
            runs = [subprocess.Popen([RUN, "--ini", self.ini, "--rows", "1",
                                      "--port", f"rfc2217://127.0.0.1:{port}"],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
                    for port in ports]
            for run, port in zip(runs, ports):
                _, err = run.communicate(timeout=10)
                self.assertEqual(run.returncode, 2)
                self.assertEqual(err, f"brantel-run: cannot open port rfc2217://127.0.0.1:{port}: "
                                 f"no answer from 127.0.0.1:{port} within 3 s\n")


class ManualPage(unittest.TestCase):
    def test_formats_cleanly_and_names_every_option(self):
        formatted = subprocess.run(["groff", "-t", "-man", "-ww", "-Tutf8", MANUAL],
                                   capture_output=True, text=True, check=True)
        self.assertEqual(formatted.stderr, "")
        text = re.sub(r".\x08", "", formatted.stdout)
        for section in ("NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "FILES", "EXIT STATUS",
                        "EXAMPLES"):
            self.assertRegex(text, rf"(?m)^{section}$")
        usage = subprocess.run([RUN, "--help"], capture_output=True, text=True).stdout
        for option in sorted(set(re.findall(r"--[a-z]+", usage))):
            self.assertIn(option, text)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
