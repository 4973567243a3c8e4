#include "editors/forms/filterwidgets.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

namespace qv {

const QStringList& DriveableItems() {
    static const QStringList items = {QStringLiteral("\u2714"), QStringLiteral("\u2718"),
                                      QStringLiteral(" ")};
    return items;
}

QString FilterHint(Msg key) {
    QString text = Caption(key);
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text.section(QLatin1Char('|'), 0, 0);
}

QString FilterHint(Msg key, Msg second, const QString& between) {
    QString text = Caption(key) + between + Caption(second);
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text.section(QLatin1Char('|'), 0, 0);
}

void SetComboItems(QComboBox* combo, const QStringList& items, const QString& text) {
    const QSignalBlocker blocker(combo);
    combo->clear();
    combo->addItems(items);
    combo->setEditText(text);
}

QComboBox* NewTextFilter(QWidget* panel, const char* name, const QString& caption, int left,
                         int top, int width, QObject* filter) {
    auto* label = new QLabel(caption, panel);
    label->setGeometry(left, top, width, 18);
    auto* combo = new QComboBox(panel);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setGeometry(left, top + 18, width, 24);
    combo->lineEdit()->installEventFilter(filter);
    return combo;
}

} // namespace qv
