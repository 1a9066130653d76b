#include "netware/sim/SimDefaults.h"

namespace nw::sim {

namespace {

Nlm module(quint32 number, const char* file, const char* name, quint32 major, quint32 minor, quint32 revision,
           quint32 year, quint32 month, quint32 day)
{
    Nlm nlm;
    nlm.number = number;
    nlm.file = QString::fromLatin1(file);
    nlm.name = QString::fromLatin1(name);
    nlm.notice = QStringLiteral("(C) Copyright 1983-2008 Novell, Inc. All Rights Reserved.");
    nlm.major = major;
    nlm.minor = minor;
    nlm.revision = revision;
    nlm.year = year;
    nlm.month = month;
    nlm.day = day;
    return nlm;
}

SetParameter parameter(const char* name, quint32 category, quint32 type, QByteArray value)
{
    return SetParameter{QString::fromLatin1(name), category, type, std::move(value)};
}

QByteArray onOff(bool on)
{
    return QByteArray(1, on ? '\1' : '\0');
}

}  // namespace

QByteArray numberValue(quint32 value)
{
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

// Every server the description leaves without modules or parameters gets a
// copy of the same lists; the copies share the texts of one set.
std::vector<Nlm> defaultNlms()
{
    static const std::vector<Nlm> nlms{
        module(1, "SERVER.NLM", "NetWare Server Operating System", 5, 70, 8, 2008, 10, 3),
        module(2, "NWKCFG.NLM", "NetWare Kernel Config NLM", 2, 16, 0, 2007, 9, 17),
        module(3, "ACPIDRV.PSM", "ACPI Platform Support Module", 1, 5, 5, 2006, 11, 2),
        module(4, "NSS.NLM", "NetWare Storage Services", 3, 27, 1, 2008, 9, 24),
        module(5, "CLIB.NLM", "(Legacy) Standard C Runtime Library for NLMs", 5, 90, 15, 2008, 8, 1),
        module(6, "LIBC.NLM", "Standard C Runtime Library for NLMs", 9, 0, 5, 2008, 8, 29),
        module(7, "DS.NLM", "eDirectory", 20217, 7, 0, 2008, 12, 19),
        module(8, "TCPIP.NLM", "Novell TCP/IP Stack - Network module", 6, 82, 2, 2008, 6, 20),
        module(9, "MONITOR.NLM", "NetWare Console Monitor", 12, 2, 1, 2008, 3, 11),
        module(10, "NWPA.NLM", "NetWare Peripheral Architecture", 3, 21, 2, 2007, 12, 5),
        module(11, "SMDR.NLM", "SMS - Storage Data Requestor", 6, 58, 1, 2008, 2, 14),
        module(12, "PKI.NLM", "Novell Certificate Server", 3, 32, 0, 2008, 5, 7),
    };
    return nlms;
}

std::vector<SetParameter> defaultSetParameters()
{
    static const std::vector<SetParameter> parameters{
        parameter("Maximum Packet Receive Buffers", 1, 0, numberValue(10000)),
        parameter("Minimum Packet Receive Buffers", 1, 0, numberValue(2000)),
        parameter("Maximum Physical Receive Packet Size", 1, 0, numberValue(4224)),
        parameter("Enable Disk Read After Write Verify", 7, 1, onOff(false)),
        parameter("Read Ahead Enabled", 3, 1, onOff(true)),
        parameter("Dirty Directory Cache Delay Time", 3, 2, numberValue(9)),
        parameter("Dirty Disk Cache Delay Time", 4, 2, numberValue(59)),
        parameter("Minimum File Cache Buffers", 4, 0, numberValue(20)),
        parameter("Maximum Concurrent Disk Cache Writes", 4, 0, numberValue(750)),
        parameter("Immediate Purge Of Deleted Files", 4, 1, onOff(false)),
        parameter("Maximum Record Locks Per Connection", 5, 0, numberValue(500)),
        parameter("Maximum File Locks Per Connection", 5, 0, numberValue(250)),
        parameter("Auto TTS Backout Flag", 6, 1, onOff(true)),
        parameter("Console Display Watchdog Logouts", 2, 1, onOff(false)),
        parameter("Number Of Watchdog Packets", 2, 0, numberValue(10)),
        parameter("Delay Between Watchdog Packets", 2, 2, numberValue(1092)),
        parameter("Time Zone", 8, 5, QByteArrayLiteral("CET-1CEST")),
        parameter("Default Time Server Type", 8, 5, QByteArrayLiteral("SINGLE")),
        parameter("NDS Trace To Screen", 12, 1, onOff(false)),
        parameter("Allow Unencrypted Passwords", 2, 1, onOff(false)),
    };
    return parameters;
}

std::vector<Volume> defaultVolumes()
{
    Volume sys;
    sys.name = QStringLiteral("SYS");
    sys.number = 0;
    sys.sectorsPerBlock = 8;
    sys.totalBlocks = 2621440;  // 10 GB in 4 KB blocks
    sys.availableBlocks = 1310720;
    sys.purgeableBlocks = 20480;
    sys.notYetPurgeableBlocks = 512;
    return {sys};
}

QString defaultCompany()
{
    return QStringLiteral("Novell, Inc.");
}
QString defaultRevisionText()
{
    return QStringLiteral("NetWare 6.5 Support Pack 8");
}
QString defaultRevisionDate()
{
    return QStringLiteral("October 3, 2008");
}
QString defaultNotice()
{
    return QStringLiteral("(C) Copyright 1983-2008 Novell, Inc. All Rights Reserved.");
}

}  // namespace nw::sim
