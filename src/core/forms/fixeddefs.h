// The pictures the program shares: the image lists that the main window's tool bar, the buttons
// of the pages and dialogs, the About box and the tree's state icons take by index. They are
// drawn once when the holder is made; the holder itself is never shown.
#pragma once

#include <QList>
#include <QObject>
#include <QPixmap>
#include <QSize>

namespace qv {

// Pictures of one size, taken by index. Every picture has a transparent background.
struct ImageList {
    QSize Size;
    QList<QPixmap> Images;

    int Count() const { return int(Images.size()); }
};

// What the tool-bar pictures show, by index.
enum ToolBarImage : int {
    TB_NEW = 0,
    TB_OPEN = 1,
    TB_SAVE = 2,
    TB_SAVE_AS = 3,
    TB_PRINT = 4,
    TB_UNSTORE_EVERYTHING = 5,
    TB_FIND = 6,
};

// What the button pictures (glyphs) show, by index.
enum ButtonImage : int {
    BTN_EXPLORE_CONSIST_LIST = 0,
    BTN_MAINTENANCE_CONSIST_LIST = 1,
    BTN_MAINTENANCE_STOCK_LIST = 2,
    BTN_FOLDER = 3,
    BTN_STORE = 4,
    BTN_UNSTORE = 5,
    BTN_EXPLORE_PATH_LIST = 6,
    BTN_MAINTENANCE_PATH_LIST = 7,
};

class TFixedDefsForm : public QObject {
    Q_OBJECT

public:
    // Draws every picture. The main window owns the one instance; while it exists it is
    // reachable through FixedDefsForm().
    explicit TFixedDefsForm(QObject* owner = nullptr);
    ~TFixedDefsForm() override;

    ImageList ToolBarImageList; // 16 x 16, 7 pictures (ToolBarImage)
    ImageList ButtonImageList;  // 32 x 32, 8 pictures (ButtonImage)
    ImageList LargeImageList;   // 64 x 64, 1 picture: the About box's
    // 16 x 16, 13 pictures: a tree node's state icon is its record's store indicator.
    ImageList StateImageList;
};

// The instance in existence, or null before the main window made it and after it is gone.
TFixedDefsForm* FixedDefsForm();

} // namespace qv
