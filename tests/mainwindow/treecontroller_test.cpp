#include "mainwindow/forms/treecontroller.h"

#include "core/forms/fixeddefs.h"
#include "mainwindow/forms/itemtreemodel.h"
#include "mainwindow/objecttree.h"
#include "mainwindow/objecttreetestkit.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QTextEdit>
#include <QTreeView>

using namespace qv;

namespace {

class TreeControllerTest : public ObjectTreeTest {
protected:
    void Load() {
        BuildInstallation();
        LoadTree(tree, QString(), nullptr, -1);
        view.resize(400, 800);
        view.show();
    }
    QModelIndex IndexOf(const ItemNode* node) const { return controller.Model()->IndexOf(node); }

    // Shows the node, selects it and clicks `dx` pixels left of its text.
    void ClickLeftOfText(ItemNode* node, int dx) {
        for (ItemNode* above = node->Parent(); above; above = above->Parent())
            view.expand(IndexOf(above));
        tree.SetSelected(node);
        const QRect text = controller.NodeTextRect(node);
        const QPointF pos(text.left() - dx, text.center().y());
        const QPointF global = view.viewport()->mapToGlobal(pos);
        QMouseEvent press(QEvent::MouseButtonPress, pos, global, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &press);
        QMouseEvent release(QEvent::MouseButtonRelease, pos, global, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &release);
    }

    // The register line of a list of ALPHA's Explore Mode consists, by the list's name.
    static QString AlphaListLine(const QString& name) {
        const StringList lists = ReadRouteLists("Routes\\ALPHA", PT_EXPLORE_CONSIST, false);
        for (const QString& line : lists.Strings())
            if (line.endsWith("," + name))
                return line;
        return {};
    }

    static QStringList Texts(const QMenu& menu) {
        QStringList texts;
        for (const QAction* action : menu.actions())
            texts << action->text();
        return texts;
    }

    TFixedDefsForm pictures; // the state icons
    QTreeView view;
    TreeController controller{&view, tree};
};

} // namespace

TEST_F(TreeControllerTest, ViewAndTreeKeepSelectionAndOpenNodesAlike) {
    Load();
    EXPECT_EQ(view.currentIndex(), IndexOf(tree.First()));
    EXPECT_TRUE(view.isExpanded(IndexOf(tree.Root(1))));
    EXPECT_EQ(services.updates, 0); // the load itself refreshes nothing

    ItemNode* alpha = Node("Alpha Line", PT_ROUTE);
    view.setCurrentIndex(IndexOf(alpha));
    EXPECT_EQ(tree.Selected(), alpha);
    EXPECT_EQ(services.updates, 1);
    EXPECT_EQ(services.infos, 1);

    App().TreeClearing = true;
    view.setCurrentIndex(IndexOf(tree.First()));
    EXPECT_EQ(tree.Selected(), tree.First());
    EXPECT_EQ(services.updates, 1);
    App().TreeClearing = false;

    services.SetMainPageIndex(0); // on the Easy page no item information is shown
    tree.SetSelected(alpha);
    EXPECT_EQ(view.currentIndex(), IndexOf(alpha));
    EXPECT_EQ(services.updates, 2);
    EXPECT_EQ(services.infos, 1);

    // Opening a list node in the view fills it; open state follows either way.
    ItemNode* list = Node("Explore Mode Consists");
    view.expand(IndexOf(list));
    EXPECT_TRUE(list->Expanded());
    EXPECT_EQ(controller.Model()->rowCount(IndexOf(list)), 2);
    EXPECT_EQ(IndexOf(list->Child(1)).data().toString(), "Passenger Two");
    view.collapse(IndexOf(list));
    EXPECT_FALSE(list->Expanded());
    alpha->SetExpanded(true);
    EXPECT_TRUE(view.isExpanded(IndexOf(alpha)));
}

TEST_F(TreeControllerTest, StateIconClick_TogglesListAt10PxAndIgnores20Px) {
    Load();
    ItemNode* list = Node("Original List");
    ASSERT_EQ(list->StateIndex, SI_LIST_ACTIVE);

    ClickLeftOfText(list, 10);
    EXPECT_EQ(list->StateIndex, SI_LIST_INACTIVE);
    EXPECT_TRUE(AlphaListLine("Original List").contains("=11,"));
    const int updates = services.updates;
    ClickLeftOfText(list, 10); // selected already: the switch alone refreshes the menus
    EXPECT_EQ(services.updates, updates + 1);
    EXPECT_EQ(list->StateIndex, SI_LIST_ACTIVE);
    EXPECT_TRUE(AlphaListLine("Original List").contains("=12,"));

    ClickLeftOfText(list, 20);
    EXPECT_EQ(list->StateIndex, SI_LIST_ACTIVE);
    EXPECT_EQ(Node("New List (1)")->StateIndex, SI_LIST_INACTIVE);
}

