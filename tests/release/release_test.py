#!/usr/bin/env python3
"""The release that scripts/release.sh left in dist/: the zips' contents, the
ReadMe's form, and the checksums and package manifests against the zips."""
import hashlib, json, pathlib, re, sys, unittest, zipfile
import yaml

ROOT = pathlib.Path(__file__).resolve().parents[2]
DIST = ROOT / 'dist'
VERSION = re.search(r'project\(\w+ VERSION ([\d.]+)', (ROOT / 'CMakeLists.txt').read_text())[1]
ZIPS = {bits: DIST / f'tarnwick-{VERSION}-win{bits}.zip' for bits in (32, 64)}
PROGRAMS = {32: DIST / 'tarnwick.exe', 64: DIST / 'x64' / 'tarnwick.exe'}
SHA256 = {bits: hashlib.sha256(z.read_bytes()).hexdigest() for bits, z in ZIPS.items()}
HEADINGS = {
    'ENGLISH': ['What Tarnwick does', 'Which download', 'Installing and starting', 'Where Tarnwick keeps its files',
                'Your first project, step by step', 'The project menu and keys', 'Moving the folder',
                'Undoing a deletion', 'Languages', 'Messages and what to do', 'Uninstalling', 'Licence'],
    'DEUTSCH': ['Was Tarnwick tut', 'Welcher Download', 'Einrichten und starten', 'Wo Tarnwick seine Dateien ablegt',
                'Das erste Projekt, Schritt für Schritt', 'Das Projektmenü und die Tasten', 'Den Ordner verschieben',
                'Eine Löschung rückgängig machen', 'Sprachen', 'Meldungen und was zu tun ist', 'Entfernen', 'Lizenz'],
}


class Release(unittest.TestCase):
    def test_each_zip_holds_one_folder_with_its_program_readme_and_licence(self):
        for bits, path in ZIPS.items():
            with zipfile.ZipFile(path) as z:
                self.assertEqual(z.namelist(), ['Tarnwick/tarnwick.exe', 'Tarnwick/ReadMe.txt', 'Tarnwick/LICENSE.txt'])
                self.assertEqual(z.read('Tarnwick/tarnwick.exe'), PROGRAMS[bits].read_bytes(), path.name)
                for text, source in (('ReadMe.txt', 'docs/ReadMe.txt'), ('LICENSE.txt', 'LICENSE')):
                    data = z.read('Tarnwick/' + text).removeprefix(b'\xef\xbb\xbf' if text == 'ReadMe.txt' else b'')
                    self.assertNotIn(b'\r\r', data, text)
                    self.assertEqual(data.count(b'\r\n'), data.count(b'\n'), f'{text}: CR LF only')
                    self.assertEqual(data.replace(b'\r\n', b'\n'), (ROOT / source).read_bytes(), text)

    def test_readme_is_english_then_german_with_the_same_sections(self):
        text = (ROOT / 'docs' / 'ReadMe.txt').read_text(encoding='utf-8')
        parts = re.split(r'^(ENGLISH|DEUTSCH)\n=+\n', text, flags=re.M)
        self.assertEqual(parts[1::2], ['ENGLISH', 'DEUTSCH'])
        for language, part in zip(parts[1::2], parts[2::2]):
            headings = re.findall(r'^\d+\. (.+)\n-+$', part, flags=re.M)
            self.assertEqual(headings, HEADINGS[language])
        # One entry per message in each language.
        messages = [len(re.findall(r'^\* ', p.split('\n10. ')[1], flags=re.M)) for p in parts[2::2]]
        self.assertEqual(messages[0], messages[1])
        self.assertLessEqual(max(len(line) for line in text.splitlines()), 76, 'fits Notepad without wrapping')

    def test_checksums_and_package_manifests_match_the_zips(self):
        self.assertEqual((DIST / 'SHA256SUMS.txt').read_text().splitlines(),
                         [f'{SHA256[bits]}  {ZIPS[bits].name}' for bits in (32, 64)])
        scoop = json.loads((DIST / 'scoop' / 'tarnwick.json').read_text())
        self.assertEqual(scoop['version'], VERSION)
        for bits in (32, 64):
            entry = scoop['architecture'][f'{bits}bit']
            self.assertEqual((entry['url'].rsplit('/', 1)[1], entry['hash']), (ZIPS[bits].name, SHA256[bits]))
        self.assertEqual(scoop['extract_dir'], 'Tarnwick')
        self.assertEqual(sorted(scoop['persist']), ['Data', 'Language.ini', 'Projects'])

        winget = {p.name: yaml.safe_load(p.read_text()) for p in (DIST / 'winget').glob('*.yaml')}
        self.assertEqual(sorted(m['ManifestType'] for m in winget.values()), ['defaultLocale', 'installer', 'version'])
        self.assertEqual({m['PackageVersion'] for m in winget.values()}, {VERSION})
        installer = next(m for m in winget.values() if m['ManifestType'] == 'installer')
        self.assertEqual((installer['InstallerType'], installer['NestedInstallerType']), ('zip', 'portable'))
        self.assertEqual([f['RelativeFilePath'] for f in installer['NestedInstallerFiles']], ['Tarnwick\\tarnwick.exe'])
        self.assertEqual([(i['Architecture'], i['InstallerUrl'].rsplit('/', 1)[1], i['InstallerSha256'].lower())
                          for i in installer['Installers']],
                         [('x86', ZIPS[32].name, SHA256[32]), ('x64', ZIPS[64].name, SHA256[64])])


if __name__ == '__main__':
    sys.exit(unittest.main(verbosity=2))
