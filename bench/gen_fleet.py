#!/usr/bin/env python3
"""Writes a fleet of facts documents and a rule file with its changed copy.

`facts FOLDER --machines N` writes N facts documents as `dvtool facts --json`
writes them (schema/facts.schema.json, version 2), one `<host>.json` each, of
about 26 KB: some 120 devices of four hardware IDs each (PCI, USB, ACPI and HID
IDs of the machine's model, its docks and peripherals), one of 40 models (DMI
vendor, product and version with the model's processor), mostly Windows 10 and
11 builds beside a few older Windows, servers and Linux machines, varied UI
languages and locations, every host named. The same seed writes the same
fleet; a document is put together from text made once per model and device,
so that 100,000 of them take seconds, not minutes.

`rules OLD NEW` writes a rule file of 255 pairs on that fleet's facts (driver
packs by model and by hardware ID, language packs, location settings, OS
bounds, software guarded by FileExists) and its changed copy of 256: one model
added, an OS bound moved, a language changed.
"""

import argparse
import itertools
import json
import random
import sys
from dataclasses import dataclass
from pathlib import Path

from gen_rules import write_rule_file

# --------------------------------------------------------------------------
# The catalogue

# Vendor IDs of PCI and USB devices, as the IDs write them.
INTEL, AMD_PCI, NVIDIA, REALTEK_PCI, QUALCOMM = "8086", "1022", "10DE", "10EC", "17CB"
LOGITECH, MICROSOFT_USB, REALTEK_USB, LENOVO_USB, DELL_USB, HP_USB, JABRA, YUBICO = (
    "046D", "045E", "0BDA", "17EF", "413C", "03F0", "0B0E", "1050")

# Intel platform functions: (device ID, class code with programming interface, revision).
INTEL_PLATFORMS = {
    "tgl": [("9A14", "060000", "01"), ("9A49", "030000", "01"), ("A0E8", "0C8000", "20"),
            ("A0EF", "050000", "20"), ("A0ED", "0C0330", "20"), ("A0C5", "0C8000", "20"),
            ("A0C8", "040380", "20"), ("A0A3", "0C0500", "20"), ("A0A4", "0C8000", "20"),
            ("A0B0", "060400", "20"), ("A0BC", "060400", "20"), ("A0E0", "078000", "20"),
            ("A0F0", "028000", "20"), ("9A0D", "060400", "01"), ("9A1B", "060400", "01"),
            ("9A1D", "060400", "01"), ("9A11", "088000", "01"), ("A082", "060100", "20"),
            ("A0D3", "0C8000", "20"), ("A0E9", "0C8000", "20"), ("9A13", "0C0330", "01"),
            ("9A1F", "118000", "01"), ("A0A8", "078000", "20"), ("A0C6", "0C8000", "20")],
    "adl": [("4621", "060000", "02"), ("46A6", "030000", "0C"), ("51E8", "0C8000", "01"),
            ("51EF", "050000", "01"), ("51ED", "0C0330", "01"), ("51C5", "0C8000", "01"),
            ("51C8", "040380", "01"), ("51A3", "0C0500", "01"), ("51A4", "0C8000", "01"),
            ("51B0", "060400", "01"), ("51BC", "060400", "01"), ("51E0", "078000", "01"),
            ("51F0", "028000", "01"), ("464D", "060400", "02"), ("466E", "060400", "02"),
            ("463F", "060400", "02"), ("467F", "088000", "02"), ("5182", "060100", "01"),
            ("51D3", "0C8000", "01"), ("51E9", "0C8000", "01"), ("461E", "0C0330", "02"),
            ("461D", "118000", "02"), ("51A8", "078000", "01"), ("51C6", "0C8000", "01")],
    "cml": [("9B61", "060000", "0C"), ("9BCA", "030000", "02"), ("02E8", "0C8000", "00"),
            ("02EF", "050000", "00"), ("02ED", "0C0330", "00"), ("02C5", "0C8000", "00"),
            ("02C8", "040380", "00"), ("02A3", "0C0500", "00"), ("02A4", "0C8000", "00"),
            ("02B0", "060400", "F0"), ("02BC", "060400", "F0"), ("02E0", "078000", "00"),
            ("02F0", "028000", "00"), ("1901", "060400", "0C"), ("1905", "060400", "0C"),
            ("1909", "060400", "0C"), ("1911", "088000", "00"), ("0284", "060100", "00"),
            ("02D3", "010601", "00"), ("02E9", "0C8000", "00"), ("15E9", "0C0330", "02"),
            ("15EB", "088000", "06"), ("02A8", "078000", "00"), ("02C6", "0C8000", "00")],
    "amd": [("1630", "060000", "00"), ("1638", "030000", "C1"), ("1632", "060000", "00"),
            ("1633", "060400", "00"), ("1634", "060400", "00"), ("1635", "060400", "00"),
            ("790B", "0C0500", "51"), ("790E", "060100", "51"), ("166A", "060000", "00"),
            ("166B", "060000", "00"), ("166C", "060000", "00"), ("166D", "060000", "00"),
            ("166E", "060000", "00"), ("166F", "060000", "00"), ("1670", "060000", "00"),
            ("1671", "060000", "00"), ("15E2", "048000", "01"), ("15E3", "040300", "00"),
            ("1637", "040300", "00"), ("15DF", "108000", "00"), ("1639", "0C0330", "00"),
            ("15E0", "0C0330", "00"), ("15E1", "0C0330", "00"), ("1641", "060400", "00")],
}
# Other PCI devices a model may carry: (vendor, device, class code, revision).
EXTRA_PCI = {
    "nvme-samsung": ("144D", "A80A", "010802", "00"), "nvme-wd": ("15B7", "5006", "010802", "01"),
    "nvme-intel": (INTEL, "F1AA", "010802", "03"), "nvme-kioxia": ("1E0F", "0001", "010802", "00"),
    "wifi-ax201": (INTEL, "A0F0", "028000", "20"), "wifi-ax211": (INTEL, "51F0", "028000", "01"),
    "wifi-qca": (QUALCOMM, "1101", "028000", "01"),
    "wifi-rtl": (REALTEK_PCI, "C822", "028000", "00"),
    "nic-i219": (INTEL, "15FC", "020000", "20"), "nic-i225": (INTEL, "15F3", "020000", "03"),
    "nic-rtl": (REALTEK_PCI, "8168", "020000", "15"),
    "card-rtl": (REALTEK_PCI, "525A", "FF0000", "01"),
    "gpu-t500": (NVIDIA, "1FB9", "030200", "A1"), "gpu-a2000": (NVIDIA, "25B8", "030000", "A1"),
    "gpu-t1000": (NVIDIA, "1FB0", "030000", "A1"), "gpu-rtx3050": (NVIDIA, "25A2", "030200", "A1"),
    "tb-maple": (INTEL, "1137", "0C0340", "00"), "vmxnet": ("15AD", "07B0", "020000", "01"),
    "vmsvga": ("15AD", "0405", "030000", "00"), "vmpvscsi": ("15AD", "07C0", "010700", "02"),
    "virtio-net": ("1AF4", "1041", "020000", "01"), "virtio-blk": ("1AF4", "1042", "010000", "01"),
}
# ACPI devices: vendor prefix and device, as ACPI\VEN_xxx&DEV_yyyy writes them.
ACPI_COMMON = ("PNP0C0A", "PNP0C0C", "PNP0C0D", "PNP0C0E", "PNP0C14", "PNP0C02", "PNP0C09",
               "PNP0C0F", "PNP0103", "PNP0100", "PNP0B00", "PNP0303", "PNP0A08", "PNP0C01",
               "ACPI000C", "ACPI000E", "ACPI0003", "ACPI0010", "INT33A1", "INT3400",
               "INT3403", "INT340E", "INT3472", "INT34C5", "INT33D5", "INTC1040", "INTC1046",
               "MSFT0101", "MSFT0001", "PNP0C50")
