#!/usr/bin/python3
"""run.py [--check] [ID | PATTERN]...: puts each fault of catalogue.tsv alone into a scratch
worktree of HEAD under /var/tmp (gone on every way out), builds and tests there, and prints the
test that caught it, or NOT CAUGHT, and a total. An ID selects its fault, another argument those
whose line it matches as a regular expression, none all. --check only makes sure that each
fault's text occurs exactly once in HEAD. Exits with 1 when a fault is not caught, does not
build (it would test the compiler, not the tests) or is stale."""
import os, re, shutil, signal, subprocess, sys, tempfile

here = os.path.dirname(os.path.abspath(__file__))
jobs = os.environ.get('JOBS', str(os.cpu_count()))
unescape = lambda s: re.sub(r'\\([nt\\])', lambda m: {'n': '\n', 't': '\t', '\\': '\\'}[m[1]], s)
rows = []
for line in open(os.path.join(here, 'catalogue.tsv'), encoding='utf-8'):
    if line.strip() and not line.startswith('#'):
        fid, kind, path, text, replaced, breaks, where = line.rstrip('\n').split('\t')
        where = where if ':' in where else 'linux:' + (where or '.')
        rows.append(dict(id=fid, path=path, text=unescape(text), replaced=unescape(replaced), where=where, line=line))
ids = [r['id'] for r in rows]
args = [a for a in sys.argv[1:] if a != '--check']
chosen = [r for r in rows if not args or any(a == r['id'] or (a not in ids and re.search(a, r['line'])) for a in args)]
if len(ids) != len(set(ids)):
    sys.exit('An id is used twice.')

def run(command, cwd):  # in a process group of its own, which goes as a whole when this run is stopped
    with subprocess.Popen(command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, errors='replace',
                          start_new_session=True) as child:
        try:
            output = child.communicate()[0]
        except BaseException:
            os.killpg(child.pid, signal.SIGKILL)
            raise
    return subprocess.CompletedProcess(command, child.returncode, output)

def stale(tree, r):  # why the fault no longer applies, or None
    n = run(['git', 'show', 'HEAD:' + r['path']], tree).stdout.count(r['text'])
    return None if n == 1 and r['text'] != r['replaced'] else f"stale: its text occurs {n} times in {r['path']}"

def first_failing(build, selection):  # the first test that failed, or None
    done = run(['ctest', '-j', jobs, '--timeout', '600'] + selection, build)
    failed = re.findall(r'^\s*\d+ - (\S+) \(', done.stdout.partition('tests FAILED:')[2], re.M)
    return (failed or ['ctest'])[0] if done.returncode else None

if '--check' in sys.argv:
    bad = [print(r['id'], why) for r in chosen if (why := stale(here, r))]
    sys.exit(print(f'{len(chosen)} faults checked, {len(bad)} stale') or len(bad) > 0)

scratch = tempfile.mkdtemp(prefix='sternzeit-faults.', dir='/var/tmp')
src = os.path.join(scratch, 'sternzeit')
signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
try:
    if run(['git', 'worktree', 'add', '-q', '--detach', src, 'HEAD'], here).returncode:
        sys.exit('No scratch worktree of HEAD.')
    base = run(['git', 'rev-parse', 'HEAD'], src).stdout.strip()
    builds = {}
    for kind in sorted({r['where'].split(':')[0] for r in chosen} - {'make'}):
        builds[kind] = os.path.join(scratch, 'build-' + kind)
        options = ['-DCMAKE_BUILD_TYPE=RelWithDebInfo', '-DSTERNZEIT_QT=5']
        if kind == 'windows':  # as make windows-package configures it
            qt = subprocess.run(['sudo'][:os.geteuid() != 0] + [src + '/tools/windows-qt.sh'], stdout=subprocess.PIPE, text=True)
            options = ['-DCMAKE_BUILD_TYPE=Release', f'-DCMAKE_TOOLCHAIN_FILE={src}/tools/windows-x64.cmake',
                       '-DSTERNZEIT_WINDOWS_QT=' + qt.stdout.strip()]
        if run(['cmake', '-S', src, '-B', builds[kind]] + options, src).returncode \
                or run(['cmake', '--build', builds[kind], '-j', jobs], src).returncode:
            sys.exit(f'The {kind} build fails without a fault.')
    # A test that failed without a fault would seem to catch every one.
    named = '|'.join({r['where'][6:] for r in chosen if r['where'].startswith('linux:')})
    if named and (failing := first_failing(builds['linux'], ['-R', named])):
        sys.exit(f'{failing} fails without a fault.')
    results = []
    for r in chosen:
        run(['git', 'reset', '-q', '--hard', base], src), run(['git', 'clean', '-fdqx'], src)
        kind, _, tests = r['where'].partition(':')
        result = stale(src, r)
        if not result:
            with open(os.path.join(src, r['path']), 'r+', encoding='utf-8', newline='') as f:
                text = f.read().replace(r['text'], r['replaced'])
                f.seek(0), f.truncate(), f.write(text)
            # Committed, since make reproducible builds clones of the commit.
            run(['git', '-c', 'user.name=faults', '-c', 'user.email=faults@localhost', 'commit', '-qam', 'fault ' + r['id'], '--no-verify'], src)
            if kind == 'make':
                caught = run(['make', '-C', src, tests], src).returncode and 'make ' + tests
            elif run(['cmake', '--build', builds[kind], '-j', jobs], src).returncode:
                caught, result = None, 'DOES NOT BUILD: a fault must build to test the tests'
            elif kind == 'windows':  # its tests read the folder, zip and installer, laid out and packed as make does
                packed = not run(['cmake', '--build', builds[kind], '--target', 'windows_folder'], src).returncode \
                    and not run(['cpack'], builds[kind]).returncode
                caught = first_failing(builds[kind], ['-R', tests]) if packed else 'cpack'
            else:
                caught = first_failing(builds[kind], ['-R', tests]) or (tests != '.' and first_failing(builds[kind], ['-E', tests]))
            result = 'caught by ' + caught if caught else result or 'NOT CAUGHT'
        results.append(result)
        print(r['id'], result, flush=True)
    count = lambda start: sum(result.startswith(start) for result in results)
    print(f"{len(results)} faults: {count('caught')} caught, {count('NOT')} not caught, "
          f"{count('DOES')} not building, {count('stale')} stale")
    sys.exit(1 if count('NOT') or count('DOES') or count('stale') else 0)
except KeyboardInterrupt:
    sys.exit(130)
finally:
    signal.signal(signal.SIGINT, signal.SIG_IGN), signal.signal(signal.SIGTERM, signal.SIG_IGN)
    run(['git', 'worktree', 'remove', '--force', src], here), shutil.rmtree(scratch, ignore_errors=True)
    run(['git', 'worktree', 'prune'], here)
