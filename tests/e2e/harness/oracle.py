"""The oracle: the facts each target should report, learnt from the machine
without the program, and the fact blocks the program prints from them."""

import os
import platform
import re
import shlex
import subprocess
import tempfile
from pathlib import Path

from .common import RUN_TIMEOUT_SECONDS, SetupError, Target, WINDOWS_VERSIONS
from .locales import language_id, messages_locale, system_locale, territory
from .runner import wine_environment


WALK_START = "=" * 79 + "\nProcess INI File:\n"


def first_cpu_identity() -> tuple[int, int, int]:
    """Family, model and stepping of the first processor in /proc/cpuinfo."""
    found = {}
    for line in Path("/proc/cpuinfo").read_text().split("\n"):
        if not line.strip() and found:
            break
        name, _, value = line.partition(":")
        name = name.strip()
        if name in ("cpu family", "model", "stepping") and name not in found:
            found[name] = int(value.strip())
    if len(found) != 3:
        raise SetupError("/proc/cpuinfo names no cpu family, model and stepping")
    return found["cpu family"], found["model"], found["stepping"]


def kernel_version() -> tuple[int, int]:
    match = re.match(r"(\d+)\.(\d+)", platform.release())
    if not match:
        raise SetupError(f"cannot read the kernel release {platform.release()!r}")
    return int(match.group(1)), int(match.group(2))


def os_release_value(name: str) -> str:
    """A variable of os-release (PRETTY_NAME, VERSION_ID), unquoted; empty when absent."""
    for path in ("/etc/os-release", "/usr/lib/os-release"):
        if Path(path).exists():
            for line in Path(path).read_text().split("\n"):
                if line.startswith(name + "="):
                    words = shlex.split(line[len(name) + 1:])
                    return words[0] if words else ""
            return ""
    return ""


def wine_current_version(prefix: Path) -> dict[str, str]:
    """The text values of HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion, as
    the prefix's registry file holds them."""
    header = "[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion]"
    values, inside = {}, False
    for line in (prefix / "system.reg").read_text(encoding="utf-8", errors="replace").split("\n"):
        if line.startswith("["):
            inside = line == header or line.startswith(header + " ")
        elif inside:
            match = re.match(r'^"([^"]+)"="((?:[^"\\]|\\.)*)"$', line)
            if match:
                values[match.group(1)] = re.sub(r"\\(.)", r"\1", match.group(2))
    return values


def language_facts(target: Target, env: dict[str, str]) -> dict[str, object]:
    user = messages_locale(env)
    # Wine takes all three from the process's locale, Linux the system's from its settings.
    system = user if target.windows else system_locale(env)
    facts: dict[str, object] = {}
    for field_name, locale in (("UserDefaultUi", user), ("SysDefaultUi", system),
                               ("SysDefault", system)):
        ident = language_id(locale)
        facts[field_name] = ident
        facts[field_name + "Primary"] = ident & 0x3FF
        facts[field_name + "Sub"] = ident >> 10
    facts["CurrentLocation"] = territory(user)
    return facts


def upper_ascii(text: str) -> str:
    return "".join(chr(ord(c) - 32) if "a" <= c <= "z" else c for c in text)


def sysfs_dmi() -> dict[str, str]:
    """The DMI texts as the kernel shows them; empty where it shows none."""
    values = {}
    for field_name, file in (("DmiMachineType", "product_name"), ("DmiPaNumber", "product_version"),
                             ("DmiVendor", "sys_vendor")):
        path = Path("/sys/class/dmi/id") / file
        values[field_name] = path.read_bytes().decode("utf-8").removesuffix("\n") \
            if path.exists() else ""
    return values


def wmic_dmi(prefix: Path) -> dict[str, str]:
    """Win32_ComputerSystemProduct as Wine's own wmic reports it (UTF-16 columns)."""
    # Wine's wmic now and then ends with 1 on a busy machine; it is asked up to
    # three times, and the third failure is the test's.
    for attempt in range(3):
        with tempfile.TemporaryFile() as output:
            ended = subprocess.run(["wine", "wmic", "path", "Win32_ComputerSystemProduct", "get",
                                    "Name,Version,Vendor"], env=wine_environment(prefix),
                                   stdin=subprocess.DEVNULL, stdout=output,
                                   stderr=subprocess.DEVNULL, timeout=RUN_TIMEOUT_SECONDS,
                                   check=attempt == 2)
            output.seek(0)
            lines = [line for line in output.read().decode("utf-16").replace("\r", "").split("\n")
                     if line.strip()]
        if ended.returncode == 0 and lines:
            break
    header, rows = lines[0], lines[1:]
    columns = sorted((header.index(name), name) for name in ("Name", "Version", "Vendor"))
    row = rows[-1] if rows else ""
    found = {}
    for index, (start, name) in enumerate(columns):
        end = columns[index + 1][0] if index + 1 < len(columns) else None
        found[name] = row[start:end].strip()
    return {"DmiMachineType": found["Name"], "DmiPaNumber": found["Version"],
            "DmiVendor": found["Vendor"]}


