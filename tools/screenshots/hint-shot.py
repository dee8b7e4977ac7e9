#!/usr/bin/env python3
"""Takes a screenshot of a hint on the table. skelda-cli arranges a game in its second
round and saves it as the game the program resumes at start; Skelda starts on it under
Quick Play, the computer plays its turn, and the player chooses Help > Hint (Ctrl+H).

Run under Xvfb (1280 x 800, no window manager):
    xvfb-run -a -s "-screen 0 1280x800x24" tools/screenshots/hint-shot.py build/app/skelda \\
        build/skelda-cli docs/screenshots/hint.png
"""
import os
import subprocess
import sys
import tempfile
import time

program, cli, out = (os.path.abspath(a) for a in sys.argv[1:4])
home = tempfile.mkdtemp()
config = os.path.join(home, "config", "Brelt")
data = os.path.join(home, "data", "Orvandel Industries", "Skelda")
os.makedirs(config)
os.makedirs(data)
with open(os.path.join(config, "Skelda.conf"), "w") as f:
    f.write("[General]\nNoMusic=\nNoSound=\nQuickPlay=\nBackID=3\n")

yours = "7D 8D JS QC KD 3S 2C KC/1"
theirs = "9S TS 4C 6C QH JH 2D"
pile = "JC 8C AS 9D"
melds = "5C 5D 5H | 4H/4 5H/4 6H/4 7H/4"
in_play = set(c.split("/")[0] for c in (yours + " " + theirs + " " + pile + " " +
                                         melds.replace("|", "")).split())
ordered = [r + s for s in "CDHS" for r in "A23456789TJQK"]
deck = [c for c in ordered if c in in_play] + [c for c in ordered if c not in in_play]
script = f"""set opponent-name LILA
set player-name PAT
set round-number 2
set your-scores 35
set opponent-scores 20
set deck {' '.join(deck)}
set next-card {len(in_play)}
set your-hand {yours}
set opponent-hand {theirs}
set discard-pile {pile}
set melds {melds}
set humans-turn 1
set phase 2
discard
save MyGame
"""
subprocess.run([cli, "--seed", "11", "--data", data, "--sound", "off"], input=script,
               text=True, check=True, capture_output=True)
# Only the saved game: the driver's crash-recovery record would be resumed instead.
for name in os.listdir(data):
    if name != "MyGame.sav":
        os.remove(os.path.join(data, name))

env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home + "/config", XDG_DATA_HOME=home + "/data")
log_path = os.path.join(home, "log.txt")


def log_text():
    with open(log_path) as f:
        return f.read()


def wait_for(pred, timeout):
    end = time.time() + timeout
    while time.time() < end:
        if pred():
            return True
        time.sleep(0.2)
    return False


with open(log_path, "w") as log:
    app = subprocess.Popen([program], stdout=log, stderr=subprocess.DEVNULL, env=env, cwd=home)
    # The resumed game gives the computer its move; its discard ends the turn.
    wait_for(lambda: "LILA discarded" in log_text() or " discarded a " in log_text(), 60)
    time.sleep(1.5)
    win = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Skelda$"],
                         capture_output=True, text=True).stdout.split()
    if win:
        subprocess.run(["xdotool", "windowfocus", "--sync", win[0]])
    subprocess.run(["xdotool", "key", "ctrl+h"])
    time.sleep(1.0)
    subprocess.run(["import", "-window", "root", out], check=True)
    app.terminate()
    try:
        app.wait(10)
    except subprocess.TimeoutExpired:
        app.kill()
print("screenshot", out)
