#!/usr/bin/python3
"""The table through AT-SPI, as a screen reader meets it.

Starts the desktop program (Quick Play, no sound, a fixed seed: run-a11y.sh arranges them)
and, only through the accessibility tree, its events and keys sent with xdotool:
  1. reads the tree: the hand, the pile, the melds, the stock, the opponent's cards, the
     captions, the status line and the scores, and checks their names;
  2. moves the keyboard focus with the arrow keys and checks one focus event per move, on
     the card the focus went to;
  3. checks a refusal, and the keys that read the table, the hand and the last line again;
  4. plays the round to its end by keys alone and checks that every action of the computer
     (its log lines, which the program also writes to standard output) was announced once,
     with the line's own text, and that the round's report was announced.
Every wait is bounded; a failure says what was expected and what came.
   table-a11y.py path/to/skelda work-folder
"""
import os
import re
import subprocess
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402
import pyatspi  # noqa: E402

APP, WORK = sys.argv[1], sys.argv[2]
OUT = os.path.join(WORK, "out.txt")
RANKS = "Ace|Two|Three|Four|Five|Six|Seven|Eight|Nine|Ten|Jack|Queen|King"
CARD = re.compile(r"^(%s) of (Clubs|Diamonds|Hearts|Spades)$" % RANKS)
TURN_LINES = ("Your turn, please draw or pickup discard", "You go first")
# The line beside the pile that says why a discard before the draw was refused.
WHY_REFUSED = "draw from the stock or take from the pile before you discard"

events = []  # (kind, name, description), in the order they came
app_process = None


def fail(message):
    print("FAIL: " + message)
    said = [e[1] for e in events if e[0] == "said"]
    print("last lines announced:\n  " + "\n  ".join(repr(s) for s in said[-12:]))
    if os.path.exists(OUT):
        with open(OUT, encoding="utf-8", errors="replace") as f:
            print("last log lines:\n  " + "  ".join(f.readlines()[-12:]))
    if app_process and app_process.poll() is None:
        app_process.kill()
    sys.exit(1)


def check(condition, message):
    if not condition:
        fail(message)


def on_event(event):
    try:
        source = event.source
        role = source.getRole()
        if event.type.startswith("object:state-changed:focused"):
            if event.detail1 == 1:
                events.append(("focus", source.name, source.description))
        elif event.type.startswith("object:state-changed:showing"):
            if event.detail1 == 1 and role == pyatspi.ROLE_NOTIFICATION:
                events.append(("said", source.name, ""))
        elif event.type.startswith("object:announcement"):
            events.append(("said", str(event.any_data), ""))
    except Exception as error:  # an object gone while its event was on its way
        events.append(("error", str(error), event.type))


def pump(seconds, until=None):
    """Runs the event loop for up to `seconds`; True as soon as `until()` holds."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while True:
        while context.pending():
            context.iteration(False)
        if until and until():
            return True
        if time.monotonic() > end:
            return False
        if app_process.poll() is not None:
            fail("the program ended (exit status %d)" % app_process.returncode)
        time.sleep(0.005)


def key(name):
    """One key through the X server, as a keyboard gives it."""
    p = subprocess.Popen(["xdotool", "key", "--clearmodifiers", name])
    pump(10, lambda: p.poll() is not None)
    check(p.returncode == 0, "xdotool could not press " + name)


def said_since(mark):
    return [e[1] for e in events[mark:] if e[0] == "said"]


def wait_said(mark, match, seconds, what):
    found = []

    def seen():
        found[:] = [s for s in said_since(mark) if match(s)]
        return bool(found)

    if not pump(seconds, seen):
        fail("no announcement of %s within %d s" % (what, seconds))
    return found[0]


# ----- The tree -----

def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        a = desktop.getChildAtIndex(i)
        if a is not None and a.name == "Skelda":
            return a
    return None


def table():
    """The table: the main window's first child, fresh from the program."""
    a = application()
    check(a is not None, "the program is not on the accessibility bus")
    a.clear_cache()
    for i in range(a.childCount):
        w = a.getChildAtIndex(i)
        if w.getRole() == pyatspi.ROLE_FRAME and w.name == "Skelda":
            return w.getChildAtIndex(0)
    fail("no main window named Skelda in the tree")


