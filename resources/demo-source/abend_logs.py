# Abend logs (SYS:SYSTEM\ABEND.LOG) for a few demo servers.
import datetime, os, random

MONTHS = ["January", "February", "March", "April", "May", "June", "July", "August", "September",
          "October", "November", "December"]

# server, when, kind, server version text, faulting module, function, process, owner, processor
HALTS = {
    "FS1": [
        ("FS1", "2009-03-03 16:23:11", "page", "5.70.08", "CIFS.NLM", "CIFS_ProcessSMB", "CIFS Worker 14 Process",
         "CIFS.NLM", 0),
        ("FS1", "2011-06-17 09:05:48", "gpf", "5.70.08", "NSS.NLM", "zFileLookup", "Server 07 Process", "SERVER.NLM", 1),
        ("FS1", "2026-08-14 23:41:02", "hog", "5.70.08", "TSAFS.NLM", "ScanDirEntries", "SMS Backup Process",
         "TSAFS.NLM", 1),
        ("FS1", "2026-11-27 10:12:57", "page", "5.70.08", "APACHE2.NLM", "ap_process_request",
         "Apache2 Worker 31 Process", "APACHE2.NLM", 0),
    ],
    "ENG-FS1": [
        ("ENG-FS2", "2024-01-09 14:00:33", "gpf", "5.70.07", "LIBC.NLM", "NXThreadExit", "Server 02 Process",
         "SERVER.NLM", 0),
        ("ENG-FS1", "2026-02-19 03:17:26", "page", "5.70.08", "MYSQLD.NLM", "row_search_for_mysql",
         "mysqld Thread 22 Process", "MYSQLD.NLM", 1),
        ("ENG-FS1", "2026-12-03 12:04:09", "hog", "5.70.08", "PERL.NLM", "Perl_runops_standard", "perl Process",
         "PERL.NLM", 0),
    ],
    "MAIL1": [
        ("MAIL1", "2025-10-30 07:55:14", "page", "5.70.06", "GWPOA.NLM", "MsgPurgeExpired", "GWPOA Worker 5 Process",
         "GWPOA.NLM", 0),
        ("MAIL1", "2026-11-29 18:30:40", "gpf", "5.70.06", "GWMTA.NLM", "MtaRouteMessage", "GWMTA Router Process",
         "GWMTA.NLM", 1),
        ("MAIL1", "2026-12-05 02:11:03", "hog", "5.70.06", "GWIA.NLM", "SmtpQueueScan", "GWIA SMTP Daemon Process",
         "GWIA.NLM", 0),
    ],
}

FAULTS = {
    "page": ("Page Fault Processor Exception (Error code 00000002)", "MOV     ECX, [EAX+08]", "8B4808"),
    "gpf": ("General Protection Processor Exception (Error code 00000000)", "MOV     DWORD PTR [ESI+0C], EDX", "895610"),
    "hog": ("CPU Hog Detected by Timer", "CMP     EBX, [EDI+04]", "3B5F04"),
}


def halt_time(text):
    when = datetime.datetime.fromisoformat(text)
    hour = when.hour % 12 or 12
    return "%s, %s %d, %d %d:%02d:%02d %s" % (when.strftime("%A"), MONTHS[when.month - 1], when.day, when.year,
                                              hour, when.minute, when.second, "am" if when.hour < 12 else "pm")


def version_text(v):
    major, minor, rev = (int(x) for x in v.split("."))
    return "%d.%02d" % (major, minor) + (".%02d" % rev if rev else "")


def date_text(d):
    day = datetime.date.fromisoformat(d)
    return "%s %d, %d" % (MONTHS[day.month - 1], day.day, day.year)