def wmi_disabled(env: dict[str, str]) -> bool:
    """Whether WINEDLLOVERRIDES disables Wine's WMI provider (wbemprox=d or wbemprox=)."""
    for entry in env.get("WINEDLLOVERRIDES", "").split(";"):
        names, _, mode = entry.partition("=")
        if "wbemprox" in (name.strip().lower() for name in names.split(",")):
            return mode.strip() in ("", "d")
    return False


def pci_facts() -> dict[str, str]:
    """The hardware IDs Windows would give the first PCI device in sysfs."""
    devices = sorted(Path("/sys/bus/pci/devices").glob("*"))
    if not devices:
        return {}
    device = devices[0]

    def hex_value(name: str) -> int:
        return int((device / name).read_text().strip(), 16)

    base = f"PCI\\VEN_{hex_value('vendor'):04X}&DEV_{hex_value('device'):04X}"
    no_rev = (f"{base}&SUBSYS_{hex_value('subsystem_device'):04X}"
              f"{hex_value('subsystem_vendor'):04X}")
    full = f"{no_rev}&REV_{hex_value('revision'):02X}"
    return {"PciHardwareId": full, "PciHardwareIdNoRev": no_rev, "PciDevicePrefix": base,
            "PciHardwareIdLower": full.lower()}


def machine_facts(target: Target, env: dict[str, str],
                  prefix: Path | None = None) -> dict[str, object]:
    """The facts the program should report, learnt without the program."""
    if platform.machine() != "x86_64":
        raise SetupError(f"expected facts are known for x86_64 only, not {platform.machine()}")
    if target.windows:
        major, minor, csd = WINDOWS_VERSIONS[target.windows_version]
    else:
        (major, minor), csd = kernel_version(), os_release_value("PRETTY_NAME")
    if target.windows:
        registry = wine_current_version(prefix)
        release = {"OsName": registry.get("ProductName", ""),
                   "OsBuild": registry.get("CurrentBuildNumber", "")}
    else:
        release = {"OsName": os_release_value("PRETTY_NAME"),
                   "OsBuild": os_release_value("VERSION_ID")}
    family, model, stepping = first_cpu_identity()
    if target.windows and wmi_disabled(env):
        dmi = {"DmiMachineType": "", "DmiPaNumber": "", "DmiVendor": ""}
    else:
        dmi = wmic_dmi(prefix) if target.windows else sysfs_dmi()
    return {
        "OsMajor": major,
        "OsMinor": minor,
        "CsdVersion": csd,
        **release,
        "HostName": platform.node().split(".")[0] if target.windows else platform.node(),
        "OsBits": 64,
        "Processors": os.cpu_count(),
        "ProcessorType": 8664,
        "ProcessorRevision": (model << 8) | stepping,
        "ProcessorLevel": family,
        "ProcessorModel": model,
        "ProcessorStepping": stepping,
        **language_facts(target, env),
        **dmi,
        **{name + "Upper": upper_ascii(value) for name, value in dmi.items()},
        **({} if target.windows else pci_facts()),
    }


def os_information_block(facts: dict[str, object]) -> str:
    return (
        "OS Information:\n---------------\n"
        f"OS Major = {facts['OsMajor']}\n"
        f"OS Minor = {facts['OsMinor']}\n"
        f"Service Pack (CSD) Ver (empty if no SP installed) = {facts['CsdVersion']}\n"
        f"OS {facts['OsBits']} bit\n"
        f"{facts['Processors']} Processor(s)\n"
        f"Processor Type: {facts['ProcessorType']}\n"
        f"Processor Revision: {facts['ProcessorRevision']}\n"
        f"Processor Level: {facts['ProcessorLevel']}\n"
        f"Processor Model: {facts['ProcessorModel']}\n"
        f"Processor Stepping: {facts['ProcessorStepping']}\n"
    )


def language_information_block(facts: dict[str, object]) -> str:
    lines = "\nLanguage Information:\n---------------------\n"
    for field_name, label in (("UserDefaultUi", "UserDefaultUI Lang ID         "),
                              ("UserDefaultUiPrimary", "UserDefaultUI Primary Lang ID "),
                              ("UserDefaultUiSub", "UserDefaultUI Sub Lang ID     "),
                              ("SysDefaultUi", "SysDefaultUI Lang ID          "),
                              ("SysDefaultUiPrimary", "SysDefaultUI Primary Lang ID  "),
                              ("SysDefaultUiSub", "SysDefaultUI Sub Lang ID      "),
                              ("SysDefault", "SysDefault Lang ID (non UNICODE)         "),
                              ("SysDefaultPrimary", "SysDefault Primary Lang ID (non UNICODE) "),
                              ("SysDefaultSub", "SysDefault Sub Lang ID (non UNICODE)     ")):
        value = facts[field_name]
        lines += f"{label}= {value} ({value:#x})\n"
    return lines + f"Current Location = {facts['CurrentLocation']}\n"


def dmi_information_block(facts: dict[str, object]) -> str:
    return ("\nDMI Information:\n----------------\n"
            f"Machine Type = {facts['DmiMachineType']}\n"
            f"PA Number = {facts['DmiPaNumber']}\n"
            f"Vendor = {facts['DmiVendor']}\n")


def facts_report(facts: dict[str, object]) -> str:
    """Every block that the start-up fact gathering prints, in order."""
    return (os_information_block(facts) + language_information_block(facts)
            + dmi_information_block(facts))