TEST_F(TreeControllerTest, StateIconClick_ShowsEntryInViewerOnlyWhenOneIsKnown) {
    Load();
    int shown = 0;
    controller.ShowInViewer = [&shown] { ++shown; };
    ItemNode* list = Node("Explore Mode Consists");
    view.expand(IndexOf(list));
    ItemNode* entry = list->FirstChild();

    ClickLeftOfText(entry, 10);
    EXPECT_EQ(shown, 0);
    App().ShapeViewerPath = "C:\\Viewer\\viewer.exe";
    ClickLeftOfText(entry, 10);
    EXPECT_EQ(shown, 1);
}

TEST_F(TreeControllerTest, Popup_CopiesEnabledItemsOfTheNodesMenuAndThePaneCommands) {
    Load();
    QMenu popup, routes;
    QAction* store = routes.addAction("Store Selected Route");
    QAction* unstore = routes.addAction("Unstore Selected Route");
    unstore->setEnabled(false);
    routes.addAction("View All Paths")->setProperty("Tag", -1);
    routes.addAction("Set TSECTION");
    QAction find("Find"), findNext("Find Next"), copy("Copy"), save("Save Text"), print("Print");
    controller.SetPopupSources({&popup, &routes, nullptr, nullptr, nullptr, nullptr, store, unstore,
                                nullptr, nullptr, nullptr, &find, &findNext, &copy, &save, &print});
    int stored = 0;
    QObject::connect(store, &QAction::triggered, [&stored] { ++stored; });

    tree.SetSelected(Node("Alpha Line", PT_ROUTE));
    const int updates = services.updates;
    controller.MainFormPopupPopup(&view);
    EXPECT_EQ(Texts(popup),
              (QStringList{"Store Alpha Line", "Set TSECTION", "Find", "Copy", "Save Text"}));
    EXPECT_EQ(services.updates, updates + 1);
    popup.actions().first()->trigger();
    EXPECT_EQ(stored, 1);

    QTextEdit pane;
    controller.SearchContinuesIn = [&pane](QWidget* control) { return control == &pane; };
    controller.MainFormPopupPopup(&pane);
    EXPECT_EQ(Texts(popup), (QStringList{"Find", "Find Next", "Copy", "Save Text", "Print"}));

    // The pane commands are copied as they stand: a disabled one stays disabled in the popup.
    for (QAction* source : {&find, &copy, &save, &print}) {
        source->setEnabled(false);
        controller.MainFormPopupPopup(&pane);
        for (QAction* item : popup.actions())
            EXPECT_EQ(item->isEnabled(), item->text() != source->text())
                << item->text().toStdString();
        source->setEnabled(true);
    }
}

TEST_F(TreeControllerTest, ListCommands_SwitchListsAndOpenEditorsByClass) {
    Load();
    std::vector<std::pair<ItemNode*, int>> opened;
    controller.ShowConsistListEditor = [&opened](ItemNode* node, int mode) {
        opened.emplace_back(node, mode);
        return 1;
    };
    ItemNode* original = Node("Original List");
    ItemNode* other = Node("New List (1)");

    tree.SetSelected(other);
    const int updates = services.updates;
    controller.ActivateThisPathListOnlyMnuClick();
    EXPECT_EQ(other->StateIndex, SI_LIST_ACTIVE);
    EXPECT_EQ(original->StateIndex, SI_LIST_INACTIVE);
    EXPECT_EQ(services.updates, updates + 1);
    controller.DeActivatePathListMnuClick();
    EXPECT_EQ(other->StateIndex, SI_LIST_INACTIVE);

    controller.AddExploreModeConsistsBtnClick(); // an existing list: edited
    controller.AddPathListMnuClick();            // no new list below a list node
    tree.SetSelected(original->Parent());        // the heading over both: a new list
    controller.AddExploreModeConsistsBtnClick();
    EXPECT_EQ(opened,
              (std::vector<std::pair<ItemNode*, int>>{{other, 1}, {original->Parent(), 2}}));

    controller.ViewAllPathsMnuClick(); // no path editor yet: nothing happens
}
