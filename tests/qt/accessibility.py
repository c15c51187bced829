#!/usr/bin/python3
"""Reads the program's windows as a screen reader reads them, over AT-SPI.

    accessibility.py tree <window>          prints the window's accessible tree
    accessibility.py check <window>         checks it against the table below
    accessibility.py focus                  prints the name of the focused control
    accessibility.py wait-focus <name>      waits until the control of that name has the focus
    accessibility.py tabs <window> <key>    presses <key> (Tab, shift+Tab) once per tab
                                            stop and checks the focus went round in order

<window> is "info" or "config". Exits 1 with a message on a mismatch.
"""
import re
import subprocess
import sys
import time

import pyatspi

TIMEOUT = 20

# Each window: its role and the pattern of its name (the caption), then every
# object inside it as (the name of its parent, role, name, focusable).
WINDOWS = {
    "info": {
        "title": r"^Pellux: ",
        "controls": [
            ("", "panel", "Network Info", False),
            ("Network Info/panel", "text", "IP address", True),
            ("Network Info/panel", "text", "Computer name", True),
            ("Network Info/panel", "text", "Host name", True),
            ("", "filler", "Network Info", False),
            ("Network Info/filler", "label", "Network Info", False),
            ("", "button", "Copy IP Address", True),
            ("", "button", "Copy All Information", True),
            ("", "button", "Close Window", True),
        ],
        # The focus at opening, then where each Tab takes it.
        "tabs": ["Close Window", "Copy All Information", "Copy IP Address", "Host name",
                 "Computer name", "IP address"],
    },
    "config": {
        "title": r"^Pellux Configuration$",
        "controls": [
            ("", "panel", "Interval Configuration", False),
            ("Interval Configuration/panel", "label", "Check for new IP address every:", False),
            ("Interval Configuration/panel", "combo box", "Check for new IP address every:", True),
            ("", "panel", "About Pellux v1.11", False),
            ("About Pellux v1.11/panel", "label", None, False),
            ("", "button", "OK", True),
            ("", "button", "Cancel", True),
            ("", "button", "About", True),
        ],
        "tabs": ["Check for new IP address every:", "OK", "Cancel", "About"],
    },
}


def fail(message):
    print("accessibility: " + message, file=sys.stderr)
    sys.exit(1)


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.name.lower() == "pellux":
            return app
    return None


def window(which):
    pattern = re.compile(WINDOWS[which]["title"])
    deadline = time.monotonic() + TIMEOUT
    while time.monotonic() < deadline:
        app = application()
        if app is not None:
            for child in app:
                if child is not None and pattern.search(child.name or "") and \
                        child.getState().contains(pyatspi.STATE_SHOWING):
                    return child
        time.sleep(0.1)
    fail("no window whose name matches %r reached the accessibility bus" % pattern.pattern)


def focusable(node):
    return node.getState().contains(pyatspi.STATE_FOCUSABLE)


def labelled_by(node):
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            return [relation.getTarget(i).name for i in range(relation.getNTargets())]
    return []


def name_of(node):
    """What a screen reader says the control is: its name, or for a list,
    which Qt names by its current item, the label that labels it."""
    if node.getRoleName() == "combo box" and labelled_by(node):
        return labelled_by(node)[0]
    return node.name


def describe(node):
    text = "%s %r" % (node.getRoleName(), node.name)
    if labelled_by(node):
        text += " labelled by %r" % labelled_by(node)
    try:
        value = node.queryText().getText(0, -1)
        if value:
            text += " = %r" % value
    except NotImplementedError:
        pass
    if focusable(node):
        text += " (focusable)"
    return text


def walk(node, depth=0):
    yield depth, node
    # A list's items are its value, not controls of the window.
    if node.getRoleName() == "combo box":
        return
    for child in node:
        if child is not None:
            yield from walk(child, depth + 1)


def print_tree(which):
    for depth, node in walk(window(which)):
        print("  " * depth + describe(node))


# Role names as at-spi2-core 2.56 and later spell them, for the older ones'.
ROLE_NAMES = {"push button": "button"}


def role_of(node):
    role = node.getRoleName()
    return ROLE_NAMES.get(role, role)


def controls(top):
    """Every object inside the window as (parent, role, name, focusable)."""
    found = []
    for _, node in walk(top):
        if node is top:
            continue
        parent = node.parent
        where = "" if parent == top else "%s/%s" % (parent.name, role_of(parent))
        found.append((where, role_of(node), name_of(node), focusable(node)))
    return found


def check(which):
    top = window(which)
    if top.getRoleName() not in ("dialog", "frame"):
        fail("the window %r is a %s, not a dialog or frame" % (top.name, top.getRoleName()))
    found = controls(top)
    expected = WINDOWS[which]["controls"]
    problems = []
    remaining = list(found)
    for want in expected:
        match = next((got for got in remaining if got[:2] == want[:2] and
                      (want[2] is None or got[2] == want[2]) and got[3] == want[3]), None)
        if match is None:
            problems.append("missing %r" % (want,))
        else:
            remaining.remove(match)
    problems += ["unexpected %r" % (got,) for got in remaining]
    problems += ["nameless %r" % (got,) for got in found if not got[2] and
                 not (got[1] == "label" and got[0].startswith("About"))]
    if problems:
        print_tree(which)
        fail("%s window: %s" % (which, "; ".join(problems)))
    print("%s window: %s %r, %d controls as expected" % (which, top.getRoleName(), top.name,
                                                        len(found)))


def focused():
    app = application()
    if app is None:
        return None
    for child in app:
        if child is None or not child.getState().contains(pyatspi.STATE_ACTIVE):
            continue
        for _, node in walk(child):
            if node.getState().contains(pyatspi.STATE_FOCUSED):
                return name_of(node)
    return None


def wait_focus(name):
    deadline = time.monotonic() + TIMEOUT
    while time.monotonic() < deadline:
        if focused() == name:
            return
        time.sleep(0.05)
    fail("the focus is on %r, not on %r" % (focused(), name))


def tabs(which, key):
    order = WINDOWS[which]["tabs"]
    if key.lower().startswith("shift"):
        order = [order[0]] + order[:0:-1]
    wait_focus(order[0])
    for step in order[1:] + order[:1]:
        subprocess.run(["xdotool", "key", key], check=True)
        wait_focus(step)
    print("%s window: %s went round %s" % (which, key, " > ".join(order + order[:1])))


def main(argv):
    if len(argv) < 2:
        fail(__doc__)
    command = argv[1]
    if command == "tree" and len(argv) == 3:
        print_tree(argv[2])
    elif command == "check" and len(argv) == 3:
        check(argv[2])
    elif command == "focus" and len(argv) == 2:
        print(focused())
    elif command == "wait-focus" and len(argv) == 3:
        wait_focus(argv[2])
    elif command == "tabs" and len(argv) == 4:
        tabs(argv[2], argv[3])
    else:
        fail(__doc__)


if __name__ == "__main__":
    main(sys.argv)
