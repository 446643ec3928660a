"""Runs both compressors on each file of the corpus and prints the comparison.

Usage: compress_bench.py WORKDIR GROUP:FILE...
"""
import os
import shutil
import subprocess
import sys


def cpu_seconds(argv, cwd):
    """Runs argv, returns its user + system CPU seconds and the wall seconds."""
    import time
    start = time.monotonic()
    proc = subprocess.Popen(argv, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(proc.pid, 0)
    wall = time.monotonic() - start
    proc.returncode = os.waitstatus_to_exitcode(status)
    if proc.returncode != 0:
        sys.exit('%s failed: %s' % (' '.join(argv), proc.stderr.read().decode(errors='replace')))
    return usage.ru_utime + usage.ru_stime, wall


def rate(size, seconds):
    return size / max(seconds, 1e-6) / 1e6


def main():
    work, entries = sys.argv[1], sys.argv[2:]
    ours_exe = os.path.abspath(os.path.join(work, 'szddcompress'))
    scratch = os.path.join(work, 'run')
    rows = []
    for entry in entries:
        group, path = entry.split(':', 1)
        if not os.path.isfile(path):
            print('(left out, not on this machine: %s)' % path)
            continue
        shutil.rmtree(scratch, ignore_errors=True)
        os.makedirs(scratch)
        name = os.path.basename(path)
        shutil.copyfile(path, os.path.join(scratch, name))
        size = os.path.getsize(path)
        ours_cpu, ours_wall = cpu_seconds([ours_exe, name, 'ours.out'], scratch)
        ms_cpu, ms_wall = cpu_seconds(['mscompress', name], scratch)
        ours = os.path.getsize(os.path.join(scratch, 'ours.out'))
        ms = os.path.getsize(os.path.join(scratch, name + '_'))
        rows.append((group, name, size, ours, ms, ours_cpu, ms_cpu, ours_wall, ms_wall))
    shutil.rmtree(scratch, ignore_errors=True)

    head = '%-8s %-18s %10s %10s %10s %7s %9s %9s %6s'
    line = '%-8s %-18s %10d %10d %10d %7.4f %9.2f %9.2f %6.1f'
    print(head % ('group', 'file', 'bytes', 'ours', 'mscompress', 'ratio', 'ours MB/s', 'ms MB/s', 'speed'))
    for r in rows:
        group, name, size, ours, ms, oc, mc = r[:7]
        print(line % (group, name[:18], size, ours, ms, ours / ms, rate(size, oc), rate(size, mc), mc / max(oc, 1e-6)))
    print()
    for label, pick in (('installer', lambda r: r[0] == 'installer'), ('system', lambda r: r[0] == 'system'),
                        ('all', lambda r: True)):
        sel = [r for r in rows if pick(r)]
        if not sel:
            continue
        size, ours, ms = (sum(r[i] for r in sel) for i in (2, 3, 4))
        oc, mc = sum(r[5] for r in sel), sum(r[6] for r in sel)
        ow, mw = sum(r[7] for r in sel), sum(r[8] for r in sel)
        print(line % ('total', label, size, ours, ms, ours / ms, rate(size, oc), rate(size, mc), mc / max(oc, 1e-6)))
        print('%-27s wall clock: ours %.2f s, mscompress %.2f s' % ('', ow, mw))
    not_smaller = [r[1] for r in rows if r[3] >= r[4]]
    print('files where ours is not smaller: %s' % (', '.join(not_smaller) if not_smaller else 'none'))
    print('throughput is bytes per CPU second (user + system); speed = how many times faster ours ran')


main()
