#include "core/forms/fixeddefs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <functional>

namespace qv {

namespace {

TFixedDefsForm* theInstance = nullptr;

// Every picture is drawn on a canvas of 16 x 16 units and scaled to the list's size, so that the
// same motif reads alike as a 16-pixel state icon and as a 32-pixel button glyph.
constexpr qreal kUnits = 16.0;

const QColor kInk(40, 40, 40);
const QColor kLoco(178, 34, 34);
const QColor kWagon(139, 90, 43);
const QColor kRail(110, 110, 110);
const QColor kShed(50, 110, 60);
const QColor kGlass(170, 210, 240);
const QColor kLamp(255, 220, 80);
const QColor kSun(255, 190, 0);
const QColor kGrass(80, 160, 60);
const QColor kFrame(30, 60, 150);
const QColor kPaper(255, 252, 230);
const QColor kFolder(232, 190, 80);
const QColor kRoute(200, 30, 30);
const QColor kArrow(30, 140, 60);
const QColor kPathLight(70, 150, 235);
const QColor kPathDark(20, 50, 120);

using Motif = std::function<void(QPainter&)>;

QPen Pen(const QColor& colour, qreal width) {
    QPen pen(colour, width);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

QPixmap Picture(int size, const Motif& motif) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / kUnits, size / kUnits);
    motif(p);
    return pixmap;
}

// Draws a motif made for a box of w x h units into the target rectangle.
void InBox(QPainter& p, const QRectF& target, qreal w, qreal h, const Motif& motif) {
    p.save();
    p.translate(target.topLeft());
    p.scale(target.width() / w, target.height() / h);
    motif(p);
    p.restore();
}

// A motif shrunk inside a frame: the second picture of each list-kind pair.
Motif Framed(const Motif& inner, const QColor& frame = kFrame) {
    return [inner, frame](QPainter& p) {
        p.setPen(Pen(frame, 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(0.5, 0.5, 15, 15));
        InBox(p, QRectF(2.5, 2.5, 11, 11), kUnits, kUnits, inner);
    };
}

void Arrow(QPainter& p, QPointF from, QPointF to, const QColor& colour) {
    const QLineF shaft(to, from);
    QLineF side1 = shaft;
    side1.setLength(3.0);
    side1.setAngle(shaft.angle() + 35);
    QLineF side2 = shaft;
    side2.setLength(3.0);
    side2.setAngle(shaft.angle() - 35);
    p.setPen(Pen(colour, 1.6));
    p.drawLine(from, to);
    p.setBrush(colour);
    p.setPen(Pen(colour, 0.6));
    p.drawPolygon(QPolygonF({to, side1.p2(), side2.p2()}));
}

void Track(QPainter& p, qreal y) {
    p.setPen(Pen(kRail, 1.0));
    p.drawLine(QPointF(0.5, y), QPointF(15.5, y));
}

void Wheels(QPainter& p, qreal y, qreal left, qreal right) {
    p.setPen(Pen(kInk, 0.4));
    p.setBrush(kInk);
    p.drawEllipse(QPointF(left, y), 0.9, 0.9);
    p.drawEllipse(QPointF(right, y), 0.9, 0.9);
}

void WagonSide(QPainter& p, const QRectF& body) {
    p.setPen(Pen(kInk, 0.6));
    p.setBrush(kWagon);
    p.drawRect(body);
    Wheels(p, body.bottom() + 0.9, body.left() + 1.3, body.right() - 1.3);
}

void LocoSide(QPainter& p, const QRectF& body) {
    p.setPen(Pen(kInk, 0.6));
    p.setBrush(kLoco);
    p.drawRect(body);
    p.setBrush(kGlass);
    p.drawRect(QRectF(body.right() - 2.6, body.top() + 1.0, 1.6, 1.6));
    Wheels(p, body.bottom() + 0.9, body.left() + 1.3, body.right() - 1.3);
}

// The front of a locomotive in a box of 10 x 12 units.
void LocoFrontUnits(QPainter& p) {
    p.setPen(Pen(kInk, 0.6));
    p.setBrush(kLoco);
    p.drawRoundedRect(QRectF(1, 0.5, 8, 9.8), 1.5, 1.5);
    p.setBrush(kGlass);
    p.drawRect(QRectF(2, 2, 2.5, 2.5));
    p.drawRect(QRectF(5.5, 2, 2.5, 2.5));
    p.setBrush(kLamp);
    p.drawEllipse(QPointF(5, 7.2), 1.0, 1.0);
    p.setBrush(kInk);
    p.drawRect(QRectF(0.3, 10.3, 9.4, 1.3));
}

void LocoFront(QPainter& p, const QRectF& target) {
    InBox(p, target, 10, 12, LocoFrontUnits);
}

void Shed(QPainter& p) {
    p.setPen(Pen(kShed, 1.2));
    p.setBrush(QColor(kShed.red(), kShed.green(), kShed.blue(), 50));
    p.drawPolygon(QPolygonF({QPointF(1.5, 15.4), QPointF(1.5, 6.2), QPointF(8, 1.0),
                             QPointF(14.5, 6.2), QPointF(14.5, 15.4)}));
}

void TwoWagons(QPainter& p) {
    Track(p, 14);
    WagonSide(p, QRectF(0.8, 7.5, 6.6, 4.6));
    WagonSide(p, QRectF(8.6, 7.5, 6.6, 4.6));
    p.setPen(Pen(kInk, 0.8));
    p.drawLine(QPointF(7.4, 10.8), QPointF(8.6, 10.8));
}

void LocoInTheOpen(QPainter& p) {
    p.setPen(Pen(kSun, 0.5));
    p.setBrush(kSun);
    p.drawEllipse(QPointF(13.2, 2.8), 2.0, 2.0);
    p.setPen(Pen(kGrass, 1.4));
    p.drawLine(QPointF(0.7, 15), QPointF(15.3, 15));
    LocoFront(p, QRectF(1.5, 2.5, 9, 12));
}

void LocoInShed(QPainter& p) {
    Shed(p);
    LocoFront(p, QRectF(4.5, 6.8, 7, 8.4));
}

void RouteMap(QPainter& p) {
    p.setPen(Pen(kInk, 0.7));
    p.setBrush(kPaper);
    p.drawRect(QRectF(1, 1.5, 14, 13));
    p.setPen(Pen(kRoute, 1.3));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(3, 12), QPointF(6, 7.5), QPointF(9, 10), QPointF(13, 4)}));
    p.setPen(Pen(kInk, 0.5));
    p.setBrush(kInk);
    p.drawEllipse(QPointF(3, 12), 1.0, 1.0);
    p.drawEllipse(QPointF(13, 4), 1.0, 1.0);
}

