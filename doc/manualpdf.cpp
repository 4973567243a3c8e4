// Builds the user's manual for the program's folder: the Markdown text laid out as a PDF, which
// Help > Quarvel Manual opens.

#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <cstdio>

int main(int argc, char** argv) {
    // The build has no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: quarvel_manualpdf <manual.md> <manual.pdf>\n");
        return 2;
    }
    QFile source(arguments[1]);
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(arguments[1]));
        return 1;
    }
    QTextDocument document;
    QFont font = document.defaultFont();
    font.setPointSize(10);
    document.setDefaultFont(font);
    document.setMarkdown(QString::fromUtf8(source.readAll()));

    // A manual left from an earlier build must not pass for one written now.
    QFile::remove(arguments[2]);
    {
        QPdfWriter pdf(arguments[2]);
        pdf.setTitle(QStringLiteral("Quarvel User's Manual"));
        pdf.setCreator(QStringLiteral("Quarvel"));
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter));
        document.print(&pdf);
    }
    if (QFile(arguments[2]).size() > 0)
        return 0;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(arguments[2]));
    return 1;
}
