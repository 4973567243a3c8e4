// The message table: every text the code composes for the user, looked up by key at the moment
// it is needed, so that a language module replaces all of them at once.
#pragma once

#include <QString>
#include <QStringList>

namespace qv {

enum class Msg : int {
#define QV_MESSAGE(key, caption) key,
#include "core/messages.def"
#undef QV_MESSAGE
    Count
};

constexpr int kMessageCount = int(Msg::Count);

// The caption of a key in the current language, looked up anew at every call. A language module
// carries each caption as the translation of the English caption in the context "TStringsForm",
// with the key's name as its disambiguation, so two keys with one English text stay apart.
QString Caption(Msg key);
// The key's name, as it stands in the table ("INVALID_FILENAME").
const char* MessageKeyName(Msg key);
// The English caption, as compiled in.
const char* EnglishCaption(Msg key);
// Looks a key up by its name; false when there is no such key.
bool MessageKeyByName(const QString& name, Msg* key);

// The location text of an unexpected result: "Module: '<unit>'  Line No.: <n>" and a line feed.
QString ModuleLineText(const char* sourceFile, int line);

// "Error: Unexpected result at Module: '<unit>'  Line No.: <n>\n" (+ " - " + value when given).
QString UnexpectedText(const char* sourceFile, int line, const QString& value = QString());

// The six MSTS default route folders, in their fixed order.
const QStringList& MstsDefaultRoutes();

} // namespace qv

#define QV_MODULE_LINE() ::qv::ModuleLineText(__FILE__, __LINE__)
