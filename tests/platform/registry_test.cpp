#include "fixtures/registrysandbox.h"
#include "platform/registry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sys/stat.h>
#include <vector>

using namespace qv;

namespace {

const QString kKey = QStringLiteral("SOFTWARE\\Pellicott\\Quarvel");

QString ReadText(RegRoot root, const QString& path, const QString& name) {
    RegistryKey key;
    RegValue value;
    if (!key.OpenReadOnly(root, path) || !key.ReadValue(name, &value))
        return QStringLiteral("<missing>");
    return value.text;
}

bool WriteText(RegRoot root, const QString& path, const QString& name, const QString& text) {
    RegistryKey key;
    return key.Open(root, path, true) && key.WriteString(name, text);
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// ---- values, names and order ---------------------------------------------------------------

TEST(Registry, EachValueTypeSurvivesTheFileAndIsReadAsWritten) {
    RegistrySandbox sandbox;
    const QString tricky = QStringLiteral("C:\\Program Files\\\"x\"\nzwei Zeilen \u00e9\u4e2d");
    {
        RegistryKey key;
        ASSERT_TRUE(key.Open(HKEY_LOCAL_MACHINE, kKey, true));
        ASSERT_TRUE(key.WriteString(QStringLiteral("Text"), tricky));
        ASSERT_TRUE(key.WriteExpandString(QStringLiteral("Expand"), QStringLiteral("%HOME%\\a")));
        ASSERT_TRUE(key.WriteDword(QStringLiteral("Colour"), 0x00ff8001u));
        ASSERT_TRUE(key.WriteBinary(QStringLiteral("Data"), QByteArray(60, '\x7f') + '\0'));
        ASSERT_TRUE(key.WriteString(QString(), QStringLiteral("default")));
        ASSERT_TRUE(key.WriteStrings(
            {{QStringLiteral("One"), QStringLiteral("1")}, {QStringLiteral("Text"), tricky}}));
    }
    const QByteArray text = sandbox.ReadHive(HKEY_LOCAL_MACHINE);
    EXPECT_TRUE(text.startsWith("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Pellicott\\Quarvel]"));
    EXPECT_TRUE(text.contains("\"Colour\"=dword:00ff8001\n"));
    EXPECT_TRUE(text.contains("@=\"default\"\n"));

    // Another sandbox holding the same text reads it from scratch.
    RegistrySandbox copy;
    copy.WriteHive(HKEY_LOCAL_MACHINE, text);
    RegistryKey key;
    ASSERT_TRUE(key.OpenReadOnly(HKEY_LOCAL_MACHINE, kKey));
    RegValue value;
    ASSERT_TRUE(key.ReadValue(QStringLiteral("Text"), &value));
    EXPECT_EQ(value.type, REG_SZ);
    EXPECT_EQ(value.text, tricky);
    ASSERT_TRUE(key.ReadValue(QStringLiteral("Expand"), &value));
    EXPECT_EQ(value.type, REG_EXPAND_SZ);
    EXPECT_EQ(value.text, QStringLiteral("%HOME%\\a"));
    ASSERT_TRUE(key.ReadValue(QStringLiteral("Colour"), &value));
    EXPECT_EQ(value.type, REG_DWORD);
    EXPECT_EQ(value.dword, 0x00ff8001u);
    ASSERT_TRUE(key.ReadValue(QStringLiteral("Data"), &value));
    EXPECT_EQ(value.type, REG_BINARY);
    EXPECT_EQ(value.data, QByteArray(60, '\x7f') + '\0');
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kKey, QString()), QStringLiteral("default"));
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("One")), QStringLiteral("1"));
}