def report(rng, halt, modules):
    server, when, kind, version, module, func, process, owner, cpu = halt
    title, instr, code = FAULTS[kind]
    h = lambda: "%08X" % rng.randrange(0x8A000000, 0x9FFFFFFF)
    eip = rng.randrange(0x8E000000, 0x9F000000)
    offset = rng.randrange(0x1000, 0x60000)
    sp = rng.randrange(0x90000000, 0x9F000000) & ~0xFFFF | rng.randrange(0xC000, 0xFF00) & ~0x3
    lines = [
        "*" * 57,
        "",
        "Server %s halted %s" % (server, halt_time(when)),
        "Abend 1 on P%02d: Server-%s: %s" % (cpu, version, title),
        "",
        "Registers:",
        "\tCS = 0008 DS = 0023 ES = 0023 FS = 0023 GS = 0023 SS = 0010",
        "\tEAX = %s EBX = %s ECX = %08X EDX = %08X" % ("00000000" if kind == "page" else h(), h(),
                                                     rng.randrange(0, 64), rng.randrange(0, 4)),
        "\tESI = %s EDI = %s EBP = %08X ESP = %08X" % (h(), h(), sp + 0x24, sp + 0x14),
        "\tEIP = %08X FLAGS = 00010246" % eip,
        "\t%08X %-16s%s%s" % (eip, code, instr, "=?" if kind == "page" else ""),
        "\tEIP in %s at code start +%08Xh" % (module, offset),
    ]
    if kind == "page":
        lines.append("\tAccess Location: 0x00000008")
    lines += ["", "The violation occurred while processing the following instruction:" if kind != "hog"
              else "The running process was executing the following instructions:",
              "%08X %-16s%s" % (eip, code, instr),
              "%08X %-16s%s" % (eip + 3, "85C9", "TEST    ECX, ECX"),
              "%08X %-16s%s" % (eip + 5, "740C", "JZ      %08X" % (eip + 0x13)),
              "%08X %-16s%s" % (eip + 7, "8B5104", "MOV     EDX, [ECX+04]"),
              "",
              "Running process: %s" % process,
              "Thread Owned by NLM: %s" % owner,
              "Stack pointer: %08X" % sp,
              "OS Stack limit: %08X" % ((sp & ~0xFFFF) + 0x60),
              "Scheduling priority: 67371008",
              "Wait state: 3030070  Yielded CPU",
              "Stack: %08X  (%s|%s+%X)" % (eip - 0x1C4, module, func, rng.randrange(0x20, 0x400)),
              "       %s  ?" % h(),
              "       --00000001  (LOADER.NLM|KernelAddressSpace+1)",
              "       %08X  (%s|%s+%X)" % (eip - 0x2E10, owner, "WorkerThread", rng.randrange(0x20, 0x200)),
              "       %s  (SERVER.NLM|WorkerFunctionStart+5D)" % h(),
              "       --00000000  ?",
              "",
              "Additional Information:"]
    if kind == "hog":
        lines.append("\tThe process named above kept the processor for longer than the CPU hog timeout "
                     "without yielding.  Look for a loop in %s." % module)
    else:
        lines.append("\tThe CPU encountered a problem executing code in %s.  The problem may be in that module "
                     "or in data passed to that module by a process owned by %s." % (module, owner))
    lines += ["", "Loaded Modules:"]
    shown = [m for m in modules if m["file"].upper() == module.upper()] + \
            [m for m in modules if m["file"].upper() != module.upper()][:9]
    for m in shown:
        code_addr = rng.randrange(0x8C000000, 0x9F000000) & ~0xFFF
        data_addr = rng.randrange(0x8A000000, 0x8E000000) & ~0xFFF
        lines += ["%-15s%s" % (m["file"].upper(), m["name"]),
                  "  Version %s  %s" % (version_text(m["version"]), date_text(m["date"])),
                  "  Code Address: %08X  Length: %08X" % (code_addr, rng.randrange(0x2000, 0x200000)),
                  "  Data Address: %08X  Length: %08X" % (data_addr, rng.randrange(0x400, 0x80000))]
    lines.append("")
    return lines


def write_all(root, servers):
    for server, halts in HALTS.items():
        rng = random.Random(server)
        modules = servers[server]["nlms"]
        lines = []
        for halt in halts:
            lines += report(rng, halt, modules)
        path = os.path.join(root, server, "SYS", "SYSTEM", "ABEND.LOG")
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="ascii", newline="") as f:
            f.write("\r\n".join(lines))
