// The settings file reader: any bytes are read without a fault, and what it
// reads is written and read again as the same settings. Reading holds to a
// heap budget in proportion to the file, so that a file of a few kilobytes
// whose keys make the reader keep far more than the file says is a finding.

#include "FuzzSupport.h"

#include "text/CodePage.h"
#include "settings/RegFile.h"

#include <QStringEncoder>

#include <cstdint>
#include <cstdlib>
#include <cstdio>

using namespace settings::regfile;

namespace {

// Raw text bytes of an ANSI file become UTF-16 when the file must be written
// as Unicode; the settings are the same, so both sides are compared in UTF-16.
Tree inUnicode(Tree tree)
{
    Tree out;
    tree.forEachKey([&](const QString& path, const Key& key) {
        Key& copy = out.ensure(path);
        for (Value value : key.values) {
            if (value.rawText == Value::RawText::Ansi) {
                QStringEncoder encoder(QStringEncoder::Utf16LE);
                value.raw = encoder(texts::fromWindows1252(value.raw));
                value.rawText = Value::RawText::Unicode;
            }
            copy.values.append(value);
        }
    });
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzing::HeapPeak::install();
    parse("REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"V\"=\"1\"\r\n");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    fuzzing::HeapPeak::start();
    const ParseResult first = parse(bytes);
    // Each key costs its own name and place, each value its name and data: a
    // few hundred bytes for every byte that names them at the very most.
    fuzzing::requireWithinBudget(size, fuzzing::HeapPeak::peak(), (size_t(256) << 10) + 320 * size, "reading the file");
    if (!first.ok)
        return 0;
    // Deep keys named only by their deepest sub-keys write back far longer
    // than they read; the round trip of those is left to the limits.
    qsizetype pathCharacters = 0;
    first.tree.forEachKey([&](const QString& path, const Key&) { pathCharacters += path.size(); });
    if (pathCharacters > (qsizetype(1) << 16))
        return 0;
    const QByteArray written = serialize(first.tree);
    const ParseResult second = parse(written);
    if (!second.ok) {
        std::fprintf(stderr, "written file unreadable: line %d: %s\n", second.errorLine, qPrintable(second.error));
        std::abort();
    }
    if (!(second.tree == first.tree) && !(inUnicode(second.tree) == inUnicode(first.tree))) {
        std::fprintf(stderr, "settings changed on a round trip\n%s\n", written.toHex().constData());
        std::abort();
    }
    return 0;
}