ACPI_VENDOR = {"LENOVO": ("LEN0100", "LEN0068", "LEN0130", "LEN0071"),
               "Dell Inc.": ("DELL0A3E", "DLL0A20", "DELLABCE", "DLL09FF"),
               "HP": ("HPQ6001", "HPQ6007", "HPQ8001", "HPQ0004"),
               "Microsoft Corporation": ("MSHW0029", "MSHW0040", "MSHW0153", "MSHW0184"),
               "FUJITSU": ("FUJ02E3", "FUJ7401", "FUJ02B1", "FUJ0001"),
               "VMware, Inc.": ("VMW0001", "VMW0003", "PNP0C0B", "PNP0001"),
               "QEMU": ("QEMU0001", "QEMU0002", "PNP0C0B", "PNP0001")}
# USB devices of docks and peripherals: (vendor, product, revision, class, subclass, protocol).
PERIPHERALS = (
    (LOGITECH, "C52B", "1211", "03", "01", "01"), (LOGITECH, "C548", "0501", "03", "01", "02"),
    (LOGITECH, "085E", "0016", "0E", "01", "00"), (LOGITECH, "0A87", "0111", "01", "01", "00"),
    (LOGITECH, "C077", "7200", "03", "01", "02"), (LOGITECH, "B023", "0003", "03", "01", "01"),
    (MICROSOFT_USB, "07A5", "0111", "03", "01", "01"),
    (MICROSOFT_USB, "0810", "0001", "0E", "01", "00"),
    (JABRA, "245E", "0207", "01", "01", "00"), (JABRA, "2456", "0159", "03", "00", "00"),
    (YUBICO, "0407", "0512", "03", "01", "01"), (YUBICO, "0402", "0512", "0B", "00", "00"),
    (REALTEK_USB, "8153", "3100", "FF", "FF", "00"),
    (REALTEK_USB, "5411", "0136", "09", "00", "02"),
    ("0781", "5581", "0100", "08", "06", "50"), ("0951", "1666", "0110", "08", "06", "50"),
    ("04F2", "B6DD", "0036", "0E", "01", "00"), ("05AC", "12A8", "1501", "06", "01", "01"),
    ("08BB", "2902", "0100", "01", "01", "00"), ("0424", "2744", "0205", "09", "00", "02"),
    ("1A40", "0101", "0111", "09", "00", "01"), ("0C45", "6A09", "0001", "0E", "01", "00"),
    ("2109", "2817", "0793", "09", "00", "02"), ("046A", "0011", "0100", "03", "01", "01"),
)
DOCKS = {"LENOVO": ((LENOVO_USB, "A396", "3100", "FF", "FF", "00"),
                    (LENOVO_USB, "A387", "3104", "0E", "01", "00"),
                    (LENOVO_USB, "3069", "3000", "FF", "FF", "00")),
         "Dell Inc.": ((DELL_USB, "B06E", "0101", "FF", "FF", "00"),
                       (DELL_USB, "B06F", "0101", "09", "00", "02"),
                       (DELL_USB, "B097", "0101", "FF", "FF", "00")),
         "HP": ((HP_USB, "0269", "0100", "FF", "FF", "00"),
                (HP_USB, "036B", "0100", "09", "00", "02"),
                (HP_USB, "0667", "0100", "FF", "FF", "00"))}
