// A tiny shape writer for the tests: one tree of blocks written in both encodings, so that the
// text and the binary form of a synthetic shape hold the same content by construction.
#pragma once

#include "platform/mstsfile.h"

#include <QByteArray>
#include <QString>
#include <cstring>
#include <vector>

namespace qv::test {

struct Node;

struct Item {
    enum Kind { Int, Hex, Float, Text, Block } kind = Int;
    qint64 number = 0;
    float real = 0;
    QString text;
    std::vector<Node> block; // one node for a Block item
};

struct Node {
    QString name;
    int id = 0;
    QString label;
    std::vector<Item> items;
};

inline Item I(qint64 v) {
    return Item{Item::Int, v, 0, {}, {}};
}
inline Item H(quint32 v) {
    return Item{Item::Hex, v, 0, {}, {}};
}
inline Item F(float v) {
    return Item{Item::Float, 0, v, {}, {}};
}
inline Item S(const QString& v) {
    return Item{Item::Text, 0, 0, v, {}};
}
inline Item B(const QString& name, int id, std::vector<Item> items, const QString& label = {}) {
    return Item{Item::Block, 0, 0, {}, {Node{name, id, label, std::move(items)}}};
}

inline QString WriteText(const Node& node) {
    QString out = node.name + u' ';
    if (!node.label.isEmpty())
        out += node.label + u' ';
    out += QStringLiteral("(");
    for (const Item& item : node.items) {
        switch (item.kind) {
        case Item::Int:
            out += u' ' + QString::number(item.number);
            break;
        case Item::Hex:
            out += u' ' + QStringLiteral("%1").arg(quint32(item.number), 8, 16, QChar(u'0'));
            break;
        case Item::Float:
            out += u' ' + QString::number(item.real, 'g', 9);
            break;
        case Item::Text:
            out += QStringLiteral(" \"") + item.text + u'"';
            break;
        case Item::Block:
            out += QStringLiteral("\n\t") + WriteText(item.block.front());
            break;
        }
    }
    return out + QStringLiteral(" )");
}

inline void Put32(QByteArray* out, quint32 v) {
    for (int i = 0; i < 4; ++i)
        out->append(char((v >> (8 * i)) & 0xFF));
}

inline QByteArray WriteBinary(const Node& node) {
    QByteArray body;
    body.append(char(node.label.size()));
    body += EncodeUtf16Le(node.label);
    for (const Item& item : node.items) {
        switch (item.kind) {
        case Item::Int:
        case Item::Hex:
            Put32(&body, quint32(item.number));
            break;
        case Item::Float: {
            quint32 bits;
            std::memcpy(&bits, &item.real, 4);
            Put32(&body, bits);
            break;
        }
        case Item::Text:
            body.append(char(item.text.size() & 0xFF));
            body.append(char(item.text.size() >> 8));
            body += EncodeUtf16Le(item.text);
            break;
        case Item::Block:
            body += WriteBinary(item.block.front());
            break;
        }
    }
    QByteArray out;
    out.append(char(node.id & 0xFF));
    out.append(char(node.id >> 8));
    out.append(2, '\0');
    Put32(&out, quint32(body.size()));
    return out + body;
}

inline QByteArray Compress(const QByteArray& body) {
    QByteArray file("SIMISA@F");
    Put32(&file, quint32(body.size()));
    // qCompress puts a big-endian size before the zlib stream; the file holds the stream alone.
    return file + "@@@@" + qCompress(body).mid(4);
}

inline QByteArray TextShapeFile(const QString& text) {
    return QByteArray("\xFF\xFE", 2) +
           EncodeUtf16Le(QStringLiteral("SIMISA@@@@@@@@@@JINX0s1t______\r\n\r\n") + text);
}

inline QByteArray BinaryShapeBody(const Node& shape) {
    return QByteArray("JINX0s1b______\r\n") + WriteBinary(shape);
}

} // namespace qv::test
