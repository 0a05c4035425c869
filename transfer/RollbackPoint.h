#pragma once

#include "data/ControllerData.h"

#include <QDateTime>
#include <QString>

class CDataStore;

// The controller's data as it was before a write, kept as a data file in the user's data
// folder so that a write gone wrong can be undone by restoring it. Widget-free.
namespace RollbackPoint {

// How many rollback files the folder keeps; older ones go after each save.
inline constexpr int kKept = 50;

// $XDG_DATA_HOME/VelmoraFree/rollback (~/.local/share/VelmoraFree/rollback by default).
QString Folder();

// "20261209-041502-COM97-node03-<controller>.kqd", with what a file name cannot hold replaced
// by "_" as in a whole-line backup's names.
QString FileName(const QDateTime& time, const QString& line, int node, const QString& controller);

// Saves `present` (its node is its K38) into `folder` under a name of its own, then prunes the
// folder. False, with `reason` saying why, when the folder or the file cannot be written.
bool Save(const CDataStore& store, const ControllerData& present, const QString& line,
          const QString& folder, QString& path, QString* reason = nullptr);

// Deletes the oldest rollback files of `folder` beyond the newest `keep`; files that are not
// rollback files are left alone.
void Prune(const QString& folder, int keep = kKept);

} // namespace RollbackPoint
