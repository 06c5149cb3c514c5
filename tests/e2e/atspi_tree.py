#!/usr/bin/python3
"""Prints what a screen reader finds of one running program on the accessibility bus: one
line per object, "role|name|description", children indented under their parent.

    atspi_tree.py PID

Exits with status 1 when no program of that process is on the bus (yet)."""
import sys

import pyatspi


def walk(node, depth):
    print("%s%s|%s|%s" % ("  " * depth, node.getRoleName(), node.name, node.description))
    for child in node:
        if child is not None:
            walk(child, depth + 1)


def main():
    pid = int(sys.argv[1])
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            walk(app, 0)
            return 0
    return 1


if __name__ == "__main__":
    sys.exit(main())