// A write that changes nothing leaves the file as it is (the same file, not written again); one
// that changes a value's text or type writes it.
TEST(Registry, OnlyAWriteThatChangesAValueWritesTheFile) {
    RegistrySandbox sandbox;
    RegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_LOCAL_MACHINE, kKey, true));
    const auto both = [&](const char* a, const char* b) {
        return key.WriteStrings({{"A", a}, {"B", b}});
    };
    ASSERT_TRUE(both("1", "2") && key.WriteDword("D", 7));
    const auto inode = [&] {
        struct stat st {};
        stat(QFile::encodeName(sandbox.HivePath(HKEY_LOCAL_MACHINE)), &st);
        return st.st_ino;
    };
    // Each write, and whether it writes the file.
    const std::pair<std::function<bool()>, bool> writes[] = {
        {[&] { return both("1", "2"); }, false},            // the same texts
        {[&] { return key.WriteString("b", "2"); }, false}, // the same text, named in lower case
        {[&] { return key.WriteDword("D", 7); }, false},    // the same number
        {[&] { return both("1", "3"); }, true},             // one text of two new
        {[&] { return key.WriteExpandString("A", "1"); }, true}, // the same text as another type
        {[&] { return key.WriteString("C", ""); }, true},        // a new value
    };
    for (std::size_t i = 0; i < std::size(writes); ++i) {
        const ino_t before = inode();
        ASSERT_TRUE(writes[i].first()) << i;
        EXPECT_EQ(inode() != before, writes[i].second) << i;
    }
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("B")), QStringLiteral("3"));
}

TEST(Registry, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
    RegistrySandbox sandbox;
    ASSERT_TRUE(WriteText(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("Store Path"), "a"));
    ASSERT_TRUE(WriteText(HKEY_LOCAL_MACHINE, kKey.toUpper(), QStringLiteral("STORE PATH"), "b"));
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kKey.toLower(), QStringLiteral("store path")), "b");

    RegistryKey key;
    ASSERT_TRUE(key.OpenReadOnly(HKEY_LOCAL_MACHINE, kKey));
    EXPECT_EQ(key.ValueNames(), QStringList{QStringLiteral("Store Path")});
    RegistryKey parent;
    ASSERT_TRUE(parent.OpenReadOnly(HKEY_LOCAL_MACHINE, QStringLiteral("software")));
    EXPECT_EQ(parent.SubKeyNames(), QStringList{QStringLiteral("Pellicott")});
}

TEST(Registry, ValuesKeepTheirOrderAndSubKeysEnumerateByName) {
    RegistrySandbox sandbox;
    RegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, QStringLiteral("List"), true));
    for (const char* name : {"2", "0", "b", "1"})
        ASSERT_TRUE(key.WriteString(QString::fromLatin1(name), QStringLiteral("x")));
    ASSERT_TRUE(key.WriteString(QStringLiteral("0"), QStringLiteral("again"))); // keeps its place
    ASSERT_TRUE(key.DeleteValue(QStringLiteral("b")));
    EXPECT_EQ(key.ValueNames(), (QStringList{"2", "0", "1"}));

    for (const char* sub : {"zeta", "Alpha", "beta"}) {
        RegistryKey child;
        ASSERT_TRUE(child.Open(HKEY_CURRENT_USER, "List\\" + QString::fromLatin1(sub), true));
    }
    EXPECT_EQ(key.SubKeyNames(), (QStringList{"Alpha", "beta", "zeta"}));
    EXPECT_TRUE(sandbox.ReadHive(HKEY_CURRENT_USER).contains("[HKEY_CURRENT_USER\\List\\beta]"));
    EXPECT_TRUE(sandbox.ReadHive(HKEY_LOCAL_MACHINE).isEmpty());
}

