// How items are named and ordered everywhere: the display name of an item kind, the text of an
// item's tree node, the sort orders of the record lists, the tree built from an item list, and
// the wildcard masks of the list editors and searches. Every comparison goes through CompareText.
#pragma once

#include "core/comparetext.h"
#include "core/itemset.h"

#include <QRegularExpression>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

namespace qv {

class ItemTree;
class ItemNode;

// The display name of one kind bit; a combination of bits and every other value is "Unknown".
QString ItemKindName(std::uint32_t kind);

// Whether a tree item is an activity or a route itself rather than a heading over them.
bool IsActivityItem(const ItemSet& item);
bool IsRouteItem(const ItemSet& item);

// The last component of a backslash path ("ROUTES\USA1" gives "USA1").
QString LastPathComponent(const QString& path);
// The path without its last component ("ROUTES\USA1" gives "ROUTES"; "USA1" gives "").
QString ParentPath(const QString& path);

// The path without the extension of its last component ("A.B\C.CON" gives "A.B\C").
QString WithoutExtension(const QString& path);

// ---- Sort orders: negative, zero or positive -------------------------------------------------

// Routes (PType bit 0x2) by their folder name, every other item by FileName.
int CompareFileNameOrder(const ItemSet& a, const ItemSet& b);
// By Description.
int CompareDescriptionOrder(const ItemSet& a, const ItemSet& b);
// Lines "<id>.QVC=<state>,<name>" by the text after the first comma (the list's name).
int CompareNamedListOrder(const QString& a, const QString& b);
// As whole numbers, ascending; a text that is no number counts as -1.
int CompareNumericOrder(const QString& a, const QString& b);

// Sorts by the file-name order when ViewByFileName is on, else by the description order.
// Empty places go to the end.
void SortItemList(RecordList<ItemSet>& list);

// ---- The object tree ---------------------------------------------------------------------------

// The text a tree node shows for the item: the Description, or with ViewByFileName (headings
// excepted) a route's folder name, a maintenance stock item's file name without its folder, else
// the FileName.
QString ItemNodeText(const ItemSet& item);

// Builds nodes from a list in display order whose PLevel values describe the tree (0 for the
// top level, each record at most one level below the one before it). The tree is not cleared
// first. Each node takes its record, leaving an empty place in the list. A node's state icon is
// its record's StoreInd, except that a named-list member shows none unless its parent is one too.
// Levels outside 0..4, or deeper than one below the record before, are taken as the deepest
// level that the records before allow, so a malformed list still gives a whole tree.
void FillTreeFromItemList(ItemTree& tree, RecordList<ItemSet>& list);

// ---- Wildcard masks ----------------------------------------------------------------------------

// A filter in the mask syntax of the list editors: "*" any run of characters, "?" one
// character, "[abc]", "[a-z]" and "[!a-z]" one character of (or not of) a set; letter case is
// ignored.
class Mask {
public:
    // The expression for a mask, or none when the mask is malformed (an unclosed set, an empty
    // set or a range without its end).
    static std::optional<QRegularExpression> Compile(const QString& mask);

    explicit Mask(QRegularExpression expression) : expression_(std::move(expression)) {}
    bool Matches(const QString& text) const;

private:
    QRegularExpression expression_;
};

// The mask for a filter with blanks and control characters trimmed from both ends; none for an
// empty filter. A malformed filter is reported (it will be ignored) and gives none.
std::unique_ptr<Mask> MakeMask(const QString& filter);

} // namespace qv
