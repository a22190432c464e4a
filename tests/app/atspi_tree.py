#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads a program through the accessibility bus, as a screen reader does.

atspi_tree.py PID dump           the program's windows as JSON: per node its
                                 role, name, description, actions, states and
                                 children; a table gives its column headers
                                 instead of its cells
atspi_tree.py PID press NAME     runs the Press action of the push button NAME
"""
import json
import sys

import pyatspi


def application(pid):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            return app
    sys.exit("no application with process id %d on the accessibility bus" % pid)


def node(acc):
    out = {"role": acc.getRoleName(), "name": acc.name, "description": acc.description}
    try:
        action = acc.queryAction()
        out["actions"] = [action.getName(i) for i in range(action.nActions)]
    except NotImplementedError:
        out["actions"] = []
    out["states"] = sorted(pyatspi.stateToString(s) for s in acc.getState().getStates())
    try:
        table = acc.queryTable()
        out["headers"] = [table.getColumnDescription(i) for i in range(table.nColumns)]
        out["children"] = []
    except NotImplementedError:
        out["children"] = [node(child) for child in acc if child is not None]
    return out


def find(acc, role, name):
    if acc.getRole() == role and acc.name == name:
        return acc
    for child in acc:
        found = child is not None and find(child, role, name)
        if found:
            return found
    return None


def main():
    app = application(int(sys.argv[1]))
    if sys.argv[2] == "dump":
        json.dump([node(window) for window in app if window is not None], sys.stdout)
        return
    button = find(app, pyatspi.ROLE_PUSH_BUTTON, sys.argv[3])
    if not button:
        sys.exit("no push button named %r" % sys.argv[3])
    action = button.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    action.doAction(names.index("Press"))


main()
