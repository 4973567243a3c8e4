// The in-memory ini file behind every store data file, scenario file and list file: the whole file
// is read into memory, changed there and written back whole. It keeps the conventions of the ini
// files that stores made on Windows hold, so that those files read and write byte for byte alike:
// sections and keys are found without regard to case and keep the spelling they were first given,
// sections and keys stay in file order, new keys go to the end of their section and new sections
// to the end of the file.
#pragma once

#include "platform/casefold.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <functional>
#include <list>
#include <optional>

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
    IniFile(IniFile&& other) noexcept;
    IniFile& operator=(IniFile&& other) noexcept;

    // Text with a byte-order mark is read as UTF-8 or UTF-16LE, text without one as Windows-1252.
    // Blank lines, comment lines (';') and lines before the first section are dropped; names and
    // values are trimmed around the first '=', section names stand as written between their
    // brackets; a section repeated further down continues the first.
    static IniFile FromBytes(const QByteArray& bytes);
    // Each section as "[name]", its lines and one empty line, every line ending in CR LF; in
    // Windows-1252 when every character has a byte there, else in UTF-8 with a byte-order mark,
    // or in UTF-16LE with one when a text holds half a surrogate pair, which UTF-8 cannot hold.
    QByteArray ToBytes() const;

    // The text after the key's first '=', less one pair of double quotes around it, or the
    // default when the section or key is missing. A value written with a blank at either end, or
    // inside quotes, is written inside a pair of quotes, so that it reads back as it was.
    QString ReadString(const QString& section, const QString& key,
                       const QString& defaultValue) const;
    // A line break in the value is written as a blank. A section or key whose name the file
    // cannot hold (see CanHoldSection, CanHoldKey) is refused: false, and nothing changes.
    bool WriteString(const QString& section, const QString& key, const QString& value);
    // WriteString of each key in turn with the value in the same place. A section not there yet
    // is made with all its lines at once, with no look-up of each key, as a cache rebuild adds
    // tens of thousands of them. False when a name was refused (the others are written).
    bool WriteValues(const QString& section, const QStringView* keys, const QStringView* values,
                     std::size_t count);
    // Whether a name written reads back from the file as it is: a section name holds no line
    // break; a key holds no line break and no '=', does not begin with ';' (a comment) and has
    // no blank or control character at either end (reading trims them).
    static bool CanHoldSection(QStringView name);
    static bool CanHoldKey(QStringView name);
    // Decimal text, or hexadecimal after "0x" or "$"; the default when missing or not a number.
    int ReadInteger(const QString& section, const QString& key, int defaultValue) const;
    void WriteInteger(const QString& section, const QString& key, int value);
    // ReadString and ReadInteger that leave the last section looked up as it was (the reads
    // above remember it, for the next lookup nearby): safe on several threads at once while
    // nothing changes the file.
    QString PeekString(const QString& section, const QString& key,
                       const QString& defaultValue) const;
    int PeekInteger(const QString& section, const QString& key, int defaultValue) const;
    // Several keys of one section, found with one lookup of the section and one walk through its
    // lines, as the Peek reads find them: `values` gets a view of each key's text (into the ini,
    // good until it next changes), or a null view for a key the section lacks. False, with every
    // view null, when the section is missing.
    bool PeekValues(const QString& section, const QStringView* keys, std::size_t count,
                    QStringView* values) const;
    // A value's text read as an integer, as ReadInteger reads it.
    static int ToInteger(QStringView text, int defaultValue);
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
    // SectionExists that leaves the last section looked up as it was, as the Peek reads do.
    bool PeekSectionExists(const QString& section) const;
    bool ValueExists(const QString& section, const QString& key) const;

    // Makes room for that many more sections, so that writing thousands of new sections one by
    // one does not grow the index again and again.
    void ReserveSections(qsizetype more);

    void EraseSection(const QString& section);
    // Erases every section that `keep`, called with each section's name in file order, does not
    // keep; true when one was erased.
    bool EraseSectionsExcept(const std::function<bool(const QString&)>& keep);
    // Removes the key; its section stays, even when it is left empty.
    void DeleteKey(const QString& section, const QString& key);
    void Clear();

    // Moves on with every call that may change the content (writes, erasures, clearing,
    // assignment), so that a holder can tell an ini it was given from one changed since.
    quint64 Changes() const { return changes_; }

private:
    // A section's lines are kept in one text, each line ended by '\n' (which no line holds):
    // caches of tens of thousands of sections then cost a few allocations per section, not one
    // per line.
    struct Section {
        QString name;
        QString body;
        // A long section also finds its keys through an index: each key name (without regard to
        // case) -> where its first line starts in the body, so that reading every key of a
        // section of thousands costs no walk for each. Short ones, nearly all, are walked.
        bool indexed = false;
        QHash<FoldedName, qsizetype> keys;
    };
    using SectionList = std::list<Section>;

    // Where the key's first line starts in the section's body, -1 when it has none.
    static qsizetype KeyLine(const Section& section, QStringView key);
    // The body has grown from `from` on: its new keys join the index, which a section gets
    // once it is long.
    static void KeysAdded(Section& section, qsizetype from);

    const Section* FindSection(const QString& name) const;
    Section& SectionForWriting(const QString& name);
    // The section of that exact name when it is the one remembered or the one after it.
    SectionList::iterator RememberedSection(const QString& name) const;
    // The section of that name found through the index alone, leaving the remembered one be.
    const Section* PeekSection(const QString& name) const;
    // The value of the key in the section; false when either is missing. Without `remember`
    // the section is peeked at.
    bool FindValue(const QString& section, const QString& key, QStringView* value,
                   bool remember = true) const;
    void RebuildIndex();
    // ToBytes in Windows-1252, made straight from the sections; nothing when a character has no
    // byte there.
    std::optional<QByteArray> ToWindows1252() const;
    void Remember(const QString& name, SectionList::iterator place) const;
    void ForgetLastSection() const;

    SectionList sections_;
    quint64 changes_ = 0;
    // Section name (without regard to case) -> its place in sections_, so that caches of
    // thousands of sections are looked up without a walk.
    QHash<FoldedName, SectionList::iterator> index_;
    // The section last looked up or made, by the name as it was asked for (its place is the end
    // when there was none of that name). A cache reader asks for one section several times in a
    // row and for the sections mostly in file order, so the remembered section and the one after
    // it spare folding the name and hashing it. Making a section replaces what is remembered and
    // erasing one forgets it, so it never names a section that changed. An ini is used from one
    // thread at a time.
    mutable bool lastKnown_ = false;
    mutable QString lastName_;
    mutable SectionList::iterator lastPlace_;
};

} // namespace qv
