#!/usr/bin/env python3
"""The set-up entry point as a newcomer meets it: tools/quickstart runs against stand-ins for id,
dpkg-query, apt-get, sudo and cmake (the PATH holds nothing else), so what it installs, asks and
runs is seen without root and without touching the machine's packages.
Usage: quickstart_test.py <source tree> [unittest arguments]
"""
import os
import pathlib
import subprocess
import sys
import tempfile
import unittest

SOURCE = pathlib.Path(sys.argv.pop(1)).resolve() if __name__ == '__main__' else None

# Stand-ins. Each logs its call to $FAKE_LOG; dpkg-query and apt-get share the installed list.
FAKES = {
    'id': 'echo "$FAKE_UID"',
    'dpkg-query': '''shift 2
while read -r line; do for pkg in "$@"; do [[ "$line" == "$pkg" ]] && printf '%s\\tinstall ok installed\\n' "$pkg"; done; done <"$FAKE_INSTALLED"
exit 0''',
    'apt-get': '''echo "apt-get $* [DEBIAN_FRONTEND=${DEBIAN_FRONTEND:-}]" >>"$FAKE_LOG"
[[ "$1" == install ]] && { ((FAKE_APT_RC == 0)) || exit "$FAKE_APT_RC"; shift 4; printf '%s\\n' "$@" >>"$FAKE_INSTALLED"; }
exit 0''',
    'sudo': '''[[ "$*" == "-n true" ]] && exit 0
echo "sudo" >>"$FAKE_LOG"; exec "$@"''',
    'cmake': 'echo "cmake $*" >>"$FAKE_LOG"',
    'sleep': ':',
    'javac': ':',
}
BASE = ('id', 'dpkg-query', 'apt-get', 'cmake', 'sleep')  # the stand-ins every run has


def listed_packages():
    """Every package of the shared list, in its order."""
    names = []
    for line in (SOURCE / 'tools' / 'debian-packages').read_text().splitlines():
        if line.strip() and not line.startswith('#'):
            names.append(line.split()[0])
    return names


class Quickstart(unittest.TestCase):
    def run_quickstart(self, args, missing=(), uid=1000, extra=(), apt_rc=0):
        """Runs tools/quickstart with `missing` not installed; returns (code, stderr, log lines)."""
        scratch = tempfile.TemporaryDirectory(prefix='quickstart.')
        self.addCleanup(scratch.cleanup)
        work = pathlib.Path(scratch.name)
        fake_bin = work / 'bin'
        fake_bin.mkdir()
        for name in BASE + extra:
            script = fake_bin / name
            script.write_text('#!/bin/bash\n' + FAKES[name] + '\n')
            script.chmod(0o755)
        os.symlink('/usr/bin/env', fake_bin / 'env')
        installed = work / 'installed'
        installed.write_text(''.join(p + '\n' for p in listed_packages() if p not in missing))
        log = work / 'log'
        log.touch()
        env = dict(PATH=str(fake_bin), FAKE_UID=str(uid), FAKE_INSTALLED=str(installed),
                   FAKE_LOG=str(log), FAKE_APT_RC=str(apt_rc))
        done = subprocess.run(['/bin/bash', str(SOURCE / 'tools' / 'quickstart')] + args, env=env,
                              stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=60)
        return done.returncode, done.stderr, log.read_text().splitlines()

    def test_nothing_missing_installs_nothing_and_runs_the_workflow(self):
        for uid in (0, 1000):
            code, err, log = self.run_quickstart(['test'], uid=uid)
            self.assertEqual((code, log), (0, ['cmake --workflow --preset test']), (uid, err))

    def test_without_root_or_sudo_names_what_is_missing_and_builds_nothing(self):
        code, err, log = self.run_quickstart(['test'], missing=('libjna-java', 'libgeos-dev'))
        self.assertEqual((code, log), (1, []), err)
        self.assertIn('missing Debian packages: libgeos-dev libjna-java\n', err)
        self.assertIn('apt-get install -y libgeos-dev libjna-java\n', err)

    def test_installs_exactly_the_missing_packages_non_interactively(self):
        # (uid, stand-ins, calls before apt-get): as root directly, as a user through sudo.
        cases = [(0, (), []), (1000, ('sudo',), ['sudo'])]
        for uid, extra, through in cases:
            code, err, log = self.run_quickstart(['demo'], missing=('cmake', 'libcli11-dev'),
                                                 uid=uid, extra=extra)
            expected = through + ['apt-get update -q [DEBIAN_FRONTEND=noninteractive]'] + through + [
                'apt-get install -y -q --no-install-recommends cmake libcli11-dev '
                '[DEBIAN_FRONTEND=noninteractive]', 'cmake --workflow --preset demo']
            self.assertEqual((code, log), (0, expected), (uid, err))

    def test_each_workflow_needs_only_its_own_packages(self):
        # (arguments, packages missing, what must be installed)
        cases = [(['demo'], ('libgtest-dev', 'libjna-java', 'clang-format'), None),
                 (['asan'], ('libbenchmark-dev',), None),
                 (['--install-only', 'asan'], ('googletest',), 'googletest'),
                 (['--install-only', 'format'], ('clang-format', 'libgeos-dev'), 'clang-format')]
        for args, missing, installed in cases:
            code, err, log = self.run_quickstart(args, missing=missing, uid=0)
            installs = [line for line in log if line.startswith('apt-get install')]
            runs = [line for line in log if line.startswith('cmake')]
            self.assertEqual(code, 0, (args, err))
            if installed is None:
                self.assertEqual(installs, [], args)
            else:
                self.assertEqual(len(installs), 1, args)
                self.assertEqual(installs[0].split()[5:-1], [installed], args)
            self.assertEqual(runs, [] if '--install-only' in args else
                             ['cmake --workflow --preset ' + args[-1]], args)

    def test_a_jdk_on_the_path_stands_in_for_the_default_one(self):
        for extra, expected in ((('javac',), 0), ((), 1)):
            code, err, _ = self.run_quickstart(['test'], missing=('default-jdk-headless',),
                                               extra=extra)
            self.assertEqual(code, expected, err)
        self.assertIn('missing Debian packages: default-jdk-headless\n', err)

    def test_a_failed_install_stops_before_the_build(self):
        code, err, log = self.run_quickstart(['test'], missing=('libgeos-dev',), uid=0, apt_rc=100)
        installs = [line for line in log if line.startswith('apt-get install')]
        self.assertNotEqual(code, 0)
        self.assertEqual(len(installs), 3, log)  # a mirror may fail once: three attempts
        self.assertFalse([line for line in log if line.startswith('cmake')], log)

    def test_unknown_workflows_are_refused(self):
        for args in (['build'], [], ['format']):
            code, _, log = self.run_quickstart(args, uid=0)
            self.assertEqual((code, log), (2, []), args)


if __name__ == '__main__':
    unittest.main(verbosity=2)
