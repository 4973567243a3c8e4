// Long lists of a text shape are cut into runs and read on several threads: the model and every
// fault must come out as they do when the whole shape is read in one go.
#include "graphics/shapebuild.h"
#include "graphics/shapereader.h"
#include "graphics/shapetokens.h"
#include "testshapes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace qv {
namespace {

using namespace qv::test;

// A shape of `count` points, point i at (i, 0, 0), one to a line, with `every37` written after
// every 37th point.
QString LongPointList(int count, const QString& every37 = {}) {
    QString text = QStringLiteral("shape (\n\tpoints ( %1\n").arg(count);
    for (int i = 0; i < count; ++i) {
        text += QStringLiteral("\t\tpoint ( %1 0 0 )\n").arg(i);
        if (i % 37 == 36)
            text += every37;
    }
    return text + QStringLiteral(
                      "\t)\n\tmatrices ( 1\n\t\tmatrix MAIN ( 1 0 0 0 1 0 0 0 1 0 0 0 )\n\t)\n)\n");
}

// A shape as the reader gives it (long lists on threads) or as one go over the same text does.
struct Reading {
    bool read = false;
    QString error;
    ShapeModel model;
};

Reading ReadOnThreads(const QString& text) {
    Reading reading;
    reading.read = ReadShapeBytes(TextShapeFile(text), &reading.model, &reading.error);
    return reading;
}

Reading ReadInOneGo(const QString& text) {
    Reading reading;
    try {
        // As the file gives it: after the sub-header's line break, the empty line.
        BuildShapeModel(*NewTextShapeSource(QStringLiteral("\r\n") + text), &reading.model);
        reading.read = true;
    } catch (const ShapeError& failure) {
        reading.error = failure.reason;
        reading.model = ShapeModel();
    }
    return reading;
}

// Both readings of the text give the same model, or the same fault naming `reason` (empty when
// the shape reads); the reading on threads is returned.
Reading ExpectReadAlike(const QString& text, const char* reason) {
    Reading threads = ReadOnThreads(text);
    const Reading oneGo = ReadInOneGo(text);
    EXPECT_EQ(threads.read, *reason == 0);
    EXPECT_EQ(threads.error, oneGo.error);
    EXPECT_TRUE(threads.error.contains(QLatin1String(reason))) << threads.error.toStdString();
    ExpectSameModel(threads.model, oneGo.model);
    return threads;
}

TEST(ShapeListsTest, LongListsReadOnThreadsGiveWhatOneGoGives) {
    const QString good = LongPointList(3000);
    // A comment holding a point on a line of its own, where a run may wrongly start.
    const QString tricky =
        LongPointList(3000, QStringLiteral("\t\tcomment (\npoint ( -1 -1 -1 )\n\t\t)\n"));
    QString faultAfter = good;
    ReplaceOnce(&faultAfter, "matrix MAIN ( 1 0", "matrix MAIN ( 1 z");
    // The list given twice: the first one is replaced, and is still read for its faults.
    QString twice = good;
    const qsizetype matrices = twice.indexOf(QLatin1String("\tmatrices ("));
    twice.insert(matrices, twice.mid(twice.indexOf(QLatin1String("\tpoints (")),
                                     matrices - twice.indexOf(QLatin1String("\tpoints ("))));
    struct Case {
        const char* name;
        QString text;
        const char* from;
        const char* to;
        const char* reason; // empty when the shape reads
    } cases[] = {
        {"good", good, "", "", ""},
        {"point blocks inside comments", tricky, "", "", ""},
        {"the whole shape on one line", QString(good).replace(u'\n', u' '), "", "", ""},
        {"a quoted text in the list", good, "point ( 1500 0 0 )",
         "point ( 1500 0 0 ) comment ( \")\" )", ""},
        {"a bad number deep in the list", good, "point ( 2500 0 0 )", "point ( 2500 x 0 )",
         "a number is expected at line 2504"},
        {"a missing value", good, "point ( 1200 0 0 )", "point ( 1200 0 )", "a value is missing"},
        {"a stray block", good, "point ( 700 0 0 )", "vector ( 700 0 0 )", "holds a vector block"},
        {"one item fewer than claimed", good, "points ( 3000", "points ( 3001",
         "holds 3000 entries, not the 3001"},
        {"an unclosed item", good, "point ( 2900 0 0 )", "point ( 2900 0 0",
         "holds a matrices block"},
        {"a fault in the list before one after it", faultAfter, "point ( 100 0 0 )",
         "point ( 100 y 0 )", "a number is expected at line 104"},
        {"the list given again", twice, "", "", ""},
        {"a fault in a list given again after it", twice, "point ( 2500 0 0 )",
         "point ( 2500 x 0 )", "a number is expected at line 2504"},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (*c.from != 0)
            ReplaceOnce(&c.text, c.from, c.to);
        const Reading threads = ExpectReadAlike(c.text, c.reason);
        if (threads.read) {
            ASSERT_EQ(threads.model.points.size(), 3000u);
            for (std::size_t i = 0; i < threads.model.points.size(); ++i)
                ASSERT_EQ(threads.model.points[i].x, float(i)) << i;
        }
    }
}

// A long list is cut after every so many of its blocks, each run reading exactly those; a list
// that holds other blocks than it claims, a quoted text or too little text for its items is
// not cut and is read where it stands.
TEST(ShapeListsTest, ListsAreCutAfterWholeBlocks) {
    const auto points = [](int count, const QString& between) {
        QString text;
        for (int i = 0; i < count; ++i)
            text += QStringLiteral("point ( %1 0 0 )").arg(i) + between;
        return text;
    };
    const QString lines = points(10, QStringLiteral("\n\t\t"));
    const QString nested = QStringLiteral("vertex ( 0 1 2 vertex_uvs ( 1 0 ) )\n").repeated(10);
    struct Case {
        const char* name;
        QString list; // after "points ( "
        qint64 perRun;
        qint64 itemBytes;
        std::vector<int> runs; // the blocks of each run; none when the list is not cut
    } cases[] = {
        {"runs and the rest", QStringLiteral("10\n\t\t") + lines + ")", 4, 12, {4, 4, 2}},
        {"no empty run at the end", QStringLiteral("8 ") + points(8, " ") + ")", 4, 12, {4, 4}},
        {"all on one line", QStringLiteral("10 ") + points(10, " ") + ")", 3, 12, {3, 3, 3, 1}},
        {"blocks inside blocks", QStringLiteral("10 ") + nested + ")", 4, 12, {4, 4, 2}},
        {"a quote after the list", QStringLiteral("10 ") + lines + ") \"(\"", 4, 12, {4, 4, 2}},
        {"more blocks than claimed", QStringLiteral("9 ") + lines + ")", 4, 12, {}},
        {"fewer blocks than claimed", QStringLiteral("11 ") + lines + ")", 4, 12, {}},
        {"a comment among them", QStringLiteral("10 ") + lines + "comment ( x ) )", 4, 12, {}},
        {"a quoted text",
         QStringLiteral("10 ") + lines.left(40) + "\"x\" " + lines.mid(40) + ")",
         4,
         12,
         {}},
        {"items larger than the text", QStringLiteral("10 ") + lines + ")", 4, 1000, {}},
        {"the list not closed", QStringLiteral("10 ") + lines, 4, 12, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString text = QStringLiteral("points ( ") + c.list + QStringLiteral(" after ( )");
        const std::unique_ptr<ShapeSource> source = NewTextShapeSource(text);
        int token = 0;
        QString label;
        ASSERT_TRUE(source->Open(&token, &label));
        const qint64 count = source->Int();
        const std::vector<std::unique_ptr<ShapeSource>> runs =
            source->SplitList(count, c.perRun, c.itemBytes);
        ASSERT_EQ(runs.size(), c.runs.size());
        int first = 0;
        for (std::size_t k = 0; k < runs.size(); ++k) {
            int blocks = 0;
            while (runs[k]->Open(&token, &label)) {
                if (token == kTokenPoint) {
                    EXPECT_EQ(runs[k]->Float(), float(first + blocks));
                }
                runs[k]->Close();
                ++blocks;
            }
            EXPECT_EQ(blocks, c.runs[k]) << k;
            EXPECT_TRUE(runs[k]->AtEnd()) << k;
            first += blocks;
        }
        if (runs.empty()) {
            // Not moved: the list's first block comes next.
            ASSERT_TRUE(source->Open(&token, &label));
            EXPECT_TRUE(token == kTokenPoint || token == kTokenVertex);
        } else {
            // Moved to the list's end: the block after it comes next.
            source->Close();
            ASSERT_TRUE(source->Open(&token, &label));
            EXPECT_EQ(token, kTokenUnknown);
        }
    }
}

// The helper threads are shared by every reading: shapes read on several threads at once, good
// ones and faulty ones mixed, each come out as they do alone.
TEST(ShapeListsTest, ShapesReadAtOnceShareTheHelpers) {
    QString faulty = LongPointList(3000);
    ReplaceOnce(&faulty, "point ( 2500 0 0 )", "point ( 2500 x 0 )");
    const QString texts[] = {LongPointList(3000), faulty};
    const Reading alone[] = {ReadInOneGo(texts[0]), ReadInOneGo(texts[1])};
    constexpr int kThreads = 4, kRounds = 20;
    std::atomic<int> differing{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < kRounds; ++round) {
                const int k = (t + round) % 2;
                const Reading reading = ReadOnThreads(texts[k]);
                if (reading.read != alone[k].read || reading.error != alone[k].error ||
                    reading.model.points.size() != alone[k].model.points.size())
                    ++differing;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(differing, 0);
}

// The text of the first block `name ( ... )` written on a line of its own, with its line break.
QString BlockText(const QString& text, const QString& name) {
    const qsizetype from = text.indexOf(QStringLiteral("\n\t") + name + QStringLiteral(" ("));
    EXPECT_GE(from, 0) << name.toStdString();
    int level = 0;
    for (qsizetype at = from; at >= 0 && at < text.size(); ++at) {
        level += text[at] == u'(' ? 1 : text[at] == u')' ? -1 : 0;
        if (text[at] == u')' && level == 0)
            return text.mid(from, at + 1 - from);
    }
    return {};
}

// A sub-object's long lists (its vertices, its triangles' vertex indexes) read on threads give
// the model and the faults that one go gives, also where a later block replaces or adds to the
// blocks that held them.
TEST(ShapeListsTest, SubObjectListsReadOnThreadsGiveWhatOneGoGives) {
    const QString good = WriteText(SyntheticShape(700)); // 2,800 vertices, 4,200 indexes
    const QString longObjects = BlockText(good, QStringLiteral("sub_objects"));
    const QString shortObjects =
        BlockText(WriteText(SyntheticShape()), QStringLiteral("sub_objects"));
    const QString primitives = BlockText(good, QStringLiteral("primitives"));
    struct Case {
        const char* name;
        QString from, to;
        const char* reason; // empty when the shape reads
    } cases[] = {
        {"good", {}, {}, ""},
        {"a bad index deep in a triangle list", "2796 2798 2799", "2796 x 2799",
         "a whole number is expected"},
        {"fewer indexes than claimed", "vertex_idxs ( 4200", "vertex_idxs ( 4201",
         "a value is missing"},
        {"a block inside the index list", "2796 2798 2799", "2796 comment ( 1 ) 2798 2799",
         "a whole number is expected"},
        {"an index beyond the vertices", "2796 2798 2799", "2796 2798 9999", "names vertex 9999"},
        {"a vertex naming a missing point", "vertex ( 00000000 3 0", "vertex ( 00000000 7 0",
         "names point 7"},
        {"sub-objects given again, none this time", longObjects,
         longObjects + QStringLiteral("\n\tsub_objects ( 0 )"), ""},
        {"sub-objects given again, a short one", longObjects, longObjects + shortObjects, ""},
        {"a fault in sub-objects given again", longObjects,
         QString(longObjects)
                 .replace(QLatin1String("2796 2798 2799"), QLatin1String("2796 x 2799")) +
             shortObjects,
         "a whole number is expected"},
        {"the primitives given twice", primitives, primitives + primitives, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QString text = good;
        if (!c.from.isEmpty())
            ReplaceOnce(&text, c.from, c.to);
        ExpectReadAlike(text, c.reason);
    }
}

// Long lists of points, UV points and normals, block k of each holding values built from k in
// the forms shapes are written in (fractions, exponents, signs).
QString LongFloatLists(int count) {
    QString points, uvs, normals;
    for (int k = 0; k < count; ++k) {
        points += QStringLiteral("\t\tpoint ( %1.5 -%1.0625 2.5e-3 )\n").arg(k);
        uvs += QStringLiteral("\t\tuv_point ( 0.%1 -%1 )\n").arg(k);
        normals += QStringLiteral("\t\tvector ( 0 -1 %1e-4 )\n").arg(k);
    }
    return QStringLiteral("shape (\n\tpoints ( %1\n%2\t)\n\tuv_points ( %1\n%3\t)\n"
                          "\tnormals ( %1\n%4\t)\n\tmatrices ( 1\n"
                          "\t\tmatrix MAIN ( 1 0 0 0 1 0 0 0 1 0 0 0 )\n\t)\n)\n")
        .arg(count)
        .arg(points, uvs, normals);
}

// The text with the item blocks of the long lists named in capitals, which the quick readers
// leave to be read block by block.
QString NamesInCapitals(QString text) {
    for (const char* name : {"point (", "vector (", "vertex ("})
        text.replace(QLatin1String(name), QString::fromLatin1(name).toUpper());
    return text;
}

// The blocks of points, UV points, normals and vertices written the usual way are read in one
// loop each, in runs and where they stand, and every other block one by one: blocks written
// another way among the usual ones read as they read block by block (all names in capitals),
// to the bit, or give the same fault.
TEST(ShapeListsTest, BlocksWrittenAnotherWayAmongUsualOnesReadAsInOneGo) {
    const QString floats = LongFloatLists(1500);
    const QString vertices = WriteText(SyntheticShape(700));
    const QString vertex =
        QStringLiteral("vertex ( 00000000 1 0 ff969696 ff808080\n\tvertex_uvs ( 1 1 ) )");
    struct Case {
        const char* name;
        const QString& text;
        QString from, to;   // the 600th `from` replaced
        const char* reason; // empty when the shape reads
    } cases[] = {
        {"floats as they are", floats, {}, {}, ""},
        {"a name in capitals", floats, "point (", "POINT (", ""},
        {"a comment before a block", floats, "\t\tvector (", "comment ( x ) vector (", ""},
        {"a labelled block", floats, "point (", "point p (", ""},
        {"no blank after the bracket", floats, "uv_point ( 0.", "uv_point (0.", ""},
        {"a number with more digits than the quick way reads", floats, "uv_point ( 0.",
         "uv_point ( 0.00000000000", ""},
        {"a value more than the block needs", floats, " 2.5e-3 )", " 2.5e-3 7 )", ""},
        {"a value missing", floats, " 2.5e-3 )", " )", "a value is missing"},
        {"a bad number", floats, " 2.5e-3 )", " 2.5e-3x )", "a number is expected"},
        {"a number too long for any reader", floats, " 2.5e-3 )",
         " 0000000000000000000000000000000000000000000000000000000000000000000001 )",
         "a number is expected"},
        {"vertices as they are", vertices, {}, {}, ""},
        {"a vertex in capitals", vertices, vertex, "VERTEX" + vertex.mid(6), ""},
        {"a labelled vertex", vertices, vertex, "vertex v" + vertex.mid(6), ""},
        {"a comment before a vertex", vertices, vertex, "comment ( ) " + vertex, ""},
        {"a vertex with two UV points", vertices, "vertex_uvs ( 1 1 )", "vertex_uvs ( 2 1 0 )", ""},
        {"a whole number with ten digits", vertices, "00000000 1 0", "00000000 0000000001 0", ""},
        {"a block after the UV points", vertices, "vertex_uvs ( 1 1 ) )",
         "vertex_uvs ( 1 1 ) extra ( 1 ) )", ""},
        {"a fraction for a whole number", vertices, "00000000 1 0", "00000000 1.0 0",
         "a whole number is expected"},
        {"more UV points claimed than given", vertices, "vertex_uvs ( 1 1 )", "vertex_uvs ( 3 1 )",
         "a value is missing"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QString text = c.text;
        if (!c.from.isEmpty())
            ReplaceOnce(&text, c.from, c.to, 599);
        const Reading threads = ExpectReadAlike(text, c.reason);
        const Reading blockByBlock = ReadInOneGo(NamesInCapitals(text));
        EXPECT_EQ(threads.error, blockByBlock.error);
        ExpectSameModel(threads.model, blockByBlock.model);
    }
}

// Whole numbers written the usual way are read a stretch at a time, up to the first written
// another way, which is left to Int.
TEST(ShapeListsTest, QuickWholeNumbersStopBeforeTheFirstWrittenAnotherWay) {
    struct Case {
        const char* name;
        const char* values;
        qint64 room;
        std::vector<int> read;
        qint64 then; // what Int reads next, or -1 for a block, -2 for the block's end
    } cases[] = {
        {"all of them", "1 -2 0003\t\r\n44", 8, {1, -2, 3, 44}, -2},
        {"no more than the room", "1 2 3", 2, {1, 2}, 3},
        {"ten digits", "5 1234567890 6", 8, {5}, 1234567890},
        {"a block among them", "7 comment ( 8 ) 9", 8, {7}, -1},
        {"a word that is no number", "12a 3", 8, {}, -3},
        {"a fraction", "4 2.5", 8, {4}, -3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString text = QStringLiteral("list ( %1 )").arg(QLatin1String(c.values));
        const std::unique_ptr<ShapeSource> source = NewTextShapeSource(text);
        int token = 0;
        QString label;
        ASSERT_TRUE(source->Open(&token, &label));
        std::vector<int> values(8, 99);
        values.resize(std::size_t(source->Ints(values.data(), c.room)));
        EXPECT_EQ(values, c.read);
        if (c.then == -1) {
            ASSERT_TRUE(source->Open(&token, &label));
            EXPECT_EQ(token, kTokenComment);
        } else if (c.then == -2) {
            EXPECT_FALSE(source->Open(&token, &label));
        } else if (c.then == -3) {
            try {
                source->Int();
                ADD_FAILURE() << "read as a whole number";
            } catch (const ShapeError& failure) {
                EXPECT_TRUE(failure.reason.startsWith(QLatin1String("a whole number is expected")))
                    << failure.reason.toStdString();
            }
        } else {
            EXPECT_EQ(source->Int(), c.then);
        }
    }
}

} // namespace
} // namespace qv
