// What comes out of the printer: a document printed to a PDF file as the print command prints it,
// read back by pdftotext (poppler-utils, installed by scripts/setup).
#pragma once

#include "core/forms/fontrecord.h"

#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qv {

// The text pdftotext reads from the printed document, given its options ("-bbox" for the place of
// every word).
inline QString PrintedText(const QString& html, const QList<int>& tabStops,
                           const QStringList& options = {}) {
    QTemporaryDir dir;
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("out.pdf"));
    PrintHtml(printer, "Quarvel", html, tabStops);
    QProcess extract;
    extract.start("pdftotext", options + QStringList{dir.filePath("out.pdf"), "-"});
    EXPECT_TRUE(extract.waitForFinished() && extract.exitCode() == 0) << "run scripts/setup";
    return QString::fromUtf8(extract.readAllStandardOutput());
}

} // namespace qv
