#!/usr/bin/python3
"""Takes docs/screenshot.png: Mirvane on two pseudo-terminals under the current X display.

The operator's part (start, lift the receiver, dial) is played with xdotool; the far sides
play a short call: the terminal's answers on line 1, the tapped commands on line 2.
"""
import os
import subprocess
import sys
import tempfile
import time

CAPTION = "Mirvane (Ver1.1a)"
TWIPS = 15


def centre(left, top, width, height):
    return str((left + width // 2) // TWIPS), str((top + height // 2) // TWIPS)


def click(window, at):
    subprocess.run(["xdotool", "mousemove", "--window", window, *at, "click", "1"], check=True)
    time.sleep(0.3)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = os.path.join(root, "docs", "screenshot.png")
    with tempfile.TemporaryDirectory() as folder:
        masters = []
        env = dict(os.environ)
        for n in (1, 2):
            master, device = os.openpty()
            link = os.path.join(folder, f"line{n}")
            os.symlink(os.ttyname(device), link)
            os.close(device)
            masters.append(master)
            env[f"MIRVANE_PORT{n}"] = link
        program = subprocess.Popen([os.path.join(root, "build", "default", "mirvane")], env=env)
        try:
            window = subprocess.run(["xdotool", "search", "--sync", "--name", r"Mirvane \(Ver1\.1a\)"],
                                    check=True, capture_output=True, text=True, timeout=20).stdout.split()[0]
            time.sleep(0.5)
            terminal, monitor = masters
            click(window, centre(360, 6120, 855, 735))      # start
            click(window, centre(5400, 6720, 1455, 495))    # lift the receiver
            os.write(monitor, bytes([0xA7, 0xEB]))
            time.sleep(0.2)
            os.write(terminal, bytes([0xAF, 0xC5, 0xA7, 0x21]))
            time.sleep(0.2)
            for key, code in (((1800, 6120), 0x91), ((2280, 6120), 0x92), ((2760, 6120), 0x93)):
                click(window, centre(*key, 375, 375))
                os.write(monitor, bytes([code]))
                os.write(terminal, bytes([code]))
                time.sleep(0.2)
            click(window, centre(3720, 6720, 1335, 495))    # dial complete
            os.write(monitor, bytes([0x86]))
            os.write(terminal, bytes([0xAA, 0xAD, 0x30, 0x31, 0x32, 0x33, 0xC7]))
            time.sleep(1.0)
            subprocess.run(["import", "-window", window, out], check=True)
        finally:
            program.terminate()
            program.wait(timeout=10)
            for master in masters:
                os.close(master)
    print(f"screenshot: {out}")


if __name__ == "__main__":
    sys.exit(main())
