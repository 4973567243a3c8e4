#include "editors/forms/filterwidgets.h"

#include "catalogue/namedlists.h"
#include "core/appstate.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
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

QComboBox* NewTextFilter(QWidget* panel, const char* name, int left, int top, int width,
                         QObject* filter) {
    auto* label = new QLabel(panel);
    label->setGeometry(left, top, width, 18);
    auto* combo = new QComboBox(panel);
    label->setBuddy(combo);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setGeometry(left, top + 18, width, 24);
    // The combo box holds the focus and hands keys to its line edit by a direct call, which no
    // filter on the line edit sees: the keys are watched where they arrive.
    combo->installEventFilter(filter);
    return combo;
}

QComboBox* NewDriveableFilter(QWidget* panel) {
    auto* label = new QLabel(panel);
    label->setGeometry(610, 22, 60, 18);
    auto* combo = new QComboBox(panel);
    label->setBuddy(combo);
    combo->setObjectName(QStringLiteral("DriveableCmbx"));
    combo->setGeometry(675, 20, 60, 24);
    combo->addItems(DriveableItems());
    combo->setProperty("Tag", uint(PT_DRIVEABLE));
    return combo;
}

QComboBox* NewStatusFilter(QWidget* panel) {
    auto* label = new QLabel(panel);
    label->setGeometry(10, 112, 50, 18);
    auto* combo = new QComboBox(panel);
    label->setBuddy(combo);
    combo->setObjectName(QStringLiteral("StoreIndCmbx"));
    combo->setGeometry(60, 108, 150, 24);
    return combo;
}

QPushButton* NewApplyFilterButton(QWidget* panel) {
    auto* button = new QPushButton(panel);
    button->setObjectName(QStringLiteral("ApplyFilterBtn"));
    button->setGeometry(230, 108, 110, 25);
    button->setAutoDefault(false);
    return button;
}

QLabel* NewFilterIcon(QWidget* panel) {
    auto* icon = new QLabel(panel);
    icon->setObjectName(QStringLiteral("FilterIconImage"));
    icon->setGeometry(750, 20, 16, 16);
    return icon;
}

void SetFilterCaption(QWidget* choice, const QString& caption) {
    for (QLabel* label : choice->parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
        if (label->buddy() == choice)
            label->setText(caption);
}

NewLotsWidgets NewLotsPanel(QWidget* panel, const char* itemsName) {
    NewLotsWidgets widgets;
    widgets.Panel = new QWidget(panel);
    widgets.Panel->setObjectName(QStringLiteral("NewLotsPnl"));
    widgets.Panel->setGeometry(400, 104, 300, 48);
    if (!itemsName)
        return widgets;
    widgets.Panel->setAutoFillBackground(true);
    widgets.Items = new QLabel(widgets.Panel);
    widgets.Items->setObjectName(QString::fromLatin1(itemsName));
    widgets.Items->setGeometry(8, 4, 280, 18);
    widgets.Items->setStyleSheet(QStringLiteral("QLabel { color: green; font-weight: bold; }"));
    widgets.Number = new QLabel(widgets.Panel);
    widgets.Number->setObjectName(QStringLiteral("NewLotsNumberLbl"));
    widgets.Number->setGeometry(8, 24, 280, 18);
    return widgets;
}

void ShowNewItems(const NewLotsWidgets& widgets, Msg heading, bool shown) {
    QPalette palette = widgets.Panel->palette();
    palette.setColor(QPalette::Window,
                     shown ? QColor(0xFF, 0xFF, 0xE1)
                           : widgets.Panel->parentWidget()->palette().color(QPalette::Window));
    widgets.Panel->setPalette(palette);
    widgets.Items->setText(Caption(Msg::CAPTION_TEXT_NEW) + QLatin1Char(' ') + Caption(heading));
    widgets.Number->setText(QLatin1Char('(') + Caption(Msg::TREE_HEADING_LOT_NUMBER) +
                            QLatin1Char(' ') + App().CurrentLotNumber + QLatin1Char(')'));
    widgets.Items->setVisible(shown);
    widgets.Number->setVisible(shown);
}

void SetCheckBoxTags(const QList<QCheckBox*>& boxes, std::span<const std::uint32_t> tags) {
    for (qsizetype i = 0; i < boxes.size() && std::size_t(i) < tags.size(); ++i)
        boxes[i]->setProperty("Tag", uint(tags[std::size_t(i)]));
}

std::uint32_t CheckedTags(const QList<QCheckBox*>& boxes) {
    std::uint32_t tags = 0;
    for (QCheckBox* b : boxes)
        if (b->isChecked())
            tags |= b->property("Tag").toUInt();
    return tags;
}

void ShowCheckedTags(const QList<QCheckBox*>& boxes, std::uint32_t tags) {
    for (QCheckBox* b : boxes)
        b->setChecked(tags & b->property("Tag").toUInt());
}

void ShowStatusItems(QComboBox* status) {
    QStringList items = StatusComboItems().split(QStringLiteral("\r\n"));
    items.removeLast();
    {
        const QSignalBlocker blocker(status);
        status->clear();
        status->addItems(items);
    }
    status->setToolTip(FilterHint(Msg::STOREIND_FILTER_HINT));
}

void ShowComboIndex(QComboBox* combo, int index) {
    const QSignalBlocker blocker(combo);
    combo->setCurrentIndex(index);
}

void ShowStatusIndex(QComboBox* status, int index) {
    ShowComboIndex(status, index < status->count() ? index : -1);
}

} // namespace qv