void LetterAOverArrow(QPainter& p) {
    p.setPen(Pen(kInk, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(4.5, 9), QPointF(8, 1.5), QPointF(11.5, 9)}));
    p.drawLine(QPointF(6.1, 6.2), QPointF(9.9, 6.2));
    Arrow(p, QPointF(1.5, 13), QPointF(14.5, 13), kArrow);
}

void Consist(QPainter& p) {
    Track(p, 14);
    LocoSide(p, QRectF(0.8, 6.5, 7.6, 5.6));
    WagonSide(p, QRectF(9.4, 7.5, 5.8, 4.6));
}

void PlainLocoFront(QPainter& p) {
    LocoFront(p, QRectF(2.5, 1.5, 11, 13.2));
}

Motif DashedPath(const QColor& colour) {
    return [colour](QPainter& p) {
        QPainterPath path(QPointF(1.5, 13.5));
        path.cubicTo(QPointF(9, 15), QPointF(4, 2), QPointF(14.5, 2.5));
        QPen pen = Pen(colour, 1.7);
        pen.setCapStyle(Qt::FlatCap);
        pen.setDashPattern({1.5, 1.2});
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
        p.setPen(Pen(colour, 0.5));
        p.setBrush(colour);
        p.drawEllipse(QPointF(1.5, 13.5), 1.2, 1.2);
        p.drawEllipse(QPointF(14.5, 2.5), 1.2, 1.2);
    };
}

Motif CheckBox(bool ticked) {
    return [ticked](QPainter& p) {
        p.setPen(Pen(kInk, 1.0));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(2.5, 2.5, 11, 11));
        if (ticked) {
            p.setPen(Pen(kArrow, 1.9));
            p.setBrush(Qt::NoBrush);
            p.drawPolyline(QPolygonF({QPointF(4.8, 8), QPointF(7, 10.8), QPointF(11.5, 5)}));
        }
    };
}

