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

// A text of the code's own (looked up in `context`, marked for translation where it is written)
// that stands in one message with captions of the table. The whole message takes one language:
// that of the module in use when the module translates the text, else English, captions
// included, so that a module lacking the text never shows a box half in two languages.
class TextWithCaptions {
public:
    // No text of the code's own: the captions in the language in use.
    TextWithCaptions() = default;
    TextWithCaptions(const char* context, const char* text);
    // The text, translated when the module has it.
    const QString& Text() const { return text_; }
    // A caption of the table in the message's language.
    QString Caption(Msg key) const;

private:
    QString text_;
    bool translated_ = true;
};

// The location text of an unexpected result: "Module: '<unit>'  Line No.: <n>" and a line feed.
QString ModuleLineText(const char* sourceFile, int line);

// "Error: Unexpected result at Module: '<unit>'  Line No.: <n>\n" (+ " - " + value when given).
QString UnexpectedText(const char* sourceFile, int line, const QString& value = QString());

// The six MSTS default route folders, in their fixed order.
const QStringList& MstsDefaultRoutes();

} // namespace qv

#define QV_MODULE_LINE() ::qv::ModuleLineText(__FILE__, __LINE__)
