// Reading search answers and failure texts: no port, no line.
#include "comm/SearchReplies.h"
#include "comm/ControllerSession.h"
#include "platform/ResourceLibrary.h"
#include "tests/support/QtPrinters.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <map>

namespace {

const QStringList kKnown = {QStringLiteral("KQ-A"), QStringLiteral("KQ-C")};

struct BlocksRow {
    const char* answer;
    bool ok;
    std::map<int, QString> nodes; // what the table holds afterwards
};

} // namespace

TEST(SearchReplies, ControllerBlocksNameKnownControllersOnValidNodes) {
    const QList<BlocksRow> rows = {
        {"CONT.1=KQ-A\r\nOK.1\r\nCONT.2=KQ-C\r\nOK.2\r\n", true, {{1, "KQ-A"}, {2, "KQ-C"}}},
        // CR-only line ends; noise before the keyword.
        {"\x01"
         "CONT.12=KQ-A\rOK.12\r",
         true,
         {{12, "KQ-A"}}},
        // The first CONT line of a block names it.
        {"CONT.3=KQ-C\r\nCONT.4=KQ-A\r\nOK.3\r\n", true, {{3, "KQ-C"}}},
        // An unknown (or differently cased) name ends the search; the blocks before it stay.
        {"CONT.1=KQ-A\r\nOK.1\r\nCONT.2=kq-c\r\nOK.2\r\n", false, {{1, "KQ-A"}}},
        {"CONT.17=KQ-A\r\nOK.17\r\n", false, {}},
        {"CONT.0=KQ-A\r\nOK.0\r\n", false, {}},
        {"OK.3\r\n", false, {}},
        {"", false, {}},
    };
    for (const BlocksRow& row : rows) {
        std::array<bool, kNodeCount> present;
        present.fill(true);
        std::array<QString, kNodeCount> names;
        names.fill(QStringLiteral("stale"));
        EXPECT_EQ(SearchReplies::ReadControllerBlocks(QString::fromLatin1(row.answer), kKnown,
                                                      present, names),
                  row.ok)
            << row.answer;
        for (int n = 1; n <= kNodeCount; ++n) {
            const auto found = row.nodes.find(n);
            const bool expected = found != row.nodes.end();
            EXPECT_EQ(present[n - 1], expected) << row.answer << " node " << n;
            EXPECT_EQ(names[n - 1], expected ? found->second : QString())
                << row.answer << " node " << n;
        }
    }
}

TEST(SearchReplies, DuplicateNodesAreOkRepliesOfOneNode) {
    const QList<std::pair<const char*, bool>> rows = {
        {"CONT.1=KQ-A\r\nOK.1\r\nCONT.2=KQ-C\r\nOK.2\r\n", false},
        {"CONT.1=KQ-A\r\nOK.1\r\nCONT.1=KQ-C\r\nOK.1\r\n", true},
        // Node 1 and node 12 are different nodes; a CR-only line end still separates replies.
        {"OK.1\r\nOK.12\r\n", false},
        {"OK.3\rOK.3\r", true},
        // Numbers outside 1..16 are no nodes.
        {"OK.17\r\nOK.17\r\n", false},
    };
    for (const auto& [answer, duplicate] : rows)
        EXPECT_EQ(CControllerSession::HasDuplicateNodes(QString::fromLatin1(answer)), duplicate)
            << answer;
}

TEST(SearchReplies, UserNamesByNode) {
    std::array<QString, kNodeCount> names;
    names.fill(QStringLiteral("stale"));
    ASSERT_TRUE(SearchReplies::ReadUserNames(
        QStringLiteral("COMR2.1=LINE A\r\nCOMR2.3=\r\nno node\r\nCOMR2.16=END=X\r\nOK.1\r\n"),
        names));
    EXPECT_EQ(names[0], "LINE A");
    EXPECT_EQ(names[1], "");
    EXPECT_EQ(names[2], "");
    EXPECT_EQ(names[15], "END=X");
    EXPECT_FALSE(SearchReplies::ReadUserNames(QStringLiteral("COMR2.17=X\r\nOK.1\r\n"), names));
}

TEST(SearchReplies, NgCodeAndLinkError) {
    const QList<std::pair<const char*, int>> rows = {
        {"NG.=49", 0x49}, {"NG.3=49\r", 0x49}, {"NG.3=10", 0x10},
        {"NG.3=4", 4},    {"TimeOut", -1},     {"", -1},
    };
    for (const auto& [text, code] : rows)
        EXPECT_EQ(CCommandChannel::NgCodeOf(QString::fromLatin1(text)), code) << text;
    using Kind = ChannelFailure::Kind;
    EXPECT_TRUE(CControllerSession::IsLinkError({Kind::LineError, 0x49}));
    EXPECT_FALSE(CControllerSession::IsLinkError({Kind::Refused, 0x10}));
    EXPECT_FALSE(CControllerSession::IsLinkError({Kind::TimedOut, -1}));
}

TEST(SessionTexts, FailureTextAddsTheReason) {
    CControllerSession session;
    const QString failed = QStringLiteral("Data transfer failed.");
    ASSERT_EQ(ResourceLibrary::LoadString(10048), failed);
    using Kind = ChannelFailure::Kind;
    const QList<std::pair<ChannelFailure, QString>> cases = {
        {{Kind::TimedOut, -1},
         "\n\nConnection is closed. Please retry after checking the connection and power supply "
         "to the controller."},
        {{Kind::LineError, 0x49},
         "\n\nCommunication error. Please retry, after ensure the controller connection."},
        {{Kind::Refused, 0x2f},
         "\n\nThe controller refused the command (NG code 2f). Please check its run mode and the "
         "data, and retry."},
        {{Kind::BadAnswer, -1},
         "\n\nThe controller's answer was incomplete or could not be "
         "read. Please retry after checking the connection."},
        {{Kind::SendFailed, -1},
         "\n\nThe command could not be sent: the port is closed. Please "
         "retry after checking the connection."},
        {{Kind::None, -1}, ""},
    };
    for (const auto& [failure, reason] : cases) {
        session.channel.lastFailure = failure;
        EXPECT_EQ(session.FailureText(10048), failed + reason);
    }
}

TEST(SessionTexts, PortNotificationsReachTheChannel) {
    CControllerSession session;
    session.channel.busy = true;
    session.channel.replyNode = 3;
    QCoreApplication::postEvent(session.window(), new CPortHubEvent(kNotifyLineError));
    QCoreApplication::processEvents();
    EXPECT_EQ(session.channel.PendingText(), QStringLiteral("NG.3=49\r\n"));
    // Any other notification code is ignored.
    QCoreApplication::postEvent(session.window(), new CPortHubEvent(7));
    QCoreApplication::processEvents();
    EXPECT_EQ(session.channel.PendingText(), QStringLiteral("NG.3=49\r\n"));
    session.channel.busy = false;
}