TEST(Registry, ReadsAHandWrittenHive) {
    RegistrySandbox sandbox;
    sandbox.WriteHive(HKEY_LOCAL_MACHINE,
                      "\xEF\xBB\xBFREGEDIT4\r\n"
                      "; pasted by hand\r\n"
                      "\r\n"
                      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Microsoft Games\\Train "
                      "Simulator\\1.0]\r\n"
                      "\"Path\"=\"D:\\\\MSTS\"\r\n"
                      "\"Quote\" = \"say \\\"hi\\\"\"\r\n"
                      "\"Blob\"=hex:01,02,\\\r\n"
                      "  03,ff\r\n"
                      "\"Count\"=dword:0000002A\r\n"
                      "\"Expand\"=hex(2):25,57,25,00\r\n"
                      "\r\n"
                      "[HKEY_CLASSES_ROOT\\.s]\r\n"
                      "@=\"shapefile\"\r\n");
    const QString msts =
        QStringLiteral("Software\\Microsoft\\Microsoft Games\\Train Simulator\\1.0");
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, msts, QStringLiteral("path")), "D:\\MSTS");
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, msts, QStringLiteral("Quote")), "say \"hi\"");
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, msts, QStringLiteral("Expand")), "%W%");
    RegistryKey key;
    RegValue value;
    ASSERT_TRUE(key.OpenReadOnly(HKEY_LOCAL_MACHINE, msts));
    ASSERT_TRUE(key.ReadValue(QStringLiteral("Blob"), &value));
    EXPECT_EQ(value.data, QByteArray("\x01\x02\x03\xff"));
    ASSERT_TRUE(key.ReadValue(QStringLiteral("Count"), &value));
    EXPECT_EQ(value.dword, 42u);
    EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, QStringLiteral(".S"), QString()), "shapefile");
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, QStringLiteral("Software\\Classes\\.s"), QString()),
              "shapefile");
    EXPECT_TRUE(TakeHiveNotices().isEmpty());
}

// ---- keys ----------------------------------------------------------------------------------

TEST(Registry, OpeningForReadingNeverCreatesAndReadOnlyKeysRefuseWrites) {
    RegistrySandbox sandbox;
    RegistryKey key;
    EXPECT_FALSE(key.OpenReadOnly(HKEY_LOCAL_MACHINE, kKey));
    EXPECT_FALSE(key.Open(HKEY_LOCAL_MACHINE, kKey, false));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kKey));
    EXPECT_FALSE(QFile::exists(sandbox.HivePath(HKEY_LOCAL_MACHINE)));

    ASSERT_TRUE(key.Open(HKEY_LOCAL_MACHINE, kKey, true));
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, kKey));
    ASSERT_TRUE(key.OpenReadOnly(HKEY_LOCAL_MACHINE, kKey));
    EXPECT_FALSE(key.WriteString(QStringLiteral("x"), QStringLiteral("y")));
    EXPECT_FALSE(key.DeleteValue(QStringLiteral("x")));
    EXPECT_FALSE(key.ErrorText().isEmpty());
}

TEST(Registry, DeletingAKeyNeedsItsSubKeysGoneFirst) {
    RegistrySandbox sandbox;
    ASSERT_TRUE(WriteText(HKEY_LOCAL_MACHINE, kKey + "\\Fonts\\ListHighlight", "a", "b"));
    QString error;
    EXPECT_FALSE(RegDeleteKey(HKEY_LOCAL_MACHINE, kKey + "\\Fonts", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, kKey + "\\Fonts\\ListHighlight"));

    EXPECT_TRUE(RegDeleteKey(HKEY_LOCAL_MACHINE, kKey + "\\fonts\\listhighlight"));
    EXPECT_TRUE(RegDeleteKey(HKEY_LOCAL_MACHINE, kKey + "\\Fonts"));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kKey + "\\Fonts"));
    EXPECT_TRUE(RegDeleteKey(HKEY_LOCAL_MACHINE, kKey + "\\Never There"));
    EXPECT_FALSE(RegDeleteKey(HKEY_LOCAL_MACHINE, QString()));
}

TEST(Registry, AKeyDeletedWhileOpenTakesNoMoreWrites) {
    RegistrySandbox sandbox;
    RegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_LOCAL_MACHINE, kKey + "\\Filters", true));
    ASSERT_TRUE(RegDeleteKey(HKEY_LOCAL_MACHINE, kKey + "\\Filters"));
    EXPECT_FALSE(key.WriteString(QStringLiteral("0"), QStringLiteral("lost")));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kKey + "\\Filters"));
}

// ---- failures ------------------------------------------------------------------------------