# HID collections: (vendor, product, revision, usage page, usage, compatible ID).
HID_COLLECTIONS = (
    ("06CB", "CE26", "0001", "0001", "0002", "HID_DEVICE_SYSTEM_MOUSE"),
    ("06CB", "CE26", "0001", "000D", "0005", "HID_DEVICE_UP:000D_U:0005"),
    ("04F3", "2A1C", "0001", "000D", "0004", "HID_DEVICE_UP:000D_U:0004"),
    ("048D", "C937", "0001", "0001", "0006", "HID_DEVICE_SYSTEM_KEYBOARD"),
    ("0488", "121F", "0001", "000C", "0001", "HID_DEVICE_SYSTEM_CONSUMER"),
    ("045E", "0000", "0001", "0001", "000C", "HID_DEVICE_SYSTEM_CONTROL"),
    ("8087", "0A1E", "0001", "0020", "0073", "HID_DEVICE_UP:0020_U:0073"),
    ("8087", "0A1E", "0001", "0020", "0041", "HID_DEVICE_UP:0020_U:0041"),
    ("8087", "0A1E", "0001", "0020", "0086", "HID_DEVICE_UP:0020_U:0086"),
    ("8087", "0A1E", "0001", "0020", "008A", "HID_DEVICE_UP:0020_U:008A"),
)


@dataclass(frozen=True)
class Model:
    vendor: str       # DMIVendor
    product: str      # DMIMachineType
    version: str      # DMIPANumber
    platform: str     # key of INTEL_PLATFORMS
    extras: tuple[str, ...]
    processors: int
    # The processor: (type, level, model, stepping).
    cpu: tuple[int, int, int, int]
    subsystem: str    # the SUBSYS of its own PCI functions
    weight: int       # how many of the fleet are of it, relatively


