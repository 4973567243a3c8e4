// Builds small Qt translation files (.qm) in tests, so that language modules can be made on the
// spot without the translation tools: context, source text, disambiguation and translation.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace qv::test {

struct QmMessage {
    QByteArray context;
    QByteArray sourceText;
    QByteArray comment; // the disambiguation; may be empty
    QString translation;
};

// The bytes of a .qm file holding the given messages.
QByteArray BuildQm(const QList<QmMessage>& messages);

// Writes BuildQm(messages) to path; false when the file cannot be written.
bool WriteQm(const QString& path, const QList<QmMessage>& messages);

// The version strings a language module carries, as messages.
QList<QmMessage> VersionInfoMessages(const QString& productName, const QString& productVersion,
                                     const QString& fileVersion, const QString& copyright);

} // namespace qv::test
