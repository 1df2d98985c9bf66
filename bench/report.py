#!/usr/bin/env python3
"""Turns the benchmark's lines into docs/performance.md and the plot data."""
import datetime
import os
import platform
import sys

results, markdown, plotdata = sys.argv[1:4]
previous = sys.argv[4] if len(sys.argv) > 4 else None  # the document this run replaces
data = {}
for line in open(results):
    parts = line.split()
    if len(parts) < 3 or not (parts[0].isdigit() or parts[0] == 'mix'):
        continue
    n = int(parts[0]) if parts[0].isdigit() else parts[0]
    data.setdefault(n, {})[parts[1]] = [float(x) for x in parts[2:]]

figures = [
    ('reload', 'Reload ("再読込(&R)"), ms'),
    ('floor', 'Floor: the system calls any viewer must make, ms'),
    ('order_by_name', 'Order by image name, ms'),
    ('order_by_id', 'Order by process ID, ms'),
    ('tab_change', 'Tab change, ms'),
    ('selection', 'Selecting an entry (details filled), ms'),
    ('start_to_list', 'Start to full list, ms'),
    ('taskmgr_start_to_list', "Wine's taskmgr.exe: start to full list, ms"),
    ('list_fill', 'Reference: a bare owner-drawn list box in another process, refilled with the same '
                  'texts through one sent message until repainted, ms'),
    ('tab_fill', "Reference for tab changes: the same list box refilled in turn with the other tab's "
                 'texts, ms'),
    ('worst_answer_during_reload', 'Slowest answer to a message sent every 10 ms during a reload, ms'),
    ('refresh_cpu', 'Processor time of one refresh of the live figures (idle window), ms'),
    ('system_list_cpu', "The system's process list alone, read by another process: processor time "
                        'of one read, ms'),
    ('idle_cpu_percent', 'Own processor share while idle with the figures live, % of one core'),
]
mix = data.pop('mix', {})

cpu = 'unknown'
try:
    for line in open('/proc/cpuinfo'):
        if line.startswith('model name'):
            cpu = line.split(':', 1)[1].strip()
            break
except OSError:
    pass

# Each figure's reference, and how the ratio is shown.
references = {
    'reload': ('floor', 'x floor'),
    'order_by_name': ('reload', '% of reload'),
    'order_by_id': ('reload', '% of reload'),
    'tab_change': ('reload', '% of reload'),
    'start_to_list': ('taskmgr_start_to_list', 'x taskmgr'),
    'refresh_cpu': ('system_list_cpu', 'x the system list alone'),
}
starts = 5
base_selection = data.get(0, {}).get('selection', [0])[0]


def fill_of(key):
    """The reference list box figure beside a reorder or a tab change."""
    return 'tab_fill' if key == 'tab_change' else 'list_fill'


def ratio(n, key, d):
    if key == 'selection':
        if n and base_selection > 0:
            return '%.2f x selection at N = 0' % (d[key][0] / base_selection)
        return ''
    if key not in references:
        return ''
    ref, unit = references[key]
    if ref not in d or d[ref][0] <= 0:
        return 'no %s figure' % ref if ref == 'taskmgr_start_to_list' else ''
    r = d[key][0] / d[ref][0]
    text = '%.1f %s' % (100 * r, unit) if unit.startswith('%') else '%.2f %s' % (r, unit)
    fill = fill_of(key)
    if unit.startswith('%') and d.get(fill, [0])[0] > 0:
        text += ', %.2f x %s' % (d[key][0] / d[fill][0], fill.replace('_', ' '))
    return text


out = ['# Performance', '',
       'Measured by `make bench` (bench/run.sh, bench/bench.cpp) under Wine on a virtual display, '
       'on N helper processes with three visible titled windows each, all sizes in one run. '
       'The floor is written in the benchmark from plain system calls: the process list, each '
       "module's path, one window enumeration with titles, each file's version texts and icon. "
       "The peer is Wine's taskmgr.exe, timed from its start until its processes page lists "
       'every process (not measured when that takes over 60 s). Reorders and tab changes are '
       'timed from the message sent to the window until it has repainted, beside a bare '
       'owner-drawn list box in a window of another process, refilled with the same texts through '
       'one sent message and timed the same way.', '',
       '- Date: %s' % datetime.date.today().isoformat(),
       '- Machine: %s, %d cores, %s' % (cpu, os.cpu_count() or 0, platform.platform()),
       '- Each timed figure: median of 7 runs, with the range; ratios are of medians. Starts: '
       '%d starts of each program in turn, after one warm-up start of each.' % starts,
       '- Other developers\' builds and tests ran on the same 2 cores meanwhile.', '',
       '![Reload time against N](performance.png)', '']
base_rss = data.get(0, {}).get('peak_rss_kib', [0])[0]
for n in sorted(data):
    d = data[n]
    out.append('## N = %d (%d processes listed)' % (n, int(d.get('processes', [0])[0])))
    out.append('')
    out.append('| figure | median | min | max | ratio |')
    out.append('|---|---|---|---|---|')
    for key, title in figures:
        if key in d:
            v = d[key]
            out.append('| %s | %.1f | %.1f | %.1f | %s |' %
                       (title, v[0], v[1], v[2] if len(v) > 2 else v[0], ratio(n, key, d)))
        elif key == 'taskmgr_start_to_list':
            out.append('| %s | not measured (over 60 s) | | | |' % title)
    if 'peak_rss_kib' in d:
        rss = d['peak_rss_kib'][0]
        entries = max(1, int(d.get('processes', [1])[0]) * 1 + 3 * n)
        out.append('| Peak resident memory, KiB | %d | | | |' % rss)
        if n and base_rss:
            out.append('| Above the N = 0 run, per listed entry, KiB | %.1f | | | |' % ((rss - base_rss) / entries))
    if 'refresh_memory_kib' in d:
        grow, before, after = d['refresh_memory_kib'][:3]
        out.append('| Private (anonymous resident) memory after 100 refreshes and after 1,800 more, KiB '
                   '| %+d | %d | %d | growth |' % (grow, before, after))
    if 'refresh_gdi_objects' in d:
        grow, before, after = d['refresh_gdi_objects'][:3]
        out.append('| GDI objects after 100 refreshes and after 1,800 more | %+d | %d | %d | growth |'
                   % (grow, before, after))
    out.append('')