# The Surface's product versions begin alike.
SURFACE = "124I:00036T:000M:0300000D:0B:"
TGL, ADL, CML, ZEN = (8664, 6, 140, 1), (8664, 6, 154, 3), (8664, 6, 165, 2), (8664, 25, 80, 0)
MODELS = (
    Model("LENOVO", "20XW0055GE", "ThinkPad X1 Carbon Gen 9", "tgl",
          ("nvme-samsung", "wifi-ax201", "tb-maple"), 8, TGL, "22D817AA", 9),
    Model("LENOVO", "20XY004MGE", "ThinkPad X1 Yoga Gen 6", "tgl",
          ("nvme-wd", "wifi-ax201", "tb-maple"), 8, TGL, "22D917AA", 3),
    Model("LENOVO", "20W000Q8GE", "ThinkPad T14s Gen 2i", "tgl",
          ("nvme-kioxia", "wifi-ax201", "nic-i219"), 8, TGL, "22E417AA", 8),
    Model("LENOVO", "21AH00BWGE", "ThinkPad T14 Gen 3", "adl",
          ("nvme-samsung", "wifi-ax211", "nic-i219"), 12, ADL, "230C17AA", 10),
    Model("LENOVO", "21CB007AGE", "ThinkPad X1 Carbon Gen 10", "adl",
          ("nvme-samsung", "wifi-ax211", "tb-maple"), 12, ADL, "231D17AA", 6),
    Model("LENOVO", "20U90003GE", "ThinkPad T14 Gen 1", "cml",
          ("nvme-intel", "wifi-ax201", "nic-i219"), 8, CML, "229C17AA", 5),
    Model("LENOVO", "20T6000TGE", "ThinkPad E14", "cml",
          ("nvme-wd", "wifi-rtl", "nic-rtl"), 8, CML, "508217AA", 3),
    Model("LENOVO", "11JN0043GE", "ThinkCentre M70q Gen 2", "tgl",
          ("nvme-samsung", "nic-i219", "wifi-ax201"), 12, TGL, "312E17AA", 4),
    Model("LENOVO", "30E10065GE", "ThinkStation P350", "tgl",
          ("nvme-samsung", "nic-i225", "gpu-t1000"), 16, TGL, "104617AA", 1),
    Model("LENOVO", "21D60010GE", "ThinkPad P16s Gen 1", "adl",
          ("nvme-samsung", "wifi-ax211", "gpu-t500"), 12, ADL, "22F617AA", 2),
    Model("Dell Inc.", "Latitude 7420", "", "tgl",
          ("nvme-kioxia", "wifi-ax201", "tb-maple"), 8, TGL, "0A3E1028", 9),
    Model("Dell Inc.", "Latitude 5520", "", "tgl",
          ("nvme-wd", "wifi-ax201", "nic-i219"), 8, TGL, "0A661028", 7),
    Model("Dell Inc.", "Latitude 5430", "", "adl",
          ("nvme-samsung", "wifi-ax211", "nic-i219"), 12, ADL, "0B071028", 6),
    Model("Dell Inc.", "Latitude 7390", "", "cml",
          ("nvme-intel", "wifi-qca", "card-rtl"), 8, CML, "08141028", 3),
    Model("Dell Inc.", "OptiPlex 7090", "", "cml",
          ("nvme-kioxia", "nic-i219"), 12, CML, "0A3C1028", 6),
    Model("Dell Inc.", "OptiPlex 5080", "", "cml",
          ("nvme-wd", "nic-i219"), 12, CML, "09A91028", 4),
    Model("Dell Inc.", "Precision 5560", "", "tgl",
          ("nvme-samsung", "wifi-ax201", "gpu-a2000"), 16, TGL, "0A621028", 2),
    Model("Dell Inc.", "Precision 3660", "", "adl",
          ("nvme-samsung", "nic-i219", "gpu-a2000"), 16, ADL, "0A9F1028", 1),
    Model("Dell Inc.", "XPS 13 9310", "", "tgl",
          ("nvme-kioxia", "wifi-qca", "tb-maple"), 8, TGL, "0A241028", 1),
    Model("Dell Inc.", "Vostro 3510", "", "tgl",
          ("nvme-wd", "wifi-rtl", "nic-rtl"), 8, TGL, "0B281028", 2),
    Model("HP", "HP EliteBook 840 G8 Notebook PC", "SBKPF", "tgl",
          ("nvme-samsung", "wifi-ax201", "nic-i219"), 8, TGL, "880D103C", 8),
    Model("HP", "HP EliteBook 850 G7 Notebook PC", "SBKPF", "cml",
          ("nvme-samsung", "wifi-ax201", "nic-i219"), 8, CML, "8723103C", 5),
    Model("HP", "HP EliteBook 840 G9 Notebook PC", "SBKPF", "adl",
          ("nvme-samsung", "wifi-ax211", "nic-i219"), 12, ADL, "8990103C", 5),
    Model("HP", "HP ProBook 450 G8 Notebook PC", "SBKPF", "tgl",
          ("nvme-wd", "wifi-rtl", "nic-rtl"), 8, TGL, "8846103C", 4),
    Model("HP", "HP EliteDesk 800 G6 Desktop Mini PC", "SBKPF", "cml",
          ("nvme-samsung", "nic-i219"), 12, CML, "870C103C", 4),
    Model("HP", "HP ProDesk 400 G7 Microtower PC", "SBKPF", "cml",
          ("nvme-intel", "nic-rtl"), 12, CML, "8717103C", 3),
    Model("HP", "HP ZBook Firefly 14 G8 Mobile Workstation", "SBKPF", "tgl",
          ("nvme-samsung", "wifi-ax201", "gpu-t500"), 8, TGL, "880D103C", 2),
    Model("HP", "HP Z2 Tower G5 Workstation", "SBKPF", "cml",
          ("nvme-samsung", "nic-i219", "gpu-t1000"), 16, CML, "8717103C", 1),
    Model("HP", "HP EliteBook 845 G8 Notebook PC", "SBKPF", "amd",
          ("nvme-samsung", "wifi-rtl", "nic-rtl"), 16, ZEN, "8895103C", 3),
    Model("Microsoft Corporation", "Surface Pro 7", SURFACE + "08F:1C:03P:48S:01E:0Y:0K:0U:02",
          "cml", ("nvme-kioxia", "wifi-ax201"), 8, CML, "00000000", 2),
    Model("Microsoft Corporation", "Surface Laptop 4", SURFACE + "07F:1C:05P:48S:01E:0Y:0K:0U:02",
          "tgl", ("nvme-kioxia", "wifi-ax201"), 8, TGL, "00000000", 2),
    Model("Microsoft Corporation", "Surface Laptop 4", SURFACE + "07F:1C:05P:48S:01E:0Y:0K:0U:0A",
          "amd", ("nvme-kioxia", "wifi-qca"), 8, ZEN, "00000000", 1),
    Model("FUJITSU", "LIFEBOOK U7511", "10601721184", "tgl",
          ("nvme-samsung", "wifi-ax201", "nic-i219"), 8, TGL, "1A3E1734", 2),
    Model("FUJITSU", "ESPRIMO D7010", "10601716391", "cml",
          ("nvme-samsung", "nic-i219"), 12, CML, "12141734", 2),
    Model("FUJITSU", "CELSIUS W5011", "10601733870", "tgl",
          ("nvme-samsung", "nic-i219", "gpu-t1000"), 16, TGL, "12641734", 1),
    Model("VMware, Inc.", "VMware Virtual Platform", "None", "amd",
          ("vmxnet", "vmsvga", "vmpvscsi"), 4, ZEN, "07B015AD", 4),
    Model("VMware, Inc.", "VMware20,1", "None", "tgl",
          ("vmxnet", "vmsvga", "vmpvscsi"), 4, TGL, "07B015AD", 2),
    Model("Microsoft Corporation", "Virtual Machine", "Hyper-V UEFI Release v4.1", "tgl",
          (), 4, TGL, "00000000", 3),
    Model("QEMU", "Standard PC (Q35 + ICH9, 2009)", "pc-q35-7.2", "amd",
          ("virtio-net", "virtio-blk"), 4, ZEN, "11001AF4", 2),
    Model("LENOVO", "20N2000PGE", "ThinkPad T490", "cml",
          ("nvme-intel", "wifi-ax201", "nic-i219"), 8, CML, "227517AA", 3),
)
# The model the changed rule file adds a driver pack for; it has none in the old one.
ADDED_MODEL = "21AH00BWGE"

