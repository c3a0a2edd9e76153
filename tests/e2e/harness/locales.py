"""Locales: what a locale name stands for, and generating the ones a run needs."""

import re
import shlex
import shutil
import subprocess
import tempfile
from pathlib import Path

from .common import CaseError, SetupError, require_tool


# Windows language identifiers of the locales the cases use; C and POSIX are
# English (United States).
LANGUAGE_IDS = {"en_US": 0x0409, "de_DE": 0x0407, "en_GB": 0x0809, "fr_CA": 0x0C0C, "de": 0x0007}
# The territory a locale without one stands for.
LIKELY_TERRITORIES = {"de": "DE", "en": "US", "fr": "FR"}
# Locale names of no known language, which count as C; there is nothing to generate.
UNKNOWN_LOCALES = {"foo"}


def locale_language(name: str) -> str:
    """"de_DE.UTF-8@euro" gives "de_DE"; C, POSIX and unknown names give "en_US"."""
    base = re.split(r"[.@]", name, maxsplit=1)[0]
    return "en_US" if base in ("C", "POSIX") or name in UNKNOWN_LOCALES else base


def messages_locale(env: dict[str, str]) -> str:
    for name in ("LC_ALL", "LC_MESSAGES", "LANG"):
        if env.get(name):
            return env[name]
    return "C"


def system_locale(env: dict[str, str]) -> str:
    for path in ("/etc/locale.conf", "/etc/default/locale"):
        if Path(path).exists():
            for line in reversed(Path(path).read_text().split("\n")):
                line = line.strip().removeprefix("export ").strip()
                if line.startswith("LANG="):
                    words = shlex.split(line[len("LANG="):])
                    if words:
                        return words[0]
            break
    return messages_locale(env)


def language_id(locale: str) -> int:
    language = locale_language(locale)
    if language not in LANGUAGE_IDS:
        raise SetupError(f"no expected language identifier known for the locale {locale!r}")
    return LANGUAGE_IDS[language]


def territory(locale: str) -> str:
    language = locale_language(locale)
    if "_" in language:
        return language.split("_", 1)[1]
    if language not in LIKELY_TERRITORIES:
        raise SetupError(f"no expected territory known for the locale {locale!r}")
    return LIKELY_TERRITORIES[language]


def with_generated_locales(env: dict[str, str], work_root: Path) -> dict[str, str]:
    """Generates the locales the environment names (glibc, and with it Wine, knows
    only generated ones) into a folder of the work root, and points LOCPATH there."""
    wanted = {env[name] for name in ("LC_ALL", "LC_MESSAGES", "LANG")
              if env.get(name) and locale_language(env[name]) != "en_US"}
    if not wanted:
        return env
    folder = work_root / "locales"
    folder.mkdir(parents=True, exist_ok=True)
    for name in sorted(wanted):
        match = re.fullmatch(r"([A-Za-z]+_[A-Za-z]+)\.([A-Za-z0-9-]+)", name)
        if not match:
            raise CaseError(f"cannot generate the locale {name!r}: use ll_TT.CODESET")
        if not (folder / name).is_dir():
            # Made beside its place and renamed there, so that a case running in
            # parallel never sees a half-written locale.
            require_tool("localedef")
            scratch = Path(tempfile.mkdtemp(dir=folder))
            done = subprocess.run(["localedef", "-i", match.group(1), "-f", match.group(2),
                                   str(scratch / name)], capture_output=True, text=True)
            if not (scratch / name).is_dir():
                shutil.rmtree(scratch, ignore_errors=True)
                raise SetupError(f"localedef could not make {name} (the locales package "
                                 f"holds the sources): {done.stderr}")
            try:
                (scratch / name).rename(folder / name)
            except OSError:
                if not (folder / name).is_dir():
                    raise
            shutil.rmtree(scratch, ignore_errors=True)
    return {**env, "LOCPATH": str(folder)}
