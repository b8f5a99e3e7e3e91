#!/usr/bin/env python3
"""Writes the package manifests of a release beside its zips:
  scoop/tarnwick.json   a Scoop manifest
  winget/*.yaml         a winget manifest (version, locale, installer) of a
                        portable program in a zip
both naming the zips and their SHA-256.
Usage: package_manifests.py <dist> <version> <url of the zips' folder> <homepage>"""
import hashlib, json, pathlib, sys

PACKAGE = 'Tarnwick.Tarnwick'
DESCRIPTION = "Keeps named projects for the PureBasic editor and opens all of a project's files at once."
WINGET_SCHEMA = '1.6.0'
# Scoop keeps these across updates (in its persist folder). It links a
# persisted file only when the new version has one: Language.ini is written
# before the first install with the bytes the program writes when it makes
# one (German), so the user finds the setting to change.
PERSIST = ['Data', 'Projects', 'Language.ini']
LANGUAGE_INI = '[Language]`r`nLanguage = 0`r`n(0 = Deutsch; 1 = English)`r`n'  # PowerShell escapes


def yaml(fields):
    """YAML lines for `fields`: nested lists of dicts; strings quoted as JSON (valid YAML)."""
    lines = []
    for key, value in fields.items():
        if isinstance(value, list):
            lines.append(f'{key}:')
            for item in value:
                for n, (k, v) in enumerate(item.items()):
                    lines.append(f'{"- " if n == 0 else "  "}{k}: {json.dumps(v)}')
        else:
            lines.append(f'{key}: {json.dumps(value)}')
    return '\n'.join(lines) + '\n'


def main(dist, version, url, homepage):
    dist = pathlib.Path(dist)
    zips = {bits: f'tarnwick-{version}-win{bits}.zip' for bits in (32, 64)}
    sha256 = {bits: hashlib.sha256((dist / name).read_bytes()).hexdigest() for bits, name in zips.items()}

    scoop = {
        'version': version,
        'description': DESCRIPTION,
        'homepage': homepage,
        'license': 'MIT',
        'architecture': {f'{bits}bit': {'url': f'{url}/{zips[bits]}', 'hash': sha256[bits]} for bits in (64, 32)},
        'extract_dir': 'Tarnwick',
        'pre_install': f'if (!(Test-Path "$persist_dir\\Language.ini")) '
                       f'{{ [IO.File]::WriteAllText("$dir\\Language.ini", "{LANGUAGE_INI}") }}',
        'bin': 'tarnwick.exe',
        'shortcuts': [['tarnwick.exe', 'Tarnwick']],
        'persist': PERSIST,
    }
    (dist / 'scoop').mkdir(exist_ok=True)
    (dist / 'scoop' / 'tarnwick.json').write_text(json.dumps(scoop, indent=4) + '\n')

    head = {'PackageIdentifier': PACKAGE, 'PackageVersion': version}
    tail = {'ManifestVersion': WINGET_SCHEMA}
    winget = {
        '': {**head, 'DefaultLocale': 'en-US', 'ManifestType': 'version', **tail},
        '.locale.en-US': {**head, 'PackageLocale': 'en-US', 'Publisher': 'Tarnwick developers',
                          'PackageName': 'Tarnwick', 'PackageUrl': homepage, 'License': 'MIT',
                          'ShortDescription': DESCRIPTION, 'Moniker': 'tarnwick', 'ManifestType': 'defaultLocale',
                          **tail},
        '.installer': {**head, 'InstallerType': 'zip', 'NestedInstallerType': 'portable',
                       'NestedInstallerFiles': [{'RelativeFilePath': 'Tarnwick\\tarnwick.exe',
                                                 'PortableCommandAlias': 'tarnwick'}],
                       'Installers': [{'Architecture': arch, 'InstallerUrl': f'{url}/{zips[bits]}',
                                       'InstallerSha256': sha256[bits].upper()} for arch, bits in (('x86', 32),
                                                                                                    ('x64', 64))],
                       'ManifestType': 'installer', **tail},
    }
    (dist / 'winget').mkdir(exist_ok=True)
    for suffix, fields in winget.items():
        schema = f'# yaml-language-server: $schema=https://aka.ms/winget-manifest.{fields["ManifestType"]}.' \
                 f'{WINGET_SCHEMA}.schema.json\n'
        (dist / 'winget' / f'{PACKAGE}{suffix}.yaml').write_text(schema + yaml(fields))


if __name__ == '__main__':
    main(*sys.argv[1:5])
