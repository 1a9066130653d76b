#pragma once
// The key tree of a registry export file (.reg), as regedit writes and reads
// it. Veskaro keeps its settings in such a file where there is no registry,
// so that a Windows user can import the same file with regedit.
//
// Reading accepts what regedit exports: "REGEDIT4" (ANSI) and "Windows
// Registry Editor Version 5.00" (UTF-16LE with byte-order mark, or UTF-8),
// comments, "@" default values, hex values continued over several lines, and
// deletions ("[-key]", "name"=-). Values of types Veskaro does not use (dword,
// binary, expandable and multi strings) are kept as they are and written
// back, so a hand-merged file loses nothing.

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace settings::regfile {

constexpr quint32 kTypeString = 1;         // REG_SZ
constexpr quint32 kTypeExpandString = 2;   // REG_EXPAND_SZ
constexpr quint32 kTypeBinary = 3;         // REG_BINARY
constexpr quint32 kTypeDword = 4;          // REG_DWORD
constexpr quint32 kTypeMultiString = 7;    // REG_MULTI_SZ

struct Value {
    QString name;              // empty for the key's default value ("@")
    quint32 type = kTypeString;
    bool textual = true;       // text holds the data; otherwise raw does
    QString text;              // REG_SZ without its terminator; other text types exactly as stored
    QByteArray raw;
    // For a text type kept as raw bytes (odd-length UTF-16, a REG_SZ without
    // terminator): the encoding the bytes are in, so that the file is written
    // back in that encoding and the bytes keep their meaning.
    enum class RawText : quint8 { None, Ansi, Unicode };
    RawText rawText = RawText::None;
    friend bool operator==(const Value&, const Value&) = default;
};

struct Key {
    QString path;              // full path with the hive, in the case it was first written
    QList<Value> values;       // ordered by name, case-insensitively
    friend bool operator==(const Key&, const Key&) = default;
};

// Keys by full path ("HKEY_CURRENT_USER\Software\Korvanel"). Like the
// registry, names of keys and values compare case-insensitively and keep the
// case in which they were first written.
class Tree {
public:
    // The registry's own limit on levels below the hive; deeper paths are refused.
    static constexpr int kMaxDepth = 512;


    // A path is usable when it has no empty component, no line break or NUL,
    // which a .reg file could not hold, and at most kMaxDepth levels below the hive.
    static bool isValidPath(const QString& path);
    static bool isValidValueName(const QString& name);

    const Key* find(const QString& path) const;
    // Adds the key and its missing parents; the path must be valid.
    Key& ensure(const QString& path);
    void removeSubtree(const QString& path);
    // Names of the direct sub-keys, ordered case-insensitively.
    QStringList children(const QString& path) const;

    static const Value* findValue(const Key& key, const QString& name);
    // Replaces the value of the same name (keeping its written name) or adds it.
    static void putValue(Key& key, Value value);
    static bool removeValue(Key& key, const QString& name);

    const QMap<QString, Key>& keys() const { return m_keys; }
    // The form under which keys are filed: case-folded, the separator sorting first.
    static QString fold(const QString& path);
    bool isEmpty() const { return m_keys.isEmpty(); }
    friend bool operator==(const Tree&, const Tree&) = default;

private:
    Key* findMutable(const QString& path);
    QMap<QString, Key> m_keys;   // ordered so that a key's sub-keys follow it
};

struct ParseResult {
    bool ok = false;
    Tree tree;
    int errorLine = 0;         // 1-based line of the first fault
    QString error;             // what is wrong there, for the user
};

ParseResult parse(const QByteArray& bytes);

// REGEDIT4 in Windows-1252 when every name and text has a Windows-1252 byte,
// otherwise the whole file as "Windows Registry Editor Version 5.00" in
// UTF-16LE with byte-order mark, as regedit itself exports Unicode text.
QByteArray serialize(const Tree& tree);

}  // namespace settings::regfile
