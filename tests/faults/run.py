#!/usr/bin/env python3
"""Puts each fault of catalogue.tsv alone into a scratch worktree of HEAD, builds and tests there,
and prints one line per fault: which test caught it, or that none did. The worktree and its build
folders lie under /var/tmp and go on every way out.

  run.py [--check] [ID | PATTERN]...

An ID selects its row, any other argument the rows whose line the regular expression matches;
none selects all. --check only makes sure that each row's text occurs exactly once in HEAD.
Exits with 1 when a fault is not caught or a row no longer applies (stale)."""
import os, re, shutil, signal, subprocess, sys, tempfile

here = os.path.dirname(os.path.abspath(__file__))
repo = subprocess.run(['git', 'rev-parse', '--show-toplevel'], cwd=here, capture_output=True, text=True, check=True).stdout.strip()
jobs = os.environ.get('JOBS', str(os.cpu_count()))
unescape = lambda s: re.sub(r'\\([nt\\])', lambda m: {'n': '\n', 't': '\t', '\\': '\\'}[m[1]], s)
rows = []
for line in open(os.path.join(here, 'catalogue.tsv'), encoding='utf-8'):
    if line.strip() and not line.startswith('#'):
        fid, kind, path, text, replacement, breaks, where = line.rstrip('\n').split('\t')
        where = where if ':' in where else 'linux:' + (where or '.')
        rows.append(dict(id=fid, path=path, text=unescape(text), replacement=unescape(replacement), where=where, line=line))
args = [a for a in sys.argv[1:] if a != '--check']
ids = [r['id'] for r in rows]
assert len(ids) == len(set(ids)), 'an id is used twice'
chosen = [r for r in rows if not args or any(a == r['id'] or (a not in ids and re.search(a, r['line'])) for a in args)]

def stale(tree, r):  # why the row no longer applies to the tree, or None
    show = subprocess.run(['git', 'show', 'HEAD:' + r['path']], cwd=tree, capture_output=True)
    n = show.stdout.decode('utf-8', 'surrogateescape').count(r['text'])
    return None if n == 1 and r['text'] != r['replacement'] else f"stale: its text occurs {n} times in {r['path']}"

if '--check' in sys.argv:
    bad = [print(r['id'], why) for r in chosen if (why := stale(repo, r))]
    print(f'{len(chosen)} faults checked, {len(bad)} stale')
    sys.exit(1 if bad else 0)

def run(command, cwd):  # whether it succeeded; its output is kept only for ctest
    return subprocess.run(command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, errors='replace')

def first_failing(build, selection):  # the first test that fails, or None
    done = run(['ctest', '-j', jobs, '--timeout', '600'] + selection, build)
    failed = re.findall(r'^\s*\d+ - (\S+) \(', done.stdout.partition('tests FAILED:')[2], re.M)
    return None if done.returncode == 0 else (failed or ['ctest'])[0]

scratch = tempfile.mkdtemp(prefix='sternzeit-faults.', dir='/var/tmp')
src, base = os.path.join(scratch, 'sternzeit'), None
signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
try:
    if run(['git', 'worktree', 'add', '-q', '--detach', src, 'HEAD'], repo).returncode:
        sys.exit('No scratch worktree of HEAD.')
    base = run(['git', 'rev-parse', 'HEAD'], src).stdout.strip()
    builds = {}
    for kind in sorted({r['where'].split(':')[0] for r in chosen} - {'make'}):
        builds[kind] = os.path.join(scratch, 'build-' + kind)
        configure = ['cmake', '-S', src, '-B', builds[kind], '-DCMAKE_BUILD_TYPE=RelWithDebInfo', '-DSTERNZEIT_QT=5']
        if kind == 'windows':  # as make windows-package configures it
            qt = subprocess.run(([] if os.geteuid() == 0 else ['sudo']) + [os.path.join(src, 'tools/windows-qt.sh')],
                                stdout=subprocess.PIPE, text=True).stdout.strip()
            configure[5:] = ['-DCMAKE_BUILD_TYPE=Release', '-DCMAKE_TOOLCHAIN_FILE=' + os.path.join(src, 'tools/windows-x64.cmake'),
                             '-DSTERNZEIT_WINDOWS_QT=' + qt]
        if run(configure, src).returncode or run(['cmake', '--build', builds[kind], '-j', jobs], src).returncode:
            sys.exit(f'The {kind} build fails without a fault.')
    # A test that fails without a fault would seem to catch every one.
    named = '|'.join({r['where'].partition(':')[2] for r in chosen if r['where'].startswith('linux:')})
    if named and (failing := first_failing(builds['linux'], ['-R', named])):
        sys.exit(f'{failing} fails without a fault.')
    results = []
    for r in chosen:
        run(['git', 'reset', '-q', '--hard', base], src), run(['git', 'clean', '-fdqx'], src)
        kind, _, regex = r['where'].partition(':')
        result = stale(src, r)
        if not result:
            path = os.path.join(src, r['path'])
            with open(path, encoding='utf-8', newline='') as f:
                text = f.read().replace(r['text'], r['replacement'])
            with open(path, 'w', encoding='utf-8', newline='') as f:
                f.write(text)
            # Committed: make reproducible builds clones of the commit.
            run(['git', '-c', 'user.name=faults', '-c', 'user.email=faults@localhost', 'commit', '-qam', 'fault ' + r['id'], '--no-verify'], src)
            if kind == 'make':
                caught = None if run(['make', '-C', src, regex], src).returncode == 0 else 'make ' + regex
            elif run(['cmake', '--build', builds[kind], '-j', jobs], src).returncode != 0:
                caught = 'the compiler (does not build)'
            elif kind == 'windows':  # the tests read the zip and the installer as cpack packs them
                caught = 'cpack' if run(['cpack'], builds[kind]).returncode != 0 else first_failing(builds[kind], ['-R', regex])
            else:
                caught = first_failing(builds[kind], ['-R', regex]) or (regex != '.' and first_failing(builds[kind], ['-E', regex])) or None
            result = 'caught by ' + caught if caught else 'NOT CAUGHT'
        results.append(result)
        print(r['id'], result, flush=True)
    counts = {word: sum(result.startswith(word) for result in results) for word in ('caught', 'NOT', 'stale')}
    print(f"{len(results)} faults: {counts['caught']} caught ({sum('compiler' in x for x in results)} by the compiler), "
          f"{counts['NOT']} not caught, {counts['stale']} stale")
    sys.exit(1 if counts['NOT'] or counts['stale'] else 0)
except KeyboardInterrupt:
    sys.exit(130)
finally:
    signal.signal(signal.SIGINT, signal.SIG_IGN), signal.signal(signal.SIGTERM, signal.SIG_IGN)
    run(['git', 'worktree', 'remove', '--force', src], repo), shutil.rmtree(scratch, ignore_errors=True)
    run(['git', 'worktree', 'prune'], repo)
