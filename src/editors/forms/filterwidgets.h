// What the editors' filter panels are built from: hints from the message table, the driveable
// choices, the refill of a text filter's drop-down, the controls every panel has, the kind boxes
// and their Tags, and the panel of new items with the current lot number.
#pragma once

#include "core/generaldefs.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <span>

class QCheckBox;
class QComboBox;
class QLabel;
class QObject;
class QPushButton;
class QWidget;

namespace qv {

// The driveable choices: a tick, a cross, either.
const QStringList& DriveableItems();

// A hint's short part (before the "|"), with the carriage returns as line breaks; the second
// form joins two captions with `between`.
QString FilterHint(Msg key);
QString FilterHint(Msg key, Msg second, const QString& between);

// Refills the drop-down and sets its text, without signals.
void SetComboItems(QComboBox* combo, const QStringList& items, const QString& text);

// An editable text filter with a place for its caption above it; the keys it gets go to
// `filter` first.
QComboBox* NewTextFilter(QWidget* panel, const char* name, int left, int top, int width,
                         QObject* filter);

// The controls every filter panel has, at the same places: the Driveable choice and the Status
// choice with places for their captions, the Apply Filter button and the list kind's picture.
QComboBox* NewDriveableFilter(QWidget* panel);
QComboBox* NewStatusFilter(QWidget* panel);
QPushButton* NewApplyFilterButton(QWidget* panel);
QLabel* NewFilterIcon(QWidget* panel);
// Sets the caption over a filter's choice (the label whose buddy it is); the editors set their
// captions so when they are built and again at a switch of language.
void SetFilterCaption(QWidget* choice, const QString& caption);

// The panel that says new items got the current lot number: its caption names the items (null
// where the items have no lot numbers, and the panel stays empty).
struct NewLotsWidgets {
    QWidget* Panel = nullptr;
    QLabel* Items = nullptr;
    QLabel* Number = nullptr;
};
NewLotsWidgets NewLotsPanel(QWidget* panel, const char* itemsName);
// Shows or hides the captions ("New <heading>", the lot number) on a highlighted background.
void ShowNewItems(const NewLotsWidgets& widgets, Msg heading, bool shown);

// The kind boxes: each stands for its PType bit, kept as its Tag.
void SetCheckBoxTags(const QList<QCheckBox*>& boxes, std::span<const std::uint32_t> tags);
std::uint32_t CheckedTags(const QList<QCheckBox*>& boxes);
void ShowCheckedTags(const QList<QCheckBox*>& boxes, std::uint32_t tags);

// The Status choices from the message table, with their hint.
void ShowStatusItems(QComboBox* status);
// Sets a choice without signals; a status index past the choices leaves none chosen.
void ShowComboIndex(QComboBox* combo, int index);
void ShowStatusIndex(QComboBox* status, int index);

} // namespace qv