# (platform, OS major, OS minor, build as the document's os.build, os.name, weight)
WINDOWS_RELEASES = (
    (10, 0, "19044", "Windows 10 Enterprise", 14), (10, 0, "19045", "Windows 10 Enterprise", 30),
    (10, 0, "19045", "Windows 10 Pro", 6), (10, 0, "18363", "Windows 10 Enterprise", 2),
    # Windows 11 still names itself Windows 10 in ProductName.
    (10, 0, "22000", "Windows 10 Enterprise", 4), (10, 0, "22621", "Windows 10 Enterprise", 18),
    (10, 0, "22631", "Windows 10 Enterprise", 16), (10, 0, "26100", "Windows 10 Enterprise", 5),
    (10, 0, "17763", "Windows Server 2019 Standard", 2),
    (10, 0, "20348", "Windows Server 2022 Standard", 2),
    (6, 1, "7601", "Windows 7 Enterprise", 1), (6, 3, "9600", "Windows 8.1 Enterprise", 1),
)
# (kernel major, minor, os-release VERSION_ID, PRETTY_NAME, weight)
LINUX_RELEASES = (
    (6, 1, "12", "Debian GNU/Linux 12 (bookworm)", 4),
    (5, 15, "22.04", "Ubuntu 22.04.4 LTS", 3),
    (6, 8, "24.04", "Ubuntu 24.04.1 LTS", 3),
    (5, 14, "9.4", "Red Hat Enterprise Linux 9.4 (Plow)", 2),
)
# One machine in this many runs Linux.
LINUX_SHARE = 12
# (language ID, location, weight): the UI language and where the machine is.
LANGUAGES = (
    (1031, "DE", 34), (1033, "US", 22), (2057, "GB", 6), (1036, "FR", 7), (3079, "AT", 4),
    (2055, "CH", 4), (4108, "CH", 2), (1040, "IT", 4), (3082, "ES", 4), (1043, "NL", 3),
    (1045, "PL", 3), (1029, "CZ", 2), (1046, "BR", 2), (1041, "JP", 1), (2052, "CN", 1),
    (1053, "SE", 1), (1030, "DK", 1), (1055, "TR", 1), (3084, "CA", 1),
)
SITES = ("ber", "muc", "ham", "fra", "vie", "zrh", "lon", "par", "mil", "mad", "ams", "waw",
         "prg", "nyc", "sao", "tyo", "sha")
# Folder tokens and their Windows paths ({u}: the profile's folder); null for none.
START = r"Microsoft\Windows\Start Menu"
WINDOWS_FOLDERS = (
    ("CSIDL_ADMINTOOLS", rf"{{u}}\AppData\Roaming\{START}\Programs\Administrative Tools"),
    ("CSIDL_COMMON_ADMINTOOLS", rf"C:\ProgramData\{START}\Programs\Administrative Tools"),
    ("CSIDL_STARTUP", rf"{{u}}\AppData\Roaming\{START}\Programs\Startup"),
    ("CSIDL_COMMON_STARTUP", rf"C:\ProgramData\{START}\Programs\StartUp"),
    ("CSIDL_APPDATA", r"{u}\AppData\Roaming"),
    ("CSIDL_COMMON_APPDATA", r"C:\ProgramData"),
    ("CSIDL_BITBUCKET", None),
    ("CSIDL_COMMON_DESKTOPDIRECTORY", r"C:\Users\Public\Desktop"),
    ("CSIDL_DESKTOPDIRECTORY", r"{u}\Desktop"),
    ("CSIDL_COMMON_DOCUMENTS", r"C:\Users\Public\Documents"),
    ("CSIDL_COOKIES", r"{u}\AppData\Local\Microsoft\Windows\INetCookies"),
    ("CSIDL_FONTS", r"C:\Windows\Fonts"),
    ("CSIDL_HISTORY", r"{u}\AppData\Local\Microsoft\Windows\History"),
    ("CSIDL_INTERNET_CACHE", r"{u}\AppData\Local\Microsoft\Windows\INetCache"),
    ("CSIDL_LOCAL_APPDATA", r"{u}\AppData\Local"),
    ("CSIDL_MYPICTURES", r"{u}\Pictures"),
    ("CSIDL_PERSONAL", r"{u}\Documents"),
    ("CSIDL_PROGRAM_FILES", r"C:\Program Files"),
    ("CSIDL_PROGRAM_FILES_COMMON", r"C:\Program Files\Common Files"),
    ("CSIDL_STARTMENU", rf"{{u}}\AppData\Roaming\{START}"),
    ("CSIDL_COMMON_STARTMENU", rf"C:\ProgramData\{START}"),
    ("CSIDL_SYSTEM", r"C:\Windows\system32"),
    ("CSIDL_WINDOWS", r"C:\Windows"),
    ("CSIDL_PROGRAMS", rf"{{u}}\AppData\Roaming\{START}\Programs"),
    ("CSIDL_COMMON_PROGRAMS", rf"C:\ProgramData\{START}\Programs"),
)
LINUX_FOLDERS = {
    "CSIDL_STARTUP": "{u}/.config/autostart", "CSIDL_COMMON_STARTUP": "/etc/xdg/autostart",
    "CSIDL_APPDATA": "{u}/.config", "CSIDL_COMMON_APPDATA": "/var/lib",
    "CSIDL_DESKTOPDIRECTORY": "{u}/Desktop", "CSIDL_FONTS": "{u}/.local/share/fonts",
    "CSIDL_INTERNET_CACHE": "{u}/.cache", "CSIDL_LOCAL_APPDATA": "{u}/.local/share",
    "CSIDL_MYPICTURES": "{u}/Pictures", "CSIDL_PERSONAL": "{u}/Documents",
    "CSIDL_PROGRAM_FILES": "/opt", "CSIDL_PROGRAM_FILES_COMMON": "/usr/lib",
    "CSIDL_STARTMENU": "{u}/.local/share/applications",
    "CSIDL_COMMON_STARTMENU": "/usr/share/applications", "CSIDL_SYSTEM": "/usr/bin",
    "CSIDL_WINDOWS": "/usr", "CSIDL_PROGRAMS": "{u}/.local/share/applications",
    "CSIDL_COMMON_PROGRAMS": "/usr/share/applications",
}


