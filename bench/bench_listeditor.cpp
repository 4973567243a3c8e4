// The list editors' Available column at 2,000 and at 20,000 items, on the offscreen platform with
// the consist and the stock editor's own widgets: a Ctrl+click that changes the selection while
// 1,000 rows are selected, and a relayout of the rows (what an editor asks for once the store
// states of its items changed), each timed up to the end of the painting it causes. A change
// the user waits for must not grow with the rows the list holds: the lines
// "selection change, 20000 items / 2000 items = X" and "relayout, 20000 items / 2000 items = X"
// aim at 2 at most, and each time at 20,000 items at under 50 ms. The refill of the column (the
// Apply Filter button) is printed for information.
#include "core/appstate.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "editors/forms/editconsistlistsdlg.h"
#include "editors/forms/editstocklistsdlg.h"
#include "fixtures/registrysandbox.h"
#include "platform/fakeui.h"
#include "platform/registry.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPushButton>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace qv;

namespace {

constexpr int kSmall = 2000;
constexpr int kLarge = 20000;
constexpr int kSelected = 1000;
// Rounds of each measurement on one dialog, and dialogs of each size, made in turn.
constexpr int kRounds = 7;
constexpr int kPasses = 2;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Ms(const QElapsedTimer& timer) {
    return timer.nsecsElapsed() / 1e6;
}

// The records of the list, of names of several lengths; some in use (the highlight font),
// some in error (struck out), the rest in the store.
void FillRecords(RecordList<ItemSet>& records, std::uint32_t kind, int count) {
    records.clear();
    static const char* const kWords[] = {
        "Express", "Freight",  "Local", "Coal Train", "Mixed Goods Northbound",
        "Shunter", "Intercity"};
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("%1 %2 %3")
                                 .arg(QString::fromLatin1(kWords[i % 7]))
                                 .arg(i, 5, 10, QLatin1Char('0'))
                                 .arg(QString(i % 13, QLatin1Char('x')));
        const int state = i % 7 == 0    ? SI_IN_USE
                          : i % 11 == 0 ? SI_IN_STORE | SI_IN_ERROR
                                        : SI_IN_STORE;
        records.push_back(std::make_unique<ItemSet>(
            ItemSet{2, kind, state, name, QString(), name + QStringLiteral(".CON"), {}, {}}));
    }
}

void SendClick(QWidget* viewport, const QPoint& at, Qt::KeyboardModifiers modifiers) {
    const QPointF global = viewport->mapToGlobal(QPointF(at));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), global, Qt::LeftButton, Qt::LeftButton,
                      modifiers);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), global, Qt::LeftButton,
                        Qt::NoButton, modifiers);
    QApplication::sendEvent(viewport, &press);
    QApplication::sendEvent(viewport, &release);
}

struct Times {
    std::vector<double> selection, relayout, refill, layout, show;
};

// One dialog over `count` records: the rounds of each measurement.
void Measure(const std::function<std::unique_ptr<TListEditorDlg>()>& open,
             RecordList<ItemSet>& records, std::uint32_t kind, int count, Times* times) {
    FillRecords(records, kind, count);
    QElapsedTimer shown;
    shown.start();
    std::unique_ptr<TListEditorDlg> dialog = open();
    dialog->show();
    QApplication::processEvents();
    times->show.push_back(Ms(shown));
    QListWidget* rows = dialog->AvailableListBox;
    if (rows->count() != count) {
        std::fprintf(stderr, "the editor shows %d rows of %d\n", rows->count(), count);
        std::exit(1);
    }
    rows->setFocus();
    // 1,000 rows apart from each other, as Ctrl+clicks leave them.
    QItemSelection chosen;
    for (int k = 0; k < kSelected; ++k) {
        const QModelIndex index = rows->model()->index(3 + k * (count / kSelected), 0);
        chosen.select(index, index);
    }
    rows->selectionModel()->select(chosen, QItemSelectionModel::Select);
    QApplication::processEvents();

    QWidget* viewport = rows->viewport();
    const QPoint at = rows->visualItemRect(rows->item(1)).center();
    for (int round = 0; round < kRounds; ++round) {
        // Row 1 in and out of the selection, so that it keeps about 1,000 rows.
        QElapsedTimer timer;
        timer.start();
        SendClick(viewport, at, Qt::ControlModifier);
        QApplication::processEvents();
        times->selection.push_back(Ms(timer));

        // Some items change state, as after an unstore from the popup; the rows are laid out
        // and painted again.
        for (int i = round; i < count; i += 97)
            records[std::size_t(i)]->StoreInd ^= SI_IN_USE | SI_IN_STORE;
        timer.restart();
        dialog->AvailableView().Repaint();
        QApplication::processEvents();
        times->relayout.push_back(Ms(timer));
    }
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer timer;
        timer.start();
        rows->doItemsLayout();
        times->layout.push_back(Ms(timer));
        timer.restart();
        dialog->ApplyFilterBtn->click();
        QApplication::processEvents();
        times->refill.push_back(Ms(timer));
    }
    dialog->reject();
}

