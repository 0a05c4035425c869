#pragma once

#include "simulator/FaultPlan.h"
#include "simulator/SimController.h"
#include "simulator/SimulatedLine.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// The command line of velmora-sim.
struct SimOptions {
    int controllers = 0;                  // demo controllers on nodes 1..n (0: one, unless files)
    QList<QPair<int, QString>> nodeFiles; // --node N=FILE
    QList<QPair<int, QString>> models;    // --model N=CODE (controller name and model code)
    QList<QPair<int, QString>> names;     // --cont N=NAME (controller name only)
    QList<QPair<int, int>> nodeNumbers;   // --set-node POS=N (line position 1.. gets node N)
    int line = -1;
    int baud = 0;
    int replyDelayMs = 0;
    QString logFile;
    QList<int> crOnlyNodes; // --cr-only N: K37 = 0, replies end with CR alone
    QList<FaultRule> faults;
    SimBehaviour behaviour;
    RandomFaults random; // active with --fault-seed
    bool randomFaults = false;
    bool help = false;

    // False with a message in `error` for anything it cannot take.
    static bool Parse(const QStringList& arguments, SimOptions& options, QString& error);
    static QString Usage();

    // The controllers the options describe; false with `error` when a file cannot be read or a
    // node or position does not exist.
    bool BuildControllers(QList<SimController>& controllers, QString& error) const;
};
