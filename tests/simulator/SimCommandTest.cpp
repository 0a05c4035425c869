#include "simulator/SimCommand.h"
#include "simulator/FaultPlan.h"

#include <gtest/gtest.h>

TEST(SimCommand, ReadsEveryPartOfTheLine) {
    const SimCommand set = SimCommand::Parse(u"@K20.3=2");
    EXPECT_EQ(set.form, SimCommand::Form::Parsed);
    EXPECT_FALSE(set.query);
    EXPECT_EQ(set.keyword, "K");
    EXPECT_EQ(set.number, 20);
    EXPECT_EQ(set.node, 3);
    EXPECT_TRUE(set.hasValue);
    EXPECT_EQ(set.value, "2");

    const SimCommand range = SimCommand::Parse(u"@DEL5-9.16");
    EXPECT_EQ(range.keyword, "DEL");
    EXPECT_TRUE(range.hasLast);
    EXPECT_EQ(range.number, 5);
    EXPECT_EQ(range.last, 9);
    EXPECT_EQ(range.node, 16);

    const SimCommand list = SimCommand::Parse(u"@READ HPRM.2");
    EXPECT_EQ(list.keyword, "READ HPRM");
    EXPECT_FALSE(list.hasNumber);

    const SimCommand text = SimCommand::Parse(u"@ROBOT.1=LX20-S100=x");
    EXPECT_EQ(text.value, "LX20-S100=x");

    const SimCommand all = SimCommand::Parse(u"@?CONT");
    EXPECT_TRUE(all.query);
    EXPECT_EQ(all.node, 0);
}

TEST(SimCommand, PrefersTheLongestKeyword) {
    EXPECT_EQ(SimCommand::Parse(u"@?VER2.1").keyword, "VER2");
    EXPECT_EQ(SimCommand::Parse(u"@?VER.1").keyword, "VER");
    EXPECT_EQ(SimCommand::Parse(u"@?REC4.1").keyword, "REC");
    EXPECT_EQ(SimCommand::Parse(u"@?RECF4.1").keyword, "RECF");
    EXPECT_EQ(SimCommand::Parse(u"@DC4.1=100").keyword, "DC");
    EXPECT_EQ(SimCommand::Parse(u"@D4.1").keyword, "D");
    EXPECT_EQ(SimCommand::Parse(u"@?COMR2").keyword, "COMR");
    EXPECT_EQ(SimCommand::Parse(u"@C4.1=1").keyword, "C");
}

TEST(SimCommand, UnknownAndGarbledLinesKeepTheirNode) {
    const SimCommand unknown = SimCommand::Parse(u"@?XYZ12.4");
    EXPECT_EQ(unknown.form, SimCommand::Form::Parsed);
    EXPECT_FALSE(unknown.knownKeyword);
    EXPECT_EQ(unknown.node, 4);

    const SimCommand garbled = SimCommand::Parse(u"@K20x.5=1");
    EXPECT_EQ(garbled.form, SimCommand::Form::Malformed);
    EXPECT_EQ(garbled.node, 5);

    EXPECT_EQ(SimCommand::Parse(u"").form, SimCommand::Form::Ignored);
    EXPECT_EQ(SimCommand::Parse(u"K20.1").form, SimCommand::Form::Ignored);
    // A node no controller can have is answered by nobody.
    EXPECT_LT(SimCommand::Parse(u"@?K20.17").node, 0);
    EXPECT_LT(SimCommand::Parse(u"@?K20.0").node, 0);
    EXPECT_EQ(SimCommand::Parse(u"@?K99999999999.1").form, SimCommand::Form::Malformed);
}

TEST(FaultPlan, WildcardsAndCounting) {
    EXPECT_TRUE(WildcardMatch("@K20.*=*", "@K20.3=2"));
    EXPECT_FALSE(WildcardMatch("@K20.*=*", "@?K20.3"));
    EXPECT_TRUE(WildcardMatch("*", ""));
    EXPECT_TRUE(WildcardMatch("@?K*.1", "@?K1.1.1"));
    EXPECT_FALSE(WildcardMatch("@?K2", "@?K20"));

    FaultPlan plan;
    FaultRule ng;
    ng.kind = FaultRule::Kind::Ng;
    ng.pattern = "@?K20*";
    ng.ngCode = 0x2f;
    ng.count = 1;
    plan.Add(ng);
    FaultRule silence;
    silence.fromCommand = 4;
    plan.Add(silence);

    EXPECT_EQ(plan.Apply("@?K20.1", 1).ngCode, 0x2f);
    EXPECT_EQ(plan.Apply("@?K20.1", 2).ngCode, -1); // fired its one time
    EXPECT_FALSE(plan.Apply("@?K21.1", 3).silence);
    EXPECT_TRUE(plan.Apply("@?K21.1", 4).silence);
    EXPECT_TRUE(plan.Apply("@?K21.1", 9).silence);
}

// The random plan replays from its seed, command by command, and names what it injects.
TEST(FaultPlan, RandomFaultsFollowTheSeed) {
    RandomFaults random;
    random.seed = 4242;
    random.rate = 0.3;
    random.maxDelayMs = 500;
    auto run = [&](const RandomFaults& plan) {
        FaultPlan faults;
        faults.SetRandom(plan);
        QStringList log;
        for (int index = 1; index <= 400; ++index)
            log << faults.Apply(QStringLiteral("@?K%1.1").arg(index % 138 + 1), index)
                       .injected.join(u',');
        return log;
    };
    const QStringList first = run(random);
    EXPECT_EQ(run(random), first);
    random.seed = 4243;
    EXPECT_NE(run(random), first);

    // About the rate asked for, every kind among them, each within its bounds.
    const qsizetype faulted = first.size() - first.count(QString());
    EXPECT_GT(faulted, 80);
    EXPECT_LT(faulted, 160);
    for (const char* kind : {"silence", "NG ", "noise ", "split ", "delay ", "line error"})
        EXPECT_FALSE(first.filter(QLatin1String(kind)).isEmpty()) << kind;
    FaultPlan faults;
    random.seed = 4242;
    faults.SetRandom(random);
    for (int index = 1; index <= 400; ++index) {
        const FaultOutcome outcome = faults.Apply(QStringLiteral("@?K1.1"), index);
        EXPECT_LE(outcome.delayMs, 500);
        EXPECT_LE(outcome.noise.size(), 4);
        for (char byte : outcome.noise)
            EXPECT_TRUE(static_cast<unsigned char>(byte) < 0x20 ||
                        static_cast<unsigned char>(byte) >= 0x7f);
        EXPECT_FALSE(outcome.noise.contains('\r') || outcome.noise.contains('\n'));
    }

    // Restricted to some kinds, only those come.
    random.kinds = RandomFaults::Ng;
    for (const QString& entry : run(random))
        EXPECT_TRUE(entry.isEmpty() || entry.contains(QLatin1String("NG "))) << qPrintable(entry);
    faults.Clear();
    EXPECT_TRUE(faults.IsEmpty());
}