# --------------------------------------------------------------------------
# Hardware IDs

def pci_ids(vendor: str, device: str, subsystem: str, klass: str, revision: str) -> list[str]:
    base = rf"PCI\VEN_{vendor}&DEV_{device}"
    return [f"{base}&SUBSYS_{subsystem}&REV_{revision}", f"{base}&SUBSYS_{subsystem}",
            f"{base}&CC_{klass}", f"{base}&CC_{klass[:4]}"]


def usb_ids(vendor: str, product: str, revision: str, klass: str, sub: str, protocol: str,
            interface: int) -> list[str]:
    base = rf"USB\VID_{vendor}&PID_{product}"
    return [f"{base}&REV_{revision}&MI_{interface:02X}", f"{base}&MI_{interface:02X}",
            rf"USB\Class_{klass}&SubClass_{sub}&Prot_{protocol}",
            rf"USB\Class_{klass}&SubClass_{sub}"]


def acpi_ids(name: str) -> list[str]:
    vendor, device = name[:-4], name[-4:]
    return [rf"ACPI\VEN_{vendor}&DEV_{device}", rf"ACPI\{name}", f"*{name}",
            rf"ACPI\VEN_{vendor}&DEV_{device}&REV_0001"]


def hid_ids(vendor: str, product: str, revision: str, page: str, usage: str, compatible: str,
            collection: int) -> list[str]:
    base = rf"HID\VID_{vendor}&PID_{product}"
    return [f"{base}&REV_{revision}&Col{collection:02}", f"{base}&Col{collection:02}",
            rf"HID\VID_{vendor}&UP:{page}_U:{usage}", compatible]


def model_devices(model: Model) -> list[list[str]]:
    """The devices every machine of the model has, in the order a list gives them."""
    devices = [acpi_ids(name) for name in ACPI_COMMON + ACPI_VENDOR[model.vendor]]
    for device, klass, revision in INTEL_PLATFORMS[model.platform]:
        vendor = AMD_PCI if model.platform == "amd" else INTEL
        devices.append(pci_ids(vendor, device, model.subsystem, klass, revision))
    for extra in model.extras:
        vendor, device, klass, revision = EXTRA_PCI[extra]
        devices.append(pci_ids(vendor, device, model.subsystem, klass, revision))
    for number, (vendor, product, revision, page, usage, compatible) in enumerate(
            HID_COLLECTIONS, 1):
        devices.append(hid_ids(vendor, product, revision, page, usage, compatible, number))
    # The built-in camera, fingerprint reader, Bluetooth, card reader and modem,
    # with their interfaces.
    for vendor, product, revision in (("04F2", "B6CB", "0019"), ("06CB", "00BD", "0000"),
                                      ("8087", "0026", "0002"), ("0BDA", "0129", "3960"),
                                      ("2CB7", "0210", "0333")):
        for interface in range(4):
            devices.append(usb_ids(vendor, product, revision, "E0", "01", "01", interface))
    return devices


def peripheral_devices(vendor: str) -> list[list[list[str]]]:
    """What may be plugged in, each a list of devices (a dock's or a headset's interfaces)."""
    pool = [[usb_ids(*usb, interface) for interface in range(3)] for usb in PERIPHERALS]
    pool += [[usb_ids(*usb, interface) for interface in range(4)] for usb in DOCKS.get(vendor, ())]
    return pool


# --------------------------------------------------------------------------
# Documents, as dvtool facts --json writes them (two blanks a level)

def device_text(ids: list[str]) -> str:
    inner = ",\n".join(f"        {json.dumps(i)}" for i in ids)
    return f'    {{\n      "hardwareIds": [\n{inner}\n      ]\n    }}'


def folders_text(system: str) -> str:
    rows = []
    for token, path in WINDOWS_FOLDERS:
        if system == "linux":
            path = LINUX_FOLDERS.get(token)
        value = "null" if path is None else json.dumps(path).replace("{u}", "\x00")
        rows.append(f'    "{token}": {value}')
    return "{\n" + ",\n".join(rows) + "\n  }"


def facts_text(os_version: tuple[int, int], model: Model, user: int, system: int,
               location: str) -> str:
    """The facts object; every text in it is plain ASCII without quotes."""
    kind, level, cpu_model, stepping = model.cpu
    rows = [("OSMajor", os_version[0]), ("OSMinor", os_version[1]), ("Bit", 64),
            ("Processors", model.processors), ("ProcessorType", kind),
            ("ProcessorRevision", cpu_model << 8 | stepping), ("ProcessorLevel", level),
            ("ProcessorModel", cpu_model), ("ProcessorStepping", stepping),
            ("UserDefaultUI", user), ("UserDefaultPri", user & 0x3FF),
            ("UserDefaultSec", user >> 10), ("SysDefaultUI", system),
            ("SysDefaultUIPri", system & 0x3FF), ("SysDefaultUISec", system >> 10),
            ("SysDefault", system), ("SysDefaultPri", system & 0x3FF),
            ("SysDefaultSec", system >> 10), ("CurrentLocation", f'"{location}"'),
            ("DMIMachineType", f'"{model.product}"'), ("DMIPANumber", f'"{model.version}"'),
            ("DMIVendor", f'"{model.vendor}"')]
    return "{\n" + ",\n".join(f'    "{key}": {value}' for key, value in rows) + "\n  }"