def objects():
    """Every object of the table as (role, name, description, object), depth first."""
    out = []

    def walk(o):
        for i in range(o.childCount):
            c = o.getChildAtIndex(i)
            if c is None:
                continue
            c.clear_cache()  # names change; read them from the program
            out.append((c.getRole(), c.name, c.description, c))
            walk(c)

    walk(table())
    return out


def one(found, pattern, role):
    hits = [o for o in found if o[0] == role and re.fullmatch(pattern, o[1])]
    check(len(hits) == 1, "expected one %s named /%s/, found %s" %
          (Atspi.role_get_name(role), pattern, [o[1] for o in hits] or "none"))
    return hits[0]


def hand_cards():
    found = objects()
    hand = one(found, r"Your hand, (\d+ cards?|empty)", pyatspi.ROLE_LIST)[3]
    for i in range(hand.childCount):
        hand.getChildAtIndex(i).clear_cache()
    return [(hand.getChildAtIndex(i).name, hand.getChildAtIndex(i).description,
             hand.getChildAtIndex(i).getState().contains(pyatspi.STATE_SELECTED))
            for i in range(hand.childCount)]


def check_tree():
    found = objects()
    hand = one(found, r"Your hand, (\d+) cards?", pyatspi.ROLE_LIST)
    n = int(re.search(r"\d+", hand[1]).group())
    cards = [hand[3].getChildAtIndex(i) for i in range(hand[3].childCount)]
    check(len(cards) == n, "the hand is named for %d cards but lists %d" % (n, len(cards)))
    for i, c in enumerate(cards):
        check(c.getRole() == pyatspi.ROLE_LIST_ITEM, "hand card %d is not a list item" % i)
        check(CARD.match(c.name), "hand card %d is named %r" % (i, c.name))
        check(c.description == "card %d of %d" % (i + 1, n),
              "hand card %d is described %r" % (i, c.description))
        check(c.getState().contains(pyatspi.STATE_SELECTABLE), "hand card %d: not selectable" % i)

    pile = one(found, r"Discard pile, (\d+ cards?|empty)", pyatspi.ROLE_LIST)
    piled = [pile[3].getChildAtIndex(i) for i in range(pile[3].childCount)]
    for i, c in enumerate(piled):
        check(CARD.match(c.name), "pile card %d is named %r" % (i, c.name))
    stock = one(found, r"Stock, (\d+ cards?|empty)", pyatspi.ROLE_LABEL)
    opponent = one(found, r"([A-Z]+) holds (\d+) cards?", pyatspi.ROLE_LABEL)
    name = re.match(r"[A-Z]+", opponent[1]).group()
    one(found, r"%s's Melds" % name, pyatspi.ROLE_PANEL)
    one(found, r"Your Melds", pyatspi.ROLE_PANEL)
    one(found, r"Your Hand", pyatspi.ROLE_PANEL)
    theirs = one(found, r"%s's melds, (\d+|none)" % name, pyatspi.ROLE_LIST)
    yours = one(found, r"Your melds, (\d+|none)", pyatspi.ROLE_LIST)
    meld = re.compile(r"^(Run: (%s)(, (%s))+ of \w+|Set of \w+)" % (RANKS, RANKS))
    for side in (theirs, yours):
        for i in range(side[3].childCount):
            m = side[3].getChildAtIndex(i).name
            check(meld.match(m) or CARD.match(m.split(" (in ")[0].split(", ")[0]),
                  "a meld is named %r" % m)
    one(found, r"Round: \d+, You: -?\d+, %s: -?\d+, .*" % name, pyatspi.ROLE_STATUS_BAR)
    one(found, r"Round \d+\. You -?\d+, %s -?\d+\. This round: .*" % name, pyatspi.ROLE_LABEL)
    # The counts agree with the captions and the deck: 52 cards in all.
    draw = int(re.search(r"\d+", stock[1]).group()) if "empty" not in stock[1] else 0
    check(any(o[0] == pyatspi.ROLE_PANEL and o[1] == "Draw: %d, Discard: %d" % (draw, len(piled))
              for o in found),
          "no caption \"Draw: %d, Discard: %d\" beside the stock and pile: %s" %
          (draw, len(piled), [o[1] for o in found if o[0] == pyatspi.ROLE_PANEL]))
    everything = [c.name for c in cards] + [c.name for c in piled]
    check(len(set(everything)) == len(everything), "a card is named twice: %s" % everything)
    held = int(re.search(r"\d+", opponent[1][len(name):]).group())
    check(draw + len(cards) + len(piled) + held <= 52, "the counts add up to more than 52 cards")
    return name


