// The text readers that work on decoded text: value cutting, and the stock, consist and path
// readers. The first byte picks the reader, the rest is the file.
#include "catalogue/consistreader.h"
#include "catalogue/mststext.h"
#include "catalogue/pathreader.h"
#include "catalogue/stockreader.h"
#include "core/appstate.h"
#include "fuzzsupport.h"
#include "platform/inifile.h"
#include "platform/mstsfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    qv::fuzz::EnsureApplication();
    QString text;
    if (!qv::DecodeMstsText(qv::fuzz::Input(data + 1, size - 1), &text))
        return 0;
    qv::MstsTextReader reader(text);
    switch (data[0] % 4) {
    case 0: {
        qv::StockInfo info;
        qv::ParseStockFileText(reader, QStringLiteral("LOCO.eng"), info);
        break;
    }
    case 1: {
        static const qv::IniFile stockCache = qv::IniFile::FromBytes(
            "[QUARVEL_INFORMATION]\r\nVersion=3.0\r\n[LOCO\\LOCO.ENG]\r\nName=Loco\r\n");
        qv::ConsistAhead parsed;
        qv::ParseConsistAhead(reader, QStringLiteral("X.con"), stockCache, parsed);
        break;
    }
    case 2: {
        qv::PathInfo path;
        path.FileName = QStringLiteral("X.pat");
        qv::ScanPathText(reader, path);
        break;
    }
    default: {
        QString line;
        while (reader.ReadLine(&line)) {
            if (line.size() > 4)
                qv::CutValue(reader, line, 4, (line.size() & 1) != 0);
        }
        break;
    }
    }
    return 0;
}
