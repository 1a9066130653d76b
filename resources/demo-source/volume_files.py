# Volume contents of the demo network: a modest set of small files.
import os

ADDR = {"FS1": "10.10.1.11", "FS2": "10.10.1.12", "ENG-FS1": "10.20.1.11", "HQ-FS1": "10.1.1.10",
        "MAIL1": "10.1.1.20", "PRINT1": "10.1.1.30", "GW1": "10.1.1.1", "PLANT-FS1": "10.40.1.10",
        "GLX-FS1": "172.16.5.10"}
CONTEXT = {"FS1": "SALES.ACME", "FS2": "SALES.ACME", "ENG-FS1": "ENG.ACME", "HQ-FS1": "HQ.ACME",
           "MAIL1": "IT.HQ.ACME", "PRINT1": "HQ.ACME", "GW1": "DMZ.acme.com",
           "PLANT-FS1": "PLANT.ACMEMFG.ILLINOIS.US", "GLX-FS1": "OPS.GLOBEX"}
ZONE = {"PLANT-FS1": "CST6CDT", "GLX-FS1": "PST8PDT"}


def stub(kind):
    return "Placeholder for %s.\r\n" % kind


def autoexec(server, extra):
    zone = ZONE.get(server, "EST5EDT")
    lines = [
        "# AUTOEXEC.NCF for %s" % server,
        "SET Time Zone = %s" % zone,
        "SET Daylight Savings Time Offset = 1:00:00",
        "SET Start Of Daylight Savings Time = (MARCH SUNDAY SECOND 2:00:00 AM)",
        "SET End Of Daylight Savings Time = (NOVEMBER SUNDAY FIRST 2:00:00 AM)",
        "SET Bindery Context = %s" % CONTEXT[server],
        "FILE SERVER NAME %s" % server,
        "SERVERID %08X" % (0x1A2B0000 + sum(map(ord, server))),
        "LOAD ETHERTSM.NLM",
        "LOAD E1000.LAN SLOT=10001 FRAME=ETHERNET_II NAME=E1000_1_EII",
        "BIND IP E1000_1_EII ADDR=%s MASK=255.255.255.0" % ADDR[server],
        "MOUNT ALL",
    ] + extra + ["LOAD MONITOR", ""]
    return "\r\n".join(lines)


def syslog(server, version):
    return ("12-01-2026  6:02:11 am:    SERVER-%s-4645 [nmID=B0013]\r\n"
            "     Server %s started.\r\n\r\n"
            "12-01-2026  6:02:40 am:    DS-10552.79-29\r\n"
            "     Directory Services: Local database is open.\r\n\r\n"
            "12-04-2026  2:17:05 pm:    SERVER-%s-2389 [nmID=1001C]\r\n"
            "     Volume SYS is almost out of disk space.\r\n\r\n") % (version, server, version)


def common_sys(server, version, extra_ncf=()):
    return {
        "LOGIN/LOGIN.EXE": stub("the DOS login program"),
        "LOGIN/SLIST.BAT": "@ECHO OFF\r\nNLIST SERVER /B\r\n",
        "PUBLIC/NLIST.EXE": stub("the NLIST utility"),
        "PUBLIC/MAP.EXE": stub("the MAP utility"),
        "PUBLIC/CAPTURE.EXE": stub("the CAPTURE utility"),
        "PUBLIC/NCOPY.EXE": stub("the NCOPY utility"),
        "SYSTEM/AUTOEXEC.NCF": autoexec(server, list(extra_ncf)),
        "SYSTEM/SYS$LOG.ERR": syslog(server, version),
        "ETC/HOSTS": "127.0.0.1\tloopback localhost\r\n%s\t%s %s.acme.com\r\n"
                     % (ADDR[server], server.lower(), server.lower()),
        "ETC/RESOLV.CFG": "domain acme.com\r\nnameserver 10.1.1.53\r\n",
    }


