#pragma once

#include "simulator/SimController.h"

#include <QList>
#include <QString>

// Demo controllers holding what a real one could: identity, network texts, points, K and H
// values, an alarm history. The model decides the controller name, the model code and the
// pulse-train option values.
SimController MakeDemoController(int node, const QString& model);

// `count` demo controllers on nodes 1..count; models in the order "KQ-A", "KQ-C", "KQ-B",
// "KQ-A2", "KQ-E", "KQ-F", "KQ-B2", then again.
QList<SimController> MakeDemoControllers(int count);