@dataclass
class Fleet:
    """Text made once: each model's devices, the peripherals, the folders."""
    seed: int

    def __post_init__(self) -> None:
        self.rng = random.Random(self.seed)
        self.models = MODELS
        self.model_weights = list(itertools.accumulate(m.weight for m in MODELS))
        self.release_weights = {
            linux: list(itertools.accumulate(r[-1] for r in releases))
            for linux, releases in ((False, WINDOWS_RELEASES), (True, LINUX_RELEASES))}
        self.language_weights = list(itertools.accumulate(entry[-1] for entry in LANGUAGES))
        self.base = {m: ",\n".join(device_text(d) for d in model_devices(m)) for m in MODELS}
        self.plugged = {vendor: [",\n".join(device_text(d) for d in group)
                                 for group in peripheral_devices(vendor)]
                        for vendor in {m.vendor for m in MODELS}}
        self.folders = {system: folders_text(system) for system in ("windows", "linux")}

    def document(self, number: int) -> tuple[str, str]:
        """The host name and the text of the fleet's machine `number`."""
        rng = self.rng
        model = rng.choices(self.models, cum_weights=self.model_weights)[0]
        linux = number % LINUX_SHARE == LINUX_SHARE - 1
        releases = LINUX_RELEASES if linux else WINDOWS_RELEASES
        major, minor, build, name, _ = rng.choices(
            releases, cum_weights=self.release_weights[linux])[0]
        language, location, _ = rng.choices(LANGUAGES, cum_weights=self.language_weights)[0]
        # A user's UI language differs from the system's now and then.
        system_language = language if rng.random() < 0.85 else 1033
        host = f"{SITES[number % len(SITES)]}-{'lx' if linux else 'pc'}{number:06}"
        plugged = self.plugged[model.vendor]
        devices = [self.base[model], *rng.sample(plugged, rng.randrange(6, 12))]
        profile = f"/home/{host}" if linux else rf"C:\\Users\\{host}"
        captured = (f"2026-12-{1 + number % 9:02}T{number // 60 % 24:02}:{number % 60:02}:"
                    f"{number * 7 % 60:02}.{number % 1000:03}Z")
        facts = facts_text((major, minor), model, language, system_language, location)
        text = (
            '{\n  "kind": "facts",\n  "version": {\n    "major": 2,\n    "minor": 0\n  },\n'
            '  "producer": "dvtool 4.0XP",\n'
            f'  "platform": "{"linux" if linux else "windows"}",\n'
            f'  "host": "{host}",\n  "captured": "{captured}",\n'
            f'  "os": {{\n    "name": "{name}",\n    "build": "{build}"\n  }},\n'
            f'  "facts": {facts},\n'
            '  "devices": [\n' + ",\n".join(devices) + "\n  ],\n"
            '  "folders": ' + self.folders["linux" if linux else "windows"].replace(
                "\x00", profile) + "\n}\n")
        return host, text


def write_fleet(folder: Path, machines: int, seed: int) -> None:
    folder.mkdir(parents=True, exist_ok=True)
    fleet = Fleet(seed)
    for number in range(machines):
        host, text = fleet.document(number)
        (folder / f"{host}.json").write_bytes(text.encode("utf-8"))


# --------------------------------------------------------------------------
# Rule files

def install(program: str, arguments: str = "/quiet /norestart") -> str:
    return rf"Execute = WAIT, [CSIDL_PROGRAM_FILES]\Deploy\{program}, {arguments}"


def driver_pack(model: Model) -> tuple[list[str], list[str]]:
    criteria = [f"DMIVendor = EQ,{model.vendor}", f"DMIMachineType = EQ,{model.product}",
                "OSMajor = GE,10", "Bit = EQ,64"]
    if model.version and model.vendor == "LENOVO":
        criteria.insert(2, f"DMIPANumber = EQ,{len(model.version)},{model.version}")
    return criteria, [install(rf"Drivers\{model.product}\install.cmd", "/s")]


