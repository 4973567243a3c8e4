#include "catalogue/servicereader.h"

#include "core/appstate.h"
#include "core/mainservices.h"
#include "core/stringlist.h"
#include "fixtures/mstsbuilder.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

const QString kRoot = QStringLiteral("C:\\MSTS");

class ServiceReaderTest : public ::testing::Test {
protected:
    void SetUp() override { ResetAppState(); }
    void TearDown() override { ResetAppState(); }

    QString WriteService(const QStringList& body) {
        return builder_.WriteMstsFile(QStringLiteral("ROUTES\\Line\\SERVICES\\s.srv"),
                                      QStringLiteral("v0t"), body, MstsFileKind::Service);
    }
    QString WriteTraffic(const QStringList& body) {
        return builder_.WriteMstsFile(QStringLiteral("ROUTES\\Line\\TRAFFIC\\t.trf"),
                                      QStringLiteral("f0t"), body, MstsFileKind::Traffic);
    }

    RegistrySandbox registry_;
    TempMsts temp_;
    MstsBuilder builder_{temp_.Host(QStringLiteral("MSTS"))};
};

} // namespace

TEST_F(ServiceReaderTest, ReadsNameConsistAndPathOfAService) {
    const QString rel = builder_.AddService(QStringLiteral("Line"), QStringLiteral("Coal Run"),
                                            QStringLiteral("Coal Run"), QStringLiteral("Coal Con"),
                                            QStringLiteral("Up Main"));
    ServiceInfo service;
    ASSERT_TRUE(ReadServiceFile(kRoot, rel, service));
    EXPECT_EQ(service.Name, QStringLiteral("Coal Run"));
    EXPECT_EQ(service.ConsistFile, QStringLiteral("Coal Con.con")) << "quotes go before .con";
    EXPECT_EQ(service.PathFile, QStringLiteral("Up Main.pat"));
    EXPECT_EQ(service.Folder, rel.left(rel.lastIndexOf(u'\\')));
    EXPECT_EQ(service.FileName, QStringLiteral("Coal Run.srv"));
    EXPECT_EQ(TheMainServices().StatusText(1),
              QStringLiteral("Loading Service '") + rel.mid(7) + u'\'')
        << "the name below the ROUTES folder";
}

TEST_F(ServiceReaderTest, MissingKeywordLeavesZeroAndFails) {
    const QString rel =
        WriteService({QStringLiteral("Service_Definition ("), QStringLiteral("\tName ( \"N\" )"),
                      QStringLiteral("\tTrain_Config ( \"C 1\" )"), QStringLiteral(")")});
    ServiceInfo service;
    EXPECT_FALSE(ReadServiceFile(kRoot, rel, service));
    EXPECT_EQ(service.PathFile, QStringLiteral("0"));
    EXPECT_EQ(service.ConsistFile, QStringLiteral("C 1.con"));
    EXPECT_EQ(service.Name, QStringLiteral("N"));

    ServiceInfo absent;
    EXPECT_FALSE(ReadServiceFile(kRoot, QStringLiteral("ROUTES\\Line\\SERVICES\\no.srv"), absent));
    EXPECT_EQ(absent.Name, QStringLiteral("0"));
    EXPECT_EQ(absent.FileName, QStringLiteral("no.srv"));
}

TEST_F(ServiceReaderTest, AServiceNamedZeroIsFound) {
    ServiceInfo service;
    EXPECT_TRUE(ReadServiceFile(kRoot, builder_.AddService("Line", "Z", "0", "C", "P"), service));
}

TEST(BlockHeaderValue, TakesTheQuotedNameOrTheFirstWord) {
    EXPECT_EQ(BlockHeaderValue(QStringLiteral(" ( \"Coal Run 2\" 36000")),
              QStringLiteral("Coal Run 2"));
    EXPECT_EQ(BlockHeaderValue(QStringLiteral("( \"Coal Run\"\t36000")), QStringLiteral("Coal Run"))
        << "a tab after the closing quote ends the name as a blank does";
    EXPECT_EQ(BlockHeaderValue(QStringLiteral("( Coal_Run 36000")), QStringLiteral("Coal_Run"));
    EXPECT_EQ(BlockHeaderValue(QStringLiteral("(Coal_Run\t36000")), QStringLiteral("Coal_Run"));
    EXPECT_EQ(BlockHeaderValue(QStringLiteral("( \"Only\"")), QStringLiteral("Only"));
    EXPECT_EQ(BlockHeaderValue(QStringLiteral("( \"a\"b\" 1")), QStringLiteral("a\"b"))
        << "only a quote followed by a blank closes the name";
    EXPECT_EQ(BlockHeaderValue(QStringLiteral("(")), QString());
}

TEST_F(ServiceReaderTest, ListsTheServicesOfATrafficInFileOrder) {
    const QString rel = builder_.AddTraffic(
        QStringLiteral("Line"), QStringLiteral("Busy Day"), QStringLiteral("Busy Day"),
        {QStringLiteral("Zeta"), QStringLiteral("Two Words"), QStringLiteral("alpha")});
    const QString routeFolder = rel.section(u'\\', 0, 1);
    TrafficInfo traffic;
    StringList services;
    services.Add(QStringLiteral("kept"));
    ASSERT_TRUE(ReadTrafficServices(kRoot, rel, traffic, &services));
    EXPECT_EQ(traffic.Name, QStringLiteral("Busy Day"));
    EXPECT_EQ(traffic.FileName, QStringLiteral("Busy Day.trf"));
    EXPECT_EQ(
        services.Strings(),
        QStringList({QStringLiteral("kept"), routeFolder + QStringLiteral("\\SERVICES\\Zeta.srv"),
                     routeFolder + QStringLiteral("\\SERVICES\\Two Words.srv"),
                     routeFolder + QStringLiteral("\\SERVICES\\alpha.srv")}));
}

TEST_F(ServiceReaderTest, WithoutAListTheTrafficReaderStopsAtItsName) {
    const QString rel = WriteTraffic(
        {QStringLiteral("Traffic_Definition ( First"), QStringLiteral("\tService_Definition ( s 1"),
         QStringLiteral(")"), QStringLiteral("Traffic_Definition ( Second")});
    TrafficInfo traffic;
    ASSERT_TRUE(ReadTrafficServices(kRoot, rel, traffic, nullptr));
    EXPECT_EQ(traffic.Name, QStringLiteral("First"));
    StringList services;
    ASSERT_TRUE(ReadTrafficServices(kRoot, rel, traffic, &services));
    EXPECT_EQ(traffic.Name, QStringLiteral("Second")) << "with a list the whole file is read";
    EXPECT_EQ(services.Count(), 1);

    const QString nameless = WriteTraffic({QStringLiteral("Serial ( 1 )")});
    traffic.Name = QStringLiteral("stale");
    EXPECT_TRUE(ReadTrafficServices(kRoot, nameless, traffic, nullptr));
    EXPECT_EQ(traffic.Name, QString());
    EXPECT_FALSE(ReadTrafficServices(kRoot, QStringLiteral("ROUTES\\Line\\TRAFFIC\\no.trf"),
                                     traffic, nullptr));
}
