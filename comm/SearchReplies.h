#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>

inline constexpr int kNodeCount = 16;

// The nodes a search found: presence, controller (model) name and user-specified name.
struct NodeTable {
    std::array<bool, kNodeCount> present{};
    std::array<QString, kNodeCount> modelName;
    std::array<QString, kNodeCount> userName;
};

// Reading the answers of a line search; no port involved.
namespace SearchReplies {

// Fills `present` and `modelName` from the "@?CONT" broadcast answer: one block per controller,
// its lines up to and including its OK line, the first "CONT.<n>=<name>" naming it. False when
// a block names no controller, an unknown one (case-sensitive) or a node outside 1..16; the
// blocks before it stay filled.
bool ReadControllerBlocks(const QString& answer, const QStringList& knownNames,
                          std::array<bool, kNodeCount>& present,
                          std::array<QString, kNodeCount>& modelName);

// Two "OK.<n>" replies of the same node in a broadcast answer.
bool HasDuplicateNodes(const QString& answer);

// Fills `userName` from the "@?COMR2" broadcast answer ("COMR2.<n>=<name>" lines). False on a
// node above 16; lines without a node are skipped.
bool ReadUserNames(const QString& answer, std::array<QString, kNodeCount>& userName);

} // namespace SearchReplies
