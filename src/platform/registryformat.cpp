#include "platform/registryformat.h"

#include <QStringView>

namespace qv {

// ---- the tree ------------------------------------------------------------------------------

QString RegFold(const QString& name) {
    return name.toCaseFolded();
}

RegNode& RegNode::operator=(RegNode&& other) noexcept {
    if (this != &other) {
        RegNode old(std::move(*this)); // freed below, one key at a time
        name = std::move(other.name);
        values = std::move(other.values);
        valueIndex = std::move(other.valueIndex);
        children = std::move(other.children);
    }
    return *this;
}

RegNode::~RegNode() {
    std::vector<std::unique_ptr<RegNode>> pending;
    for (auto& entry : children)
        pending.push_back(std::move(entry.second));
    children.clear();
    while (!pending.empty()) {
        std::unique_ptr<RegNode> node = std::move(pending.back());
        pending.pop_back();
        for (auto& entry : node->children)
            pending.push_back(std::move(entry.second));
        node->children.clear();
    }
}

QString RegPathProblem(const QStringList& parts) {
    if (parts.size() > kMaxRegDepth)
        return QStringLiteral("a key lies more than %1 levels deep").arg(kMaxRegDepth);
    for (const QString& part : parts) {
        if (part.size() > kMaxRegKeyNameLength)
            return QStringLiteral("a key name is longer than %1 characters")
                .arg(kMaxRegKeyNameLength);
    }
    return QString();
}

RegNode* RegNode::Child(const QString& childName) const {
    auto it = children.find(RegFold(childName));
    return it == children.end() ? nullptr : it->second.get();
}

RegNode* RegNode::AddChild(const QString& childName) {
    std::unique_ptr<RegNode>& slot = children[RegFold(childName)];
    if (!slot) {
        slot = std::make_unique<RegNode>();
        slot->name = childName;
    }
    return slot.get();
}

namespace {

// Keys with more values than this have an index of them.
constexpr std::size_t kIndexValuesFrom = 32;

} // namespace

std::size_t RegNode::ValuePlace(const QString& valueName) const {
    if (!valueIndex.isEmpty())
        return valueIndex.value(FoldedName{valueName}, values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (SameWithoutCase(values[i].first, valueName))
            return i;
    }
    return values.size();
}

const RegValue* RegNode::Value(const QString& valueName) const {
    const std::size_t place = ValuePlace(valueName);
    return place < values.size() ? &values[place].second : nullptr;
}

bool RegNode::SetValue(const QString& valueName, const RegValue& value) {
    const std::size_t place = ValuePlace(valueName);
    if (place == values.size()) {
        values.emplace_back(valueName, value);
        if (!valueIndex.isEmpty()) {
            valueIndex.insert(FoldedName{valueName}, place);
        } else if (values.size() > kIndexValuesFrom) {
            for (std::size_t i = 0; i < values.size(); ++i)
                valueIndex.insert(FoldedName{values[i].first}, i);
        }
        return true;
    }
    RegValue& old = values[place].second;
    if (old == value)
        return false;
    old = value;
    return true;
}

bool RegNode::RemoveValue(const QString& valueName) {
    const std::size_t at = ValuePlace(valueName);
    if (at == values.size())
        return false;
    values.erase(values.begin() + qsizetype(at));
    if (!valueIndex.isEmpty()) {
        valueIndex.remove(FoldedName{valueName});
        // The values after it move up one place.
        for (std::size_t& place : valueIndex) {
            if (place > at)
                --place;
        }
    }
    return true;
}

QStringList RegSplitPath(const QString& path) {
    return path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

RegNode* RegFind(RegNode& root, const QStringList& parts) {
    RegNode* node = &root;
    for (const QString& part : parts) {
        node = node->Child(part);
        if (!node)
            return nullptr;
    }
    return node;
}

// ---- shared reading helpers ----------------------------------------------------------------

namespace {

// Lines of a text file without their line ends; a UTF-8 byte-order mark is dropped.
QStringList TextLines(const QByteArray& bytes) {
    QByteArray text = bytes;
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);
    QStringList lines = QString::fromUtf8(text).split(QLatin1Char('\n'));
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    return lines;
}

int HexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// Reads a text between `open` at `pos` and `close`; `pos` ends after the closing character.
// Our own files know \\ \" \n \r; Wine's also \a \b \t \v \f \e, \x (hex) and octal escapes, and
// passes any other escaped character through.
bool ReadQuoted(QStringView line, qsizetype& pos, QChar open, QChar close, bool wine,
                QString* out) {
    out->clear();
    if (pos >= line.size() || line[pos] != open)
        return false;
    ++pos;
    while (pos < line.size()) {
        const QChar c = line[pos++];
        if (c == close)
            return true;
        if (c != QLatin1Char('\\')) {
            out->append(c);
            continue;
        }
        if (pos >= line.size())
            return false;
        const QChar e = line[pos++];
        switch (e.unicode()) {
        case '\\':
        case '"':
            out->append(e);
            continue;
        case 'n':
            out->append(QLatin1Char('\n'));
            continue;
        case 'r':
            out->append(QLatin1Char('\r'));
            continue;
        default:
            break;
        }
        if (!wine)
            return false;
        const char16_t u = e.unicode();
        if (u == 'x') {
            uint code = 0;
            int digits = 0;
            while (digits < 4 && pos < line.size() && HexDigit(line[pos]) >= 0) {
                code = code * 16 + uint(HexDigit(line[pos++]));
                ++digits;
            }
            out->append(QChar(char16_t(code)));
        } else if (u >= '0' && u <= '7') {
            uint code = u - '0';
            for (int digits = 1; digits < 3 && pos < line.size(); ++digits) {
                const char16_t d = line[pos].unicode();
                if (d < '0' || d > '7')
                    break;
                code = code * 8 + (d - '0');
                ++pos;
            }
            out->append(QChar(char16_t(code)));
        } else {
            static const QString from = QStringLiteral("abtvfe");
            static const char16_t to[] = {7, 8, 9, 11, 12, 27};
            const qsizetype at = from.indexOf(e);
            out->append(at >= 0 ? QChar(to[at]) : e);
        }
    }
    return false;
}

void SkipBlanks(QStringView line, qsizetype& pos) {
    while (pos < line.size() && (line[pos] == QLatin1Char(' ') || line[pos] == QLatin1Char('\t')))
        ++pos;
}

bool OnlyBlanksFrom(QStringView line, qsizetype pos) {
    SkipBlanks(line, pos);
    return pos == line.size();
}

// Reads the comma-separated bytes of a hex value, following lines that end in a backslash.
bool ReadHexBytes(const QStringList& lines, int& lineIndex, qsizetype pos, QByteArray* out) {
    out->clear();
    QStringView line = lines[lineIndex];
    for (;;) {
        SkipBlanks(line, pos);
        if (pos >= line.size())
            return true;
        if (line[pos] == QLatin1Char('\\') && OnlyBlanksFrom(line, pos + 1)) {
            if (lineIndex + 1 >= lines.size())
                return false;
            line = lines[++lineIndex];
            pos = 0;
            continue;
        }
        if (pos + 1 >= line.size() || HexDigit(line[pos]) < 0 || HexDigit(line[pos + 1]) < 0)
            return false;
        out->append(char(HexDigit(line[pos]) * 16 + HexDigit(line[pos + 1])));
        pos += 2;
        SkipBlanks(line, pos);
        if (pos < line.size() && line[pos] == QLatin1Char(','))
            ++pos;
        else if (pos < line.size() && line[pos] != QLatin1Char('\\'))
            return false;
    }
}

bool ReadHexNumber(QStringView digits, quint32* out) {
    digits = digits.trimmed();
    if (digits.isEmpty() || digits.size() > 8)
        return false;
    quint32 value = 0;
    for (QChar c : digits) {
        if (HexDigit(c) < 0)
            return false;
        value = value * 16 + quint32(HexDigit(c));
    }
    *out = value;
    return true;
}

QString TextWithoutTerminator(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == QChar(0))
        --end;
    return text.left(end);
}

// Turns the bytes of a hex(N) value into a value; text types are UTF-8 in our files and
// UTF-16LE in Wine's.
RegValue ValueFromBytes(quint32 type, const QByteArray& bytes, bool utf16) {
    RegValue value;
    value.type = type;
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        const QString text =
            utf16 ? QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()),
                                       bytes.size() / 2)
                  : QString::fromUtf8(bytes);
        value.text = TextWithoutTerminator(text);
    } else if (type == REG_DWORD && bytes.size() == 4) {
        value.dword = quint32(quint8(bytes[0])) | quint32(quint8(bytes[1])) << 8 |
                      quint32(quint8(bytes[2])) << 16 | quint32(quint8(bytes[3])) << 24;
    } else {
        if (type == REG_DWORD)
            value.type = REG_BINARY;
        value.data = bytes;
    }
    return value;
}