TEST(Registry, AFolderThatIsAFileMakesWritesFailAndReadsEmpty) {
    RegistrySandbox sandbox;
    QFile blocker(sandbox.Dir());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    RegistryKey key;
    EXPECT_FALSE(key.Open(HKEY_LOCAL_MACHINE, kKey, true));
    EXPECT_TRUE(key.ErrorText().contains(sandbox.Dir()));
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("x")), "<missing>");
}

TEST(Registry, AWriteThatFailsLeavesNoTraceInLaterReads) {
    RegistrySandbox sandbox;
    ASSERT_TRUE(WriteText(HKEY_LOCAL_MACHINE, kKey, "Kept", "1"));
    const QByteArray before = sandbox.ReadHive(HKEY_LOCAL_MACHINE);
    // The temporary file cannot be made while a folder stands in its place.
    ASSERT_TRUE(QDir().mkdir(sandbox.HivePath(HKEY_LOCAL_MACHINE) + ".tmp"));

    EXPECT_FALSE(WriteText(HKEY_LOCAL_MACHINE, kKey, "Lost", "2"));
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kKey, "Lost"), "<missing>");
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kKey, "Kept"), "1");
    EXPECT_EQ(sandbox.ReadHive(HKEY_LOCAL_MACHINE), before);

    ASSERT_TRUE(QDir().rmdir(sandbox.HivePath(HKEY_LOCAL_MACHINE) + ".tmp"));
    EXPECT_TRUE(WriteText(HKEY_LOCAL_MACHINE, kKey, "Lost", "2"));
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kKey, "Lost"), "2");
}

TEST(Registry, AnUnreadableHiveIsReportedAndKeptAsideNeverOverwritten) {
    RegistrySandbox sandbox;
    const QByteArray damaged = "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\n\"Path\"=\"C:\\x\n";
    sandbox.WriteHive(HKEY_LOCAL_MACHINE, damaged);

    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, "SOFTWARE", "Path"), "<missing>");
    const QStringList notices = TakeHiveNotices();
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices[0].contains(sandbox.HivePath(HKEY_LOCAL_MACHINE) + ".bad"));
    EXPECT_TRUE(notices[0].contains("line 4"));
    EXPECT_EQ(FileBytes(sandbox.HivePath(HKEY_LOCAL_MACHINE) + ".bad"), damaged);
    EXPECT_FALSE(QFile::exists(sandbox.HivePath(HKEY_LOCAL_MACHINE)));

    // A fresh hive takes its place; a second damaged file is kept beside the first.
    ASSERT_TRUE(WriteText(HKEY_LOCAL_MACHINE, kKey, "New", "1"));
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kKey, "New"), "1");
    sandbox.WriteHive(HKEY_LOCAL_MACHINE, "[HKEY_CURRENT_USER\\Wrong root]\n");
    EXPECT_TRUE(WriteText(HKEY_LOCAL_MACHINE, kKey, "After", "2"));
    EXPECT_EQ(TakeHiveNotices().size(), 1);
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kKey, "New"), "<missing>");
    EXPECT_EQ(FileBytes(sandbox.HivePath(HKEY_LOCAL_MACHINE) + ".bad"), damaged);
    EXPECT_EQ(FileBytes(sandbox.HivePath(HKEY_LOCAL_MACHINE) + ".bad2"),
              "[HKEY_CURRENT_USER\\Wrong root]\n");
}

TEST(Registry, HiveTextsThatAreNotHivesAreRefused) {
    const QString root = QStringLiteral("HKEY_LOCAL_MACHINE");
    for (const QByteArray& text : {
             QByteArray("Windows Registry Editor Version 5.00\n"),
             QByteArray("REGEDIT4\n\"Orphan\"=\"value before any key\"\n"),
             QByteArray("REGEDIT4\n[-HKEY_LOCAL_MACHINE\\SOFTWARE]\n"),
             QByteArray("REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=-\n"),
             QByteArray("REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=dword:123456789\n"),
             QByteArray("REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=hex:01,0g\n"),
             QByteArray("REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=\"C:\\Windows\"\n"),
             QByteArray("REGEDIT4\n[HKEY_LOCAL_MACHINE\\A\\\\B]\n"),
         }) {
        RegNode node;
        QString error;
        EXPECT_FALSE(ParseHiveText(text, root, &node, &error)) << text.constData();
        EXPECT_FALSE(error.isEmpty());
    }
}

