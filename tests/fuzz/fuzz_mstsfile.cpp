// The decoding of an MSTS text file, and the line scanning over what it gives.
#include "catalogue/mststext.h"
#include "fuzzsupport.h"
#include "platform/mstsfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QString text;
    if (!qv::DecodeMstsText(qv::fuzz::Input(data, size), &text))
        return 0;
    qv::MstsTextReader reader(text);
    QStringView line;
    while (reader.ReadLine(&line)) {
        if (line.size() > qv::MstsTextReader::kMaxLineUnits)
            __builtin_trap(); // a line piece is never longer than the scanning rule allows
    }
    return 0;
}