bool Report(const char* editor, const Times& small, const Times& large) {
    const double selection[2] = {Median(small.selection), Median(large.selection)};
    const double relayout[2] = {Median(small.relayout), Median(large.relayout)};
    std::printf("%s editor:\n", editor);
    std::printf("    %d items: selection change %.2f ms, relayout %.2f ms, refill %.1f ms\n",
                kSmall, selection[0], relayout[0], Median(small.refill));
    std::printf("    %d items: selection change %.2f ms, relayout %.2f ms, refill %.1f ms\n",
                kLarge, selection[1], relayout[1], Median(large.refill));
    std::printf("    the dialog shown with its rows: %.1f ms at %d items, %.1f ms at %d items "
                "(information)\n",
                Median(small.show), kSmall, Median(large.show), kLarge);
    std::printf("    the view's own layout of every row (after a refill or a resize): %.2f ms at "
                "%d items, %.2f ms at %d items (information)\n",
                Median(small.layout), kSmall, Median(large.layout), kLarge);
    const double selectionRatio = selection[1] / std::max(selection[0], 1e-3);
    const double relayoutRatio = relayout[1] / std::max(relayout[0], 1e-3);
    const bool quick = selection[1] < 50 && relayout[1] < 50;
    std::printf("selection change, %d items / %d items = %.2f (target at most 2: %s)\n", kLarge,
                kSmall, selectionRatio, selectionRatio <= 2 ? "met" : "MISSED");
    std::printf("relayout, %d items / %d items = %.2f (target at most 2: %s)\n", kLarge, kSmall,
                relayoutRatio, relayoutRatio <= 2 ? "met" : "MISSED");
    std::printf("    at %d items each under 50 ms: %s\n", kLarge, quick ? "met" : "MISSED");
    return quick && selectionRatio <= 2 && relayoutRatio <= 2;
}

bool Bench(const char* editor, const std::function<std::unique_ptr<TListEditorDlg>()>& open,
           RecordList<ItemSet>& records, std::uint32_t kind) {
    Times small, large;
    for (int pass = 0; pass < kPasses; ++pass) {
        Measure(open, records, kind, kSmall, &small);
        Measure(open, records, kind, kLarge, &large);
    }
    records.clear();
    return Report(editor, small, large);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    RegistrySandbox registry;
    ResetAppState();
    App().ProgramTitle = QStringLiteral("Quarvel");
    HeadlessMainServices main;
    SetMainServices(&main);
    FakeUi ui;
    SetUi(&ui);
    // Every store state shown.
    RegWriteString(kProductKey + QStringLiteral("\\Filters\\Consists"), QStringLiteral("StoreInd"),
                   QStringLiteral("3"));
    RegWriteString(kProductKey + QStringLiteral("\\Filters\\Stock"), QStringLiteral("StoreInd"),
                   QStringLiteral("3"));

    const bool consists = Bench(
        "consist", [] { return std::make_unique<TEditConsistListsDlg>(nullptr, EM_VIEW_ALL); },
        App().ConsistCacheList, PT_CONSIST | PT_DRIVEABLE);
    const bool stock = Bench(
        "stock", [] { return std::make_unique<TEditStockListsDlg>(nullptr, EM_VIEW_ALL); },
        App().StockCacheList, PT_STOCK | PT_ENGINE | PT_DRIVEABLE);
    SetUi(nullptr);
    SetMainServices(nullptr);
    return consists && stock ? 0 : 1;
}
