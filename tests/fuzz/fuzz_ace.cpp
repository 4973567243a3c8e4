// The ACE texture reader, on the input as a whole file (plain or compressed) and as a body
// without its signature. A texture read must be as large as it says and no larger than allowed.
#include "fuzzsupport.h"
#include "graphics/acefile.h"

namespace {

void Check(bool read, const qv::AceTexture& texture) {
    if (!read)
        return;
    if (texture.width < 1 || texture.height < 1 || texture.width > qv::kMaxAceSide ||
        texture.height > qv::kMaxAceSide ||
        texture.rgba.size() != qsizetype(texture.width) * texture.height * 4)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = qv::fuzz::Input(data, size);
    QString error;
    qv::AceTexture file;
    Check(qv::ReadAceTexture(bytes, &file, &error), file);
    qv::AceTexture body;
    Check(qv::ReadAceBody(bytes, &body, &error), body);
    return 0;
}