def tree():
    t = {}
    t["FS1"] = {
        "SYS": dict(common_sys("FS1", "5.70", ["LOAD SLPDA", "LOAD AFPTCP", "CIFSSTRT.NCF"]), **{
            "PUBLIC/REPORT.TXT": "Weekly sales report\r\nRegion  Units  Revenue\r\nEAST    1204   $311,450\r\n"
                                 "WEST     987   $268,112\r\n",
            "PUBLIC/readme.txt": "Client software for the sales department is in SYS:PUBLIC\\CLIENT.\r\n",
        }),
        "DATA": {
            "APPS/Data Files/Q4 Report.xls": stub("an Excel workbook"),
            "APPS/Data Files/Q3 Report.xls": stub("an Excel workbook"),
            "APPS/Data Files/Quarterly Report Q3.doc": stub("a Word document"),
            "APPS/Data Files/Quarterly Report Q4.doc": stub("a Word document"),
            "APPS/Data Files/Customer List.mdb": stub("an Access database"),
            "APPS/Accounting/GL.DAT": stub("a general ledger data file"),
            "APPS/Accounting/AP.DAT": stub("an accounts payable data file"),
            "APPS/Accounting/LEDGER.IDX": stub("a ledger index"),
            "SHARED/Price List 2026.xls": stub("an Excel workbook"),
            "SHARED/Forms/Expense Form.doc": stub("a Word form"),
            "SHARED/Forms/TRAVEL.DOC": stub("a Word form"),
        },
        "HOME": {
            "JSMITH/notes.old.txt": "Call Globex about the renewal before Friday.\r\n",
            "JSMITH/Pipeline.xls": stub("an Excel workbook"),
            "MJONES/Letters/Offer Letter.doc": stub("a Word document"),
            "PBROWN/CONTACTS.TXT": "Acme Hardware, Springfield  555-0142\r\n",
            "KWILSON/Mail Merge.doc": stub("a Word document"),
            "RGARCIA/Territory Plan.ppt": stub("a PowerPoint presentation"),
            "DLEE/todo.txt": "- update price list\r\n- book trade show booth\r\n",
        },
    }
    t["FS2"] = {
        "SYS": common_sys("FS2", "5.70"),
        "DATA": {
            "Territories/West Region Plan.xls": stub("an Excel workbook"),
            "Territories/East Region Plan.xls": stub("an Excel workbook"),
            "Territories/WESTMAP.PDF": stub("a PDF map"),
            "Contracts/Master Services Agreement.doc": stub("a Word document"),
            "Contracts/NDA Template.doc": stub("a Word document"),
            "Contracts/Signed/ACME-0042.PDF": stub("a signed contract"),
        },
    }
    t["ENG-FS1"] = {
        "SYS": dict(common_sys("ENG-FS1", "5.70", ["LOAD MYSQLD", "TOMCAT4.NCF"])),
        "PROJECTS": {
            "Orion/src/main.c": "int main(void)\n{\n    return orion_run();\n}\n",
            "Orion/src/network_layer.c": "/* transport glue for the Orion agent */\n",
            "Orion/src/MAKEFILE": "all:\n\tmwccnlm -o orion.nlm src/*.c\n",
            "Orion/Design Notes.txt": "Orion 2.4: move the polling loop out of the UI thread.\n",
            "Orion/Test Plans/Release 2.4 Test Plan.doc": stub("a Word document"),
            "Builds/nightly.log": "Build 117 started 01:00\nBuild 117 finished 01:42, 0 errors\n",
        },
        "BUILDS": {
            "orion-2.4.0-b117.zip": stub("a build archive"),
            "orion-2.4.0-b116.zip": stub("a build archive"),
        },
    }
    t["HQ-FS1"] = {
        "SYS": common_sys("HQ-FS1", "5.70", ["LOAD AFPTCP"]),
        "APPS": {
            "Office 2003/SETUP.INI": "[Options]\r\nCOMPANYNAME=Acme Corporation\r\n",
            "GroupWise Client/SETUP.CFG": "[GWSetup]\r\nPOA=10.1.1.20\r\n",
        },
        "FINANCE": {
            "Budget 2027/Budget 2027 Draft.xls": stub("an Excel workbook"),
            "Budget 2027/Budget 2026 Final.xls": stub("an Excel workbook"),
            "Payroll/PAYROLL.DAT": stub("a payroll data file"),
            "Payroll/PAYROLL.IDX": stub("a payroll index"),
            "Audit/Audit Findings 2026.doc": stub("a Word document"),
        },
    }
    t["MAIL1"] = {
        "SYS": common_sys("MAIL1", "5.70", ["GRPWISE.NCF"]),
        "MAIL": {
            "GWPO/WPHOST.DB": stub("the post office database"),
            "GWPO/OFUSER/USERJSM.DB": stub("a user database"),
            "GWPO/OFMSG/MSG12.DB": stub("a message database"),
            "GWDOM/WPDOMAIN.DB": stub("the domain database"),
            "GWDOM/MSLOCAL/GWINPROG/0/4A3F21.001": stub("a queued message"),
        },
    }
    t["PRINT1"] = {
        "SYS": dict(common_sys("PRINT1", "5.00", ["LOAD BROKER", "LOAD NDPSM .HQ-NDPSM.HQ.ACME"]), **{
            "NDPS/RESDIR/PRTDB.DAT": stub("the NDPS printer database"),
        }),
    }
    t["GW1"] = {
        "SYS": dict(common_sys("GW1", "5.60", ["STARTBRD.NCF"]), **{
            "ETC/PROXY/PROXY.CFG": "[Cache]\r\nHotDataSize=64\r\n",
            "ETC/PROXY/Cache Index.dat": stub("the proxy cache index"),
        }),
    }
    t["PLANT-FS1"] = {
        "SYS": common_sys("PLANT-FS1", "5.70"),
        "DATA": {
            "Production/Line 1 Schedule.xls": stub("an Excel workbook"),
            "Production/Line 2 Schedule.xls": stub("an Excel workbook"),
            "Production/BOM.DAT": stub("a bill of materials"),
            "Quality/Inspection Log.xls": stub("an Excel workbook"),
            "Shipping/MANIFEST.TXT": "PO 88123  2 pallets  Chicago DC\r\n",
        },
    }
    t["GLX-FS1"] = {"SYS": common_sys("GLX-FS1", "5.70")}
    return t


def open_file_pool(server):
    """Files on the data volumes that ordinary users are likely to hold open."""
    pool = []
    for volume, files in tree().get(server, {}).items():
        if volume == "SYS":
            continue
        for path in files:
            pool.append((volume, path.replace("/", "\\")))
    return pool


def shared_file_pool(server):
    """Files on shared volumes that anyone might hold open; home folders stay with their owners."""
    return [(v, p) for v, p in open_file_pool(server) if v != "HOME"]


def exists(server, volume, path):
    return path.replace("\\", "/") in tree().get(server, {}).get(volume, {})


def write_all(root):
    for server, volumes in tree().items():
        for volume, files in volumes.items():
            for path, content in files.items():
                full = os.path.join(root, server, volume, *path.split("/"))
                os.makedirs(os.path.dirname(full), exist_ok=True)
                with open(full, "w", encoding="ascii", newline="") as f:
                    f.write(content)
