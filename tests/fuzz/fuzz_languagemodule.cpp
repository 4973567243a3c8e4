// Language modules: the check, and Qt's translator on every module the check lets through. The
// module is placed at the very end of a page that a page nobody may read follows, so that a read
// past its end by the translator (which this harness cannot instrument) ends in a crash.
#include "core/languagemodulecheck.h"
#include "fuzzsupport.h"

#include <QTranslator>

#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = qv::fuzz::Input(data, size);
    if (!qv::TranslationDataProblem(bytes).isEmpty() || size == 0)
        return 0;
    const std::size_t page = std::size_t(sysconf(_SC_PAGESIZE));
    const std::size_t room = (size + page - 1) / page * page;
    auto* area = static_cast<std::uint8_t*>(
        mmap(nullptr, room + page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    if (area == MAP_FAILED)
        return 0;
    mprotect(area + room, page, PROT_NONE);
    std::uint8_t* module = area + room - size;
    std::memcpy(module, data, size);
    {
        QTranslator translator;
        if (translator.load(module, int(size))) {
            for (const char* context : {"VERSIONINFO", "TStringsForm", "", "x"}) {
                for (const char* source : {"ProductVersion", "ProductName", "", "a"}) {
                    translator.translate(context, source);
                    translator.translate(context, source, "", 2);
                }
            }
            translator.language();
        }
    }
    munmap(area, room + page);
    return 0;
}