namespace {
// A hive with one key the given number of levels deep, each level named name.
QByteArray DeepHive(int depth, const QByteArray& name = "k") {
    QByteArray path = "HKEY_LOCAL_MACHINE";
    for (int i = 0; i < depth; ++i)
        path += "\\" + name;
    return "REGEDIT4\n\n[" + path + "]\n\"Deep\"=\"yes\"\n";
}
} // namespace

TEST(Registry, KeysTooDeepOrNamedTooLongMakeAHiveUntrusted) {
    const struct {
        QByteArray text;
        bool parses;
    } cases[] = {
        {DeepHive(kMaxRegDepth), true},
        {DeepHive(kMaxRegDepth + 1), false},
        {DeepHive(50000), false},
        {DeepHive(1, QByteArray(kMaxRegKeyNameLength, 'n')), true},
        {DeepHive(1, QByteArray(kMaxRegKeyNameLength + 1, 'n')), false},
    };
    for (const auto& c : cases) {
        RegNode node;
        QString error;
        EXPECT_EQ(ParseHiveText(c.text, "HKEY_LOCAL_MACHINE", &node, &error), c.parses)
            << c.text.size();
        EXPECT_EQ(error.isEmpty(), c.parses) << error.toStdString();
        // What parses is written back as it was read.
        if (c.parses) {
            EXPECT_EQ(HiveText(node, "HKEY_LOCAL_MACHINE").count("\"Deep\"=\"yes\""), 1);
        }
    }
}

TEST(Registry, AHiveIsWrittenBackAsItWasRead) {
    const QByteArray text = "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\A\\B]\n\"V\"=hex(80000000):01\n"
                            "\"W\"=hex(ffffffff):\n\n[HKEY_LOCAL_MACHINE\\A\\C]\n\n";
    RegNode node;
    QString error;
    ASSERT_TRUE(ParseHiveText(text, "HKEY_LOCAL_MACHINE", &node, &error));
    EXPECT_EQ(HiveText(node, "HKEY_LOCAL_MACHINE").toStdString(), text.toStdString());
}

TEST(Registry, AHiveWithAKeyFiftyThousandLevelsDeepIsSetAsideAndReported) {
    RegistrySandbox sandbox;
    const QByteArray deep = DeepHive(50000);
    sandbox.WriteHive(HKEY_LOCAL_MACHINE, deep);
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, "k", "Deep"), "<missing>");
    const QStringList notices = TakeHiveNotices();
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices[0].contains("more than 512 levels deep"));
    EXPECT_EQ(FileBytes(sandbox.HivePath(HKEY_LOCAL_MACHINE) + ".bad"), deep);

    // Nor can the program make such a key.
    QStringList parts;
    for (int i = 0; i <= kMaxRegDepth; ++i)
        parts.append("k");
    RegistryKey key;
    EXPECT_FALSE(key.Open(HKEY_LOCAL_MACHINE, parts.join(u'\\'), true));
    EXPECT_TRUE(key.ErrorText().contains("512"));
    parts.removeLast();
    EXPECT_TRUE(key.Open(HKEY_LOCAL_MACHINE, parts.join(u'\\'), true));
}

TEST(Registry, ATreeOfAnyDepthIsFreedWithoutRecursion) {
    RegNode root;
    RegNode* node = &root;
    for (int i = 0; i < 200000; ++i)
        node = node->AddChild("k");
    RegNode other;
    other.AddChild("x")->AddChild("y");
    root = std::move(other); // the deep tree goes here
    EXPECT_TRUE(root.Child("x") && root.Child("x")->Child("y"));
}

// ---- Wine's registry -----------------------------------------------------------------------

