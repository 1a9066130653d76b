#!/usr/bin/env python3
"""Writes the built-in demo network: resources/demo/network.json and its volume files.

Run it after changing the catalogues or the servers below, then check the result:
    python3 build_demo.py && python3 check_demo.py
"""
import json, os, random, shutil, sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from catalog import *
import volume_files as demofiles
import abend_logs as abends

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "demo")

# --------------------------------------------------------------------------- modules

def sp_list(overrides, drop=(), extra=(), lower=(), replace=None):
    out = []
    for f, name, notice, ver, date in SP8:
        if f in drop:
            continue
        if f in overrides:
            ver, date = overrides[f]
        if replace and f in replace:
            ver, date = replace[f]
        out.append({"file": f.lower() if f in lower else f, "name": name, "notice": notice,
                    "version": ver, "date": date})
    for f in extra:
        name, notice, ver, date = EXTRA[f]
        out.append({"file": f, "name": name, "notice": notice, "version": ver, "date": date})
    return out


def plain_list(base, extra=()):
    out = [{"file": f, "name": n, "notice": no, "version": v, "date": d} for f, n, no, v, d in base]
    for f in extra:
        name, notice, ver, date = EXTRA[f]
        out.append({"file": f, "name": name, "notice": notice, "version": ver, "date": date})
    return out

# --------------------------------------------------------------------------- SET parameters

def set_list(overrides=None, raw=None, drop=(), release="6.5"):
    overrides = overrides or {}
    raw = raw or {}
    out = []
    for name, cat, typ, value in SETS:
        if name in drop:
            continue
        if release != "6.5" and name in NEW_IN_65:
            continue
        if release == "5.1" and name in NEW_IN_60:
            continue
        item = {"name": name, "category": cat, "type": typ}
        if name in raw:
            item["raw"] = raw[name]
        elif typ != 6:
            item["value"] = overrides.get(name, value)
        out.append(item)
    return out

# --------------------------------------------------------------------------- volumes

GB4K = 262144          # 4 KB blocks in one GB


def vol(name, gb, free_share, purge_share=0.01, nyp_share=0.002, spb=8, mounted=None):
    per_gb = 1073741824 // (spb * 512)
    total = int(gb * per_gb)
    avail = int(total * free_share)
    purge = int(total * purge_share)
    nyp = int(total * nyp_share)
    v = {"name": name, "sectorsPerBlock": spb, "totalBlocks": total, "availableBlocks": avail,
         "purgeableBlocks": purge, "notYetPurgeableBlocks": nyp}
    if mounted is not None:
        v["mounted"] = mounted
    return v


ADMIN = {"name": "_ADMIN", "sectorsPerBlock": 8, "totalBlocks": 0, "availableBlocks": 0,
         "purgeableBlocks": 0, "notYetPurgeableBlocks": 0}
# The storage services' own administration volume, present where NSS pools were
# managed through the newer tools; like _ADMIN it holds no user data.
NSS_ADMIN = {"name": "NSS_ADMIN", "sectorsPerBlock": 8, "totalBlocks": 0, "availableBlocks": 0,
             "purgeableBlocks": 0, "notYetPurgeableBlocks": 0}

# --------------------------------------------------------------------------- people

SALES_EAST = ["JSMITH", "MJONES", "PBROWN", "KWILSON", "LTAYLOR", "CMORRIS"]
SALES_WEST = ["RGARCIA", "AMARTINEZ", "DLEE", "SCHEN", "TNGUYEN", "WFOSTER"]
ENG_DEV = ["BWHITE", "CHARRIS", "DCLARK", "ELEWIS", "FWALKER", "GHALL", "VPATEL", "YKIM"]
ENG_QA = ["HALLEN", "IYOUNG", "JKING", "UBELL"]
HQ_IT = ["NETADMIN", "OREED", "XHOWARD"]
HQ_FIN = ["KWRIGHT", "LSCOTT", "MGREEN", "NADAMS", "ZCOOK"]
HQ_HQ = ["OBAKER", "PNELSON", "QROSS"]
PLANT = ["QCARTER", "RMITCHELL", "SPEREZ", "TROBERTS", "EWARD"]
GLOBEX = ["AMORGAN.OPS.GLOBEX", "BSTONE.OPS.GLOBEX", "CDRAKE.RND.GLOBEX", "DFRY.RND.GLOBEX"]


def full(users, ctx):
    return [u + "." + ctx for u in users]


ADMIN_USER = "admin.ACME"

# --------------------------------------------------------------------------- connections


def conn(number, user=None, type_="IP", status=None, minutes=60, read=0, written=0, requests=0,
         message=None, files=None, object_type=None):
    c = {"number": number, "type": type_}
    if user is not None:
        c["user"] = user
    if object_type is not None:
        c["objectType"] = object_type
    if status is not None:
        c["status"] = status
    c["loginMinutesAgo"] = minutes
    if read:
        c["bytesRead"] = read
    if written:
        c["bytesWritten"] = written
    if requests:
        c["requests"] = requests
    if message is not None:
        c["messageResult"] = message
    if files:
        c["openFiles"] = files
    return c