// Reads `name=data` of one value line; `lineIndex` moves past continuation lines.
bool ReadValueLine(const QStringList& lines, int& lineIndex, bool wine, QString* name,
                   RegValue* value, QString* reason) {
    QStringView line = lines[lineIndex];
    qsizetype pos = 0;
    SkipBlanks(line, pos);
    if (line[pos] == QLatin1Char('@')) {
        name->clear();
        ++pos;
    } else if (!ReadQuoted(line, pos, QLatin1Char('"'), QLatin1Char('"'), wine, name)) {
        *reason = QStringLiteral("the value name is not closed or has an unknown escape");
        return false;
    }
    SkipBlanks(line, pos);
    if (pos >= line.size() || line[pos] != QLatin1Char('=')) {
        *reason = QStringLiteral("'=' is missing after the value name");
        return false;
    }
    ++pos;
    SkipBlanks(line, pos);
    const QStringView data = line.mid(pos);
    *value = RegValue();
    if (data.startsWith(QLatin1Char('"')) || (wine && data.startsWith(QLatin1String("str(")))) {
        value->type = REG_SZ;
        if (!data.startsWith(QLatin1Char('"'))) {
            // Wine writes the type in hex digits, as in hex(N).
            const qsizetype close = data.indexOf(QLatin1String("):"));
            if (close < 5 || !ReadHexNumber(data.mid(4, close - 4), &value->type)) {
                *reason = QStringLiteral("the string type is not readable");
                return false;
            }
            pos += close + 2;
        }
        if (!ReadQuoted(line, pos, QLatin1Char('"'), QLatin1Char('"'), wine, &value->text) ||
            !OnlyBlanksFrom(line, pos)) {
            *reason = QStringLiteral("the text is not closed or has an unknown escape");
            return false;
        }
        return true;
    }
    if (data.startsWith(QLatin1String("dword:"))) {
        quint32 number = 0;
        if (!ReadHexNumber(data.mid(6), &number)) {
            *reason = QStringLiteral("the dword is not 1 to 8 hex digits");
            return false;
        }
        value->type = REG_DWORD;
        value->dword = number;
        return true;
    }
    if (data.startsWith(QLatin1String("hex"))) {
        quint32 type = REG_BINARY;
        qsizetype bytesAt = 4; // after "hex:"
        if (data.startsWith(QLatin1String("hex("))) {
            const qsizetype close = data.indexOf(QLatin1String("):"));
            if (close < 5 || !ReadHexNumber(data.mid(4, close - 4), &type)) {
                *reason = QStringLiteral("the hex type is not readable");
                return false;
            }
            bytesAt = close + 2;
        } else if (!data.startsWith(QLatin1String("hex:"))) {
            *reason = QStringLiteral("the value's data is not readable");
            return false;
        }
        QByteArray bytes;
        if (!ReadHexBytes(lines, lineIndex, pos + bytesAt, &bytes)) {
            *reason = QStringLiteral("the hex bytes are not readable");
            return false;
        }
        *value = ValueFromBytes(type, bytes, wine);
        return true;
    }
    *reason = QStringLiteral("the value's data is not readable");
    return false;
}

