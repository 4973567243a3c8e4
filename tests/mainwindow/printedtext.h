// The text of a document printed to a PDF file as the print command prints it, read back by
// pdftotext (poppler-utils, installed by scripts/setup) with its options ("-bbox": word places).
#pragma once

#include "core/forms/fontrecord.h"

#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qv {

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
