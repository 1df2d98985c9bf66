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

out = ['# Performance', '',
       'Measured by `make bench` (bench/run.sh, bench/bench.cpp) under Wine on a virtual display, '
       'on N helper processes with three visible titled windows each, all in one run.', '',
       '- Date: %s' % datetime.date.today().isoformat(),
       '- Machine: %s, %d cores, %s' % (cpu, os.cpu_count() or 0, platform.platform()),
       '- Each timed figure: median of 5 runs, with the range.', '',
       '![Reload time against N](performance.png)', '']
base_rss = data.get(0, {}).get('peak_rss_kib', [0])[0]
for n in sorted(data):
    d = data[n]
    out.append('## N = %d (%d processes listed)' % (n, int(d.get('processes', [0])[0])))
    out.append('')
    out.append('| figure | median | min | max |')
    out.append('|---|---|---|---|')
    for key, title in figures:
        if key in d:
            v = d[key]
            if key == 'taskmgr_start_to_list' and v[0] >= 30000:
                out.append('| %s | timed out (30 s) | | |' % title)
                continue
            out.append('| %s | %.1f | %.1f | %.1f |' % (title, v[0], v[1], v[2] if len(v) > 2 else v[0]))
    if 'reload' in d and 'floor' in d and d['floor'][0] > 0:
        out.append('| Reload / floor | %.2f | | |' % (d['reload'][0] / d['floor'][0]))
    if 'reload' in d and d['reload'][0] > 0:
        for key in ('order_by_name', 'order_by_id', 'tab_change'):
            if key in d:
                out.append('| %s / reload | %.1f %% | | |' % (key, 100 * d[key][0] / d['reload'][0]))
    if 'peak_rss_kib' in d:
        rss = d['peak_rss_kib'][0]
        entries = max(1, int(d.get('processes', [1])[0]) * 1 + 3 * n)
        line = '| Peak resident memory | %d KiB | | |' % rss
        out.append(line)
        if n and base_rss:
            out.append('| Above the N = 0 run, per listed entry | %.1f KiB | | |' % ((rss - base_rss) / entries))
    out.append('')
if 100 in data and 1000 in data and data[100].get('reload'):
    out.append('Reload growth: reload(1,000) / reload(100) = %.1f.' %
               (data[1000]['reload'][0] / data[100]['reload'][0]))
    out.append('')
open(markdown, 'w').write('\n'.join(out))

with open(plotdata, 'w') as f:
    for n in sorted(data):
        d = data[n]
        values = [d.get(k, [0])[0] for k in ('reload', 'floor', 'start_to_list', 'taskmgr_start_to_list')]
        cells = ['?' if k == 3 and v >= 30000 else '%.1f' % v for k, v in enumerate(values)]
        f.write('%d %s\n' % (n, ' '.join(cells)))
