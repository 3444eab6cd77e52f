#!/usr/bin/env python3
"""mirvane-test run as CI runs it, beside the simulated handset: which case fails and where,
an entry from before a step that must not count, a line lost mid-case, an interrupt, and
files refused before any line opens. The JUnit file is read with an XML parser, as a CI
server reads it.

usage: runs_test.py MIRVANE_TEST MIRVANE_SIM WHICH"""

import os
import signal
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ElementTree

PROGRAM, SIM, WHICH = sys.argv[1:4]
work = tempfile.mkdtemp(prefix="mirvane-test-")
problems = []


def check(condition, what):
    if not condition:
        problems.append(what)


def test_file(name, text):
    path = os.path.join(work, name)
    with open(path, "w", encoding="utf-8", errors="surrogateescape") as f:
        f.write(text)
    return path


def line_of(path, text):
    with open(path, encoding="utf-8") as f:
        return next(i for i, line in enumerate(f, 1) if text in line)


def junit_cases(path):
    """Each testcase as (name, outcome, message, line)."""
    root = ElementTree.parse(path).getroot()
    check(root.tag == "testsuites", "the root is testsuites")
    cases = []
    for suite in root.iter("testsuite"):
        for case in suite.iter("testcase"):
            outcome, message = "passed", ""
            for kind in ("failure", "error"):
                found = case.find(kind)
                if found is not None:
                    outcome, message = kind, found.get("message")
            cases.append((case.get("name"), outcome, message, int(case.get("line"))))
    return cases


def serve():
    """A simulated handset serving any program; the environment that names its lines."""
    sim = subprocess.Popen([SIM, "--no-levels", "--serve"], stdout=subprocess.PIPE, text=True)
    env = dict(os.environ)
    for _ in range(2):
        name, value = sim.stdout.readline().strip().split("=", 1)
        env[name] = value
    return sim, env


def wait_for_line(process, text):
    out = ""
    while text not in out:
        line = process.stdout.readline()
        if not line:
            break
        out += line
    return out


def failures_name_their_case_and_line():
    path = test_file("calls.test", """
case answered
  lift
  expect A7
case silent handset
  lift
  expect AD within 300ms        # the handset never sends it
case an answer from before the step
  lift
  wait 500ms
  put-down
  expect A7 within 500ms        # came before the put-down: it must not count
case answered again
  lift
  expect A7
  expect A7 within 300ms        # the same entry cannot meet two expectations
""")
    junit = os.path.join(work, "out.xml")
    run = subprocess.run([SIM, "--no-levels", "--", PROGRAM, "--junit", junit, path],
                         capture_output=True, text=True, timeout=60)
    check(run.returncode == 1, f"exit 1 when a case fails, not {run.returncode}")
    check(run.stdout.endswith("1 passed, 3 failed\n"), "the closing count:\n" + run.stdout)
    want = [("answered", "passed", None),
            ("silent handset", "failure", "expect AD within 300ms"),
            ("an answer from before the step", "failure", "expect A7 within 500ms"),
            ("answered again", "failure", "expect A7 within 300ms")]
    got = junit_cases(junit)
    check([(n, o) for n, o, _, _ in got] == [(n, o) for n, o, _ in want], f"outcomes: {got}")
    for (name, _, message, case_line), (_, _, step) in zip(got, want):
        check(case_line == line_of(path, "case " + name), f"{name}: its line in JUnit")
        if step:
            where = f"{path}:{line_of(path, step)}: "
            check(message.startswith(where), f"{name}: the failure names {where}: {message}")


def a_lost_line_fails_its_case_and_the_rest_are_errors():
    sim, env = serve()
    path = test_file("lost.test", """
case before
  lift
  expect A7
case during
  lift
  expect A7
  wait 10s
case after
  lift
""")
    junit = os.path.join(work, "lost.xml")
    run = subprocess.Popen([PROGRAM, "--junit", junit, path], env=env, stdout=subprocess.PIPE, text=True)
    out = wait_for_line(run, "passed")
    time.sleep(1.0)
    sim.kill()
    out += run.communicate(timeout=30)[0]
    sim.wait()
    check(run.returncode == 1, f"exit 1 after a lost line, not {run.returncode}")
    got = junit_cases(junit)
    check([o for _, o, _, _ in got] == ["passed", "failure", "error"], f"outcomes: {got}\n{out}")
    check("通信が途絶えた" in got[1][2], f"the lost line's reason: {got[1][2]}")
    check("not run: the line was lost" in got[2][2], f"the case after it is not run: {got[2][2]}")
    check(f"{path}:{line_of(path, 'wait 10s')}:" in got[1][2], "the step in hand when the line went")


def an_interrupt_writes_the_report_and_puts_the_receiver_down():
    sim, env = serve()
    path = test_file("long.test", """
case short
  lift
  expect A7
case long
  lift
  expect A7
  wait 30s
case never
  lift
""")
    junit, log = os.path.join(work, "int.xml"), os.path.join(work, "int.log")
    run = subprocess.Popen([PROGRAM, "--junit", junit, "--log", log, path], env=env, stdout=subprocess.PIPE,
                           text=True)
    wait_for_line(run, "passed")
    time.sleep(1.0)
    began = time.monotonic()
    run.send_signal(signal.SIGINT)
    run.communicate(timeout=30)
    check(time.monotonic() - began < 5, "the interrupt ends the wait at once")
    sim.send_signal(signal.SIGTERM)
    sim.wait()
    check(run.returncode == 1, f"exit 1 after an interrupt, not {run.returncode}")
    got = junit_cases(junit)
    check([o for _, o, _, _ in got] == ["passed", "error", "error"], f"outcomes: {got}")
    with open(log, encoding="utf-8") as f:
        entries = f.read()
    tail = entries[entries.rfind("受話器を上げる"):]
    check("__ __ __ __ A6" in tail and "A6 __ __ __ __" in tail, "the receiver put down at the end:\n" + tail)


def bad_files_are_refused_before_any_line_opens():
    bad = test_file("bad.test", "case c\n  lift\n  expect level 99\n  dial 12x\n  expect text \udcff\n")
    run = subprocess.run([PROGRAM, "--terminal-port", "/nonexistent/tty", bad], capture_output=True, text=True)
    check(run.returncode == 2, f"exit 2 for a bad file, not {run.returncode}")
    check(run.stderr.splitlines() == [f"{bad}:3: 'expect level' takes 0 to 15, or N..M, not '99'",
                                      f"{bad}:4: 'dial' takes the digits 0-9, * and #, not '12x'",
                                      f"{bad}:5: not UTF-8"],
          "each mistake with its line, and no line opened:\n" + run.stderr)
    good = test_file("good.test", "case c\n  lift\n")
    run = subprocess.run([PROGRAM, "--terminal-port", "/nonexistent/tty", good], capture_output=True, text=True)
    check(run.returncode == 2 and "/nonexistent/tty" in run.stderr, "a line that cannot open: " + run.stderr)
    run = subprocess.run([PROGRAM, "--check", "--terminal-port", "/nonexistent/tty", good], capture_output=True,
                         text=True)
    check(run.returncode == 0 and run.stdout == "1 files, 1 cases: no mistakes\n", f"--check of a good file: {run}")


globals()[WHICH]()
for problem in problems:
    print("FAIL:", problem)
sys.exit(1 if problems else 0)
