#!/usr/bin/env python3
"""Turns the benchmark's lines into docs/performance.md and the plot data."""
import datetime
import os
import platform
import sys

results, markdown, plotdata = sys.argv[1:4]
data = {}
for line in open(results):
    parts = line.split()
    if len(parts) < 3 or not parts[0].isdigit():
        continue
    n = int(parts[0])
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
]

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
}
base_selection = data.get(0, {}).get('selection', [0])[0]


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
    return '%.1f %s' % (100 * r, unit) if unit.startswith('%') else '%.2f %s' % (r, unit)


out = ['# Performance', '',
       'Measured by `make bench` (bench/run.sh, bench/bench.cpp) under Wine on a virtual display, '
       'on N helper processes with three visible titled windows each, all sizes in one run. '
       'The floor is written in the benchmark from plain system calls: the process list, each '
       "module's path, one window enumeration with titles, each file's version texts and icon. "
       "The peer is Wine's taskmgr.exe, timed from its start until its processes page lists "
       'every process (not measured when that takes over 60 s).', '',
       '- Date: %s' % datetime.date.today().isoformat(),
       '- Machine: %s, %d cores, %s' % (cpu, os.cpu_count() or 0, platform.platform()),
       '- Each timed figure: median of 7 runs, with the range; ratios are of medians.',
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
    out.append('')
if 100 in data and 1000 in data and data[100].get('reload'):
    out.append('Reload growth: reload(1,000) / reload(100) = %.1f.' %
               (data[1000]['reload'][0] / data[100]['reload'][0]))
    out.append('')
open(markdown, 'w').write('\n'.join(out))

with open(plotdata, 'w') as f:
    for n in sorted(data):
        d = data[n]
        values = [d.get(k, [0])[0] for k in ('reload', 'floor', 'start_to_list', 'taskmgr_start_to_list',
                                            'selection', 'tab_change')]
        cells = ['?' if v <= 0 else '%.1f' % v for v in values]
        f.write('%d %s\n' % (n, ' '.join(cells)))