if 100 in data and 1000 in data and data[100].get('reload'):
    out.append('Reload growth: reload(1,000) / reload(100) = %.1f.' %
               (data[1000]['reload'][0] / data[100]['reload'][0]))
    out.append('')
if mix:
    out.append('## Mix: %d processes of 60 programs, each with its own version texts and icon' %
               int(mix.get('processes', [0])[0]))
    out.append('')
    out.append('| figure | median | min | max | ratio |')
    out.append('|---|---|---|---|---|')
    for key, title in figures[:2]:
        if key in mix:
            v = mix[key]
            r = '%.2f x floor' % (v[0] / mix['floor'][0]) if key == 'reload' else ''
            out.append('| %s | %.1f | %.1f | %.1f | %s |' % (title, v[0], v[1], v[2], r))
    out.append('')


def target_rows():
    rows = []

    def row(what, value, limit, unit=''):
        met = value is not None and value <= limit
        shown = 'not measured' if value is None else '%.2f%s' % (value, unit)
        rows.append('| %s | %s | %.2f%s | %s |' % (what, shown, limit, unit, 'met' if met else 'NOT met'))

    def median(d, key):
        return d[key][0] if key in d and d[key][0] > 0 else None

    for n in sorted(data):
        d = data[n]
        start, peer = median(d, 'start_to_list'), median(d, 'taskmgr_start_to_list')
        row('N = %d: start / taskmgr' % n, start / peer if start and peer else None, 0.9 if n == 100 else 1.0)
        if n == 1000 and 'worst_answer_during_reload' in d:
            row('N = 1000: slowest answer during a reload', d['worst_answer_during_reload'][0], 50.0, ' ms')
        if n == 300 and 'idle_cpu_percent' in d:
            row('N = 300: own processor share while idle', d['idle_cpu_percent'][0], 1.0, ' %')
        if n == 300 and 'refresh_memory_kib' in d:
            row('N = 300: memory growth over 1,800 refreshes', d['refresh_memory_kib'][0], 0.0, ' KiB')
            row('N = 300: GDI objects added over 1,800 refreshes', d['refresh_gdi_objects'][0], 0.0)
        reload, floor = median(d, 'reload'), median(d, 'floor')
        if reload and floor:
            row('N = %d: reload / floor' % n, reload / floor, 1.5 if n == 0 else 1.0)
        if n >= 100:
            for key in ('order_by_name', 'order_by_id', 'tab_change'):
                v, fill = median(d, key), median(d, fill_of(key))
                if v is None:
                    continue
                row('N = %d: %s / %s' % (n, key, fill_of(key).replace('_', ' ')),
                    v / fill if fill else None, 2.0)
                row('N = %d: %s / reload' % (n, key), 100 * v / reload if reload else None, 5.0, ' %')
            if base_selection > 0 and median(d, 'selection'):
                row('N = %d: selection / selection at N = 0' % n, d['selection'][0] / base_selection, 2.0)
    if mix.get('reload') and mix.get('floor'):
        row('Mix: reload / floor', mix['reload'][0] / mix['floor'][0], 1.0)
    return rows


def previous_medians():
    """Medians by size and figure from the document this run replaces."""
    titles = {title: key for key, title in figures}
    found, n = {}, None
    try:
        lines = open(previous).read().splitlines()
    except (OSError, TypeError):
        return found
    for line in lines:
        if line.startswith('## N = '):
            n = int(line.split()[3])
        elif line.startswith('## '):
            n = None
        elif n is not None and line.startswith('| '):
            cells = [c.strip() for c in line.strip('|').split('|')]
            if cells[0] in titles:
                try:
                    found.setdefault(n, {})[titles[cells[0]]] = float(cells[1])
                except ValueError:
                    pass
    return found


before = previous_medians()
if before:
    compared = [k for k, _ in figures if k not in ('floor', 'list_fill', 'tab_fill')]
    out += ['## Before and after', '',
            'Medians of the previous document (before) and of this run (after), ms.', '',
            '| N | ' + ' | '.join(compared) + ' |', '|---|' + '---|' * len(compared)]
    for n in sorted(data):
        cells = []
        for k in compared:
            b = before.get(n, {}).get(k)
            a = data[n].get(k, [None])[0]
            cells.append('%s -> %s' % ('-' if b is None else '%.0f' % b, '-' if a is None else '%.0f' % a))
        out.append('| %d | %s |' % (n, ' | '.join(cells)))
    out.append('')

out += ['## Targets', '', '| target | measured | limit | |', '|---|---|---|---|'] + target_rows() + ['']
open(markdown, 'w').write('\n'.join(out))

with open(plotdata, 'w') as f:
    for n in sorted(data):
        d = data[n]
        values = [d.get(k, [0])[0] for k in ('reload', 'floor', 'start_to_list', 'taskmgr_start_to_list',
                                            'selection', 'tab_change')]
        cells = ['?' if v <= 0 else '%.1f' % v for v in values]
        f.write('%d %s\n' % (n, ' '.join(cells)))