def rule_pairs(changed: bool) -> list[tuple[list[str], list[str]]]:
    """The pairs of the rule file, or of its changed copy."""
    pairs = []
    # Windows 7 and 8.1 get the last updates; the changed copy moves the bound
    # so that only Windows 7 gets them.
    pairs.append((["OSMajor = EQ,6", f"OSMinor = LE,{1 if changed else 3}", "Bit = EQ,64"],
                      [install(r"Legacy\esu-rollup.exe")]))
    pairs.append((["OSMajor = GE,10", "ProcessorType = EQ,8664", "Processors = GE,4"],
                      [install(r"Baseline\agent-setup.exe")]))
    # A driver pack per model, BIOS updates by product version.
    for model in MODELS:
        if model.product != ADDED_MODEL:
            pairs.append(driver_pack(model))
        if model.vendor in ("LENOVO", "HP", "Dell Inc.", "FUJITSU"):
            done = rf"[CSIDL_PROGRAM_FILES]\Deploy\BIOS\{model.subsystem}.done"
            pairs.append(([f"DMIMachineType = EQ,{model.product}", f"FileExists = NE,{done}"],
                          [install(rf"BIOS\{model.subsystem}\flash.exe", "/s /f")]))
    # Drivers by hardware ID: graphics, network, storage of every platform.
    for platform, functions in INTEL_PLATFORMS.items():
        vendor = AMD_PCI if platform == "amd" else INTEL
        for device, _, _ in functions[1:9]:
            pairs.append(([rf"HWIDLeft = EQ,PCI\VEN_{vendor}&DEV_{device}",
                               "OSMajor = GE,10"],
                              [rf"Execute = WAIT, pnputil.exe, /add-driver "
                               rf"C:\Deploy\Drivers\{vendor}_{device}\*.inf /install"]))
    for name, (vendor, device, klass, revision) in EXTRA_PCI.items():
        model = next((m for m in MODELS if name in m.extras), MODELS[0])
        pairs.append(([rf"HWID = EQ,PCI\VEN_{vendor}&DEV_{device}&SUBSYS_{model.subsystem}"
                           f"&REV_{revision}", "Bit = EQ,64"],
                          [install(rf"Drivers\{name}\setup.exe", "-s")]))
        pairs.append(([rf"HWIDLeft = EQ,PCI\VEN_{vendor}&DEV_{device}&CC_{klass[:4]}"],
                          [install(rf"Drivers\{name}\tool.exe", "/q")]))
    # Docks and peripherals: firmware and software.
    for usb in PERIPHERALS + tuple(d for docks in DOCKS.values() for d in docks):
        vendor, product = usb[0], usb[1]
        pairs.append(([rf"HWIDLeft = EQ,USB\VID_{vendor}&PID_{product}", "OSMajor = GE,10"],
                          [install(rf"Peripherals\{vendor}_{product}.msi", "/qn")]))
    # Language packs and regional settings; the changed copy ships French for
    # Canada rather than for France.
    for language, location, _ in LANGUAGES:
        if language == 1033:
            continue
        wanted = 3084 if changed and language == 1036 else language
        pairs.append(([f"SysDefaultUI = NE,{wanted}", f"UserDefaultUI = EQ,{wanted}",
                           "OSMajor = GE,10"],
                          [install(rf"Languages\lp-{wanted}.cab", "/norestart")]))
        pairs.append(([f"CurrentLocation = EQ,{location}",
                       f"UserDefaultPri = EQ,{language & 0x3FF}"],
                      [install(rf"Regional\{location}.reg", "/s")]))
    # Software: installed where it is missing, a shortcut on the common desktop.
    for number, app in enumerate(("office", "teams", "acrobat", "7zip", "chrome", "firefox",
                                  "vpn", "citrix", "sap-gui", "notepadpp", "putty", "vlc",
                                  "zoom", "webex", "greenshot", "keepass", "java17", "dotnet48",
                                  "vcredist", "python311")):
        criteria = [rf"FileExists = NE,[CSIDL_PROGRAM_FILES]\{app}\{app}.exe", "OSMajor = GE,10"]
        if number % 3 == 0:
            criteria.append("UserDefaultUI = NE,2052")
        if number % 4 == 1:
            criteria.append("Processors = GE,8")
        pairs.append((criteria, [
            install(rf"Apps\{app}\setup.exe"),
            rf"DesktopShortcut = [CSIDL_COMMON_DESKTOPDIRECTORY]\{app}, "
            rf"[CSIDL_PROGRAM_FILES]\{app}\{app}.exe, [NONE]"]))
    # Processors and servers.
    pairs.append((["ProcessorLevel = EQ,6", "ProcessorModel = GE,154"],
                      [install(r"Firmware\intel-me-16.exe", "-s")]))
    pairs.append((["ProcessorLevel = EQ,25"], [install(r"Firmware\amd-chipset.exe", "/S")]))
    pairs.append((["DMIVendor = NE,VMware, Inc.", "DMIMachineType = NE,Virtual Machine",
                       "ProcessorStepping = LE,3"], [install(r"Firmware\microcode.exe", "/q")]))
    # Site rules up to 255 pairs.
    for site in SITES[:255 - len(pairs)]:
        pairs.append((["OSMajor = GE,10", f"CurrentLocation = NE,{site[:2].upper()}"],
                      [rf"Execute = NOWAIT, [CSIDL_SYSTEM]\cmd.exe, /c echo {site}"]))
    # The changed copy adds a driver pack for a model that had none, at the end.
    if changed:
        pairs.append(driver_pack(next(m for m in MODELS if m.product == ADDED_MODEL)))
    return pairs


def rule_text(pairs: list[tuple[list[str], list[str]]], title: str) -> str:
    out = [f"; {title}", ""]
    for number, (criteria, actions) in enumerate(pairs, 1):
        out += [f"[CRITERIA{number}]", *criteria, "", f"[ACTION{number}]", *actions, ""]
    return "\n".join(out)


def write_rules(old: Path, new: Path) -> None:
    write_rule_file(old, rule_text(rule_pairs(False), "Fleet rules, as rolled out"))
    write_rule_file(new, rule_text(rule_pairs(True), "Fleet rules, changed"))


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    commands = parser.add_subparsers(dest="command", required=True)
    facts = commands.add_parser("facts", help="write a fleet of facts documents")
    facts.add_argument("folder", type=Path, help="where the documents go (made if missing)")
    facts.add_argument("--machines", type=int, default=1000, help="how many (1000)")
    facts.add_argument("--seed", type=int, default=1, help="the fleet's seed (1)")
    rules = commands.add_parser("rules", help="write the rule file and its changed copy")
    rules.add_argument("old", type=Path, help="the rule file as rolled out (255 pairs)")
    rules.add_argument("new", type=Path, help="its changed copy (256 pairs)")
    args = parser.parse_args()
    if args.command == "facts":
        if args.machines < 0:
            parser.error("--machines must be 0 or more")
        write_fleet(args.folder, args.machines, args.seed)
    else:
        write_rules(args.old, args.new)
    return 0


if __name__ == "__main__":
    sys.exit(main())