def of(volume, path, flags="0x08", ns=None):
    f = {"volume": volume, "path": path}
    if ns is not None:
        f["nameSpace"] = ns
    f["lockFlags"] = flags
    return f


def traffic(rng, minutes, heavy=1.0):
    reqs = int(minutes * rng.uniform(20, 400) * heavy) + rng.randint(50, 900)
    read = int(reqs * rng.uniform(900, 9000))
    written = int(read * rng.uniform(0.05, 0.6))
    return read, written, reqs


def user_conns(rng, server, start, users, count, up_minutes, file_pool, kinds, skip=()):
    """Ordinary workstation logins: numbers from start upward with a few gaps."""
    out = []
    number = start
    pool = list(users)
    rng.shuffle(pool)
    for i in range(count):
        number += 1 if rng.random() < 0.75 else rng.randint(2, 5)
        while number in skip:
            number += 1
        user = pool[i % len(pool)]
        type_ = rng.choice(kinds)
        minutes = min(up_minutes - 5, int(rng.choice([rng.uniform(3, 600), rng.uniform(60, 3000),
                                                       rng.uniform(1440, 20000)])))
        read, written, reqs = traffic(rng, minutes)
        status = "0x0010" if type_ == "AFP" else "0x0020"
        files = []
        if file_pool and rng.random() < 0.6:
            for _ in range(rng.randint(1, 3)):
                volume, path = rng.choice(file_pool)
                flags = rng.choice(["0x08", "0x08", "0x0A", "0x0A", "0x02", "0x03", "0x09"])
                if not any(f["volume"] == volume and f["path"] == path for f in files):
                    files.append(of(volume, path, flags))
        message = None
        r = rng.random()
        if r < 0.08:
            message = 3
        elif r < 0.12:
            message = 4
        out.append(conn(number, user, type_, status, minutes, read, written, reqs, message, files))
    return out, number


def not_logged_in(numbers, rng):
    return [conn(n, None, rng.choice(["IP", "IP", "IPX"]), "0x0000", rng.randint(0, 3),
                 rng.randint(0, 600), 0, rng.randint(1, 12)) for n in numbers]

# --------------------------------------------------------------------------- servers


