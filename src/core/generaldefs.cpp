#include "core/generaldefs.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>

namespace qv {

namespace {

struct Entry {
    const char* key;
    const char* caption;
};

constexpr Entry kTable[] = {
#define QV_MESSAGE(key, caption) {#key, caption},
#include "core/messages.def"
#undef QV_MESSAGE
};

static_assert(sizeof(kTable) / sizeof(kTable[0]) == kMessageCount);

} // namespace

QString Caption(Msg key) {
    const Entry& e = kTable[int(key)];
    // A loaded language module translates by context and key; without one the English stands.
    return QCoreApplication::translate("TStringsForm", e.caption, e.key);
}

const char* MessageKeyName(Msg key) {
    return kTable[int(key)].key;
}

const char* EnglishCaption(Msg key) {
    return kTable[int(key)].caption;
}

bool MessageKeyByName(const QString& name, Msg* key) {
    static const QHash<QString, int> index = [] {
        QHash<QString, int> h;
        for (int i = 0; i < kMessageCount; ++i)
            h.insert(QString::fromLatin1(kTable[i].key), i);
        return h;
    }();
    const auto it = index.constFind(name);
    if (it == index.constEnd())
        return false;
    if (key)
        *key = Msg(*it);
    return true;
}

TextWithCaptions::TextWithCaptions(const char* context, const char* text)
    : text_(QCoreApplication::translate(context, text)),
      translated_(text_ != QString::fromUtf8(text)) {}

QString TextWithCaptions::Caption(Msg key) const {
    return translated_ ? qv::Caption(key) : QString::fromUtf8(EnglishCaption(key));
}

QString ModuleLineText(const char* sourceFile, int line) {
    const QString unit =
        QFileInfo(QString::fromLocal8Bit(sourceFile).replace('\\', '/')).completeBaseName();
    return QStringLiteral("Module: '") + unit + QStringLiteral("'  Line No.: ") +
           QString::number(line) + QChar('\n');
}

QString UnexpectedText(const char* sourceFile, int line, const QString& value) {
    QString text = Caption(Msg::UNEXPECTED_LEG) + QChar(' ') + ModuleLineText(sourceFile, line);
    if (!value.isEmpty())
        text += QStringLiteral(" - ") + value;
    return text;
}

const QStringList& MstsDefaultRoutes() {
    static const QStringList routes = {QStringLiteral("EUROPE1"), QStringLiteral("EUROPE2"),
                                       QStringLiteral("USA1"),    QStringLiteral("USA2"),
                                       QStringLiteral("JAPAN1"),  QStringLiteral("JAPAN2")};
    return routes;
}

} // namespace qv
