"""What a screen reader gets from Garrison's windows, through AT-SPI.

  accessibility.py main      the main window: every control named, the values read
  accessibility.py manager   opens the Manager from the main window, checks it, closes it
  accessibility.py browser   opens the server browser, waits for the Internet page's rows, checks it, cancels

Prints one line per fault and exits 1 when there is one.
"""
import os
import subprocess
import sys
import time

import pyatspi

CONTROLS = {'push button', 'check box', 'radio button', 'text', 'combo box', 'tree', 'table', 'page tab',
            'page tab list', 'spin button', 'slider', 'list'}
faults = []


def walk(node, depth=0):
    if node is None or depth > 40:
        return
    yield node
    for i in range(node.childCount):
        yield from walk(node.getChildAtIndex(i), depth + 1)


def text_of(node):
    try:
        return node.queryText().getText(0, -1)
    except NotImplementedError:
        return None


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def wait_for(condition, seconds=20):
    end = time.time() + seconds
    while time.time() < end:
        found = condition()
        if found:
            return found
        time.sleep(0.2)
    return None


def application():
    def find():
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == 'Garrison':
                return app
        return None
    return wait_for(find)


def window(app, title_start):
    return wait_for(lambda: next((w for w in (app.getChildAtIndex(i) for i in range(app.childCount))
                                  if w is not None and w.name.startswith(title_start)), None))


def check_names(top):
    for node in walk(top):
        role = node.getRoleName()
        if 'DSTR_' in (node.name or '') or 'DSTR_' in (text_of(node) or ''):
            faults.append(f'a raw label key reaches the screen reader: {role} {node.name!r}')
        if role in CONTROLS and showing(node) and not node.name:
            faults.append(f'a {role} without a name (text {text_of(node)!r})')


def values(top):
    """The read-only value fields by name, with the text a screen reader reads."""
    return {node.name: text_of(node) for node in walk(top) if node.getRoleName() == 'text' and showing(node)}


def expect_values(top, wanted):
    got = wait_for(lambda: (lambda v: v if all(v.get(k) == t for k, t in wanted.items()) else None)(values(top)))
    if not got:
        shown = values(top)
        for name, text in wanted.items():
            if shown.get(name) != text:
                faults.append(f'the field {name!r} reads {shown.get(name)!r}, not {text!r}')


def press(top, names):
    def enabled_button():
        return next((n for n in walk(top) if n.getRoleName() == 'push button' and n.name in names
                     and n.getState().contains(pyatspi.STATE_SENSITIVE)), None)
    button = wait_for(enabled_button)
    if button is None:
        faults.append(f'no enabled button named {names}')
        return False
    button.queryAction().doAction(0)
    return True


def main():
    app = application()
    if app is None:
        print('FAIL: Garrison never showed up on the accessibility bus')
        return 1
    top = window(app, 'Garrison')
    if sys.argv[1] == 'main':
        expect_values(top, {'Map': 'eden', 'Status': 'Playing', 'Current mission': 'CTF Eden',
                            'Type': 'Flashpoint Resistance', 'Port': '2302', 'Addr': sys.argv[2]})
        check_names(top)
        players = next((n for n in walk(top) if n.getRoleName() in ('tree', 'table') and n.name == 'Players'), None)
        if players is None:
            faults.append('the player list is not named "Players"')
    elif sys.argv[1] == 'browser':
        if press(top, ('@@ browser',)):
            browser = window(app, 'Auto-Addon Server Browser')
            if browser is None:
                faults.append('the browser did not open')
            else:
                def internet_rows():
                    servers = next((n for n in walk(browser) if n.name == 'Internet servers'), None)
                    if servers is None:
                        return None
                    cells = [n.name for n in walk(servers) if n.getRoleName() in ('table cell', 'tree item')]
                    return cells if any('Busy' in (c or '') for c in cells) else None
                if not wait_for(internet_rows):
                    faults.append('the Internet page never listed the server "Busy"')
                check_names(browser)
                status = [text_of(n) or n.name for n in walk(browser) if n.getRoleName() == 'label'
                          and ' shown.' in (n.name or '')]
                if not status:
                    faults.append('no label says how many servers are shown')
                if os.environ.get('GARRISON_SHOT'):  # a picture of the open browser, to look at by eye
                    subprocess.run(['import', '-window', 'root', os.environ['GARRISON_SHOT']], check=False)
                press(browser, ('Cancel',))
    else:
        if press(top, ('Manager', 'Addons', 'Download')):
            manager = window(app, 'Auto-Addon Manager')
            if manager is None:
                faults.append('the Manager did not open')
            else:
                expect_values(manager, {'Name': 'Evening coop', 'Info': 'Coop every evening',
                                        'Admin': 'admin@example.org'})
                check_names(manager)
                press(manager, ('Close',))
    for fault in faults:
        print('FAIL:', fault)
    return 1 if faults else 0


sys.exit(main())
