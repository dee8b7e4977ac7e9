#!/usr/bin/env python3
"""Plays one round of Skelda on an X display with mouse clicks, as a player would, and
takes screenshots at the start, in the middle of the round and at the round report.

Run under Xvfb (1280 x 800, no window manager):
    xvfb-run -a -s "-screen 0 1280x800x24" tools/screenshots/play-round.py build/app/skelda OUT

The player draws from the stock, sorts the hand by rank (right click), lays down every set
of three it can find, and discards its highest card. The round ends when someone goes out
or the stock runs dry; the round report is the last screenshot.
"""
import os
import re
import subprocess
import sys
import tempfile
import time

program, outdir = sys.argv[1], sys.argv[2]
os.makedirs(outdir, exist_ok=True)

# Where things are on a 1280 x 800 screen: the menu bar takes the top 19 pixels, and the
# table below it is drawn at the scale "Fit to Window" takes, the largest hundredth at which
# a logical table of 1000 x 660 fits. The bands are a fifth of the logical height each.
MENU = 19
SCALE = int(min(1280 / 1000, (800 - MENU) / 660) * 100) / 100


def at(x, y):
    """A logical point of the table on the screen."""
    return (round(x * SCALE), MENU + round(y * SCALE))


def sh(*args):
    return subprocess.run(args, capture_output=True, text=True).stdout.strip()


def click(x, y, button=1):
    sh("xdotool", "mousemove", str(x), str(y))
    time.sleep(0.08)
    sh("xdotool", "click", str(button))
    time.sleep(0.25)


def shot(name):
    sh("import", "-window", "root", os.path.join(outdir, name))
    print("screenshot", name, flush=True)


home = tempfile.mkdtemp()
env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home + "/config", XDG_DATA_HOME=home + "/data")
log_path = os.path.join(home, "log.txt")
log = open(log_path, "w")
app = subprocess.Popen([program], stdout=log, stderr=subprocess.DEVNULL, env=env)


def log_lines():
    with open(log_path) as f:
        return f.read().splitlines()


def windows():
    ids = sh("xdotool", "search", "--onlyvisible", "--name", ".").split()
    out = []
    for w in ids:
        name = sh("xdotool", "getwindowname", w)
        geo = sh("xdotool", "getwindowgeometry", w)
        m = re.search(r"Geometry: (\d+)x(\d+)", geo)
        p = re.search(r"Position: (\d+),(\d+)", geo)
        if m and p:
            out.append((w, name, int(m.group(1)), int(m.group(2)), int(p.group(1)), int(p.group(2))))
    return out


def boxes():
    """Visible dialog boxes (anything smaller than the table)."""
    return [w for w in windows() if w[2] < 1000 and w[1] not in ("Skelda Log",)]


def dismiss(answer="Return"):
    for w in boxes():
        sh("xdotool", "windowfocus", "--sync", w[0])
        time.sleep(0.1)
        sh("xdotool", "key", answer)
        time.sleep(0.4)


time.sleep(3)
LOGICAL_HEIGHT = int((800 - MENU) / SCALE + 1e-6)
H = LOGICAL_HEIGHT // 5
band4 = 2 * H  # stock and pile
hand_top = LOGICAL_HEIGHT - H + 15
stock = at(60, band4 + 15 + 48)
# The buttons lie below the stock's cards, 19 to 25 high as the band leaves room.
button_y = band4 + 15 + 96 + 9
meld_button = at(8 + 37, button_y)
discard_button = at(88 + 37, button_y)


def card_x(i, n):
    return 2 + 16 * i + (30 if i == n - 1 else 6)


def hand_click(i, n, button=1):
    click(*at(card_x(i, n), hand_top + 50), button)


def wait_for(pred, timeout=60):
    end = time.time() + timeout
    while time.time() < end:
        if pred():
            return True
        time.sleep(0.3)
    return False


def my_turn_started(seen):
    lines = log_lines()[seen:]
    return any(re.search(r" discarded a ", l) and " - You " not in l for l in lines) or any(
        "went out" in l or "last card was drawn" in l for l in lines)


def round_over():
    return any(w[1] in ("Round Over", "GameOver") for w in boxes())


# The deal: seven ticks of about two seconds, then the top card turns up.
wait_for(lambda: any("The top card is" in l for l in log_lines()), 40)
time.sleep(1.0)
shot("start.png")
seen = len(log_lines())
if not wait_for(lambda: True, 1):
    pass
# When the computer opens, wait for its discard.
time.sleep(2.5)
if any(" discarded a " in l for l in log_lines()):
    pass

n = 7
turn = 0
mid_taken = False
while turn < 40:
    turn += 1
    if round_over():
        break
    click(*stock)  # draw
    time.sleep(0.6)
    if boxes():
        # Not our turn yet (the computer is still playing): answer and wait a little.
        dismiss()
        time.sleep(2)
        continue
    n += 1
    hand_click(0, n, button=3)  # sort by rank
    # Lay down sets of three: equal ranks lie side by side after the sort.
    i = 0
    while i + 2 < n:
        for k in range(3):
            hand_click(i + k, n)
        click(*meld_button)
        time.sleep(0.6)
        if boxes():
            dismiss()
            for k in range(3):
                hand_click(i + k, n)  # unselect
            i += 1
        else:
            n -= 3
    if n == 0:
        dismiss()
        break
    seen = len(log_lines())
    hand_click(n - 1, n)
    click(*discard_button)
    n -= 1
    time.sleep(0.5)
    if round_over():
        break
    if turn == 4 and not mid_taken:
        time.sleep(0.6)
        shot("mid-round.png")
        mid_taken = True
    wait_for(lambda: my_turn_started(seen) or round_over() or bool(boxes()), 90)
    time.sleep(0.8)
    while boxes() and not round_over():
        dismiss()
        time.sleep(0.5)

wait_for(round_over, 60)
time.sleep(1.0)
shot("round-report.png")
dismiss()
time.sleep(1)
app.terminate()
try:
    app.wait(10)
except subprocess.TimeoutExpired:
    app.kill()
print("\n".join(log_lines()[-12:]))