def build_servers():
    servers = []
    fp = demofiles.shared_file_pool  # (server) -> [(volume, path)]

    # ---- FS1: the sales department's main file server
    rng = random.Random(101)
    up = 41 * 86400 + 7 * 3600 + 13 * 60
    fs1_conns = [
        conn(1, "FS1.SALES.ACME", "NLM", "0x0200", up // 60 - 2, 81234567, 20456789, 48211, object_type=4),
        conn(2, "FS1.SALES.ACME", "NLM", "0x0020", 1450, 73014847690, 1048576, 9112456, object_type=4,
             files=[of("DATA", "APPS\\Accounting\\GL.DAT", "0x88"), of("HOME", "JSMITH\\Pipeline.xls", "0x80")]),
        conn(3, "NPI3A7F21", "IPX", "0x0401", 51840, 3145728, 196608, 77210, message=3, object_type=7),
    ]
    users = full(SALES_EAST, "EAST.SALES.ACME") + full(SALES_WEST, "WEST.SALES.ACME") + full(HQ_HQ, "HQ.ACME")
    more, last = user_conns(rng, "FS1", 4, users, 24, up // 60, fp("FS1"), ["IP"] * 6 + ["IPX", "SMB"], skip={17})
    fs1_conns += more
    fs1_conns += [
        conn(17, ADMIN_USER, "IP", "0x0020", 184, 5242880, 1048576, 18320),
        conn(last + 1, "JSMITH.EAST.SALES.ACME", "IP", "0x0020", 61, 1048576, 524288, 2211,
             files=[of("DATA", "APPS\\Data Files\\Q4 Report.xls", "0x0A"),
                    of("DATA", "APPS\\Data Files\\Customer List.mdb", "0x0A"),
                    of("DATA", "APPS\\Data Files\\Customer List.mdb", "0x0A"),
                    of("HOME", "JSMITH\\notes.old.txt", "0x08")]),
        conn(last + 2, "MJONES.EAST.SALES.ACME", "IP", "0x0020", 1500, 20971520, 4194304, 30211,
             files=[of("DATA", "APPS\\Data Files\\Q4 Report.xls", "0x08"),
                    of("DATA", "APPS\\Data Files\\Quarterly Report Q3.doc", "0x03")]),
        conn(last + 3, "PBROWN.EAST.SALES.ACME", "AFP", "0x0010", 245, 9437184, 2097152, 12001,
             files=[of("DATA", "APPS\\Data Files\\Q4 Report.xls", "0x03"),
                    of("DATA", "SHARED\\Price List 2026.xls", "0x02")]),
        conn(last + 4, "DLEE.WEST.SALES.ACME", "AFP", "0x0010", 3001, 314572800, 41943040, 220345,
             files=[of("DATA", "SHARED\\Forms\\TRAVEL.DOC", "0x08", ns=0)]),
        conn(last + 5, ADMIN_USER, "HTTP", "0x0020", 12, 393216, 65536, 911),
        conn(last + 6, "SCHEN.WEST.SALES.ACME", "SMB", "0x0020", 95, 5368709120, 1288490188, 1840021,
             files=[of("DATA", "APPS\\Data Files\\Quarterly Report Q4.doc", "0x0A")]),
        conn(last + 7, "TNGUYEN.WEST.SALES.ACME", "IP", "0x0100", 7, 20480, 4096, 310),
        conn(last + 8, "KWILSON.EAST.SALES.ACME", "IP", "0x0002", 2, 8192, 0, 41, message=1),
        conn(last + 9, "LTAYLOR.EAST.SALES.ACME", "IP", "0x0030", 400, 1048576, 1048576, 5123, message=255),
        conn(last + 10, "CMORRIS.EAST.SALES.ACME", "IPX", "0x0001", 820, 4404019, 880803, 19932,
             files=[of("SYS", "PUBLIC\\REPORT.TXT", "0x0A", ns=0),
                    of("SYS", "PUBLIC\\readme.txt", "0x00")]),
    ]
    fs1_conns += not_logged_in([last + 11, last + 12, last + 14, last + 15], rng)
    servers.append({
        "name": "FS1", "tree": "ACME_TREE", "context": "SALES.ACME",
        "version": "5.70.8", "company": "Novell, Inc.", "revisionText": "NetWare 6.5 Support Pack 8",
        "notice": "(C) Copyright 1983-2008 Novell, Inc. All Rights Reserved. Patent pending.",
        "dsVersion": 10552, "upSeconds": up, "clockOffsetSeconds": 0,
        "utilization": {"min": 5, "max": 45, "seed": 11}, "maxConnections": 500,
        "ownConnection": 17,
        "volumes": [vol("SYS", 20, 0.58, 0.03, 0.004), ADMIN, NSS_ADMIN, vol("DATA", 250, 0.27, 0.06, 0.01),
                    vol("HOME", 120, 0.44, 0.02, 0.003)],
        "nlms": sp_list({}, extra=["AFPTCP.NLM", "SLPDA.NLM"]),
        "setParameters": set_list({"TIMESYNC Type": "SINGLE", "Default Time Server Type": "SINGLE",
                                   "Maximum Concurrent Disk Cache Writes": 1000}),
        "connections": fs1_conns,
    })

    # ---- FS2: older sales server still on Support Pack 7
    rng = random.Random(202)
    up = 12 * 86400 + 23 * 3600 + 2 * 60
    conns = [conn(1, "FS2.SALES.ACME", "NLM", "0x0200", up // 60 - 1, 4567123, 1230987, 9001, object_type=4)]
    users = full(SALES_WEST, "WEST.SALES.ACME") + full(SALES_EAST[:3], "EAST.SALES.ACME")
    more, last = user_conns(rng, "FS2", 1, users, 16, up // 60, fp("FS2"), ["IP", "IP", "IP", "IPX"], skip={9})
    conns += more
    conns += [conn(9, ADMIN_USER, "IP", "0x0020", 184, 1048576, 262144, 4021),
              conn(last + 1, "RGARCIA.WEST.SALES.ACME", "IP", "0x0020", 380, 73400320, 10485760, 81234,
                   files=[of("DATA", "Territories\\West Region Plan.xls", "0x0A"),
                          of("DATA", "Territories\\WESTMAP.PDF", "0x08", ns=0)]),
              conn(last + 2, "AMARTINEZ.WEST.SALES.ACME", "IP", "0x0020", 95, 1048576, 0, 5010,
                   files=[of("DATA", "Territories\\West Region Plan.xls", "0x02")])]
    conns += not_logged_in([last + 3, last + 5], rng)
    servers.append({
        "name": "FS2", "tree": "ACME_TREE", "ownConnection": 9, "context": "SALES.ACME",
        "version": "5.70.7", "company": "Novell, Inc.", "revisionText": "NetWare 6.5 Support Pack 7",
        "notice": "(C) Copyright 1983-2007 Novell, Inc. All Rights Reserved. Patent pending.",
        "dsVersion": 10551, "upSeconds": up, "clockOffsetSeconds": 2,
        "utilization": [12, 14, 13, 18, 25, 31, 22, 17, 15, 14],
        "volumes": [vol("SYS", 8, 0.31, 0.05, 0.01), ADMIN, vol("DATA", 100, 0.12, 0.04, 0.01),
                    vol("ARCHIVE", 400, 0.65, 0.0, 0.0, mounted=False)],
        "nlms": sp_list(SP7, extra=["RSYNC.NLM"]),
        "setParameters": set_list({"Maximum Packet Receive Buffers": 5000, "Minimum Packet Receive Buffers": 500,
                                   "Read Ahead Enabled": False, "Immediate Purge Of Deleted Files": True,
                                   "Maximum Directory Cache Buffers": 20000, "NCP Packet Signature Option": 2,
                                   "TIMESYNC Time Sources": "FS1;", "Maximum Service Processes": 500}),
        "connections": conns,
    })

    # ---- ENG-FS1: engineering, busy build and source server
    rng = random.Random(303)
    up = 3 * 86400 + 4 * 3600 + 51 * 60
    conns = [conn(1, "ENG-FS1.ENG.ACME", "NLM", "0x0200", up // 60 - 1, 9912345, 3312456, 14001, object_type=4),
             conn(2, "ENG-FS1.ENG.ACME", "NLM", "0x0020", 610, 52613349376, 0, 4412877, object_type=4,
                  files=[of("PROJECTS", "Builds\\nightly.log", "0x80")])]
    users = full(ENG_DEV, "DEV.ENG.ACME") + full(ENG_QA, "QA.ENG.ACME")
    more, last = user_conns(rng, "ENG-FS1", 2, users, 22, up // 60, fp("ENG-FS1"),
                            ["IP", "IP", "IP", "SMB", "SMB", "WINSOCK"], skip={23})
    conns += more
    conns += [conn(23, ADMIN_USER, "IP", "0x0020", 184, 2097152, 131072, 3050),
              conn(last + 1, "BWHITE.DEV.ENG.ACME", "SMB", "0x0020", 4400, 9663676416, 2147483648, 5123456,
                   files=[of("PROJECTS", "Orion\\src\\main.c", "0x08"),
                          of("PROJECTS", "Orion\\src\\network_layer.c", "0x0A"),
                          of("PROJECTS", "Orion\\Design Notes.txt", "0x01")]),
              conn(last + 2, "HALLEN.QA.ENG.ACME", "IP", "0x0020", 75, 104857600, 52428800, 120400,
                   files=[of("PROJECTS", "Orion\\Test Plans\\Release 2.4 Test Plan.doc", "0x0A")]),
              conn(last + 3, "CHARRIS.DEV.ENG.ACME", "IP", "0x0020", 14, 4096, 4096, 60, message=4,
                   files=[of("PROJECTS", "Orion\\src\\network_layer.c", "0x03")])]
    conns += not_logged_in([last + 4, last + 6, last + 7], rng)
    servers.append({
        "name": "ENG-FS1", "tree": "ACME_TREE", "ownConnection": 23, "context": "ENG.ACME",
        "version": "5.70.8", "company": "Novell, Inc.", "revisionText": "NetWare 6.5 Support Pack 8",
        "notice": "(C) Copyright 1983-2008 Novell, Inc. All Rights Reserved. Patent pending.",
        "dsVersion": 10552, "upSeconds": up, "clockOffsetSeconds": -1,
        "utilization": {"min": 20, "max": 95, "seed": 7}, "maxConnections": 500,
        "volumes": [vol("SYS", 20, 0.61, 0.02, 0.002), ADMIN, NSS_ADMIN, vol("PROJECTS", 500, 0.19, 0.08, 0.02),
                    vol("BUILDS", 300, 0.05, 0.11, 0.03, spb=128)],
        "nlms": sp_list({}, extra=["MYSQLD.NLM", "PERL.NLM", "TOMCAT4.NLM"], lower=("APACHE2.NLM",),
                        replace={"LIBC.NLM": ("9.0.6", "2009-04-22"), "NSS.NLM": ("3.27.1", "2009-05-14"),
                                 "LIBNSS.NLM": ("3.27.1", "2009-05-14")}),
        "setParameters": set_list({"Maximum Service Processes": 1000, "Maximum Concurrent Disk Cache Writes": 2000,
                                   "Dirty Disk Cache Delay Time": 9, "Maximum Record Locks Per Connection": 2000,
                                   "NDS trace to screen": True, "Bindery Context": "ENG.ACME",
                                   "Maximum File Locks Per Connection": 1000},
                                  raw={"Maximum Physical Receive Packet Size": "80 10 00 00"}),
        "connections": conns,
    })

    # ---- HQ-FS1: head office, finance
    rng = random.Random(404)
    up = 118 * 86400 + 2 * 3600 + 7 * 60
    conns = [conn(1, "HQ-FS1.HQ.ACME", "NLM", "0x0200", up // 60 - 3, 71234567, 30123456, 190221, object_type=4)]
    users = full(HQ_FIN, "FINANCE.HQ.ACME") + full(HQ_HQ, "HQ.ACME") + full(HQ_IT, "IT.HQ.ACME")
    more, last = user_conns(rng, "HQ-FS1", 1, users, 20, up // 60, fp("HQ-FS1"),
                            ["IP", "IP", "IP", "AFP", "IPX"], skip={5})
    conns += more
    conns += [conn(5, ADMIN_USER, "IP", "0x0020", 184, 3145728, 262144, 7120),
              conn(last + 1, "KWRIGHT.FINANCE.HQ.ACME", "IP", "0x0020", 300, 209715200, 62914560, 99120,
                   files=[of("FINANCE", "Budget 2027\\Budget 2027 Draft.xls", "0x0A"),
                          of("FINANCE", "Payroll\\PAYROLL.DAT", "0x09")]),
              conn(last + 2, "LSCOTT.FINANCE.HQ.ACME", "IP", "0x0020", 280, 104857600, 10485760, 50112,
                   files=[of("FINANCE", "Budget 2027\\Budget 2027 Draft.xls", "0x08")]),
              conn(last + 3, "XHOWARD.IT.HQ.ACME", "ACP", "0x0020", 33, 8192, 8192, 80),
              conn(last + 4, "BINDUSER", "IPX", "0x0400", 8000, 1048576, 0, 4000, object_type=1)]
    conns += not_logged_in([last + 5, last + 6], rng)
    servers.append({
        "name": "HQ-FS1", "tree": "ACME_TREE", "ownConnection": 5, "context": "HQ.ACME",
        "version": "5.70.8", "company": "Novell, Inc.", "revisionText": "NetWare 6.5 Support Pack 8",
        "notice": "(C) Copyright 1983-2008 Novell, Inc. All Rights Reserved. Patent pending.",
        "dsVersion": 10552, "upSeconds": up, "clockOffsetSeconds": 0,
        "utilization": {"min": 2, "max": 30, "seed": 3},
        "volumes": [vol("SYS", 20, 0.66, 0.01, 0.001), ADMIN, NSS_ADMIN, vol("APPS", 60, 0.38, 0.02, 0.002),
                    vol("FINANCE", 150, 0.51, 0.03, 0.01)],
        "nlms": sp_list({}, extra=["AFPTCP.NLM"]),
        "setParameters": set_list({"TIMESYNC Type": "PRIMARY", "Default Time Server Type": "PRIMARY",
                                   "Bindery Context": "HQ.ACME;FINANCE.HQ.ACME",
                                   "Enable Disk Read After Write Verify": True, "Allow Unencrypted Passwords": True}),
        "connections": conns,
    })

    # ---- MAIL1: GroupWise post office, still on Support Pack 6
    rng = random.Random(505)
    up = 7 * 86400 + 19 * 3600 + 44 * 60
    conns = [conn(1, "MAIL1.IT.HQ.ACME", "NLM", "0x0200", up // 60 - 1, 931234567, 731234567, 2921222, object_type=4),
             conn(2, "MAIL1.IT.HQ.ACME", "NLM", "0x0020", up // 60 - 1, 51234567890, 48234567890, 61234567, object_type=4,
                  files=[of("MAIL", "GWPO\\WPHOST.DB", "0x0B"), of("MAIL", "GWPO\\OFUSER\\USERJSM.DB", "0x0A"),
                         of("MAIL", "GWPO\\OFMSG\\MSG12.DB", "0x0A"), of("MAIL", "GWDOM\\WPDOMAIN.DB", "0x0B")]),
             conn(3, "MAIL1.IT.HQ.ACME", "NLM", "0x0020", up // 60 - 1, 8234567890, 9234567890, 12345678, object_type=4,
                  files=[of("MAIL", "GWDOM\\MSLOCAL\\GWINPROG\\0\\4A3F21.001", "0x08")])]
    users = full(HQ_IT, "IT.HQ.ACME")
    more, last = user_conns(rng, "MAIL1", 3, users, 6, up // 60, [], ["IP", "HTTP"], skip={6})
    conns += more
    conns += [conn(6, ADMIN_USER, "IP", "0x0020", 184, 524288, 65536, 1200)]
    conns += not_logged_in([last + 1, last + 2, last + 4], rng)
    servers.append({
        "name": "MAIL1", "tree": "ACME_TREE", "ownConnection": 6, "context": "IT.HQ.ACME",
        "version": "5.70.6", "company": "Novell, Inc.", "revisionText": "NetWare 6.5 Support Pack 6",
        "notice": "(C) Copyright 1983-2006 Novell, Inc. All Rights Reserved. Patent pending.",
        "dsVersion": 10550, "upSeconds": up, "clockOffsetSeconds": 4,
        "utilization": [35, 41, 38, 52, 67, 88, 100, 93, 71, 54, 46, 40],
        "volumes": [vol("SYS", 12, 0.22, 0.02, 0.01), ADMIN, vol("MAIL", 300, 0.09, 0.01, 0.001),
                    vol("GWBACKUP", 300, 0.41, 0.0, 0.0)],
        "nlms": sp_list(SP6, drop=("CIFS.NLM", "APACHE2.NLM", "JVM.NLM"),
                        extra=["GWENN5.NLM", "GWPOA.NLM", "GWMTA.NLM", "GWIA.NLM"]),
        "setParameters": set_list({"Maximum Service Processes": 1000, "Maximum Record Locks Per Connection": 10000,
                                   "Maximum File Locks Per Connection": 1000, "Maximum Record Locks": 200000,
                                   "Maximum File Locks": 100000, "Bindery Context": "IT.HQ.ACME",
                                   "Immediate Purge Of Deleted Files": True}),
        "connections": conns,
    })

    # ---- VAULT1 (the backup server): powered off for a disk replacement, not reachable
    servers.append({
        "name": "VAULT1", "tree": "ACME_TREE", "context": "IT.HQ.ACME", "reachable": False,
        "version": "5.70.8", "company": "Novell, Inc.", "revisionText": "NetWare 6.5 Support Pack 8",
        "dsVersion": 10552, "upSeconds": 600, "utilization": {"min": 60, "max": 99, "seed": 9},
        "volumes": [vol("SYS", 20, 0.7), ADMIN, vol("STAGING", 2000, 0.33, spb=128)],
        "connections": [conn(1, "VAULT1.IT.HQ.ACME", "NLM", "0x0200", 9, object_type=4),
                        conn(2, ADMIN_USER, "IP", "0x0020", 5)],
    })

    # ---- PRINT1: NetWare 5.1 with NDPS, IPX printers still around
    rng = random.Random(606)
    up = 402 * 86400 + 11 * 3600 + 9 * 60
    conns = [conn(1, "PRINT1.HQ.ACME", "NLM", "0x0200", up // 60 - 2, 12345678, 2345678, 412345, object_type=4),
             conn(2, "NPI0C4D2E", "IPX", "0x0401", 200000, 734003200, 2097152, 9123456, object_type=7, message=3),
             conn(3, "NPI7713AA", "IPX", "0x0401", 150000, 421527552, 1048576, 6123456, object_type=7, message=3),
             conn(4, ADMIN_USER, "IP", "0x0020", 184, 262144, 32768, 512),
             conn(5, "PRINT1.HQ.ACME", "NLM", "0x0020", up // 60 - 2, 3355443200, 16777216, 300000, object_type=4,
                  files=[of("SYS", "NDPS\\RESDIR\\PRTDB.DAT", "0x0A")])]
    users = full(HQ_FIN, "FINANCE.HQ.ACME") + full(HQ_HQ, "HQ.ACME")
    more, last = user_conns(rng, "PRINT1", 5, users, 5, up // 60, [], ["IPX", "IP"])
    conns += more
    servers.append({
        "name": "PRINT1", "tree": "ACME_TREE", "context": "HQ.ACME",
        "version": "5.0.8", "company": "Novell, Inc.", "revisionText": "NetWare 5.1 Support Pack 8",
        "notice": "(C) Copyright 1983-2002 Novell, Inc. All Rights Reserved.",
        "dsVersion": 885, "upSeconds": up, "clockOffsetSeconds": -125,
        "utilization": [0, 1, 0, 2, 1, 0, 3, 1], "maxConnections": 100, "ownConnection": 4,
        "volumes": [vol("SYS", 4, 0.47, 0.01, 0.0, spb=128), vol("VOL1", 16, 0.8, 0.0, 0.0, spb=128)],
        "nlms": plain_list(NW51),
        "setParameters": set_list({"Maximum Packet Receive Buffers": 1000, "Minimum Packet Receive Buffers": 100,
                                   "Maximum Service Processes": 100, "Maximum Directory Cache Buffers": 500,
                                   "Minimum Directory Cache Buffers": 20, "Enable IPX Checksums": 0,
                                   "Dirty Disk Cache Delay Time": 66, "Bindery Context": "HQ.ACME",
                                   "TIMESYNC Time Sources": ""}, release="5.1",
                                  drop=("SLP DA Discovery Options",)),
        "connections": conns,
    })

    # ---- GW1: BorderManager gateway on NetWare 6.0
    rng = random.Random(707)
    up = 63 * 86400 + 30 * 60
    conns = [conn(1, "GW1.DMZ.acme.com", "NLM", "0x0200", up // 60 - 1, 1234567, 234567, 5123, object_type=4),
             conn(2, "GW1.DMZ.acme.com", "NLM", "0x0020", up // 60 - 1, 91234567890, 61234567890, 81234567,
                  object_type=4, files=[of("SYS", "ETC\\PROXY\\PROXY.CFG", "0x08"),
                                        of("SYS", "ETC\\PROXY\\Cache Index.dat", "0x0A")]),
             conn(3, ADMIN_USER, "IP", "0x0020", 184, 131072, 16384, 240),
             conn(4, ADMIN_USER, "HTTP", "0x0020", 40, 2097152, 131072, 820)]
    conns += not_logged_in([7, 9, 12, 13, 21, 22, 30, 31], rng)
    servers.append({
        "name": "GW1", "tree": "ACME_TREE", "context": "DMZ.acme.com",
        "version": "5.60.5", "company": "Novell, Inc.", "revisionText": "NetWare 6.0 Support Pack 5",
        "notice": "(C) Copyright 1983-2004 Novell, Inc. All Rights Reserved. Patent pending.",
        "dsVersion": 10410, "upSeconds": up, "clockOffsetSeconds": 37,
        "utilization": {"min": 1, "max": 15, "seed": 5}, "maxConnections": 250, "ownConnection": 3,
        "volumes": [vol("SYS", 8, 0.40, 0.0, 0.0), ADMIN, vol("CACHE1", 36, 0.03, 0.0, 0.0)],
        "nlms": plain_list(NW60),
        "setParameters": set_list({"Maximum Packet Receive Buffers": 20000, "Minimum Packet Receive Buffers": 4000,
                                   "Reply To Get Nearest Server": False, "NCP Packet Signature Option": 3,
                                   "Bindery Context": "DMZ.acme.com"}, release="6.0",
                                  raw={"Read Ahead Enabled": "01"}),
        "connections": conns,
    })

    # ---- PLANT-FS1: manufacturing plant in Illinois over a slow WAN link, on Central time
    rng = random.Random(808)
    up = 19 * 86400 + 5 * 3600 + 27 * 60
    conns = [conn(1, "PLANT-FS1.PLANT.ACMEMFG.ILLINOIS.US", "NLM", "0x0200", up // 60 - 1, 2345678, 345678, 7123,
                  object_type=4)]
    users = full(PLANT, "PLANT.ACMEMFG.ILLINOIS.US")
    more, last = user_conns(rng, "PLANT-FS1", 1, users, 8, up // 60, fp("PLANT-FS1"), ["IPX", "IP", "IP"],
                            skip={4})
    conns += more
    conns += [conn(4, ADMIN_USER, "IP", "0x0020", 184, 65536, 16384, 300)]
    conns += not_logged_in([last + 2, last + 3], rng)
    servers.append({
        "name": "PLANT-FS1", "tree": "ACME_TREE", "ownConnection": 4, "context": "PLANT.ACMEMFG.ILLINOIS.US",
        "version": "5.70.5", "company": "Novell, Inc.", "revisionText": "NetWare 6.5 Support Pack 5",
        "notice": "(C) Copyright 1983-2006 Novell, Inc. All Rights Reserved. Patent pending.",
        "dsVersion": 10550, "upSeconds": up, "clockOffsetSeconds": -3600, "latencyMs": 120,
        "utilization": {"min": 3, "max": 25, "seed": 21},
        "volumes": [vol("SYS", 10, 0.52, 0.01, 0.0), ADMIN, vol("DATA", 80, 0.61, 0.02, 0.0)],
        "nlms": sp_list(SP6, drop=("CIFS.NLM",), replace={"NSS.NLM": ("3.24.0", "2006-03-02"),
                                                          "APACHE2.NLM": ("2.0.52", "2005-11-09")}),
        "setParameters": set_list({"Time Zone": "CST6CDT", "TIMESYNC Time Sources": "HQ-FS1;",
                                   "Bindery Context": "PLANT.ACMEMFG.ILLINOIS.US", "SLP DA Discovery Options": 3,
                                   "Maximum Physical Receive Packet Size": 1514},
                                  raw={"Maximum Outstanding NCP Searches": "00 01 00 00",
                                       "Compression Daily Check Starting Hour": "00 00 00 00"}),
        "connections": conns,
    })

    # ---- GLX-FS1: the partner company's tree, which this workstation is not logged in to
    rng = random.Random(909)
    up = 22 * 86400
    conns = [conn(1, "GLX-FS1.OPS.GLOBEX", "NLM", "0x0200", up // 60 - 1, 3345678, 445678, 8123, object_type=4)]
    more, last = user_conns(rng, "GLX-FS1", 1, GLOBEX, 6, up // 60, [], ["IP"])
    conns += more
    conns += not_logged_in([last + 1, last + 2], rng)
    servers.append({
        "name": "GLX-FS1", "tree": "GLOBEX_TREE", "context": "OPS.GLOBEX",
        "version": "5.70.8", "company": "Novell, Inc.", "revisionText": "NetWare 6.5 Support Pack 8",
        "dsVersion": 10552, "upSeconds": up, "utilization": {"min": 10, "max": 50, "seed": 2},
        "volumes": [vol("SYS", 20, 0.5), ADMIN, vol("USERS", 60, 0.7)],
        "connections": conns,
    })
    for s in servers:
        s["connections"].sort(key=lambda c: c["number"])
    return servers

# --------------------------------------------------------------------------- trees


def replica(server, type_, number, state=0, modified=None):
    r = {"server": server, "type": type_, "state": state, "replicaNumber": number}
    if modified:
        r["modified"] = modified
    return r


def build_trees():
    ou = "Organizational Unit"
    acme = {
        "name": "ACME_TREE",
        "containers": [
            {"name": "ACME", "class": "Organization", "children": [
                {"name": "SALES", "class": ou, "children": [
                    {"name": "EAST", "class": ou}, {"name": "WEST", "class": ou}]},
                {"name": "ENG", "class": ou, "children": [
                    {"name": "DEV", "class": ou}, {"name": "QA", "class": ou}]},
                {"name": "HQ", "class": ou, "children": [
                    {"name": "IT", "class": ou}, {"name": "FINANCE", "class": ou}]},
                {"name": "NEWYORK", "class": "Locality", "children": [
                    {"name": "SHOWROOM", "class": ou}]},
            ]},
            {"name": "US", "class": "Country", "children": [
                {"name": "ILLINOIS", "class": "Locality", "children": [
                    {"name": "ACMEMFG", "class": "Organization", "children": [
                        {"name": "PLANT", "class": ou}]}]}]},
            {"name": "com", "class": "Domain", "children": [
                {"name": "acme", "class": "Domain", "children": [
                    {"name": "DMZ", "class": ou}]}]},
        ],
        "users": [
            {"name": "admin", "context": "ACME", "password": "novell"},
            {"name": "NETADMIN", "context": "IT.HQ.ACME", "password": "novell"},
            {"name": "JSMITH", "context": "EAST.SALES.ACME", "password": "sales"},
            {"name": "BWHITE", "context": "DEV.ENG.ACME", "password": "orion"},
        ],
        "partitions": [
            {"name": "[Root]", "replicas": [
                replica("FS1", 0, 1, 0, "2026-12-05T22:14:09"),
                replica("HQ-FS1", 1, 2, 0, "2026-12-05T22:14:11"),
                replica("VAULT1", 1, 3, 0, "2026-11-28T03:02:45"),
                replica("PLANT-FS1", 2, 4, 0, "2026-12-05T21:14:52")]},
            {"name": "SALES.ACME", "replicas": [
                replica("FS1", 0, 1, 0, "2026-12-06T09:41:27"),
                replica("FS2", 1, 2, 0, "2026-12-06T09:41:30"),
                replica("HQ-FS1", 1, 3, 0, "2026-12-06T09:41:33"),
                replica("VAULT1", 3, 4, 0, "2026-11-28T03:02:47"),
                replica("PLANT-FS1", 3, 5, 0, "2026-12-06T08:42:04")]},
            {"name": "ENG.ACME", "replicas": [
                replica("ENG-FS1", 0, 1, 0, "2026-12-06T11:02:18"),
                replica("FS2", 2, 2, 1, "2026-12-06T10:58:00"),
                replica("FS1", 3, 3, 0, "2026-12-06T11:02:20"),
                replica("HQ-FS1", 3, 4, 0, "2026-12-06T11:02:21"),
                replica("VAULT1", 1, 5, 6, "2026-11-28T03:01:13"),
                replica("PLANT-FS1", 3, 6, 0, "2026-12-06T10:02:55")]},
            {"name": "IT.HQ.ACME", "replicas": [
                replica("MAIL1", 0, 1, 0, "2026-12-06T07:15:40"),
                replica("HQ-FS1", 1, 2, 0, "2026-12-06T07:15:42"),
                replica("VAULT1", 1, 3, 0, "2026-11-28T03:02:50"),
                replica("FS1", 3, 4, 0, "2026-12-06T07:15:43"),
                replica("PLANT-FS1", 3, 5, 0, "2026-12-06T06:16:10")]},
            {"name": "ACMEMFG.ILLINOIS.US", "replicas": [
                replica("PLANT-FS1", 0, 1, 0, "2026-12-06T05:30:12"),
                replica("HQ-FS1", 1, 2, 4, "2026-12-06T06:29:58"),
                replica("FS1", 3, 3, 0, "2026-12-06T06:30:01"),
                replica("VAULT1", 3, 4, 0, "2026-11-28T03:02:52")]},
            {"name": "DMZ.acme.com", "replicas": [
                replica("GW1", 0, 1, 0, "2026-12-04T16:20:33"),
                replica("HQ-FS1", 1, 2, 64, "2026-12-04T16:21:05"),
                replica("FS1", 3, 3, 0, "2026-12-04T16:20:35"),
                replica("VAULT1", 3, 4, 0, "2026-11-28T03:02:55"),
                replica("PLANT-FS1", 3, 5, 0, "2026-12-04T15:21:40")]},
        ],
    }
    globex = {
        "name": "GLOBEX_TREE", "reachable": False,
        "containers": [
            {"name": "GLOBEX", "class": "Organization", "children": [
                {"name": "OPS", "class": ou}, {"name": "RND", "class": ou}]}],
        "users": [{"name": "admin", "context": "GLOBEX", "password": "globex"}],
        "partitions": [
            {"name": "[Root]", "replicas": [replica("GLX-FS1", 0, 1, 0, "2026-12-06T01:00:00")]},
            {"name": "OPS.GLOBEX", "replicas": [replica("GLX-FS1", 0, 1, 0, "2026-12-06T01:00:05")]}],
    }
    return [acme, globex]

# --------------------------------------------------------------------------- output


def compact(value):
    return json.dumps(value, ensure_ascii=False, separators=(", ", ": "))


def emit(value, indent=0, width=200):
    pad = "  " * indent
    text = compact(value)
    flat = isinstance(value, dict) and not any(isinstance(v, (dict, list)) for v in value.values())
    if flat or len(text) + len(pad) <= width or not isinstance(value, (dict, list)) or not value:
        return text
    inner = "  " * (indent + 1)
    if isinstance(value, list):
        items = [inner + emit(v, indent + 1, width) for v in value]
        return "[\n" + ",\n".join(items) + "\n" + pad + "]"
    items = [inner + json.dumps(k) + ": " + emit(v, indent + 1, width) for k, v in value.items()]
    return "{\n" + ",\n".join(items) + "\n" + pad + "}"


def main():
    servers = build_servers()
    network = {
        "format": 1,
        "fileRoot": "volumes",
        "workstation": {
            "tree": "ACME_TREE", "context": "ACME",
            "logins": {"ACME_TREE": ADMIN_USER},
            "drives": {"F": "FS1/SYS:", "G": "FS1/DATA:", "H": "FS1/HOME:", "Y": "FS1/SYS:PUBLIC",
                       "Z": "FS1/SYS:PUBLIC"},
        },
        "trees": build_trees(),
        "servers": servers,
    }
    if os.path.isdir(os.path.join(OUT, "volumes")):
        shutil.rmtree(os.path.join(OUT, "volumes"))
    os.makedirs(OUT, exist_ok=True)
    with open(os.path.join(OUT, "network.json"), "w", encoding="utf-8") as f:
        f.write(emit(network) + "\n")
    demofiles.write_all(os.path.join(OUT, "volumes"))
    abends.write_all(os.path.join(OUT, "volumes"), {s["name"]: s for s in servers})


if __name__ == "__main__":
    main()