namespace {
const QByteArray kSystemReg =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to \\\\Machine\n"
    "\n"
    "#arch=win32\n"
    "\n"
    "[Software\\\\Classes\\\\.s] 1600000000\n"
    "#time=1d6a1b2c3d4e5f6\n"
    "@=\"shapefile\"\n"
    "\n"
    "[Software\\\\Microsoft\\\\Microsoft Games\\\\Train Simulator\\\\1.0] 1600000000\n"
    "#time=1d6a1b2c3d4e5f6\n"
    "\"EXE Path\"=\"C:\\\\Program Files\\\\Microsoft Games\\\\Train Simulator\\\\train.exe\"\n"
    "\"Path\"=\"C:\\\\Program Files\\\\Microsoft Games\\\\Train Simulator\"\n"
    "\"Expand\"=str(2):\"%ProgramFiles%\\\\MSTS\"\n"
    "\"Count\"=dword:0000002a\n"
    "\"Blob\"=hex:01,02,\\\n"
    "  03,04\n"
    "\"Wide\"=hex(2):41,00,42,00,00,00\n"
    "\"Caf\\xe9\"=\"na\\xefve\\t!\"\n";
const QByteArray kUserReg = "WINE REGISTRY Version 2\n"
                            ";; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n"
                            "\n"
                            "[Software\\\\Shape Viewer] 1600000000\n"
                            "\"screenshotLocation\"=\"C:\\\\shots\"\n";
const QString kMstsKey =
    QStringLiteral("SOFTWARE\\Microsoft\\Microsoft Games\\Train Simulator\\1.0");
} // namespace

TEST(Registry, KeysMissingFromOurHiveAreReadFromWine) {
    RegistrySandbox sandbox;
    sandbox.MakeWinePrefix(kSystemReg, kUserReg);

    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kMstsKey, "path"),
              "C:\\Program Files\\Microsoft Games\\Train Simulator");
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kMstsKey, "Expand"), "%ProgramFiles%\\MSTS");
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kMstsKey, "Wide"), "AB");
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kMstsKey, QString::fromUtf8("Caf\u00e9")),
              QString::fromUtf8("na\u00efve\t!"));
    EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, ".s", QString()), "shapefile");
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, "Software\\Shape Viewer", "screenshotLocation"),
              "C:\\shots");
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, "Software\\Shape Viewer", "screenshotLocation"),
              "<missing>");

    RegistryKey key;
    RegValue value;
    ASSERT_TRUE(key.OpenReadOnly(HKEY_LOCAL_MACHINE, kMstsKey));
    ASSERT_TRUE(key.ReadValue("Count", &value));
    EXPECT_EQ(value.dword, 42u);
    ASSERT_TRUE(key.ReadValue("Blob", &value));
    EXPECT_EQ(value.data, QByteArray("\x01\x02\x03\x04"));
    EXPECT_EQ(key.ValueNames().size(), 7);
    EXPECT_FALSE(key.WriteString("Path", "D:\\"));
    EXPECT_FALSE(key.Open(HKEY_LOCAL_MACHINE, kMstsKey, false));
}

TEST(Registry, A64BitWinePrefixIsReadAsA32BitProgramSeesIt) {
    const auto seen = [](const char* arch, const QByteArray& keys, RegRoot root, const char* path) {
        RegistrySandbox sandbox;
        const QByteArray file = QByteArray("WINE REGISTRY Version 2\n#arch=") + arch + "\n" + keys;
        sandbox.MakeWinePrefix(file, file);
        return ReadText(root, path, QString()).toStdString();
    };
    const QByteArray shared = "[Software\\\\A] 1\n@=\"64\"\n";
    const QByteArray both = shared + "[Software\\\\Wow6432Node\\\\A] 1\n@=\"32\"\n";
    EXPECT_EQ(seen("win64", both, HKEY_LOCAL_MACHINE, "Software\\A"), "32");
    EXPECT_EQ(seen("win64", shared, HKEY_LOCAL_MACHINE, "Software\\A"), "64");
    EXPECT_EQ(seen("win32", both, HKEY_LOCAL_MACHINE, "Software\\A"), "64");
    EXPECT_EQ(seen("win64", both, HKEY_CURRENT_USER, "Software\\A"), "64");
    const QByteArray classes = "[Software\\\\Classes\\\\Wow6432Node\\\\.s] 1\n@=\"32\"\n";
    EXPECT_EQ(seen("win64", classes, HKEY_CLASSES_ROOT, ".s"), "32");
}

