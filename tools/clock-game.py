#!/usr/bin/env python3
"""Plays one game between two UCI engines on a clock and tells whether a
side lost on time: the check that a search with Obey_Limits keeps to the
clock.  usage: clock-game.py ENGINE [MOVES] [BASE_MS] [INC_MS] [OPTION=VALUE...]
Both sides are ENGINE, each its own process, with Obey_Limits set and the
given options. Prints one line per move (ms used, ms left) and a summary;
exits 1 on a loss on time."""
import subprocess
import sys
import time


def start(engine, options):
    p = subprocess.Popen([engine], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, bufsize=1)
    send(p, "uci")
    read_until(p, "uciok")
    send(p, "setoption name Obey_Limits value true")
    for option in options:
        name, value = option.split("=", 1)
        send(p, f"setoption name {name} value {value}")
    send(p, "isready")
    read_until(p, "readyok")
    return p


def send(p, line):
    p.stdin.write(line + "\n")
    p.stdin.flush()


def read_until(p, word):
    while True:
        line = p.stdout.readline()
        if not line:
            raise RuntimeError("engine closed its output")
        if line.startswith(word):
            return line.split()


def main():
    engine = sys.argv[1]
    moves_each = int(sys.argv[2]) if len(sys.argv) > 2 else 40
    base = int(sys.argv[3]) if len(sys.argv) > 3 else 1000
    inc = int(sys.argv[4]) if len(sys.argv) > 4 else 100
    options = sys.argv[5:]
    engines = [start(engine, options), start(engine, options)]
    clock = [base, base]
    played = []
    worst = 0
    for ply in range(2 * moves_each):
        side = ply % 2
        p = engines[side]
        send(p, "position startpos moves " + " ".join(played) if played else "position startpos")
        sent = time.monotonic()
        send(p, f"go wtime {clock[0]} btime {clock[1]} winc {inc} binc {inc}")
        answer = read_until(p, "bestmove")
        used = round((time.monotonic() - sent) * 1000)
        worst = max(worst, used)
        clock[side] -= used
        print(f"ply {ply + 1}: {'white' if side == 0 else 'black'} {answer[1]} used {used} ms, left {clock[side]} ms")
        if clock[side] < 0:
            print(f"RESULT loss on time by {'white' if side == 0 else 'black'} at ply {ply + 1}")
            return 1
        clock[side] += inc
        if answer[1] in ("0000", "(none)"):
            print(f"RESULT game over at ply {ply + 1}: no move")
            return 0
        played.append(answer[1])
    for p in engines:
        send(p, "quit")
        p.wait(timeout=10)
    print(f"RESULT {len(played)} plies, no loss on time; longest move {worst} ms; clocks left {clock[0]} / {clock[1]} ms")
    return 0


if __name__ == "__main__":
    sys.exit(main())
