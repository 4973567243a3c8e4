// The Easy page's route picture: the file converted to a Windows bitmap through the picture
// library (ACE textures by our reader, other formats by Qt's) and shown. The first byte picks the
// file's extension, the rest is the file. No temporary bitmap may be left behind.
#include "easy/usemwgfx.h"
#include "fuzzsupport.h"

#include <QDir>

namespace {

class Control : public qv::PictureControl {
public:
    void ShowPicture(const QImage& picture) override { shown = picture; }
    QImage shown;
};

const char* const kNames[] = {"PICTURE.ACE", "picture.jpg", "picture.bmp", "picture.png"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    qv::fuzz::EnsureApplication();
    static const qv::fuzz::ScratchRoots scratch({"MSTS/ROUTES/X"});
    scratch.Reset();
    const QString name =
        QStringLiteral("MSTS/ROUTES/X/") + QLatin1String(kNames[data[0] % std::size(kNames)]);
    scratch.Write(name, qv::fuzz::Input(data + 1, size - 1));
    Control control;
    const bool shown = qv::ShowImageFile(&control, qv::ToWindowsForm(scratch.dir.filePath(name)));
    if (shown == control.shown.isNull())
        __builtin_trap(); // shown without a picture, or a picture given when not shown
    if (!QDir(scratch.dir.filePath(QStringLiteral("TEMP"))).isEmpty())
        __builtin_trap(); // the temporary bitmap was left behind
    scratch.Remove(name);
    return 0;
}