TEST(Registry, AKeyTooDeepInWinesFileIsPassedOverAndTheRestRead) {
    RegistrySandbox sandbox;
    QByteArray deep = "[Software";
    for (int i = 0; i < 50000; ++i)
        deep += "\\\\k";
    sandbox.MakeWinePrefix(kSystemReg, kUserReg + "\n" + deep + "] 1600000000\n\"v\"=\"1\"\n");
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, "Software\\Shape Viewer", "screenshotLocation"),
              "C:\\shots");
    RegistryKey key;
    EXPECT_TRUE(key.OpenReadOnly(HKEY_CURRENT_USER, "Software"));
    EXPECT_EQ(key.SubKeyNames(), QStringList{"Shape Viewer"});
}

// A snapshot finds what a key opened for reading finds (ours over Wine's, a 32-bit program's
// view of a 64-bit prefix, the classes), and what the program writes after it was taken.
TEST(RegistrySnapshot, ReadsAsAKeyOpenedForReadingDoesAndSeesTheProgramsOwnWrites) {
    RegistrySandbox sandbox;
    sandbox.MakeWinePrefix(
        QByteArray("WINE REGISTRY Version 2\n#arch=win64\n") +
            "[Software\\\\A] 1\n@=\"64\"\n[Software\\\\Wow6432Node\\\\A] 1\n@=\"32\"\n" +
            "[Software\\\\Classes\\\\.s] 1\n@=\"shapefile\"\n",
        kUserReg);
    ASSERT_TRUE(WriteText(HKEY_LOCAL_MACHINE, kKey, "Mine", "ours"));
    ASSERT_TRUE(WriteText(HKEY_CURRENT_USER, "Software\\Shape Viewer", "Other", "x"));
    const struct {
        RegRoot root;
        const char* path;
        const char* name;
    } reads[] = {
        {HKEY_LOCAL_MACHINE, "Software\\A", ""},
        {HKEY_LOCAL_MACHINE, "SOFTWARE\\Pellicott\\Quarvel", "mine"},
        {HKEY_CLASSES_ROOT, ".s", ""},
        {HKEY_CURRENT_USER, "Software\\Shape Viewer", "screenshotLocation"},
        {HKEY_CURRENT_USER, "Software\\Shape Viewer", "Other"},
        {HKEY_LOCAL_MACHINE, "Software\\Missing", ""},
    };
    RegistrySnapshot snapshot;
    for (const auto& read : reads) {
        SCOPED_TRACE(read.path);
        RegValue value;
        const QString text =
            snapshot.ReadValue(read.root, read.path, read.name, &value) ? value.text : "<missing>";
        EXPECT_EQ(text, ReadText(read.root, read.path, read.name));
        EXPECT_EQ(snapshot.Key(read.root, read.path) != nullptr,
                  RegKeyExists(read.root, read.path));
    }
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, "Software\\A", ""), "32");

    ASSERT_TRUE(WriteText(HKEY_LOCAL_MACHINE, kKey, "Mine", "changed"));
    ASSERT_TRUE(RegDeleteKey(HKEY_CURRENT_USER, "Software\\Shape Viewer"));
    RegValue value;
    ASSERT_TRUE(snapshot.ReadValue(HKEY_LOCAL_MACHINE, kKey, "Mine", &value));
    EXPECT_EQ(value.text, "changed");
    // Our key gone, Wine's is found again.
    EXPECT_FALSE(snapshot.ReadValue(HKEY_CURRENT_USER, "Software\\Shape Viewer", "Other", &value));
    ASSERT_TRUE(snapshot.ReadValue(HKEY_CURRENT_USER, "Software\\Shape Viewer",
                                   "screenshotLocation", &value));
    EXPECT_EQ(value.text, "C:\\shots");
}