// ---- writing our own form ------------------------------------------------------------------

QByteArray Escaped(const QString& text) {
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('"');
    for (QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('"'))
            out += QLatin1Char('\\') + QString(c);
        else if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            out += QLatin1String("\\r");
        else
            out += c;
    }
    out += QLatin1Char('"');
    return out.toUtf8();
}

// "hex:" or "hex(N):" and the bytes, wrapped as regedit wraps them.
void AppendHex(QByteArray& out, qsizetype lineStart, const QByteArray& prefix,
               const QByteArray& bytes) {
    out += prefix;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        out += QByteArray::number(quint8(bytes[i]), 16).rightJustified(2, '0');
        if (i + 1 < bytes.size()) {
            out += ',';
            if (out.size() - lineStart > 75) {
                out += "\\\n  ";
                lineStart = out.size() - 2;
            }
        }
    }
}

void AppendValue(QByteArray& out, const QString& name, const RegValue& value) {
    const qsizetype lineStart = out.size();
    out += name.isEmpty() ? QByteArray("@") : Escaped(name);
    out += '=';
    switch (value.type) {
    case REG_SZ:
        out += Escaped(value.text);
        break;
    case REG_EXPAND_SZ:
        AppendHex(out, lineStart, "hex(2):", value.text.toUtf8() + QByteArray(1, '\0'));
        break;
    case REG_DWORD:
        out += "dword:" + QByteArray::number(value.dword, 16).rightJustified(8, '0');
        break;
    case REG_BINARY:
        AppendHex(out, lineStart, "hex:", value.data);
        break;
    default:
        AppendHex(out, lineStart, "hex(" + QByteArray::number(value.type, 16) + "):", value.data);
        break;
    }
    out += '\n';
}

