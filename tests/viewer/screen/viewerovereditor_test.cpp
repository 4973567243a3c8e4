// A viewer opened from a list editor comes to the front and takes the keys: Esc closes the viewer
// and leaves the editor, modal to the main window only, open.
#include "easy/fakewindow/xserver.h"
#include "editors/editortestkit.h"
#include "editors/forms/editconsistlistsdlg.h"
#include "editors/forms/listeditoropeners.h"
#include "editors/listeditoractions.h"
#include "viewer/forms/viewerform.h"
#include "viewer/viewerwindow.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QtCore/qtestsupport_core.h>

namespace qv {
namespace {

class ViewerOverEditor : public EditorTest {
protected:
    ViewerOverEditor() {
        TheListEditorHooks().ShowShape = [](const ItemSet& item) {
            auto header = NewSviewHeaderInfo();
            header->Title = item.Description;
            header->Models.push_back(NewSviewModelInfo());
            OpenViewerWindow(std::move(header));
        };
        TheListEditorHooks().ShapeViewerOffered = [](const ItemSet&) { return true; };
    }
    ~ViewerOverEditor() override {
        ViewerHousekeeping(ViewerWindows(), true);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        TheListEditorHooks() = ListEditorHooks();
    }
};

TEST_F(ViewerOverEditor, AViewerFromTheEditorIsActiveAndTakesItsKeys) {
    QV_REQUIRE_X_SERVER();
    App().ConsistCacheList.push_back(Record(2, PT_CONSIST, 2, "Local", "", "LOCAL.CON"));
    QWidget mainWindow;
    mainWindow.resize(400, 300);
    mainWindow.show();

    QWidget* active = nullptr;
    TViewerForm* viewer = nullptr;
    bool viewerClosed = false, editorOpen = false;
    QTimer::singleShot(0, [&] {
        TEditConsistListsDlg* editor = EditConsistListsDlg();
        editor->StoreIndCmbx->setCurrentIndex(editor->StoreIndCmbx->count() - 1);
        editor->ApplyFilterBtnClick();
        if (editor->AvailableListBox->count() == 1) {
            editor->AvailableListBox->item(0)->setSelected(true);
            editor->ViewBtn->click();
        }
        if (!ViewerWindows().Entries.empty())
            viewer = dynamic_cast<TViewerForm*>(ViewerWindows().Entries.front()->Window);
        const auto inFront = [&] { return viewer && QApplication::activeWindow() == viewer; };
        active = QTest::qWaitFor(inFront, 2000) ? viewer : QApplication::activeWindow();
        // Esc goes where the window system sends keys: the focus widget, else the active window.
        QWidget* focus = QApplication::focusWidget();
        if (focus || active) {
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(focus ? focus : active, &escape);
        }
        QTest::qWait(50);
        viewerClosed = viewer && viewer->isHidden();
        editorOpen = editor->isVisible();
        editor->reject();
    });
    EXPECT_EQ(ShowConsistListEditor(EM_VIEW_ALL, &mainWindow), 2);
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(active, viewer);
    EXPECT_TRUE(viewerClosed);
    EXPECT_TRUE(editorOpen);
}

} // namespace
} // namespace qv
