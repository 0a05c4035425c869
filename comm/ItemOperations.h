#pragma once

#include <QString>

#include <cstdint>

class CPortHub;
class CCommandChannel;
struct PointRecord;

// The controller operations the program calls. Each returns true on success; a failed query
// leaves its failure text where the operation hands out text.

// A bare line end, then K99=0 (data streaming off) to all controllers.
bool PrepareLine(CPortHub& hub, CCommandChannel& channel);
// "@?CONT": every controller's name line; false when nothing came back.
bool QueryAllControllers(CCommandChannel& channel, QString& answer);
// `item` is one of the keyword indexes CONT, TYPE, ROBOT, IF, VER2.
bool ReadIdentityItem(CCommandChannel& channel, int node, int item, QString& value);
// The list answers, their lines ended in CR LF. An empty point list (no point in use) is an
// answer; an empty K or H list is not.
bool ReadPointList(CCommandChannel& channel, int node, QString& answer);
bool ReadParameterList(CCommandChannel& channel, int node, QString& answer);
bool ReadHParameterList(CCommandChannel& channel, int node, QString& answer);
bool ReadPoint(CCommandChannel& channel, int node, int number, PointRecord& point);
// `field` 1..13 (M..T).
bool WritePointField(CCommandChannel& channel, int node, int number, int field, int32_t value);
// One point when `last` <= 0, else the range first..last.
bool DeletePoints(CCommandChannel& channel, int node, int first, int last);
bool ReadK(CCommandChannel& channel, int node, int number, int32_t& value);
bool ReadH(CCommandChannel& channel, int node, int number, int32_t& value);
bool WriteK(CCommandChannel& channel, int node, int number, int32_t value);
bool WriteH(CCommandChannel& channel, int node, int number, int32_t value);
bool ReadTextItem(CCommandChannel& channel, int node, int number, QString& text);
bool WriteTextItem(CCommandChannel& channel, int node, int number, const QString& text);
bool WriteRobotName(CCommandChannel& channel, int node, const QString& name);
// "@SETID" to all controllers; true when at least one accepted it.
bool AssignNodeNumbers(CCommandChannel& channel);

// The value of a single-item answer: its first line's text after the first "=". A failure
// text (a query that failed) is taken unchanged.
QString ValueTextOf(const QString& answer, bool queryOk);
