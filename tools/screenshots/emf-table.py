#!/usr/bin/env python3
"""Takes a screenshot of the table with an enhanced metafile as its picture, preset in a
fresh settings file, once the first round is dealt.

Run under Xvfb (1280 x 800, no window manager):
    xvfb-run -a -s "-screen 0 1280x800x24" tools/screenshots/emf-table.py build/app/skelda \\
        tests/app/data/bands.emf docs/screenshots/emf-table.png
"""
import os
import subprocess
import sys
import tempfile
import time

program, picture, out = (os.path.abspath(a) for a in sys.argv[1:4])
home = tempfile.mkdtemp()
config = os.path.join(home, "config", "Brelt")
os.makedirs(config)
with open(os.path.join(config, "Skelda.conf"), "w") as f:
    f.write("[General]\nWallpaper=%s\nNoMusic=\n" % picture)
env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home + "/config", XDG_DATA_HOME=home + "/data")
log_path = os.path.join(home, "log.txt")
with open(log_path, "w") as log:
    app = subprocess.Popen([program], stdout=log, stderr=subprocess.DEVNULL, env=env, cwd=home)
    end = time.time() + 60
    while time.time() < end:
        with open(log_path) as f:
            if "The top card is" in f.read():
                break
        time.sleep(0.3)
    time.sleep(1.5)
    subprocess.run(["import", "-window", "root", out], check=True)
    app.terminate()
    try:
        app.wait(10)
    except subprocess.TimeoutExpired:
        app.kill()
print("screenshot", out)