void NewPage(QPainter& p) {
    p.setPen(Pen(kInk, 0.8));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF(
        {QPointF(3, 1), QPointF(10, 1), QPointF(13, 4), QPointF(13, 15), QPointF(3, 15)}));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(10, 1), QPointF(10, 4), QPointF(13, 4)}));
}

void Folder(QPainter& p) {
    p.setPen(Pen(kInk, 0.7));
    p.setBrush(kFolder);
    p.drawPolygon(QPolygonF({QPointF(1, 3), QPointF(6, 3), QPointF(7.5, 4.5), QPointF(15, 4.5),
                             QPointF(15, 14), QPointF(1, 14)}));
}

void OpenFolder(QPainter& p) {
    Folder(p);
    p.setBrush(kFolder.lighter(120));
    p.drawPolygon(
        QPolygonF({QPointF(3.5, 7.5), QPointF(15.5, 7.5), QPointF(13, 14), QPointF(1, 14)}));
}

void Disk(QPainter& p) {
    p.setPen(Pen(kInk, 0.7));
    p.setBrush(kFrame);
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 1.5, 8, 5));
    p.setBrush(QColor(190, 190, 190));
    p.drawRect(QRectF(4.5, 9.5, 7, 5));
}

void DiskWithPencil(QPainter& p) {
    InBox(p, QRectF(0, 0, 12, 12), kUnits, kUnits, Disk);
    p.setPen(Pen(kInk, 2.6));
    p.drawLine(QPointF(9.5, 14.5), QPointF(15, 9));
    p.setPen(Pen(kLamp, 1.6));
    p.drawLine(QPointF(10.2, 13.8), QPointF(15, 9));
}

void Printer(QPainter& p) {
    p.setPen(Pen(kInk, 0.7));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 1.5, 8, 5));
    p.setBrush(QColor(160, 160, 160));
    p.drawRoundedRect(QRectF(1, 6, 14, 6), 1, 1);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 10, 8, 4.5));
}

void ShedWithArrow(QPainter& p, bool outward) {
    Shed(p);
    if (outward)
        Arrow(p, QPointF(6, 11), QPointF(15.5, 11), kArrow);
    else
        Arrow(p, QPointF(0.5, 11), QPointF(10, 11), kRoute);
}

void Magnifier(QPainter& p) {
    p.setPen(Pen(kInk, 2.4));
    p.drawLine(QPointF(10, 10), QPointF(14.5, 14.5));
    p.setPen(Pen(kInk, 1.2));
    p.setBrush(kGlass);
    p.drawEllipse(QPointF(6.5, 6.5), 4.8, 4.8);
}

ImageList MakeList(int size, const QList<Motif>& motifs) {
    ImageList list;
    list.Size = QSize(size, size);
    for (const Motif& motif : motifs)
        list.Images.append(Picture(size, motif));
    return list;
}

} // namespace

TFixedDefsForm::TFixedDefsForm(QObject* owner) : QObject(owner) {
    setObjectName(QStringLiteral("FixedDefsForm"));

    ToolBarImageList = MakeList(16, {NewPage, OpenFolder, Disk, DiskWithPencil, Printer,
                                     [](QPainter& p) { ShedWithArrow(p, true); }, Magnifier});

    ButtonImageList = MakeList(32, {Consist, Framed(Consist), Framed(PlainLocoFront), Folder,
                                    [](QPainter& p) { ShedWithArrow(p, false); },
                                    [](QPainter& p) { ShedWithArrow(p, true); },
                                    DashedPath(kPathLight), Framed(DashedPath(kPathDark))});

    LargeImageList = MakeList(64, {LocoInShed});

    // By store indicator: 1 In Use, 2 In Store, 11 and 12 the inactive and active named list;
    // each list-kind pair shows its Explore Mode picture first, its Maintenance Mode one second.
    StateImageList = MakeList(16, {TwoWagons, LocoInTheOpen, LocoInShed, RouteMap, LetterAOverArrow,
                                   Consist, Framed(Consist), PlainLocoFront, Framed(PlainLocoFront),
                                   DashedPath(kPathLight), DashedPath(kPathDark), CheckBox(false),
                                   CheckBox(true)});

    theInstance = this;
}

TFixedDefsForm::~TFixedDefsForm() {
    if (theInstance == this)
        theInstance = nullptr;
}

TFixedDefsForm* FixedDefsForm() {
    return theInstance;
}

} // namespace qv
