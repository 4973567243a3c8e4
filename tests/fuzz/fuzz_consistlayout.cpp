// The viewer's layout of a consist, without a window: a scratch MSTS folder holds a consist of an
// engine and two wagons; the first byte picks which of its three files the rest of the input
// replaces. The consist (and the wagon as a stock item) is collected for the viewer, laid out end
// to end, and given its window's width, size and first view. The layout must not depend on being
// done twice, and every vehicle's centre must lie within the consist (within rounding).
#include "core/itemset.h"
#include "core/mainservices.h"
#include "core/report.h"
#include "fuzzsupport.h"
#include "platform/fakeui.h"
#include "viewer/showshape.h"
#include "viewer/viewergeometry.h"
#include "viewer/viewerheader.h"

#include <cmath>

namespace {

const char* const kConsist =
    "SIMISA@@@@@@@@@@JINX0D0t______\r\n\r\nTrain (\r\n\tTrainCfg ( A\r\n\t\tName ( \"A\" )\r\n"
    "\t\tEngine (\r\n\t\t\tUiD ( 0 )\r\n\t\t\tEngineData ( E E )\r\n\t\t)\r\n"
    "\t\tWagon (\r\n\t\t\tFlip ( )\r\n\t\t\tUiD ( 1 )\r\n\t\t\tWagonData ( W W )\r\n\t\t)\r\n"
    "\t\tWagon (\r\n\t\t\tUiD ( 2 )\r\n\t\t\tWagonData ( W W )\r\n\t\t)\r\n\t)\r\n)\r\n";
const char* const kWagon = "SIMISA@@@@@@@@@@JINX0D0t______\r\n\r\nWagon ( W\r\n"
                           "\tType ( Freight )\r\n\tWagonShape ( W.s )\r\n"
                           "\tFreightAnim ( WLoad.s 0 0 )\r\n"
                           "\tSize ( 3m 4m 12.5m )\r\n\tName ( \"W\" )\r\n)\r\n";
const char* const kEngine = "SIMISA@@@@@@@@@@JINX0D0t______\r\n\r\nWagon ( E\r\n"
                            "\tType ( Engine )\r\n\tWagonShape ( E.s )\r\n"
                            "\tSize ( 3m 4m 20m )\r\n)\r\nEngine ( E\r\n\tType ( Electric )\r\n"
                            "\tName ( \"E\" )\r\n)\r\n";

struct File {
    const char* name;
    const char* text;
};
const File kFiles[] = {{"MSTS/TRAINS/CONSISTS/A.con", kConsist},
                       {"MSTS/TRAINS/TRAINSET/W/W.wag", kWagon},
                       {"MSTS/TRAINS/TRAINSET/E/E.eng", kEngine}};

void Lay(qv::SVIEWHeaderInfo& header) {
    qv::LayoutConsist(header);
    const double total = header.TotalLength;
    std::vector<double> centres;
    for (const auto& model : header.Models)
        centres.push_back(model->Centre);
    const int middle = header.MiddleIndex;
    qv::LayoutConsist(header);
    if (header.TotalLength != total || header.MiddleIndex != middle || middle < 0 ||
        (!header.Models.empty() && std::size_t(middle) >= header.Models.size()))
        __builtin_trap();
    for (std::size_t i = 0; i < centres.size(); ++i) {
        const double centre = header.Models[i]->Centre;
        if (centre != centres[i] || !(centre >= 0 && centre <= total * (1 + 1e-9)))
            __builtin_trap();
    }
    const int height = qv::ReadViewerHeight(QStringLiteral("127"), qv::kViewerDesignHeight);
    const int ideal = qv::WindowWidth(96, total, height, qv::kViewerDesignHeight);
    const QSize screen(1600, 900);
    for (bool fullWidth : {false, true}) {
        const QSize size =
            qv::SizeViewerWindow(ideal, QSize(864, 127), true, fullWidth, height, screen);
        if (size.width() < 0 || size.height() < 0 || size.width() > screen.width())
            __builtin_trap();
        qv::CentreOverMainForm(size, QRect(100, 100, 800, 600), screen.width());
        qv::FitView(header, size.width(), screen.width(), 0.7f, qv::kViewerDesignHeight,
                    size.height());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    qv::fuzz::EnsureApplication();
    static const qv::fuzz::ScratchRoots scratch(
        {"MSTS/TRAINS/CONSISTS", "MSTS/TRAINS/TRAINSET/W", "MSTS/TRAINS/TRAINSET/E"});
    scratch.Reset();
    qv::App().ViewerControlRegistered = true;
    qv::FakeUi ui;
    qv::ClearReport(qv::TheMainServices().InformationMemo());
    const int pick = data[0] % int(std::size(kFiles));
    for (int i = 0; i < int(std::size(kFiles)); ++i)
        scratch.Write(QLatin1String(kFiles[i].name),
                      i == pick ? qv::fuzz::Input(data + 1, size - 1) : QByteArray(kFiles[i].text));

    qv::ItemSet consist;
    consist.PType = qv::PT_CONSIST;
    consist.FileName = QStringLiteral("A.con");
    consist.Description = QStringLiteral("A");
    if (auto header = qv::BuildViewerHeader(consist))
        Lay(*header);
    qv::ItemSet wagon;
    wagon.PType = qv::PT_STOCK;
    wagon.FileName = QStringLiteral("W\\W.wag");
    if (auto header = qv::BuildViewerHeader(wagon))
        Lay(*header);
    qv::ResetAppState();
    return 0;
}