// A section for each key that holds values or is an empty leaf, in the order of the tree; a key
// between them needs none, as reading a path makes every key along it. Naming every key would
// repeat each path once per level below it: deep keys of long names would grow the file with the
// square of their depth. The tree is walked with a list of its own rather than by recursion, so
// that no depth of keys can exhaust the stack, and the path is kept in one text that grows and
// shrinks with the walk rather than built for every key.
void AppendKeys(QByteArray& out, const RegNode& root, const QString& rootName) {
    struct Level {
        const RegNode* node;
        std::map<QString, std::unique_ptr<RegNode>>::const_iterator next; // the child to visit
        qsizetype pathSize;                                               // the path up to it
    };
    QString path = rootName;
    std::vector<Level> levels;
    const auto enter = [&](const RegNode* node) {
        if (!node->values.empty() || (node != &root && node->children.empty())) {
            out += '[' + path.toUtf8() + "]\n";
            for (const auto& [name, value] : node->values)
                AppendValue(out, name, value);
            out += '\n';
        }
        levels.push_back({node, node->children.begin(), path.size()});
    };
    enter(&root);
    while (!levels.empty()) {
        Level& level = levels.back();
        path.truncate(level.pathSize);
        if (level.next == level.node->children.end()) {
            levels.pop_back();
            continue;
        }
        const RegNode* child = (level.next++)->second.get();
        path += QLatin1Char('\\') + child->name;
        enter(child);
    }
}

// The key path below the file's root of a section header, or false when it names another root.
bool SectionParts(const QString& header, const QString& rootName, QStringList* parts) {
    QStringList segments = header.split(QLatin1Char('\\'));
    const QString root = segments.takeFirst();
    if (root.compare(rootName, Qt::CaseInsensitive) == 0) {
        *parts = segments;
    } else if (rootName == QLatin1String("HKEY_LOCAL_MACHINE") &&
               root.compare(QLatin1String("HKEY_CLASSES_ROOT"), Qt::CaseInsensitive) == 0) {
        *parts = QStringList{QStringLiteral("Software"), QStringLiteral("Classes")} + segments;
    } else {
        return false;
    }
    for (const QString& part : *parts) {
        if (part.isEmpty())
            return false;
    }
    return true;
}

} // namespace

