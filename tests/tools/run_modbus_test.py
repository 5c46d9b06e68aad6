#!/usr/bin/env python3
"""brantel-run against a Modbus RTU server it did not write (Debian's pymodbus), over a
pseudo-terminal pair of socat: a register written and read back with CRC-16/MODBUS on both
sides, a read of any length ending in its CRC, the exception for a register the server does not
have, and two answers that must fail, on a byte and on a check. Exits 77 (skipped) without
pymodbus or socat.

Usage: run_modbus_test.py BRANTEL_RUN
"""
import os
import select
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import xml.etree.ElementTree as ElementTree

RUN = sys.argv[1]
SERVER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "modbus_server.py")
SKIPPED = 77

# Description, Command, Response, Var1, Var2. The server's registers 0 to 9 hold 0x1000 + n.
TABLE = [
    ("Write register 3", "A 06 R:U16 V:U16 CRC-16/MODBUS", "A 06 00 03 00 2A CRC-16/MODBUS",
     "3", "42"),
    ("Read it back", "A 03 R:U16 N:U16 CRC-16/MODBUS", "A 03 02 00 2A CRC-16/MODBUS", "3", "1"),
    ("Expect another value", "A 03 R:U16 N:U16 CRC-16/MODBUS", "A 03 02 00 2B CRC-16/MODBUS",
     "3", "1"),
    ("Read all ten", "A 03 R:U16 N:U16 CRC-16/MODBUS", "A 03 14 10 00 * CRC-16/MODBUS", "0", "10"),
    ("Expect another check", "A 03 R:U16 N:U16 CRC-16/MODBUS", "A 03 * CRC-16/ARC", "0", "1"),
    ("No such register", "A 03 R:U16 N:U16 CRC-16/MODBUS", "A 83 02 CRC-16/MODBUS", "100", "1"),
]

# The CRCs are those Modbus RTU puts on these frames (01 03 00 00 00 0A C5 CD is the classic).
LINES = [
    "1 | Write register 3 | sent 01 06 00 03 00 2A F8 15 | received 01 06 00 03 00 2A F8 15"
    " | PASS",
    "2 | Read it back | sent 01 03 00 03 00 01 74 0A | received 01 03 02 00 2A 39 9B | PASS",
    "3 | Expect another value | sent 01 03 00 03 00 01 74 0A | received 01 03 02 00 2A 39 9B"
    " | FAIL: byte 5 is 2A, expected 2B",
    "4 | Read all ten | sent 01 03 00 00 00 0A C5 CD | received 01 03 14 10 00 10 01 10 02 00 2A"
    " 10 04 10 05 10 06 10 07 10 08 10 09 AE 94 | PASS",
    "5 | Expect another check | sent 01 03 00 00 00 01 84 0A | received 01 03 02 10 00 B5 84"
    " | FAIL: CRC-16/ARC is B5 84, expected 91 84",
    "6 | No such register | sent 01 03 00 64 00 01 C5 D5 | received 01 83 02 C0 F1 | PASS",
]


def modbus_python():
    """An interpreter that imports pymodbus: this one, or Debian's, which has the package."""
    for python in dict.fromkeys([sys.executable, "/usr/bin/python3"]):
        if os.access(python, os.X_OK) and subprocess.run(
                [python, "-c", "import pymodbus"], capture_output=True).returncode == 0:
            return python
    return None


def stop(process):
    process.terminate()
    try:
        process.wait(timeout=5)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
    if process.stdout:
        process.stdout.close()


class RunAgainstPymodbus(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.TemporaryDirectory(prefix="brantel-run-modbus")
        cls.addClassCleanup(cls.dir.cleanup)
        server_end, cls.port = (os.path.join(cls.dir.name, name) for name in ("server", "run"))
        socat = subprocess.Popen(["socat", "-d", "-d", f"pty,raw,echo=0,link={server_end}",
                                  f"pty,raw,echo=0,link={cls.port}"],
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        cls.addClassCleanup(stop, socat)
        deadline = time.monotonic() + 5
        while not (os.path.exists(server_end) and os.path.exists(cls.port)):
            if time.monotonic() > deadline or socat.poll() is not None:
                raise RuntimeError("socat made no pseudo-terminal pair")
            time.sleep(0.01)
        cls.log = os.path.join(cls.dir.name, "server.log")
        with open(cls.log, "w", encoding="utf-8") as log:
            # 9600 baud, as brantel-run sets its line.
            server = subprocess.Popen([PYTHON, SERVER, server_end, "9600"],
                                      stdout=subprocess.PIPE, stderr=log, text=True)
        cls.addClassCleanup(stop, server)
        if not select.select([server.stdout], [], [], 10)[0] or \
                server.stdout.readline() != "ready\n":
            raise RuntimeError("the Modbus server did not start: " + cls.server_log())
        cls.ini = os.path.join(cls.dir.name, "modbus.ini")
        rows = "".join(f"Command{n}={';'.join(cells)}\n" for n, cells in enumerate(TABLE, 1))
        with open(cls.ini, "w", encoding="utf-8") as out:
            out.write(f"[TForm1]\nAddressEdit_Text=01\n\n[Main]\n{rows}")

    @classmethod
    def server_log(cls):
        with open(cls.log, encoding="utf-8") as log:
            return log.read()

    def run_tool(self, *args):
        # A generous wait for the first byte, should Python be slow under a parallel suite.
        return subprocess.run([RUN, "--ini", self.ini, "--port", self.port, "--timeout", "3000",
                               *args], capture_output=True, text=True, timeout=60)

    def test_each_row_judged_against_the_server(self):
        report = os.path.join(self.dir.name, "report.xml")
        result = self.run_tool("--junit", report)
        self.assertEqual(result.stdout.splitlines(), LINES + ["4 passed, 2 failed, 0 skipped"],
                         result.stderr + self.server_log())
        self.assertEqual((result.returncode, result.stderr), (1, ""))
        suite = ElementTree.parse(report).getroot().find("testsuite")
        self.assertEqual([suite.get(name) for name in ("tests", "failures", "errors", "skipped")],
                         ["6", "2", "0", "0"])
        failures = {case.get("name"): case.find("failure").get("message")
                    for case in suite.findall("testcase") if case.find("failure") is not None}
        self.assertEqual(failures, {"row 3: Expect another value": "byte 5 is 2A, expected 2B",
                                    "row 5: Expect another check":
                                    "CRC-16/ARC is B5 84, expected 91 84"})

    def test_the_passing_rows_exit_0(self):
        result = self.run_tool("--rows", "1,2,4,6", "--quiet")
        self.assertEqual(result.stdout, "4 passed, 0 failed, 0 skipped\n",
                         result.stderr + self.server_log())
        self.assertEqual(result.returncode, 0)


if __name__ == "__main__":
    PYTHON = modbus_python()
    missing = [name for name, found in (("pymodbus (Debian package python3-pymodbus)", PYTHON),
                                        ("socat", shutil.which("socat"))) if not found]
    if missing:
        print("skipped: missing " + " and ".join(missing))
        sys.exit(SKIPPED)
    unittest.main(argv=sys.argv[:1], verbosity=2)