TEST(Registry, OurKeyHidesWinesAndWineFilesAreNeverWritten) {
    RegistrySandbox sandbox;
    const QString prefix = sandbox.MakeWinePrefix(kSystemReg, kUserReg);
    ASSERT_TRUE(WriteText(HKEY_LOCAL_MACHINE, kMstsKey, "Path", "D:\\MSTS"));
    ASSERT_TRUE(WriteText(HKEY_CURRENT_USER, "Software\\Shape Viewer", "Other", "x"));

    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kMstsKey, "Path"), "D:\\MSTS");
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kMstsKey, "EXE Path"), "<missing>");
    EXPECT_EQ(FileBytes(prefix + "/system.reg"), kSystemReg);
    EXPECT_EQ(FileBytes(prefix + "/user.reg"), kUserReg);

    SetRegistryWinePrefix(QString());
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, ".s"));
}

// ---- two running copies --------------------------------------------------------------------

namespace {

// Starts this test program again, running only the child test below with the given job.
std::unique_ptr<QProcess> StartChild(const QString& job) {
    auto child = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QV_REGISTRY_CHILD_JOB"), job);
    child->setProcessEnvironment(environment);
    child->setProcessChannelMode(QProcess::MergedChannels);
    child->start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--gtest_filter=RegistryChild.DoesTheJobItWasStartedFor")});
    return child;
}

void ExpectChildSucceeded(QProcess& child) {
    ASSERT_TRUE(child.waitForFinished(120000));
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0) << child.readAll().constData();
}

} // namespace

// The other copy's side: skipped unless a test above started this program for it.
TEST(RegistryChild, DoesTheJobItWasStartedFor) {
    const QString job = qEnvironmentVariable("QV_REGISTRY_CHILD_JOB");
    if (job.isEmpty())
        GTEST_SKIP() << "runs only as the second copy started by the cross-process tests";
    SetRegistryWinePrefix(QString());
    RegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_LOCAL_MACHINE, kKey, true)) << key.ErrorText().toStdString();
    if (job == QLatin1String("answer")) {
        RegValue value;
        ASSERT_TRUE(key.ReadValue(QStringLiteral("From Parent"), &value));
        ASSERT_TRUE(key.WriteString(QStringLiteral("From Child"), "seen " + value.text));
    } else {
        for (int i = 0; i < 25; ++i)
            ASSERT_TRUE(key.WriteString(job + QString::number(i), job));
    }
}

TEST(Registry, AValueWrittenByOneProcessIsReadByAnother) {
    RegistrySandbox sandbox;
    ASSERT_TRUE(WriteText(HKEY_LOCAL_MACHINE, kKey, "From Parent", "hello"));
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kKey, "From Child"), "<missing>");

    std::unique_ptr<QProcess> child = StartChild(QStringLiteral("answer"));
    ExpectChildSucceeded(*child);
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kKey, "From Child"), "seen hello");
}

TEST(Registry, WritersInSeveralProcessesAtOnceLoseNoValue) {
    RegistrySandbox sandbox;
    std::vector<std::unique_ptr<QProcess>> children;
    for (const char* tag : {"a", "b", "c"})
        children.push_back(StartChild(QString::fromLatin1(tag)));
    for (int i = 0; i < 25; ++i)
        ASSERT_TRUE(WriteText(HKEY_LOCAL_MACHINE, kKey, "p" + QString::number(i), "p"));
    for (auto& child : children)
        ExpectChildSucceeded(*child);

    RegistryKey key;
    ASSERT_TRUE(key.OpenReadOnly(HKEY_LOCAL_MACHINE, kKey));
    EXPECT_EQ(key.ValueNames().size(), 100);
    for (const char* tag : {"a", "b", "c", "p"})
        EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kKey, tag + QStringLiteral("24")),
                  QString::fromLatin1(tag));
}
