// The in-memory ini file behind every store data file, scenario file and list file: the whole file
// is read into memory, changed there and written back whole. It keeps the conventions of the ini
// files that stores made on Windows hold, so that those files read and write byte for byte alike:
// sections and keys are found without regard to case and keep the spelling they were first given,
// sections and keys stay in file order, new keys go to the end of their section and new sections
// to the end of the file.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <list>

namespace qv {

class IniFile {
public:
    enum class LoadStatus {
        Loaded,
        Missing,    // no such file: the ini is empty, which is no error
        Unreadable, // the file is there but could not be read: the ini is empty
    };

    IniFile() = default;
    IniFile(const IniFile& other);
    IniFile& operator=(const IniFile& other);
    IniFile(IniFile&&) = default;
    IniFile& operator=(IniFile&&) = default;

    // Text with a byte-order mark is read as UTF-8 or UTF-16LE, text without one as Windows-1252.
    // Blank lines, comment lines (';') and lines before the first section are dropped; names and
    // values are trimmed around the first '='; a section repeated further down continues the first.
    static IniFile FromBytes(const QByteArray& bytes);
    // Each section as "[name]", its lines and one empty line, every line ending in CR LF; in
    // Windows-1252 when every character has a byte there, else in UTF-8 with a byte-order mark.
    QByteArray ToBytes() const;

    // Replaces the content with the file's (host path). On Missing and Unreadable the ini is empty;
    // errorText, when given, receives the reason of an Unreadable.
    LoadStatus Load(const QString& hostPath, QString* errorText = nullptr);
    // Replaces the file atomically (temporary file, fsync, rename): false, with the reason in
    // errorText, when it could not be written, and then the old file is left as it was.
    bool Save(const QString& hostPath, QString* errorText = nullptr) const;

    // The text after the key's first '=', or the default when the section or key is missing.
    QString ReadString(const QString& section, const QString& key,
                       const QString& defaultValue) const;
    void WriteString(const QString& section, const QString& key, const QString& value);
    // Decimal text, or hexadecimal after "0x" or "$"; the default when missing or not a number.
    int ReadInteger(const QString& section, const QString& key, int defaultValue) const;
    void WriteInteger(const QString& section, const QString& key, int value);
    // Any integer other than 0 is true; written as "1" and "0".
    bool ReadBool(const QString& section, const QString& key, bool defaultValue) const;
    void WriteBool(const QString& section, const QString& key, bool value);

    // The names of all sections, in file order.
    QStringList ReadSections() const;
    // The names of the section's keys, in file order.
    QStringList ReadSection(const QString& section) const;
    // The section's lines as they stand ("name=value", and any line without '=' read from a file).
    QStringList ReadSectionValues(const QString& section) const;
    // True when the section is there and holds at least one line.
    bool SectionExists(const QString& section) const;
    bool ValueExists(const QString& section, const QString& key) const;

    void EraseSection(const QString& section);
    // Removes the key; its section stays, even when it is left empty.
    void DeleteKey(const QString& section, const QString& key);
    void Clear();

private:
    struct Section {
        QString name;
        QStringList lines;
    };
    using SectionList = std::list<Section>;

    const Section* FindSection(const QString& name) const;
    Section& SectionForWriting(const QString& name);
    void RebuildIndex();

    SectionList sections_;
    // Case-folded section name -> its place in sections_, so that caches of thousands of
    // sections are looked up without a walk.
    QHash<QString, SectionList::iterator> index_;
};

} // namespace qv
