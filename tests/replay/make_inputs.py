#!/usr/bin/env python3
"""Writes the replay tests' controls files, tests/replay/inputs/NAME.txt, from the scripts below.

Each script is a list of (steps, controls held) pairs; a controls file has one line per game step
with the seven flags "fire right left up down b1 b2", each 0 or 1 and followed by a blank, as
the demo recordings have them. The ship cannot be steered for the first 300 steps of a level.
Run it after changing a script, then scripts/regen-replays, and look at what changed.

inputs/extra-life.txt is not written here: 3 000 points take some 5 000 steps of play, so it is the
autopilot's game from level 11, the start that passes them soonest (from level 1 the autopilot
loses its last ship at 1 418 points), recorded and cut 300 steps after the extra life (step 4 755):
    zrsentry --headless --virtual-clock --frames 5200 --play 11 --autopilot --record r.txt
    head -5055 r.txt > inputs/extra-life.txt
A change of the game that changes the autopilot's play needs it recorded again so.
"""
import os

FLAGS = ["fire", "right", "left", "up", "down", "b1", "b2"]
ARRIVAL = 300

SCRIPTS = {
    # Level 1 from its start (x 1450): right across the landscape's end at x 2410 (out at 510),
    # coast, then left back across its other end at x 500 (out at 2400).
    "fly-both-ways": [(ARRIVAL, ""), (320, "right"), (30, ""), (300, "left"), (50, "")],
    # Jet turns up to lane 3 and a third one that the lane limit refuses, then down to lane 1 and
    # a third one refused there.
    "jet-turns": [(ARRIVAL, ""), (1, "b1"), (80, ""), (1, "b1"), (80, ""), (10, "b1"), (20, ""),
                  (1, "b2"), (80, ""), (1, "b2"), (80, ""), (10, "b2"), (40, "")],
    # Up to the first enemy ahead in lane 1 and shoot it down, then up to the next one and shoot
    # that one too.
    "fight": [(ARRIVAL, ""), (20, "up"), (40, "right fire"), (100, "fire"), (5, "up"),
              (60, "right fire"), (200, "fire")],
    # Up and ahead into an enemy: the ship explodes, a life is gone, the ship comes back at the
    # start.
    "dying": [(ARRIVAL, ""), (20, "up"), (200, "right"), (300, "")],
}


def write(name, script):
    lines = []
    for steps, held in script:
        names = held.split()
        for n in names:
            assert n in FLAGS, n
        line = "".join("%d " % (1 if f in names else 0) for f in FLAGS)
        lines += [line] * steps
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "inputs", name + ".txt")
    with open(path, "w", newline="\n") as out:
        out.write("".join(l + "\n" for l in lines))
    return len(lines)


if __name__ == "__main__":
    for name, script in sorted(SCRIPTS.items()):
        print("%-16s %5d steps" % (name, write(name, script)))