// ---- our own hive files --------------------------------------------------------------------

bool ParseHiveText(const QByteArray& bytes, const QString& rootName, RegNode* root,
                   QString* error) {
    const QStringList lines = TextLines(bytes);
    RegNode* current = nullptr;
    bool headerSeen = false;
    for (int i = 0; i < lines.size(); ++i) {
        const int lineNumber = i + 1;
        const QString trimmed = lines[i].trimmed();
        QString reason;
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';')))
            continue;
        if (!headerSeen) {
            if (trimmed != QLatin1String("REGEDIT4")) {
                *error = QStringLiteral("line %1: the file does not begin with REGEDIT4")
                             .arg(lineNumber);
                return false;
            }
            headerSeen = true;
            continue;
        }
        if (trimmed.startsWith(QLatin1Char('['))) {
            QStringList parts;
            const qsizetype close = trimmed.lastIndexOf(QLatin1Char(']'));
            if (close != trimmed.size() - 1 ||
                !SectionParts(trimmed.mid(1, close - 1), rootName, &parts)) {
                *error = QStringLiteral("line %1: the key is not a key of %2")
                             .arg(lineNumber)
                             .arg(rootName);
                return false;
            }
            const QString problem = RegPathProblem(parts);
            if (!problem.isEmpty()) {
                *error = QStringLiteral("line %1: %2").arg(lineNumber).arg(problem);
                return false;
            }
            current = root;
            for (const QString& part : parts)
                current = current->AddChild(part);
            continue;
        }
        QString name;
        RegValue value;
        if (!current) {
            reason = QStringLiteral("a value stands before the first key");
        } else if (ReadValueLine(lines, i, false, &name, &value, &reason)) {
            current->SetValue(name, value);
            continue;
        }
        *error = QStringLiteral("line %1: %2").arg(lineNumber).arg(reason);
        return false;
    }
    if (!headerSeen && !bytes.trimmed().isEmpty()) {
        *error = QStringLiteral("the file does not begin with REGEDIT4");
        return false;
    }
    return true;
}

QByteArray HiveText(const RegNode& root, const QString& rootName) {
    QByteArray out = "REGEDIT4\n\n";
    AppendKeys(out, root, rootName);
    return out;
}

// ---- Wine's files --------------------------------------------------------------------------

bool ParseWineRegistry(const QByteArray& bytes, RegNode* root) {
    const QStringList lines = TextLines(bytes);
    if (lines.isEmpty() || !lines[0].startsWith(QLatin1String("WINE REGISTRY Version 2")))
        return false;
    RegNode* current = nullptr;
    for (int i = 1; i < lines.size(); ++i) {
        const QStringView line = lines[i];
        if (line.startsWith(QLatin1Char('['))) {
            QString path;
            qsizetype pos = 0;
            current = nullptr;
            if (!ReadQuoted(line, pos, QLatin1Char('['), QLatin1Char(']'), true, &path))
                continue;
            // A key nested too deep or named too long is passed over with its values, as any
            // other line we cannot take from Wine's file.
            const QStringList parts = RegSplitPath(path);
            if (!RegPathProblem(parts).isEmpty())
                continue;
            current = root;
            for (const QString& part : parts)
                current = current->AddChild(part);
            continue;
        }
        if (!current || !(line.startsWith(QLatin1Char('"')) || line.startsWith(QLatin1Char('@'))))
            continue;
        QString name;
        QString reason;
        RegValue value;
        if (ReadValueLine(lines, i, true, &name, &value, &reason))
            current->SetValue(name, value);
    }
    return true;
}

} // namespace qv
