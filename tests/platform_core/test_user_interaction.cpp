#include "platform/UserInteraction.h"

#include <gtest/gtest.h>

namespace {

TEST(UserInteraction, IconRules) {
    using UI_ = UserInteraction;
    EXPECT_EQ(UI_::EffectiveIcon(MsgButtons::Ok, MsgIcon::Default), MsgIcon::Warning);
    EXPECT_EQ(UI_::EffectiveIcon(MsgButtons::OkCancel, MsgIcon::Default), MsgIcon::Warning);
    EXPECT_EQ(UI_::EffectiveIcon(MsgButtons::YesNo, MsgIcon::Default), MsgIcon::Question);
    EXPECT_EQ(UI_::EffectiveIcon(MsgButtons::Ok, MsgIcon::Information), MsgIcon::Information);
    EXPECT_EQ(UI_::EffectiveIcon(MsgButtons::YesNo, MsgIcon::Error), MsgIcon::Error);
}

TEST(UserInteraction, WithoutAServiceQuestionsTakeTheSafeAnswer) {
    InstallUserInteraction(nullptr);
    EXPECT_EQ(UI().ShowMessage(nullptr, "q", MsgButtons::OkCancel), MsgResult::Cancel);
    EXPECT_EQ(UI().ShowMessage(nullptr, "q", MsgButtons::YesNo), MsgResult::No);
    EXPECT_EQ(UI().ShowMessage(nullptr, "q", MsgButtons::Ok), MsgResult::Ok);
    QString path = "unchanged";
    EXPECT_FALSE(UI().ChooseFile(nullptr, FileChoice{}, path));
    EXPECT_EQ(path, "unchanged");
}

TEST(UserInteraction, ScriptedAnswersAreTakenInOrderAndTextsRecorded) {
    ScriptedUserInteraction scripted;
    scripted.answers = {MsgResult::Yes, MsgResult::Ok};
    scripted.filePaths = {"/tmp/a.kqd", ""};
    UserInteraction* previous = InstallUserInteraction(&scripted);

    EXPECT_EQ(UI().ShowMessage(nullptr, "first", MsgButtons::YesNo), MsgResult::Yes);
    EXPECT_EQ(UI().ShowMessage(nullptr, "second", MsgButtons::OkCancel), MsgResult::Ok);
    // Answers ran out: the safe answer.
    EXPECT_EQ(UI().ShowMessage(nullptr, "third", MsgButtons::OkCancel, MsgIcon::Error),
              MsgResult::Cancel);

    QString path;
    FileChoice choice;
    choice.defaultExtension = "kqd";
    EXPECT_TRUE(UI().ChooseFile(nullptr, choice, path));
    EXPECT_EQ(path, "/tmp/a.kqd");
    EXPECT_FALSE(UI().ChooseFile(nullptr, choice, path)); // "" means cancelled
    EXPECT_FALSE(UI().ChooseFile(nullptr, choice, path)); // none left

    EXPECT_EQ(scripted.texts(), (QStringList{"first", "second", "third"}));
    ASSERT_EQ(scripted.shown.size(), 3);
    EXPECT_EQ(scripted.shown[0].icon, MsgIcon::Question);
    EXPECT_EQ(scripted.shown[1].icon, MsgIcon::Warning);
    EXPECT_EQ(scripted.shown[2].icon, MsgIcon::Error);
    EXPECT_EQ(scripted.fileRequests.size(), 3);
    EXPECT_EQ(InstallUserInteraction(previous), &scripted);
}

} // namespace
