#!/usr/bin/env python3
"""brantel-sim --table: the shipped Modbus table played as a device for a Modbus master nobody
here wrote (Debian's mbpoll, on libmodbus; skipped without it): a register written and read
back, a scaled register that moves with time, a request no row matches left unanswered; and the
same file's own test run by brantel-run against its own device.

Usage: table_device_test.py BRANTEL_SIM BRANTEL_RUN TABLE
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

SIM, RUN, TABLE = sys.argv[1], sys.argv[2], sys.argv[3]


class TableDevice(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory(prefix="brantel-table-device")
        self.addCleanup(self.dir.cleanup)
        self.link = os.path.join(self.dir.name, "device")
        self.log = open(os.path.join(self.dir.name, "sim.log"), "w+", encoding="utf-8")
        self.addCleanup(self.log.close)
        self.sim = subprocess.Popen([SIM, "--table", TABLE, "--link", self.link],
                                    stdout=subprocess.DEVNULL, stderr=self.log)
        self.addCleanup(self.stop)
        deadline = time.monotonic() + 5
        while not os.path.exists(self.link):
            self.assertLess(time.monotonic(), deadline, "brantel-sim made no device")
            self.assertIsNone(self.sim.poll(), "brantel-sim ended")
            time.sleep(0.01)

    def stop(self):
        self.sim.terminate()
        self.sim.wait(timeout=5)

    def sim_lines(self):
        self.log.seek(0)
        return self.log.read().splitlines()

    def mbpoll(self, *args, values=()):
        if not shutil.which("mbpoll"):
            self.skipTest("mbpoll (Debian package mbpoll) is missing")
        return subprocess.run(["mbpoll", "-m", "rtu", "-a", "1", "-b", "9600", "-P", "none",
                               "-t", "4", "-1", "-o", "1", *args, self.link, *values],
                              capture_output=True, text=True, timeout=30)

    def read(self, reference, count=1):
        result = self.mbpoll("-r", str(reference), "-c", str(count))
        return result.returncode, re.findall(r"^\[(\d+)\]:\s+(-?\d+)", result.stdout, re.M)

    def test_a_modbus_master_reads_and_writes_its_registers(self):
        self.assertEqual(self.read(1), (0, [("1", "0")]))
        written = self.mbpoll("-r", "1", values=["5678"])
        self.assertEqual(written.returncode, 0, written.stdout + written.stderr)
        self.assertEqual(self.read(1), (0, [("1", "5678")]))
        # Tenths of a degree: the wave between 19.5 and 23.5.
        status, values = self.read(17)
        self.assertEqual(status, 0)
        self.assertTrue(195 <= int(values[0][1]) <= 235, values)
        # Two registers at once is a request no row describes: no answer, and it says so.
        self.assertNotEqual(self.read(1, 2)[0], 0)
        self.assertEqual(self.sim_lines(), [
            "brantel-sim: row 1 answers", "brantel-sim: row 2 answers",
            "brantel-sim: row 3 answers", "brantel-sim: row 3 answered",
            "brantel-sim: row 2 answered", "brantel-sim: row 3 answered",
            "brantel-sim: row 1 answered",
            "brantel-sim: no row matches 01 03 00 00 00 02 C4 0B"])

    def test_the_table_passes_against_its_own_device(self):
        result = subprocess.run([RUN, "--ini", TABLE, "--port", self.link], capture_output=True,
                                text=True, timeout=60)
        self.assertEqual((result.returncode, result.stdout.splitlines()[-1]),
                         (0, "3 passed, 0 failed, 0 skipped"), result.stdout + result.stderr)
        self.assertIn("| Read it back | sent 01 03 00 01 00 01 D5 CA | received 01 03 02 04 D2",
                      result.stdout)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