def dialog_open():
    a = application()
    a.clear_cache()
    for i in range(a.childCount):
        w = a.getChildAtIndex(i)
        if w is not None and w.getRole() in (pyatspi.ROLE_DIALOG, pyatspi.ROLE_ALERT) and \
                w.getState().contains(pyatspi.STATE_SHOWING):
            return True
    return False


def close_dialog():
    """Answers the message box in front with its default button."""
    check(pump(10, dialog_open), "the expected message box did not show")
    key("Return")
    check(pump(10, lambda: not dialog_open()), "the message box did not close on Return")


# ----- The session -----

def main():
    global app_process
    # The accessibility bus and the listeners come first, so the program finds both.
    pyatspi.Registry.getDesktop(0)
    pyatspi.Registry.registerEventListener(
        on_event, "object:state-changed:focused", "object:state-changed:showing",
        "object:announcement")
    app_process = subprocess.Popen([APP], stdout=open(OUT, "w"),
                                   stderr=open(os.path.join(WORK, "err.txt"), "w"))
    check(pump(30, lambda: application() is not None), "the program never joined the bus")

    # The first turn of the player: after the deal, and after the computer's turn when it
    # opens. The log shows who opens.
    wait_said(0, lambda s: s in TURN_LINES, 60, "the start of the player's turn")
    pump(0.6)  # the captions follow the game at the status timer's next tick (255 ms)
    name = check_tree()
    print("tree: the table's objects are named as expected (opponent %s)" % name)

    # ----- Focus: one event per move, on the card moved to -----
    key("Home")  # the first key shows the focus; it may not move it
    pump(1)
    cards = hand_cards()
    for i in range(1, len(cards)):
        mark = len(events)
        key("Right")
        got = lambda: [e for e in events[mark:] if e[0] == "focus"]
        pump(5, lambda: len(got()) >= 1)
        pump(0.3)  # and nothing more
        moves = got()
        check(len(moves) == 1, "Right to card %d gave %d focus events: %s" % (i, len(moves), moves))
        check(moves[0][1:] == (cards[i][0], "card %d of %d" % (i + 1, len(cards))),
              "Right to card %d focused %s, not %s" % (i, moves[0][1:], cards[i][:2]))
    mark = len(events)
    key("Right")  # past the last card: no move, no event
    pump(0.5)
    check(not [e for e in events[mark:] if e[0] == "focus"], "a focus event without a move")
    mark = len(events)
    key("Up")  # to the pile: its top card
    check(pump(5, lambda: any(e[0] == "focus" for e in events[mark:])), "Up gave no focus event")
    pile_focus = [e for e in events[mark:] if e[0] == "focus"]
    check(len(pile_focus) == 1 and pile_focus[0][2].endswith(", top"),
          "Up focused %s, not the pile's top card" % pile_focus)
    mark = len(events)
    key("Down")
    check(pump(5, lambda: any(e[0] == "focus" for e in events[mark:])), "Down gave no focus event")
    check([e for e in events[mark:] if e[0] == "focus"][0][1] == cards[-1][0],
          "Down did not focus the hand's card again")
    print("focus: %d moves, one focus event each on the right card" % (len(cards) + 1))

    # ----- A refusal, and the keys that read -----
    mark = len(events)
    key("d")  # discarding before drawing
    wait_said(mark, lambda s: s == "You must draw before discarding!", 10, "the refusal")
    close_dialog()
    wait_said(mark, lambda s: s == WHY_REFUSED, 10, "why the discard was refused")
    mark = len(events)
    key("h")
    hand_line = wait_said(mark, lambda s: s.startswith("Your hand"), 10, "the hand (H)")
    expected = "Your hand, %d cards: %s." % (len(cards), ", ".join(c[0] for c in cards))
    check(hand_line == expected, "H read %r, not %r" % (hand_line, expected))
    mark = len(events)
    key("t")
    table_line = wait_said(mark, lambda s: s.startswith("Round 1. You 0, %s 0." % name), 10,
                           "the table (T)")
    for part in ("Stock, ", "Discard pile, ", " holds ", "%s's melds: " % name, "Your melds: "):
        check(part in table_line, "T's reading %r lacks %r" % (table_line, part))
    mark = len(events)
    key("shift+r")
    again = wait_said(mark, lambda s: True, 10, "the last line again (Shift+R)")
    check(again == WHY_REFUSED, "Shift+R said %r" % again)
    print("keys: a refusal announced; T, H and Shift+R read")

    # ----- The round, by keys alone: draw, and throw the card drawn -----
    start = len(events)
    report = None
    turns = 0
    while report is None:
        turns += 1
        check(turns < 60, "the round did not end within 60 turns")
        before = len(hand_cards())
        key("s")
        check(pump(10, lambda: len(hand_cards()) != before or round_report(start)),
              "S did not draw a card")
        report = round_report(start)
        if report:
            break
        key("End")
        key("space")
        check(pump(10, lambda: hand_cards()[-1][2]), "Space did not lift the card in focus")
        mark = len(events)
        key("d")
        ended = pump(90, lambda: any(s in TURN_LINES for s in said_since(mark)) or
                     round_report(start) or dialog_open())
        check(ended, "after the discard, neither the player's turn nor the round's end came")
        report = round_report(start)
        while report is None and dialog_open():
            close_dialog()  # the computer floating, told in a box
            pump(90, lambda: any(s in TURN_LINES for s in said_since(mark)) or
                 round_report(start) or dialog_open())
            report = round_report(start)
    print("round: over after %d turns of the player" % turns)

    # ----- Every action of the computer announced once, with its log line -----
    pump(5, lambda: dialog_open())
    with open(OUT, encoding="utf-8") as f:
        log = [line.rstrip("\n").split(" - ", 1)[1] for line in f if " - " in line]
    actions = [l for l in log if not l.startswith("You ") and not l.startswith("The top card")]
    skip = set(TURN_LINES) | {"You must draw before discarding!", WHY_REFUSED}
    said = [s for s in said_since(0) if s not in skip and not s.startswith("Your hand") and
            not s.startswith("Round 1. You ") and s != report]
    check(len(actions) > 0, "the log holds no action of the computer")
    for k, line in enumerate(actions):
        check(k < len(said), "the computer's %r was never announced" % line)
        check(said[k] == line or said[k].startswith(line + ", taking "),
              "the computer's action %d, %r, was announced as %r" % (k, line, said[k]))
    check(len(said) == len(actions),
          "announcements beyond the computer's actions: %s" % said[len(actions):])
    check("\nMelds: " in report and "\nDeadwood: " in report,
          "the round report was announced as %r" % report)
    print("announcements: %d actions of the computer, each once; the round report" % len(actions))
    close_dialog()
    app_process.kill()
    app_process.wait()
    print("PASS")


def round_report(start):
    for s in said_since(start):
        if s.startswith("There are no more cards in the deck\n") or \
                re.match(r"^(\S+ You went out!|[A-Z]+ went out)\n# You ", s):
            return s
    return None


main()
