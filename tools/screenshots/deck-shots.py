#!/usr/bin/env python3
"""Makes a card deck with skelda-deck from pictures drawn here with ImageMagick, starts
Skelda with it and takes two screenshots: the table with the deck, and the Card Deck
dialog open over it.

Run under Xvfb (1280 x 800, no window manager):
    xvfb-run -a -s "-screen 0 1280x800x24" tools/screenshots/deck-shots.py \
        build/app/skelda build/tools/deck/skelda-deck OUT

The deck is plainly not the built-in one: a four-colour deck (green clubs, blue diamonds,
red hearts, black spades) with big corner letters, and plasma-cloud backs.
"""
import os
import subprocess
import sys
import tempfile
import time

program, tool, outdir = (os.path.abspath(a) for a in sys.argv[1:4])
os.makedirs(outdir, exist_ok=True)
home = tempfile.mkdtemp()
pictures = os.path.join(home, "pictures")
os.makedirs(pictures)

FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
SUITS = [("\u2663", "#1b7a2a"), ("\u2666", "#1f4fc4"), ("\u2665", "#c4161c"), ("\u2660", "#111111")]
RANKS = ["A", "2", "3", "4", "5", "6", "7", "8", "9", "10", "J", "Q", "K"]


def convert(*args):
    subprocess.run(["convert", *args], check=True)


def sh(*args):
    return subprocess.run(args, capture_output=True, text=True).stdout.strip()


for s, (glyph, colour) in enumerate(SUITS):
    for r, rank in enumerate(RANKS):
        name = "CARD%X%X" % (s + 1, r)
        convert("-size", "71x96", "gradient:#fffdf2-#efe6c8",
                "-fill", "none", "-stroke", colour, "-strokewidth", "3",
                "-draw", "roundrectangle 2,2 68,93 7,7",
                "-stroke", "none", "-fill", colour, "-font", FONT,
                "-pointsize", "15", "-annotate", "+6+19", rank,
                "-pointsize", "13", "-annotate", "+6+34", glyph,
                "-pointsize", "40", "-gravity", "center", "-annotate", "+4+10", glyph,
                os.path.join(pictures, name + ".png"))
for b in range(12):
    convert("-size", "71x96", "-seed", str(100 + b), "plasma:fractal", "-blur", "0x1",
            "-fill", "none", "-stroke", "white", "-strokewidth", "4",
            "-draw", "roundrectangle 3,3 67,92 6,6",
            os.path.join(pictures, "BACK%d.png" % b))
convert("-size", "71x96", "xc:#0d4a1a", "-fill", "none", "-stroke", "#e8e0a0",
        "-strokewidth", "2", "-draw", "stroke-dasharray 4 4 roundrectangle 3,3 67,92 7,7",
        os.path.join(pictures, "CARD00.png"))
convert("-size", "71x96", "xc:#0d4a1a", "-stroke", "#ff3030", "-strokewidth", "8",
        "-draw", "line 14,20 57,76", "-draw", "line 57,20 14,76",
        os.path.join(pictures, "CARD01.png"))
deck = os.path.join(home, "four-colour.car")
subprocess.run([tool, "build", pictures, deck], check=True)
print(sh(tool, "check", deck))

config = os.path.join(home, "config", "Brelt")
os.makedirs(config)
with open(os.path.join(config, "Skelda.conf"), "w") as f:
    f.write("[General]\nDeckFile=%s\nBackID=4\nNoMusic=\n" % deck)
env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home + "/config", XDG_DATA_HOME=home + "/data")
app = subprocess.Popen([program], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env,
                       cwd=home)


def shot(name):
    sh("import", "-window", "root", os.path.join(outdir, name))
    print("screenshot", name, flush=True)


# The deal takes about fifteen seconds; the computer may open.
time.sleep(24)
shot("deck-table.png")
table = sh("xdotool", "search", "--onlyvisible", "--name", "^Skelda$").split()[0]
sh("xdotool", "windowfocus", "--sync", table)
sh("xdotool", "key", "alt+o")
time.sleep(0.5)
sh("xdotool", "key", "Return")  # Card Deck, the first item
time.sleep(1.0)
dialog = sh("xdotool", "search", "--onlyvisible", "--name", "^Card Deck$").split()
if dialog:
    # Uncheck Random Back and step the back on, as a player choosing one would.
    sh("xdotool", "windowmove", dialog[0], "560", "230")
    time.sleep(0.5)
    sh("xdotool", "mousemove", "585", "462", "click", "1")
    time.sleep(0.3)
    for _ in range(4):
        sh("xdotool", "mousemove", "1038", "493", "click", "1")
        time.sleep(0.2)
    time.sleep(0.5)
shot("deck-dialog.png")
app.terminate()
try:
    app.wait(5)
except subprocess.TimeoutExpired:
    app.kill()
