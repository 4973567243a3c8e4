// The item information report: a plain-text description of one route, activity, consist, stock
// item or path written into a report pane. The main window shows it for the selected tree node,
// the Easy page and the list editors for their chosen rows, and the where-used command before its
// own output. Each item is described wherever it lies, the MSTS folder or the store.
#pragma once

#include <QString>
#include <cstdint>

namespace qv {

struct ItemSet;
struct RouteInfo;
class ReportPane;
enum class Msg : int;

// Empties the pane and writes the report of the item's kind into it, then one empty line; the
// pane is asked to show its start. Headings and kinds without a report give the empty line alone.
void ShowItemInfo(const ItemSet& item, ReportPane* pane);

// A name shown with its file: empty for the file "0", the file for the name "0", the name alone
// when it is the file name with or without its extension, else the name, five blanks and the file
// in brackets.
QString NameWithFileName(const QString& name, const QString& fileName);
// A vehicle line of a report: the name, five blanks and the file in brackets, whatever they hold.
QString NameAndFileName(const QString& name, const QString& fileName);

// The TSECTION.DAT block of a route report: which file the route (or the system default) asks
// for, its build and date when the file can be read, and the actions when unstoring.
void WriteTsectionSummary(RouteInfo& record, ReportPane* pane);

// The caption of a report line followed by ": ".
QString ItemInfoLabel(Msg key);

// The sections, each written below what the pane holds.
void WriteRouteInfo(const ItemSet& item, ReportPane* pane);
void WritePathInfo(const ItemSet& item, ReportPane* pane);
void WriteActivityInfo(const ItemSet& item, ReportPane* pane);
void WriteConsistInfo(const ItemSet& item, ReportPane* pane);
void WriteStockInfo(const ItemSet& item, ReportPane* pane);

// "Type: " and the labels of the kind bits set, separated by ", " (the caption alone for none);
// a consist calls its engine bit a light engine, a stock item adds the tender and AI bits.
QString ItemTypeLine(std::uint32_t ptype, bool consist);

} // namespace qv
